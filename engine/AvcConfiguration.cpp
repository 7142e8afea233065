#include "engine/AvcConfiguration.h"

#include "engine/EngineLog.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

constexpr int kNalSlice = 1;
constexpr int kNalIdr = 5;
constexpr int kNalSps = 7;
constexpr int kNalPps = 8;
constexpr int kNalSpsExtension = 13;
constexpr int kNalSubsetSps = 15;
constexpr int kMaxIds = 32; // sequence set ids are 0..31

// Reads the bits of a NAL unit's payload, skipping the emulation-prevention bytes.
class BitReader
{
public:
    BitReader(const std::vector<uint8_t> &nal)
    {
        for (size_t i = 1, zeros = 0; i < nal.size(); ++i) {
            if (zeros >= 2 && nal[i] == 3) {
                zeros = 0;
                continue;
            }
            zeros = nal[i] == 0 ? zeros + 1 : 0;
            m_bytes.push_back(nal[i]);
        }
    }
    bool ok() const { return m_bit <= m_bytes.size() * 8; }
    unsigned bit()
    {
        size_t at = m_bit++;
        return at < m_bytes.size() * 8 ? (m_bytes[at / 8] >> (7 - at % 8)) & 1 : 0;
    }
    unsigned bits(int n)
    {
        unsigned v = 0;
        while (n-- > 0)
            v = v << 1 | bit();
        return v;
    }
    unsigned ue()
    {
        int zeros = 0;
        while (!bit() && ok() && zeros < 32)
            ++zeros;
        return zeros >= 32 ? 0 : (1u << zeros) - 1 + bits(zeros);
    }
    int se()
    {
        unsigned v = ue();
        return v & 1 ? int((v + 1) / 2) : -int(v / 2);
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_bit = 0;
};

bool highProfile(unsigned profile)
{
    for (unsigned p : {100u, 110u, 122u, 244u, 44u, 83u, 86u, 118u, 128u, 138u, 139u, 134u, 135u})
        if (p == profile)
            return true;
    return false;
}

void skipScalingList(BitReader &r, int size)
{
    int last = 8, next = 8;
    for (int j = 0; j < size; ++j) {
        if (next != 0)
            next = (last + r.se() + 256) % 256;
        last = next == 0 ? last : next;
    }
}

// Reads a sequence set up to frame_mbs_only_flag; false when it cannot.
bool readSequenceSet(const AvcConfiguration::Nal &sps, int &id, bool &framesOnly)
{
    if (sps.size() < 4)
        return false;
    BitReader r(sps);
    unsigned profile = r.bits(8);
    r.bits(16); // constraint flags, level
    id = int(r.ue());
    if (highProfile(profile)) {
        unsigned chroma = r.ue();
        if (chroma == 3)
            r.bit(); // separate colour planes
        r.ue();      // luma bit depth
        r.ue();      // chroma bit depth
        r.bit();     // lossless transform bypass
        if (r.bit()) {
            for (int i = 0; i < (chroma == 3 ? 12 : 8); ++i)
                if (r.bit())
                    skipScalingList(r, i < 6 ? 16 : 64);
        }
    }
    r.ue(); // log2 of the largest frame number
    unsigned pocType = r.ue();
    if (pocType == 0) {
        r.ue();
    } else if (pocType == 1) {
        r.bit();
        r.se();
        r.se();
        unsigned cycle = r.ue();
        if (cycle > 255)
            return false;
        for (unsigned i = 0; i < cycle; ++i)
            r.se();
    }
    r.ue();  // reference frames
    r.bit(); // gaps in frame numbers
    r.ue();  // width
    r.ue();  // height
    framesOnly = r.bit() == 1;
    return r.ok() && id >= 0 && id < kMaxIds;
}

// Calls `take` with each NAL unit of start-code data.
template <class Take> void forEachAnnexBNal(const uint8_t *data, size_t size, Take take)
{
    size_t i = 0, start = SIZE_MAX;
    auto emit = [&](size_t end) {
        while (end > start && data[end - 1] == 0) // the zero byte of a four-byte start code
            --end;
        if (start != SIZE_MAX && end > start)
            take(data + start, end - start);
    };
    while (i + 3 <= size) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            emit(i);
            i += 3;
            start = i;
        } else {
            ++i;
        }
    }
    if (start != SIZE_MAX) {
        size_t end = size;
        if (end > start)
            take(data + start, end - start);
    }
}

