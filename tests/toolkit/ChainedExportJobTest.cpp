// The chain's batch form on the recording engine: steps supplied while the run goes (a step added to the
// source list during the run is still run), steps that may fail without ending the run (counted, each
// reported through `ended`), and a step that may not fail still ending it at once.
#include "toolkit/ChainedExportJob.h"

#include "tests/support/RecordingEngine.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

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

} // namespace
