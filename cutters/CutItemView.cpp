#include "cutters/CutItemView.h"

#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "model/HelpClass.h"
#include "platform/FontAlias.h"
#include "platform/TextField.h"
#include "toolkit/TimeFieldGroup.h"

#include <QCursor>

CutItemView::CutItemView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_backView = new ImageView(platform::makeRect(0, 0, w, h - 20), this);
    m_backView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_iconView = new ImageView(platform::makeRect(10, 10, w - 20, 67.5), this);
    m_titleField = new TextLabel(platform::makeRect(0, h - 37, w, 14), this);
    m_titleField->setTextFont(platform::FontAlias::systemFont(11));
    m_titleField->setTextColor(Qt::black);
    m_titleField->setAlignment(Qt::AlignHCenter);
    // The children only show; the row takes the mouse.
    for (QWidget *child : std::initializer_list<QWidget *>{m_backView, m_iconView, m_titleField})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

CutItemView::~CutItemView() = default;

QString CutItemView::titleFor(const CutItem &item)
{
    // Split as the cut's time fields split it, so the row and the fields agree (1.15 s shows .15).
    const auto clock = [](double seconds) {
        int hours, minutes, secs, hundredths;
        TimeFieldGroup::split(seconds, hours, minutes, secs, hundredths);
        return HelpClass::retrnTimeToStr(hours, minutes, secs, hundredths);
    };
    return clock(item.startTime) + QLatin1Char('-') + clock(item.endTime);
}

void CutItemView::setItem(const std::shared_ptr<CutItem> &item)
{
    m_item = item;
    m_iconView->setImage(item ? item->thumbImage : QImage());
    m_titleField->setText(item ? titleFor(*item) : QString());
    applyLook();
}

void CutItemView::setSelected(bool selected)
{
    m_selected = selected;
    applyLook();
}

void CutItemView::applyLook()
{
    const QImage &back = m_selected ? m_sbackGroundImage : m_nbackGroundImage;
    if (!back.isNull())
        m_backView->setImage(back);
    update();
}

void CutItemView::mouseDown(const platform::MouseEvent &)
{
    m_pressed = isEnabled();
}

void CutItemView::mouseUp(const platform::MouseEvent &event)
{
    const bool inside = bounds().contains(event.locationInView);
    const bool click = m_pressed && inside && isEnabled();
    m_pressed = false;
    if (click && action)
        action(this);
}

platform::Point CutItemView::pointerInWindow() const
{
    // The pointer in the row's own coordinates, as the list asks for it.
    const QPoint local = mapFromGlobal(QCursor::pos());
    return fromQt(QPointF(local));
}

void CutItemView::enterEvent(QEnterEvent *event)
{
    platform::View::enterEvent(event);
    if (isEnabled() && mouseEntered) {
        const platform::Point p = fromQt(event->position());
        mouseEntered(this, p.x, p.y);
    }
}

void CutItemView::leaveEvent(QEvent *event)
{
    platform::View::leaveEvent(event);
    if (isEnabled() && mouseExited) {
        const platform::Point p = pointerInWindow();
        mouseExited(this, p.x, p.y);
    }
}
