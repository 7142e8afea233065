// The splitter's and the batch cutter's exports as their windows run them: the same chains (SplitExport,
// the batch cutter's steps) on a Qt event loop, with no window. engine_bench times this program against
// `ffmpeg -c copy` (split-copy, batch-copy; see CopyYardsticks.h).
//
//   cutter_chains --ours-split IN FOLDER       IN split into kSplitPieces equal pieces, "ours-split<n>.mp4"
//   cutter_chains --ours-batch FOLDER IN...    every IN keeping kBatchStart..kBatchEnd, under its own name
#include "bench/CopyYardsticks.h"
#include "cutters/BatchCutterExport.h"
#include "cutters/SplitExport.h"
#include "media/MediaEngine.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "toolkit/ChainedExportJob.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Runs `chain` on the event loop until it ends; true on success.
bool run(ChainedExportJob &chain)
{
    bool ended = false, succeeded = false;
    chain.start([&](const ChainedExportJob::Outcome &outcome) {
        ended = true;
        succeeded = outcome.status == ChainedExportJob::Outcome::Succeeded;
        if (!succeeded)
            fprintf(stderr, "the export failed: %d\n", outcome.code);
        QCoreApplication::quit();
    });
    if (!ended)
        QCoreApplication::exec();
    return succeeded;
}

int64_t duration(const char *input)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    const int64_t d = apiMediaConvertSetInputMedia(h, input) > 0 ? apiMediaConvertGetDuration(h) : 0;
    apiMediaConvertClose(h);
    return d;
}

int64_t microseconds(const char *seconds)
{
    return int64_t(atof(seconds) * 1e6);
}

bool split(const char *input, const char *folder)
{
    SplitExport::Plan plan;
    plan.sourcePath = QString::fromUtf8(input);
    plan.folder = QString::fromUtf8(folder);
    plan.baseName = QStringLiteral("ours");
    plan.extension = QStringLiteral("mp4");
    plan.duration = duration(input);
    for (int i = 1; i <= bench::kSplitPieces; ++i)
        plan.points.append(double(i) / bench::kSplitPieces);
    const std::unique_ptr<ChainedExportJob> chain = SplitExport::makeChain(plan, nullptr);
    return run(*chain);
}

bool batch(const char *folder, char **inputs, int count)
{
    auto reserved = std::make_shared<QSet<QString>>();
    std::vector<ChainedExportJob::Step> steps;
    for (int i = 0; i < count; ++i) {
        auto clip = std::make_shared<SimpleData>();
        clip->setPath(QString::fromUtf8(inputs[i]));
        clip->setName(QFileInfo(clip->path()).fileName());
        auto target = std::make_shared<FileData>();
        target->setExtension(QStringLiteral("mp4"));
        clip->setTargetData(target);
        clip->setCutTimeRange_start(microseconds(bench::kBatchStart));
        clip->setCutTimeRange_stop(microseconds(bench::kBatchEnd));
        steps.push_back(BatchCutterExport::step(clip, QString::fromUtf8(folder), reserved));
    }
    ChainedExportJob chain(std::move(steps));
    return run(chain);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--ours-split" && argc == 4)
        return split(argv[2], argv[3]) ? 0 : 1;
    if (mode == "--ours-batch" && argc >= 4)
        return batch(argv[2], argv + 3, argc - 3) ? 0 : 1;
    fprintf(stderr, "usage: cutter_chains --ours-split IN FOLDER | --ours-batch FOLDER IN...\n");
    return 2;
}
