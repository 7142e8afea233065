#pragma once
// The mux stage: writes one output file under a hidden temporary name beside its final path, and
// renames it there only when the job succeeds. A file already at the final path is never touched.
// Keeps a running estimate of the finished file's size, so a job can stop before a size limit.
//
// The temporary file has an unpredictable name and is created by us, exclusively and without
// following links, inside the output folder (held open, so a folder renamed meanwhile changes
// nothing); the muxer writes to it through our own AVIOContext, and it is published under the final
// name without following or replacing anything there. While it is written it holds a lock, so that
// the next job in the folder can tell it from the leftover of a killed job (which it removes), and
// writing fails within a second once the folder or the temporary file has been deleted.
#include "engine/FFmpeg.h"

#include <atomic>
#include <string>
#include <sys/types.h>
#include <utility>

namespace engine {

class OutputFile
{
public:
    OutputFile() = default;
    ~OutputFile(); // removes the temporary file unless finish() succeeded
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Whether `path` may be written: no file there yet, its folder exists, and the folder's file system
    // takes a name that long. MEDIA_OK or MEDIA_ERR_OUTPUT.
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

    // Closes and removes the temporary file now (the destructor would do it later). Idempotent.
    void discard();

private:
    int createTemporary();
    // Removes the temporary files that killed jobs left in the folder: names of our pattern only,
    // regular files of this user, untouched for a minute, and held by no running job.
    void removeLeftovers() const;
    // MEDIA_ERR_OUTPUT once the folder or the temporary file is gone (checked a few times a second).
    int checkStillThere();
    // The temporary name still holds the regular file we created.
    bool isOurs() const;
    // Moves the temporary file to the final name; never replaces what is there.
    int publish();
    // Detaches and frees our AVIOContext; false when a write or the last flush failed.
    bool closeIo();
    int64_t overheadPerPacket(int64_t bytes) const;

    OutputFormatPtr m_context;
    std::string m_path;
    std::string m_name;                   // the final file name inside the folder
    std::string m_temporaryName;          // likewise, the temporary one
    int m_folder = -1;                    // the output folder, open
    int m_file = -1;                      // the temporary file, open for writing
    std::pair<dev_t, ino_t> m_identity{}; // of the temporary file
    AVIOContext *m_io = nullptr;
    int64_t m_headerBytes = 0;
    int64_t m_packetBytes = 0;
    int64_t m_packets = 0;
    bool m_finished = false;
    int64_t m_lastCheck = 0; // steady-clock microseconds of the last checkStillThere()
};

} // namespace engine
