// The chain's batch form on the recording engine: steps supplied while the run goes (a step added to the
// source list during the run is still run), steps that may fail without ending the run (counted, each
// reported through `ended`), and a step that may not fail still ending it at once. Steps marked parallel:
// two at a time when cores are idle, ending in any order, and a failure, a cancel or the chain's
// destruction with two running.
#include "toolkit/ChainedExportJob.h"

#include "platform/Log.h"

#include "tests/support/RecordingEngine.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>

#include <optional>

namespace {

struct Ended
{
    int step;
    bool ok;
    int code;
    bool operator==(const Ended &) const = default;
};

class ChainedExportJobTest : public ::testing::Test
{
protected:
    // A conversion step for source `index`; `setUpCode` is what its configure reports.
    ChainedExportJob::Step step(int index, bool mayFail, int setUpCode = MEDIA_OK)
    {
        ChainedExportJob::Step s;
        s.mayFail = mayFail;
        s.configure = [index, setUpCode](MEDIA_HANDLE h) {
            const std::string input = "in" + std::to_string(index) + ".mp4";
            EngineApi::current().convertSetInputMedia(h, input.c_str());
            return ChainedExportJob::SetUp{setUpCode, {}};
        };
        s.ended = [this, index](bool ok, int code) { ended.push_back({index, ok, code}); };
        return s;
    }

    ChainedExportJob::Step parallelStep(int index, bool mayFail = false)
    {
        ChainedExportJob::Step s = step(index, mayFail);
        s.parallel = true;
        return s;
    }
    static bool starts(int n)
    {
        return TestEnvironment::waitUntil([n] { return RecordingEngine::count("start") == n; });
    }

    ChainedExportJob::Outcome run(ChainedExportJob &job)
    {
        std::optional<ChainedExportJob::Outcome> outcome;
        job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(ChainedExportJob::Outcome{});
    }

