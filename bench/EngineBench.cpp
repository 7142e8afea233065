// Times conversions done by our engine and by the ffmpeg command with the same settings, each in a
// fresh process of its own, and prints the ratios of wall time and peak memory (ours / ffmpeg). Two
// cases: a plain conversion, and an edit-heavy one (mirror, rotation, colour, a picture watermark, crop,
// music) against ffmpeg running the equivalent filter graph.
//
//   engine_bench [runs] [case] generate the sources, run every case (or the one named) `runs` times
//                              (default 3), print ratios
//   engine_bench --ours IN OUT run only our plain conversion (used by the benchmark itself)
//   engine_bench --ours-edits IN OUT PICTURE MUSIC   run only our edit-heavy conversion
//   engine_bench --ours-join copy|encode OUT IN...    run only our join (stream copy, or re-encode to 720p)
//   engine_bench --ours-cut IN OUT START END          run only our exact cut with no codec set (seconds)
//   engine_bench memory [VCODEC]   the resident memory of one process before the first and after each
//                                  of four 1080p conversions (libx264 unless told; see runMemory)
//   engine_bench --ours-memory[-threads] IN FOLDER VCODEC   run only the four conversions of the memory
//                                  mode, on the calling thread or each on a thread of its own
//
// The cases against `ffmpeg -c copy` (cut-copy, split-copy, batch-copy) are in CopyYardsticks.h.
//
// Three join cases: two 1080p parts joined by stream copy (ffmpeg: the concat demuxer) and by
// re-encoding (ffmpeg: the concat filter after the same fit into 1280 x 720), and five short 720p clips
// joined by stream copy, where probing each clip weighs most (ffmpeg: the concat demuxer).
//
// The smart-cut case: 5 minutes cut out of a 10-minute 1080p H.264 file with key frames 10 s apart,
// both cuts mid-GOP, no codec set. Against the ffmpeg command re-encoding the same range as our engine
// did before (libx264 veryfast, crf 20, audio copied), and against `ffmpeg -c copy` of the range (which
// starts on the key frame before, so it is not exact). The 10-minute source is kept in a cache folder
// under the temporary folder, since making it takes minutes.
#include "bench/BenchProcess.h"
#include "bench/BenchSources.h"
#include "bench/CopyYardsticks.h"
#include "media/MediaEngine.h"
#include "media/MediaJoin.h"
#include "tests/support/MediaFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using bench::Measure;
using bench::median;
using bench::runProcess;

namespace {

// The one job both sides run: 1080p H.264 + AAC in, 720p 25 fps H.264 (veryfast, 4 Mbit/s) + AAC
// 128 kbit/s out, automatic thread counts.
constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kFps = 25;
constexpr int kVideoKbps = 4000;
constexpr int kAudioKbps = 128;

// Runs one conversion of `input` to `output` set up by `configure` (which returns the last setter's
// result); 0 on success, 1 on failure, as a process exit code.
int runConversion(const char *input, const char *output, const std::function<int(MEDIA_HANDLE)> &configure)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    int r = apiMediaConvertSetInputMedia(h, input);
    if (r > 0)
        r = configure(h);
    if (r > 0)
        r = apiMediaConvertSetOutputPath(h, output);
    if (r > 0)
        r = apiMediaConvertStart(h);
    apiMediaConvertClose(h);
    return r > 0 ? 0 : 1;
}

int runOurs(const char *input, const char *output)
{
    return runConversion(input, output, [](MEDIA_HANDLE h) {
        apiMediaConvertSetVcodec(h, "libx264");
        apiMediaConvertSetAcodec(h, "aac");
        apiMediaConvertSetVideoFrameSize(h, kWidth, kHeight);
        apiMediaConvertSetVideoFps(h, kFps);
        apiMediaConvertSetVideoBitrate(h, kVideoKbps);
        return apiMediaConvertSetAudioBitrate(h, kAudioKbps);
    });
}

