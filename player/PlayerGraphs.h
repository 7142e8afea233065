#pragma once
// The player's use of the engine's FilterGraphBuilder: describes a decoded frame as the builder's
// source and asks for the player's output formats (BGRA pictures at the upright size; 48 kHz stereo
// float sound), with the user's edits, so the preview goes through the export's own translation.
#include "engine/EditSettings.h"
#include "engine/FilterGraph.h"

namespace player {

class PlayerGraphs
{
public:
    // A graph from frames like `frame` (timestamps in `timeBase`, counted from the file's start) to
    // edited BGRA pictures. MEDIA_OK or below 0.
    static int buildVideo(const AVFrame &frame, AVRational timeBase, AVRational frameRate, int storedRotation,
                          const engine::EditSettings &edits, engine::FilterGraph &graph);
    // A graph from sound frames like `frame` (timestamps in 1 / sample rate, counted from the file time
    // `startUs`, where the graph's first sample lies) to interleaved float at AudioOutput's rate and
    // channels: the file's own sound at `mainVolume`, with the edits' music placed on the file's
    // timeline up to `durationUs`.
    static int buildAudio(const AVFrame &frame, int64_t startUs, int64_t durationUs, double mainVolume,
                          const engine::EditSettings &edits, engine::FilterGraph &graph);
    // The same for a file with no sound of its own: the edits' music over silence, from the file time
    // `startUs` (the graph's pts 0) up to `durationUs`. Nothing is pushed into it; it is only pulled.
    static int buildMusicAlone(int64_t startUs, int64_t durationUs, const engine::EditSettings &edits,
                               engine::FilterGraph &graph);
};

} // namespace player
