// How fast the preview player decodes and filters 1080p video with a colour change and a picture
// watermark on, pinned to one core: the player's thread runs with no clock, so every frame goes
// through demux, decode and the edit graph as fast as it can. Prints frames per second and the ratio
// to real time (25 fps); the target is at least 2.
//
//   player_bench [seconds]   length of the generated 1080p clip (default 10)
#include "player/PlayerCore.h"
#include "player/SilentAudioOutput.h"
#include "tests/support/MediaFixture.h"

#include <QImage>

#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

namespace {

constexpr int kFps = 25;

bool pinToOneCore()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return false;
    int first = 0;
    while (first < CPU_SETSIZE && !CPU_ISSET(first, &set))
        ++first;
    CPU_ZERO(&set);
    CPU_SET(first, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (seconds <= 0)
        seconds = 10.0;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vw-player-bench";
    std::filesystem::create_directories(dir);
    const std::string clip = (dir / "clip1080p.mp4").string();
    const std::string logo = (dir / "logo.png").string();

    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = seconds;
    spec.gopSize = 50;
    std::string error;
    std::printf("generating %.0f s of 1080p %d fps H.264 + AAC...\n", seconds, kFps);
    if (!fixture::generate(clip, spec, &error)) {
        std::fprintf(stderr, "cannot generate the clip: %s\n", error.c_str());
        return 1;
    }
    QImage picture(320, 180, QImage::Format_ARGB32);
    picture.fill(QColor(255, 200, 0, 160));
    if (!picture.save(QString::fromStdString(logo))) {
        std::fprintf(stderr, "cannot write the watermark picture\n");
        return 1;
    }

    if (!pinToOneCore())
        std::fprintf(stderr, "could not pin to one core; the figure is for all cores\n");

    player::PlayerCore core(std::make_unique<player::SilentAudioOutput>());
    core.setRealTime(false);
    std::atomic<int> frames{0};
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::shared_ptr<const player::Picture> last;
    core.setPictureHandler([&](std::shared_ptr<const player::Picture> picture) {
        ++frames;
        std::lock_guard lock(mutex);
        last = std::move(picture);
    });
    core.setEndHandler([&] {
        std::lock_guard lock(mutex);
        done = true;
        ended.notify_all();
    });
    if (core.open(clip) < 0) {
        std::fprintf(stderr, "the player cannot open the clip\n");
        return 1;
    }
    core.changeEdits(
        [&](engine::EditSettings &e) {
            e.brightness = 30;
            e.contrast = 20;
            e.saturation = 20;
            IMAGE_WATERMARK_PARAM wm{};
            std::strncpy(wm.path, logo.c_str(), sizeof wm.path - 1);
            wm.rect = RECT{1560, 40, 1880, 220};
            e.imageWatermarks.push_back(wm);
        },
        false);
    core.waitUntilDrawn(10000);
    frames = 0;

    auto start = std::chrono::steady_clock::now();
    core.play();
    {
        std::unique_lock lock(mutex);
        ended.wait(lock, [&] { return done; });
    }
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    core.close();

    // The edits must really be on: the watermark's orange over the grey, in BGRA.
    const AVFrame *f = last ? last->frame.get() : nullptr;
    const uint8_t *px = f ? f->data[0] + size_t(100) * f->linesize[0] + size_t(1700) * 4 : nullptr;
    if (!px || !(px[2] > 200 && px[0] < 120)) {
        std::fprintf(stderr, "the last frame does not show the watermark; the figure is not valid\n");
        return 1;
    }

    double fps = frames / elapsed;
    std::printf("player, 1080p with BCS and a picture watermark, one core: %d frames in %.2f s = %.1f fps "
                "(%.2fx real time; target 2x)\n",
                frames.load(), elapsed, fps, fps / kFps);
    std::filesystem::remove_all(dir);
    return fps / kFps >= 2.0 ? 0 : 2;
}
