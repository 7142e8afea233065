// The engine's trace follows the same logging rules as the application's categories, and FFmpeg's own
// log and the encoders' go through it: a job prints nothing on the terminal unless the rules ask.
#include "engine/EngineLog.h"
#include "engine/FFmpeg.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using namespace enginetest;

// While alive, whatever the process writes to standard error (its own threads and libraries included)
// goes to a file instead.
class StderrCapture
{
public:
    StderrCapture()
        : m_path(freshFolder() + "/stderr.txt")
    {
        fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~StderrCapture() { restore(); }

    // What was written so far; ends the capture.
    std::string text()
    {
        restore();
        std::ifstream file(m_path);
        std::stringstream all;
        all << file.rdbuf();
        return all.str();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    std::string m_path;
    int m_saved = -1;
};

TEST(EngineLog, TraceFollowsTheLoggingRules)
{
    const struct
    {
        const char *rules;
        bool enabled;
    } cases[] = {
        {nullptr, false},
        {"", false},
        {"vw.engine.debug=true", true},
        {"vw.*.debug=true", true},
        {"*.debug=true", true},
        {"vw.engine=true", true},
        {"*engine*=true", true},
        {" vw.engine.debug = true ;vw.editor.debug=true", true},
        {"vw.editor.debug=true", false},
        {"vw.engine.warning=true", false},
        {"vw.engine.debug=yes", false},
        {"vw.*.debug=true\nvw.engine.debug=false", false},
        {"vw.engine.debug=false;*.debug=true", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rules ? c.rules : "(unset)");
        EXPECT_EQ(engine::traceEnabledByRules(c.rules), c.enabled);
    }
}

TEST(EngineLog, FFmpegsNotesAreTraceAndItsErrorsPrintAsOneLine)
{
    if (engine::traceShown())
        GTEST_SKIP() << "QT_LOGGING_RULES turns the engine's trace on";
    AVFormatContext *context = avformat_alloc_context();
    StderrCapture capture;
    av_log(context, AV_LOG_WARNING, "Could not update timestamps for skipped samples.\n");
    av_log(context, AV_LOG_INFO, "frame I:1     Avg QP:20.00\n");
    av_log(context, AV_LOG_ERROR, "an error told ");
    av_log(context, AV_LOG_ERROR, "in two pieces\n");
    const std::string text = capture.text();
    avformat_free_context(context);
    EXPECT_EQ(text.rfind("MediaCore: [", 0), 0u) << "with the context named: " << text;
    EXPECT_NE(text.find("] an error told in two pieces\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

// Encoders that talk (libx264's summary, libx265's settings and statistics), an mp3 decoder, a smart
// cut's course: none of it reaches the terminal.
TEST(EngineLog, ConversionsPrintNothingWithoutTheLoggingRules)
{
    if (engine::traceShown())
        GTEST_SKIP() << "QT_LOGGING_RULES turns the engine's trace on";
    fixture::Spec spec;
    spec.duration = 3;
    spec.audio[0].codec = "libmp3lame";
    const std::string input = sharedFixture("mp3-sound.mp4", spec);
    const std::string folder = freshFolder();
    StderrCapture capture;
    const struct
    {
        const char *name;
        const char *vcodec;
    } cases[] = {{"hevc.mp4", "libx265"}, {"h264.mkv", "libx264"}, {"cut.mp4", nullptr}};
    for (const auto &c : cases) {
        const int r = convert(input, folder + "/" + c.name, [&](MEDIA_HANDLE h) {
            if (c.vcodec)
                apiMediaConvertSetVcodec(h, c.vcodec);
            // Mid-GOP at both ends: without a codec, a smart cut.
            return apiMediaConvertSetCutTime(h, 520000, 2480000);
        });
        EXPECT_EQ(r, MEDIA_OK) << c.name;
    }
    EXPECT_EQ(capture.text(), "");
}

// What a user does every day and did not ask to hear about: a cut that cannot be made by copying (its
// container or codec takes no seams), and a cancel.
TEST(EngineLog, AWholeRangeReEncodeAndACancelPrintNothingWithoutTheLoggingRules)
{
    if (engine::traceShown())
        GTEST_SKIP() << "QT_LOGGING_RULES turns the engine's trace on";
    fixture::Spec webm;
    webm.duration = 3;
    webm.videoCodec = "libvpx-vp9";
    webm.audio[0].codec = "libopus";
    fixture::Spec hevc;
    hevc.duration = 3;
    hevc.videoCodec = "libx265";
    const std::string folder = freshFolder();
    const struct
    {
        std::string input;
        const char *output;
    } cuts[] = {{sharedFixture("vp9-opus.webm", webm), "cut.webm"},
                {sharedFixture("hevc.mkv", hevc), "cut.mkv"}};

    StderrCapture capture;
    for (const auto &c : cuts) {
        const int r = convert(c.input, folder + "/" + c.output,
                              [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 520000, 2480000); });
        EXPECT_EQ(r, MEDIA_OK) << c.output;
    }
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
    apiMediaConvertSetVcodec(h, "libx264");
    ASSERT_GT(apiMediaConvertSetOutputPath(h, (folder + "/cancelled.mp4").c_str()), 0);
    const StoppedRun run = stopWhileRunning([&] { return apiMediaConvertStart(h); },
                                            [&] { return double(apiMediaConvertGetProgress(h)); }, 1,
                                            [&] { return apiMediaConvertStop(h); });
    apiMediaConvertClose(h);
    const std::string printed = capture.text();
    EXPECT_EQ(run.result, MEDIA_ERR_STOPPED);
    EXPECT_EQ(printed, "");
}

} // namespace