    RecordingEngine::Installed engine;
    std::vector<Ended> ended;
};

TEST_F(ChainedExportJobTest, SuppliedStepsRunUntilTheSupplierHasNoneIncludingOnesAddedDuringTheRun)
{
    int sources = 2;
    ChainedExportJob job([&](int index, ChainedExportJob::Step &s) {
        if (index >= sources)
            return false;
        if (index == 0)
            sources = 3; // a source added while the first one runs
        s = step(index, true);
        return true;
    });
    const ChainedExportJob::Outcome outcome = run(job);
    EXPECT_EQ(outcome.status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(outcome.failures, 0);
    EXPECT_EQ(RecordingEngine::only({"input"}),
              (std::vector<std::string>{"input in0.mp4", "input in1.mp4", "input in2.mp4"}));
    EXPECT_EQ(ended, (std::vector<Ended>{{0, true, MEDIA_OK}, {1, true, MEDIA_OK}, {2, true, MEDIA_OK}}));
}

TEST_F(ChainedExportJobTest, StepsThatMayFailAreCountedAndTheRunGoesOn)
{
    // Source 1 fails at its Start, source 2 at its set-up; source 3 still runs.
    RecordingEngine::startResults = {MEDIA_OK, MEDIA_ERR_INPUT, MEDIA_OK};
    ChainedExportJob job([&](int index, ChainedExportJob::Step &s) {
        if (index >= 4)
            return false;
        s = step(index, true, index == 2 ? MEDIA_ERR_OUTPUT : MEDIA_OK);
        return true;
    });
    const ChainedExportJob::Outcome outcome = run(job);
    EXPECT_EQ(outcome.status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(outcome.failures, 2);
    EXPECT_EQ(outcome.code, MEDIA_ERR_OUTPUT) << "the last failure's code";
    EXPECT_EQ(job.failureCount(), 2);
    EXPECT_EQ(ended, (std::vector<Ended>{{0, true, MEDIA_OK},
                                         {1, false, MEDIA_ERR_INPUT},
                                         {2, false, MEDIA_ERR_OUTPUT},
                                         {3, true, MEDIA_OK}}));
    EXPECT_EQ(RecordingEngine::count("start"), 3) << "the step refused at set-up never starts";
    EXPECT_EQ(RecordingEngine::count("create"), RecordingEngine::count("close")) << "every job is closed";
}

TEST_F(ChainedExportJobTest, AStepThatMayNotFailStillEndsTheRun)
{
    RecordingEngine::startResults = {MEDIA_ERR_INPUT};
    ChainedExportJob job(std::vector<ChainedExportJob::Step>{step(0, false), step(1, true)});
    const ChainedExportJob::Outcome outcome = run(job);
    EXPECT_EQ(outcome.status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(outcome.code, MEDIA_ERR_INPUT);
    EXPECT_EQ(outcome.failures, 0);
    EXPECT_EQ(RecordingEngine::count("input"), 1);
}

TEST_F(ChainedExportJobTest, AJoinWhoseStartFailsLogsItsCodeAndAConversionDoesNot)
{
    RecordingEngine::joinStartResult = MEDIA_ERR_OUTPUT;
    RecordingEngine::startResults = {MEDIA_ERR_INPUT};
    ChainedExportJob::Step join = step(0, true);
    join.kind = ChainedExportJob::Kind::Join;
    join.configure = [](MEDIA_HANDLE) { return ChainedExportJob::SetUp{MEDIA_OK, {}}; };
    platform::LogCapture log;
    ChainedExportJob job(std::vector<ChainedExportJob::Step>{join, step(1, true)});
    EXPECT_EQ(run(job).failures, 2);
    EXPECT_TRUE(log.contains(platform::format("errorcode:%d", int(MEDIA_ERR_OUTPUT))));
    EXPECT_FALSE(log.contains(platform::format("errorcode:%d", int(MEDIA_ERR_INPUT))));
    RecordingEngine::joinStartResult = MEDIA_OK;
}

TEST_F(ChainedExportJobTest, AnInputThatCannotBeReadIsNamedInTheMessage)
{
    // Only a Start that could not read its input names the step's files; other codes keep theirs.
    for (const int code : {int(MEDIA_ERR_INPUT), int(MEDIA_ERR_OUTPUT)}) {
        SCOPED_TRACE(code);
        RecordingEngine::startResults = {code};
        ChainedExportJob::Step s = step(0, false);
        s.inputs << QStringLiteral("/videos/holiday cut off.mp4");
        ChainedExportJob job(std::vector<ChainedExportJob::Step>{s});
        const ChainedExportJob::Outcome outcome = run(job);
        EXPECT_EQ(outcome.code, code);
        if (code == MEDIA_ERR_INPUT) {
            EXPECT_TRUE(outcome.message.endsWith(QStringLiteral("holiday cut off.mp4")))
                << outcome.message.toStdString();
            EXPECT_FALSE(outcome.message.contains(QStringLiteral("%@")));
        } else {
            EXPECT_TRUE(outcome.message.isEmpty());
        }
    }
}

TEST_F(ChainedExportJobTest, CancelEndsASuppliedRunAsCancelledWithoutAskingForMore)
{
    RecordingEngine::holdStart = true;
    int asked = 0;
    ChainedExportJob job([&](int index, ChainedExportJob::Step &s) {
        ++asked;
        s = step(index, true);
        return index < 5;
    });
    std::optional<ChainedExportJob::Outcome> outcome;
    job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
    job.cancel();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome->status, ChainedExportJob::Outcome::Cancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ended.empty()) << "a cancelled step reports no end of its own";
}

TEST_F(ChainedExportJobTest, ParallelStepsRunTwoAtATimeInOrderAndEndInAnyOrder)
{
    RecordingEngine::holdStart = true;
    RecordingEngine::convertProgress = 50;
    ChainedExportJob *chain = nullptr;
    std::vector<double> done; // the chain's work done, at every poll of any step
    std::vector<ChainedExportJob::Step> steps{parallelStep(0), parallelStep(1), parallelStep(2),
                                              step(3, false)};
    for (ChainedExportJob::Step &s : steps)
        s.progress = [&](double) { done.push_back(chain->stepsDone()); };
    ChainedExportJob job(std::move(steps));
    chain = &job;
    std::optional<ChainedExportJob::Outcome> outcome;
    job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });

    ASSERT_TRUE(starts(2));
    EXPECT_EQ(job.runningSteps(), (std::vector<int>{0, 1}));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return job.stepsDone() == 1.0; })) << "two halves";
    EXPECT_EQ(RecordingEngine::count("start"), 2) << "never a third at once";
    EXPECT_EQ(RecordingEngine::only({"input"}), (std::vector<std::string>{"input in0.mp4", "input in1.mp4"}));

    RecordingEngine::release(RecordingEngine::job(1), MEDIA_OK);
    ASSERT_TRUE(starts(3)) << "the next one takes the place of the one that ended first";
    EXPECT_EQ(job.runningSteps(), (std::vector<int>{0, 2}));
    EXPECT_EQ(ended, (std::vector<Ended>{{1, true, MEDIA_OK}}));

    RecordingEngine::release(RecordingEngine::job(0), MEDIA_OK);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return ended.size() == 2; }));
    QTest::qWait(500); // polls come and go
    EXPECT_EQ(RecordingEngine::count("start"), 3) << "a step not marked waits until it can run alone";
    RecordingEngine::release(RecordingEngine::job(2), MEDIA_OK);
    ASSERT_TRUE(starts(4));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return job.stepsDone() == 3.5; }));
    RecordingEngine::release(RecordingEngine::job(3), MEDIA_OK);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));

    EXPECT_EQ(outcome->status, ChainedExportJob::Outcome::Succeeded);
    EXPECT_EQ(ended,
              (std::vector<Ended>{
                  {1, true, MEDIA_OK}, {0, true, MEDIA_OK}, {2, true, MEDIA_OK}, {3, true, MEDIA_OK}}));
    EXPECT_EQ(RecordingEngine::only({"input"}),
              (std::vector<std::string>{"input in0.mp4", "input in1.mp4", "input in2.mp4", "input in3.mp4"}))
        << "started in their order";
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end())) << "the work done never goes back";
    EXPECT_EQ(job.stepsDone(), 4.0);
}