// The edit-heavy case: turned to portrait, cropped, then 720 x 1280 at 25 fps, same codecs and rates.
constexpr int kEditWidth = 720;
constexpr int kEditHeight = 1280;
const RECT kEditCrop{40, 20, 40, 20};
const RECT kEditMark{60, 100, 460, 300}; // on the rotated 1080 x 1920 picture
constexpr int64_t kMarkStart = 1000000, kMarkEnd = 9000000;
constexpr int64_t kMusicStart = 2000000, kMusicEnd = 8000000, kMusicFade = 1000000;

int runOursEdits(const char *input, const char *output, const char *picture, const char *music)
{
    return runConversion(input, output, [&](MEDIA_HANDLE h) {
        apiMediaConvertSetVcodec(h, "libx264");
        apiMediaConvertSetAcodec(h, "aac");
        apiMediaConvertSetVideoFrameSize(h, kEditWidth, kEditHeight);
        apiMediaConvertSetVideoFps(h, kFps);
        apiMediaConvertSetVideoBitrate(h, kVideoKbps);
        apiMediaConvertSetAudioBitrate(h, kAudioKbps);
        apiMediaConvertAdjustBCS(h, 20, 10, 10);
        apiMediaConvertHFlipStatus(h, 1);
        apiMediaConvertSetRotateAngle(h, 90);
        apiMediaConvertSetCropSize(h, kEditCrop);
        IMAGE_WATERMARK_PARAM mark{};
        snprintf(mark.path, sizeof mark.path, "%s", picture);
        mark.rect = kEditMark;
        mark.start_time = kMarkStart;
        mark.end_time = kMarkEnd;
        int r = apiMediaConvertAddImageWatermask(h, mark);
        if (r > 0)
            r = apiMediaConvertAddDubbingMusic(h, music, 0, 0, kMusicStart, kMusicEnd, kMusicFade, kMusicFade, 1.0);
        return r;
    });
}

// The same edits as one ffmpeg filter graph.
std::vector<std::string> ffmpegEdits(const std::string &input, const std::string &output, const std::string &picture,
                                     const std::string &music)
{
    auto sec = [](int64_t us) { return std::to_string(us / 1000000.0); };
    const int w = 1080 - kEditCrop.left - kEditCrop.right, h = 1920 - kEditCrop.top - kEditCrop.bottom;
    std::string video =
        "[0:v]hflip,transpose=clock,eq=brightness=" + std::to_string(20 / 255.0) +
        ":contrast=1.1:saturation=1.1[m0];movie=filename=" + picture + ",scale=" +
        std::to_string(kEditMark.right - kEditMark.left) + ":" + std::to_string(kEditMark.bottom - kEditMark.top) +
        ",format=rgba[s0];[m0][s0]overlay=x=" + std::to_string(kEditMark.left) + ":y=" + std::to_string(kEditMark.top) +
        ":format=auto:eof_action=repeat:enable='between(t," + sec(kMarkStart) + "," + sec(kMarkEnd) + ")'[m1];[m1]crop=" +
        std::to_string(w) + ":" + std::to_string(h) + ":" + std::to_string(kEditCrop.left) + ":" +
        std::to_string(kEditCrop.top) + ":exact=1,scale=" + std::to_string(kEditWidth) + ":" +
        std::to_string(kEditHeight) + ",setsar=1,fps=" + std::to_string(kFps) + ",format=yuv420p[v]";
    const int64_t span = kMusicEnd - kMusicStart;
    std::string audio = ";[0:a]anull[main];amovie=filename=" + music + ",atrim=start=0:end=" + sec(span) +
                        ",asetpts=PTS-STARTPTS,atrim=duration=" + sec(span) + ",afade=t=in:st=0:d=" + sec(kMusicFade) +
                        ",afade=t=out:st=" + sec(span - kMusicFade) + ":d=" + sec(kMusicFade) +
                        ",adelay=delays=" + std::to_string(kMusicStart / 1000) +
                        ":all=1[mu];[main][mu]amix=inputs=2:duration=first:dropout_transition=0:normalize=0[a]";
    return {"ffmpeg", "-nostdin", "-v", "error", "-i", input, "-filter_complex", video + audio, "-map", "[v]", "-map",
            "[a]", "-c:v", "libx264", "-preset", "veryfast", "-b:v", std::to_string(kVideoKbps) + "k", "-c:a", "aac",
            "-b:a", std::to_string(kAudioKbps) + "k", output};
}

