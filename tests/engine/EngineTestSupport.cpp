#include "tests/engine/EngineTestSupport.h"

#include <atomic>
#include <filesystem>
#include <thread>

namespace enginetest {

std::string clip720p()
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 5.0;
    spec.gopSize = 25;
    spec.audio = {fixture::AudioTrack{}};
    return sharedFixture("clip720p.mp4", spec);
}

int join(const std::vector<Clip> &clips, const std::string &output,
         const std::function<int(MEDIA_HANDLE)> &configure)
{
    MEDIA_HANDLE h = apiMediaJoinCreate();
    int r = apiMediaJoinSetOutputPath(h, output.c_str());
    for (const Clip &c : clips) {
        if (r < 0)
            break;
        int id = apiMediaJoinAddMediaClip(h, c.path.c_str(), c.start, c.end);
        if (id == 0)
            r = MEDIA_ERR_INPUT;
        else if ((r = apiMediaJoinSetAudioVolumn(h, id, c.volume)) > 0 &&
                 c.transition != MEDIA_TRANSITION_NONE)
            r = apiMediaJoinSetTransition(h, id, c.transition, c.transitionLength);
    }
    if (r > 0)
        r = configure(h);
    if (r > 0)
        r = apiMediaJoinStart(h);
    apiMediaJoinClose(h);
    return r;
}

std::vector<std::string> filesIn(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

StoppedRun stopWhileRunning(const std::function<int()> &start, const std::function<double()> &progress,
                            double from, const std::function<int()> &stop)
{
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> ended{false};
    StoppedRun run;
    Clock::time_point returned;
    std::thread worker([&] {
        run.result = start();
        returned = Clock::now();
        ended = true;
    });
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (progress() < from && !ended && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    run.runningAtStop = !ended;
    run.progressAtStop = progress();
    const auto stopped = Clock::now();
    if (run.runningAtStop)
        run.stopResult = stop();
    worker.join();
    run.returnedAfter = returned - stopped;
    return run;
}

} // namespace enginetest
