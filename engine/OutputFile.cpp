#include "engine/OutputFile.h"

#include "engine/EngineLog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace engine {

namespace {

constexpr int kIoBufferSize = 64 * 1024;
// Room for the final name in the temporary one, within the file systems' 255 bytes.
constexpr size_t kMaxNameInTemporary = 200;
// What the temporary name adds to the part of the final one it keeps: "." "." 16 digits ".part".
constexpr size_t kTemporaryNameExtra = 1 + 1 + 16 + 5;

std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// 16 hex digits nobody can guess in advance.
std::string unpredictableSuffix()
{
    uint64_t value = 0;
    if (getrandom(&value, sizeof value, 0) != ssize_t(sizeof value))
        value = std::random_device{}() * 0x100000000ull ^ std::random_device{}();
    char text[17];
    snprintf(text, sizeof text, "%016llx", (unsigned long long)value);
    return text;
}

int writeToFile(void *opaque, uint8_t *data, int size)
{
    const int fd = *static_cast<const int *>(opaque);
    for (int done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return AVERROR(errno);
        done += int(n);
    }
    return size;
}

int64_t seekInFile(void *opaque, int64_t offset, int whence)
{
    const int fd = *static_cast<const int *>(opaque);
    if (whence == AVSEEK_SIZE) {
        struct stat info;
        return fstat(fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    off_t at = lseek(fd, offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

constexpr int kSuffixDigits = 16;
// A temporary file untouched this long belongs to no job that is still writing.
constexpr time_t kLeftoverAge = 60;
// How often a write checks that the folder and the temporary file are still there.
constexpr int64_t kCheckInterval = 250000;

// "." + a file name + "." + 16 lowercase hex digits + ".part": the names createTemporary() makes.
bool isTemporaryName(const std::string &name)
{
    const std::string end = ".part";
    const size_t least = 1 + 1 + 1 + kSuffixDigits + end.size();
    if (name.size() < least || name[0] != '.' || name.compare(name.size() - end.size(), end.size(), end) != 0)
        return false;
    const size_t digits = name.size() - end.size() - kSuffixDigits;
    if (name[digits - 1] != '.')
        return false;
    for (size_t i = digits; i < digits + kSuffixDigits; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])) && (name[i] < 'a' || name[i] > 'f'))
            return false;
    return true;
}

int64_t steadyMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
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
    // A name too long for the file system (ENAMETOOLONG) would fail only at the final rename.
    if (errno != ENOENT) {
        engineLog("cannot write %s: %s", path.c_str(), strerror(errno));
        return MEDIA_ERR_OUTPUT;
    }
    std::string folder = folderOf(path);
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || access(folder.c_str(), W_OK) != 0) {
        engineLog("cannot write into the folder %s", folder.c_str());
        return MEDIA_ERR_OUTPUT;
    }
    const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameOf(path).size() > size_t(longest > 0 ? longest : NAME_MAX)) {
        engineLog("the name of %s is longer than its folder takes", path.c_str());
        return MEDIA_ERR_OUTPUT;
    }
    return MEDIA_OK;
}

int OutputFile::createTemporary()
{
    const std::string folder = folderOf(m_path);
    m_folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0) {
        engineLog("cannot open the folder %s: %s", folder.c_str(), strerror(errno));
        return MEDIA_ERR_OUTPUT;
    }
    removeLeftovers();
    // The temporary name keeps what fits of the final one, on file systems with shorter names too.
    const long longest = fpathconf(m_folder, _PC_NAME_MAX);
    size_t kept = kMaxNameInTemporary;
    if (longest > 0 && size_t(longest) < kMaxNameInTemporary + kTemporaryNameExtra)
        kept = size_t(longest) > kTemporaryNameExtra ? size_t(longest) - kTemporaryNameExtra : 1;
    const std::string base = "." + m_name.substr(0, kept) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = base + unpredictableSuffix() + ".part";
        int fd = openat(m_folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_file = fd;
            m_temporaryName = name;
            flock(fd, LOCK_EX | LOCK_NB); // ours alone: a new file nobody else has opened yet
            struct stat info;
            if (fstat(fd, &info) == 0)
                m_identity = {info.st_dev, info.st_ino};
            return MEDIA_OK;
        }
        if (errno != EEXIST)
            break;
    }
    engineLog("cannot create a temporary file in %s: %s", folder.c_str(), strerror(errno));
    return MEDIA_ERR_OUTPUT;
}

