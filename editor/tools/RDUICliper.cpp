#include "editor/tools/RDUICliper.h"

#include "editor/tools/ClipRectGeometry.h"
#include "editor/tools/RDCropTmpView.h"
#include "platform/Log.h"

#include <QPainter>

#include <algorithm>

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

const QColor kHandleColor(90, 216, 238);
constexpr double kMinDragSide = 20;

} // namespace

RDUICliper::RDUICliper(const Rect &frame, QWidget *parent)
    : View(frame, parent), m_oFrame(frame), m_cliprect(makeRect(0, 0, frame.width(), frame.height()))
{
    createStrips();
    const double w = frame.width();
    const double h = frame.height();
    m_leftView->setFrame(makeRect(0, 0, 1, h));
    m_rightView->setFrame(makeRect(w - 1, 0, 1, h));
    m_bottomView->setFrame(makeRect(0, 0, w, 1));
    m_topView->setFrame(makeRect(0, h - 1, w, 1));
}

RDUICliper::RDUICliper(platform::View *host, bool freedom)
    : RDUICliper(host ? host->bounds() : Rect{}, nullptr)
{
    m_freedom = freedom;
    m_cliprect = centredSquare();
    if (host)
        host->addSubview(this);
}

RDUICliper::~RDUICliper()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}

void RDUICliper::createStrips()
{
    for (RDCropTmpView **strip : {&m_leftView, &m_rightView, &m_topView, &m_bottomView}) {
        *strip = new RDCropTmpView(this);
        (*strip)->setBackgroundColor(QColor(0, 0, 0, 128));
    }
}

Rect RDUICliper::centredSquare() const
{
    return ClipRectGeometry::centredSquare(m_oFrame.size);
}

void RDUICliper::setFrameRect(const Rect &rect)
{
    m_oFrame = rect;
    setFrame(rect);
    m_cliprect = centredSquare();
    display();
}

void RDUICliper::setVideoSize(Size size)
{
    m_videoSize = size;
    m_cliprect = centredSquare();
    display();
}

void RDUICliper::setCropType(int type)
{
    m_crop_Type = type;
    const double W = m_oFrame.width();
    const double H = m_oFrame.height();
    const double ratio = H > 0 ? W / H : 0;
    float width = 0;
    float height = 0;
    switch (type) {
    case 1:
    case 3:
        width = height = float(std::min(W, H));
        break;
    case 2:
        width = float(W);
        height = float(H);
        break;
    case 4:
        if (ratio > 1.7777777777777777)
            height = float(H), width = float(16 * H / 9);
        else
            width = float(W), height = float(9 * W / 16);
        break;
    case 5:
        if (ratio > 0.5625)
            width = float(9 * H / 16), height = float(H);
        else
            width = float(W), height = float(16 * W / 9);
        break;
    case 6:
        if (ratio > 1.3333333333333333)
            width = float(12 * H / 9), height = float(H);
        else
            width = float(W), height = float(9 * W / 12);
        break;
    case 7:
        if (ratio > 0.75)
            width = float(9 * H / 12), height = float(H);
        else
            width = float(W), height = float(12 * W / 9);
        break;
    default:
        update();
        return;
    }
    m_cliprect = makeRect(float((W - width) / 2), float((H - height) / 2), width, height);
    update();
}

void RDUICliper::setClipRect(const Rect &rect)
{
    m_cliprect = ClipRectGeometry::withSideLimits(rect, frame().size, 60);
    showRect(m_cliprect);
    update();
}

Rect RDUICliper::getPercentClipRect() const
{
    return ClipRectGeometry::fractionOf(m_cliprect, frame().size);
}

double RDUICliper::getclipRectScale() const
{
    if (m_oFrame.width() <= 0)
        return 0;
    return float(m_videoSize.width / m_oFrame.width());
}

Rect RDUICliper::getclipRect() const
{
    return ClipRectGeometry::scaled(m_cliprect, getclipRectScale());
}

void RDUICliper::setclipEDGE(const Rect &rect)
{
    m_cliprect = rect;
    update();
}

void RDUICliper::ChangeclipEDGE(float dx1, float dx2, float dy1, float dy2)
{
    bool clamped = false;
    m_cliprect = ClipRectGeometry::movedEdges(m_cliprect, dx1, dx2, dy1, dy2, m_oFrame.size, &clamped);
    if (!clamped)
        update();
}

void RDUICliper::showRect(const Rect &rect)
{
    RDCropTmpView::layAround(rect, frame().size, m_leftView, m_rightView, m_topView, m_bottomView);
}

void RDUICliper::readBackShownRect()
{
    m_cliprect = RDCropTmpView::rectBetween(m_leftView, m_rightView, m_topView, m_bottomView);
}

