// Times one conversion done by our engine and by the ffmpeg command with the same settings, each in a
// fresh process of its own, and prints the ratios of wall time and peak memory (ours / ffmpeg).
//
//   engine_bench [runs]        generate the source, run both `runs` times (default 3), print ratios
//   engine_bench --ours IN OUT run only our conversion (used by the benchmark itself)
#include "media/MediaEngine.h"
#include "tests/support/MediaFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The one job both sides run: 1080p H.264 + AAC in, 720p 25 fps H.264 (veryfast, 4 Mbit/s) + AAC
// 128 kbit/s out, automatic thread counts.
constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kFps = 25;
constexpr int kVideoKbps = 4000;
constexpr int kAudioKbps = 128;

int runOurs(const char *input, const char *output)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    int r = apiMediaConvertSetInputMedia(h, input);
    if (r > 0) {
        apiMediaConvertSetVcodec(h, "libx264");
        apiMediaConvertSetAcodec(h, "aac");
        apiMediaConvertSetVideoFrameSize(h, kWidth, kHeight);
        apiMediaConvertSetVideoFps(h, kFps);
        apiMediaConvertSetVideoBitrate(h, kVideoKbps);
        apiMediaConvertSetAudioBitrate(h, kAudioKbps);
        r = apiMediaConvertSetOutputPath(h, output);
    }
    if (r > 0)
        r = apiMediaConvertStart(h);
    apiMediaConvertClose(h);
    return r > 0 ? 0 : 1;
}

struct Measure
{
    double seconds = 0;
    long peakKb = 0;
    bool ok = false;
};

Measure runProcess(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    Measure m;
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKb = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--ours")
        return runOurs(argv[2], argv[3]);
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    std::string folder = std::filesystem::temp_directory_path() / ("engine_bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string input = folder + "/source1080p.mp4";
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 10.0;
    spec.videoBitrate = 8000000;
    std::string error;
    if (!fixture::generate(input, spec, &error)) {
        fprintf(stderr, "cannot generate the source: %s\n", error.c_str());
        return 1;
    }

    std::string self = std::filesystem::canonical("/proc/self/exe");
    std::vector<double> oursTime, theirsTime, oursMem, theirsMem;
    for (int i = 0; i < runs; ++i) {
        std::string ours = folder + "/ours" + std::to_string(i) + ".mp4";
        std::string theirs = folder + "/ffmpeg" + std::to_string(i) + ".mp4";
        Measure a = runProcess({self, "--ours", input, ours});
        Measure b = runProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", input, "-c:v", "libx264", "-preset",
                                "veryfast", "-b:v", std::to_string(kVideoKbps) + "k", "-s",
                                std::to_string(kWidth) + "x" + std::to_string(kHeight), "-r", std::to_string(kFps),
                                "-c:a", "aac", "-b:a", std::to_string(kAudioKbps) + "k", theirs});
        if (!a.ok || !b.ok) {
            fprintf(stderr, "run %d failed (ours %s, ffmpeg %s)\n", i, a.ok ? "ok" : "failed", b.ok ? "ok" : "failed");
            return 1;
        }
        printf("run %d: ours %.2f s %ld KiB, ffmpeg %.2f s %ld KiB\n", i, a.seconds, a.peakKb, b.seconds, b.peakKb);
        oursTime.push_back(a.seconds);
        theirsTime.push_back(b.seconds);
        oursMem.push_back(double(a.peakKb));
        theirsMem.push_back(double(b.peakKb));
    }
    printf("wall-time ratio (ours / ffmpeg, median of %d): %.3f\n", runs, median(oursTime) / median(theirsTime));
    printf("peak-memory ratio (ours / ffmpeg, median of %d): %.3f\n", runs, median(oursMem) / median(theirsMem));
    std::filesystem::remove_all(folder);
    return 0;
}
