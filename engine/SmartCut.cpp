#include "engine/SmartCut.h"

#include "engine/EngineLog.h"
#include "engine/IdleCores.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace engine {

namespace {

// As in the conversion pipeline: a picture is kept when its time lies in [start - half, end - half), and
// key frames within kSameTime of a cut point are on it.
constexpr int64_t kSameTime = 1000;
constexpr int64_t kHalf = kSameTime / 2;
// Packets read while looking for a key frame before giving up (minutes of video).
constexpr int kScanLimit = 100000;
// The seams are short: a high quality keeps them from standing out against the source around them.
constexpr const char *kSeamQuality = "16";
// Bits per pixel of a picture under which a stream is cheap to decode (see seamThreads).
constexpr double kCheapBitsPerPixel = 0.02;
// Most frame threads for a seam's encoder.
constexpr int kEncoderThreads = 3;
// Bytes of the head's packets read while planning and handed to its decoder at once: below the bound
// of the seam's own packet queue, so that handing them over never waits for a decoder whose pictures
// wait for an encoder not yet started.
constexpr int64_t kPrefeedBytes = 8 << 20;

// libx264's name for the source's profile; nullptr for the ones it cannot write.
const char *x264Profile(int profile)
{
    switch (profile & ~FF_PROFILE_H264_CONSTRAINED) {
    case FF_PROFILE_H264_BASELINE:
        return "baseline";
    case FF_PROFILE_H264_MAIN:
        return "main";
    case FF_PROFILE_H264_HIGH:
        return "high";
    case FF_PROFILE_H264_HIGH_10:
        return "high10";
    case FF_PROFILE_H264_HIGH_422:
        return "high422";
    case FF_PROFILE_H264_HIGH_444_PREDICTIVE:
        return "high444";
    default:
        return nullptr;
    }
}

// Threads for the seams' decoder and for their encoder, which run side by side. A seam is a few seconds
// of pictures: more threads than there are idle cores only add their start-up and a wait at every
// picture, which on a busy machine costs more than they give.
//
// On a cheap stream the decoder spends its time on per-picture work that threads only add to (1080p at
// 0.0015 bit per pixel: 250 pictures in 0.16 s on one thread, 0.17-0.24 s on two to four), and each
// frame thread of the encoder adds its pictures' buffers (~10 MB at 1080p). Measured on a 5-minute 1080p
// cut with a 117-picture head (medians of 15 runs on an idle machine): two threads 0.48 s at 91 MB; three,
// four or five 0.44 s at 101, 111 and 121 MB, the decoder setting the pace. On an expensive stream
// (0.2-0.3 bit per pixel) two decoder threads nearly halve the decoding (9 to 5 ms a picture), which
// again sets the pace: three to five encoder threads cut that seam alike (0.50-0.52 s).
SmartCut::Threads seamThreads(const AVStream *stream, AVRational rate)
{
    const AVCodecParameters *p = stream->codecpar;
    const double pixels = double(p->width) * p->height * av_q2d(rate);
    const bool cheap = p->bit_rate > 0 && pixels > 0 && double(p->bit_rate) / pixels < kCheapBitsPerPixel;
    const int idle = idleCores();
    SmartCut::Threads threads;
    threads.decoder = !cheap && idle >= 4 ? 2 : 1;
    threads.encoder = std::clamp(idle - threads.decoder, 1, kEncoderThreads);
    return threads;
}

bool isKey(const AVPacket *packet)
{
    return packet->flags & AV_PKT_FLAG_KEY;
}

} // namespace

bool SmartCut::refuse(const char *reason) const
{
    engineTrace("no smart cut (%s): the whole range is re-encoded", reason);
    return false;
}

int64_t SmartCut::firstFrameTime() const
{
    return fileTime(m_firstKept);
}

bool SmartCut::fits(const AVOutputFormat *format)
{
    for (const char *name : {"mp4", "mov", "ipod", "matroska"})
        if (std::strcmp(format->name, name) == 0)
            return true;
    return false;
}