// The join cases: "copy" joins the parts by stream copy, "encode" into the plain conversion's settings.
int runOursJoin(const std::string &mode, const char *output, const std::vector<const char *> &inputs)
{
    MEDIA_HANDLE h = apiMediaJoinCreate();
    int r = apiMediaJoinSetOutputPath(h, output);
    for (const char *input : inputs)
        if (r > 0 && apiMediaJoinAddMediaClip(h, input, 0, 0) == 0)
            r = MEDIA_ERR_INPUT;
    if (r > 0 && mode == "copy") {
        apiMediaJoinSetVideoCodec(h, "copy");
        apiMediaJoinSetAudioCodec(h, "copy");
    } else if (r > 0) {
        apiMediaJoinSetVideoCodec(h, "libx264");
        apiMediaJoinSetAudioCodec(h, "aac");
        apiMediaJoinSetVideoFrameSize(h, kWidth, kHeight);
        apiMediaJoinSetVideoFps(h, kFps);
        apiMediaJoinSetVideoBitrate(h, kVideoKbps);
        apiMediaJoinSetAudioBitrate(h, kAudioKbps);
    }
    if (r > 0)
        r = apiMediaJoinStart(h);
    apiMediaJoinClose(h);
    return r > 0 ? 0 : 1;
}

int runOursCut(const char *input, const char *output, double start, double end)
{
    return runConversion(input, output, [&](MEDIA_HANDLE h) {
        return apiMediaConvertSetCutTime(h, int64_t(start * 1e6), int64_t(end * 1e6));
    });
}

// ffmpeg's concat filter over two inputs, each fitted into 1280 x 720 like ours.
std::vector<std::string> ffmpegJoinEncode(const std::string &a, const std::string &b, const std::string &output)
{
    std::string fit = "scale=" + std::to_string(kWidth) + ":" + std::to_string(kHeight) +
                      ":force_original_aspect_ratio=decrease,pad=" + std::to_string(kWidth) + ":" +
                      std::to_string(kHeight) + ":(ow-iw)/2:(oh-ih)/2,setsar=1,fps=" + std::to_string(kFps);
    std::string graph = "[0:v]" + fit + "[v0];[1:v]" + fit + "[v1];[v0][0:a][v1][1:a]concat=n=2:v=1:a=1[v][a]";
    return {"ffmpeg", "-nostdin", "-v", "error", "-i", a, "-i", b, "-filter_complex", graph, "-map", "[v]", "-map",
            "[a]", "-c:v", "libx264", "-preset", "veryfast", "-b:v", std::to_string(kVideoKbps) + "k", "-c:a", "aac",
            "-b:a", std::to_string(kAudioKbps) + "k", output};
}

// The memory mode. A process that converts should give its memory back when a job closes: four
// conversions of a 1080p source at its own size (the video codec given, AAC) run one after the other in
// one fresh process, and the resident size is read before the first and 2 s after each Close. Twice: with
// each conversion on the calling thread, and each on a thread of its own as the application's workers
// run them. The source is made by the parent, so that making it weighs nothing in the figures.
long residentKb()
{
    long kb = -1;
    if (FILE *status = fopen("/proc/self/status", "r")) {
        char line[256];
        while (fgets(line, sizeof line, status))
            if (sscanf(line, "VmRSS: %ld kB", &kb) == 1)
                break;
        fclose(status);
    }
    return kb;
}

