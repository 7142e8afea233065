#include "platform/View.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <QCursor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace platform {

namespace {

// Spreads `delta` over the flexible parts of one axis (the margin before, the size, the margin after) in
// proportion to their current lengths; equally when they are all zero.
void distribute(double &position, double &length, double oldParentLength, double delta, bool minFlexible,
                bool sizeFlexible, bool maxFlexible)
{
    const int count = int(minFlexible) + int(sizeFlexible) + int(maxFlexible);
    if (count == 0 || delta == 0)
        return;
    const double minPart = std::max(0.0, position);
    const double sizePart = std::max(0.0, length);
    const double maxPart = std::max(0.0, oldParentLength - position - length);
    const double total = (minFlexible ? minPart : 0) + (sizeFlexible ? sizePart : 0) + (maxFlexible ? maxPart : 0);
    auto share = [&](double part) { return total > 0 ? delta * part / total : delta / count; };
    const double newPosition = position + (minFlexible ? share(minPart) : 0);
    const double newLength = length + (sizeFlexible ? share(sizePart) : 0);
    position = newPosition;
    length = std::max(0.0, newLength);
}

// Runs `draw` with the painter turned the right way up inside `rect`: (0, 0) is its top-left corner and
// y points down, as Qt draws text and images. The painter is restored afterwards.
template <typename Draw> void drawUpright(QPainter &painter, const Rect &rect, double opacity, Draw draw)
{
    painter.save();
    painter.translate(rect.minX(), rect.maxY());
    painter.scale(1, -1);
    painter.setOpacity(painter.opacity() * opacity);
    draw(QRectF(0, 0, rect.width(), rect.height()));
    painter.restore();
}

} // namespace

View::View(QWidget *parent)
    : View(Rect{}, parent)
{
}

View::View(const Rect &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    watchParent();
    applyGeometry();
    if (parent)
        show();
}

View::~View() = default;

Size View::parentSize() const
{
    QWidget *parent = parentWidget();
    if (!parent)
        return Size{};
    if (auto *view = qobject_cast<View *>(parent))
        return view->m_frame.size;
    return Size{double(parent->width()), double(parent->height())};
}

void View::applyGeometry()
{
    m_applying = true;
    if (!parentWidget() || isWindow()) {
        resize(int(std::lround(m_frame.size.width)), int(std::lround(m_frame.size.height)));
    } else {
        const Size parent = parentSize();
        // Round the edges, not the size, so that views sharing an edge in the frame share it on screen.
        const long left = std::lround(m_frame.minX());
        const long right = std::lround(m_frame.maxX());
        const long top = std::lround(parent.height - m_frame.maxY());
        const long bottom = std::lround(parent.height - m_frame.minY());
        setGeometry(int(left), int(top), int(std::max(0L, right - left)), int(std::max(0L, bottom - top)));
        m_parentSize = parent;
        m_hasParentSize = true;
    }
    m_applying = false;
}

void View::setFrame(const Rect &frame)
{
    const Size oldSize = m_frame.size;
    m_frame = frame;
    applyGeometry();
    if (oldSize != m_frame.size) {
        for (View *child : subviews())
            child->parentResized();
        frameDidChange();
    }
    update();
}

void View::setFrameOrigin(Point origin)
{
    setFrame(Rect{origin, m_frame.size});
}

void View::setFrameSize(Size size)
{
    setFrame(Rect{m_frame.origin, size});
}

void View::parentResized()
{
    const Size now = parentSize();
    if (!m_hasParentSize || now == m_parentSize) {
        applyGeometry();
        return;
    }
    const View *parent = superview();
    Rect frame = m_frame;
    if (!parent || parent->autoresizesSubviews()) {
        const int mask = m_autoresizingMask;
        distribute(frame.origin.x, frame.size.width, m_parentSize.width, now.width - m_parentSize.width,
                   mask & MinXMargin, mask & WidthSizable, mask & MaxXMargin);
        distribute(frame.origin.y, frame.size.height, m_parentSize.height, now.height - m_parentSize.height,
                   mask & MinYMargin, mask & HeightSizable, mask & MaxYMargin);
    }
    setFrame(frame); // also re-derives the Qt geometry against the new parent height
}

void View::readBackGeometry()
{
    if (m_applying)
        return;
    Rect frame = m_frame;
    const QRect g = geometry();
    if (!parentWidget() || isWindow()) {
        frame.size = Size{double(g.width()), double(g.height())};
    } else {
        const Size parent = parentSize();
        const long left = std::lround(m_frame.minX());
        const long right = std::lround(m_frame.maxX());
        const long top = std::lround(parent.height - m_frame.maxY());
        const long bottom = std::lround(parent.height - m_frame.minY());
        if (g == QRect(int(left), int(top), int(right - left), int(bottom - top)))
            return;
        frame = makeRect(g.x(), parent.height - g.y() - g.height(), g.width(), g.height());
        m_parentSize = parent;
        m_hasParentSize = true;
    }
    if (frame == m_frame)
        return;
    const Size oldSize = m_frame.size;
    m_frame = frame;
    if (oldSize != m_frame.size) {
        for (View *child : subviews())
            child->parentResized();
        frameDidChange();
    }
}

