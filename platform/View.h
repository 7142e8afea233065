#pragma once
// A widget placed by a frame whose origin is the bottom-left corner of its parent, y upwards.
//
// The frame (doubles) is the truth; the Qt geometry is derived from it and from the parent's height, and
// is recomputed whenever either changes. When the parent resizes, the view's autoresizing mask spreads
// the size change over the flexible margins and sizes, as the original platform does. This holds for any
// parent widget, View or not. A frame set by Qt from outside (a layout, a window resize) is read back.
//
// drawRect() receives a painter already flipped to bottom-left coordinates; drawTextUpright() and
// drawImageUpright() draw text and images the right way up inside such a rectangle. The layer look
// (background colour, corner radius, border) is painted before drawRect(). Mouse events carry locations in
// bottom-left coordinates.
#include "platform/Geometry.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <functional>

class QPainter;
class QPixmap;

namespace platform {

class View;

struct MouseEvent
{
    Point locationInWindow;  // bottom-left coordinates of the top-level window
    Point locationInView;    // bottom-left coordinates of the view that receives the event
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int clickCount = 1;
};

class View : public QWidget
{
    Q_OBJECT

public:
    enum AutoresizingMask {
        NotSizable = 0,
        MinXMargin = 1,
        WidthSizable = 2,
        MaxXMargin = 4,
        MinYMargin = 8,
        HeightSizable = 16,
        MaxYMargin = 32,
    };

    explicit View(QWidget *parent = nullptr);
    explicit View(const Rect &frame, QWidget *parent = nullptr);
    ~View() override;

    // The frame in the parent's bottom-left coordinates. setFrame() moves and resizes the widget and, when
    // the size changed, lets the subviews' masks react.
    Rect frame() const { return m_frame; }
    void setFrame(const Rect &frame);
    void setFrameOrigin(Point origin);
    void setFrameSize(Size size);
    // (0, 0, width, height).
    Rect bounds() const { return Rect{Point{}, m_frame.size}; }

    // A combination of AutoresizingMask flags (NotSizable by default).
    int autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(int mask) { m_autoresizingMask = mask; }
    // When false, resizing this view leaves its subviews' frames alone (still kept at their bottom-left).
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool on) { m_autoresizesSubviews = on; }

    // Makes `child` a subview (on top of the others) and shows it unless it was hidden explicitly. A View
    // child keeps its frame; other widgets keep their Qt geometry.
    void addSubview(QWidget *child);
    // Detaches the view from its parent (it is deleted with nobody; the caller owns it again).
    void removeFromSuperview();
    // The parent if it is a View, else nullptr.
    View *superview() const;
    QList<View *> subviews() const;

    // Asks for a repaint of the whole view (setNeedsDisplay(false) does nothing, as on the original).
    void setNeedsDisplay(bool needed = true);
    void display() { repaint(); }

    // Layer look, painted under drawRect(). A border is drawn only when its width is above 0 and its
    // colour valid; a corner radius also clips drawRect()'s painting to the rounded bounds.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    double alphaValue() const { return m_alphaValue; }
    void setAlphaValue(double alpha);

    // Converts a point between this view's bottom-left coordinates and the top-level window's bottom-left
    // coordinates, or another view's.
    Point convertPointFromWindow(Point windowPoint) const;
    Point convertPointToWindow(Point viewPoint) const;
    Point convertPoint(Point point, const View *fromView) const;
    // Qt's top-left widget coordinates to this view's bottom-left ones and back.
    Point fromQt(const QPointF &p) const { return Point{p.x(), height() - p.y()}; }
    QPointF toQt(Point p) const { return QPointF(p.x, height() - p.y); }
    QRectF toQt(const Rect &r) const;

