#include "editor/tools/QYTextFiledCenter.h"

#include <QPainter>

QYTextFiledCenter::QYTextFiledCenter(QWidget *parent) : View(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QYTextFiledCenter::setStringValue(const QString &text)
{
    if (text == m_stringValue)
        return;
    m_stringValue = text;
    update();
}

void QYTextFiledCenter::setTextFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    update();
}

void QYTextFiledCenter::setTextColor(const QColor &color)
{
    if (color == m_textColor)
        return;
    m_textColor = color;
    update();
}

void QYTextFiledCenter::drawContent(QPainter &painter, platform::Size size, bool opaque) const
{
    painter.save();
    painter.translate(0, size.height);
    painter.scale(1, -1);
    painter.setFont(m_font);
    QColor colour = m_textColor;
    if (opaque)
        colour.setAlpha(255);
    painter.setPen(colour);
    painter.drawText(QRectF(0, 0, size.width, size.height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     m_stringValue);
    painter.restore();
}

void QYTextFiledCenter::drawRect(QPainter &painter, const platform::Rect &)
{
    drawContent(painter, bounds().size);
}
