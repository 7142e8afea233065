// Files shaped like those from cameras, recorders and the web, and hostile inputs: timelines that do not
// start at 0, damaged files, sound that starts before the picture, FIFOs, links planted at the output.
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

// 6 s at 25 fps whose own timeline starts at 10 s, as broadcast recordings and camcorder files do.
std::string lateTransportStream()
{
    fixture::Spec spec;
    spec.duration = 6.0;
    spec.startTime = 10.0;
    spec.bFrames = 2;
    return sharedFixture("late-start.ts", spec);
}

// 4 s of Matroska cut off after half of its bytes: the header still promises 4 s.
std::string damagedClip()
{
    static const std::string path = [] {
        fixture::Spec spec;
        spec.duration = 4.0;
        const std::string whole = sharedFixture("damaged-whole.mkv", spec);
        const std::string cut = freshFolder() + "/damaged.mkv";
        EXPECT_TRUE(fixture::truncateCopy(whole, cut, 0.5));
        return cut;
    }();
    return path;
}

// Runs `call` on a thread and waits at most `seconds` for it. A call still blocked on `fifo` after
// that counts as a hang: a writer then opens the FIFO, so the call ends and the test can go on.
template <class Call> bool returnsWithin(double seconds, const std::string &fifo, Call call)
{
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::duration<double>(seconds)) == std::future_status::ready)
        return true;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            close(writer);
    }
    return false;
}

} // namespace

TEST(LateStart, CutTimesCountFromTheFilesOwnStart)
{
    const std::string source = lateTransportStream();
    // No codec (a copy between key frames), a re-encode, and the same range as a join clip.
    struct Case
    {
        const char *name;
        std::function<int(const std::string &)> run;
    };
    const Case cases[] = {
        {"copy",
         [&](const std::string &out) {
             return convert(source, out,
                            [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 1000000, 3000000); });
         }},
        {"re-encode",
         [&](const std::string &out) {
             return convert(source, out, [](MEDIA_HANDLE h) {
                 apiMediaConvertSetVcodec(h, "h264");
                 return apiMediaConvertSetCutTime(h, 1000000, 3000000);
             });
         }},
        {"join",
         [&](const std::string &out) {
             return join({Clip{source, 1000000, 3000000}}, out);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = freshFolder() + "/cut.mp4";
        ASSERT_EQ(c.run(out), MEDIA_OK);
        const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
        ASSERT_EQ(frames.size(), 50u);
        EXPECT_EQ(frames.front(), 25);
        EXPECT_EQ(frames.back(), 74);
        EXPECT_GT(fixture::audioRms(out, 0.1, 1.9), 0.1);
    }
}

TEST(LateStart, ProbeAndSnapshotCountFromTheFilesOwnStart)
{
    MEDIA_HANDLE probe = MediaOpen(lateTransportStream().c_str());
    ASSERT_NE(probe, nullptr);
    EXPECT_NEAR(double(MediaGetDuration(probe)) / 1e6, 6.0, 0.1);
    std::vector<uint8_t> pixels(160 * 90 * 4);
    for (int second : {0, 1, 3}) {
        SCOPED_TRACE(second);
        ASSERT_GT(MediaSnapshot(probe, int64_t(second) * 1000000, 160, 90, pixels.data(), 0), 0);
        EXPECT_EQ(fixture::readFrameIndex(imageFromBgra(pixels, 160, 90)), second * 25);
    }
    MediaClose(probe);
}

TEST(DamagedFile, RangePastTheReadablePartFailsAndLeavesNoFile)
{
    const std::string source = damagedClip();
    const std::string folder = freshFolder();
    const std::string converted = folder + "/converted.mp4";
    EXPECT_EQ(convert(source, converted,
                      [](MEDIA_HANDLE h) {
                          apiMediaConvertSetVcodec(h, "h264");
                          return apiMediaConvertSetCutTime(h, 3000000, 4000000);
                      }),
              MEDIA_ERR_NOTHING_IN_RANGE);
    EXPECT_EQ(join({Clip{source, 3000000, 4000000}}, folder + "/joined.mp4"), MEDIA_ERR_NOTHING_IN_RANGE);
    EXPECT_EQ(join({Clip{source, 3000000, 4000000}}, folder + "/joined.mkv",
                   [](MEDIA_HANDLE h) { return apiMediaJoinSetVideoCodec(h, "mpeg4"); }),
              MEDIA_ERR_NOTHING_IN_RANGE);
    EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();

    // The readable part still converts.
    EXPECT_EQ(
        convert(source, converted, [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 0, 1000000); }),
        MEDIA_OK);
    EXPECT_EQ(fixture::countVideoFrames(converted), 25);
}

