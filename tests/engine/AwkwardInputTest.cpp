// Files shaped like those from cameras, recorders and the web, and hostile inputs: timelines that do not
// start at 0, damaged files, sound that starts before the picture or runs past it, FIFOs, links planted at
// the output, leftovers of killed jobs and an output folder deleted while a job writes into it.
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
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

// 6 s at 25 fps whose own timeline starts at 10 s, as broadcast recordings and camcorder files do, in
// a transport stream (whose length is reckoned from its timestamps) and in the containers that keep
// their length in the header (counted there from the timestamp 0).
std::string lateStart(const std::string &extension)
{
    fixture::Spec spec;
    spec.duration = 6.0;
    spec.startTime = 10.0;
    spec.bFrames = 2;
    return sharedFixture("late-start." + extension, spec);
}

const char *const kLateContainers[] = {"ts", "mp4", "mkv"};

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
    // No codec (a copy between key frames), a re-encode, and the same range as a join clip; a range
    // inside the file and its second half, which ends where the file does. A conversion starts with the
    // first picture that starts in the range, a join with the picture shown at its start.
    struct Range
    {
        int64_t start, end;
    };
    const Range ranges[] = {{1000000, 3000000}, {3000000, 6000000}};
    struct Runner
    {
        const char *name;
        bool startsWithShownPicture;
        std::function<int(const std::string &, const Range &, const std::string &)> run;
    };
    const Runner runners[] = {
        {"copy", false,
         [](const std::string &source, const Range &r, const std::string &out) {
             return convert(source, out,
                            [&](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, r.start, r.end); });
         }},
        {"re-encode", false,
         [](const std::string &source, const Range &r, const std::string &out) {
             return convert(source, out, [&](MEDIA_HANDLE h) {
                 apiMediaConvertSetVcodec(h, "h264");
                 return apiMediaConvertSetCutTime(h, r.start, r.end);
             });
         }},
        {"join", true,
         [](const std::string &source, const Range &r, const std::string &out) {
             return join({Clip{source, uint64_t(r.start), uint64_t(r.end)}}, out);
         }},
    };
    for (const char *container : kLateContainers) {
        const std::string source = lateStart(container);
        // The file's timeline starts with its first timestamp: in mp4 the sound's, a little before the
        // picture (the encoder's delay).
        const fixture::ProbeResult probe = fixture::probe(source);
        ASSERT_TRUE(probe.ok) << probe.error;
        const double videoStart = probe.ofType("video").at(0).startTime;
        const double lead = videoStart - std::min(videoStart, probe.ofType("audio").at(0).startTime);
        for (const Range &range : ranges) {
            for (const Runner &runner : runners) {
                SCOPED_TRACE(std::string(container) + " " + runner.name + " from " +
                             std::to_string(range.start));
                const std::string out = freshFolder() + "/cut.mp4";
                ASSERT_EQ(runner.run(source, range, out), MEDIA_OK);
                const double at = (double(range.start) / 1e6 - lead) * 25;
                const int first =
                    runner.startsWithShownPicture ? int(std::floor(at + 1e-3)) : int(std::ceil(at - 1e-3));
                const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
                ASSERT_EQ(int64_t(frames.size()), (range.end - range.start) / 40000);
                EXPECT_EQ(frames.front(), first);
                EXPECT_EQ(frames.back(), first + int(frames.size()) - 1);
                EXPECT_GT(fixture::audioRms(out, 0.1, 1.9), 0.1);
            }
        }
    }
}

TEST(LateStart, ProbeSnapshotAndSplitCountFromTheFilesOwnStart)
{
    for (const char *container : kLateContainers) {
        SCOPED_TRACE(container);
        MEDIA_HANDLE probe = MediaOpen(lateStart(container).c_str());
        ASSERT_NE(probe, nullptr);
        const int64_t duration = MediaGetDuration(probe);
        EXPECT_NEAR(double(duration) / 1e6, 6.0, 0.1);
        std::vector<uint8_t> pixels(160 * 90 * 4);
        for (int second : {0, 1, 3, 5}) {
            SCOPED_TRACE(second);
            ASSERT_GT(MediaSnapshot(probe, int64_t(second) * 1000000, 160, 90, pixels.data(), 0), 0);
            EXPECT_EQ(fixture::readFrameIndex(imageFromBgra(pixels, 160, 90)), second * 25);
        }
        MediaClose(probe);

        // Split in two halves of the length shown, as the splitter does: both hold their pictures.
        const std::string folder = freshFolder();
        for (int half : {0, 1}) {
            SCOPED_TRACE(half);
            const std::string out = folder + "/half" + std::to_string(half) + ".mp4";
            ASSERT_EQ(convert(lateStart(container), out,
                              [&](MEDIA_HANDLE h) {
                                  return apiMediaConvertSetCutTime(h, half * duration / 2,
                                                                   (half + 1) * duration / 2);
                              }),
                      MEDIA_OK);
            EXPECT_NEAR(fixture::countVideoFrames(out), 75, 1);
        }
    }
}

