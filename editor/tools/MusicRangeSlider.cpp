#include "editor/tools/MusicRangeSlider.h"

#include "services/ResourceService.h"

#include <algorithm>

namespace {
constexpr double kTick = 21;
constexpr double kHandle = 10;

QImage image(const char *name)
{
    return ResourceService::imageWithfileName(QString::fromUtf8(name));
}
} // namespace

MusicRangeSlider::MusicRangeSlider(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    using platform::makeRect;
    const double W = frame.width(), H = frame.height();
    m_handleHeight = std::max(0.0, H - 5);
    m_backGroundView = new PNQDraggedView(makeRect(5, 5, W - 10, 12), this);
    m_backGroundView->setImage(image("Cut/imgBack.bmp"));
    m_backGroundView->setEnabled(false); // the track itself does not move
    m_videoPositionView = new PNQDraggedView(makeRect(5, 5, W - 10, 12), this);
    m_videoPositionView->setImage(image("Cut/imgTop.bmp"));
    m_musicRangeView = new PNQDraggedView(makeRect(5, 5, W - 10, 12), this);
    m_musicRangeView->setImage(image("Cut/pbTop.bmp"));
    // The music bar lets the pointer through to the video bar under it.
    m_musicRangeView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_leftMoveView = new PNQDraggedView(makeRect(0, 5, kHandle, m_handleHeight), this);
    m_rightMoveView = new PNQDraggedView(makeRect(W - kHandle, 5, kHandle, m_handleHeight), this);
    m_leftMoveView->setIsDraw(true);
    m_rightMoveView->setIsDraw(true);
    m_tickMarkView = new PNQDraggedView(makeRect(0, 0, kTick, kTick), this);
    m_tickMarkView->setImage(image("Cut/btnSlip_Normal.png"));
    for (PNQDraggedView *piece :
         {m_leftMoveView.data(), m_rightMoveView.data(), m_videoPositionView.data(), m_tickMarkView.data()})
        piece->setDelegate(this);
    setVideoRangeLowerValue(0, 1);
    setMusicRangeLowerValue(0, 0);
}

void MusicRangeSlider::setTravels()
{
    const double bgW = trackWidth();
    // Each piece's travel maps onto its value exactly; a handle stops at the other one.
    m_leftMoveView->setTravel(0, m_positionRightValue * bgW);
    m_rightMoveView->setTravel(m_positionLeftValue * bgW, bgW);
    m_videoPositionView->setTravel(5, 5 + bgW - m_videoPositionView->frame().width());
    m_tickMarkView->setTravel(0, frame().width() - kTick);
}

void MusicRangeSlider::layVideoRange(double handleY)
{
    const double bgW = trackWidth();
    const float L = m_positionLeftValue, R = m_positionRightValue;
    m_videoPositionView->setFrame(platform::makeRect(L * bgW + 5, 5, std::max(0.0, (R - L) * bgW), 12));
    m_leftMoveView->setFrame(platform::makeRect(L * bgW, handleY, kHandle, m_handleHeight));
    m_rightMoveView->setFrame(platform::makeRect(R * bgW, handleY, kHandle, m_handleHeight));
    setTravels();
}

void MusicRangeSlider::layMusicRange()
{
    const double bgW = trackWidth();
    const double width = std::min(m_musicRightValue, m_positionRightValue - m_positionLeftValue) * bgW;
    m_musicRangeView->setFrame(
        platform::makeRect(m_videoPositionView->frame().origin.x, 5, std::max(0.0, width), 12));
}

void MusicRangeSlider::applyRepeatLook()
{
    m_videoPositionView->setRepeatWidth(m_isRepeat ? m_musicRangeView->frame().width() : 0);
    m_videoPositionView->setImage(image(m_isRepeat ? "Cut/pbTop.bmp" : "Cut/imgTop.bmp"));
}

void MusicRangeSlider::setVideoRangeLowerValue(float lower, float upper)
{
    m_positionLeftValue = std::clamp(lower, 0.0f, 1.0f);
    m_positionRightValue = std::clamp(upper, m_positionLeftValue, 1.0f);
    layVideoRange(0);
    applyRepeatLook();
}

void MusicRangeSlider::setMusicRangeLowerValue(float lower, float duration)
{
    m_musicLeftValue = std::max(0.0f, lower);
    m_musicRightValue = std::clamp(duration, 0.0f, 1.0f);
    layMusicRange();
    applyRepeatLook();
}

void MusicRangeSlider::setIsRepeat(bool on)
{
    m_isRepeat = on;
    applyRepeatLook();
}

void MusicRangeSlider::setProgress(float p)
{
    m_progress = p;
    const platform::Rect f = m_tickMarkView->frame();
    m_tickMarkView->setFrame(
        platform::makeRect(p * (frame().width() - kTick), f.origin.y, f.width(), f.height()));
}

void MusicRangeSlider::setEnable(bool e)
{
    m_enable = e;
    for (PNQDraggedView *piece : {m_videoPositionView.data(), m_leftMoveView.data(), m_rightMoveView.data()})
        piece->setEnabled(e);
    m_leftMoveView->setHidden(!e);
    m_rightMoveView->setHidden(!e);
    m_tickMarkView->setHidden(e);
    m_tickMarkView->setEnabled(!e);
}

void MusicRangeSlider::frameDidChange()
{
    if (!m_backGroundView)
        return;
    m_backGroundView->setFrame(platform::makeRect(5, 5, frame().width() - 10, 12));
    layVideoRange(5);
    layMusicRange();
    setProgress(m_progress);
    applyRepeatLook();
}

void MusicRangeSlider::mouseDraggedWithSender(PNQDraggedView *sender)
{
    const double bgW = trackWidth();
    const double x = sender->frame().origin.x;
    if (sender == m_tickMarkView) {
        const double travel = frame().width() - kTick;
        m_progress = travel > 0 ? float(x / travel) : 0.0f;
        if (m_delegate)
            m_delegate->changeProgress(this);
    } else if (sender == m_leftMoveView) {
        const float start = std::min(float(x / bgW), m_positionRightValue);
        setVideoRangeLowerValue(start, m_positionRightValue);
        setMusicRangeLowerValue(start, m_musicRightValue);
    } else if (sender == m_rightMoveView) {
        const float end = std::max(float(x / bgW), m_positionLeftValue);
        setVideoRangeLowerValue(m_positionLeftValue, end);
        setMusicRangeLowerValue(m_musicLeftValue, m_musicRightValue);
    } else if (sender == m_videoPositionView) {
        const float width = m_positionRightValue - m_positionLeftValue;
        const float start = std::clamp(float((x - 5) / bgW), 0.0f, 1.0f - width);
        setVideoRangeLowerValue(start, start + width);
        setMusicRangeLowerValue(start,
                                std::min(m_musicRightValue, m_positionRightValue - m_positionLeftValue));
    }
    if (m_delegate)
        m_delegate->changeRangeValue(this);
}
