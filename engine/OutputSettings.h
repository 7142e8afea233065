#pragma once
// The output settings that conversion and join jobs share, with the checks their setters make. Every 0
// or empty value means "as the source" (for a join: as the first clip that has the stream).
#include <string>

namespace engine {

struct OutputSettings
{
    std::string videoCodec; // FFmpeg encoder or codec name; "copy" = stream copy
    std::string audioCodec;
    int width = 0;
    int height = 0;
    double fps = 0;
    int videoKbps = 0;
    int audioKbps = 0;
    int channels = 0;
    int sampleRate = 0;
    std::string outputPath;

    // Each returns MEDIA_OK, or MEDIA_ERR_ARGUMENT (MEDIA_ERR_ENCODER for a codec with no usable
    // encoder, MEDIA_ERR_OUTPUT for a path that may not be written) and leaves the setting as it was.
    // Codec names are trimmed; sizes are rounded down to even numbers (4:2:0 pictures need them).
    int setVideoCodec(const char *name);
    int setAudioCodec(const char *name);
    int setFrameSize(int width, int height);
    int setFps(double fps);
    int setVideoBitrate(int kbps);
    int setAudioBitrate(int kbps);
    int setAudioEncodeContext(int channels, int sampleRate);
    int setOutputPath(const std::string &path);
};

} // namespace engine
