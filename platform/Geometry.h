#pragma once
// Plain geometry in doubles: points, sizes and rectangles whose origin is the bottom-left corner and whose
// y axis points up, the way frames are written throughout the application. View converts them to Qt's
// top-left integer geometry.
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace platform {

struct Point
{
    double x = 0;
    double y = 0;
    bool operator==(const Point &) const = default;
};

struct Size
{
    double width = 0;
    double height = 0;
    bool operator==(const Size &) const = default;
};

struct Rect
{
    Point origin;
    Size size;

    double minX() const { return origin.x; }
    double midX() const { return origin.x + size.width / 2; }
    double maxX() const { return origin.x + size.width; }
    double minY() const { return origin.y; }
    double midY() const { return origin.y + size.height / 2; }
    double maxY() const { return origin.y + size.height; }
    double width() const { return size.width; }
    double height() const { return size.height; }

    // True when the width or the height is zero or negative.
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
    // True for the all-zero rectangle.
    bool isZero() const { return origin == Point{} && size == Size{}; }
    // Half-open on the max edges, so adjacent rectangles never both contain a point.
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    // True when the two share an area (touching edges do not count).
    bool intersects(const Rect &other) const;
    Rect intersection(const Rect &other) const; // the zero rectangle when they do not intersect
    // Shrinks by dx on the left and right and dy at the bottom and top (negative values grow).
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;

    bool operator==(const Rect &) const = default;
};

inline Point makePoint(double x, double y) { return Point{x, y}; }
inline Size makeSize(double width, double height) { return Size{width, height}; }
inline Rect makeRect(double x, double y, double width, double height)
{
    return Rect{Point{x, y}, Size{width, height}};
}

// The largest rectangle with the proportions of `aspect`, centred inside `bounds`. An empty aspect or
// empty bounds give a zero-size rectangle at the centre of `bounds`.
Rect aspectFitRect(Size aspect, const Rect &bounds);

// Conversions for drawing code that already works in bottom-left coordinates (no flipping).
inline QPointF toQPointF(Point p) { return QPointF(p.x, p.y); }
inline QSizeF toQSizeF(Size s) { return QSizeF(s.width, s.height); }
inline QRectF toQRectF(const Rect &r) { return QRectF(r.origin.x, r.origin.y, r.size.width, r.size.height); }
inline Rect fromQRectF(const QRectF &r) { return makeRect(r.x(), r.y(), r.width(), r.height()); }
inline Size fromQSizeF(const QSizeF &s) { return Size{s.width(), s.height()}; }

} // namespace platform