TEST(DamagedFile, DataThatEndsBeforeTheRangeFailsAndLeavesNoFile)
{
    const std::string source = damagedClip();
    const std::string folder = freshFolder();
    // The whole file and a range past its readable part; a copy and a re-encode; a join by stream copy
    // and a re-encoded one, which would otherwise hold the last picture over silence.
    struct Case
    {
        const char *name;
        std::function<int(const std::string &)> run;
    };
    const Case cases[] = {
        {"convert the whole file",
         [&](const std::string &out) {
             return convert(source, out, [](MEDIA_HANDLE) { return int(MEDIA_OK); });
         }},
        {"re-encode the whole file",
         [&](const std::string &out) {
             return convert(source, out, [](MEDIA_HANDLE h) { return apiMediaConvertSetVcodec(h, "h264"); });
         }},
        {"re-encode past the readable part",
         [&](const std::string &out) {
             return convert(source, out, [](MEDIA_HANDLE h) {
                 apiMediaConvertSetVcodec(h, "h264");
                 return apiMediaConvertSetCutTime(h, 3000000, 4000000);
             });
         }},
        {"join by copy", [&](const std::string &out) { return join({Clip{source}}, out); }},
        {"join re-encoded",
         [&](const std::string &out) {
             return join({Clip{source}, Clip{source}}, out,
                         [](MEDIA_HANDLE h) { return apiMediaJoinSetVideoCodec(h, "mpeg4"); });
         }},
        {"join past the readable part",
         [&](const std::string &out) {
             return join({Clip{source, 3000000, 4000000}}, out);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.run(folder + "/" + c.name + ".mkv"), MEDIA_ERR_INPUT);
        EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();
    }

    // The readable part still converts.
    const std::string converted = folder + "/converted.mp4";
    EXPECT_EQ(
        convert(source, converted, [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 0, 1000000); }),
        MEDIA_OK);
    EXPECT_EQ(fixture::countVideoFrames(converted), 25);
}

