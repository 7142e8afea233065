#pragma once
// An H.264 stream's codec configuration (the avcC record that mp4 and Matroska keep as the stream's
// extradata): its sequence and picture parameter sets, what the smart cut needs to know of them, and
// the packet rewriting between start codes and length prefixes.
#include "engine/FFmpeg.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

class AvcConfiguration
{
public:
    using Nal = std::vector<uint8_t>;

    // Reads an avcC record; false when `data` is not one (for example start-code extradata).
    bool parse(const uint8_t *data, size_t size);
    // Reads a stream's extradata: false when the stream is not H.264 with an avcC record.
    bool parse(const AVCodecParameters *parameters);
    // The record again, with every parameter set added since parse().
    std::vector<uint8_t> write() const;
    // Stores the record as the extradata of `parameters`. MEDIA_OK or MEDIA_ERR_NO_MEMORY.
    int store(AVCodecParameters *parameters) const;
    // Adds the parameter sets of `other` that this one lacks; false (this one then partly merged) when
    // the records differ in their profile or length size, or one id names two different sets.
    bool merge(const AvcConfiguration &other);

    // Bytes of the length before each NAL unit in the stream's packets (1, 2 or 4).
    int nalLengthSize() const { return m_nalLengthSize; }
    const std::vector<Nal> &sequenceSets() const { return m_sps; }
    const std::vector<Nal> &pictureSets() const { return m_pps; }
    // Adds the parameter sets found in start-code data (an encoder's global header).
    void addFromAnnexB(const uint8_t *data, size_t size);

    // The id of a sequence or picture parameter set NAL (-1 when unreadable).
    static int sequenceSetId(const Nal &sps);
    static int pictureSetId(const Nal &pps);
    // Whether a sequence parameter set codes frames only (no fields, no frame/field adaptive coding);
    // false when unreadable.
    static bool framesOnly(const Nal &sps);
    // The ids used by any sequence or picture set: a free one is safe for a new pair.
    std::vector<bool> usedIds() const;

    // Whether a length-prefixed packet holds an IDR picture.
    static bool holdsIdr(const uint8_t *data, size_t size, int nalLengthSize);
    // Whether a length-prefixed packet holds a picture no other refers to (its slices' nal_ref_idc is
    // 0) and no parameter set: a decoder may pass it by where its picture is not wanted.
    static bool disposable(const uint8_t *data, size_t size, int nalLengthSize);
    // Turns a packet of start-code data into length-prefixed NAL units (`nalLengthSize` bytes each): in
    // place where every start code is as long as a length (as an encoder writes most pictures), else into
    // a new buffer; a packet that does not begin with a start code is left as it is. False when out of
    // memory.
    static bool toLengthPrefixed(AVPacket *packet, int nalLengthSize);

private:
    uint8_t m_header[4] = {};
    int m_nalLengthSize = 4;
    std::vector<Nal> m_sps;
    std::vector<Nal> m_pps;
    std::vector<uint8_t> m_rest; // the profile extension after the picture sets, kept as it was
};

} // namespace engine
