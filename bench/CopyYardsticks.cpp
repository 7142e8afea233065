#include "bench/CopyYardsticks.h"

#include "bench/BenchProcess.h"
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

namespace bench {

namespace {

constexpr const char *kCutStart = "125.32", *kCutEnd = "425.32"; // 5.32 s after key frames
constexpr int kBatchFiles = 10;

bool makeOnce(const std::string &path, const fixture::Spec &spec)
{
    if (std::filesystem::exists(path))
        return true;
    printf("making %s (once)\n", path.c_str());
    fflush(stdout);
    std::string part = path + ".making.mp4", error;
    if (!fixture::generate(part, spec, &error)) {
        fprintf(stderr, "cannot generate %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::filesystem::rename(part, path);
    return true;
}

std::string longSource(const std::string &cache)
{
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 600.0;
    spec.videoBitrate = 8000000;
    spec.gopSize = 250;
    std::string path = cache + "/longgop1080p-600s.mp4";
    return makeOnce(path, spec) ? path : std::string();
}

std::vector<std::string> batchSources(const std::string &cache)
{
    std::vector<std::string> files;
    for (int i = 0; i < kBatchFiles; ++i) {
        fixture::Spec spec;
        spec.width = 1280;
        spec.height = 720;
        spec.duration = 30.0;
        spec.gopSize = 50;
        spec.audio[0].toneHz = 300 + 50 * i;
        files.push_back(cache + "/batch720p-" + std::to_string(i) + ".mp4");
        if (!makeOnce(files.back(), spec))
            return {};
    }
    return files;
}

int64_t duration(const std::string &input)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    int64_t d = apiMediaConvertSetInputMedia(h, input.c_str()) > 0 ? apiMediaConvertGetDuration(h) : 0;
    apiMediaConvertClose(h);
    return d;
}

} // namespace

std::vector<std::string> copyYardstickCases()
{
    return {"cut-copy", "split-copy", "batch-copy"};
}

int runCopyYardstick(const std::string &name, int runs, const std::string &self, const std::string &cache,
                     const std::string &folder)
{
    std::filesystem::create_directories(cache);
    std::vector<std::string> ours, theirs;
    const std::string out = folder + "/yardstick";
    const std::string chains = (std::filesystem::path(self).parent_path() / "cutter_chains").string();
    if (name == "cut-copy" || name == "split-copy") {
        const std::string source = longSource(cache);
        if (source.empty())
            return 1;
        if (name == "cut-copy") {
            ours = {self, "--ours-cut", source, out + "/ours.mp4", kCutStart, kCutEnd};
            theirs = {"ffmpeg", "-nostdin", "-v",   "error", "-ss", kCutStart, "-to",
                      kCutEnd,  "-i",       source, "-c",    "copy", out + "/ffmpeg.mp4"};
        } else {
            ours = {chains, "--ours-split", source, out};
            const double total = double(duration(source)) / 1e6;
            std::string times;
            for (int i = 1; i < kSplitPieces; ++i)
                times += (i > 1 ? "," : "") + std::to_string(total * i / kSplitPieces);
            theirs = {"ffmpeg", "-nostdin", "-v", "error", "-i", source, "-map", "0", "-c", "copy", "-f", "segment",
                      "-segment_times", times, "-reset_timestamps", "1", out + "/ffmpeg-split%d.mp4"};
        }
    } else if (name == "batch-copy") {
        const std::vector<std::string> sources = batchSources(cache);
        if (sources.empty())
            return 1;
        ours = {chains, "--ours-batch", out};
        ours.insert(ours.end(), sources.begin(), sources.end());
        std::string script;
        for (size_t i = 0; i < sources.size(); ++i)
            script += "ffmpeg -nostdin -v error -ss " + std::string(kBatchStart) + " -to " + kBatchEnd + " -i '" +
                      sources[i] + "' -c copy '" + out + "/ffmpeg-batch" + std::to_string(i) + ".mp4' && ";
        theirs = {"sh", "-c", script + "true"};
    } else {
        return 2;
    }

    std::vector<double> ratios, memory, oursTime, theirsTime;
    for (int i = 0; i < runs; ++i) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        Measure a = runProcess(ours);
        Measure b = runProcess(theirs);
        if (!a.ok || !b.ok) {
            fprintf(stderr, "%s run %d failed (ours %s, ffmpeg %s)\n", name.c_str(), i, a.ok ? "ok" : "failed",
                    b.ok ? "ok" : "failed");
            return 1;
        }
        printf("%s run %d: ours %.2f s %ld KiB, ffmpeg -c copy %.2f s %ld KiB\n", name.c_str(), i, a.seconds,
               a.peakKb, b.seconds, b.peakKb);
        fflush(stdout);
        ratios.push_back(a.seconds / b.seconds);
        memory.push_back(double(a.peakKb) / double(b.peakKb));
        oursTime.push_back(a.seconds);
        theirsTime.push_back(b.seconds);
    }
    std::filesystem::remove_all(out);
    printf("%s: ours %.2f s, ffmpeg -c copy %.2f s (medians)\n", name.c_str(), median(oursTime),
           median(theirsTime));
    printf("%s wall-time ratio (ours / ffmpeg -c copy, median of %d pairs): %.3f\n", name.c_str(), runs,
           median(ratios));
    printf("%s peak-memory ratio (ours / ffmpeg -c copy, median of %d pairs): %.3f\n", name.c_str(), runs,
           median(memory));
    return 0;
}

} // namespace bench
