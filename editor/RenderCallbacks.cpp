#include "editor/RenderCallbacks.h"

#include "toolkit/EngineApi.h"
#include "media/RDMoviePlayer.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace {

QString textField(const char *field, std::size_t size)
{
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, size)));
}

QImage readPicture(const char *path)
{
    if (!path || !*path)
        return {};
    QImageReader reader(QString::fromUtf8(path));
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

void RenderCallbacks::drawTextWatermarkCallback(int width, int height, uint8_t *buffer,
                                                TEXT_WATERMARK_PARAM param)
{
    if (!buffer || width <= 0 || height <= 0 || param.fontsize <= 0)
        return;
    const QString text = textField(param.text, sizeof param.text);
    if (text.isEmpty())
        return;
    QImage image(buffer, width, height, width * 4, QImage::Format_ARGB32_Premultiplied);

    const QString name = textField(param.szFontName, sizeof param.szFontName);
    QString family = platform::FontAlias::familyForName(name, text);
    if (family.isEmpty())
        family = platform::FontAlias::familyForName(QStringLiteral(".AppleSystemUIFont"), text);
    QFont font(family);
    font.setPixelSize(param.fontsize);

    // Opaque: the engine applies the record's transparency to the drawn text, once.
    const QColor colour((param.fontclr >> 24) & 0xff, (param.fontclr >> 16) & 0xff,
                        (param.fontclr >> 8) & 0xff);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(colour);
    // The record counts the baseline up from the bottom row; the image counts rows down from the top.
    painter.drawText(QPointF(param.rect.left, height - param.rect.top), text);
}

int RenderCallbacks::loadImageCallback(const char *path, int *width, int *height, int size, uint8_t *buffer)
{
    const QImage picture = readPicture(path);
    if (picture.isNull())
        return 0;
    if (!buffer) {
        if (width)
            *width = picture.width();
        if (height)
            *height = picture.height();
        return 1;
    }
    const qint64 rowBytes = qint64(picture.width()) * 4;
    if (size < 0 || rowBytes * picture.height() > size)
        return 0;
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(buffer + y * rowBytes, pixels.constScanLine(y), static_cast<std::size_t>(rowBytes));
    return 1;
}

bool RenderCallbacks::saveImage(const QImage &image, const QString &path)
{
    QString target = path;
    if (target.startsWith(QLatin1Char('~')))
        target = QDir::homePath() + target.mid(1);
    QSaveFile file(target);
    const bool ok =
        !image.isNull() && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
    platform::log("Save Image: %d", ok ? 1 : 0);
    return ok;
}

void RenderCallbacks::registerWithEngine()
{
    EngineApi::current().convertSetDrawTextCallback(&RenderCallbacks::drawTextWatermarkCallback);
}

void RenderCallbacks::registerWithPlayer(RDMoviePlayer &player)
{
    player.SetDrawTextCallback(&RenderCallbacks::drawTextWatermarkCallback);
    player.SetLoadImageCallback(&RenderCallbacks::loadImageCallback);
}
