#pragma once
// Small helpers for the control tests: real mouse events at bottom-left view coordinates, enter and
// leave, solid images and reading the drawn pixels.
#include "platform/View.h"

#include <QColor>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPixmap>
#include <QTest>

namespace controltest {

// A shown root view, filled with `background`, to place the controls under test in.
struct Host
{
    explicit Host(double width = 200, double height = 60, const QColor &background = Qt::black)
        : root(platform::makeRect(0, 0, width, height))
    {
        root.setBackgroundColor(background);
        root.show();
    }
    platform::View root;
};

// A point given in the view's bottom-left coordinates, in Qt's top-left ones.
inline QPoint qt(const platform::View *view, double x, double y)
{
    return view->toQt(platform::Point{x, y}).toPoint();
}

inline void press(platform::View *view, double x, double y)
{
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, qt(view, x, y));
}

inline void release(platform::View *view, double x, double y)
{
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, qt(view, x, y));
}

// A move with the left button held (a drag once press() ran).
inline void drag(platform::View *view, double x, double y)
{
    QTest::mouseMove(view, qt(view, x, y));
}

inline void click(platform::View *view, double x, double y)
{
    press(view, x, y);
    release(view, x, y);
}

inline void enter(QWidget *widget)
{
    const QPointF p(1, 1);
    QEnterEvent event(p, p, widget->mapToGlobal(p));
    QCoreApplication::sendEvent(widget, &event);
}

inline void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

inline QImage solid(const QColor &color, int width = 20, int height = 20)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// What the widget's area of its window shows now (so what lies under a transparent widget shows too).
inline QImage shot(QWidget *widget)
{
    QWidget *top = widget->window();
    const QRect area(widget->mapTo(top, QPoint(0, 0)), widget->size());
    return top->grab(area).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colour drawn at a point given in the view's bottom-left coordinates.
inline QColor pixelAt(platform::View *view, double x, double y)
{
    const QPoint p = qt(view, x, y);
    return shot(view).pixelColor(p.x(), std::min(p.y(), view->height() - 1));
}

} // namespace controltest
