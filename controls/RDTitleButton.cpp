#include "controls/RDTitleButton.h"

#include "platform/FontAlias.h"
#include "platform/Log.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// The size `text` takes in `font` when laid out in a box of `box`.
QSizeF measure(const QString &text, const QFont &font, const QSizeF &box)
{
    return QFontMetricsF(font)
        .boundingRect(QRectF(QPointF(0, 0), box), Qt::AlignHCenter | Qt::TextWordWrap, text)
        .size();
}

QString rectText(const platform::Rect &r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

} // namespace

RDTitleButton::RDTitleButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    setFont(platform::FontAlias::systemFont(13));
}

void RDTitleButton::setAttributedStringTitle(const std::optional<StyledTitle> &title)
{
    m_attributedStringTitle = title;
    repaint();
}

void RDTitleButton::setTitleFont(const std::optional<QFont> &font)
{
    m_titleFont = font;
    repaint();
}

void RDTitleButton::setTitle(const QString &title)
{
    m_title = title;
    update();
}

void RDTitleButton::setFrame(const platform::Rect &frame)
{
    View::setFrame(frame);
    repaint();
    platform::log("frame:%@", rectText(frame));
}

void RDTitleButton::mouseDown(const platform::MouseEvent &)
{
    if (m_delegate)
        m_delegate->actionMouseDownForTitleButtonBlock(this);
}

void RDTitleButton::mouseUp(const platform::MouseEvent &)
{
    if (m_delegate)
        m_delegate->actionMouseUpForTitleButtonBlock(this);
}

void RDTitleButton::drawRect(QPainter &painter, const platform::Rect &)
{
    const platform::Rect area = bounds();
    const QSizeF box(area.width(), area.height());
    if (m_attributedStringTitle && !m_attributedStringTitle->text.isEmpty()) {
        const StyledTitle &t = *m_attributedStringTitle;
        const QFont drawFont = t.font.value_or(font());
        QFont measureFont = drawFont;
        platform::FontAlias::setPlatformSize(measureFont, 14);
        const QSizeF size = measure(t.text, measureFont, box);
        const platform::Rect r =
            platform::makeRect((box.width() - size.width()) / 2, (box.height() - size.height()) / 2,
                               size.width(), size.height());
        const Qt::Alignment align = (t.alignment ? t.alignment : Qt::AlignHCenter) | Qt::AlignVCenter;
        if (t.shadow && t.shadowColor.isValid())
            drawTextUpright(painter, r.offsetBy(t.shadowOffset.x(), t.shadowOffset.y()), t.text, drawFont,
                            t.shadowColor, align);
        drawTextUpright(painter, r, t.text, drawFont, t.color.isValid() ? t.color : QColor(Qt::white), align);
    }
    if (!m_title.isNull()) {
        if (m_backgroundColor.isValid())
            painter.fillRect(platform::toQRectF(area), m_backgroundColor);
        const QFont titleFont = m_titleFont.value_or(platform::FontAlias::fontNamed("Verdana", 12, m_title)
                                                         .value_or(platform::FontAlias::systemFont(12)));
        const QSizeF size = measure(m_title, titleFont, box);
        const platform::Rect r =
            platform::makeRect((box.width() - size.width()) / 2, (box.height() - size.height()) / 2,
                               size.width(), size.height());
        drawTextUpright(painter, r, m_title, titleFont,
                        m_titleColor.isValid() ? m_titleColor : QColor(Qt::black), Qt::AlignCenter);
    }
}
