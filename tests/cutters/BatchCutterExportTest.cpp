// What the batch cutter writes of one file: the parts of a kept or removed range (no empty part), and
// the engine calls of its step on the recording engine (a conversion cut to the one part, or a join of
// two copied parts), with "base.ext" then "base(2).ext".
#include "cutters/BatchCutterExport.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

#include <optional>

namespace {

using Piece = BatchCutterExport::Piece;

std::shared_ptr<SimpleData> clip(const QString &path, float duration, int64_t start, int64_t stop,
                                 bool remove)
{
    auto c = std::make_shared<SimpleData>();
    c->setPath(path);
    c->setName(path.section('/', -1));
    c->sourceData()->setDuration(duration);
    c->targetData()->setExtension(path.section('.', -1));
    c->setCutTimeRange_start(start);
    c->setCutTimeRange_stop(stop);
    c->setIsTrimFanxuan(remove);
    return c;
}

TEST(BatchCutterExport, PiecesOfKeptAndRemovedRanges)
{
    struct Case
    {
        const char *what;
        int64_t start, stop;
        bool remove;
        QList<Piece> pieces;
    };
    const std::vector<Case> cases = {
        {"kept range", 1000000, 3000000, false, {{1000000, 3000000}}},
        {"kept, stop not set: the whole file", 0, 0, false, {{0, 0}}},
        {"kept, empty range", 2000000, 2000000, false, {}},
        {"removed middle: before and after", 1000000, 2000000, true, {{0, 1000000}, {2000000, 0}}},
        {"removed from 0: only the after part", 0, 2000000, true, {{2000000, 0}}},
        {"removed to the end: only the before part", 1000000, 4000000, true, {{0, 1000000}}},
        {"removed whole file: nothing", 0, 4000000, true, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BatchCutterExport::pieces(*clip("/src/a.mp4", 4.0f, c.start, c.stop, c.remove)), c.pieces)
            << c.what;
}

class BatchCutterStepTest : public ::testing::Test
{
protected:
    ChainedExportJob::Outcome run(const std::shared_ptr<SimpleData> &c)
    {
        std::optional<ChainedExportJob::Outcome> outcome;
        ChainedExportJob job({BatchCutterExport::step(c, folder)});
        job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(ChainedExportJob::Outcome{});
    }

    RecordingEngine::Installed engine;
    const QString folder = QString::fromStdString(fixture::freshFolder());
};

TEST_F(BatchCutterStepTest, KeptRangeIsOneConversionCutToIt)
{
    const auto c = clip("/src/a.mp4", 4.0f, 1000000, 3000000, false);
    EXPECT_EQ(run(c).status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(RecordingEngine::only({"create", "input", "cut", "output", "joinCreate"}),
              (std::vector<std::string>{"create", "input /src/a.mp4", "cut 1000000 3000000",
                                        "output " + (folder + "/a.mp4").toStdString()}));
    EXPECT_EQ(c->exportPath(), folder + "/a.mp4");
}

TEST_F(BatchCutterStepTest, RemovedMiddleIsAJoinOfTheTwoPartsCopied)
{
    QFile(folder + "/a.mp4").open(QIODevice::WriteOnly); // an earlier output of the same name
    const auto c = clip("/src/a.mp4", 4.0f, 1000000, 2000000, true);
    EXPECT_EQ(run(c).status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(
        RecordingEngine::only({"create", "joinCreate", "joinClip", "joinOutput", "joinAcodec", "joinVcodec"}),
        (std::vector<std::string>{"joinCreate", "joinAcodec copy", "joinVcodec copy",
                                  "joinOutput " + (folder + "/a(2).mp4").toStdString(),
                                  "joinClip /src/a.mp4 0 1000000", "joinClip /src/a.mp4 2000000 0"}));
    EXPECT_EQ(c->exportPath(), folder + "/a(2).mp4");
}

TEST_F(BatchCutterStepTest, RemovedRangeFromTheStartIsAConversionOfTheRest)
{
    EXPECT_EQ(run(clip("/src/b.mkv", 4.0f, 0, 1500000, true)).status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(RecordingEngine::count("joinCreate"), 0);
    EXPECT_EQ(RecordingEngine::only({"cut", "output"}),
              (std::vector<std::string>{"cut 1500000 0", "output " + (folder + "/b.mkv").toStdString()}));
}

TEST_F(BatchCutterStepTest, RefusalsFailTheFileWithTheirCode)
{
    const ChainedExportJob::Outcome whole = run(clip("/src/c.mp4", 4.0f, 0, 4000000, true));
    EXPECT_EQ(whole.status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(whole.code, MEDIA_ERR_ARGUMENT) << "removing the whole file leaves nothing to write";
    EXPECT_EQ(RecordingEngine::count("start"), 0);

    RecordingEngine::addClipResult = 0;
    const ChainedExportJob::Outcome refused = run(clip("/src/c.mp4", 4.0f, 1000000, 2000000, true));
    EXPECT_EQ(refused.code, MEDIA_ERR_INPUT) << "a part the engine refuses fails the file";
    EXPECT_EQ(RecordingEngine::count("joinStart"), 0);
}

TEST(BatchCutterExportRun, RemovedRangeOfAFileWhoseSoundStartsFirstTakesOnlyThePicturesShownThere)
{
    // 4 s of picture after 0.52 s of sound (Matroska): picture i shows at 0.52 + i / 25 s on the file's
    // timeline, so removing 1.0 s .. 2.0 s takes pictures 12..36 and repeats none.
    fixture::Spec spec;
    spec.duration = 4.0;
    spec.audioOffset = -0.52;
    spec.bFrames = 2;
    const auto c = clip(QString::fromStdString(fixture::sharedFixture("early-sound-4s.mkv", spec)), 4.52f,
                        1000000, 2000000, true);
    std::optional<ChainedExportJob::Outcome> outcome;
    ChainedExportJob job({BatchCutterExport::step(c, QString::fromStdString(fixture::freshFolder()))});
    job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }, 120000));
    ASSERT_EQ(outcome->status, ChainedExportJob::Outcome::Succeeded);
    const std::vector<int> frames = fixture::decodeAllFrameIndices(c->exportPath().toStdString());
    ASSERT_EQ(frames.size(), 75u);
    EXPECT_EQ(frames.front(), 0);
    EXPECT_EQ(frames[11], 11);
    EXPECT_EQ(frames[12], 37);
    EXPECT_EQ(frames.back(), 99);
}

} // namespace