TEST(UnevenStreams, SoundPastThePictureIsWrittenWithItsSoundOnly)
{
    // 4 s of picture and 5 s of sound: not damaged, only uneven.
    for (const char *ext : {"mp4", "mkv"}) {
        SCOPED_TRACE(ext);
        fixture::Spec spec;
        spec.duration = 4.0;
        spec.audio.at(0).duration = 5.0;
        const std::string source = sharedFixture(std::string("sound-past-picture.") + ext, spec);
        const std::string folder = freshFolder();

        // The last piece of a split (no codec) and a re-encode of the part after the picture.
        for (const char *codec : {"", "h264"}) {
            SCOPED_TRACE(codec);
            const std::string out = folder + "/tail-" + (*codec ? codec : "copy") + "." + ext;
            ASSERT_EQ(convert(source, out,
                              [&](MEDIA_HANDLE h) {
                                  apiMediaConvertSetVcodec(h, codec);
                                  return apiMediaConvertSetCutTime(h, 4200000, 5000000);
                              }),
                      MEDIA_OK);
            const fixture::ProbeResult probe = fixture::probe(out);
            ASSERT_TRUE(probe.ok) << probe.error;
            EXPECT_EQ(probe.count("video"), 0);
            ASSERT_EQ(probe.count("audio"), 1);
            EXPECT_NEAR(probe.duration, 0.8, 0.1);
            EXPECT_GT(fixture::audioRms(out, 0.1, 0.7), 0.1);
        }

        // The whole file keeps both streams; a join takes it as it is.
        const std::string whole = folder + "/whole." + ext;
        ASSERT_EQ(convert(source, whole, [](MEDIA_HANDLE) { return int(MEDIA_OK); }), MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(whole);
        EXPECT_EQ(probe.count("video"), 1);
        EXPECT_EQ(fixture::countVideoFrames(whole), 100);
        EXPECT_GT(fixture::audioRms(whole, 4.2, 4.8), 0.1);
        EXPECT_EQ(join({Clip{source}, Clip{source}}, folder + "/joined." + ext), MEDIA_OK);
        EXPECT_EQ(join({Clip{source}, Clip{source}}, folder + "/joined-mpeg4.mkv",
                       [](MEDIA_HANDLE h) { return apiMediaJoinSetVideoCodec(h, "mpeg4"); }),
                  MEDIA_OK);

        // Without its sound the range holds nothing that was asked for.
        EXPECT_EQ(convert(source, folder + "/silent." + ext,
                          [](MEDIA_HANDLE h) {
                              apiMediaConvertDisableMainAudio(h);
                              return apiMediaConvertSetCutTime(h, 4200000, 5000000);
                          }),
                  MEDIA_ERR_NOTHING_IN_RANGE);
        EXPECT_FALSE(fs::exists(folder + "/silent." + ext));
    }
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
        // Where the picture starts and ends on the output's timeline: the sound still plays before it.
        const fixture::ProbeStream video = probe.ofType("video").at(0);
        EXPECT_GT(fixture::audioRms(out, video.startTime - 0.4, video.startTime - 0.1), 0.1);
        const double pictureEnd = video.startTime + 2.0;
        EXPECT_GT(fixture::audioRms(out, pictureEnd - 0.9, pictureEnd - 0.6), 0.1);
        EXPECT_LT(fixture::audioRms(out, pictureEnd - 0.4, pictureEnd), 0.01);
    }
}

// What a removal leaves of a file: the part before the range and the part after it, joined with both
// streams copied where that is exact (as the batch cutter asks).
int removeRange(const std::string &source, int64_t from, int64_t to, const std::string &out)
{
    return join({Clip{source, 0, uint64_t(from)}, Clip{source, uint64_t(to), 0}}, out, [](MEDIA_HANDLE h) {
        int r = apiMediaJoinSetVideoCodec(h, "copy");
        return r > 0 ? apiMediaJoinSetAudioCodec(h, "copy") : r;
    });
}

std::vector<int> framesFromTo(int first, int last)
{
    std::vector<int> frames;
    for (int i = first; i <= last; ++i)
        frames.push_back(i);
    return frames;
}

TEST(EarlySound, RemovingARangeCutsBothStreamsOnTheFilesTimeline)
{
    // 4 s of picture at 25 fps and of sound in Matroska, the sound 0.52 s ahead: the file's timeline
    // starts with the sound, so picture i shows at 0.52 + i / 25 s.
    fixture::Spec spec;
    spec.duration = 4.0;
    spec.audioOffset = -0.52;
    spec.bFrames = 2;
    const std::string source = sharedFixture("early-sound-4s.mkv", spec);
    const std::string out = freshFolder() + "/removed.mkv";
    ASSERT_EQ(removeRange(source, 1000000, 2000000, out), MEDIA_OK);
    // The pictures shown from 1.0 s to 2.0 s are gone (12..36), and only they: none is repeated.
    std::vector<int> expected = framesFromTo(0, 11);
    for (int i : framesFromTo(37, 99))
        expected.push_back(i);
    EXPECT_EQ(fixture::decodeAllFrameIndices(out), expected);
    // 1 s of sound before the range and 2 s after it, still 0.52 s ahead of the picture.
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    const fixture::ProbeStream video = probe.ofType("video").at(0);
    const fixture::ProbeStream audio = probe.ofType("audio").at(0);
    EXPECT_NEAR(video.startTime - audio.startTime, 0.52, 0.05);
    EXPECT_GT(fixture::audioRms(out, audio.startTime + 0.1, audio.startTime + 2.9), 0.1);
    EXPECT_NEAR(audio.duration, 3.0, 0.1) << "no silence made up after the sound";

    // Split in two at 2.0 s: the first piece keeps the sound before its first picture.
    struct Piece
    {
        int64_t start, end;
        int firstFrame, lastFrame;
    };
    for (const Piece &piece : {Piece{0, 2000000, 0, 36}, Piece{2000000, 0, 37, 99}}) {
        SCOPED_TRACE(piece.start);
        const std::string half = freshFolder() + "/half.mkv";
        ASSERT_EQ(
            convert(source, half,
                    [&](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, piece.start, piece.end); }),
            MEDIA_OK);
        EXPECT_EQ(fixture::decodeAllFrameIndices(half), framesFromTo(piece.firstFrame, piece.lastFrame));
        const fixture::ProbeResult halfProbe = fixture::probe(half);
        ASSERT_TRUE(halfProbe.ok) << halfProbe.error;
        EXPECT_NEAR(halfProbe.ofType("audio").at(0).duration, 2.0, 0.1);
    }
}

