#include "player/PlayerCore.h"

#include "engine/EngineLog.h"
#include "engine/FilterGraphBuilder.h"
#include "player/PlayerGraphs.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace player {

namespace {

// A seek target matches a frame that starts within this much after it (timestamps are rounded).
constexpr int64_t kSeekSlackUs = 500;
// Frames decoded ahead of the clock, and sound written ahead of it (besides the device's own buffer).
constexpr size_t kQueuedFrames = 3;
constexpr int64_t kSoundAheadUs = 250000; // short, so volume changes are heard soon
// A gap in the sound larger than this is filled with silence, so later samples stay in time.
constexpr int64_t kSoundGapUs = 20000;

} // namespace

PlayerCore::PlayerCore(std::unique_ptr<AudioOutput> output) : m_output(std::move(output)) {}

PlayerCore::~PlayerCore()
{
    close();
}

int PlayerCore::open(const std::string &path)
{
    int r = m_input->open(path);
    if (r < 0)
        return r;
    m_packet = engine::makePacket();
    m_decoded = engine::makeFrame();
    m_filtered = engine::makeFrame();
    if (!m_packet || !m_decoded || !m_filtered)
        return MEDIA_ERR_NO_MEMORY;
    m_videoStream = m_input->videoStream();
    if (m_videoStream >= 0) {
        if ((r = m_videoDecoder.open(m_input->stream(m_videoStream))) < 0)
            return r;
        m_videoOffsetTs = m_input->fromFileTime(m_videoStream, 0);
    }
    if (!m_input->audioStreams().empty()) {
        m_audioRequest = m_input->audioStreams().front();
        openAudioDecoder(m_audioRequest);
    }
    m_duration = std::max<int64_t>(0, m_input->duration());
    m_seekRequest = 0;
    m_thread = std::thread([this] { run(); });
    return MEDIA_OK;
}

void PlayerCore::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_playing = false;
    }
    m_wake.notify_all();
    m_drawn.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_queue.clear();
    m_shown.reset();
    m_videoGraph = engine::FilterGraph();
    m_audioGraph = engine::FilterGraph();
    m_videoDecoder = engine::Decoder();
    m_audioDecoder = engine::Decoder();
    m_input.reset();
    if (m_output)
        m_output->setPaused(true);
    m_output.reset();
}

// ---- Requests (caller's thread) ------------------------------------------------------------------

void PlayerCore::play()
{
    std::unique_lock lock(m_mutex);
    if (m_quit || m_playing)
        return;
    if (m_ended || (m_duration > 0 && m_position >= m_duration))
        requestSeekLocked(0);
    m_ended = false;
    m_playing = true;
    restartClockLocked(m_position);
    lock.unlock();
    m_output->setPaused(false);
    m_wake.notify_all();
}

void PlayerCore::pause()
{
    std::unique_lock lock(m_mutex);
    if (m_quit || !m_playing)
        return;
    m_position = clockLocked();
    m_playing = false;
    // The pictures may run behind the clock (a busy machine): the worker shows the paused moment's frame,
    // so the picture matches the time the window shows and a capture takes.
    if (hasVideo())
        m_refreshRequest = true;
    lock.unlock();
    m_output->setPaused(true);
    m_wake.notify_all();
}

void PlayerCore::restAfterEnd()
{
    std::unique_lock lock(m_mutex);
    if (m_quit || m_playing)
        return;
    lock.unlock();
    m_output->setPaused(true);
}

bool PlayerCore::isPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playing;
}

void PlayerCore::seek(int64_t us)
{
    std::lock_guard lock(m_mutex);
    if (m_quit)
        return;
    requestSeekLocked(std::clamp<int64_t>(us, 0, m_duration));
}

void PlayerCore::requestSeekLocked(int64_t us)
{
    m_seekRequest = us;
    m_position = us;
    m_ended = false;
    restartClockLocked(us);
    // What is queued was made for the old place (or edits); writeAudio() refuses more of it until the
    // worker has taken the request, so play() never starts the output on stale sound.
    m_output->flush();
    m_wake.notify_all();
}

int64_t PlayerCore::positionUs() const
{
    std::lock_guard lock(m_mutex);
    return std::clamp<int64_t>(clockLocked(), 0, m_duration);
}

void PlayerCore::changeEdits(const std::function<void(engine::EditSettings &)> &change, bool sound)
{
    std::lock_guard lock(m_mutex);
    change(m_edits);
    if (sound)
        soundChangedLocked();
    else
        ++m_pictureGeneration;
}

