#include "platform/Geometry.h"

#include <algorithm>

namespace platform {

bool Rect::intersects(const Rect &other) const
{
    if (isEmpty() || other.isEmpty())
        return false;
    return minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY() && other.minY() < maxY();
}

Rect Rect::intersection(const Rect &other) const
{
    if (!intersects(other))
        return Rect{};
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    return makeRect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::insetBy(double dx, double dy) const
{
    return makeRect(origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy);
}

Rect Rect::offsetBy(double dx, double dy) const
{
    return makeRect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect aspectFitRect(Size aspect, const Rect &bounds)
{
    if (aspect.width <= 0 || aspect.height <= 0 || bounds.isEmpty())
        return makeRect(bounds.midX(), bounds.midY(), 0, 0);
    const double scale = std::min(bounds.width() / aspect.width, bounds.height() / aspect.height);
    const double w = aspect.width * scale;
    const double h = aspect.height * scale;
    return makeRect(bounds.midX() - w / 2, bounds.midY() - h / 2, w, h);
}

} // namespace platform
