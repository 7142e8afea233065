#include "editor/tools/RDUICliper.h"

#include "editor/tools/RDCropTmpView.h"
#include "platform/Log.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

const QColor kHandleColor(90, 216, 238);
constexpr double kHandle = 10;

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
    const double w = m_oFrame.width();
    const double h = m_oFrame.height();
    const float side = float(std::min(w, h));
    return makeRect(float((w - side) / 2), float((h - side) / 2), side, side);
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
    const Size size = frame().size;
    m_cliprect = makeRect(rect.minX(), rect.minY(), std::max(60.0, std::min(rect.width(), size.width)),
                          std::max(60.0, std::min(rect.height(), size.height)));
    showRect(m_cliprect);
    update();
}

Rect RDUICliper::getPercentClipRect() const
{
    const Size size = frame().size;
    if (size.width <= 0 || size.height <= 0)
        return Rect{};
    return makeRect(m_cliprect.minX() / size.width, m_cliprect.minY() / size.height,
                    m_cliprect.width() / size.width, m_cliprect.height() / size.height);
}

double RDUICliper::getclipRectScale() const
{
    if (m_oFrame.width() <= 0)
        return 0;
    return float(m_videoSize.width / m_oFrame.width());
}

Rect RDUICliper::getclipRect() const
{
    const double s = getclipRectScale();
    return makeRect(m_cliprect.minX() * s, m_cliprect.minY() * s, m_cliprect.width() * s,
                    m_cliprect.height() * s);
}

void RDUICliper::setclipEDGE(const Rect &rect)
{
    m_cliprect = rect;
    update();
}

void RDUICliper::ChangeclipEDGE(float dx1, float dx2, float dy1, float dy2)
{
    Rect r = m_cliprect;
    r.origin.x += dx1;
    r.origin.y += dy1;
    r.size.width += dx2 - dx1;
    r.size.height += dy2 - dy1;
    bool clamped = false;
    if (r.origin.x < 0)
        r.origin.x = 0, clamped = true;
    if (r.origin.y < 0)
        r.origin.y = 0, clamped = true;
    if (r.maxX() > m_oFrame.width())
        r.size.width = m_oFrame.width() - r.origin.x - 0.1, clamped = true;
    if (r.maxY() > m_oFrame.height())
        r.size.height = m_oFrame.height() - r.origin.y - 0.1, clamped = true;
    m_cliprect = r;
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
    const float px = float(p.x);
    const float py = float(p.y);
    const double x = m_cliprect.minX();
    const double y = m_cliprect.minY();
    const double w = m_cliprect.width();
    const double h = m_cliprect.height();
    const bool nearTop = std::abs(py - (y + h)) < 30;
    const bool nearBottom = std::abs(py - y) < 30;
    const bool inVerticalBand = y + h / 2 - 20 < py && py < y + h / 2 + 20;
    const bool inHorizontalBand = x + w / 2 - 20 < px && px < x + w / 2 + 20;
    // The left column is tested first, so it wins over the right one on a narrow rectangle.
    if (std::abs(px - x) < 20)
        return nearTop ? 1 : nearBottom ? 3 : inVerticalBand ? 5 : 0;
    if (std::abs(px - (x + w)) < 20)
        return nearTop ? 2 : nearBottom ? 4 : inVerticalBand ? 6 : 0;
    if (nearBottom)
        return inHorizontalBand ? 8 : 0;
    if (nearTop)
        return inHorizontalBand ? 7 : 0;
    if (x < px && px < x + w && y < py && py < y + h)
        return 9;
    return 0;
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
    const Size size = frame().size;
    double x = p.x - m_left;
    double y = p.y - m_bottom;
    if (x < 0)
        x = 0;
    else if (x > size.width - m_cliprect.width())
        x = size.width - m_cliprect.width();
    if (y < 0)
        y = 0;
    else if (y > size.height - m_cliprect.height())
        y = size.height - m_cliprect.height();
    m_cliprect.origin = Point{x, y};
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
    double l = m_cliprect.minX();
    double r = m_cliprect.maxX();
    double b = m_cliprect.minY();
    double t = m_cliprect.maxY();
    switch (m_cropTouchPoint) {
    case 1:
        l = std::min(r - 20, p.x);
        t = std::max(b + 20, p.y);
        break;
    case 2:
        r = std::max(l + 20, p.x);
        t = std::max(b + 20, p.y);
        break;
    case 3:
        l = std::min(r - 20, p.x);
        b = std::min(t - 20, p.y);
        break;
    case 4:
        r = std::max(l + 20, p.x);
        b = std::min(t - 20, p.y);
        break;
    case 5:
        l = std::min(r - 40, p.x);
        break;
    case 6:
        r = std::max(l + 20, p.x);
        break;
    case 7:
        t = std::max(b + 20, p.y);
        break;
    case 8:
        b = std::min(t - 20, p.y);
        break;
    case 9:
        moveTo(p);
        finishDragStep();
        return;
    default:
        break;
    }
    m_cliprect = makeRect(l, b, r - l, t - b);
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

    double l = m_cliprect.minX();
    double r = m_cliprect.maxX();
    double b = m_cliprect.minY();
    double t = m_cliprect.maxY();
    const int zone = m_cropTouchPoint;
    if (zone >= 1 && zone <= 4) {
        const bool top = zone == 1 || zone == 2;
        const bool leftSide = zone == 1 || zone == 3;
        float hgt = float(top ? p.y - b : t - p.y);
        // The width follows the height; the height is limited so that the moving side stays inside.
        const double room = leftSide ? r : size.width - l;
        if (ratio * hgt > room)
            hgt = float(room / ratio);
        const float wid = ratio * hgt;
        const double w = std::max(double(wid), 20.0);
        const double h = std::max(double(hgt), 20.0);
        if (leftSide)
            l = r - w;
        else
            r = l + w;
        if (top)
            t = b + h;
        else
            b = t - h;
        m_cliprect = makeRect(l, b, r - l, t - b);
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
    const double l = m_cliprect.minX();
    const double r = m_cliprect.maxX();
    const double b = m_cliprect.minY();
    const double t = m_cliprect.maxY();
    auto handle = [&](double x, double y) { painter.fillRect(QRectF(x, y, kHandle, kHandle), kHandleColor); };
    handle(l, b);
    handle(l, t - kHandle);
    handle(r - kHandle, b);
    handle(r - kHandle, t - kHandle);
    if (m_crop_Type != 2) {
        handle(l, b + (t - b) / 2 - 5);
        handle(r - kHandle, b + (t - b) / 2 - 5);
        handle(l + (r - l) / 2 - 5, t - kHandle);
        handle(l + (r - l) / 2 - 5, b);
    }
    QPen pen(kHandleColor);
    pen.setCosmetic(true);
    pen.setWidth(1);
    pen.setDashPattern({10, 5});
    pen.setDashOffset(0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF outline[] = {{l, t}, {l, b}, {r, b}, {r, t}, {l, t}};
    painter.drawPolyline(outline, 5);
}
