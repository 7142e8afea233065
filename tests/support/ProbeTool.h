#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the `ffprobe` command reports about a file: the independent oracle that tests and benchmarks
// check written files against. Runs `ffprobe -v error -print_format json -show_format -show_streams`.
// Numbers the report leaves out are 0, texts the report leaves out are empty.
namespace fixture {

struct ProbeStream
{
    int index = 0;
    std::string type; // "video", "audio", "subtitle", "data", "attachment"
    std::string codecName;
    int width = 0;
    int height = 0;
    double rFrameRate = 0;
    double avgFrameRate = 0;
    int sampleRate = 0;
    int channels = 0;
    int64_t bitRate = 0;
    std::string title;
    std::string handlerName; // the mov family's stand-in for a track title
    std::string language;
    // Clockwise degrees a player turns the picture, 0..270: from the display matrix (whose angle
    // counts anticlockwise), else from a "rotate" tag.
    int rotation = 0;
    int64_t nbFrames = 0;
    double duration = 0; // seconds; from the stream's DURATION tag where the container keeps it there
    // Seconds; the stream's first timestamp as stored.
    double startTime = 0;
};

struct ProbeResult
{
    bool ok = false;
    std::string error; // ffprobe's complaint when it refused the file
    std::string formatName;
    double duration = 0;
    int64_t size = 0;
    int64_t bitRate = 0;
    std::vector<ProbeStream> streams;

    // Streams of one type, in file order.
    std::vector<ProbeStream> ofType(const std::string &type) const;
    int count(const std::string &type) const;
};

// Probes `path`; ok is false when ffprobe fails, cannot be started or gives no usable report.
ProbeResult probe(const std::string &path);

// What `ffmpeg -v error` says while decoding every stream of `path` to nothing: empty for a file that
// decodes cleanly.
std::string decodeErrors(const std::string &path);

} // namespace fixture
