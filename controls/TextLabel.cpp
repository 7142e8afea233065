#include "controls/TextLabel.h"

#include "platform/FontAlias.h"

TextLabel::TextLabel(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent), m_font(platform::FontAlias::systemFont(13))
{
}

void TextLabel::setText(const QString &text)
{
    m_text = text;
    update();
}

void TextLabel::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

void TextLabel::setTextFont(const QFont &font)
{
    m_font = font;
    update();
}

void TextLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void TextLabel::drawRect(QPainter &painter, const platform::Rect &)
{
    if (m_text.isEmpty())
        return;
    // The platform's labels keep their text 2 points from the sides.
    drawTextUpright(painter, bounds().insetBy(2, 0), m_text, m_font, m_textColor,
                    m_alignment | Qt::AlignVCenter);
}
