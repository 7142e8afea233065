#include "controls/PNQView.h"

#include <QPainter>

PNQView::PNQView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent) {}

void PNQView::setBackGroundColor(const QColor &color)
{
    m_backGroundColor = color;
    repaint();
}

void PNQView::setBordColor(const QColor &color)
{
    m_bordColor = color;
    View::setBorderColor(color);
    repaint();
}

void PNQView::setBorderWidth(double width)
{
    View::setBorderWidth(width);
    repaint();
}

void PNQView::setCornerRadius(double radius)
{
    View::setCornerRadius(radius);
    repaint();
}

void PNQView::drawRect(QPainter &painter, const platform::Rect &)
{
    if (m_backGroundColor.isValid())
        painter.fillRect(platform::toQRectF(bounds()), m_backGroundColor);
    if (!m_backGroundImage.isNull())
        drawImageUpright(painter, bounds(), m_backGroundImage);
}
