#include "cutters/EasyCutterExport.h"

#include "EasyCutterTestWindow.h"
#include "tests/support/RecordingEngine.h"

#include <QDir>
#include <QFile>

#include <cmath>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// Runs `job` to its end through the recording engine and returns its outcome.
ChainedExportJob::Outcome run(ChainedExportJob &job)
{
    bool done = false;
    ChainedExportJob::Outcome outcome;
    job.start([&](const ChainedExportJob::Outcome &o) {
        outcome = o;
        done = true;
    });
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return done; }));
    return outcome;
}

QString folder()
{
    return QString::fromStdString(fixture::freshFolder());
}

} // namespace

TEST(EasyCutterExport, NamesACutByItsRangeAndTakesTimesToTheNearestMicrosecond)
{
    EXPECT_EQ(EasyCutterExport::cutBaseName({10, 20}), "000010.00-000020.00");
    EXPECT_EQ(EasyCutterExport::cutBaseName({3725.5, 3730.25}), "010205.50-010210.25");
    EXPECT_EQ(EasyCutterExport::cutBaseName({1.15, 16.15}), "000001.15-000016.15");
    // 2.01 and 16.15 lie a hair below their hundredths even as doubles: truncated, each loses 1 us.
    const struct
    {
        double seconds;
        int64_t us;
    } cases[] = {{1.5, 1500000}, {1.15, 1150000}, {2.01, 2010000}, {16.15, 16150000}, {0, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(EasyCutterExport::microseconds(c.seconds), c.us) << c.seconds;
}

TEST(EasyCutterExport, OneConversionPerCutInOrderAndRerunsTakeTheNextFreeName)
{
    RecordingEngine::Installed engine;
    const QString out = folder();
    const QList<EasyCutterExport::Range> cuts = {{10, 20}, {0, 0}};
    std::vector<int> started;
    std::vector<double> progress;
    for (int runIndex = 0; runIndex < 2; ++runIndex) {
        RecordingEngine::reset();
        auto job = EasyCutterExport::perCut(
            "/media/source.mp4", cuts, out, [&](int index) { started.push_back(index); },
            [&](double v) { progress.push_back(v); });
        EXPECT_EQ(run(*job).status, ChainedExportJob::Outcome::Succeeded);
        const std::string suffix = runIndex == 0 ? "" : "(2)";
        // The cut with an end of 0 converts the whole source: no cut time.
        EXPECT_EQ(RecordingEngine::only({"input", "cut", "output"}),
                  (Lines{"input /media/source.mp4", "cut 10000000 20000000",
                         "output " + (out + "/000010.00-000020.00").toStdString() + suffix + ".mp4",
                         "input /media/source.mp4",
                         "output " + (out + "/000000.00-000000.00").toStdString() + suffix + ".mp4"}));
        EXPECT_EQ(RecordingEngine::closes, 2);
    }
    EXPECT_TRUE(QFile::exists(out + "/000010.00-000020.00(2).mp4"));
    EXPECT_EQ(started, (std::vector<int>{0, 1, 0, 1}));
    for (double v : progress) {
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
}

TEST(EasyCutterExport, CutsRunTogetherNeverShareAName)
{
    // Both set up before either is written: the second still takes "(2)".
    RecordingEngine::Installed engine;
    const QString out = folder();
    auto job = EasyCutterExport::perCut("/media/source.mp4", {{10, 20}, {10, 20}}, out, nullptr, nullptr);
    EXPECT_EQ(run(*job).status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(RecordingEngine::only({"output"}),
              (Lines{"output " + (out + "/000010.00-000020.00.mp4").toStdString(),
                     "output " + (out + "/000010.00-000020.00(2).mp4").toStdString()}));
    EXPECT_TRUE(QFile::exists(out + "/000010.00-000020.00(2).mp4"));
}

TEST(EasyCutterExport, MergedRunJoinsEveryCutWithTheVolumeFactorIntoAFreeDateName)
{
    RecordingEngine::Installed engine;
    const QString out = folder();
    const QDateTime when(QDate(2026, 1, 31), QTime(14, 5, 9));
    QFile taken(out + "/2026-01-31_14-05-09.mkv");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    auto job = EasyCutterExport::merged("/m/s.mkv", {{1, 2}, {3.5f, 0}}, out, 0.98, when, nullptr);
    EXPECT_EQ(run(*job).status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(RecordingEngine::only({"joinOutput", "joinClip", "joinVolume"}),
              (Lines{"joinOutput " + out.toStdString() + "/2026-01-31_14-05-09(2).mkv",
                     "joinClip /m/s.mkv 1000000 2000000", "joinVolume 1 0.98", "joinClip /m/s.mkv 3500000 0",
                     "joinVolume 2 0.98"}));
}

TEST(EasyCutterExport, ASetUpFailureClosesTheJobAndReportsItsCode)
{
    RecordingEngine::Installed engine;
    RecordingEngine::addClipResult = 0; // the engine refuses the clip
    auto job =
        EasyCutterExport::merged("/m/s.mp4", {{1, 2}}, folder(), 1.0, QDateTime::currentDateTime(), nullptr);
    const auto outcome = run(*job);
    EXPECT_EQ(outcome.status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(outcome.code, MEDIA_ERR_INPUT);
    EXPECT_EQ(RecordingEngine::count("joinStart"), 0);
    EXPECT_EQ(RecordingEngine::count("joinClose"), 1);

    RecordingEngine::reset();
    RecordingEngine::outputResult = MEDIA_ERR_OUTPUT;
    auto perCut = EasyCutterExport::perCut("/m/s.mp4", {{1, 2}, {3, 4}}, folder(), nullptr, nullptr);
    const auto failed = run(*perCut);
    EXPECT_EQ(failed.status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(failed.code, MEDIA_ERR_OUTPUT);
    EXPECT_EQ(RecordingEngine::count("start"), 0);
    EXPECT_EQ(RecordingEngine::count("input"), 1); // no later cut is set up
}

namespace {

class EasyCutterWindowExport : public easycuttest::EasyCutterWindowTest
{
};

} // namespace

TEST_F(EasyCutterWindowExport, EmptyListStartsNothingAndTheVolumeSliderGivesTheFactor)
{
    RecordingEngine::Installed engine;
    openWith(easycuttest::longClip());
    cutter->startExportAction(nullptr);
    EXPECT_FALSE(cutter->isStartExport());
    EXPECT_TRUE(RecordingEngine::recorded().empty());

    cutAt(10, 20);
    cutter->merageAction();
    cutter->volumeSlider()->setProgress(0.49f);
    RecordingEngine::holdStart = true; // the join runs until the window's close cancels it
    cutter->startExportAction(nullptr);
    EXPECT_TRUE(cutter->isStartExport());
    // While it runs, the list, CUT and the add buttons are off.
    EXPECT_FALSE(cutter->cutStartBtn()->isEnabled());
    EXPECT_FALSE(cutter->cutItemViews().at(0)->isEnabled());
    EXPECT_FALSE(cutter->updateFileAddBtn()->isEnabled());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return RecordingEngine::count("joinStart") == 1; }));
    EXPECT_EQ(RecordingEngine::only({"joinVolume"}),
              Lines{"joinVolume 1 " + RecordingEngine::n(0.49f * 2.0)});
}
