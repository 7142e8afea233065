#include "cutters/SplitExport.h"

#include "platform/Log.h"
#include "toolkit/OutputNaming.h"

namespace {

// What the pieces of one run share: where the next one starts, and the chain for adding pieces.
struct RunState
{
    SplitExport::Plan plan;
    std::function<void(double)> progress;
    ChainedExportJob *chain = nullptr;
    int64_t nextStart = 0;
    bool stalled = false;
};

ChainedExportJob::Step pieceStep(const std::shared_ptr<RunState> &state, int64_t stop)
{
    ChainedExportJob::Step step;
    step.kind = ChainedExportJob::Kind::Convert;
    step.pollMode = platform::Timer::Common;
    step.inputs << state->plan.sourcePath;
    auto start = std::make_shared<int64_t>(0);
    step.configure = [state, start, stop](MEDIA_HANDLE h) -> ChainedExportJob::SetUp {
        const EngineApi &api = EngineApi::current();
        const SplitExport::Plan &plan = state->plan;
        if (state->stalled)
            return {MEDIA_ERR_ARGUMENT, {}};
        *start = state->nextStart;
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
            plan.folder, plan.baseName + QStringLiteral("-split"), plan.extension);
        if ((r = api.convertSetOutputPath(h, output.toUtf8().constData())) < 1)
            return {r, {}};
        return {MEDIA_OK, {}};
    };
    step.progress = [state](double percent) {
        const ChainedExportJob *chain = state->chain;
        const double count = chain->stepCount();
        state->progress((chain->currentStep() + percent / 100.0) / count);
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
            state->chain->append(pieceStep(state, stop));
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
    for (double point : plan.points) {
        const int64_t stop =
            point >= 1.0 ? plan.duration : static_cast<int64_t>(double(plan.duration) * point);
        steps.push_back(pieceStep(state, stop));
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