bool SmartCut::plan(int64_t cutStart, int64_t cutEnd)
{
    const auto began = std::chrono::steady_clock::now();
    m_cutStart = cutStart;
    m_cutEnd = cutEnd;
    m_packet = makePacket();
    if (!m_packet)
        return refuse("out of memory");
    if (!checkStream())
        return false;
    m_threads = seamThreads(m_input.stream(m_stream), m_input.frameRate(m_stream));
    if (!scanStart())
        return false;
    // The head's decoder starts on the packets the scan read while the rest is planned and the encoder
    // opens; the conversion hands over the same packets again after its seek (see handle()).
    if (m_headNeeded) {
        if (startPart(true) < 0)
            return refuse("the source's decoder does not open");
        for (PacketPtr &packet : m_prefeed) {
            if (m_seams->push(packet.get()) < 0)
                return refuse("the seam's decoder fails");
            m_prefed.push_back(packet->pts);
        }
        m_prefeed.clear();
    }
    if (m_cutEnd > 0 && m_copyStart != AV_NOPTS_VALUE && !scanEnd())
        return false;

    const AVCodecParameters *p = m_input.stream(m_stream)->codecpar;
    AvcConfiguration configuration;
    configuration.parse(p);
    std::vector<bool> used = configuration.usedIds();
    std::vector<int> free;
    for (int id = 1; id < int(used.size()) && free.empty(); ++id)
        if (!used[id])
            free.push_back(id);
    if (free.empty())
        return refuse("no free parameter-set ids");
    // Both seams' encoders have one id and one pair of parameter sets, learnt from the encoder that
    // writes the first of them.
    const auto scanned = std::chrono::steady_clock::now();
    m_setId = free[0];
    if ((m_headNeeded || m_tail) && openEncoder(m_opened, m_sets) < 0)
        return refuse("libx264 does not open with the source's settings");
    configuration.addFromAnnexB(m_sets.data(), m_sets.size());
    m_configuration = configuration;
    // A cut with a tail only opens its decoder later: whether it opens is known now, before anything
    // is written, so a refusal still leaves the whole range to be re-encoded.
    Decoder decoder;
    if (m_tail && !m_headNeeded && decoder.open(m_input.stream(m_stream), m_threads.decoder) < 0)
        return refuse("the source's decoder does not open");
    if (m_headNeeded && startEncoding() < 0)
        return refuse("libx264 does not open with the source's settings");
    engineTrace("smart cut: cut points found in %.3f s; seam encoder (%d threads) opened in %.3f s, decoder "
                "with %d",
                std::chrono::duration<double>(scanned - began).count(), m_threads.encoder,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - scanned).count(),
                m_threads.decoder);

    m_phase = Phase::Head;
    m_encoding = m_headNeeded;
    m_delay = m_headDelay;
    auto seconds = [this](int64_t ts) { return ts == AV_NOPTS_VALUE ? 0.0 : fileTime(ts) / 1e6; };
    if (m_copyStart == AV_NOPTS_VALUE) {
        engineTrace("smart cut: no key frame inside the range, all of it is encoded to match the source");
        return true;
    }
    // A tail's copied run goes on past its key frame, up to the first picture encoded.
    double copyEnd = m_tail                        ? seconds(m_tailFrom)
                     : m_copyEnd != AV_NOPTS_VALUE ? seconds(m_copyEnd)
                     : m_cutEnd > 0                ? m_cutEnd / 1e6
                                                   : m_input.duration() / 1e6;
    engineTrace("smart cut: encoding %.3f-%.3f s, copying %.3f-%.3f s, encoding %.3f-%.3f s",
                seconds(m_firstKept), seconds(m_copyStart), seconds(m_copyStart), copyEnd,
                m_tail ? copyEnd : 0.0, m_tail ? m_cutEnd / 1e6 : 0.0);
    return true;
}