TEST(UnevenStreams, CutsOfSoundPastThePictureHoldExactlyTheirRange)
{
    // 2 s of picture at 25 fps (the last one shows from 1.96 s to 2.0 s) and 3.02 s of sound.
    fixture::Spec spec;
    spec.duration = 2.0;
    spec.audio.at(0).duration = 3.02;
    const std::string source = sharedFixture("sound-1s-past-picture.mkv", spec);
    const std::string folder = freshFolder();

    // Removing 1.0 s .. 2.0 s keeps the sound after the picture.
    const std::string removed = folder + "/removed.mkv";
    ASSERT_EQ(removeRange(source, 1000000, 2000000, removed), MEDIA_OK);
    EXPECT_EQ(fixture::decodeAllFrameIndices(removed), framesFromTo(0, 24));
    EXPECT_NEAR(fixture::probe(removed).duration, 2.02, 0.05);
    EXPECT_GT(fixture::audioRms(removed, 1.1, 1.9), 0.1);

    // Three equal pieces, as the splitter cuts them, and a range that starts 7 ms before the last picture
    // ends: a picture belongs to the range it starts in, so the last two hold sound only.
    struct Piece
    {
        int64_t start, end;
        int firstFrame, lastFrame; // -1: no picture
        double length;
    };
    const Piece pieces[] = {
        {0, 1006667, 0, 25, 1.0067},
        {1006667, 2013333, 26, 49, 1.0067},
        {2013333, 0, -1, -1, 1.0067},
        {1993000, 0, -1, -1, 1.027},
    };
    for (const Piece &piece : pieces) {
        SCOPED_TRACE(piece.start);
        const std::string out = folder + "/piece" + std::to_string(piece.start) + ".mkv";
        ASSERT_EQ(
            convert(source, out,
                    [&](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, piece.start, piece.end); }),
            MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        EXPECT_NEAR(probe.duration, piece.length, 0.05);
        if (piece.firstFrame < 0)
            EXPECT_EQ(probe.count("video"), 0);
        else
            EXPECT_EQ(fixture::decodeAllFrameIndices(out), framesFromTo(piece.firstFrame, piece.lastFrame));
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

// Another file renamed over the input between its opening and Start: the job reads what it opened.
TEST(ReplacedInput, StartReadsTheFileThatWasOpened)
{
    fixture::Spec spec;
    spec.duration = 2.0;
    const std::string original = sharedFixture("replaced-original.mp4", spec);
    spec.width = 320;
    spec.height = 180;
    spec.duration = 4.0;
    spec.background = fixture::Rgb{0, 0, 200};
    const std::string replacement = sharedFixture("replaced-other.mp4", spec);

    enum class Job { ConvertCopy, ConvertEncode, Join };
    for (Job kind : {Job::ConvertCopy, Job::ConvertEncode, Job::Join}) {
        SCOPED_TRACE(int(kind));
        const std::string folder = freshFolder();
        const std::string input = folder + "/clip.mp4", other = folder + "/other.mp4";
        const std::string out = folder + "/out.mp4";
        fs::copy_file(original, input);
        fs::copy_file(replacement, other);
        int result = 0;
        if (kind == Job::Join) {
            MEDIA_HANDLE h = apiMediaJoinCreate();
            ASSERT_EQ(apiMediaJoinAddMediaClip(h, input.c_str(), 0, 1000000), 1);
            ASSERT_EQ(apiMediaJoinAddMediaClip(h, input.c_str(), 0, 1000000), 2);
            fs::rename(other, input);
            ASSERT_EQ(apiMediaJoinSetOutputPath(h, out.c_str()), MEDIA_OK);
            result = apiMediaJoinStart(h);
            apiMediaJoinClose(h);
        } else {
            MEDIA_HANDLE h = apiMediaConvertCreate();
            ASSERT_GT(apiMediaConvertSetInputMedia(h, input.c_str()), 0);
            ASSERT_GT(apiMediaConvertSetCutTime(h, 0, 1000000), 0);
            if (kind == Job::ConvertEncode) {
                ASSERT_GT(apiMediaConvertSetVcodec(h, "mpeg4"), 0);
            }
            fs::rename(other, input);
            ASSERT_GT(apiMediaConvertSetOutputPath(h, out.c_str()), 0);
            result = apiMediaConvertStart(h);
            apiMediaConvertClose(h);
        }
        ASSERT_EQ(result, MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        EXPECT_EQ(probe.ofType("video").at(0).width, 160);
        std::vector<int> frames;
        for (int i = 0; i < 25; ++i)
            frames.push_back(i);
        if (kind == Job::Join) {
            const std::vector<int> once = frames;
            frames.insert(frames.end(), once.begin(), once.end());
        }
        EXPECT_EQ(fixture::decodeAllFrameIndices(out), frames);
        EXPECT_EQ(fixture::decodeErrors(out), "");
    }
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

TEST(TemporaryOutput, LeftoversOfAKilledJobAreRemovedByTheNextJobAndNothingElse)
{
    const std::string folder = freshFolder();
    const auto plant = [&](const std::string &name, int ageSeconds) {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "partial";
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
        return path;
    };
    const std::string leftover = plant(".clip.mp4.0123456789abcdef.part", 120);
    const std::string young = plant(".clip.mp4.fedcba9876543210.part", 0);
    const std::string running = plant(".other.mkv.00000000ffffffff.part", 120);
    const std::vector<std::string> foreign = {
        plant(".clip.mp4.part", 120), plant(".clip.mp4.0123456789ABCDEF.part", 120),
        plant("clip.mp4.0123456789abcdef.part", 120), plant(".clip.mp4.0123456789abcdef.part.bak", 120),
        plant(".clip.mp4.0123456789abcde.part", 120)};
    fs::create_directory(folder + "/.dir.mp4.0123456789abcdef.part");
    fs::create_symlink(leftover + ".target", folder + "/.link.mp4.0123456789abcdef.part");
    // A job still writing holds its file locked, whatever its age.
    const int held = open(running.c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    fixture::Spec spec;
    spec.duration = 1.0;
    ASSERT_EQ(convert(sharedFixture("small.mp4", spec), folder + "/out.mp4",
                      [](MEDIA_HANDLE) { return int(MEDIA_OK); }),
              MEDIA_OK);
    close(held);

    EXPECT_FALSE(fs::exists(leftover));
    for (const std::string &kept : {young, running})
        EXPECT_TRUE(fs::exists(kept)) << kept;
    for (const std::string &kept : foreign)
        EXPECT_TRUE(fs::exists(kept)) << kept;
    EXPECT_TRUE(fs::is_directory(folder + "/.dir.mp4.0123456789abcdef.part"));
    EXPECT_TRUE(fs::is_symlink(folder + "/.link.mp4.0123456789abcdef.part"));
}

TEST(TemporaryOutput, ADeletedOutputFolderEndsTheJobWithinASecond)
{
    // 720p at a high rate: the job would encode for many seconds more.
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 30.0;
    const std::string source = sharedFixture("long720p.mkv", spec);
    const std::string folder = freshFolder() + "/out";
    fs::create_directory(folder);
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, source.c_str()), 0);
    apiMediaConvertSetVcodec(h, "libx264");
    apiMediaConvertSetVideoBitrate(h, 4000);
    ASSERT_GT(apiMediaConvertSetOutputPath(h, (folder + "/out.mp4").c_str()), 0);

    auto done = std::async(std::launch::async, [h] { return apiMediaConvertStart(h); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (apiMediaConvertGetProgress(h) < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(done.wait_for(std::chrono::seconds(0)), std::future_status::timeout) << "ended too soon";
    fs::remove_all(folder);
    EXPECT_EQ(done.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(done.get(), MEDIA_ERR_OUTPUT);
    EXPECT_FALSE(fs::exists(folder));
    apiMediaConvertClose(h);
}
