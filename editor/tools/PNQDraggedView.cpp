#include "editor/tools/PNQDraggedView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

PNQDraggedView::PNQDraggedView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
}

void PNQDraggedView::setIsDraw(bool on)
{
    m_isDraw = on;
    update();
}

void PNQDraggedView::setRepeatWidth(double width)
{
    m_repeatWidth = width;
    update();
}

void PNQDraggedView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void PNQDraggedView::setTravel(double minX, double maxX)
{
    m_hasTravel = true;
    m_travelMin = minX;
    m_travelMax = std::max(minX, maxX);
}

QList<double> PNQDraggedView::separatorPositions() const
{
    QList<double> xs;
    const double w = frame().width();
    if (m_repeatWidth <= 0 || m_repeatWidth > w)
        return xs;
    // A separator 2 points right of each repeat; one that falls past the right edge does not show.
    for (int k = 1; k * m_repeatWidth <= w; ++k) {
        if (k * m_repeatWidth + 2 < w)
            xs << k * m_repeatWidth + 2;
    }
    return xs;
}

void PNQDraggedView::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    // The pointer's distance from the left edge, both in the superview's points.
    m_grabOffset = event->position().x();
    event->accept();
}

void PNQDraggedView::mouseMoveEvent(QMouseEvent *event)
{
    if (!isEnabled() || !(event->buttons() & Qt::LeftButton))
        return;
    const double pointerX = frame().origin.x + event->position().x();
    double lo = m_travelMin, hi = m_travelMax;
    if (!m_hasTravel) {
        lo = 0;
        hi = superview() ? superview()->frame().width() - frame().width() : frame().origin.x;
    }
    const double x = std::clamp(pointerX - m_grabOffset, lo, std::max(lo, hi));
    setFrameOrigin(platform::Point{x, frame().origin.y});
    if (m_delegate)
        m_delegate->mouseDraggedWithSender(this);
    event->accept();
}

void PNQDraggedView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const double w = width(), h = height();
    if (m_repeatWidth <= 0 && !m_image.isNull())
        p.drawImage(rect(), m_image);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_isDraw) {
        // Qt's y runs down: the dot sits 10 points under the top, the line from it to the bottom.
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(QPointF(w / 2, 10), QPointF(w / 2, h));
        p.setBrush(Qt::red);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(w / 2, 10), 4.5, 4.5);
    }
    if (m_repeatWidth > 0) {
        p.fillRect(rect(), QColor(80, 140, 220));
        p.setPen(QPen(Qt::white, 2));
        for (double x : separatorPositions())
            p.drawLine(QPointF(x, 0), QPointF(x, h));
    }
}
