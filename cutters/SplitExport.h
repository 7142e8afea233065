#pragma once
// The splitter's export: one conversion per piece of the source, as a ChainedExportJob. Piece i runs
// from where piece i - 1 really ended to points[i] x duration; no codec, frame size or bit rate is set, so
// each piece keeps the source's streams. Each output is "<base>-split<n>.<ext>", numbered on from the
// highest such number in the folder (from 1 in an empty one) and handed out in piece order (a name given
// to a piece still being written is not free), so a second run continues after the files of the first,
// even where a cancelled run left a gap.
//
// Without a size limit every piece ends at its point, so the pieces are independent and run side by side
// where the machine has idle cores. With a size limit, a piece may end before its point (its bit rate
// rose): the next piece then starts where the engine says that one ended, so the pieces run one after the
// other, and pieces are added at the end until the whole source is written, so nothing is lost and every
// file keeps within the limit. A limit too small to hold anything of the source fails the run instead of
// making empty files for ever. The progress (0..1) never goes back. Main thread only.
#include "toolkit/ChainedExportJob.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class SplitExport
{
public:
    struct Plan
    {
        QString sourcePath;
        QString folder;
        QString baseName;      // the source's name without its extension; "-split" is added here
        QString extension;     // without the dot
        int64_t duration = 0;  // microseconds
        QList<double> points;  // ascending fractions ending with 1.0, one per piece
        int64_t sizeLimit = 0; // bytes per file; 0 = none
    };

    // The chain of the plan. `progress` gets the run's overall fraction 0..1.
    static std::unique_ptr<ChainedExportJob> makeChain(const Plan &plan,
                                                       std::function<void(double)> progress);

    // The size limit of a piece of `megabytes` (1,048,576 bytes each), single precision as the pop-up
    // is read; 0 for no number.
    static int64_t sizeLimitBytes(float megabytes);
};
