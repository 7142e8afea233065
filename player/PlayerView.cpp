#include "player/PlayerView.h"

#include <QPainter>

#include <algorithm>

namespace player {

PlayerView::PlayerView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    setBackgroundColor(Qt::black);
    setAutoresizingMask(WidthSizable | HeightSizable);
}

void PlayerView::setPicture(std::shared_ptr<const Picture> picture)
{
    m_picture = std::move(picture);
    setNeedsDisplay();
}

void PlayerView::drawRect(QPainter &painter, const platform::Rect &)
{
    if (!m_picture || m_picture->width() <= 0 || m_picture->height() <= 0)
        return;
    const AVFrame *f = m_picture->frame.get();
    // BGRA bytes are Qt's ARGB32 on little-endian machines; the frame is opaque, so premultiplied too.
    QImage image(f->data[0], f->width, f->height, f->linesize[0], QImage::Format_ARGB32_Premultiplied);
    const platform::Rect box = bounds();
    double scale = std::min(box.width() / f->width, box.height() / f->height);
    double w = f->width * scale;
    double h = f->height * scale;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawImageUpright(painter, platform::makeRect((box.width() - w) / 2, (box.height() - h) / 2, w, h), image);
}

} // namespace player
