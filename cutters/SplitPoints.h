#pragma once
// Where the splitter's modes put their split points, as fractions 0..1 of the source, ascending.
// All arithmetic is single precision, as the timeline stores its markers.
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
    static QList<float> byTime(float seconds, float duration, float minGap = 0);
    static QList<float> bySize(float megabytes, float fileSize, float minGap = 0);
    static QList<float> byCount(float parts, float minGap = 0);

private:
    // Points (k - 1) x step / total for k = 2, 3, ... while k < count, as long as they stay below 1.
    static QList<float> evenly(float step, float total, float minGap);
};
