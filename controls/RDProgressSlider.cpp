#include "controls/RDProgressSlider.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "platform/Log.h"

#include <algorithm>

namespace {

// Set by the default press callback: the delegate did not implement it.
bool pressCallbackMissing = false;

} // namespace

void RDProgressSliderDelegate::actionMouseDownForProgressSliderBlock(RDProgressSlider *, float)
{
    pressCallbackMissing = true;
}

RDProgressSlider::RDProgressSlider(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    const QImage track = ResourceService::imageWithfileName("Cut/imgBack.bmp");
    auto makeTrack = [&] {
        auto *view = new ImageView(platform::makeRect(0, (h - 8) / 2, w, 8), this);
        view->setImage(track);
        view->setImageScaling(ImageView::Scaling::AxesIndependently);
        view->setAutoresizingMask(MinXMargin | MaxXMargin | WidthSizable | MinYMargin | MaxYMargin |
                                  HeightSizable);
        view->setCornerRadius(5);
        return view;
    };
    m_progressBackView = makeTrack();
    m_progressTintView = makeTrack();
    m_tickMarkView = new ImageView(platform::makeRect(0, 0, h, h), this);
    m_tickMarkView->setImage(ResourceService::imageWithfileName("Cut/btnSlip_Normal.png"));
    m_tickMarkView->setImageScaling(ImageView::Scaling::AxesIndependently);
}

RDProgressSlider::~RDProgressSlider()
{
    platform::log("%s", "-[RDProgressSlider dealloc]");
}

void RDProgressSlider::setTintWidth(double width)
{
    platform::Rect tint = m_progressTintView->frame();
    tint.size.width = width;
    m_progressTintView->setFrame(tint);
}

void RDProgressSlider::setProgress(float progress)
{
    m_progress = progress;
    const double w = frame().width();
    platform::Rect thumb = m_tickMarkView->frame();
    const double room = w - thumb.width();
    const float x = float(room) * progress;
    thumb.origin.x = std::min(std::max(0.0, double(x)), room);
    m_tickMarkView->setFrame(thumb);
    platform::log("progress:%f", progress);
    setTintWidth(thumb.minX() + frame().height() / 2);
}

void RDProgressSlider::frameDidChange()
{
    platform::Rect thumb = m_tickMarkView->frame();
    const double room = frame().width() - thumb.width();
    thumb.origin.x = std::min(std::max(0.0, m_progress * room), room);
    m_tickMarkView->setFrame(thumb);
    platform::log("progress:%f", m_progress);
    setTintWidth(thumb.minX() + thumb.width() / 2);
    repaint();
}

void RDProgressSlider::setTickrefresh(bool on)
{
    m_tickrefresh = on;
    if (!on)
        return;
    const platform::Size size = ImageView::imageSize(m_tickMarkView->image());
    const platform::Rect thumb = m_tickMarkView->frame();
    m_tickMarkView->setFrame(
        platform::makeRect(thumb.minX(), (frame().height() - size.height) / 2, size.width, size.height));
}

void RDProgressSlider::mouseDown(const platform::MouseEvent &event)
{
    if (m_disable)
        return;
    if (!m_delegate)
        return;
    pressCallbackMissing = false;
    m_delegate->actionMouseDownForProgressSliderBlock(this, m_progress);
    if (pressCallbackMissing)
        return;
    mouseDragged(event);
}

void RDProgressSlider::mouseDragged(const platform::MouseEvent &event)
{
    if (m_disable)
        return;
    const double px = event.locationInView.x;
    const platform::Rect back = m_progressBackView->frame();
    platform::Rect thumb = m_tickMarkView->frame();
    const double half = thumb.width() / 2;
    const double centre = std::min(std::max(px, half), back.maxX() - half);
    thumb.origin.x = centre - half;
    m_tickMarkView->setFrame(thumb);
    setTintWidth(thumb.minX() + half);
    // A track not wider than the thumb leaves no room to slide: the value is 0, not a division by 0.
    const float room = float(back.width() - thumb.width());
    m_progress = room > 0 ? float(thumb.minX() - back.minX()) / room : 0.0f;
    platform::log("progressValue:%f", m_progress);
    if (m_delegate)
        m_delegate->actionProgressForProgressSliderBlock(this, m_progress);
}

void RDProgressSlider::mouseUp(const platform::MouseEvent &)
{
    if (m_disable)
        return;
    if (m_delegate)
        m_delegate->actionMouseUpForProgressSliderBlock(this, m_progress);
}