void OutputFile::removeLeftovers() const
{
    const int listing = fcntl(m_folder, F_DUPFD_CLOEXEC, 0);
    DIR *folder = listing >= 0 ? fdopendir(listing) : nullptr;
    if (!folder) {
        if (listing >= 0)
            close(listing);
        return;
    }
    const time_t now = time(nullptr);
    while (const dirent *entry = readdir(folder)) {
        const std::string name = entry->d_name;
        struct stat first;
        // Looked at before it is opened: opening a device or a FIFO may do something.
        if (!isTemporaryName(name) || fstatat(m_folder, name.c_str(), &first, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(first.st_mode))
            continue;
        const int fd = openat(m_folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info, atName;
        // A running job holds its lock; a killed one's lock went with it.
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            info.st_mtime + kLeftoverAge < now && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            fstatat(m_folder, name.c_str(), &atName, AT_SYMLINK_NOFOLLOW) == 0 &&
            atName.st_dev == info.st_dev && atName.st_ino == info.st_ino) {
            unlinkat(m_folder, name.c_str(), 0);
            engineTrace("removed %s, left behind by an export that did not end", name.c_str());
        }
        close(fd);
    }
    closedir(folder);
}

int OutputFile::checkStillThere()
{
    const int64_t now = steadyMicroseconds();
    if (now - m_lastCheck < kCheckInterval)
        return MEDIA_OK;
    m_lastCheck = now;
    struct stat folder, file;
    if (fstat(m_folder, &folder) == 0 && folder.st_nlink > 0 && fstat(m_file, &file) == 0 &&
        file.st_nlink > 0)
        return MEDIA_OK;
    engineLog("the folder of %s or the file being written there was deleted", m_path.c_str());
    return MEDIA_ERR_OUTPUT;
}

int OutputFile::open(const std::string &path, const AVOutputFormat *format, const std::atomic<bool> *stop)
{
    int check = checkPath(path);
    if (check < 0)
        return check;
    if (format->flags & AVFMT_NOFILE) {
        engineLog("%s writes files of its own; refused", format->name);
        return MEDIA_ERR_ENCODER;
    }
    m_path = path;
    m_name = nameOf(path);
    if ((check = createTemporary()) < 0)
        return check;
    AVFormatContext *raw = nullptr;
    int err = avformat_alloc_output_context2(&raw, format, nullptr, path.c_str());
    if (err < 0)
        return mediaError(err, "allocating the muxer", MEDIA_ERR_OUTPUT);
    m_context.reset(raw);
    m_context->interrupt_callback = interruptOn(stop);
    auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferSize));
    m_io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 1, &m_file, nullptr, writeToFile, seekInFile)
                  : nullptr;
    if (!m_io) {
        av_free(buffer);
        return MEDIA_ERR_NO_MEMORY;
    }
    m_context->pb = m_io;
    m_context->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The muxer would otherwise empty the buffer after every packet (a write call for each, a fifth of
    // a stream copy's time); whole buffers are written, as a file opened by the library is.
    m_context->flush_packets = 0;
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
    if (isNamed(format, "mp4") || isNamed(format, "mov") || isNamed(format, "ipod") ||
        isNamed(format, "3gp") || isNamed(format, "3g2"))
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
    if (int r = checkStillThere(); r < 0) {
        av_packet_unref(packet);
        return r;
    }
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
    bool written = closeIo();
    m_context.reset();
    if (!written || close(std::exchange(m_file, -1)) != 0) {
        engineLog("writing %s failed", m_path.c_str());
        discard();
        return MEDIA_ERR_OUTPUT;
    }
    return publish();
}

bool OutputFile::isOurs() const
{
    struct stat info;
    return !m_temporaryName.empty() && m_folder >= 0 &&
           fstatat(m_folder, m_temporaryName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && std::make_pair(info.st_dev, info.st_ino) == m_identity;
}

int OutputFile::publish()
{
    if (!isOurs()) {
        engineLog("the temporary output beside %s was replaced; nothing is published", m_path.c_str());
        m_temporaryName.clear(); // not ours to remove
        discard();
        return MEDIA_ERR_OUTPUT;
    }
    // Neither call follows a link at either name, and neither replaces what is at the final one;
    // linking is for file systems that cannot rename without replacing.
    int moved = renameat2(m_folder, m_temporaryName.c_str(), m_folder, m_name.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
        moved = linkat(m_folder, m_temporaryName.c_str(), m_folder, m_name.c_str(), 0);
        if (moved == 0)
            unlinkat(m_folder, m_temporaryName.c_str(), 0);
    }
    if (moved != 0) {
        if (errno == EEXIST)
            engineLog("refusing to overwrite %s", m_path.c_str());
        else
            engineLog("cannot move the output to %s: %s", m_path.c_str(), strerror(errno));
        discard();
        return MEDIA_ERR_OUTPUT;
    }
    m_finished = true;
    close(std::exchange(m_folder, -1));
    return MEDIA_OK;
}

bool OutputFile::closeIo()
{
    if (!m_io)
        return true;
    avio_flush(m_io);
    bool written = m_io->error == 0;
    if (m_context)
        m_context->pb = nullptr;
    av_freep(&m_io->buffer);
    avio_context_free(&m_io);
    return written;
}

void OutputFile::discard()
{
    closeIo();
    m_context.reset();
    if (m_file >= 0)
        close(std::exchange(m_file, -1));
    if (isOurs())
        unlinkat(m_folder, m_temporaryName.c_str(), 0);
    m_temporaryName.clear();
    if (m_folder >= 0)
        close(std::exchange(m_folder, -1));
}

} // namespace engine
