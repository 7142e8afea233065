#pragma once
// The probe stage: describes a file's streams in the engine's records and draws snapshots of it.
// Descriptions are upright: the displayed width and height, with a rotation of 0.
#include "engine/InputFile.h"
#include "engine/JobTable.h"
#include "media/MediaRecords.h"

#include <cstdint>
#include <string>

namespace engine {

class MediaProbe : public EngineObject
{
public:
    // Opens `path`; MEDIA_OK, or below 0 when the file is refused (see InputFile::open).
    int open(const std::string &path);

    InputFile &input() { return m_input; }

    // Fills the records of one stream of the file (a file stream index).
    void describeAudio(int streamIndex, AUDIO_STREAM_INFO *info) const;
    void describeVideo(int streamIndex, VIDEO_STREAM_INFO *info) const;

    // Duration in microseconds.
    int64_t duration() const { return m_input.duration(); }

    // Draws the frame shown at `time` (microseconds) into width x height BGRA pixels, letterboxed.
    int snapshot(int64_t time, int width, int height, uint8_t *buffer);

private:
    int64_t estimatedBitrate(int streamIndex) const;

    InputFile m_input;
};

} // namespace engine
