#pragma once
// The easy cutter's two exports of one source, as a chain of engine jobs (ChainedExportJob):
//
//  - per cut: one conversion per cut, started in list order and run side by side where the machine has
//    idle cores (the cuts need nothing of each other), each named after its range
//    ("000010.00-000020.00.<ext>", "(2)", "(3)", ... when taken, by a file or by a cut of this run still
//    being written; the name is chosen when that cut's job is set up), with the source's container and
//    no codec, size or rate of its own; a cut whose end is 0 converts the whole source;
//  - merged: one join of all cuts, in list order, into "<date-time>.<ext>" (a free name likewise), each
//    clip's sound scaled by one volume factor.
//
// The extension is the source's. The source and the cuts are copied when the chain is made, so changes
// to the window's list during a run change nothing. Progress is reported as 0..1 of the whole run; the
// per-cut run also reports which cut starts. Main thread only.
#include "cutters/CutItem.h"
#include "toolkit/ChainedExportJob.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class EasyCutterExport
{
public:
    struct Range
    {
        double start = 0;
        double end = 0;
    };

    // "HHMMSS.cc-HHMMSS.cc" of a range, each time split as the time fields show it (TimeFieldGroup).
    static QString cutBaseName(const Range &range);
    // Seconds to the nearest microsecond (1.15 gives 1,150,000, though the double is a hair below).
    static int64_t microseconds(double seconds);

    static std::unique_ptr<ChainedExportJob> perCut(const QString &source, const QList<Range> &cuts,
                                                    const QString &folder,
                                                    std::function<void(int index)> cutStarts,
                                                    std::function<void(double value)> progress);
    static std::unique_ptr<ChainedExportJob> merged(const QString &source, const QList<Range> &cuts,
                                                    const QString &folder, double volume,
                                                    const QDateTime &when,
                                                    std::function<void(double value)> progress);
};
