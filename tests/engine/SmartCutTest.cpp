// Exact cuts with no codec set on long-GOP H.264: only the seams are encoded, the packets between are
// the source's, and what cannot be cut so is re-encoded whole (and says why in the log).
#include "engine/EngineLog.h"
#include "media/MediaJoin.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace enginetest;

namespace {

constexpr int kFps = 25;
constexpr double kFrame = 1.0 / kFps;
// Key frames every 5 s; both cut points land several seconds after one.
constexpr int kGop = 5 * kFps;
constexpr int kFirstFrame = 183; // 7.32 s
constexpr int kEndFrame = 465;   // 18.6 s: the last frame kept is 464
constexpr int64_t kCutStart = int64_t(kFirstFrame) * 1000000 / kFps;
constexpr int64_t kCutEnd = int64_t(kEndFrame) * 1000000 / kFps;

enum class Gop { Closed, Open, Interlaced };

fixture::Spec longGop(Gop gop = Gop::Closed)
{
    fixture::Spec spec;
    spec.width = 320;
    spec.height = 180;
    spec.duration = 30.0;
    spec.gopSize = kGop;
    spec.bFrames = 2;
    spec.openGop = gop == Gop::Open;
    spec.interlaced = gop == Gop::Interlaced;
    return spec;
}

// Peak signal-to-noise ratio of `b` against `a` over all RGB samples (dB; 100 for identical pictures).
double psnr(const fixture::Image &a, const fixture::Image &b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    double mse = sum / double(a.rgb.size());
    return mse == 0 ? 100 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Runs the cut with no codec set; `log` receives what the engine wrote to standard error.
// Cuts with the engine's trace on, so `log` holds its account of how it cut.
int cut(const std::string &source, const std::string &out, std::string &log)
{
    const bool traced = engine::traceShown();
    engine::setTraceShown(true);
    testing::internal::CaptureStderr();
    int result =
        convert(source, out, [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, kCutStart, kCutEnd); });
    log = testing::internal::GetCapturedStderr();
    engine::setTraceShown(traced);
    return result;
}

// The indices of the video packets flagged as key frames, in file order.
std::vector<int> keyPackets(const std::string &path)
{
    std::vector<int> keys;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return keys;
    int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVPacket *packet = av_packet_alloc();
    for (int index = 0; packet && av_read_frame(format, packet) >= 0; av_packet_unref(packet)) {
        if (packet->stream_index != video)
            continue;
        if (packet->flags & AV_PKT_FLAG_KEY)
            keys.push_back(index);
        ++index;
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return keys;
}

// Where `run` starts inside `all` (-1 when it is not there whole).
long findRun(const std::vector<std::string> &all, const std::vector<std::string> &run)
{
    auto at = std::search(all.begin(), all.end(), run.begin(), run.end());
    return run.empty() || at == all.end() ? -1 : long(at - all.begin());
}

// The frames every cut must give, and a clean decode by the ffmpeg command.
void expectExactRange(const std::string &out)
{
    std::vector<int> frames = fixture::decodeAllFrameIndices(out);
    ASSERT_EQ(frames.size(), size_t(kEndFrame - kFirstFrame));
    for (size_t i = 0; i < frames.size(); ++i)
        ASSERT_EQ(frames[i], kFirstFrame + int(i)) << "output frame " << i;
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    ASSERT_EQ(probe.count("audio"), 1);
    EXPECT_NEAR(probe.duration, (kEndFrame - kFirstFrame) * kFrame, kFrame + 0.03);
    EXPECT_EQ(fixture::decodeErrors(out), "");
}

} // namespace

TEST(SmartCut, EncodesOnlyTheSeamsAndCopiesThePacketsBetween)
{
    for (const char *extension : {"mp4", "mkv"}) {
        SCOPED_TRACE(extension);
        const std::string source = sharedFixture(std::string("longgop.") + extension, longGop());
        const std::string out = freshFolder() + "/cut." + extension;
        std::string log;
        ASSERT_EQ(cut(source, out, log), MEDIA_OK) << log;
        EXPECT_EQ(log.find("no smart cut"), std::string::npos) << log;
        expectExactRange(out);

        // The GOPs from 10 s to 15 s are the source's packets, whole and in order, right after the
        // encoded head.
        const std::vector<std::string> sourcePackets = fixture::packetHashes(source, "video");
        const std::vector<std::string> outPackets = fixture::packetHashes(out, "video");
        ASSERT_GE(sourcePackets.size(), size_t(3 * kGop));
        std::vector<std::string> middle(sourcePackets.begin() + 2 * kGop, sourcePackets.begin() + 3 * kGop);
        EXPECT_EQ(findRun(outPackets, middle), 2 * kGop - kFirstFrame);
        EXPECT_EQ(outPackets.size(), size_t(kEndFrame - kFirstFrame));
        // The tail's packets are the source's up to the last point where every picture before it is
        // complete; only the pictures coded out of order across the end (a B-frame run) are encoded,
        // from a key picture of their own.
        const std::vector<int> keys = keyPackets(out);
        ASSERT_EQ(keys.size(), 4u);
        EXPECT_EQ(std::vector<int>(keys.begin(), keys.begin() + 3),
                  (std::vector<int>{0, 2 * kGop - kFirstFrame, 3 * kGop - kFirstFrame}));
        const int encodedTail = int(outPackets.size()) - keys[3];
        EXPECT_GE(encodedTail, 1);
        EXPECT_LE(encodedTail, longGop().bFrames + 1);
        const int copiedTail = keys[3] - (3 * kGop - kFirstFrame);
        std::vector<std::string> tail(sourcePackets.begin() + 3 * kGop,
                                      sourcePackets.begin() + 3 * kGop + copiedTail);
        EXPECT_EQ(findRun(outPackets, tail), 3 * kGop - kFirstFrame);

        // The encoded seams look like the source's frames.
        for (int frame :
             {kFirstFrame, kFirstFrame + 30, 2 * kGop - 1, 3 * kGop, 3 * kGop + 40, kEndFrame - 1}) {
            SCOPED_TRACE(frame);
            std::optional<fixture::Image> original = fixture::decodeFrameAt(source, frame * kFrame);
            std::optional<fixture::Image> copy = fixture::decodeFrameAt(out, (frame - kFirstFrame) * kFrame);
            ASSERT_TRUE(original && copy);
            EXPECT_GE(psnr(*original, *copy), 40.0);
        }
    }
}

TEST(SmartCut, CopiesATailThatNoPictureAfterTheEndComesInto)
{
    // No picture is coded out of order: the packets from the last key frame to the cut end decode
    // alone, so only the head is encoded and the rest is the source's packets.
    fixture::Spec spec = longGop();
    spec.bFrames = 0;
    const std::string source = sharedFixture("longgop-nob.mp4", spec);
    const std::string out = freshFolder() + "/cut.mp4";
    std::string log;
    ASSERT_EQ(cut(source, out, log), MEDIA_OK) << log;
    EXPECT_EQ(log.find("no smart cut"), std::string::npos) << log;
    expectExactRange(out);
    const std::vector<std::string> sourcePackets = fixture::packetHashes(source, "video");
    const std::vector<std::string> outPackets = fixture::packetHashes(out, "video");
    ASSERT_EQ(outPackets.size(), size_t(kEndFrame - kFirstFrame));
    std::vector<std::string> copied(sourcePackets.begin() + 2 * kGop, sourcePackets.begin() + kEndFrame);
    EXPECT_EQ(findRun(outPackets, copied), 2 * kGop - kFirstFrame) << log;
}

TEST(SmartCut, ReencodesTheWholeRangeWhereASmartCutIsNotSure)
{
    struct Case
    {
        const char *name;
        Gop gop;
        const char *source;
        const char *outputExtension;
        const char *reason;
    };
    const Case cases[] = {
        {"open GOP", Gop::Open, "opengop.mp4", "mp4", "open GOP"},
        {"interlaced", Gop::Interlaced, "interlaced.mkv", "mkv", "interlaced"},
        {"container without room for the parameter sets", Gop::Closed, "longgop.mp4", "ts", "cannot carry"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = sharedFixture(c.source, longGop(c.gop));
        const std::string out = freshFolder() + "/cut." + c.outputExtension;
        std::string log;
        ASSERT_EQ(cut(source, out, log), MEDIA_OK) << log;
        EXPECT_NE(log.find("no smart cut"), std::string::npos) << log;
        EXPECT_NE(log.find(c.reason), std::string::npos) << log;
        expectExactRange(out);
        // Re-encoded whole: no packet of the source survives.
        const std::vector<std::string> sourcePackets = fixture::packetHashes(source, "video");
        for (const std::string &hash : fixture::packetHashes(out, "video"))
            ASSERT_EQ(std::find(sourcePackets.begin(), sourcePackets.end(), hash), sourcePackets.end());
    }
}

TEST(SmartCut, PiecesOfOneSourceJoinByStreamCopy)
{
    // The delete-section export: the parts before and behind a section, each cut with no codec set,
    // then joined by copy. The parts' seams carry parameter sets of their own ids; the join keeps them all.
    // The second part is shorter than a GOP, so the matched encoder makes all of it.
    const std::string source = sharedFixture("longgop.mp4", longGop());
    const std::string folder = freshFolder();
    const std::string before = folder + "/before.mp4", behind = folder + "/behind.mp4";
    const std::string out = folder + "/joined.mp4";
    const int behindFirst = 26 * kFps + 10; // 26.4 s; the next key frame is past the end (30 s)
    ASSERT_EQ(
        convert(source, before, [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 0, kCutStart); }),
        MEDIA_OK);
    ASSERT_EQ(convert(source, behind,
                      [&](MEDIA_HANDLE h) {
                          return apiMediaConvertSetCutTime(h, int64_t(behindFirst) * 1000000 / kFps, 0);
                      }),
              MEDIA_OK);

    MEDIA_HANDLE h = apiMediaJoinCreate();
    int r = apiMediaJoinSetOutputPath(h, out.c_str());
    for (const std::string &part : {before, behind})
        if (r > 0 && apiMediaJoinAddMediaClip(h, part.c_str(), 0, 0) == 0)
            r = MEDIA_ERR_INPUT;
    if (r > 0)
        r = apiMediaJoinSetVideoCodec(h, "copy");
    if (r > 0)
        r = apiMediaJoinSetAudioCodec(h, "copy");
    if (r > 0)
        r = apiMediaJoinStart(h);
    apiMediaJoinClose(h);
    ASSERT_GT(r, 0);
    // Joined by copy: the parts' packets, unchanged and in order.
    std::vector<std::string> parts = fixture::packetHashes(before, "video");
    for (const std::string &hash : fixture::packetHashes(behind, "video"))
        parts.push_back(hash);
    EXPECT_EQ(fixture::packetHashes(out, "video"), parts);

    std::vector<int> frames = fixture::decodeAllFrameIndices(out);
    std::vector<int> expected;
    for (int i = 0; i < kFirstFrame; ++i)
        expected.push_back(i);
    for (int i = behindFirst; i < 30 * kFps; ++i)
        expected.push_back(i);
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(fixture::decodeErrors(out), "");
}

TEST(SmartCut, AStopWhileASeamIsEncodedEndsTheJobPromptlyAndLeavesNoFile)
{
    // A 1080p head of 117 pictures: the seam's decoder and encoder threads are at work when the stop
    // comes (the first seam packets move the progress), and both end with the job.
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 12.0;
    spec.gopSize = 10 * kFps;
    const std::string source = sharedFixture("longgop1080p.mp4", spec);
    const std::string folder = freshFolder();
    const std::string out = folder + "/stopped.mp4";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, source.c_str()), 0);
    ASSERT_GT(apiMediaConvertSetCutTime(h, 5320000, 11000000), 0);
    ASSERT_GT(apiMediaConvertSetOutputPath(h, out.c_str()), 0);

    const StoppedRun run = stopWhileRunning([&] { return apiMediaConvertStart(h); },
                                            [&] { return double(apiMediaConvertGetProgress(h)); }, 1,
                                            [&] { return apiMediaConvertStop(h); });
    ASSERT_TRUE(run.runningAtStop) << "the job ended before it could be stopped";
    EXPECT_LT(run.progressAtStop, 40) << "the stop came after the seam";
    EXPECT_EQ(run.stopResult, MEDIA_OK);
    EXPECT_EQ(run.result, MEDIA_ERR_STOPPED);
    EXPECT_LT(run.returnedAfter, std::chrono::seconds(1));
    EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();
    EXPECT_EQ(apiMediaConvertClose(h), MEDIA_OK);
}
