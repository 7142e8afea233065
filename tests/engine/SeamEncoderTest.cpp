// The smart cut's seam maker decodes the source's packets and encodes the pictures its part keeps on
// threads of its own: every picture kept comes back as one length-prefixed packet, in order, and the
// threads end cleanly whatever state the caller leaves them in (a stopped or failed job destroys them
// mid-work, or its stop flag ends the waits).
#include "engine/SeamEncoder.h"
#include "engine/Decoder.h"
#include "engine/Encoder.h"
#include "engine/FFmpeg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace engine;

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr int kPictures = 30;

// A libx264 encoder as the smart cut opens it (no reordering, no look-ahead); `annexB` for the source
// packets, which then carry their parameter sets in band.
Encoder openX264(int threads, bool annexB = false)
{
    Encoder encoder;
    const AVCodec *x264 = Encoder::find("libx264");
    if (!x264 || encoder.create(x264) < 0)
        return encoder;
    AVCodecContext *c = encoder.context();
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, 25};
    c->framerate = {25, 1};
    c->max_b_frames = 0;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "preset", "ultrafast", 0);
    std::string params = "rc-lookahead=0:sync-lookahead=0:log=-1:threads=" + std::to_string(threads);
    av_dict_set(&options, "x264-params", params.c_str(), 0);
    if (encoder.open(!annexB, options) < 0)
        encoder = Encoder();
    av_dict_free(&options);
    return encoder;
}

FramePtr picture(int index)
{
    FramePtr frame = makeFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = kWidth;
    frame->height = kHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane ? kHeight / 2 : kHeight;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < frame->linesize[plane]; ++x)
                frame->data[plane][y * frame->linesize[plane] + x] = uint8_t(x * 3 + y * 5 + index * 7);
    }
    frame->pts = index;
    return frame;
}

// The source: kPictures pictures as H.264 packets (one key frame, then P pictures), pts 0, 1, ...
std::vector<PacketPtr> sourcePackets()
{
    std::vector<PacketPtr> packets;
    Encoder encoder = openX264(1, true);
    if (!encoder.context())
        return packets;
    auto drain = [&] {
        for (PacketPtr packet = makePacket(); encoder.receive(packet.get()) == 0; packet = makePacket())
            packets.push_back(std::move(packet));
    };
    for (int i = 0; i < kPictures; ++i) {
        FramePtr frame = picture(i);
        if (!frame || encoder.send(frame.get()) < 0)
            return {};
        drain();
    }
    encoder.send(nullptr);
    drain();
    return packets;
}

// A decoder for the source's packets, opened as the smart cut opens it (from the stream).
Decoder openDecoder()
{
    Decoder decoder;
    AVFormatContext *format = avformat_alloc_context();
    AVStream *stream = format ? avformat_new_stream(format, nullptr) : nullptr;
    if (stream) {
        stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        stream->codecpar->codec_id = AV_CODEC_ID_H264;
        stream->codecpar->width = kWidth;
        stream->codecpar->height = kHeight;
        stream->time_base = {1, 25};
        if (decoder.open(stream, 1) < 0)
            decoder = Decoder();
    }
    avformat_free_context(format);
    return decoder;
}

// Keeps the pictures [first, end).
SeamEncoder::Part range(int64_t first, int64_t end, bool startsWithKey)
{
    SeamEncoder::Part part;
    part.keeps = [first, end](int64_t ts) { return ts >= first && ts < end; };
    part.startsWithKey = startsWithKey;
    return part;
}

// Whether `packet` is a run of NAL units, each after its 4-byte length, filling it exactly.
bool lengthPrefixed(const AVPacket *packet)
{
    int at = 0;
    while (at + 4 <= packet->size) {
        const uint32_t length = uint32_t(packet->data[at]) << 24 | uint32_t(packet->data[at + 1]) << 16 |
                                uint32_t(packet->data[at + 2]) << 8 | packet->data[at + 3];
        if (length == 0)
            return false;
        at += 4 + int(length);
    }
    return at == packet->size;
}

// Pushes the source and its end, then expects the part to fail: an error, no packet, not finished.
void expectFailure(SeamEncoder &seams, const std::vector<PacketPtr> &source)
{
    int pushed = MEDIA_OK;
    for (size_t i = 0; i < source.size() && pushed >= 0; ++i)
        pushed = seams.push(source[i].get());
    if (pushed >= 0)
        pushed = seams.push(nullptr);
    int written = 0;
    const int result = seams.writeAll([&](AVPacket *) {
        ++written;
        return int(MEDIA_OK);
    });
    EXPECT_LT(result, 0);
    EXPECT_EQ(written, 0);
    EXPECT_FALSE(seams.finished());
}

} // namespace

