#include "controls/TextLabel.h"

#include "platform/FontAlias.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <optional>

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

TextLabel::Layout TextLabel::layout() const
{
    // The platform's labels keep their text 2 points from the sides. A text too long for that gives up
    // the margins first, then wraps where the label is tall enough, then gets smaller (never under 10 px).
    const platform::Rect b = bounds();
    const QFontMetricsF metrics(m_font);
    const double width = metrics.horizontalAdvance(m_text);
    const QSizeF room(b.width(), b.height());
    if (metrics.height() > b.height() + 0.5) {
        const int flags = m_alignment | Qt::AlignVCenter;
        return {b, flags, fittingFont(m_font, m_text, room, flags)};
    }
    if (width <= b.width() - 4)
        return {b.insetBy(2, 0), int(m_alignment | Qt::AlignVCenter), m_font};
    if (width <= b.width())
        return {b.insetBy((b.width() - width) / 2, 0), int(m_alignment | Qt::AlignVCenter), m_font};
    const int flags = m_alignment | Qt::AlignVCenter | Qt::TextWordWrap;
    return {b, flags, fittingFont(m_font, m_text, room, flags)};
}

QFont TextLabel::drawnFont() const
{
    return m_text.isEmpty() ? m_font : layout().font;
}

void TextLabel::shareDrawnFont(const QList<TextLabel *> &labels)
{
    std::optional<QFont> smallest;
    for (const TextLabel *label : labels) {
        if (!label)
            continue;
        const QFont font = label->drawnFont();
        if (!smallest || QFontInfo(font).pixelSize() < QFontInfo(*smallest).pixelSize())
            smallest = font;
    }
    if (smallest)
        for (TextLabel *label : labels)
            if (label)
                label->setTextFont(*smallest);
}

void TextLabel::drawRect(QPainter &painter, const platform::Rect &)
{
    if (m_text.isEmpty())
        return;
    const Layout l = layout();
    drawTextUpright(painter, l.room, m_text, l.font, m_textColor, l.flags);
}
