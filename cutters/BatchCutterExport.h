#pragma once
// What the batch cutter exports of one file: the file cut to its kept range, or the file without its
// removed range, into its own output "base.ext" (then "base(2).ext", ...) in the output folder, with the
// source's extension.
//
// A kept range is one conversion (a stop of 0 converts the whole file). A removed range leaves the part
// before it and the part after it: both are joined, streams copied (JoinPlan); when the range starts at 0 or
// ends at the file's end only one part is left, which is one conversion cut to it; a range that covers the
// whole file leaves nothing, and the file fails with MEDIA_ERR_ARGUMENT.
//
// The files of a batch need nothing of each other: their steps are marked to run side by side. The names
// handed out within one run are kept in the run's reserved set until their files exist (a file whose
// job failed gives its name back), so two files running at once never get the same name. Main thread.
#include "toolkit/ChainedExportJob.h"

#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>

class SimpleData;

class BatchCutterExport
{
public:
    // A part of the source in microseconds; a stop of 0 = to the end of the file (0, 0 = the whole file).
    struct Piece
    {
        int64_t start = 0;
        int64_t stop = 0;
        bool operator==(const Piece &) const = default;
    };

    // The parts the output holds, in order; parts shorter than a millisecond are left out.
    static QList<Piece> pieces(const SimpleData &clip);

    // The first free output path for `clip` in `folder`, skipping and then joining `reserved` when given
    // (OutputNaming).
    static QString outputPath(const SimpleData &clip, const QString &folder,
                              QSet<QString> *reserved = nullptr);

    // The chain step for `clip`: marked mayFail (a failed file does not stop the batch) and parallel. Its
    // set-up chooses the output path (among the run's `reserved` names), stores it in the clip's exportPath
    // and logs "outputFileurl:%@"; its `ended` gives the name back when the job failed.
    static ChainedExportJob::Step step(const std::shared_ptr<SimpleData> &clip, const QString &folder,
                                       const std::shared_ptr<QSet<QString>> &reserved = nullptr);
};
