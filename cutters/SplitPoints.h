#pragma once
// Where the splitter's modes put their split points, as fractions 0..1 of the source, ascending, in
// double precision (the timeline keeps them so): a point every 5 s of 12 s is a fraction that gives
// 5,000,000 us again when the export takes it to the nearest microsecond.
//
// byTime: a point every `seconds` of a `duration`-second source; bySize: a point every `megabytes` of a
// `fileSize`-megabyte source; byCount: `parts` equal parts (3.5 gives points at 1/3.5, 2/3.5, 3/3.5).
// A value of 0 or less, a source of no length and values that are not numbers give no points; only
// points strictly inside 0..1 are given. `minGap` drops a point closer than that to the one before
// (the timeline cannot hold markers closer than half a marker's width), so a very short step on a long
// file costs no more than the timeline can show.
#include <QList>

class SplitPoints
{
public:
    static QList<double> byTime(double seconds, double duration, double minGap = 0);
    static QList<double> bySize(double megabytes, double fileSize, double minGap = 0);
    static QList<double> byCount(double parts, double minGap = 0);

private:
    // Points (k - 1) x step / total for k = 2, 3, ... while k < count, as long as they stay below 1.
    static QList<double> evenly(double step, double total, double minGap);
};
