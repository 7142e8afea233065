#pragma once
// The one rule that turns a music track's times into what the media engine is handed, for the preview
// player and the export alike: the part of the music file used (source range) and where it lies on the
// video's timeline, the fades and the volume factor. Seconds, in single precision as the track keeps them.
//
// Timeline: positionStart to positionEnd, except that without repeat a span longer than the used part
// ends when the used part does (positionStart + pruneDiration). Source: with prune, the used part;
// without, the music from 0 to its usable length (`duration`), which the export also limits to the span.
class MusicInfo;

namespace MusicRanges {

enum class Form { Preview, Export };

struct Ranges
{
    float sourceStart = 0, sourceEnd = 0;
    float timelineStart = 0, timelineEnd = 0;
    bool fadeIn = false, fadeOut = false; // one second each
    double volume = 0;
};

Ranges forTrack(const MusicInfo &track, Form form);

// Makes the span hold a used part longer than itself (set from the music side: mark-out or the prune
// bar): the span grows at its end and, when that passes the video's end (`videoSeconds`), ends there and
// starts earlier, never before 0. True when the span changed.
bool stretchSpan(MusicInfo &track, float videoSeconds);

} // namespace MusicRanges