// Calls `visit` with the header byte of each NAL unit of length-prefixed data while it answers true.
// Whether every unit was visited and their lengths fill the data exactly.
template <class Visit>
bool forEachLengthPrefixedNal(const uint8_t *data, size_t size, int nalLengthSize, Visit visit)
{
    size_t at = 0;
    while (at + nalLengthSize < size) {
        size_t length = 0;
        for (int i = 0; i < nalLengthSize; ++i)
            length = length << 8 | data[at + i];
        at += nalLengthSize;
        if (length == 0 || at + length > size || !visit(data[at]))
            return false;
        at += length;
    }
    return at == size;
}

} // namespace

bool AvcConfiguration::parse(const uint8_t *data, size_t size)
{
    m_sps.clear();
    m_pps.clear();
    m_rest.clear();
    if (!data || size < 7 || data[0] != 1)
        return false;
    for (int i = 0; i < 4; ++i)
        m_header[i] = data[i];
    m_nalLengthSize = (data[4] & 3) + 1;
    size_t at = 5;
    auto readSets = [&](int count, std::vector<Nal> &into) {
        for (int i = 0; i < count; ++i) {
            if (at + 2 > size)
                return false;
            size_t length = size_t(data[at]) << 8 | data[at + 1];
            at += 2;
            if (at + length > size)
                return false;
            into.emplace_back(data + at, data + at + length);
            at += length;
        }
        return true;
    };
    if (!readSets(data[at++] & 0x1f, m_sps) || at >= size || !readSets(data[at++], m_pps))
        return false;
    m_rest.assign(data + at, data + size);
    return m_nalLengthSize != 3;
}

bool AvcConfiguration::parse(const AVCodecParameters *parameters)
{
    return parameters->codec_id == AV_CODEC_ID_H264 && parameters->extradata_size > 0 &&
           parse(parameters->extradata, size_t(parameters->extradata_size));
}