bool SmartCut::checkStream()
{
    const AVStream *stream = m_input.stream(m_stream);
    const AVCodecParameters *p = stream->codecpar;
    if (p->codec_id != AV_CODEC_ID_H264)
        return refuse("only H.264 is cut smartly");
    AvcConfiguration configuration;
    if (!configuration.parse(p) || configuration.sequenceSets().empty())
        return refuse("the parameter sets are not in the stream's configuration");
    m_nalLength = configuration.nalLengthSize();
    if (m_nalLength != 4)
        return refuse("unusual NAL length size");
    for (const AvcConfiguration::Nal &sps : configuration.sequenceSets())
        if (!AvcConfiguration::framesOnly(sps))
            return refuse("interlaced or unreadable sequence parameter set");
    if (p->field_order != AV_FIELD_UNKNOWN && p->field_order != AV_FIELD_PROGRESSIVE)
        return refuse("interlaced");
    if (!x264Profile(p->profile) || (p->profile & FF_PROFILE_H264_INTRA))
        return refuse("a profile libx264 does not write");
    const AVCodec *x264 = Encoder::find("libx264");
    if (!x264 || std::strcmp(x264->name, "libx264") != 0)
        return refuse("no libx264 encoder");
    bool formatFits = false;
    for (const AVPixelFormat *f = x264->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f)
        formatFits |= *f == p->format;
    if (!formatFits)
        return refuse("a pixel format libx264 does not take");
    AVRational rate = m_input.frameRate(m_stream);
    if (rate.num <= 0)
        return refuse("no frame rate");
    m_frameTicks = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), stream->time_base));
    return true;
}

bool SmartCut::readVideo(ScannedPacket &scanned, std::vector<PacketPtr> *keep)
{
    while (m_input.read(m_packet.get()) >= 0) {
        AVPacket *packet = m_packet.get();
        if (packet->stream_index == m_stream) {
            scanned.pts = packet->pts;
            scanned.decodeTs = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
            scanned.key = isKey(packet);
            scanned.idr =
                scanned.key && AvcConfiguration::holdsIdr(packet->data, size_t(packet->size), m_nalLength);
        }
        bool video = packet->stream_index == m_stream;
        if (video && keep) {
            keep->push_back(makePacket());
            if (!keep->back())
                return false;
            av_packet_move_ref(keep->back().get(), packet);
        }
        av_packet_unref(packet);
        if (video)
            return true;
    }
    return false;
}

bool SmartCut::scanStart()
{
    if (m_input.seek(m_cutStart) < 0)
        return refuse("the input does not seek");
    bool first = true;
    ScannedPacket scanned;
    // The head's packets, kept (up to a bound) to be decoded while the rest is planned.
    std::vector<PacketPtr> read;
    int64_t readBytes = 0;
    bool keep = true;
    for (int guard = 0; guard < kScanLimit && readVideo(scanned, keep ? &read : nullptr); ++guard) {
        auto [ts, decodeTs, key, idr] = scanned;
        if (keep && (readBytes += read.back()->size) > kPrefeedBytes) {
            keep = false;
            read.clear();
        }
        if (ts == AV_NOPTS_VALUE)
            return refuse("packets without timestamps");
        if (first && !key)
            return refuse("the seek does not land on a key frame");
        first = false;
        if (pastEnd(decodeTs))
            break;
        bool afterStart = fileTime(ts) >= m_cutStart - kHalf;
        if (afterStart && !pastEnd(ts))
            m_firstKept = m_firstKept == AV_NOPTS_VALUE ? ts : std::min(m_firstKept, ts);
        if (key && afterStart) {
            if (pastEnd(ts))
                break;
            if (!idr)
                return refuse("key frames that are not IDR pictures (open GOP)");
            m_copyStart = ts;
            m_headDelay = decodeTs != ts ? std::max<int64_t>(0, ts - decodeTs) : 0;
            m_headNeeded = m_firstKept < ts;
            if (keep && m_headNeeded) {
                read.pop_back(); // the key frame the copy starts on
                m_prefeed = std::move(read);
            }
            return true;
        }
    }
    // No key frame inside the range: the matched encoder makes all of it, so that pieces cut from one
    // source still join by stream copy.
    if (m_firstKept == AV_NOPTS_VALUE)
        return refuse("no picture in the range");
    m_headNeeded = true;
    return true;
}