void PlayerCore::soundChangedLocked()
{
    ++m_soundGeneration;
    // Stopped, the queued sound would play on the next play() with the old edits: it is made again from
    // where we are, so play resumes with the new sound and without a gap.
    if (!m_quit && !m_playing)
        requestSeekLocked(m_position);
}

engine::EditSettings PlayerCore::edits() const
{
    std::lock_guard lock(m_mutex);
    return m_edits;
}

void PlayerCore::setVolume(double volume)
{
    std::lock_guard lock(m_mutex);
    m_volume = std::clamp(volume, 0.0, 2.0);
}

void PlayerCore::setMainAudio(double volume, bool disabled)
{
    std::lock_guard lock(m_mutex);
    m_mainVolume = std::clamp(volume, 0.0, 2.0);
    m_mainDisabled = disabled;
    soundChangedLocked();
}

bool PlayerCore::setAudioStream(int streamIndex)
{
    if (!m_input)
        return false;
    const auto &streams = m_input->audioStreams();
    if (std::find(streams.begin(), streams.end(), streamIndex) == streams.end())
        return false;
    std::lock_guard lock(m_mutex);
    if (m_quit || m_audioRequest == streamIndex)
        return true;
    m_audioRequest = streamIndex;
    // Reopening the decoder is a seek to where we are, so the new stream starts in time.
    requestSeekLocked(clockLocked());
    return true;
}

void PlayerCore::refresh()
{
    std::lock_guard lock(m_mutex);
    if (m_quit || m_playing)
        return;
    m_refreshRequest = true;
    m_wake.notify_all();
}

bool PlayerCore::waitUntilDrawn(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_drawn.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return m_quit || (!m_seekRequest && !m_refreshRequest && !m_busy); });
}

std::shared_ptr<const Picture> PlayerCore::picture() const
{
    std::lock_guard lock(m_mutex);
    return m_picture;
}

// ---- Clock ----------------------------------------------------------------------------------------

int64_t PlayerCore::clockLocked() const
{
    if (!m_playing || m_busy || m_seekRequest)
        return m_position;
    return m_clockBase + m_output->playedUs() - m_playedAtBase;
}

void PlayerCore::restartClockLocked(int64_t us)
{
    m_clockBase = us;
    m_playedAtBase = m_output->playedUs();
}

bool PlayerCore::commandPending() const
{
    return m_quit || m_seekRequest || m_refreshRequest || !m_playing;
}

void PlayerCore::waitForClock(int64_t us)
{
    // Short slices: the output's clock moves on its own and nothing signals it.
    std::unique_lock lock(m_mutex);
    int64_t ahead = us - clockLocked();
    if (ahead <= 0 || commandPending())
        return;
    m_wake.wait_for(lock, std::chrono::microseconds(std::min<int64_t>(ahead, 10000)),
                    [this] { return commandPending(); });
}

// ---- Worker ---------------------------------------------------------------------------------------

void PlayerCore::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_seekRequest) {
            int64_t target = *m_seekRequest;
            m_seekRequest.reset();
            m_busy = true;
            lock.unlock();
            doSeek(target);
            lock.lock();
            m_busy = false;
            if (!m_seekRequest)
                restartClockLocked(m_position); // decoding to the target took time
            m_drawn.notify_all();
            continue;
        }
        if (m_refreshRequest) {
            m_refreshRequest = false;
            const bool paused = !m_playing && !m_ended;
            const int64_t at = m_position;
            m_busy = true;
            lock.unlock();
            if (paused && hasVideo()) {
                // Paused: the frame at the paused moment, which may lie ahead of the one last shown.
                QueuedFrame reached = takeFramesThrough(at);
                if (reached.frame) {
                    m_shown = std::move(reached.frame);
                    m_shownTime = reached.timeUs;
                }
            }
            redraw();
            lock.lock();
            m_busy = false;
            m_drawn.notify_all();
            continue;
        }
        if (m_playing && !m_ended) {
            lock.unlock();
            step();
            lock.lock();
            continue;
        }
        m_drawn.notify_all();
        m_wake.wait(lock);
    }
}