TEST_F(ChainedExportJobTest, ASecondStepStartsOnlyWhenCoresAreIdle)
{
    RecordingEngine::holdStart = true;
    RecordingEngine::idleCores = ChainedExportJob::kIdleCoresForASecondJob - 1;
    ChainedExportJob job(std::vector<ChainedExportJob::Step>{parallelStep(0), parallelStep(1)});
    std::optional<ChainedExportJob::Outcome> outcome;
    job.start([&](const ChainedExportJob::Outcome &o) { outcome = o; });
    ASSERT_TRUE(starts(1));
    QTest::qWait(500); // polls come and go
    EXPECT_EQ(RecordingEngine::count("start"), 1);
    RecordingEngine::idleCores = ChainedExportJob::kIdleCoresForASecondJob;
    ASSERT_TRUE(starts(2)) << "asked again at the next poll";
    RecordingEngine::stop(nullptr);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
}

TEST_F(ChainedExportJobTest, AFailureBesideARunningStepStopsItAndEndsOnceItIsBack)
{
    RecordingEngine::holdStart = true;
    ChainedExportJob job(
        std::vector<ChainedExportJob::Step>{parallelStep(0), parallelStep(1), parallelStep(2)});
    std::optional<ChainedExportJob::Outcome> outcome;
    int closedAtTheEnd = -1;
    job.start([&](const ChainedExportJob::Outcome &o) {
        outcome = o;
        closedAtTheEnd = RecordingEngine::closes;
    });
    ASSERT_TRUE(starts(2));
    RecordingEngine::release(RecordingEngine::job(1), MEDIA_ERR_INPUT);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));

    EXPECT_EQ(outcome->status, ChainedExportJob::Outcome::Failed);
    EXPECT_EQ(outcome->code, MEDIA_ERR_INPUT);
    EXPECT_EQ(RecordingEngine::count("stop"), 1) << "the step running beside it is stopped";
    EXPECT_EQ(closedAtTheEnd, 2) << "the end waits for the stopped job to come back";
    EXPECT_EQ(ended, (std::vector<Ended>{{1, false, MEDIA_ERR_INPUT}})) << "a stopped step reports nothing";
    EXPECT_EQ(RecordingEngine::count("start"), 2) << "nothing more starts";
}

TEST_F(ChainedExportJobTest, CancelStopsBothRunningStepsAndEndsOnceAfterBoth)
{
    RecordingEngine::holdStart = true;
    ChainedExportJob job(std::vector<ChainedExportJob::Step>{parallelStep(0, true), parallelStep(1, true),
                                                             parallelStep(2, true)});
    int finishes = 0;
    std::optional<ChainedExportJob::Outcome> outcome;
    job.start([&](const ChainedExportJob::Outcome &o) {
        outcome = o;
        ++finishes;
    });
    ASSERT_TRUE(starts(2));
    job.cancel();
    EXPECT_EQ(RecordingEngine::count("stop"), 2) << "both at once";
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
    TestEnvironment::processEvents();
    EXPECT_EQ(outcome->status, ChainedExportJob::Outcome::Cancelled);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(RecordingEngine::closes, 2);
    EXPECT_TRUE(ended.empty());
    EXPECT_EQ(RecordingEngine::count("start"), 2);
}

TEST_F(ChainedExportJobTest, DestroyingTheChainClosesBothRunningJobsAndDropsTheirCallbacks)
{
    RecordingEngine::holdStart = true;
    auto job = std::make_unique<ChainedExportJob>(
        std::vector<ChainedExportJob::Step>{parallelStep(0), parallelStep(1), parallelStep(2)});
    bool finished = false;
    job->start([&](const ChainedExportJob::Outcome &) { finished = true; });
    ASSERT_TRUE(starts(2));
    job.reset();
    EXPECT_EQ(RecordingEngine::closes, 2);
    RecordingEngine::stop(nullptr);
    platform::waitForGlobalQueue();
    TestEnvironment::processEvents();
    EXPECT_FALSE(finished);
    EXPECT_TRUE(ended.empty());
    EXPECT_EQ(RecordingEngine::count("start"), 2);
}

} // namespace
