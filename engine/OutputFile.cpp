#include "engine/OutputFile.h"

#include "engine/EngineLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporaryPathFor(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    for (;;) {
        std::string candidate = folder + "." + name + "." + std::to_string(getpid()) + "-" +
                                std::to_string(counter++) + ".part";
        struct stat info;
        if (stat(candidate.c_str(), &info) != 0)
            return candidate;
    }
}

bool isNamed(const AVOutputFormat *format, const char *name)
{
    return std::strcmp(format->name, name) == 0;
}

} // namespace

OutputFile::~OutputFile()
{
    if (!m_finished)
        discard();
}

int OutputFile::checkPath(const std::string &path)
{
    struct stat info;
    if (path.empty() || path.back() == '/') {
        engineLog("no output file name in \"%s\"", path.c_str());
        return MEDIA_ERR_OUTPUT;
    }
    if (lstat(path.c_str(), &info) == 0) {
        engineLog("refusing to overwrite %s", path.c_str());
        return MEDIA_ERR_OUTPUT;
    }
    std::string folder = folderOf(path);
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || access(folder.c_str(), W_OK) != 0) {
        engineLog("cannot write into the folder %s", folder.c_str());
        return MEDIA_ERR_OUTPUT;
    }
    return MEDIA_OK;
}

int OutputFile::open(const std::string &path, const AVOutputFormat *format, const std::atomic<bool> *stop)
{
    int check = checkPath(path);
    if (check < 0)
        return check;
    m_path = path;
    m_temporaryPath = temporaryPathFor(path);
    AVFormatContext *raw = nullptr;
    int err = avformat_alloc_output_context2(&raw, format, nullptr, m_temporaryPath.c_str());
    if (err < 0)
        return mediaError(err, "allocating the muxer", MEDIA_ERR_OUTPUT);
    m_context.reset(raw);
    m_context->interrupt_callback = interruptOn(stop);
    if (!(format->flags & AVFMT_NOFILE)) {
        err = avio_open2(&m_context->pb, m_temporaryPath.c_str(), AVIO_FLAG_WRITE, &m_context->interrupt_callback,
                         nullptr);
        if (err < 0)
            return mediaError(err, ("creating " + m_temporaryPath).c_str(), MEDIA_ERR_OUTPUT);
    }
    return MEDIA_OK;
}

int OutputFile::addStream(const AVCodecContext *encoder, AVStream *&stream)
{
    stream = avformat_new_stream(m_context.get(), nullptr);
    if (!stream)
        return MEDIA_ERR_NO_MEMORY;
    int err = avcodec_parameters_from_context(stream->codecpar, encoder);
    if (err < 0)
        return mediaError(err, "describing an output stream");
    stream->time_base = encoder->time_base;
    if (encoder->codec_type == AVMEDIA_TYPE_VIDEO)
        stream->avg_frame_rate = encoder->framerate;
    return MEDIA_OK;
}

int OutputFile::addCopiedStream(const AVStream *input, AVStream *&stream)
{
    stream = avformat_new_stream(m_context.get(), nullptr);
    if (!stream)
        return MEDIA_ERR_NO_MEMORY;
    int err = avcodec_parameters_copy(stream->codecpar, input->codecpar);
    if (err < 0)
        return mediaError(err, "copying the stream parameters");
    stream->codecpar->codec_tag = 0;
    stream->time_base = input->time_base;
    stream->avg_frame_rate = input->avg_frame_rate;
    return MEDIA_OK;
}

int OutputFile::writeHeader()
{
    int err = avformat_write_header(m_context.get(), nullptr);
    if (err < 0)
        return mediaError(err, "writing the output header", MEDIA_ERR_OUTPUT);
    m_headerBytes = m_context->pb ? avio_tell(m_context->pb) : 0;
    return MEDIA_OK;
}

int64_t OutputFile::overheadPerPacket(int64_t bytes) const
{
    const AVOutputFormat *format = m_context->oformat;
    if (isNamed(format, "mpegts"))
        return bytes / 184 * 4 + 188 + 20; // TS packet headers, a padded last packet, PES header
    if (isNamed(format, "mpeg") || isNamed(format, "vob"))
        return bytes / 2000 * 30 + 60;
    if (isNamed(format, "mp4") || isNamed(format, "mov") || isNamed(format, "ipod") || isNamed(format, "3gp") ||
        isNamed(format, "3g2"))
        return 16; // the index written in the trailer: size, time, chunk offset
    if (isNamed(format, "avi"))
        return 8 + 16; // chunk header and index entry
    return 24;
}

int64_t OutputFile::sizeWith(int64_t bytes) const
{
    // Fixed reserve for the trailer and the muxer's last buffers.
    const int64_t trailer = 4096;
    return m_headerBytes + m_packetBytes + bytes + overheadPerPacket(bytes) + trailer;
}

int OutputFile::write(AVPacket *packet)
{
    int64_t bytes = packet->size;
    int err = av_interleaved_write_frame(m_context.get(), packet);
    if (err < 0)
        return mediaError(err, "writing a packet", MEDIA_ERR_OUTPUT);
    m_packetBytes += bytes + overheadPerPacket(bytes);
    ++m_packets;
    return MEDIA_OK;
}

int OutputFile::finish()
{
    int err = av_write_trailer(m_context.get());
    if (err < 0) {
        discard();
        return mediaError(err, "writing the output trailer", MEDIA_ERR_OUTPUT);
    }
    if (!(m_context->oformat->flags & AVFMT_NOFILE)) {
        err = avio_closep(&m_context->pb);
        if (err < 0) {
            discard();
            return mediaError(err, "closing the output", MEDIA_ERR_OUTPUT);
        }
    }
    m_context.reset();
    // link() refuses to replace a file that appeared at the final path meanwhile; rename() is the
    // fallback for file systems without hard links.
    if (link(m_temporaryPath.c_str(), m_path.c_str()) == 0) {
        unlink(m_temporaryPath.c_str());
    } else if (errno == EEXIST) {
        engineLog("refusing to overwrite %s", m_path.c_str());
        discard();
        return MEDIA_ERR_OUTPUT;
    } else {
        struct stat info;
        if (lstat(m_path.c_str(), &info) == 0 || rename(m_temporaryPath.c_str(), m_path.c_str()) != 0) {
            engineLog("cannot move the output to %s: %s", m_path.c_str(), strerror(errno));
            discard();
            return MEDIA_ERR_OUTPUT;
        }
    }
    m_finished = true;
    return MEDIA_OK;
}

void OutputFile::discard()
{
    m_context.reset();
    if (!m_temporaryPath.empty())
        unlink(m_temporaryPath.c_str());
}

} // namespace engine
