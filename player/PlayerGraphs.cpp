#include "player/PlayerGraphs.h"

#include "engine/FilterGraphBuilder.h"
#include "player/AudioOutput.h"

#include <algorithm>

namespace player {

int PlayerGraphs::buildVideo(const AVFrame &frame, AVRational timeBase, AVRational frameRate,
                             int storedRotation, const engine::EditSettings &edits,
                             engine::FilterGraph &graph)
{
    engine::VideoSource source;
    source.width = frame.width;
    source.height = frame.height;
    source.format = frame.format;
    source.timeBase = timeBase;
    source.sampleAspectRatio = frame.sample_aspect_ratio;
    source.frameRate = frameRate;
    source.storedRotation = storedRotation;
    engine::VideoSettings settings;
    settings.format = AV_PIX_FMT_BGRA;
    settings.edits = &edits;
    settings.timelineOffset = 0; // the player's timestamps already count from the file's start
    return engine::FilterGraphBuilder::buildVideo(source, settings, graph);
}

namespace {

int build(const engine::AudioSource &source, int64_t startUs, int64_t durationUs, double mainVolume,
          bool mainAudio, const engine::EditSettings &edits, engine::FilterGraph &graph)
{
    engine::AudioSettings settings;
    settings.volume = mainVolume;
    settings.trimStart = false; // a seek's key frame may start before 0; the player trims by time itself
    settings.sampleRate = AudioOutput::kSampleRate;
    settings.format = AV_SAMPLE_FMT_FLT;
    av_channel_layout_default(&settings.layout, AudioOutput::kChannels);
    settings.edits = &edits;
    settings.mainAudio = mainAudio;
    // Music is laid from the graph's first sample on, which after a seek lies inside the file.
    settings.timelineOffset = startUs;
    settings.outputDuration = std::max<int64_t>(0, durationUs - startUs);
    int r = engine::FilterGraphBuilder::buildAudio(source, settings, graph);
    av_channel_layout_uninit(&settings.layout);
    return r;
}

} // namespace

int PlayerGraphs::buildAudio(const AVFrame &frame, int64_t startUs, int64_t durationUs, double mainVolume,
                             const engine::EditSettings &edits, engine::FilterGraph &graph)
{
    engine::AudioSource source;
    source.sampleRate = frame.sample_rate;
    source.format = frame.format;
    source.layout = frame.ch_layout;
    return build(source, startUs, durationUs, mainVolume, true, edits, graph);
}

int PlayerGraphs::buildMusicAlone(int64_t startUs, int64_t durationUs, const engine::EditSettings &edits,
                                  engine::FilterGraph &graph)
{
    // The silence the music is mixed over, already in the output's format.
    engine::AudioSource source;
    source.sampleRate = AudioOutput::kSampleRate;
    source.format = AV_SAMPLE_FMT_FLT;
    av_channel_layout_default(&source.layout, AudioOutput::kChannels);
    return build(source, startUs, durationUs, 1.0, false, edits, graph);
}

} // namespace player
