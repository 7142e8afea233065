#pragma once
// What the batch cutter exports of one file: the file cut to its kept range, or the file without its
// removed range, into its own output "base.ext" (then "base(2).ext", ...) in the output folder, with the
// source's extension.
//
// A kept range is one conversion (a stop of 0 converts the whole file). A removed range leaves the part
// before it and the part after it: both are joined, streams copied (JoinPlan); when the range starts at 0 or
// ends at the file's end only one part is left, which is one conversion cut to it; a range that covers the
// whole file leaves nothing, and the file fails with MEDIA_ERR_ARGUMENT. Main thread.
#include "toolkit/ChainedExportJob.h"

#include <QList>
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

    // The first free output path for `clip` in `folder` (OutputNaming).
    static QString outputPath(const SimpleData &clip, const QString &folder);

    // The chain step for `clip`: marked mayFail (a failed file does not stop the batch). Its set-up
    // chooses the output path, stores it in the clip's exportPath and logs "outputFileurl:%@".
    static ChainedExportJob::Step step(const std::shared_ptr<SimpleData> &clip, const QString &folder);
};
