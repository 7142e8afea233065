// The smart cut's seam encoder runs libx264 on a thread of its own: every picture pushed comes back as
// one length-prefixed packet, in order, and the thread ends cleanly whatever state the caller leaves
// it in (a stopped or failed job destroys it mid-work).
#include "engine/SeamEncoder.h"
#include "engine/Encoder.h"
#include "engine/FFmpeg.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace engine;

namespace {

constexpr int kWidth = 64, kHeight = 48;

// A frame-threaded libx264 encoder as the smart cut opens it (no reordering, no look-ahead).
Encoder openX264(int threads)
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
    av_dict_set(&options, "preset", "superfast", 0);
    std::string params = "rc-lookahead=0:sync-lookahead=0:log=-1:threads=" + std::to_string(threads);
    av_dict_set(&options, "x264-params", params.c_str(), 0);
    if (encoder.open(true, options) < 0)
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

} // namespace

TEST(SeamEncoder, GivesBackEveryPictureInOrderAsLengthPrefixedPackets)
{
    // One thread (packets as the pictures go in) and frame threads (packets some pictures behind).
    for (int threads : {1, 3}) {
        SCOPED_TRACE(threads);
        Encoder encoder = openX264(threads);
        ASSERT_TRUE(encoder.context() && avcodec_is_open(encoder.context()));
        SeamEncoder seams(std::move(encoder), 4);
        std::vector<int64_t> stamps;
        bool shaped = true;
        auto write = [&](AVPacket *packet) {
            stamps.push_back(packet->pts);
            shaped &= lengthPrefixed(packet);
            return int(MEDIA_OK);
        };
        constexpr int kPictures = 30;
        for (int i = 0; i < kPictures; ++i) {
            FramePtr frame = picture(i);
            ASSERT_TRUE(frame);
            ASSERT_GE(seams.push(frame.get()), 0);
            EXPECT_EQ(frame->buf[0], nullptr) << "the queue takes the picture's reference";
            ASSERT_GE(seams.writeReady(write), 0);
        }
        ASSERT_GE(seams.push(nullptr), 0);
        ASSERT_GE(seams.writeAll(write), 0);
        EXPECT_TRUE(seams.finished());
        ASSERT_EQ(stamps.size(), size_t(kPictures));
        for (int i = 0; i < kPictures; ++i)
            EXPECT_EQ(stamps[i], i);
        EXPECT_TRUE(shaped);
    }
}

TEST(SeamEncoder, AWriteThatFailsEndsTheWritingWithItsError)
{
    Encoder encoder = openX264(1);
    ASSERT_TRUE(encoder.context() && avcodec_is_open(encoder.context()));
    SeamEncoder seams(std::move(encoder), 4);
    for (int i = 0; i < 3; ++i) {
        FramePtr frame = picture(i);
        ASSERT_GE(seams.push(frame.get()), 0);
    }
    ASSERT_GE(seams.push(nullptr), 0);
    int written = 0;
    EXPECT_EQ(
        seams.writeAll([&](AVPacket *) { return ++written == 2 ? int(MEDIA_ERR_OUTPUT) : int(MEDIA_OK); }),
        MEDIA_ERR_OUTPUT);
    EXPECT_EQ(written, 2);
}

TEST(SeamEncoder, IsDestroyedPromptlyWithPicturesStillQueued)
{
    // A stopped job drops its seam encoder in any state: full queue, encoder busy, nothing drained.
    const auto began = std::chrono::steady_clock::now();
    for (int round = 0; round < 5; ++round) {
        Encoder encoder = openX264(3);
        ASSERT_TRUE(encoder.context() && avcodec_is_open(encoder.context()));
        SeamEncoder seams(std::move(encoder), 4);
        for (int i = 0; i < 8; ++i) {
            FramePtr frame = picture(i);
            ASSERT_GE(seams.push(frame.get()), 0);
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
}
