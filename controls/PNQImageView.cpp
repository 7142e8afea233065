#include "controls/PNQImageView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

PNQImageView::PNQImageView(const platform::Rect &frame, QWidget *parent) : ImageView(frame, parent) {}

void PNQImageView::setNormalImage(const QImage &image)
{
    m_normalImage = image;
    repaint();
}

void PNQImageView::setDownImage(const QImage &image)
{
    m_downImage = image;
    repaint();
}

void PNQImageView::setBackGroundColor(const QColor &color)
{
    m_backGroundColor = color;
    repaint();
}

void PNQImageView::setBordColor(const QColor &color)
{
    m_bordColor = color;
    View::setBorderColor(color);
    repaint();
}

void PNQImageView::setBorderWidth(double width)
{
    View::setBorderWidth(width);
    repaint();
}

void PNQImageView::setCornerRadius(double radius)
{
    View::setCornerRadius(radius);
    repaint();
}

bool PNQImageView::event(QEvent *event)
{
    // Qt drops presses and releases on a disabled widget; this view reports them anyway.
    if (!isEnabled()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            mousePressEvent(static_cast<QMouseEvent *>(event));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            mouseReleaseEvent(static_cast<QMouseEvent *>(event));
            return true;
        }
    }
    return ImageView::event(event);
}

void PNQImageView::mouseDown(const platform::MouseEvent &)
{
    m_isDown = true;
    if (MouseDownBlock)
        MouseDownBlock(this);
    repaint();
}

void PNQImageView::mouseUp(const platform::MouseEvent &)
{
    m_isDown = false;
    if (MouseUpBlock)
        MouseUpBlock(this);
    repaint();
}

void PNQImageView::mouseDragged(const platform::MouseEvent &event)
{
    if (!isEnabled())
        return;
    if (MouseDraggedBlock) {
        // The pointer's x in the superview's coordinates becomes the new left edge.
        const QWidget *parent = parentWidget();
        const double parentWidth = superview() ? superview()->frame().width() : parent ? parent->width() : 0;
        const double pointer = frame().minX() + event.locationInView.x;
        double x = std::max(0.0, pointer);
        x = std::min(x, parentWidth - frame().width());
        setFrameOrigin(platform::Point{x, frame().minY()});
        MouseDraggedBlock(this);
    }
    repaint();
}

void PNQImageView::drawRect(QPainter &painter, const platform::Rect &dirty)
{
    ImageView::drawRect(painter, dirty);
    const platform::Rect area = bounds();
    if (m_backGroundColor.isValid())
        painter.fillRect(platform::toQRectF(area), m_backGroundColor);
    if (!m_normalBackGroundImage.isNull())
        drawImageUpright(painter, area, m_normalBackGroundImage);
    const QImage &shown = m_isDown && !m_downImage.isNull() ? m_downImage : m_normalImage;
    if (shown.isNull())
        return;
    const platform::Size size = imageSize(shown);
    drawImageUpright(painter,
                     platform::makeRect((area.width() - size.width) / 2, area.height() - size.height,
                                        size.width, size.height),
                     shown);
}