void View::watchParent()
{
    QWidget *parent = parentWidget();
    if (m_watchedParent == parent)
        return;
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    m_watchedParent = nullptr;
    // A View parent tells its subviews itself; any other widget is watched for its resizes.
    if (parent && !qobject_cast<View *>(parent)) {
        parent->installEventFilter(this);
        m_watchedParent = parent;
    }
}

bool View::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedParent && event->type() == QEvent::Resize)
        parentResized();
    return QWidget::eventFilter(watched, event);
}

bool View::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        watchParent();
        m_hasParentSize = false;
        applyGeometry();
    }
    return QWidget::event(event);
}

void View::addSubview(QWidget *child)
{
    if (!child)
        return;
    const bool hiddenOnPurpose = child->isHidden() && child->testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (child->parentWidget() != this)
        child->setParent(this);
    child->raise();
    if (!hiddenOnPurpose)
        child->show();
}

void View::removeFromSuperview()
{
    if (parentWidget())
        setParent(nullptr);
}

View *View::superview() const
{
    return qobject_cast<View *>(parentWidget());
}

QList<View *> View::subviews() const
{
    return findChildren<View *>(QString(), Qt::FindDirectChildrenOnly);
}

void View::setNeedsDisplay(bool needed)
{
    if (needed)
        update();
}

void View::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void View::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    update();
}

void View::setBorderWidth(double width)
{
    m_borderWidth = width;
    update();
}

void View::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void View::setAlphaValue(double alpha)
{
    m_alphaValue = std::clamp(alpha, 0.0, 1.0);
    update();
}

Point View::convertPointFromWindow(Point windowPoint) const
{
    const QWidget *top = window();
    const QPointF inTop(windowPoint.x, top->height() - windowPoint.y);
    return fromQt(mapFrom(top, inTop));
}

Point View::convertPointToWindow(Point viewPoint) const
{
    const QWidget *top = window();
    const QPointF inTop = mapTo(top, toQt(viewPoint));
    return Point{inTop.x(), top->height() - inTop.y()};
}

Point View::convertPoint(Point point, const View *fromView) const
{
    if (!fromView)
        return convertPointFromWindow(point);
    return convertPointFromWindow(fromView->convertPointToWindow(point));
}

QRectF View::toQt(const Rect &r) const
{
    return QRectF(r.minX(), height() - r.maxY(), r.width(), r.height());
}

namespace {

std::function<void(const View::DrawnText &)> &drawnTextObserver()
{
    static std::function<void(const View::DrawnText &)> observer;
    return observer;
}

} // namespace

QFont View::fittingFont(const QFont &font, const QString &text, const QSizeF &room, int flags,
                        int smallestPixelSize)
{
    QFont fitted = font;
    const QRectF area(QPointF(0, 0), room);
    // Half a pixel of slack for rounding.
    auto fits = [&](const QFont &f) {
        const QRectF need = QFontMetricsF(f).boundingRect(area, flags, text);
        return need.width() <= room.width() + 0.5 && need.height() <= room.height() + 0.5;
    };
    for (int size = QFontInfo(font).pixelSize(); size > smallestPixelSize && !fits(fitted); --size)
        fitted.setPixelSize(size - 1);
    return fitted;
}

void View::setDrawnTextObserver(std::function<void(const DrawnText &)> observer)
{
    drawnTextObserver() = std::move(observer);
}

void View::drawTextUpright(QPainter &painter, const Rect &rect, const QString &text, const QFont &font,
                           const QColor &color, int flags)
{
    drawUpright(painter, rect, 1.0, [&](const QRectF &area) {
        // Not the widget's own direction: "auto" lets the text decide, so Arabic reads right to left and
        // a text with no right-to-left letter (a bracket, a time) left to right, in any surroundings.
        const Qt::LayoutDirection before = painter.layoutDirection();
        painter.setLayoutDirection(Qt::LayoutDirectionAuto);
        if (drawnTextObserver()) {
            Qt::LayoutDirection direction = painter.layoutDirection();
            if (flags & Qt::TextForceLeftToRight)
                direction = Qt::LeftToRight;
            else if (flags & Qt::TextForceRightToLeft)
                direction = Qt::RightToLeft;
            else if (direction == Qt::LayoutDirectionAuto)
                direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
            drawnTextObserver()(DrawnText{text, font, painter.worldTransform().mapRect(area), flags,
                                          dynamic_cast<const QWidget *>(painter.device()), direction});
        }
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(area, flags, text);
        painter.setLayoutDirection(before);
    });
}