int runOursMemory(const std::string &input, const std::string &folder, const std::string &codec, bool threads)
{
    constexpr int kConversions = 4;
    const char *where = threads ? "each on a thread of its own" : "on the calling thread";
    const long before = residentKb();
    printf("%s, %s: resident before the first conversion: %ld MiB\n", codec.c_str(), where, before / 1024);
    long after = before;
    for (int i = 1; i <= kConversions; ++i) {
        const std::string output = folder + "/memory" + std::to_string(i) + ".mp4";
        int status = 1;
        auto convert = [&] {
            status = runConversion(input.c_str(), output.c_str(), [&](MEDIA_HANDLE h) {
                apiMediaConvertSetVcodec(h, codec.c_str());
                return apiMediaConvertSetAcodec(h, "aac");
            });
        };
        if (threads)
            std::thread(convert).join();
        else
            convert();
        std::filesystem::remove(output);
        if (status != 0) {
            fprintf(stderr, "conversion %d failed\n", i);
            return 1;
        }
        // The engine gives memory back on its release thread right after Close, not inside it.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        after = residentKb();
        printf("%s, %s: resident after conversion %d: %ld MiB\n", codec.c_str(), where, i, after / 1024);
        fflush(stdout);
    }
    printf("%s, %s: %ld MiB more after the fourth conversion than before the first (target: within 100 MiB)\n",
           codec.c_str(), where, (after - before) / 1024);
    return 0;
}

