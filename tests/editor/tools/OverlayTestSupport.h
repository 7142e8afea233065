#pragma once
// Mouse gestures on an overlay in its own bottom-left points, sent as real Qt mouse events.
#include "platform/View.h"

#include <QPalette>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace overlaytest {

// Makes `backdrop` a plain 400 x 300 area of `color` for an overlay to lie over (shown by the caller once
// the overlay is set up).
inline void fillBackdrop(QWidget &backdrop, const QColor &color)
{
    backdrop.resize(400, 300);
    backdrop.setAutoFillBackground(true);
    QPalette palette = backdrop.palette();
    palette.setColor(QPalette::Window, color);
    backdrop.setPalette(palette);
}

// QTest reads the point (0, 0) as "the widget's centre", so gestures never aim at the top-left pixel.
inline QPoint qtPoint(const QWidget &view, platform::Point p)
{
    const QPoint point(qRound(p.x), qRound(view.height() - p.y));
    EXPECT_FALSE(point.isNull()) << "aim beside the top-left pixel";
    return point;
}

inline void press(QWidget &view, platform::Point p)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, qtPoint(view, p));
}

inline void dragTo(QWidget &view, platform::Point p)
{
    QTest::mouseMove(&view, qtPoint(view, p));
}

inline void release(QWidget &view, platform::Point p)
{
    QTest::mouseRelease(&view, Qt::LeftButton, {}, qtPoint(view, p));
}

// A press, one drag step and the release there.
inline void drag(QWidget &view, platform::Point from, platform::Point to)
{
    press(view, from);
    dragTo(view, to);
    release(view, to);
}

// Rectangles equal to a thousandth of a point (the aspect rules compute in single precision).
inline ::testing::AssertionResult rectNear(const platform::Rect &actual, const platform::Rect &expected)
{
    const double values[4][2] = {{actual.minX(), expected.minX()},
                                 {actual.minY(), expected.minY()},
                                 {actual.width(), expected.width()},
                                 {actual.height(), expected.height()}};
    for (const auto &v : values) {
        if (std::abs(v[0] - v[1]) > 1e-3)
            return ::testing::AssertionFailure()
                   << "(" << actual.minX() << ", " << actual.minY() << ", " << actual.width() << ", "
                   << actual.height() << ") is not (" << expected.minX() << ", " << expected.minY() << ", "
                   << expected.width() << ", " << expected.height() << ")";
    }
    return ::testing::AssertionSuccess();
}

} // namespace overlaytest