int RDUICliper::zoneAt(Point p) const
{
    // The crop handles are easier to catch than the watermark's: 30 points above and below an edge, and
    // 20 either side of an edge's centre. The pointer is judged in single precision.
    return ClipRectGeometry::zoneAt(m_cliprect, Point{float(p.x), float(p.y)}, 30, 20);
}

void RDUICliper::mouseDown(const platform::MouseEvent &event)
{
    if (m_delegate)
        m_delegate->actionMoveBeginForRDUICliperBlock(this, Rect{});
    const Point p = event.locationInView;
    m_touchBeginPoint = p;
    // The user grabs what is on screen, even when a reset of the stored rectangle has not been drawn yet.
    readBackShownRect();
    const int zone = zoneAt(p);
    if (zone != 0)
        m_cropTouchPoint = zone;
    if (zone == 9) {
        m_left = float(float(p.x) - m_cliprect.minX());
        m_bottom = float(float(p.y) - m_cliprect.minY());
    }
    platform::log("RDUICliper press: frame %.1f x %.1f, zone %d, rect %.1f %.1f %.1f %.1f", frame().width(),
                  frame().height(), m_cropTouchPoint, m_cliprect.minX(), m_cliprect.minY(),
                  m_cliprect.width(), m_cliprect.height());
}

void RDUICliper::moveTo(Point p)
{
    m_cliprect = ClipRectGeometry::movedWithin(m_cliprect, Point{p.x - m_left, p.y - m_bottom}, frame().size);
}

void RDUICliper::mouseDragged(const platform::MouseEvent &event)
{
    const Size size = frame().size;
    const Point p{std::clamp(event.locationInView.x, 0.0, size.width),
                  std::clamp(event.locationInView.y, 0.0, size.height)};
    if (m_crop_Type == 2) {
        mouseMove(p);
        return;
    }
    if (m_cropTouchPoint == 9)
        moveTo(p);
    else
        m_cliprect = ClipRectGeometry::resizedByHandle(m_cliprect, m_cropTouchPoint, p, kMinDragSide);
    finishDragStep();
}

void RDUICliper::mouseMove(Point p)
{
    const Size size = frame().size;
    // Without a video size the overlay's own shape stands in (it is laid over the picture's aspect).
    float ratio = 1;
    if (m_videoSize.width > 0 && m_videoSize.height > 0)
        ratio = float(m_videoSize.width) / float(m_videoSize.height);
    else if (size.width > 0 && size.height > 0)
        ratio = float(size.width / size.height);

    const int zone = m_cropTouchPoint;
    if (zone >= 1 && zone <= 4) {
        const bool top = zone == 1 || zone == 2;
        const bool leftSide = zone == 1 || zone == 3;
        float hgt = float(top ? p.y - m_cliprect.minY() : m_cliprect.maxY() - p.y);
        // The width follows the height; the height is limited so that the moving side stays inside.
        const double room = leftSide ? m_cliprect.maxX() : size.width - m_cliprect.minX();
        if (ratio * hgt > room)
            hgt = float(room / ratio);
        const float wid = ratio * hgt;
        m_cliprect = ClipRectGeometry::resizedFromCorner(
            m_cliprect, zone, std::max(double(wid), kMinDragSide), std::max(double(hgt), kMinDragSide));
    } else if (zone == 9) {
        moveTo(p);
    }
    finishDragStep();
}

void RDUICliper::finishDragStep()
{
    showRect(m_cliprect);
    update();
    platform::log("RDUICliper drag: zone %d, rect %.1f %.1f %.1f %.1f", m_cropTouchPoint, m_cliprect.minX(),
                  m_cliprect.minY(), m_cliprect.width(), m_cliprect.height());
    if (m_delegate)
        m_delegate->actionMovedForRDUICliperBlock(this, m_cliprect);
}

void RDUICliper::mouseUp(const platform::MouseEvent &event)
{
    m_cropTouchPoint = 0;
    platform::log("RDUICliper release: rect %.1f %.1f %.1f %.1f", m_cliprect.minX(), m_cliprect.minY(),
                  m_cliprect.width(), m_cliprect.height());
    if (m_fileType == 1 && event.locationInView == m_touchBeginPoint && m_delegate)
        m_delegate->actionMoveEndForRDUICliperBlock(this, getPercentClipRect());
}

void RDUICliper::drawRect(QPainter &painter, const Rect &)
{
    readBackShownRect();
    ClipRectGeometry::drawHandles(painter, m_cliprect, kHandleColor, m_crop_Type != 2);
    ClipRectGeometry::drawOutline(painter, m_cliprect, kHandleColor);
}