TEST(EarlySound, NegativeAudioTimestampsConvertInSync)
{
    // The sound starts 0.5 s before the picture, so it also ends 0.5 s before it.
    fixture::Spec spec;
    spec.duration = 2.0;
    spec.audioOffset = -0.5;
    spec.bFrames = 2;
    const std::string source = sharedFixture("early-sound.mkv", spec);
    for (const char *codec : {"", "h264"}) {
        SCOPED_TRACE(codec);
        const std::string out = freshFolder() + "/whole.mp4";
        ASSERT_EQ(convert(source, out, [&](MEDIA_HANDLE h) { return apiMediaConvertSetVcodec(h, codec); }),
                  MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
        ASSERT_EQ(frames.size(), 50u);
        EXPECT_EQ(frames.front(), 0);
        // Where the picture starts and ends on the output's timeline.
        const fixture::ProbeStream video = probe.ofType("video").at(0);
        const double pictureEnd = video.startTime + 2.0;
        EXPECT_GT(fixture::audioRms(out, pictureEnd - 0.9, pictureEnd - 0.6), 0.1);
        EXPECT_LT(fixture::audioRms(out, pictureEnd - 0.4, pictureEnd), 0.01);
    }
}

TEST(NotAFile, FifoAndDevicesAreRefusedAtOnce)
{
    const std::string folder = freshFolder();
    const std::string fifo = folder + "/pipe.mp4";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(returnsWithin(5, fifo, [&] { EXPECT_EQ(MediaOpen(path.c_str()), nullptr); }));
        EXPECT_TRUE(returnsWithin(5, fifo, [&] {
            MEDIA_HANDLE h = apiMediaConvertCreate();
            EXPECT_EQ(apiMediaConvertSetInputMedia(h, path.c_str()), MEDIA_ERR_INPUT);
            apiMediaConvertClose(h);
        }));
        EXPECT_TRUE(returnsWithin(5, fifo, [&] {
            MEDIA_HANDLE h = apiMediaJoinCreate();
            EXPECT_EQ(apiMediaJoinAddMediaClip(h, path.c_str(), 0, 0), 0);
            apiMediaJoinClose(h);
        }));
    }

    // A link to a regular file is a regular file.
    const std::string link = folder + "/link.mp4";
    fs::create_symlink(clip720p(), link);
    MEDIA_HANDLE probe = MediaOpen(link.c_str());
    EXPECT_NE(probe, nullptr);
    MediaClose(probe);
}

TEST(TemporaryOutput, PlantedLinksAreNotFollowedAndTheOutputIsARegularFile)
{
    // Links planted at every name a predictable scheme could pick, pointing outside the folder.
    const std::string folder = freshFolder();
    const std::string outside = freshFolder();
    for (int i = 0; i < 2000; ++i) {
        const std::string suffix = std::to_string(getpid()) + "-" + std::to_string(i) + ".part";
        for (const char *name : {"out.mp4", "joined.mp4"})
            fs::create_symlink(outside + "/victim-" + std::to_string(i), folder + "/." + name + "." + suffix);
    }
    fixture::Spec spec;
    spec.duration = 1.0;
    const std::string source = sharedFixture("small.mp4", spec);
    ASSERT_EQ(convert(source, folder + "/out.mp4", [](MEDIA_HANDLE) { return int(MEDIA_OK); }), MEDIA_OK);
    ASSERT_EQ(join({Clip{source}, Clip{source}}, folder + "/joined.mp4"), MEDIA_OK);

    for (const char *name : {"out.mp4", "joined.mp4"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder + "/" + name)));
        EXPECT_GT(fixture::countVideoFrames(folder + "/" + name), 0);
    }
    EXPECT_TRUE(filesIn(outside).empty()) << "written outside the folder: " << filesIn(outside).front();
    size_t links = 0;
    for (const auto &entry : fs::directory_iterator(folder))
        links += fs::is_symlink(entry.symlink_status()) ? 1 : 0;
    EXPECT_EQ(links, 4000u) << "the planted links are left as they were";
}
