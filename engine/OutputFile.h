#pragma once
// The mux stage: writes one output file under a hidden temporary name beside its final path, and
// renames it there only when the job succeeds. A file already at the final path is never touched.
// Keeps a running estimate of the finished file's size, so a job can stop before a size limit.
#include "engine/FFmpeg.h"

#include <atomic>
#include <string>

namespace engine {

class OutputFile
{
public:
    OutputFile() = default;
    ~OutputFile(); // removes the temporary file unless finish() succeeded
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Whether `path` may be written: no file there yet, and its folder exists. MEDIA_OK or
    // MEDIA_ERR_OUTPUT.
    static int checkPath(const std::string &path);

    // Allocates the muxer for `format` and opens the temporary file. The stop flag wakes blocked writes.
    int open(const std::string &path, const AVOutputFormat *format, const std::atomic<bool> *stop);
    AVFormatContext *context() const { return m_context.get(); }

    // Adds a stream that the opened `encoder` fills (its parameters, time base and frame rate).
    int addStream(const AVCodecContext *encoder, AVStream *&stream);
    // Adds a stream that copies the packets of `input` (its parameters, time base and frame rate; the
    // muxer picks its own codec tag).
    int addCopiedStream(const AVStream *input, AVStream *&stream);
    int writeHeader();
    // Writes one packet (its time stamps in the stream's time base), taking its data.
    int write(AVPacket *packet);
    // The estimated size of the finished file if a packet of `bytes` were written now.
    int64_t sizeWith(int64_t bytes) const;

    // Writes the trailer, closes the file and moves it to its final path. MEDIA_OK or below 0; on
    // failure nothing is left behind.
    int finish();

private:
    void discard();
    int64_t overheadPerPacket(int64_t bytes) const;

    OutputFormatPtr m_context;
    std::string m_path;
    std::string m_temporaryPath;
    int64_t m_headerBytes = 0;
    int64_t m_packetBytes = 0;
    int64_t m_packets = 0;
    bool m_finished = false;
};

} // namespace engine
