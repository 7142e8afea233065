#include "cutters/SplitExport.h"

#include "platform/Log.h"
#include "toolkit/OutputNaming.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// What the pieces of one run share: where the next one starts, the names handed out, the progress shown
// and the chain for adding pieces.
struct RunState
{
    SplitExport::Plan plan;
    std::function<void(double)> progress;
    ChainedExportJob *chain = nullptr;
    int64_t nextStart = 0;
    bool stalled = false;
    QSet<QString> reserved;
    double shown = 0;
};

// A piece from `from` (or, with `from` < 0, from where the piece before really ended) to `stop`.
ChainedExportJob::Step pieceStep(const std::shared_ptr<RunState> &state, int64_t from, int64_t stop)
{
    ChainedExportJob::Step step;
    step.kind = ChainedExportJob::Kind::Convert;
    step.pollMode = platform::Timer::Common;
    step.inputs << state->plan.sourcePath;
    // Without a size limit every piece ends at its point, so the pieces need nothing of each other.
    step.parallel = from >= 0;
    auto start = std::make_shared<int64_t>(0);
    step.configure = [state, start, from, stop](MEDIA_HANDLE h) -> ChainedExportJob::SetUp {
        const EngineApi &api = EngineApi::current();
        const SplitExport::Plan &plan = state->plan;
        if (state->stalled)
            return {MEDIA_ERR_ARGUMENT, {}};
        *start = from >= 0 ? from : state->nextStart;
        int r = api.convertSetInputMedia(h, plan.sourcePath.toUtf8().constData());
        if (r < 1)
            return {r, {}};
        if (plan.sizeLimit > 0 && (r = api.convertSetLimitFileSize(h, plan.sizeLimit)) < 1)
            return {r, {}};
        platform::log("export-->start:%lu stop:%lu", static_cast<unsigned long>(*start),
                      static_cast<unsigned long>(stop));
        if ((r = api.convertSetCutTime(h, *start, stop)) < 1)
            return {r, {}};
        const QString output = OutputNaming::availableNumberedPath(
            plan.folder, plan.baseName + QStringLiteral("-split"), plan.extension, &state->reserved);
        if ((r = api.convertSetOutputPath(h, output.toUtf8().constData())) < 1)
            return {r, {}};
        return {MEDIA_OK, {}};
    };
    step.progress = [state](double) {
        const ChainedExportJob *chain = state->chain;
        // A piece added at the end makes the share of the others smaller: the bar waits, never goes back.
        state->shown = std::max(state->shown, chain->stepsDone() / chain->stepCount());
        if (state->progress)
            state->progress(state->shown);
    };
    step.succeeded = [state, start, stop](MEDIA_HANDLE h) {
        state->nextStart = stop;
        if (state->plan.sizeLimit <= 0)
            return;
        const int64_t end = EngineApi::current().convertGetEndTime(h);
        if (end >= stop)
            return;
        // The limit ended this piece early: the next one takes over from there.
        state->nextStart = end;
        state->stalled = end <= *start;
        if (stop >= state->plan.duration && state->chain)
            state->chain->append(pieceStep(state, -1, stop));
    };
    return step;
}

} // namespace

std::unique_ptr<ChainedExportJob> SplitExport::makeChain(const Plan &plan,
                                                         std::function<void(double)> progress)
{
    auto state = std::make_shared<RunState>();
    state->plan = plan;
    state->progress = std::move(progress);
    std::vector<ChainedExportJob::Step> steps;
    int64_t from = 0;
    for (double point : plan.points) {
        // To the nearest microsecond: 5 s of 12 s is 0.41666..., a hair under 5,000,000 us times out.
        const int64_t stop = point >= 1.0 ? plan.duration : std::llround(double(plan.duration) * point);
        steps.push_back(pieceStep(state, plan.sizeLimit > 0 ? -1 : from, stop));
        from = stop;
    }
    auto chain = std::make_unique<ChainedExportJob>(std::move(steps));
    state->chain = chain.get();
    return chain;
}

int64_t SplitExport::sizeLimitBytes(float megabytes)
{
    const float bytes = megabytes * 1024.0f * 1024.0f;
    return bytes > 0 && bytes < 9.2e18f ? static_cast<int64_t>(bytes) : 0;
}
