#include "controls/ImageView.h"

#include <QPainter>

#include <algorithm>

ImageView::ImageView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent) {}

void ImageView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void ImageView::setImageScaling(Scaling scaling)
{
    m_scaling = scaling;
    update();
}

platform::Size ImageView::imageSize(const QImage &image)
{
    if (image.isNull())
        return platform::Size{};
    return platform::fromQSizeF(image.deviceIndependentSize());
}

void ImageView::setImageFrameStyle(FrameStyle style)
{
    m_frameStyle = style;
    update();
}

void ImageView::drawRect(QPainter &painter, const platform::Rect &)
{
    if (m_frameStyle == FrameStyle::GrayBezel && width() > 1 && height() > 1) {
        // y is upwards here: the top edge is the last row.
        const double w = width();
        const double h = height();
        const QColor dark(128, 128, 128);
        const QColor light(224, 224, 224);
        painter.fillRect(QRectF(0, 0, w, 1), light);
        painter.fillRect(QRectF(w - 1, 0, 1, h), light);
        painter.fillRect(QRectF(0, h - 1, w, 1), dark);
        painter.fillRect(QRectF(0, 0, 1, h), dark);
    }
    if (m_image.isNull())
        return;
    const platform::Rect area = bounds();
    platform::Size size = imageSize(m_image);
    switch (m_scaling) {
    case Scaling::AxesIndependently:
        size = area.size;
        break;
    case Scaling::ProportionallyDown:
        if (size.width > area.width() || size.height > area.height()) {
            const double scale = std::min(area.width() / size.width, area.height() / size.height);
            size = platform::Size{size.width * scale, size.height * scale};
        }
        break;
    case Scaling::None:
        break;
    }
    const platform::Rect target = platform::makeRect(
        (area.width() - size.width) / 2, (area.height() - size.height) / 2, size.width, size.height);
    drawImageUpright(painter, target, m_image);
}