bool SmartCut::scanEnd()
{
    // The key frames around the cut end: the last inside the range, and one right on the end.
    KeyFrame inside, onEnd;
    // Whether the pictures from `inside` to the cut end are a run of packets in decode order that
    // nothing after the end comes into: copied as they are, they decode to the same pictures.
    bool tailCopies = false;
    // The pictures of the packets from `inside` on, in decode order, up to where the scan stopped.
    std::vector<int64_t> order;
    bool complete = false;
    int64_t target = m_cutEnd;
    for (int attempt = 0; attempt < 8 && inside.pts == AV_NOPTS_VALUE; ++attempt) {
        if (m_input.seek(target) < 0)
            return refuse("the input does not seek");
        int64_t landed = AV_NOPTS_VALUE;
        bool seenPastEnd = false;
        complete = false;
        tailCopies = false;
        ScannedPacket scanned;
        int guard = 0;
        for (; guard < kScanLimit; ++guard) {
            if (!readVideo(scanned)) {
                complete = true; // the end of the input
                break;
            }
            auto [ts, decodeTs, key, idr] = scanned;
            if (ts == AV_NOPTS_VALUE)
                return refuse("packets without timestamps");
            if (landed == AV_NOPTS_VALUE)
                landed = std::min(ts, decodeTs);
            if (key && fileTime(ts) < m_cutEnd - kHalf && ts >= m_copyStart) {
                inside = {ts, idr};
                tailCopies = true;
                seenPastEnd = false;
                order.assign(1, ts);
            } else if (inside.pts != AV_NOPTS_VALUE) {
                seenPastEnd |= pastEnd(ts);
                tailCopies &= !(seenPastEnd && !pastEnd(ts));
                if (!(key && pastEnd(ts)))
                    order.push_back(ts);
            }
            if (key && fileTime(ts) >= m_cutEnd - kHalf) {
                if (fileTime(ts) <= m_cutEnd + kSameTime)
                    onEnd = {ts, idr};
                complete = true;
                break;
            }
            // Every later packet decodes, so shows, after the end.
            if (fileTime(decodeTs) >= m_cutEnd + kSameTime) {
                complete = true;
                break;
            }
        }
        tailCopies &= complete;
        if (landed == AV_NOPTS_VALUE || fileTime(landed) <= fileTime(m_copyStart))
            break;
        target = fileTime(landed) - kSameTime; // landed past the range's last key frame: look earlier
    }
    if (onEnd.pts != AV_NOPTS_VALUE && onEnd.idr && onEnd.pts > m_copyStart) {
        m_copyEnd = onEnd.pts;
        m_tail = false;
        return true;
    }
    if (inside.pts == AV_NOPTS_VALUE)
        return refuse("no key frame found before the cut end");
    if (!inside.idr)
        return refuse("key frames that are not IDR pictures (open GOP)");
    // A copied tail needs no encoder: the copy goes on up to the cut end.
    m_tail = !tailCopies;
    m_copyEnd = m_tail ? inside.pts : AV_NOPTS_VALUE;
    m_tailFrom = inside.pts;
    m_tailCopied = 0;
    if (m_tail && complete)
        copiedTailRun(order);
    return true;
}

void SmartCut::copiedTailRun(const std::vector<int64_t> &order)
{
    // The longest run of the tail's packets, from its key frame in decode order, that holds only
    // pictures kept and every picture shown before its last one: copied, it decodes and shows alone, and
    // the encoded pictures after it (from a key picture of their own) all show later. Where pictures
    // are coded out of order across the end, only those few are then encoded.
    std::vector<int64_t> laterKept(order.size() + 1, INT64_MAX); // the first kept picture from i on
    for (size_t i = order.size(); i-- > 0;)
        laterKept[i] = std::min(laterKept[i + 1], pastEnd(order[i]) ? INT64_MAX : order[i]);
    int64_t shownUpTo = INT64_MIN;
    for (size_t i = 0; i < order.size() && !pastEnd(order[i]); ++i) {
        shownUpTo = std::max(shownUpTo, order[i]);
        if (shownUpTo < laterKept[i + 1] && laterKept[i + 1] != INT64_MAX) {
            m_tailCopied = int(i + 1);
            m_tailFrom = laterKept[i + 1];
        }
    }
}