void PlayerCore::step()
{
    if (m_audioStream < 0)
        feedMusicAlone();
    // Keep a few frames and half a second of sound ready, reading no more than needed.
    auto wantMore = [this] {
        bool soundLow = m_audioStream >= 0 && m_output->bufferedUs() < kSoundAheadUs;
        if (!hasVideo())
            return soundLow;
        return m_queue.size() < kQueuedFrames || (soundLow && m_queue.size() < kQueuedFrames * 20);
    };
    for (int guard = 0; guard < 64 && !m_demuxEnded && wantMore(); ++guard) {
        if (!readPacket())
            drainAtEnd();
    }

    if (!m_queue.empty()) {
        if (m_realTime) {
            int64_t now = positionUs();
            if (now < m_queue.front().timeUs) {
                waitForClock(m_queue.front().timeUs);
                return;
            }
            // Late: skip frames whose successor is due as well.
            while (m_queue.size() > 1 && m_queue[1].timeUs <= now)
                m_queue.pop_front();
        }
        QueuedFrame next = std::move(m_queue.front());
        m_queue.pop_front();
        showFrame(std::move(next));
        return;
    }

    if (!m_demuxEnded)
        return;
    if (m_realTime) {
        std::unique_lock lock(m_mutex);
        if (clockLocked() < m_duration) {
            lock.unlock();
            waitForClock(m_duration);
            return;
        }
    }
    finishPlayback();
}

void PlayerCore::finishPlayback()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_playing || m_seekRequest)
            return;
        m_playing = false;
        m_ended = true;
        m_position = m_duration;
    }
    if (m_onEnd)
        m_onEnd();
}

void PlayerCore::doSeek(int64_t us)
{
    int audioWanted;
    {
        std::lock_guard lock(m_mutex);
        audioWanted = m_audioRequest;
    }
    if (audioWanted != m_audioStream)
        openAudioDecoder(audioWanted);

    // The output was emptied when the seek was asked for.
    m_queue.clear();
    m_demuxEnded = false;
    m_input->seek(us);
    if (m_videoDecoder.context())
        avcodec_flush_buffers(m_videoDecoder.context());
    if (m_audioDecoder.context())
        avcodec_flush_buffers(m_audioDecoder.context());
    m_videoGraph = engine::FilterGraph();
    m_audioGraph = engine::FilterGraph();
    m_audioGraphGeneration = 0; // rebuilt from the new position
    if (!hasVideo())
        return;

    // Decode from the key frame up to the first frame after the target; the one before it is shown.
    QueuedFrame best = takeFramesThrough(us);
    {
        std::lock_guard lock(m_mutex);
        if (m_quit || m_seekRequest)
            return; // a newer seek replaces this one
    }
    if (!best.frame && !m_queue.empty()) {
        best = std::move(m_queue.front());
        m_queue.pop_front();
    }
    if (!best.frame)
        return;
    m_shown = std::move(best.frame);
    m_shownTime = best.timeUs;
    redraw();
}

PlayerCore::QueuedFrame PlayerCore::takeFramesThrough(int64_t us)
{
    QueuedFrame best;
    while (true) {
        while (!m_queue.empty() && m_queue.front().timeUs <= us + kSeekSlackUs) {
            best = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!m_queue.empty() || m_demuxEnded)
            return best;
        {
            std::lock_guard lock(m_mutex);
            if (m_quit || m_seekRequest)
                return best;
        }
        if (!readPacket())
            drainAtEnd();
    }
}

void PlayerCore::openAudioDecoder(int streamIndex)
{
    m_audioStream = -1;
    m_audioDecoder = engine::Decoder();
    m_audioGraph = engine::FilterGraph();
    if (streamIndex < 0)
        return;
    if (m_audioDecoder.open(m_input->stream(streamIndex)) < 0) {
        engine::engineLog("player: audio stream %d cannot be decoded; playing without it", streamIndex);
        return;
    }
    m_audioStream = streamIndex;
}

bool PlayerCore::readPacket()
{
    int err = m_input->read(m_packet.get());
    if (err == AVERROR(EAGAIN))
        return true;
    if (err < 0)
        return false;
    if (m_packet->stream_index == m_videoStream) {
        m_videoDecoder.send(m_packet.get());
        av_packet_unref(m_packet.get());
        receiveVideo();
    } else if (m_packet->stream_index == m_audioStream) {
        m_audioDecoder.send(m_packet.get());
        av_packet_unref(m_packet.get());
        receiveAudio();
    } else {
        av_packet_unref(m_packet.get());
    }
    return true;
}

