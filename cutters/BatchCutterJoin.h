#pragma once
// The join job of one batch-cut file whose marked range is removed: the part before the range and the
// part after it, one after the other into one output, the streams copied where the engine can do that
// exactly (it re-encodes otherwise). Main thread, on a join handle the chain has just created.
#include "toolkit/ChainedExportJob.h"

#include <QString>

#include <cstdint>

class BatchCutterJoin
{
public:
    // Adds [0, cutStart) and [cutStop, the end) of `path` and sets the output and the copy codecs.
    // A piece the engine refuses, or an output path it refuses, fails the set-up with its code.
    static ChainedExportJob::SetUp configure(MEDIA_HANDLE handle, const QString &path, int64_t cutStart,
                                             int64_t cutStop, const QString &outputPath);
};