    // Draws `text` upright inside `rect` (bottom-left coordinates of `painter`, which must be flipped
    // as the one drawRect() receives). `flags` are QPainter::drawText()'s: an alignment, optionally with
    // text flags such as Qt::TextWordWrap. The text takes its paragraph direction from its own
    // characters (Arabic reads right to left); one with no right-to-left letter reads left to right
    // whatever the widget's direction, so a "[" never shows mirrored. The alignment stays as given.
    static void drawTextUpright(QPainter &painter, const Rect &rect, const QString &text, const QFont &font,
                                const QColor &color, int flags = Qt::AlignLeft | Qt::AlignTop);
    // Draws `image` upright, stretched over `rect`, with the given opacity.
    static void drawImageUpright(QPainter &painter, const Rect &rect, const QImage &image, double opacity = 1.0);

    // The largest size of `font`, from its own down to `smallestPixelSize`, at which `text` drawn with
    // `flags` fits inside `room`; the smallest size when none does (never larger than `font`).
    static QFont fittingFont(const QFont &font, const QString &text, const QSizeF &room, int flags,
                             int smallestPixelSize = 10);

    // A text as drawTextUpright() drew it: the whole text, its font, the room it was given and the
    // drawing flags; `widget` is the widget painted (null when drawing elsewhere) and `room` is in its
    // coordinates (top-left origin).
    struct DrawnText
    {
        QString text;
        QFont font;
        QRectF room;
        int flags = 0;
        const QWidget *widget = nullptr;
        Qt::LayoutDirection direction = Qt::LeftToRight; // the paragraph direction it was drawn in
    };
    // While set (by a test), every text drawn with drawTextUpright() is also handed to `observer`, so
    // that a test can tell whether each text fits its room. Main thread only.
    static void setDrawnTextObserver(std::function<void(const DrawnText &)> observer);
    static void drawImageUpright(QPainter &painter, const Rect &rect, const QPixmap &pixmap,
                                 double opacity = 1.0);

protected:
    // Paints the view's own content; `painter` has y upwards and (0, 0) at the bottom-left of the view.
    virtual void drawRect(QPainter &painter, const Rect &dirty);
    // Called after the view's size changed (by setFrame or by autoresizing), after the subviews moved.
    virtual void frameDidChange() {}

    // A view that does not override mouseDown() lets the press go on to its parent, as the original
    // platform's responder chain does; one that does receives the matching drags and the release.
    virtual void mouseDown(const MouseEvent &) { m_passEventOn = true; }
    virtual void mouseUp(const MouseEvent &) { m_passEventOn = true; }
    virtual void mouseDragged(const MouseEvent &) { m_passEventOn = true; }
    // Delivered only with mouse tracking on (setMouseTracking(true)) and no button held.
    virtual void mouseMoved(const MouseEvent &) { m_passEventOn = true; }
    virtual void mouseEntered(const MouseEvent &) {}
    virtual void mouseExited(const MouseEvent &) {}
    virtual void scrollWheel(QWheelEvent *event) { event->ignore(); }

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyGeometry();
    void parentResized();
    void readBackGeometry();
    void watchParent();
    Size parentSize() const;
    // Hands a press or release to `handler` (mouseDown or mouseUp) and accepts it unless passed on.
    void deliverButtonEvent(QMouseEvent *event, void (View::*handler)(const MouseEvent &), int clicks);
    MouseEvent makeMouseEvent(const QPointF &localPos, const QPointF &windowPos, Qt::MouseButton button,
                              Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int clicks) const;

    Rect m_frame;
    bool m_passEventOn = false;
    Size m_parentSize;          // the parent's size the frame was last laid out against
    bool m_hasParentSize = false;
    QWidget *m_watchedParent = nullptr;
    bool m_applying = false;
    int m_autoresizingMask = NotSizable;
    bool m_autoresizesSubviews = true;
    QColor m_backgroundColor;
    double m_cornerRadius = 0;
    double m_borderWidth = 0;
    QColor m_borderColor;
    double m_alphaValue = 1.0;
};

} // namespace platform
