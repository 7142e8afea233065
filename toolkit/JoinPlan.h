#pragma once
// What a join asks of the engine, worked out once for every tool that joins: the output settings read
// from the nine output titles, the pieces of the clips (their kept parts, volumes and transitions), and
// the engine calls that set a join job up.
//
// Pieces: a clip in keep mode gives its range [start, stop) (a stop of 0 = to the end); a clip in
// remove mode gives what lies before and after the range. An empty piece is never added (the engine
// would read 0, 0 as the whole file): a clip with nothing left is skipped and named in `skipped`. A
// transition sits on the clip's last piece: 1 s after a removed range; after a kept range a third of the
// shorter of the two clips (at most 3 s), none when that is 0.5 s or less. The volume is the clip's
// factor as it stands (0.5 halves the sound, 0 mutes). Times are microseconds on the file's timeline.
//
// configure() makes the calls in the engine's order (audio bit rate always, then audio codec, encode
// context, video codec, frame size, rate, video bit rate where set; the output path; the pieces with
// their transitions and volumes). Any refused call fails the set-up with its code, except a transition
// the engine refuses, which only drops that transition. Main thread (the calls go through
// EngineApi::current()).
//
// A default Settings changes nothing: codecs, frame size and rate follow the first clip, and the
// container is the one the output path's extension names. streamCopy() asks for both streams copied.
#include "toolkit/ChainedExportJob.h"
#include "toolkit/SourceProbe.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class SimpleData;

class JoinPlan
{
public:
    struct Settings
    {
        QString videoCodec; // empty = as the first clip
        QString audioCodec;
        int width = 0, height = 0; // 0 = as the first clip
        double fps = 0;
        int videoBitrate = 0; // kbit/s
        int audioBitrate = 0; // kbit/s, always sent (0 = the encoder's choice)
        int channels = 0;
        int sampleRate = 0;
    };

    // Both streams copied where the engine can do that exactly (it re-encodes otherwise).
    static Settings streamCopy();

    struct Piece
    {
        QString path;
        uint64_t start = 0;
        uint64_t stop = 0; // 0 = to the end
        double volume = 1;
        int transition = 0;           // MediaJoinTransition into the next piece
        int64_t transitionLength = 0; // microseconds
    };

    // The settings of the titles (an unset title is null, empty or a single blank). With a reference
    // clip (the one whose format is the output's) an unset or "Custom" frame size and video bit rate take
    // the clip's target values ("Custom" then the stored custom numbers where above 0), and a quarter turn
    // of the clip swaps width and height.
    static Settings settingsFromTitles(const SourceProbe::Titles &titles, const SimpleData *reference);

    // The pieces of `clips` in order; clips with nothing left go by name into `skipped` (may be null).
    static QList<Piece> piecesFor(const QList<std::shared_ptr<SimpleData>> &clips, QStringList *skipped);

    // The length of a transition between kept parts of `first` and `next` seconds: a third of the shorter
    // below 6 s, else 3 s; 0 when that is 0.5 s or less.
    static double transitionSeconds(double first, double next);

    static ChainedExportJob::SetUp configure(MEDIA_HANDLE handle, const Settings &settings,
                                             const QString &outputPath, const QList<Piece> &pieces);
};
