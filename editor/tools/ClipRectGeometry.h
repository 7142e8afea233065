#pragma once
// The rectangle rules the crop overlay (RDUICliper) and the watermark overlay (RDWaterView) share: which
// handle a point hits, how dragging a handle reshapes the rectangle, the limits on its size and edges,
// and how its handles and outline are drawn. Where the two overlays differ (how far the handles reach,
// the smallest side, the colours) the caller passes its own value.
//
// Handle zones: 1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right corner; 5 left, 6 right, 7 top,
// 8 bottom edge middle; 9 inside; 0 none. Coordinates are the overlay's points, origin bottom-left, y up.
#include "platform/Geometry.h"

class QColor;
class QPainter;

class ClipRectGeometry
{
public:
    // The zone of `rect` under `p`. The corner and edge-middle columns reach 20 points either side of the
    // left and right edges (the left column is tested first, so it wins on a narrow rectangle); a corner
    // or the top or bottom middle also needs `p` within `rowReach` of the top or bottom edge, and an edge
    // middle within `bandHalf` of that edge's centre. Inside is strictly inside.
    static int zoneAt(const platform::Rect &rect, platform::Point p, double rowReach, double bandHalf);

    // `rect` after the handle `zone` is dragged to `p`: the edges of that handle follow `p`, never closer
    // than `minSide` to the opposite edge (the left middle stops 40 points short of the right edge).
    // Zones 0 and 9 give `rect` as it is.
    static platform::Rect resizedByHandle(const platform::Rect &rect, int zone, platform::Point p,
                                          double minSide);

    // `rect` given the size `width` x `height` by its corner `zone` (1..4): the opposite corner stays.
    static platform::Rect resizedFromCorner(const platform::Rect &rect, int zone, double width,
                                            double height);

    // `rect` with its origin at `origin`, held so that the rectangle stays inside `size` (at 0 when it is
    // larger than `size`).
    static platform::Rect movedWithin(const platform::Rect &rect, platform::Point origin,
                                      platform::Size size);

    // The edges moved by dx1 (left), dx2 (right), dy1 (bottom) and dy2 (top), then held inside `reference`:
    // the origin at 0 or more, the far sides 0.1 point short of the reference's. `clamped`, when given,
    // tells whether anything was held.
    static platform::Rect movedEdges(const platform::Rect &rect, double dx1, double dx2, double dy1,
                                     double dy2, platform::Size reference, bool *clamped = nullptr);

    // `rect` with its width held to minSide .. size.width and its height to minSide .. size.height; the
    // origin as given.
    static platform::Rect withSideLimits(const platform::Rect &rect, platform::Size size, double minSide);

    // The square of side min(w, h) centred in `size`, in single precision.
    static platform::Rect centredSquare(platform::Size size);

    // `rect` as fractions of `size` (x / W, y / H, w / W, h / H); the zero rectangle for an empty size.
    static platform::Rect fractionOf(const platform::Rect &rect, platform::Size size);

    // Every coordinate of `rect` times `scale`.
    static platform::Rect scaled(const platform::Rect &rect, double scale);

    // Fills the 10-point handles inside the corners of `rect` and, with `edgeMiddles`, at its edge middles.
    static void drawHandles(QPainter &painter, const platform::Rect &rect, const QColor &color,
                            bool edgeMiddles);

    // Draws the 1-pixel dashed outline of `rect`.
    static void drawOutline(QPainter &painter, const platform::Rect &rect, const QColor &color);
};