void PlayerCore::receiveVideo()
{
    while (m_videoDecoder.receive(m_decoded.get()) == 0) {
        int64_t ts = m_decoded->best_effort_timestamp != AV_NOPTS_VALUE ? m_decoded->best_effort_timestamp
                                                                        : m_decoded->pts;
        QueuedFrame queued;
        queued.timeUs = ts == AV_NOPTS_VALUE ? 0 : m_input->toFileTime(m_videoStream, ts);
        // The graphs count time from the file's start, as the export's do.
        m_decoded->pts = ts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : ts - m_videoOffsetTs;
        queued.frame = engine::makeFrame();
        if (!queued.frame)
            return;
        av_frame_move_ref(queued.frame.get(), m_decoded.get());
        m_queue.push_back(std::move(queued));
    }
}

void PlayerCore::receiveAudio()
{
    while (m_audioDecoder.receive(m_decoded.get()) == 0) {
        filterAudio(m_decoded.get());
        av_frame_unref(m_decoded.get());
    }
}

void PlayerCore::drainAtEnd()
{
    m_demuxEnded = true;
    if (m_videoDecoder.context()) {
        m_videoDecoder.send(nullptr);
        receiveVideo();
    }
    if (m_audioStream >= 0) {
        m_audioDecoder.send(nullptr);
        receiveAudio();
    }
}

