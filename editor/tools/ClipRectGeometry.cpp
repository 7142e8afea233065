#include "editor/tools/ClipRectGeometry.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

constexpr double kColumnReach = 20;
constexpr double kHandle = 10;
// The left middle keeps more room than the other handles: it stops this far before the right edge.
constexpr double kLeftMiddleMinSide = 40;

} // namespace

int ClipRectGeometry::zoneAt(const Rect &rect, Point p, double rowReach, double bandHalf)
{
    const double x = rect.minX();
    const double y = rect.minY();
    const double w = rect.width();
    const double h = rect.height();
    const bool nearTop = std::abs(p.y - (y + h)) < rowReach;
    const bool nearBottom = std::abs(p.y - y) < rowReach;
    const bool inVerticalBand = y + h / 2 - bandHalf < p.y && p.y < y + h / 2 + bandHalf;
    const bool inHorizontalBand = x + w / 2 - bandHalf < p.x && p.x < x + w / 2 + bandHalf;
    if (std::abs(p.x - x) < kColumnReach)
        return nearTop ? 1 : nearBottom ? 3 : inVerticalBand ? 5 : 0;
    if (std::abs(p.x - (x + w)) < kColumnReach)
        return nearTop ? 2 : nearBottom ? 4 : inVerticalBand ? 6 : 0;
    if (nearBottom)
        return inHorizontalBand ? 8 : 0;
    if (nearTop)
        return inHorizontalBand ? 7 : 0;
    if (x < p.x && p.x < x + w && y < p.y && p.y < y + h)
        return 9;
    return 0;
}

Rect ClipRectGeometry::resizedByHandle(const Rect &rect, int zone, Point p, double minSide)
{
    double l = rect.minX();
    double r = rect.maxX();
    double b = rect.minY();
    double t = rect.maxY();
    if (zone == 1 || zone == 3)
        l = std::min(p.x, r - minSide);
    if (zone == 5)
        l = std::min(p.x, r - kLeftMiddleMinSide);
    if (zone == 2 || zone == 4 || zone == 6)
        r = std::max(p.x, l + minSide);
    if (zone == 1 || zone == 2 || zone == 7)
        t = std::max(p.y, b + minSide);
    if (zone == 3 || zone == 4 || zone == 8)
        b = std::min(p.y, t - minSide);
    return makeRect(l, b, r - l, t - b);
}

Rect ClipRectGeometry::resizedFromCorner(const Rect &rect, int zone, double width, double height)
{
    double l = rect.minX();
    double r = rect.maxX();
    double b = rect.minY();
    double t = rect.maxY();
    if (zone == 1 || zone == 3)
        l = r - width;
    else
        r = l + width;
    if (zone == 1 || zone == 2)
        t = b + height;
    else
        b = t - height;
    return makeRect(l, b, r - l, t - b);
}

Rect ClipRectGeometry::movedWithin(const Rect &rect, Point origin, Size size)
{
    Rect moved = rect;
    moved.origin.x = std::clamp(origin.x, 0.0, std::max(0.0, size.width - rect.width()));
    moved.origin.y = std::clamp(origin.y, 0.0, std::max(0.0, size.height - rect.height()));
    return moved;
}

Rect ClipRectGeometry::movedEdges(const Rect &rect, double dx1, double dx2, double dy1, double dy2,
                                  Size reference, bool *clamped)
{
    Rect r = rect;
    r.origin.x += dx1;
    r.origin.y += dy1;
    r.size.width += dx2 - dx1;
    r.size.height += dy2 - dy1;
    bool held = false;
    if (r.origin.x < 0)
        r.origin.x = 0, held = true;
    if (r.origin.y < 0)
        r.origin.y = 0, held = true;
    if (r.maxX() > reference.width)
        r.size.width = reference.width - r.origin.x - 0.1, held = true;
    if (r.maxY() > reference.height)
        r.size.height = reference.height - r.origin.y - 0.1, held = true;
    if (clamped)
        *clamped = held;
    return r;
}

Rect ClipRectGeometry::withSideLimits(const Rect &rect, Size size, double minSide)
{
    return makeRect(rect.minX(), rect.minY(), std::max(minSide, std::min(rect.width(), size.width)),
                    std::max(minSide, std::min(rect.height(), size.height)));
}

Rect ClipRectGeometry::centredSquare(Size size)
{
    const float side = float(std::min(size.width, size.height));
    return makeRect(float((size.width - side) / 2), float((size.height - side) / 2), side, side);
}

Rect ClipRectGeometry::fractionOf(const Rect &rect, Size size)
{
    if (size.width <= 0 || size.height <= 0)
        return Rect{};
    return makeRect(rect.minX() / size.width, rect.minY() / size.height, rect.width() / size.width,
                    rect.height() / size.height);
}

Rect ClipRectGeometry::scaled(const Rect &rect, double scale)
{
    return makeRect(rect.minX() * scale, rect.minY() * scale, rect.width() * scale, rect.height() * scale);
}

void ClipRectGeometry::drawHandles(QPainter &painter, const Rect &rect, const QColor &color, bool edgeMiddles)
{
    const double l = rect.minX();
    const double r = rect.maxX();
    const double b = rect.minY();
    const double t = rect.maxY();
    auto handle = [&](double x, double y) { painter.fillRect(QRectF(x, y, kHandle, kHandle), color); };
    handle(l, b);
    handle(l, t - kHandle);
    handle(r - kHandle, b);
    handle(r - kHandle, t - kHandle);
    if (edgeMiddles) {
        handle(l, b + (t - b) / 2 - kHandle / 2);
        handle(r - kHandle, b + (t - b) / 2 - kHandle / 2);
        handle(l + (r - l) / 2 - kHandle / 2, t - kHandle);
        handle(l + (r - l) / 2 - kHandle / 2, b);
    }
}

void ClipRectGeometry::drawOutline(QPainter &painter, const Rect &rect, const QColor &color)
{
    const double l = rect.minX();
    const double r = rect.maxX();
    const double b = rect.minY();
    const double t = rect.maxY();
    QPen pen(color);
    pen.setCosmetic(true);
    pen.setWidth(1);
    pen.setDashPattern({10, 5});
    pen.setDashOffset(0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF outline[] = {{l, t}, {l, b}, {r, b}, {r, t}, {l, t}};
    painter.drawPolyline(outline, 5);
}
