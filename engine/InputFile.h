#pragma once
// The demux stage: one opened media file, its streams, and the packets read from it.
//
// Times on the file's own timeline are microseconds counted from the file's start time, so a stream
// whose timestamps begin at 10 s still starts at 0. A stop flag, when given, wakes blocked reads
// through FFmpeg's interrupt callback. The file is read through the descriptor opened first, never by
// its path again: a file renamed over it or deleted later does not change what is read.
#include "engine/FFmpeg.h"

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class InputFile
{
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Opens and probes `path`. Refuses (MEDIA_ERR_INPUT), before opening it, anything that is not a
    // regular file (a FIFO or a device would block or never end), and after it a file FFmpeg cannot
    // open or one without a usable audio or video stream (known decoder, valid size or sample rate and
    // channels).
    int open(const std::string &path, const std::atomic<bool> *stop = nullptr);
    // Lets `stop` wake the blocked reads of a file opened without it (nullptr: nothing wakes them).
    void setStopFlag(const std::atomic<bool> *stop);
    // Nothing was read or sought since open(): the next packet is the file's first.
    bool atStart() const { return m_atStart; }

    AVFormatContext *context() const { return m_context.get(); }
    const std::string &path() const { return m_path; }

    // The main video stream (-1 when none) and the audio streams, in file order.
    int videoStream() const { return m_videoStream; }
    const std::vector<int> &audioStreams() const { return m_audioStreams; }
    AVStream *stream(int index) const { return m_context->streams[index]; }

    // Duration in microseconds on the file's timeline, from its first timestamp to its end (0 when
    // unknown).
    int64_t duration() const;
    // The stream's frame rate as FFmpeg guesses it; {0, 1} when unknown or implausible (above 240).
    AVRational frameRate(int streamIndex) const;
    // Clockwise rotation (0, 90, 180, 270) that makes the stream's picture upright.
    int rotation(int streamIndex) const;
    // A timestamp of the stream (its time base) on the file's timeline, in microseconds.
    int64_t toFileTime(int streamIndex, int64_t ts) const;
    // The inverse: file-timeline microseconds to a timestamp of the stream.
    int64_t fromFileTime(int streamIndex, int64_t us) const;
    // The file time of the video key frame that a seek to `us` lands on (its presentation time), or
    // INT64_MIN when there is none. Moves the read position: seek again afterwards.
    int64_t keyFrameTimeFor(int64_t us);

    // Seeks every stream to the last key frame at or before `us` on the file timeline. Files without
    // an index (transport streams) land on the packet nearest the time, key frame or not: the seek
    // then steps back until the first video packet is such a key frame, or to the file's start. The
    // start (`us` at or before 0) is reached by reading the file afresh, since a seek may skip what is
    // stored before the first key frame (sound that starts before the picture, encoder delay); that
    // replaces the streams, so take stream() pointers anew after a seek.
    int seek(int64_t us);
    // Reads the next packet: 0, AVERROR_EOF at the end, or another error.
    int read(AVPacket *packet);

    // Whether the stream holds a packet that plays inside [start, end) (end 0 = to the file's end); for the
    // main video stream, a picture that starts there.
    // Moves the read position: seek again afterwards.
    bool holdsIn(int streamIndex, int64_t start, int64_t end);
    // After read() gave AVERROR_EOF: the data ran out before `us` (0 = the file's end), although the
    // file promises it (its duration): the file is cut off or damaged. Counts what was read since the
    // last seek; a file whose duration is only guessed from its bit rate promises nothing.
    bool endedEarly(int64_t us) const;

private:
    int64_t startTime() const;
    // Where the video and audio streams that give their lengths end on the file's timeline (INT64_MIN
    // when none does).
    int64_t usedStreamsEnd() const;
    int openStreams();
    int seekNear(int64_t us);
    int rewind();
    // Reads up to the first video packet, keeping what it read for read(); whether that packet is a
    // key frame shown at or before `us`.
    bool landedOnKeyFrameBefore(int64_t us);

    // Frees a reader of the opened file: its buffer, its position and itself.
    struct ReaderDeleter
    {
        void operator()(AVIOContext *io) const;
    };
    using ReaderPtr = std::unique_ptr<AVIOContext, ReaderDeleter>;

    int m_file = -1;  // the descriptor every read goes through
    ReaderPtr m_reader; // the context's reader: it outlives the context
    InputFormatPtr m_context;
    std::string m_path;
    const std::atomic<bool> *m_stop = nullptr;
    int m_videoStream = -1;
    std::vector<int> m_audioStreams;
    std::deque<PacketPtr> m_pending; // read while checking a seek, handed out first
    int64_t m_reached = INT64_MIN;   // file time where the packets read since the seek end
    bool m_atStart = true;
};

} // namespace engine
