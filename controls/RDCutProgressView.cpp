#include "controls/RDCutProgressView.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "platform/Log.h"

#include <QString>

#include <algorithm>

namespace {

constexpr double handleWidth = 9;
constexpr double handleHeight = 12;

QString rectText(const platform::Rect &r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

float clamp01(double v)
{
    return float(std::clamp(v, 0.0, 1.0));
}

} // namespace

RDCutProgressView::RDCutProgressView(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    // Every subview is placed by this class (frameDidChange), not by autoresizing.
    setAutoresizesSubviews(false);
    const platform::Rect bar = barRect();
    auto makeBarView = [&] {
        auto *view = new ImageView(bar, this);
        view->setImageScaling(ImageView::Scaling::AxesIndependently);
        view->setCornerRadius(5);
        return view;
    };
    m_progressBackView = makeBarView();
    m_progressTintView = makeBarView();
    m_tickMarkView = new ImageView(platform::makeRect(0, frame.height() - 24, 15, 24), this);
    m_handLeftView = new ImageView(platform::makeRect(0, 0, handleWidth, handleHeight), this);
    m_handRightView = new ImageView(platform::makeRect(bar.width() + 9, 0, handleWidth, handleHeight), this);
    applyImages();
}

RDCutProgressView::~RDCutProgressView()
{
    platform::log("%s", "-[RDCutProgressView dealloc]");
}

platform::Rect RDCutProgressView::barRect() const
{
    const platform::Size size = frame().size;
    return platform::makeRect(9, (size.height - 10) / 2, size.width - 18, 10);
}

void RDCutProgressView::setViewX(ImageView *view, double x)
{
    view->setFrameOrigin(platform::Point{x, view->frame().minY()});
}

void RDCutProgressView::applyImages()
{
    const bool cutter = m_type == 1;
    const QString plain = cutter ? "Cut/imgBack.bmp" : "Resources/play_notplayed_bkg.png";
    const QString focus = cutter ? "Cut/imgTop.bmp" : "Resources/edit_trim_focus.png";
    const QString left = "Resources/edit_trimleft_normal.png";
    const QString right = "Resources/edit_trimright_normal.png";
    m_progressBackView->setImage(ResourceService::imageWithfileName(m_isFanxuan ? focus : plain));
    m_progressTintView->setImage(ResourceService::imageWithfileName(m_isFanxuan ? plain : focus));
    m_handLeftView->setImage(ResourceService::imageWithfileName(m_isFanxuan ? right : left));
    m_handRightView->setImage(ResourceService::imageWithfileName(m_isFanxuan ? left : right));
    m_tickMarkView->setImage(ResourceService::imageWithfileName(
        m_type == 1 || m_type == 2 ? "Cut/btnSlip_Normal.png" : "Resources/edit_trimknob_normal.png"));
}

void RDCutProgressView::layoutBar()
{
    const platform::Rect bar = barRect();
    m_progressBackView->setFrame(bar);
    m_progressTintView->setFrame(bar);
}

double RDCutProgressView::startBoundary() const
{
    return m_handLeftView->frame().minX() + (m_isFanxuan ? 0 : handleWidth);
}

double RDCutProgressView::endBoundary() const
{
    return m_handRightView->frame().minX() + (m_isFanxuan ? handleWidth : 0);
}

void RDCutProgressView::layoutTint()
{
    platform::Rect tint = m_progressTintView->frame();
    tint.origin.x = startBoundary();
    tint.size.width = endBoundary() - tint.origin.x;
    m_progressTintView->setFrame(tint);
}

float RDCutProgressView::tickValue() const
{
    const platform::Rect bar = barRect();
    const platform::Rect tick = m_tickMarkView->frame();
    return bar.width() > 0 ? float((tick.minX() + tick.width() / 2 - bar.minX()) / bar.width()) : 0.0f;
}

void RDCutProgressView::setProgress(float progress)
{
    m_progress = progress;
    const platform::Rect bar = barRect();
    const double tw = m_tickMarkView->frame().width();
    setViewX(m_tickMarkView, std::min(bar.minX() + progress * bar.width() - tw / 2, frame().width() - tw));
}

void RDCutProgressView::setLowerValue(float value)
{
    m_handleType = 1;
    const platform::Rect bar = barRect();
    const double x = bar.minX() +
                     std::min(std::max(0.0, value * bar.width()), m_handRightView->frame().minX()) -
                     (m_isFanxuan ? 0 : handleWidth);
    setViewX(m_handLeftView, x);
    layoutTint();
    m_lowerValue = value;
    setProgress(value);
}

void RDCutProgressView::placeEndHandle(float value)
{
    const platform::Rect bar = barRect();
    const double tw = m_tickMarkView->frame().width();
    const double x = std::min(std::max(tw / 2, bar.minX() + value * bar.width()), frame().width() - tw / 2) -
                     (m_isFanxuan ? handleWidth : 0);
    setViewX(m_handRightView, x);
}

void RDCutProgressView::setUpperValue(float value)
{
    m_handleType = 2;
    placeEndHandle(value);
    layoutTint();
    m_upperValue = value;
    setProgress(value);
}

void RDCutProgressView::setLowerValueUpperValue(float lower, float upper)
{
    layoutBar();
    platform::log("_progressBackView.frame:%@", rectText(m_progressBackView->frame()));
    if (upper == 0)
        upper = 1.0f;
    m_handleType = 1;
    placeEndHandle(upper);
    m_upperValue = upper;
    // The start handle goes where setLowerValue() puts it, so that the next drag of either handle reads
    // back the same start value.
    const platform::Rect bar = barRect();
    const double x = bar.minX() +
                     std::min(std::max(0.0, lower * bar.width()), m_handRightView->frame().minX()) -
                     (m_isFanxuan ? 0 : handleWidth);
    setViewX(m_handLeftView, x);
    layoutTint();
    m_lowerValue = lower;
    setProgress(lower);
}

void RDCutProgressView::setIsFanxuan(bool on)
{
    m_isFanxuan = on;
    const platform::Rect bar = barRect();
    const double x = m_tickMarkView->frame().minX();
    if (m_type == 1 || m_type == 2)
        m_tickMarkView->setFrame(platform::makeRect(x, bar.midY() - 6, 12, 12));
    else
        m_tickMarkView->setFrame(platform::makeRect(x, bar.minY(), 17, 17));
    applyImages();
    setUpperValue(m_upperValue);
    setLowerValue(m_lowerValue);
    update();
}

void RDCutProgressView::setType(int64_t type)
{
    m_type = type;
    setIsFanxuan(m_isFanxuan);
}

void RDCutProgressView::frameDidChange()
{
    layoutBar();
    const platform::Rect bar = barRect();
    if (m_type == 1 || m_type == 2)
        m_tickMarkView->setFrame(platform::makeRect(0, bar.midY() - 6, 12, 12));
    else
        m_tickMarkView->setFrame(platform::makeRect(0, frame().height() - 17, 17, 17));
    m_handLeftView->setFrame(platform::makeRect(0, 0, handleWidth, handleHeight));
    m_handRightView->setFrame(platform::makeRect(bar.width() + 9, 0, handleWidth, handleHeight));
    setProgress(m_progress);
    setUpperValue(m_upperValue);
    setLowerValue(m_lowerValue);
}

void RDCutProgressView::setDisable(bool disable)
{
    m_disable = disable;
    m_tickMark = true;
    m_handLeftView->setHidden(disable);
    m_handRightView->setHidden(disable);
    update();
}

void RDCutProgressView::setTickHidden(bool hidden)
{
    m_tickHidden = hidden;
    m_tickMarkView->setHidden(hidden);
}

void RDCutProgressView::mouseDown(const platform::MouseEvent &event)
{
    if (m_disable)
        return;
    platform::log("%s", "-[RDCutProgressView mouseDown:]");
    m_handtick = false;
    const platform::Point p = event.locationInView;
    const platform::Rect bar = barRect();
    const double lowerHalf = bar.minY() + bar.height() / 2;
    const double left = m_handLeftView->frame().minX();
    const double right = m_handRightView->frame().minX();
    if (left < p.x && p.x < left + handleWidth && p.y < lowerHalf) {
        m_handLeft = true;
        m_handRight = false;
    } else if (right < p.x && p.x < right + handleWidth && p.y < lowerHalf) {
        m_handRight = true;
        m_handLeft = false;
    } else {
        m_handLeft = m_handRight = false;
        m_handtick = true;
        const double tw = m_tickMarkView->frame().width();
        const double x = std::min(std::max(p.x, 0.0), bar.maxX()) - tw / 2;
        setViewX(m_tickMarkView, x);
        // Clamped like the drag's seek: a click near the ends must not seek outside the media.
        const double span = bar.width() - tw;
        const float seek = span > 0 ? clamp01(std::max(0.0, x - bar.minX()) / span) : 0.0f;
        if (m_delegate)
            m_delegate->actionSeekToTimeForCutProgressViewBlock(this, seek);
    }
    const float value = tickValue();
    platform::log("progress : %f", value);
    if (m_delegate)
        m_delegate->actionMouseDownForCutProgressViewBlock(this, value);
}

void RDCutProgressView::mouseDragged(const platform::MouseEvent &event)
{
    if (m_disable)
        return;
    if (m_handtick && !m_tickMark)
        return;
    const platform::Point p = event.locationInView;
    const platform::Rect bar = barRect();
    const double tw = m_tickMarkView->frame().width();
    if (m_handtick) {
        const double x = std::min(std::max(bar.minX() - tw / 2, p.x), bar.maxX() - tw / 2);
        setViewX(m_tickMarkView, x);
        const double span = bar.width() - tw;
        m_progress = span > 0 ? float(std::max(0.0, x - bar.minX()) / span) : 0.0f;
        platform::log("%s ：touchPoint.x : %f touchPoint.y : %f progress:%f",
                      "-[RDCutProgressView mouseDragged:]", p.x, p.y, m_progress);
        if (m_delegate)
            m_delegate->actionSeekToTimeForCutProgressViewBlock(this, clamp01(m_progress));
        return;
    }
    if (!m_handLeft && !m_handRight)
        return;
    if (m_handLeft) {
        const double centre =
            std::clamp(p.x, bar.minX() - handleWidth / 2, m_handRightView->frame().minX() - handleWidth / 2);
        setViewX(m_handLeftView, centre - handleWidth / 2);
        setViewX(m_tickMarkView, startBoundary() - tw / 2);
        m_handleType = 1;
    } else {
        const double x = std::max(m_handLeftView->frame().minX() + handleWidth,
                                  std::min(p.x, bar.width() + 1.5 * handleWidth) - handleWidth / 2);
        setViewX(m_handRightView, x);
        setViewX(m_tickMarkView, endBoundary() - tw / 2);
        m_handleType = 2;
    }
    layoutTint();
    m_lowerValue = bar.width() > 0 ? clamp01((startBoundary() - bar.minX()) / bar.width()) : 0.0f;
    m_upperValue = bar.width() > 0 ? clamp01((endBoundary() - bar.minX()) / bar.width()) : 0.0f;
    if (m_delegate)
        m_delegate->actionMouseMovedForCutProgressViewBlock(this, m_lowerValue, m_upperValue,
                                                            m_handLeft ? 1 : 2);
}

void RDCutProgressView::mouseUp(const platform::MouseEvent &)
{
    if (m_disable)
        return;
    m_handLeft = m_handRight = m_handtick = false;
    const float value = tickValue();
    platform::log("progress : %f", value);
    if (m_delegate)
        m_delegate->actionMouseUpForCutProgressViewBlock(this, value);
}

void RDCutProgressView::mouseMoved(const platform::MouseEvent &)
{
    platform::log("%s", "-[RDCutProgressView mouseMoved:]");
}
