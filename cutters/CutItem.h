#pragma once
// One cut of the easy cutter: a range of the source in seconds and the picture its list row shows.
// Nothing checks that the start lies before the end or that cuts differ; an end of 0 means "to the end
// of the source". Main thread only.
#include <QImage>

struct CutItem
{
    bool selected = false; // the cut's row was the one selected last
    double startTime = 0;  // seconds from the beginning of the source
    double endTime = 0;    // seconds
    QImage thumbImage;
};
