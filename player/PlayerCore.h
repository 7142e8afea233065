#pragma once
// The player's media side, without Qt: the file, its decoders, the filter graphs and the thread that
// drives them. RDMoviePlayer wraps it for the application.
//
// How it works. open() reads the file on the caller's thread; a worker thread then owns the demuxer,
// the decoders and the graphs. The caller posts requests (play, pause, seek, refresh, edits) under one
// mutex and the worker carries them out between frames. While playing, the worker reads packets,
// decodes video frames into a short queue and writes filtered sound to the AudioOutput; it shows each
// frame when the clock reaches it. The clock is the output's played time (a device's, or the wall
// clock's when silent) counted from where playback started, so the picture follows the sound.
// A seek decodes from the key frame before the target up to the frame shown at the target; pictures
// and sound go through the engine's FilterGraphBuilder with the current edits. A file without sound of
// its own still plays its music: the worker then pulls it from a graph of music over silence.
//
// Threads: every method but the handlers' calls is for one caller thread (the main thread); the
// picture and end handlers are called on the worker thread.
#include "engine/Decoder.h"
#include "engine/EditSettings.h"
#include "engine/FilterGraph.h"
#include "engine/InputFile.h"
#include "player/AudioOutput.h"
#include "player/Picture.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace player {

class PlayerCore
{
public:
    using PictureHandler = std::function<void(std::shared_ptr<const Picture>)>;

    explicit PlayerCore(std::unique_ptr<AudioOutput> output);
    ~PlayerCore();
    PlayerCore(const PlayerCore &) = delete;
    PlayerCore &operator=(const PlayerCore &) = delete;

    // Set before open(): called on the worker for every picture shown, and once per end of playback.
    void setPictureHandler(PictureHandler handler) { m_onPicture = std::move(handler); }
    void setEndHandler(std::function<void()> handler) { m_onEnd = std::move(handler); }
    // Benchmarks: false shows every frame as soon as it is filtered, with no clock and no frame dropped.
    void setRealTime(bool on) { m_realTime = on; }

    // Opens `path` (MEDIA_OK, or below 0 when refused), starts the worker and asks it for the first
    // frame.
    int open(const std::string &path);
    // Stops the worker (joined) and releases everything. Safe to call twice.
    void close();

    int64_t durationUs() const { return m_duration; }
    bool hasVideo() const { return m_videoStream >= 0; }

    void play();
    // Stops the clock; the worker then shows the frame at the paused position (waitUntilDrawn() waits
    // for it).
    void pause();
    bool isPlaying() const;
    // Rests the output after the end of playback, unless playback has started again since.
    void restAfterEnd();
    // Asks for the frame shown at `us` (clamped to the duration); playback continues from there. The
    // sound queued for the old place is dropped at once.
    void seek(int64_t us);
    // The clock while playing, else the last position sought or reached (microseconds).
    int64_t positionUs() const;

    // Changes the picture or sound edits; the picture is redrawn with them at the next frame, or by
    // refresh() while paused. Sound made before a sound edit is not written from then on; while
    // stopped, the queued sound is dropped and made again from the current position.
    void changeEdits(const std::function<void(engine::EditSettings &)> &change, bool sound);
    engine::EditSettings edits() const;
    // Factor 0..2 applied to everything written to the output.
    void setVolume(double volume);
    // The file's own audio: level 0..1, or silenced (a sound edit, as in changeEdits()).
    void setMainAudio(double volume, bool disabled);
    // Picks the file's audio stream by stream index; false (nothing changes) when it is not one.
    bool setAudioStream(int streamIndex);
    // Redraws the current frame with the current edits (while paused).
    void refresh();

    // Waits until every seek and refresh asked so far is drawn; false on timeout.
    bool waitUntilDrawn(int timeoutMs);
    // The picture shown now (null before the first one, and for files without video).
    std::shared_ptr<const Picture> picture() const;

private:
    struct QueuedFrame
    {
        engine::FramePtr frame;
        int64_t timeUs = 0;
    };

    void run();
    bool commandPending() const; // with m_mutex held
    // With m_mutex held: asks the worker for the frame at `us` and empties the output.
    void requestSeekLocked(int64_t us);
    // With m_mutex held: after a change of what the sound is made of.
    void soundChangedLocked();
    int64_t clockLocked() const;
    void restartClockLocked(int64_t us);
    void waitForClock(int64_t us);

    void step();
    void doSeek(int64_t us);
    // Takes the queued frames up to `us`, decoding on as needed, and returns the last (no frame when the
    // first lies after `us`, or when a seek or close is asked for meanwhile).
    QueuedFrame takeFramesThrough(int64_t us);
    void openAudioDecoder(int streamIndex);
    bool readPacket();
    void receiveVideo();
    void receiveAudio();
    void drainAtEnd();
    void filterAudio(AVFrame *frame);
    // A file without sound of its own plays its music over silence: keeps the output fed from a graph
    // that nothing is pushed into.
    void feedMusicAlone();
    // Hands the filtered `frame` to the output in time; false when it was refused because a seek is
    // pending or the audio graph is older than the latest sound edit.
    bool writeAudio(const AVFrame *frame);
    void showFrame(QueuedFrame queued);
    void redraw();
    void publish(engine::FramePtr frame, int64_t timeUs);
    bool buildVideoGraph(engine::FilterGraph &graph, const AVFrame *frame);
    bool buildAudioGraph(const AVFrame *frame, int64_t startUs);
    void finishPlayback();

    // Fixed after open().
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<engine::InputFile> m_input = std::make_unique<engine::InputFile>();
    int m_videoStream = -1;
    int64_t m_duration = 0;
    int64_t m_videoOffsetTs = 0; // the file's start, in video stream ticks
    PictureHandler m_onPicture;
    std::function<void()> m_onEnd;
    bool m_realTime = true;
    std::thread m_thread;

    // Shared with the worker, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // requests for the worker
    std::condition_variable m_drawn; // the worker finished a seek or a refresh
    bool m_quit = false;
    bool m_playing = false;
    bool m_ended = false;
    bool m_busy = false;
    std::optional<int64_t> m_seekRequest;
    bool m_refreshRequest = false;
    int64_t m_position = 0;
    int64_t m_clockBase = 0;    // file time where the clock last started
    int64_t m_playedAtBase = 0; // the output's played time then
    engine::EditSettings m_edits;
    uint64_t m_pictureGeneration = 1;
    uint64_t m_soundGeneration = 1;
    double m_volume = 1.0;
    double m_mainVolume = 1.0;
    bool m_mainDisabled = false;
    int m_audioRequest = -1;
    std::shared_ptr<const Picture> m_picture;

    // The worker's own.
    int m_audioStream = -1;
    engine::Decoder m_videoDecoder;
    engine::Decoder m_audioDecoder;
    engine::FilterGraph m_videoGraph; // streaming, while playing
    uint64_t m_videoGraphGeneration = 0;
    engine::FilterGraph m_audioGraph;
    uint64_t m_audioGraphGeneration = 0;
    int64_t m_audioGraphStart = 0; // file time of the audio graph's pts 0
    engine::PacketPtr m_packet;
    engine::FramePtr m_decoded;
    engine::FramePtr m_filtered;
    std::deque<QueuedFrame> m_queue; // decoded, not yet shown
    engine::FramePtr m_shown;        // the decoded frame behind the current picture
    int64_t m_shownTime = 0;
    bool m_demuxEnded = false;
    std::vector<float> m_mix;
};

} // namespace player
