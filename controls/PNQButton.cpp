#include "controls/PNQButton.h"

#include "controls/ImageView.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "services/ResourceService.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

PNQButton::PNQButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    setFont(platform::FontAlias::systemFont(13));
}

PNQButton::~PNQButton() = default;

void PNQButton::setStateImages(const QString &stem)
{
    m_normalImage = ResourceService::imageWithfileName(stem + QStringLiteral("_Normal.png"));
    m_onImage = ResourceService::imageWithfileName(stem + QStringLiteral("_On.png"));
    m_downImage = ResourceService::imageWithfileName(stem + QStringLiteral("_Down.png"));
    m_disAbleImage = ResourceService::imageWithfileName(stem + QStringLiteral("_Disable.png"));
    update();
}

void PNQButton::setStateBackgroundImages(const QString &stem, const QString &extension)
{
    m_normalBackgroundImage =
        ResourceService::imageWithfileName(stem + QStringLiteral("_Normal") + extension);
    m_onBackgroundImage = ResourceService::imageWithfileName(stem + QStringLiteral("_On") + extension);
    m_downBackgroundImage = ResourceService::imageWithfileName(stem + QStringLiteral("_Down") + extension);
    m_selectedBackgroundImage = m_downBackgroundImage;
    m_disAbleBackgroundImage =
        ResourceService::imageWithfileName(stem + QStringLiteral("_Disable") + extension);
    update();
}

void PNQButton::setBordColor(const QColor &color)
{
    m_bordColor = color;
    applyLayer();
}

void PNQButton::setBorderWidth(double width)
{
    m_borderWidth = width;
    applyLayer();
}

void PNQButton::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    applyLayer();
}

// The layer look is the View's; a radius of 0 leaves the layer as it is.
void PNQButton::applyLayer()
{
    if (m_cornerRadius <= 0)
        return;
    if (m_bordColor.isValid()) {
        View::setBorderColor(m_bordColor);
        View::setBorderWidth(m_borderWidth);
    } else {
        View::setBorderWidth(0);
    }
    View::setCornerRadius(m_cornerRadius);
}

void PNQButton::setContentTitle(const QString &title)
{
    m_contentTitle = title;
    update();
}

void PNQButton::setSelected(bool selected)
{
    m_selected = selected;
    repaint();
}

void PNQButton::mouseEntered(const platform::MouseEvent &)
{
    m_isUp = true;
    if (isEnabled() && mouseEnteredCallback)
        mouseEnteredCallback(this);
    if (m_underLine)
        setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ForbiddenCursor);
    update();
}

void PNQButton::mouseExited(const platform::MouseEvent &)
{
    m_isUp = false;
    if (isEnabled() && mouseExitedCallback)
        mouseExitedCallback(this);
    setCursor(Qt::ArrowCursor);
    update();
}

void PNQButton::mouseDown(const platform::MouseEvent &)
{
    m_isDown = true;
    update();
}

void PNQButton::mouseUp(const platform::MouseEvent &event)
{
    // The press must have begun here and the release be over the button as it is now, so a button that
    // was moved or resized since it was made still clicks over its whole area.
    const bool click = m_isDown && bounds().contains(event.locationInView);
    m_isDown = false;
    update();
    if (click && isEnabled() && mouseDownAction)
        mouseDownAction(this);
}

void PNQButton::mouseDragged(const platform::MouseEvent &event)
{
    platform::log("%s x:%f", "-[PNQButton mouseDragged:]", event.locationInWindow.x);
}

QImage PNQButton::chosen(const QImage &normal, const QImage &on, const QImage &down, const QImage &selected,
                         const QImage &disabled) const
{
    if (!isEnabled())
        return disabled;
    if (m_isUp)
        return m_isDown ? down : on;
    if (m_selected)
        return selected;
    return m_isDown ? down : normal;
}

void PNQButton::drawRect(QPainter &painter, const platform::Rect &)
{
    const platform::Rect area = bounds();
    const platform::Size b = area.size;

    QImage image = chosen(m_normalImage, m_onImage, m_downImage, m_selectedImage, m_disAbleImage);
    if (image.isNull())
        image = m_selected && !m_selectedImage.isNull() ? m_selectedImage : m_normalImage;

    const QImage background = chosen(m_normalBackgroundImage, m_onBackgroundImage, m_downBackgroundImage,
                                     m_selectedBackgroundImage, m_disAbleBackgroundImage);
    if (!background.isNull()) {
        drawImageUpright(painter, area, background);
    } else {
        const QColor fill = isEnabled() ? m_backGroundColor : m_disAblebackGroundColor;
        if (fill.isValid())
            painter.fillRect(platform::toQRectF(area), fill);
    }

    const platform::Size i = ImageView::imageSize(image);
    double titleWidth = 0;
    if (!m_contentTitle.isEmpty()) {
        if (!m_contentColor.isValid())
            m_contentColor = Qt::white;
        const QColor color = isEnabled() ? m_contentColor : QColor(173, 173, 173);
        // A title too long for the room beside the image is drawn smaller (never under 10 px).
        const double room = image.isNull() && m_leftIconWidth == 0 ? b.width - m_titleRightMargin
                                                                    : b.width - i.width - m_leftIconWidth;
        const QFont titleFont = fittingFont(font(), m_contentTitle, QSizeF(room, b.height), Qt::TextWordWrap);
        const QRectF measured = QFontMetricsF(titleFont).boundingRect(QRectF(0, 0, room, b.height),
                                                                      Qt::TextWordWrap, m_contentTitle);
        const double w = measured.width();
        const double h = measured.height();
        const double y = (b.height - h) / 2;
        double x = 0;
        if (image.isNull() && m_leftIconWidth == 0) {
            if (!m_titlePosition) {
                x = std::max(0.0, std::min((b.width - w) / 2, b.width - m_titleRightMargin - w));
            } else {
                x = std::max(0.0, measured.x());
                if (m_titlePosition->left() != 0)
                    x += m_titlePosition->left();
                if (m_titlePosition->right() != 0)
                    x += b.width - w - m_titlePosition->right();
            }
        } else {
            double group = w + i.width;
            if (m_leftIconWidth > 0)
                group += m_leftIconWidth;
            if (m_contentImagePosition == 1)
                x = i.width;
            else if (m_contentImagePosition == 2)
                x = (b.width - group) / 2;
            else
                x = (b.width - group) / 2 + i.width + m_leftIconWidth;
        }
        const platform::Rect titleRect = platform::makeRect(x, y, w, h);
        drawTextUpright(painter, titleRect, m_contentTitle, titleFont, color, Qt::TextWordWrap);
        if (m_underLine) {
            // Under the text: the bottom edge of its rectangle, y being upwards here.
            painter.save();
            painter.setPen(QPen(color, 1));
            painter.drawLine(QPointF(x, y), QPointF(x + w, y));
            painter.restore();
        }
        titleWidth = w;
    }

    if (!image.isNull()) {
        double x = 0;
        if (m_contentImagePosition == 1)
            x = 0;
        else if (m_contentImagePosition == 2)
            x = b.width - i.width;
        else
            x = (b.width - (titleWidth + i.width)) / 2;
        drawImageUpright(painter, platform::makeRect(x, (b.height - i.height) / 2, i.width, i.height), image);
    }
}