void PlayerCore::filterAudio(AVFrame *frame)
{
    int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (ts == AV_NOPTS_VALUE)
        return;
    int64_t t = m_input->toFileTime(m_audioStream, ts);
    uint64_t generation;
    {
        std::lock_guard lock(m_mutex);
        generation = m_soundGeneration;
    }
    if (!m_audioGraph.isValid() || generation != m_audioGraphGeneration) {
        if (!buildAudioGraph(frame, t))
            return;
        m_audioGraphGeneration = generation;
    }
    frame->pts = av_rescale(t - m_audioGraphStart, frame->sample_rate, 1000000);
    if (m_audioGraph.push(frame) < 0) {
        m_audioGraph = engine::FilterGraph();
        return;
    }
    while (m_audioGraph.pull(m_filtered.get()) == 0) {
        const bool taken = writeAudio(m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (!taken)
            break; // the graph is stale or a seek is coming: what remains in it is dropped with it
    }
}

void PlayerCore::feedMusicAlone()
{
    engine::EditSettings edits;
    uint64_t generation;
    int64_t start;
    {
        std::lock_guard lock(m_mutex);
        generation = m_soundGeneration;
        if (generation != m_audioGraphGeneration)
            edits = m_edits;
        start = clockLocked() + m_output->bufferedUs();
    }
    if (generation != m_audioGraphGeneration) {
        m_audioGraph = engine::FilterGraph();
        m_audioGraphGeneration = generation;
        if (edits.music.empty())
            return;
        // From what is due next, so changed music follows what was already handed to the output.
        m_audioGraphStart = std::clamp<int64_t>(start, 0, m_duration);
        if (PlayerGraphs::buildMusicAlone(m_audioGraphStart, m_duration, edits, m_audioGraph) < 0) {
            engine::engineLog("player: the music cannot be played");
            m_audioGraph = engine::FilterGraph();
            return;
        }
    }
    while (m_audioGraph.isValid() && m_output->bufferedUs() < kSoundAheadUs &&
           m_audioGraph.pull(m_filtered.get()) == 0) {
        const bool taken = writeAudio(m_filtered.get());
        av_frame_unref(m_filtered.get());
        if (!taken)
            break;
    }
}

bool PlayerCore::writeAudio(const AVFrame *frame)
{
    constexpr int channels = AudioOutput::kChannels;
    constexpr int rate = AudioOutput::kSampleRate;
    if (frame->nb_samples <= 0 || frame->pts == AV_NOPTS_VALUE)
        return true;
    int64_t start =
        m_audioGraphStart + av_rescale_q(frame->pts, m_audioGraph.timeBase(), AVRational{1, 1000000});
    // Under the lock up to the output, so a seek or an edit asked for meanwhile cannot come between the
    // check and the write.
    std::lock_guard lock(m_mutex);
    if (m_seekRequest || m_audioGraphGeneration != m_soundGeneration)
        return false;
    const int64_t expected = clockLocked() + m_output->bufferedUs();
    const double volume = m_volume;
    // Samples that would play after their time are dropped, a gap before them is silence.
    int skip = 0;
    if (start < expected)
        skip = int(std::min<int64_t>(frame->nb_samples, av_rescale(expected - start, rate, 1000000)));
    if (skip >= frame->nb_samples)
        return true;
    if (start - expected > kSoundGapUs) {
        int64_t gap = std::min<int64_t>(av_rescale(start - expected, rate, 1000000), rate * 2);
        m_mix.assign(size_t(gap) * channels, 0.0f);
        m_output->write(m_mix.data(), int(gap));
    }
    const auto *samples = reinterpret_cast<const float *>(frame->data[0]) + size_t(skip) * channels;
    int count = frame->nb_samples - skip;
    m_mix.assign(samples, samples + size_t(count) * channels);
    if (std::fabs(volume - 1.0) > 1e-9)
        for (float &s : m_mix)
            s = float(s * volume);
    m_output->write(m_mix.data(), count);
    return true;
}

void PlayerCore::showFrame(QueuedFrame queued)
{
    uint64_t generation;
    {
        std::lock_guard lock(m_mutex);
        generation = m_pictureGeneration;
    }
    m_shown = engine::makeFrame();
    if (!m_shown || av_frame_ref(m_shown.get(), queued.frame.get()) < 0)
        return;
    m_shownTime = queued.timeUs;
    if (!m_videoGraph.isValid() || generation != m_videoGraphGeneration) {
        m_videoGraph = engine::FilterGraph();
        if (!buildVideoGraph(m_videoGraph, queued.frame.get()))
            return;
        m_videoGraphGeneration = generation;
    }
    if (m_videoGraph.push(queued.frame.get()) < 0) {
        m_videoGraph = engine::FilterGraph();
        return;
    }
    engine::FramePtr out = engine::makeFrame();
    while (out && m_videoGraph.pull(out.get()) == 0) {
        publish(std::move(out), queued.timeUs);
        out = engine::makeFrame();
    }
}

void PlayerCore::redraw()
{
    if (!m_shown)
        return;
    // A graph of its own: the frame goes in alone, followed by the end, so the picture always comes out.
    engine::FilterGraph graph;
    engine::FramePtr copy = engine::makeFrame();
    if (!copy || av_frame_ref(copy.get(), m_shown.get()) < 0 || !buildVideoGraph(graph, copy.get()))
        return;
    if (graph.push(copy.get()) < 0 || graph.push(nullptr) < 0)
        return;
    engine::FramePtr out = engine::makeFrame();
    if (out && graph.pull(out.get()) == 0)
        publish(std::move(out), m_shownTime);
    // The streaming graph restarts at the next frame played (times may have gone back).
    m_videoGraph = engine::FilterGraph();
}

void PlayerCore::publish(engine::FramePtr frame, int64_t timeUs)
{
    auto picture = std::make_shared<Picture>();
    picture->frame = std::move(frame);
    picture->timeUs = timeUs;
    {
        std::lock_guard lock(m_mutex);
        m_picture = picture;
    }
    if (m_onPicture)
        m_onPicture(picture);
}

bool PlayerCore::buildVideoGraph(engine::FilterGraph &graph, const AVFrame *frame)
{
    engine::EditSettings edits;
    {
        std::lock_guard lock(m_mutex);
        edits = m_edits;
    }
    const AVStream *stream = m_input->stream(m_videoStream);
    const int rotation = m_input->rotation(m_videoStream);
    int r =
        PlayerGraphs::buildVideo(*frame, stream->time_base, stream->avg_frame_rate, rotation, edits, graph);
    if (r < 0 && edits.changesPicture()) {
        // Better the plain picture than none; the export refuses the same edits with its error.
        engine::engineLog(
            "player: the picture edits cannot be applied (%d); showing the picture without them", r);
        r = PlayerGraphs::buildVideo(*frame, stream->time_base, stream->avg_frame_rate, rotation,
                                     engine::EditSettings(), graph);
    }
    return r >= 0;
}

bool PlayerCore::buildAudioGraph(const AVFrame *frame, int64_t startUs)
{
    engine::EditSettings edits;
    double volume;
    {
        std::lock_guard lock(m_mutex);
        edits = m_edits;
        volume = m_mainDisabled ? 0.0 : m_mainVolume;
    }
    m_audioGraph = engine::FilterGraph();
    m_audioGraphStart = startUs;
    int r = PlayerGraphs::buildAudio(*frame, startUs, m_duration, volume, edits, m_audioGraph);
    if (r < 0 && !edits.music.empty()) {
        engine::engineLog("player: the music cannot be mixed in (%d); playing the file's own sound", r);
        m_audioGraph = engine::FilterGraph();
        r = PlayerGraphs::buildAudio(*frame, startUs, m_duration, volume, engine::EditSettings(),
                                     m_audioGraph);
    }
    return r >= 0;
}

} // namespace player
