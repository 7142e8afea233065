// An encoder's start-code packets become the length-prefixed packets mp4 and Matroska carry: in place
// where every start code is as long as a length, else in a new buffer; the NAL units are unchanged. A
// packet is disposable only when nothing refers to its picture and it carries no parameter set.
#include "engine/AvcConfiguration.h"
#include "engine/FFmpeg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using engine::AvcConfiguration;

TEST(AvcConfiguration, RewritesAStartCodePacketWithLengths)
{
    struct Case
    {
        const char *name;
        std::vector<uint8_t> in, out;
        bool inPlace;
    };
    const Case cases[] = {
        {"four-byte start codes",
         {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 0, 1, 0x65, 9},
         {0, 0, 0, 3, 0x67, 1, 2, 0, 0, 0, 2, 0x65, 9},
         true},
        {"a three-byte start code after the first",
         {0, 0, 0, 1, 0x68, 7, 0, 0, 1, 0x65, 8, 9},
         {0, 0, 0, 2, 0x68, 7, 0, 0, 0, 3, 0x65, 8, 9},
         false},
        {"a three-byte start code first", {0, 0, 1, 0x41, 5}, {0, 0, 0, 2, 0x41, 5}, false},
        {"already length-prefixed", {0, 0, 0, 2, 0x41, 5}, {0, 0, 0, 2, 0x41, 5}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AVPacket *packet = av_packet_alloc();
        ASSERT_EQ(av_new_packet(packet, int(c.in.size())), 0);
        std::memcpy(packet->data, c.in.data(), c.in.size());
        packet->pts = 42;
        const uint8_t *before = packet->data;
        ASSERT_TRUE(AvcConfiguration::toLengthPrefixed(packet, 4));
        EXPECT_EQ(std::vector<uint8_t>(packet->data, packet->data + packet->size), c.out);
        EXPECT_EQ(packet->data == before, c.inPlace);
        EXPECT_EQ(packet->pts, 42);
        av_packet_free(&packet);
    }
}

TEST(AvcConfiguration, APictureIsDisposableOnlyWhenNothingRefersToItAndItCarriesNoSets)
{
    struct Case
    {
        const char *name;
        std::vector<uint8_t> packet;
        bool disposable;
    };
    const Case cases[] = {
        {"a B slice no picture refers to", {0, 0, 0, 2, 0x01, 7}, true},
        {"two such slices after an SEI",
         {0, 0, 0, 2, 0x06, 5, 0, 0, 0, 2, 0x01, 7, 0, 0, 0, 2, 0x01, 8},
         true},
        {"a reference P slice", {0, 0, 0, 2, 0x21, 7}, false},
        {"an IDR picture", {0, 0, 0, 2, 0x65, 7}, false},
        {"a non-reference slice with a sequence set", {0, 0, 0, 2, 0x67, 7, 0, 0, 0, 2, 0x01, 7}, false},
        {"a non-reference slice with a picture set", {0, 0, 0, 2, 0x68, 7, 0, 0, 0, 2, 0x01, 7}, false},
        {"no slice", {0, 0, 0, 2, 0x06, 5}, false},
        {"a length past the end", {0, 0, 0, 9, 0x01, 7}, false},
        {"a partial length at the end", {0, 0, 0, 2, 0x01, 7, 0, 0}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AvcConfiguration::disposable(c.packet.data(), c.packet.size(), 4), c.disposable);
    }
}
