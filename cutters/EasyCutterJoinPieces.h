#pragma once
// Configures one join job from pieces of media: the output path, then each piece as a clip with its
// sound's volume factor. A stand-in for the toolkit's shared translation of pieces into join calls, kept
// small so that the two can be merged.
//
// configure() stops at the first refusal and reports it: the output path (its code), a clip the engine
// refuses (0: the file cannot be read or the range is empty) as MEDIA_ERR_ARGUMENT, a volume factor out
// of range (its code). Times are microseconds on the file's timeline; an end of 0 = to the end. Main
// thread only.
#include "toolkit/ChainedExportJob.h"

#include <QList>
#include <QString>

#include <cstdint>

class EasyCutterJoinPieces
{
public:
    struct Piece
    {
        QString path;
        uint64_t start = 0;
        uint64_t end = 0;
        double volume = 1.0; // factor: 1 unchanged, 0 silent
    };

    static ChainedExportJob::SetUp configure(MEDIA_HANDLE handle, const QString &outputPath,
                                             const QList<Piece> &pieces);
};
