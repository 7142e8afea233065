#include "toolkit/FrameCapture.h"

#include "media/RDMoviePlayer.h"
#include "model/HelpClass.h"
#include "platform/Log.h"
#include "toolkit/OutputNaming.h"
#include "toolkit/SourceProbe.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include <new>
#include <vector>

const char *FrameCapture::formatFor(const QString &style)
{
    if (style == QLatin1String("bmp"))
        return "bmp";
    if (style == QLatin1String("jpg"))
        return "jpg";
    return "png";
}

QString FrameCapture::styleAt(int index)
{
    static const char *const styles[] = {"png", "jpg", "bmp"};
    return index >= 0 && index < 3 ? QString::fromLatin1(styles[index]) : QString();
}

QString FrameCapture::capture(RDMoviePlayer &player, platform::Size size, const QString &folder,
                              const QDateTime &when, const QString &style)
{
    // The buffer is made from sizes read from the file: bounded, so the product cannot overflow.
    constexpr double kMaxSide = 16384;
    if (!(size.width >= 1 && size.height >= 1 && size.width <= kMaxSide && size.height <= kMaxSide))
        return QString();
    int w = int(size.width);
    int h = int(size.height);
    const int wantedW = w;
    const int wantedH = h;
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(size_t(w) * size_t(h) * 4);
    } catch (const std::bad_alloc &) {
        return QString();
    }
    if (!player.Snapshot(&w, &h, buffer.data()) || w < 1 || h < 1 || w > wantedW || h > wantedH)
        return QString();
    const QImage picture = SourceProbe::imageFromBgra(buffer.data(), w, h);

    QDir().mkpath(folder);
    const char *format = formatFor(style);
    // An earlier capture of the same second is kept: the new one takes the next free name.
    const QString path =
        OutputNaming::availablePath(folder, HelpClass::createFilename(when), QString::fromLatin1(format));
    // Written to a temporary file and renamed: a failed write leaves nothing behind.
    QSaveFile file(path);
    QImageWriter writer(&file, format);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         writer.write(picture.convertToFormat(QImage::Format_RGB32)) && file.commit();
    if (!written) {
        file.cancelWriting();
        platform::log("Save Image: %d", 0);
        return QString();
    }
    platform::log("%s", "截取当前图片成功");
    return path;
}
