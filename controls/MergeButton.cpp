#include "controls/MergeButton.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "platform/Log.h"

MergeButton::MergeButton(const platform::Rect &frame, QWidget *parent) : Button(frame, parent)
{
    setImage(ResourceService::imageWithfileName("Resources/MergeBackground.png"));
    m_knobView = new ImageView(platform::makeRect(0, 0, frame.width() / 2, frame.height()), this);
    m_knobView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_knobView->setAutoresizingMask(HeightSizable);
    m_knobView->setImage(ResourceService::imageWithfileName("Resources/MergeKnob.png"));
}

MergeButton::~MergeButton()
{
    platform::log("%s", "-[MergeButton dealloc]");
}

void MergeButton::setselected(bool selected)
{
    m_selected = selected;
    const double w = frame().width();
    const double h = frame().height();
    m_knobView->setFrame(platform::makeRect(selected ? w / 2 : 0, 0, w / 2, h));
}
