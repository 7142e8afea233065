#include "controls/TextLabel.h"

#include "platform/FontAlias.h"

#include <QFontMetricsF>

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
    // The platform's labels keep their text 2 points from the sides. A text too long for that gives up
    // the margins first, then wraps where the label is tall enough, then gets smaller (never under 10 px).
    const platform::Rect b = bounds();
    const QFontMetricsF metrics(m_font);
    const double width = metrics.horizontalAdvance(m_text);
    if (metrics.height() > b.height() + 0.5) {
        const int flags = m_alignment | Qt::AlignVCenter;
        drawTextUpright(painter, b, m_text, fittingFont(m_font, m_text, QSizeF(b.width(), b.height()), flags),
                        m_textColor, flags);
    } else if (width <= b.width() - 4) {
        drawTextUpright(painter, b.insetBy(2, 0), m_text, m_font, m_textColor,
                        m_alignment | Qt::AlignVCenter);
    } else if (width <= b.width()) {
        drawTextUpright(painter, b.insetBy((b.width() - width) / 2, 0), m_text, m_font, m_textColor,
                        m_alignment | Qt::AlignVCenter);
    } else {
        const int flags = m_alignment | Qt::AlignVCenter | Qt::TextWordWrap;
        drawTextUpright(painter, b, m_text, fittingFont(m_font, m_text, QSizeF(b.width(), b.height()), flags),
                        m_textColor, flags);
    }
}
