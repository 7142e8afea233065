#pragma once
// One run of a conversion job. See the top of ConversionPipeline.cpp for how the stages talk.
#include "engine/Decoder.h"
#include "engine/EditSettings.h"
#include "engine/Encoder.h"
#include "engine/FilterGraph.h"
#include "engine/InputFile.h"
#include "engine/OutputFile.h"
#include "engine/SmartCut.h"

#include <deque>
#include <memory>

namespace engine {

class ConversionJob;

class ConversionPipeline
{
public:
    explicit ConversionPipeline(ConversionJob &job);
    // Runs the job's input through to its output. MEDIA_OK (the output is in place) or below 0 (nothing
    // is left behind).
    int run();
    // Removes the temporary output now, before the pipeline itself is freed.
    void discardOutput() { m_output.discard(); }

private:
    // One output stream and the stages that feed it.
    struct Track
    {
        int input = -1;     // input stream index; -1 = the source has none
        bool used = false;  // planned into the output
        bool copy = false;  // stream copy instead of decode -> filter -> encode
        bool smart = false; // video copy with encoded seams (m_smartCut)
        const AVCodec *encoderCodec = nullptr;
        Decoder decoder;
        FilterGraph graph;
        Encoder encoder;
        AVStream *output = nullptr;
        BitstreamFilterPtr bitstreamFilter; // copy: rewrites packets for containers that need it
        bool done = false;                  // past the cut end
        bool started = false;               // copy: the first packet at or after the cut start was seen
        // Packets written to the output.
        int64_t written = 0;
    };

    // A range where the picture holds nothing but the sound does (sound that runs past the picture) is
    // written with its sound only.
    void dropVideoOutsideRange();
    // MEDIA_ERR_INPUT when the subtitle to burn cannot be read as text or holds no cue (as
    // MediaCheckSubtitleCues says): a subtitle is never silently left out.
    int checkSubtitle() const;
    int plan(const AVOutputFormat *format, bool strict);
    int planVideo(const AVOutputFormat *format, bool strict);
    int planAudio(const AVOutputFormat *format, bool strict);
    int openVideo();
    int openAudio();
    int openCopy(Track &track);
    void checkCopyCut();
    // Plans a smart cut when no codec is asked for and a plain copy would not be exact.
    void planSmartCut();
    bool videoNeedsFilter() const;
    bool audioNeedsFilter() const;
    int buildAudioGraph();
    // The audio track is made from the music alone (no source audio feeds it).
    bool musicOnly() const { return m_audio.used && m_audio.input < 0; }

    int handlePacket(AVPacket *packet);
    int copyPacket(Track &track, AVPacket *packet);
    // Writes a copied packet whose timestamps are already on the output's timeline.
    int writeCopied(Track &track, AVPacket *packet);
    // A packet of the smart cut: moved to the output's timeline and written.
    int writeSmart(AVPacket *packet);
    // Music alone follows the copied picture (`ts` a video timestamp) as it follows an encoded one.
    int followPicture(int64_t ts);
    // A packet's length in microseconds (0 when the file does not say).
    int64_t packetLength(const Track &track, const AVPacket *packet) const;
    int openBitstreamFilter(Track &track);
    // Decodes one packet of the track (nullptr = drain) and filters what comes out.
    int decode(Track &track, const AVPacket *packet);
    int filterVideo(AVFrame *frame);
    int filterAudio(AVFrame *frame);
    int pullVideo();
    int pullAudio();
    int encode(Track &track, AVFrame *frame);
    int writePacket(Track &track, AVPacket *packet);
    // Size-limited output with pictures: see the top of ConversionPipeline.cpp.
    int writeLimited(Track &track, AVPacket *packet);
    int commitPictures(bool atEnd);
    int releaseSound(bool atEnd);
    void endAtLimit();
    // Fixes the output's time 0 (`videoTs`: the same moment as a video timestamp, if known) and lets
    // the waiting audio through.
    int startTimeline(int64_t offset, int64_t videoTs);
    // Starts the output's timeline for a first kept picture at file time `picture` (timestamp `ts`).
    int startTimelineAtPicture(int64_t picture, int64_t ts);
    int flush();
    // MEDIA_ERR_ARGUMENT when a size limit let nothing through; MEDIA_ERR_NOTHING_IN_RANGE when a
    // planned track got nothing from the input.
    int checkWritten() const;

    ConversionJob &m_job;
    EditSettings m_edits;
    InputFile &m_input; // the job's probed input, read from here on
    OutputFile m_output;
    const AVOutputFormat *m_format = nullptr;
    Track m_video;
    Track m_audio;
    int64_t m_cutStart = 0;
    int64_t m_cutEnd = 0;              // 0 = to the end of the file
    int64_t m_plannedDuration = 0;     // microseconds of output the job should write
    int64_t m_offset = AV_NOPTS_VALUE; // file time that becomes the output's time 0
    int64_t m_videoOffsetTs = 0;       // the same time as a timestamp of the video stream
    int64_t m_videoZeroTs = 0;         // the video timestamp of file time 0: the graph runs on file time
    int64_t m_videoReached = 0;        // output microseconds of the last video frame encoded
    bool m_flushing = false;
    int64_t m_startKey = INT64_MIN;         // file time of the video key frame the cut start lands on
    bool m_copyIsExact = false;             // copying the video would start and end exactly on the cut
    std::unique_ptr<SmartCut> m_smartCut;   // planned when copying would not be exact
    std::deque<FramePtr> m_waitingAudio;    // decoded before the output's time 0 was known
    std::deque<PacketPtr> m_waitingPackets; // audio to copy, read before the output's time 0 was known
    bool m_limitReached = false;
    int64_t m_writtenEnd = 0; // output microseconds up to which the leading track is written
    std::deque<PacketPtr> m_pendingPictures; // size limit: pictures waiting until they leave no gap
    std::deque<PacketPtr> m_heldSound;       // size limit: sound waiting until the pictures reach it
    FramePtr m_frame;
    FramePtr m_filtered;
    PacketPtr m_packet;
    PacketPtr m_encoded;
};

} // namespace engine
