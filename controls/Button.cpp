#include "controls/Button.h"

#include "controls/ImageView.h"

#include <QPainter>

Button::Button(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent) {}

void Button::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void Button::setAlternateImage(const QImage &image)
{
    m_alternateImage = image;
    update();
}

void Button::setTitle(const QString &title)
{
    m_title = title;
    update();
}

void Button::mouseDown(const platform::MouseEvent &)
{
    m_tracking = true;
    m_pressed = true;
    update();
}

void Button::mouseDragged(const platform::MouseEvent &event)
{
    const bool inside = m_tracking && bounds().contains(event.locationInView);
    if (inside != m_pressed) {
        m_pressed = inside;
        update();
    }
}

void Button::mouseUp(const platform::MouseEvent &event)
{
    const bool click = m_tracking && isEnabled() && bounds().contains(event.locationInView);
    m_tracking = false;
    m_pressed = false;
    update();
    if (click && action)
        action(this);
}

void Button::drawRect(QPainter &painter, const platform::Rect &)
{
    const QImage &shown = m_pressed && !m_alternateImage.isNull() ? m_alternateImage : m_image;
    if (!shown.isNull()) {
        platform::Size size = ImageView::imageSize(shown);
        const platform::Rect area = bounds();
        if (size.width > area.width() || size.height > area.height()) {
            const double scale = std::min(area.width() / size.width, area.height() / size.height);
            size = platform::Size{size.width * scale, size.height * scale};
        }
        drawImageUpright(painter,
                         platform::makeRect((area.width() - size.width) / 2,
                                            (area.height() - size.height) / 2, size.width, size.height),
                         shown);
    }
    if (!m_title.isEmpty())
        drawTextUpright(painter, bounds(), m_title, font(), isEnabled() ? Qt::black : Qt::gray,
                        Qt::AlignCenter);
}
