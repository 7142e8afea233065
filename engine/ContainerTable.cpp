#include "engine/ContainerTable.h"

#include "media/MediaEngine.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace engine {

namespace {

struct Entry
{
    const char *extension;
    const char *muxers; // comma-separated, best first
};

// Extensions the open panels accept plus the usual output ones. Files named after a camcorder or disc
// format that FFmpeg writes under another name map to that muxer, then to Matroska.
const Entry kTable[] = {
    {"mp4", "mp4"},        {"m4v", "mp4"},        {"mov", "mov"},          {"qt", "mov"},
    {"mkv", "matroska"},   {"mka", "matroska"},   {"webm", "webm"},        {"avi", "avi"},
    {"divx", "avi,matroska"},       {"flv", "flv"},        {"ts", "mpegts"},        {"m2ts", "mpegts"},
    {"mts", "mpegts"},     {"tp", "mpegts"},      {"trp", "mpegts,matroska"},       {"mpg", "mpeg"},
    {"mpeg", "mpeg"},      {"vob", "vob"},        {"dat", "mpeg,mpegts,matroska"},         {"mod", "vob,matroska"},
    {"tod", "mpegts,matroska"},     {"m2v", "mpeg2video"}, {"mpv", "mpeg2video"},   {"mpa", "mp2"},
    {"3gp", "3gp"},        {"3g2", "3g2"},        {"mxf", "mxf"},          {"nut", "nut"},
    {"h261", "h261"},      {"h264", "h264"},      {"wmv", "asf"},          {"asf", "asf"},
    {"wma", "asf"},        {"mp3", "mp3"},        {"mp2", "mp2"},          {"m4a", "ipod"},
    {"m4r", "ipod"},       {"flac", "flac"},      {"wav", "wav"},          {"ogg", "ogg"},
    {"oga", "ogg"},        {"opus", "opus"},      {"aac", "adts"},         {"ac3", "ac3"},
};

std::string extensionOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

} // namespace

std::vector<const AVOutputFormat *> ContainerTable::candidates(const std::string &path)
{
    std::vector<const AVOutputFormat *> result;
    std::string ext = extensionOf(path);
    for (const Entry &entry : kTable) {
        if (ext != entry.extension)
            continue;
        std::string list = entry.muxers;
        size_t from = 0;
        while (from <= list.size()) {
            size_t comma = list.find(',', from);
            std::string name = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            // The file name breaks ties between muxers of one name (Matroska's audio-only one for mka).
            const std::string sample = "output." + ext;
            if (const AVOutputFormat *format = av_guess_format(name.c_str(), sample.c_str(), nullptr))
                result.push_back(format);
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
    }
    if (!result.empty())
        return result;
    // Not in the table: FFmpeg's own guess, then Matroska, which takes nearly every codec.
    if (const AVOutputFormat *format = av_guess_format(nullptr, path.c_str(), nullptr))
        result.push_back(format);
    const AVOutputFormat *matroska = av_guess_format("matroska", nullptr, nullptr);
    if (matroska && std::find(result.begin(), result.end(), matroska) == result.end())
        result.push_back(matroska);
    return result;
}

bool ContainerTable::accepts(const AVOutputFormat *format, AVCodecID codec)
{
    // The MPEG program-stream muxers keep no codec table but refuse what they cannot carry.
    static const AVCodecID programStreamCodecs[] = {
        AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_H264, AV_CODEC_ID_MPEG4, AV_CODEC_ID_MP1,
        AV_CODEC_ID_MP2,        AV_CODEC_ID_MP3,        AV_CODEC_ID_AC3,  AV_CODEC_ID_DTS,   AV_CODEC_ID_PCM_DVD};
    for (const char *name : {"mpeg", "vob", "dvd", "svcd", "vcd"}) {
        if (std::strcmp(format->name, name) == 0)
            return std::find(std::begin(programStreamCodecs), std::end(programStreamCodecs), codec) !=
                   std::end(programStreamCodecs);
    }
    int answer = avformat_query_codec(format, codec, FF_COMPLIANCE_NORMAL);
    if (answer >= 0)
        return answer == 1;
    // No table for this muxer: trust its default codecs, and Matroska-like muxers with everything.
    if (codec == format->video_codec || codec == format->audio_codec)
        return true;
    const AVCodecDescriptor *d = avcodec_descriptor_get(codec);
    if (!d)
        return false;
    // Only the general-purpose muxers without tables take codecs other than their defaults.
    bool general = std::strcmp(format->name, "matroska") == 0 || std::strcmp(format->name, "nut") == 0 ||
                   std::strcmp(format->name, "mpegts") == 0;
    if (!general)
        return false;
    return d->type == AVMEDIA_TYPE_VIDEO ? holdsVideo(format) : d->type == AVMEDIA_TYPE_AUDIO && holdsAudio(format);
}

bool ContainerTable::holdsVideo(const AVOutputFormat *format)
{
    // Audio file types: their muxers may take a cover picture, or for m4a and ogg even a video codec,
    // but whoever names such a file wants sound only.
    for (const char *name : {"mp3", "flac", "ipod", "ogg", "opus", "wav", "adts", "ac3", "mp2"}) {
        if (std::strcmp(format->name, name) == 0)
            return false;
    }
    return format->video_codec != AV_CODEC_ID_NONE;
}

bool ContainerTable::holdsAudio(const AVOutputFormat *format)
{
    return format->audio_codec != AV_CODEC_ID_NONE;
}

int ContainerTable::choose(const std::string &path,
                           const std::function<int(const AVOutputFormat *, bool strict)> &plan,
                           const AVOutputFormat *&chosen)
{
    std::vector<const AVOutputFormat *> formats = candidates(path);
    for (const AVOutputFormat *format : formats) {
        if (plan(format, true) > 0) {
            chosen = format;
            return MEDIA_OK;
        }
    }
    int r = plan(formats.front(), false);
    if (r < 0)
        return r;
    chosen = formats.front();
    return MEDIA_OK;
}

bool ContainerTable::needsStartCodes(const AVOutputFormat *format, const AVCodecParameters *p)
{
    if (p->codec_id != AV_CODEC_ID_H264 && p->codec_id != AV_CODEC_ID_HEVC)
        return false;
    if (p->extradata_size <= 0 || p->extradata[0] != 1)
        return false;
    for (const char *muxer : {"avi", "mpeg", "vob", "dvd", "h264", "hevc"})
        if (std::strcmp(format->name, muxer) == 0)
            return true;
    return false;
}

} // namespace engine