int AvcConfiguration::store(AVCodecParameters *parameters) const
{
    std::vector<uint8_t> record = write();
    auto *data = static_cast<uint8_t *>(av_mallocz(record.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!data)
        return MEDIA_ERR_NO_MEMORY;
    std::memcpy(data, record.data(), record.size());
    av_freep(&parameters->extradata);
    parameters->extradata = data;
    parameters->extradata_size = int(record.size());
    return MEDIA_OK;
}

bool AvcConfiguration::merge(const AvcConfiguration &other)
{
    if (std::memcmp(m_header, other.m_header, sizeof m_header) != 0 ||
        m_nalLengthSize != other.m_nalLengthSize || m_rest != other.m_rest)
        return false;
    auto mergeSets = [](std::vector<Nal> &into, const std::vector<Nal> &from, int (*idOf)(const Nal &)) {
        for (const Nal &set : from) {
            int id = idOf(set);
            if (id < 0)
                return false;
            auto same = std::find_if(into.begin(), into.end(), [&](const Nal &n) { return idOf(n) == id; });
            if (same == into.end())
                into.push_back(set);
            else if (*same != set)
                return false;
        }
        return true;
    };
    return mergeSets(m_sps, other.m_sps, sequenceSetId) && mergeSets(m_pps, other.m_pps, pictureSetId);
}

std::vector<uint8_t> AvcConfiguration::write() const
{
    std::vector<uint8_t> out(m_header, m_header + 4);
    out.push_back(uint8_t(0xfc | (m_nalLengthSize - 1)));
    auto writeSets = [&out](const std::vector<Nal> &sets) {
        for (const Nal &nal : sets) {
            out.push_back(uint8_t(nal.size() >> 8));
            out.push_back(uint8_t(nal.size()));
            out.insert(out.end(), nal.begin(), nal.end());
        }
    };
    out.push_back(uint8_t(0xe0 | m_sps.size()));
    writeSets(m_sps);
    out.push_back(uint8_t(m_pps.size()));
    writeSets(m_pps);
    out.insert(out.end(), m_rest.begin(), m_rest.end());
    return out;
}

void AvcConfiguration::addFromAnnexB(const uint8_t *data, size_t size)
{
    forEachAnnexBNal(data, size, [this](const uint8_t *nal, size_t length) {
        int type = nal[0] & 0x1f;
        if (type == kNalSps)
            m_sps.emplace_back(nal, nal + length);
        else if (type == kNalPps)
            m_pps.emplace_back(nal, nal + length);
    });
}

int AvcConfiguration::sequenceSetId(const Nal &sps)
{
    int id = -1;
    bool framesOnly = false;
    return readSequenceSet(sps, id, framesOnly) ? id : -1;
}

bool AvcConfiguration::framesOnly(const Nal &sps)
{
    int id = -1;
    bool framesOnly = false;
    return readSequenceSet(sps, id, framesOnly) && framesOnly;
}

int AvcConfiguration::pictureSetId(const Nal &pps)
{
    if (pps.size() < 2)
        return -1;
    BitReader r(pps);
    unsigned id = r.ue();
    return r.ok() && id < 256 ? int(id) : -1;
}

std::vector<bool> AvcConfiguration::usedIds() const
{
    std::vector<bool> used(kMaxIds, false);
    for (const Nal &nal : m_sps)
        if (int id = sequenceSetId(nal); id >= 0)
            used[id] = true;
    for (const Nal &nal : m_pps)
        if (int id = pictureSetId(nal); id >= 0 && id < kMaxIds)
            used[id] = true;
    return used;
}

bool AvcConfiguration::holdsIdr(const uint8_t *data, size_t size, int nalLengthSize)
{
    bool idr = false;
    forEachLengthPrefixedNal(data, size, nalLengthSize, [&](uint8_t header) {
        idr = (header & 0x1f) == kNalIdr;
        return !idr;
    });
    return idr;
}

bool AvcConfiguration::disposable(const uint8_t *data, size_t size, int nalLengthSize)
{
    bool slice = false;
    const bool whole = forEachLengthPrefixedNal(data, size, nalLengthSize, [&](uint8_t header) {
        const int type = header & 0x1f;
        if (type == kNalSps || type == kNalPps || type == kNalSpsExtension || type == kNalSubsetSps)
            return false;
        if (type >= kNalSlice && type <= kNalIdr) {
            if (header & 0x60) // referred to
                return false;
            slice = true;
        }
        return true;
    });
    return whole && slice;
}

bool AvcConfiguration::toLengthPrefixed(AVPacket *packet, int nalLengthSize)
{
    const uint8_t *data = packet->data;
    const size_t size = size_t(packet->size);
    if (!(size >= 3 && data[0] == 0 && data[1] == 0 &&
          (data[2] == 1 || (size >= 4 && data[2] == 0 && data[3] == 1))))
        return true;
    std::vector<std::pair<size_t, size_t>> nals; // offset, length
    forEachAnnexBNal(data, size,
                     [&](const uint8_t *nal, size_t length) { nals.emplace_back(nal - data, length); });
    size_t total = 0, end = 0;
    bool inPlace = true;
    for (auto [offset, length] : nals) {
        inPlace &= offset - end == size_t(nalLengthSize);
        end = offset + length;
        total += size_t(nalLengthSize) + length;
    }
    inPlace &= end == size;
    auto putLength = [nalLengthSize](uint8_t *to, size_t length) {
        for (int i = 0; i < nalLengthSize; ++i)
            to[i] = uint8_t(length >> (8 * (nalLengthSize - 1 - i)));
    };
    if (inPlace) {
        if (av_packet_make_writable(packet) < 0)
            return false;
        for (auto [offset, length] : nals)
            putLength(packet->data + offset - nalLengthSize, length);
        return true;
    }
    AVPacket *out = av_packet_alloc();
    if (!out || av_new_packet(out, int(total)) < 0 || av_packet_copy_props(out, packet) < 0) {
        av_packet_free(&out);
        return false;
    }
    uint8_t *to = out->data;
    for (auto [offset, length] : nals) {
        putLength(to, length);
        std::memcpy(to + nalLengthSize, data + offset, length);
        to += nalLengthSize + length;
    }
    av_packet_unref(packet);
    av_packet_move_ref(packet, out);
    av_packet_free(&out);
    return true;
}

} // namespace engine