TEST(SeamEncoder, EncodesThePicturesItsPartKeepsInOrderAsLengthPrefixedPackets)
{
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_EQ(source.size(), size_t(kPictures));
    // One encoder thread (packets as the pictures go in) and frame threads (packets some pictures
    // behind); a head (from the middle of the source) and a tail (starting on a key picture).
    for (int threads : {1, 3}) {
        for (bool tail : {false, true}) {
            SCOPED_TRACE(testing::Message() << threads << " threads, " << (tail ? "tail" : "head"));
            Decoder decoder = openDecoder();
            Encoder encoder = openX264(threads);
            ASSERT_TRUE(decoder.context() && encoder.context());
            SeamEncoder seams(std::move(decoder), 4, range(7, 23, tail));
            seams.startEncoding(std::move(encoder));
            std::vector<int64_t> stamps;
            std::vector<bool> keys;
            bool shaped = true;
            auto write = [&](AVPacket *packet) {
                stamps.push_back(packet->pts);
                keys.push_back(packet->flags & AV_PKT_FLAG_KEY);
                shaped &= lengthPrefixed(packet);
                return int(MEDIA_OK);
            };
            for (const PacketPtr &packet : source) {
                ASSERT_GE(seams.push(packet.get()), 0);
                ASSERT_NE(packet->buf, nullptr) << "the caller's packet stays its own";
                ASSERT_GE(seams.writeReady(write), 0);
            }
            EXPECT_FALSE(seams.finished());
            ASSERT_GE(seams.push(nullptr), 0);
            ASSERT_GE(seams.writeAll(write), 0);
            EXPECT_TRUE(seams.finished());
            ASSERT_EQ(stamps.size(), 16u);
            for (size_t i = 0; i < stamps.size(); ++i)
                EXPECT_EQ(stamps[i], int64_t(7 + i));
            EXPECT_TRUE(keys[0]) << "an encoder's first picture is a key picture";
            EXPECT_TRUE(shaped);
        }
    }
}

TEST(SeamEncoder, AWriteThatFailsEndsTheWritingWithItsError)
{
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_FALSE(source.empty());
    SeamEncoder seams(openDecoder(), 4, range(0, kPictures, false));
    // The decoder starts before the encoder is handed over.
    for (const PacketPtr &packet : source)
        ASSERT_GE(seams.push(packet.get()), 0);
    ASSERT_GE(seams.push(nullptr), 0);
    seams.startEncoding(openX264(1));
    int written = 0;
    EXPECT_EQ(
        seams.writeAll([&](AVPacket *) { return ++written == 2 ? int(MEDIA_ERR_OUTPUT) : int(MEDIA_OK); }),
        MEDIA_ERR_OUTPUT);
    EXPECT_EQ(written, 2);
}

TEST(SeamEncoder, AFailingEncoderEndsThePartWithItsError)
{
    // An encoder that refuses every picture (here: never opened), or one that does not open on the
    // encoding thread: the error reaches the caller, who would otherwise wait for packets that never come.
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_FALSE(source.empty());
    for (bool opensThere : {false, true}) {
        SCOPED_TRACE(opensThere ? "does not open" : "refuses the pictures");
        SeamEncoder seams(openDecoder(), 4, range(0, kPictures, false));
        if (opensThere) {
            seams.startEncoding([](Encoder &) { return int(MEDIA_ERR_ENCODER); });
        } else {
            Encoder broken;
            ASSERT_GE(broken.create(Encoder::find("libx264")), 0);
            seams.startEncoding(std::move(broken));
        }
        expectFailure(seams, source);
    }
}

TEST(SeamEncoder, AnEncoderOpenedOnItsThreadEncodesThePart)
{
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_FALSE(source.empty());
    SeamEncoder seams(openDecoder(), 4, range(3, 9, true));
    seams.startEncoding([](Encoder &encoder) {
        encoder = openX264(2);
        return encoder.context() ? int(MEDIA_OK) : int(MEDIA_ERR_ENCODER);
    });
    for (const PacketPtr &packet : source)
        ASSERT_GE(seams.push(packet.get()), 0);
    ASSERT_GE(seams.push(nullptr), 0);
    std::vector<int64_t> stamps;
    ASSERT_GE(seams.writeAll([&](AVPacket *packet) {
        stamps.push_back(packet->pts);
        return int(MEDIA_OK);
    }),
              0);
    EXPECT_EQ(stamps, (std::vector<int64_t>{3, 4, 5, 6, 7, 8}));
}

TEST(SeamEncoder, IsDestroyedPromptlyInAnyState)
{
    // A stopped job drops its seam in any state: packets queued, pictures queued, encoder busy, nothing
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_FALSE(source.empty());
    const auto began = std::chrono::steady_clock::now();
    // drained; or it never got a packet, or never an encoder.
    for (size_t pushed : {size_t(0), size_t(3), source.size()}) {
        for (bool encoding : {false, true}) {
            SeamEncoder seams(openDecoder(), 4, range(0, kPictures, false));
            if (encoding)
                seams.startEncoding(openX264(3));
            for (size_t i = 0; i < pushed; ++i)
                ASSERT_GE(seams.push(source[i].get()), 0);
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
}

TEST(SeamEncoder, TheStopFlagEndsTheWaitForTheEncoder)
{
    // Nothing wakes the waiter when the job's flag is set: the wait looks at it by itself. The end is
    // never pushed, so without the flag writeAll would wait for ever.
    const std::vector<PacketPtr> source = sourcePackets();
    ASSERT_FALSE(source.empty());
    std::atomic<bool> stop{false};
    SeamEncoder seams(openDecoder(), 4, range(0, kPictures, false), &stop);
    seams.startEncoding(openX264(1));
    for (const PacketPtr &packet : source)
        ASSERT_GE(seams.push(packet.get()), 0);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = true;
    });
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(seams.writeAll([](AVPacket *) { return int(MEDIA_OK); }), MEDIA_ERR_STOPPED);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_EQ(seams.push(source[0].get()), MEDIA_ERR_STOPPED);
}
