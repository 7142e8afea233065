#include "platform/Stepper.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace platform {

Stepper::Stepper(const Rect &frame, QWidget *parent)
    : View(frame, parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void Stepper::setMinValue(double value)
{
    m_minValue = value;
    m_value = std::clamp(m_value, m_minValue, std::max(m_minValue, m_maxValue));
    update();
}

void Stepper::setMaxValue(double value)
{
    m_maxValue = value;
    m_value = std::clamp(m_value, m_minValue, std::max(m_minValue, m_maxValue));
    update();
}

void Stepper::setDoubleValue(double value)
{
    m_value = std::clamp(value, m_minValue, std::max(m_minValue, m_maxValue));
    update();
}

int Stepper::intValue() const
{
    return int(std::lround(m_value));
}

void Stepper::step(double delta)
{
    const double next = m_value + delta;
    if (next > m_maxValue)
        m_value = m_valueWraps ? m_minValue : m_maxValue;
    else if (next < m_minValue)
        m_value = m_valueWraps ? m_maxValue : m_minValue;
    else
        m_value = next;
    update();
    if (action)
        action(*this);
}

void Stepper::stepUp()
{
    step(m_increment);
}

void Stepper::stepDown()
{
    step(-m_increment);
}

void Stepper::mouseDown(const MouseEvent &event)
{
    if (!isEnabled())
        return;
    m_pressed = event.locationInView.y >= bounds().midY() ? 1 : -1;
    if (m_pressed > 0)
        stepUp();
    else
        stepDown();
}

void Stepper::mouseUp(const MouseEvent &)
{
    m_pressed = 0;
    update();
}

void Stepper::keyPressEvent(QKeyEvent *event)
{
    if (isEnabled() && event->key() == Qt::Key_Up)
        stepUp();
    else if (isEnabled() && event->key() == Qt::Key_Down)
        stepDown();
    else
        View::keyPressEvent(event);
}

void Stepper::drawRect(QPainter &painter, const Rect &)
{
    const Rect b = bounds().insetBy(0.5, 0.5);
    const QColor frameColor = isEnabled() ? QColor(120, 120, 120) : QColor(180, 180, 180);
    const QColor arrowColor = isEnabled() ? QColor(50, 50, 50) : QColor(170, 170, 170);
    painter.setPen(frameColor);
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRoundedRect(toQRectF(b), 4, 4);
    painter.drawLine(QPointF(b.minX(), b.midY()), QPointF(b.maxX(), b.midY()));
    auto arrow = [&](double cy, double dir, bool pressed) {
        const double w = std::min(b.width() * 0.5, 8.0);
        const double h = w / 2;
        QPolygonF tri;
        tri << QPointF(b.midX() - w / 2, cy - dir * h / 2) << QPointF(b.midX() + w / 2, cy - dir * h / 2)
            << QPointF(b.midX(), cy + dir * h / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(pressed ? QColor(0, 0, 0) : arrowColor);
        painter.drawPolygon(tri);
    };
    arrow(b.minY() + b.height() * 0.75, 1, m_pressed > 0);
    arrow(b.minY() + b.height() * 0.25, -1, m_pressed < 0);
}

} // namespace platform
