#include "controls/NSProgressView.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "platform/Log.h"

NSProgressView::NSProgressView(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_progressBackView = new ImageView(platform::makeRect(0, 0, w, h), this);
    m_progressBackView->setImage(ResourceService::imageWithfileName("Resources/play_played_bkg.png"));
    m_progressBackView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_progressBackView->setCornerRadius(5);
    m_progressTintView = new ImageView(platform::makeRect(0, 0, 0, h), this);
    m_progressTintView->setImage(ResourceService::imageWithfileName("Resources/edit_trim_focus.png"));
    m_progressTintView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_progressTintView->setCornerRadius(5);
    // The subviews are placed by frameDidChange(), not by their masks.
    setAutoresizesSubviews(false);
}

NSProgressView::~NSProgressView()
{
    platform::log("%s", "-[NSProgressView dealloc]");
}

void NSProgressView::setProgress(float progress)
{
    platform::Rect tint = m_progressTintView->frame();
    tint.size.width = m_progressBackView->frame().width() * progress;
    m_progressTintView->setFrame(tint);
    m_progress = progress;
}

void NSProgressView::frameDidChange()
{
    const platform::Size size = frame().size;
    m_progressBackView->setFrame(platform::makeRect(0, 0, size.width, size.height));
    platform::Rect tint = m_progressTintView->frame();
    tint.size.width = size.width * m_progress;
    m_progressTintView->setFrame(tint);
}