int SmartCut::openEncoder(Encoder &encoder, std::vector<uint8_t> &sets)
{
    const AVStream *stream = m_input.stream(m_stream);
    const AVCodecParameters *p = stream->codecpar;
    int r = encoder.create(Encoder::find("libx264"));
    if (r < 0)
        return r;
    AVCodecContext *c = encoder.context();
    c->width = p->width;
    c->height = p->height;
    c->pix_fmt = AVPixelFormat(p->format);
    c->sample_aspect_ratio = p->sample_aspect_ratio.num > 0 ? p->sample_aspect_ratio : AVRational{0, 1};
    c->color_range = p->color_range;
    c->color_primaries = p->color_primaries;
    c->color_trc = p->color_trc;
    c->colorspace = p->color_space;
    c->chroma_sample_location = p->chroma_location;
    c->time_base = stream->time_base;
    c->framerate = m_input.frameRate(m_stream);
    c->profile = p->profile;
    c->level = p->level;
    // No reordering, so the seams' decode times fit below the copied key frames'; one IDR picture each.
    c->max_b_frames = 0;
    c->gop_size = INT16_MAX;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "profile", x264Profile(p->profile), 0);
    // A constant quantiser in place of the engine's constant rate factor: rate control would keep a
    // quarter-size copy of each picture and weigh it before the frame threads start on it (at 1080p with
    // three threads, 12 MB more at the peak, and the seam alike in size and quality).
    av_dict_set(&options, "crf", "-1", 0);
    av_dict_set(&options, "qp", kSeamQuality, 0);
    av_dict_set(&options, "forced-idr", "1", 0);
    // A seam is short and at a high quality: the fastest search costs some bits and no visible
    // quality, and each frame thread needs a third less memory (no half-pixel planes). Measured on a
    // 117-picture 1080p head with three threads: 0.50 s and 115 MB for the whole cut, against 0.56 s
    // and 144 MB with the next preset (its seam 12 % smaller).
    av_dict_set(&options, "preset", "ultrafast", 0);
    // A seam is a few seconds: frame threads, and no look-ahead to fill first, so each picture is
    // under way as soon as it comes. The sets carry an id of their own and are repeated in band
    // (repeat-headers), for decoders that read only the first configuration's sets.
    std::string params =
        "sps-id=" + std::to_string(m_setId) +
        ":repeat-headers=1:scenecut=0:rc-lookahead=0:sync-lookahead=0:mbtree=0:log=-1:threads=" +
        std::to_string(m_threads.encoder);
    av_dict_set(&options, "x264-params", params.c_str(), 0);
    r = encoder.open(true, options);
    av_dict_free(&options);
    if (r < 0 || !c->extradata)
        return r < 0 ? r : MEDIA_ERR_ENCODER;
    sets.assign(c->extradata, c->extradata + c->extradata_size);
    return MEDIA_OK;
}

int SmartCut::describe(AVCodecParameters *parameters) const
{
    return m_configuration.store(parameters);
}

bool SmartCut::pastEnd(int64_t ts) const
{
    return m_cutEnd > 0 && fileTime(ts) >= m_cutEnd - kHalf;
}

int SmartCut::handle(AVPacket *packet)
{
    int64_t ts = packet->pts;
    int64_t decodeTs = packet->dts != AV_NOPTS_VALUE ? packet->dts : ts;
    // Every picture before the end has been sent once a packet decodes after it.
    bool lastSent = decodeTs != AV_NOPTS_VALUE && pastEnd(decodeTs);
    if (m_phase == Phase::Head && m_copyStart == AV_NOPTS_VALUE)
        return lastSent ? finish() : feed(packet);
    if (m_phase == Phase::Head && m_prefedAt < m_prefed.size()) {
        // Handed to the head's decoder while planning: the seek lands where the plan's did.
        if (ts != m_prefed[m_prefedAt++]) {
            engineLog("the input's packets after a seek differ from the ones read before it");
            return MEDIA_ERR_INPUT;
        }
        return m_seams->writeReady([&](AVPacket *p) { return writeSeam(p); });
    }
    if (m_phase == Phase::Head) {
        if (!(isKey(packet) && ts == m_copyStart))
            return m_encoding ? feed(packet) : MEDIA_OK;
        // The head's input ends here; its threads finish it while the next packet is read.
        int r = m_encoding ? drainPart() : MEDIA_OK;
        if (r < 0)
            return r;
        m_phase = Phase::Copy;
    }
    if (m_phase == Phase::Copy) {
        if (m_copyEnd == AV_NOPTS_VALUE && pastEnd(ts)) {
            m_phase = Phase::Done; // the copy ran up to the cut end: no kept packet follows
            return completePart();
        }
        if (!(m_copyEnd != AV_NOPTS_VALUE && isKey(packet) && ts == m_copyEnd)) {
            // The copy goes on once the head is written.
            int r = completePart();
            return r < 0 ? r : m_write(packet);
        }
        if (int r = completePart(); r < 0)
            return r;
        if (!m_tail) {
            m_phase = Phase::Done;
            return MEDIA_OK;
        }
        m_phase = Phase::Tail;
        if (int r = startPart(false); r < 0 || (r = startEncoding()) < 0)
            return r;
        m_encoding = true;
        m_tailToCopy = m_tailCopied;
        m_delay = packet->dts != AV_NOPTS_VALUE ? std::max<int64_t>(0, ts - packet->dts) : 0;
    }
    if (m_phase != Phase::Tail)
        return MEDIA_OK;
    if (m_tailToCopy > 0) {
        // The tail's copied run: decoded for the pictures coded after it (first: the write takes the
        // packet), and written as it is.
        --m_tailToCopy;
        if (int r = feed(packet); r < 0)
            return r;
        m_lastTailDts = packet->dts;
        return m_write(packet);
    }
    return lastSent ? finish() : feed(packet);
}