void View::drawImageUpright(QPainter &painter, const Rect &rect, const QImage &image, double opacity)
{
    if (image.isNull())
        return;
    drawUpright(painter, rect, opacity, [&](const QRectF &area) { painter.drawImage(area, image); });
}

void View::drawImageUpright(QPainter &painter, const Rect &rect, const QPixmap &pixmap, double opacity)
{
    if (pixmap.isNull())
        return;
    drawUpright(painter, rect, opacity,
                [&](const QRectF &area) { painter.drawPixmap(area, pixmap, QRectF(pixmap.rect())); });
}

void View::drawRect(QPainter &, const Rect &)
{
}

void View::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_alphaValue);
    const QRectF area(rect());
    QPainterPath shape;
    if (m_cornerRadius > 0)
        shape.addRoundedRect(area, m_cornerRadius, m_cornerRadius);
    else
        shape.addRect(area);
    if (m_backgroundColor.isValid() && m_backgroundColor.alpha() > 0)
        painter.fillPath(shape, m_backgroundColor);

    painter.save();
    if (m_cornerRadius > 0)
        painter.setClipPath(shape);
    painter.translate(0, height());
    painter.scale(1, -1);
    const QRect dirty = event->rect();
    drawRect(painter, makeRect(dirty.x(), height() - dirty.y() - dirty.height(), dirty.width(), dirty.height()));
    painter.restore();

    // The border lies on top of the content, inside the bounds, as a layer border does.
    if (m_borderWidth > 0 && m_borderColor.isValid()) {
        const double half = m_borderWidth / 2;
        const QRectF inner = area.adjusted(half, half, -half, -half);
        painter.setPen(QPen(m_borderColor, m_borderWidth));
        painter.setBrush(Qt::NoBrush);
        if (m_cornerRadius > 0)
            painter.drawRoundedRect(inner, std::max(0.0, m_cornerRadius - half), std::max(0.0, m_cornerRadius - half));
        else
            painter.drawRect(inner);
    }
}

MouseEvent View::makeMouseEvent(const QPointF &localPos, const QPointF &windowPos, Qt::MouseButton button,
                                Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int clicks) const
{
    MouseEvent e;
    e.locationInView = fromQt(localPos);
    e.locationInWindow = Point{windowPos.x(), window()->height() - windowPos.y()};
    e.button = button;
    e.buttons = buttons;
    e.modifiers = modifiers;
    e.clickCount = clicks;
    return e;
}

void View::deliverButtonEvent(QMouseEvent *event, void (View::*handler)(const MouseEvent &), int clicks)
{
    m_passEventOn = false;
    (this->*handler)(makeMouseEvent(event->position(), event->scenePosition(), event->button(), event->buttons(),
                                    event->modifiers(), clicks));
    event->setAccepted(!m_passEventOn);
}

void View::mousePressEvent(QMouseEvent *event)
{
    deliverButtonEvent(event, &View::mouseDown, 1);
}

void View::mouseDoubleClickEvent(QMouseEvent *event)
{
    deliverButtonEvent(event, &View::mouseDown, 2);
}

void View::mouseReleaseEvent(QMouseEvent *event)
{
    deliverButtonEvent(event, &View::mouseUp, 1);
}

void View::mouseMoveEvent(QMouseEvent *event)
{
    m_passEventOn = false;
    const MouseEvent e = makeMouseEvent(event->position(), event->scenePosition(), Qt::NoButton,
                                        event->buttons(), event->modifiers(), 1);
    if (event->buttons() != Qt::NoButton)
        mouseDragged(e);
    else
        mouseMoved(e);
    event->setAccepted(!m_passEventOn);
}

void View::enterEvent(QEnterEvent *event)
{
    mouseEntered(makeMouseEvent(event->position(), event->scenePosition(), Qt::NoButton, event->buttons(),
                                event->modifiers(), 0));
}

void View::leaveEvent(QEvent *)
{
    const QPointF local = mapFromGlobal(QCursor::pos());
    const QPointF inWindow = mapTo(window(), local);
    mouseExited(makeMouseEvent(local, inWindow, Qt::NoButton, Qt::NoButton, Qt::NoModifier, 0));
}

void View::wheelEvent(QWheelEvent *event)
{
    scrollWheel(event);
}

void View::resizeEvent(QResizeEvent *event)
{
    readBackGeometry();
    QWidget::resizeEvent(event);
}

void View::moveEvent(QMoveEvent *event)
{
    readBackGeometry();
    QWidget::moveEvent(event);
}

void View::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace platform