int runMemory(const std::string &codec)
{
    const std::string folder =
        std::filesystem::temp_directory_path() / ("engine_bench-memory-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string input = folder + "/source1080p.mp4";
    const fixture::Spec spec = bench::tenSeconds1080p();
    std::string error;
    if (!fixture::generate(input, spec, &error)) {
        fprintf(stderr, "cannot generate the source: %s\n", error.c_str());
        return 1;
    }
    const std::string self = std::filesystem::canonical("/proc/self/exe");
    bool ok = true;
    for (const char *mode : {"--ours-memory", "--ours-memory-threads"})
        ok = runProcess({self, mode, input, folder, codec}).ok && ok;
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && argc <= 3 && std::string(argv[1]) == "memory")
        return runMemory(argc == 3 ? argv[2] : "libx264");
    if (argc == 5 && std::string(argv[1]).starts_with("--ours-memory"))
        return runOursMemory(argv[2], argv[3], argv[4], std::string(argv[1]) == "--ours-memory-threads");
    if (argc == 4 && std::string(argv[1]) == "--ours")
        return runOurs(argv[2], argv[3]);
    if (argc == 6 && std::string(argv[1]) == "--ours-edits")
        return runOursEdits(argv[2], argv[3], argv[4], argv[5]);
    if (argc >= 5 && std::string(argv[1]) == "--ours-join")
        return runOursJoin(argv[2], argv[3], std::vector<const char *>(argv + 4, argv + argc));
    if (argc == 6 && std::string(argv[1]) == "--ours-cut")
        return runOursCut(argv[2], argv[3], atof(argv[4]), atof(argv[5]));
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::string only = argc > 2 ? argv[2] : "";
    const std::vector<std::string> yardsticks = bench::copyYardstickCases();
    if (std::find(yardsticks.begin(), yardsticks.end(), only) != yardsticks.end()) {
        std::string folder = std::filesystem::temp_directory_path() / ("engine_bench-" + std::to_string(getpid()));
        int r = bench::runCopyYardstick(only, runs, std::filesystem::canonical("/proc/self/exe"),
                                        std::filesystem::temp_directory_path() / "engine_bench-cache", folder);
        std::filesystem::remove_all(folder);
        return r;
    }

    std::string folder = std::filesystem::temp_directory_path() / ("engine_bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string input = folder + "/source1080p.mp4";
    std::string self = std::filesystem::canonical("/proc/self/exe");
    const fixture::Spec spec = bench::tenSeconds1080p();
    std::string error;
    if (!fixture::generate(input, spec, &error)) {
        fprintf(stderr, "cannot generate the source: %s\n", error.c_str());
        return 1;
    }

    // The edit case's picture (a 24-bit BMP) and music (a tone).
    std::string picture = folder + "/mark.bmp";
    std::string music = folder + "/music.m4a";
    {
        fixture::Spec tone;
        tone.hasVideo = false;
        tone.duration = 8.0;
        tone.audio[0].toneHz = 1000;
        fixture::Spec mark;
        mark.width = 64;
        mark.height = 32;
        mark.duration = 0.04;
        mark.videoCodec = "bmp";
        mark.audio.clear();
        if (!fixture::generate(music, tone, &error) || !fixture::generate(picture, mark, &error)) {
            fprintf(stderr, "cannot generate the edit inputs: %s\n", error.c_str());
            return 1;
        }
    }

    // Five short clips for the copy join of many parts.
    std::vector<std::string> clips;
    for (int i = 0; i < 5; ++i) {
        fixture::Spec clip;
        clip.width = 1280;
        clip.height = 720;
        clip.duration = 2.0;
        clip.audio[0].toneHz = 300 + 100 * i;
        clips.push_back(folder + "/clip" + std::to_string(i) + ".mp4");
        if (!fixture::generate(clips.back(), clip, &error)) {
            fprintf(stderr, "cannot generate the clips: %s\n", error.c_str());
            return 1;
        }
    }

    // The concat demuxer's lists: the two parts, and the five clips, joined by stream copy.
    auto writeList = [&](const std::string &path, const std::vector<std::string> &files) {
        if (FILE *list = fopen(path.c_str(), "w")) {
            for (const std::string &file : files)
                fprintf(list, "file '%s'\n", file.c_str());
            fclose(list);
        }
        return path;
    };
    std::string concatList = writeList(folder + "/parts.txt", {input, input});
    std::string clipList = writeList(folder + "/clips.txt", clips);
    std::vector<std::string> oursFive = {self, "--ours-join", "copy", folder + "/ours.mp4"};
    oursFive.insert(oursFive.end(), clips.begin(), clips.end());

    // The smart-cut source, made once and kept for later runs.
    std::string cache = std::filesystem::temp_directory_path() / "engine_bench-cache";
    std::string longSource = cache + "/longgop1080p-600s.mp4";
    if ((only.empty() || only == "smart-cut") && !std::filesystem::exists(longSource)) {
        std::filesystem::create_directories(cache);
        fixture::Spec longSpec = spec;
        longSpec.duration = 600.0;
        longSpec.gopSize = 250;
        std::string part = cache + "/making.mp4";
        printf("making the 10-minute source in %s (once)\n", cache.c_str());
        fflush(stdout);
        if (!fixture::generate(part, longSpec, &error)) {
            fprintf(stderr, "cannot generate the long source: %s\n", error.c_str());
            return 1;
        }
        std::filesystem::rename(part, longSource);
    }
    const std::string cutStart = "125.32", cutEnd = "425.32"; // 5.32 s after key frames

    struct Case
    {
        const char *name;
        std::vector<std::string> ours;
        std::vector<std::string> theirs;
        std::vector<std::string> reference = {}; // a second ffmpeg command, reported beside
    };
    std::vector<Case> cases = {
        {"convert", {self, "--ours", input, folder + "/ours.mp4"},
         {"ffmpeg", "-nostdin", "-v", "error", "-i", input, "-c:v", "libx264", "-preset", "veryfast", "-b:v",
          std::to_string(kVideoKbps) + "k", "-s", std::to_string(kWidth) + "x" + std::to_string(kHeight), "-r",
          std::to_string(kFps), "-c:a", "aac", "-b:a", std::to_string(kAudioKbps) + "k", folder + "/ffmpeg.mp4"}},
        {"edits", {self, "--ours-edits", input, folder + "/ours.mp4", picture, music},
         ffmpegEdits(input, folder + "/ffmpeg.mp4", picture, music)},
        {"join-copy", {self, "--ours-join", "copy", folder + "/ours.mp4", input, input},
         {"ffmpeg", "-nostdin", "-v", "error", "-f", "concat", "-safe", "0", "-i", concatList, "-c", "copy",
          folder + "/ffmpeg.mp4"}},
        {"join-encode", {self, "--ours-join", "encode", folder + "/ours.mp4", input, input},
         ffmpegJoinEncode(input, input, folder + "/ffmpeg.mp4")},
        {"join-copy-5", oursFive,
         {"ffmpeg", "-nostdin", "-v", "error", "-f", "concat", "-safe", "0", "-i", clipList, "-c", "copy",
          folder + "/ffmpeg.mp4"}},
        // Our engine's re-encode of such a cut was libx264 veryfast at crf 20, the sound copied.
        {"smart-cut",
         {self, "--ours-cut", longSource, folder + "/ours.mp4", cutStart, cutEnd},
         {"ffmpeg", "-nostdin", "-v", "error", "-ss", cutStart, "-to", cutEnd, "-i", longSource, "-c:v", "libx264",
          "-preset", "veryfast", "-crf", "20", "-c:a", "copy", folder + "/ffmpeg.mp4"},
         {"ffmpeg", "-nostdin", "-v", "error", "-ss", cutStart, "-to", cutEnd, "-i", longSource, "-c", "copy",
          folder + "/copy.mp4"}},
    };
    for (const Case &c : cases) {
        if (!only.empty() && only != c.name)
            continue;
        std::vector<double> oursTime, theirsTime, oursMem, theirsMem, pairRatios, referenceTime;
        for (int i = 0; i < runs; ++i) {
            std::filesystem::remove(folder + "/ours.mp4");
            std::filesystem::remove(folder + "/ffmpeg.mp4");
            std::filesystem::remove(folder + "/copy.mp4");
            Measure a = runProcess(c.ours);
            Measure b = runProcess(c.theirs);
            if (!c.reference.empty()) {
                Measure copy = runProcess(c.reference);
                if (!copy.ok) {
                    fprintf(stderr, "%s run %d: the reference command failed\n", c.name, i);
                    return 1;
                }
                printf("%s run %d: ffmpeg -c copy %.2f s\n", c.name, i, copy.seconds);
                referenceTime.push_back(copy.seconds);
            }
            if (!a.ok || !b.ok) {
                fprintf(stderr, "%s run %d failed (ours %s, ffmpeg %s)\n", c.name, i, a.ok ? "ok" : "failed",
                        b.ok ? "ok" : "failed");
                return 1;
            }
            printf("%s run %d: ours %.2f s %ld KiB, ffmpeg %.2f s %ld KiB\n", c.name, i, a.seconds, a.peakKb, b.seconds,
                   b.peakKb);
            pairRatios.push_back(a.seconds / b.seconds);
            oursTime.push_back(a.seconds);
            theirsTime.push_back(b.seconds);
            oursMem.push_back(double(a.peakKb));
            theirsMem.push_back(double(b.peakKb));
        }
        printf("%s wall-time ratio (ours / ffmpeg, median of %d): %.3f\n", c.name, runs,
               median(oursTime) / median(theirsTime));
        printf("%s wall-time ratio (ours / ffmpeg, median of %d pairs): %.3f\n", c.name, runs, median(pairRatios));
        printf("%s peak-memory ratio (ours / ffmpeg, median of %d): %.3f\n", c.name, runs,
               median(oursMem) / median(theirsMem));
        if (!referenceTime.empty())
            printf("%s wall-time ratio (ours / ffmpeg -c copy, median of %d): %.3f\n", c.name, runs,
                   median(oursTime) / median(referenceTime));
    }
    if (only.empty())
        for (const std::string &name : yardsticks)
            if (bench::runCopyYardstick(name, runs, self, cache, folder) != 0)
                return 1;
    std::filesystem::remove_all(folder);
    return 0;
}