int SmartCut::finish()
{
    int r = MEDIA_OK;
    if ((m_phase == Phase::Head || m_phase == Phase::Tail) && m_encoding)
        r = drainPart();
    if (r >= 0)
        r = completePart();
    m_phase = Phase::Done;
    return r;
}

int SmartCut::startPart(bool head)
{
    Decoder decoder;
    if (int r = decoder.open(m_input.stream(m_stream), m_threads.decoder); r < 0)
        return r;
    // The part's pictures, by bounds fixed now (the predicate runs on the part's own thread).
    const int64_t from = head ? m_firstKept : m_tailFrom;
    const int64_t before = head ? m_copyStart : AV_NOPTS_VALUE; // none: up to the cut end
    SeamEncoder::Part part;
    part.keeps = [this, from, before](int64_t ts) {
        return ts >= from && (before != AV_NOPTS_VALUE ? ts < before : !pastEnd(ts));
    };
    part.startsWithKey = !head;
    m_seams = std::make_unique<SeamEncoder>(std::move(decoder), m_nalLength, std::move(part), m_stop);
    return MEDIA_OK;
}

int SmartCut::startEncoding()
{
    if (m_opened.context()) {
        m_seams->startEncoding(std::move(m_opened)); // the one plan() opened
        return MEDIA_OK;
    }
    // Another with the same settings, opened beside the part's decoding; its sets must be the ones the
    // output's configuration holds.
    m_seams->startEncoding([this](Encoder &encoder) {
        std::vector<uint8_t> sets;
        int r = openEncoder(encoder, sets);
        if (r >= 0 && sets != m_sets) {
            engineLog("the seam encoder's parameter sets changed between the seams");
            r = MEDIA_ERR_ENCODER;
        }
        return r;
    });
    return MEDIA_OK;
}

int SmartCut::drainPart()
{
    if (int r = feed(nullptr); r < 0)
        return r;
    m_encoding = false;
    m_finishing = true;
    return MEDIA_OK;
}

int SmartCut::completePart()
{
    if (!m_finishing)
        return MEDIA_OK;
    const auto began = std::chrono::steady_clock::now();
    int r = m_seams->writeAll([&](AVPacket *packet) { return writeSeam(packet); });
    if (r < 0)
        return r;
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - began;
    engineTrace("smart cut: seam decoded in %.3f s, encoded in %.3f s beside it; then waited %.3f s for it",
                m_seams->decodeSeconds(), m_seams->busySeconds(), waited.count());
    m_seams.reset(); // its memory is not needed any more
    m_finishing = false;
    return MEDIA_OK;
}

int SmartCut::feed(const AVPacket *packet)
{
    if (int r = m_seams->push(packet); r < 0)
        return r;
    return m_seams->writeReady([&](AVPacket *p) { return writeSeam(p); });
}

int SmartCut::writeSeam(AVPacket *packet)
{
    // Decode times run the copied key frame's distance behind, so they stay below the copy's, and after
    // a copied run of the tail's packets.
    packet->dts = packet->pts - m_delay;
    if (m_lastTailDts != AV_NOPTS_VALUE) {
        packet->dts = std::min(packet->pts, std::max(packet->dts, m_lastTailDts + 1));
        m_lastTailDts = packet->dts;
    }
    if (packet->duration <= 0)
        packet->duration = m_frameTicks;
    return m_write(packet);
}

} // namespace engine
