#include "editor/tools/RDWaterView.h"

#include "editor/tools/ClipRectGeometry.h"
#include "editor/tools/QYTextFiledCenter.h"
#include "editor/tools/RDCropTmpView.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/Workspace.h"

#include <QCursor>
#include <QDir>
#include <QPainter>

#include <algorithm>
#include <cmath>

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

constexpr double kMinSide = 10;
// Keeps a rendered text picture within what an encoder's overlay can reasonably take.
constexpr double kMaxRenderSide = 8192;

} // namespace

RDWaterView::RDWaterView(const Rect &frame, QWidget *parent)
    : View(frame, parent), m_cliprect(makeRect(0, 0, frame.width(), frame.height())), m_oFrame(frame)
{
    createSubviews(1);
}

RDWaterView::RDWaterView(platform::View *view, bool freedom)
    : View(view ? view->bounds() : Rect{}, nullptr), m_freedom(freedom)
{
    m_cliprect = ClipRectGeometry::centredSquare(frame().size);
    createSubviews(1);
    if (view)
        view->addSubview(this);
}

RDWaterView::~RDWaterView()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}

void RDWaterView::createSubviews(double inset)
{
    m_waterMarkLb = new QYTextFiledCenter(this);
    m_waterMarkLb->setTextFont(m_waterMarkFont);
    m_waterMarkLb->setTextColor(m_waterMarkColor.isValid() ? m_waterMarkColor : QColor(Qt::white));
    m_waterMarkLb->setStringValue(m_waterMarkString);
    // The label shows only for a text watermark, so a picture never has a stale text over it.
    m_waterMarkLb->hide();
    for (RDCropTmpView **strip : {&m_leftView, &m_topView, &m_rightView, &m_bottomView}) {
        *strip = new RDCropTmpView(this);
        (*strip)->setBackgroundColor(QColor(0, 0, 0, 0));
    }
    const double w = frame().width();
    const double h = frame().height();
    m_leftView->setFrame(makeRect(0, 0, inset, h));
    m_topView->setFrame(makeRect(0, h - inset, w, inset));
    m_rightView->setFrame(makeRect(w - inset, 0, inset, h));
    m_bottomView->setFrame(makeRect(0, 0, w, inset));
    setMouseTracking(true);
}

void RDWaterView::showRect(const Rect &rect)
{
    m_cliprect = rect;
    RDCropTmpView::layAround(rect, frame().size, m_leftView, m_rightView, m_topView, m_bottomView);
}

bool RDWaterView::hasContent() const
{
    return !m_waterMarkString.isEmpty() || hasPicture();
}

void RDWaterView::setMarkWaterType(int type)
{
    m_markWaterType = type;
    m_waterMarkLb->setVisible(type == 4);
    display();
}

void RDWaterView::setWaterMark(const QImage &image)
{
    m_waterMark = image;
    display();
}

void RDWaterView::setWaterMarkString(const QString &text)
{
    m_waterMarkString = text;
    display();
}

void RDWaterView::setWaterMarkAlph(int alph)
{
    m_waterMarkAlph = alph;
    display();
}

void RDWaterView::setScale_Type(int type)
{
    m_scale_Type = type;
    if (type == 3 && hasPicture()) {
        const float pictureAspect = float(m_waterMark.width()) / float(m_waterMark.height());
        Rect r = m_cliprect;
        r.size.width = float(float(r.height()) * pictureAspect);
        // A picture wider than the room left of the rectangle shrinks, aspect kept, rather than spill over.
        const double room = frame().width() - r.minX();
        if (r.width() > room && room > 0) {
            r.size.width = room;
            r.size.height = float(room / pictureAspect);
        }
        showRect(r);
    }
    display();
}

void RDWaterView::setFrameRect(const Rect &rect)
{
    m_oFrame = rect;
    setFrame(rect);
    display();
}

void RDWaterView::setClipRect(const Rect &rect)
{
    showRect(ClipRectGeometry::withSideLimits(rect, frame().size, kMinSide));
    display();
}

Rect RDWaterView::getPercentImageClipRect() const
{
    return ClipRectGeometry::fractionOf(m_cliprect, frame().size);
}

Rect RDWaterView::getPercentTextClipRect() const
{
    return ClipRectGeometry::fractionOf(m_waterStringRect, frame().size);
}

double RDWaterView::getclipRectScale() const
{
    if (m_oFrame.width() <= 0)
        return 0;
    return double(float(m_videoSize.width) / float(m_oFrame.width()));
}

Rect RDWaterView::getclipRect() const
{
    return ClipRectGeometry::scaled(m_cliprect, getclipRectScale());
}

Rect RDWaterView::getCheckClipRect(const Rect &rect) const
{
    const Size size = frame().size;
    if (rect.width() <= 0 || rect.height() <= 0 ||
        (rect.width() <= size.width && rect.height() <= size.height))
        return rect;
    // Fitted by whichever side overflows more, so that the later size limits never distort the picture.
    const double scale = std::min(size.width / rect.width(), size.height / rect.height());
    Rect fitted = rect;
    fitted.size.width = float(rect.width() * scale);
    fitted.size.height = float(rect.height() * scale);
    return fitted;
}

QImage RDWaterView::viewToImage(QYTextFiledCenter *view)
{
    const QString folder = platform::Workspace::standardFolder(platform::StandardFolder::Movies) + "/Water";
    if (!QDir().mkpath(folder))
        platform::logWarning("cannot make the folder %@", folder);
    if (!view)
        return QImage();
    const Size size = view->bounds().size;
    if (size.width <= 0 || size.height <= 0)
        return QImage();
    // Rendered at the video's own scale, so the exported text is as sharp as the picture it goes on.
    double scale = std::max(1.0, getclipRectScale());
    scale = std::min(scale, kMaxRenderSide / std::max(size.width, size.height));
    QImage image(int(std::ceil(size.width * scale)), int(std::ceil(size.height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return QImage();
    // Point sizes must come out as on screen, so the picture takes the label's resolution.
    image.setDotsPerMeterX(qRound(view->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(view->logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(0, size.height);
    painter.scale(1, -1);
    // Opaque: the engine applies the watermark's transparency once, in preview and export alike.
    view->drawContent(painter, size, true);
    painter.end();
    return image;
}

void RDWaterView::setCropType(int type)
{
    m_scale_Type = type;
    m_isMoving = false;
    const Rect reference{Point{}, m_oFrame.size};
    Rect r;
    if (type == 1)
        r = ClipRectGeometry::centredSquare(m_oFrame.size);
    else if (type == 2)
        r = reference;
    else if (type == 3)
        r = platform::aspectFitRect(m_videoSize, reference);
    else {
        display();
        return;
    }
    showRect(r);
    display();
}

void RDWaterView::setclipEDGE(const Rect &rect)
{
    showRect(rect);
    display();
}

void RDWaterView::ChangeclipEDGE(float x1, float x2, float y1, float y2)
{
    showRect(ClipRectGeometry::movedEdges(m_cliprect, x1, x2, y1, y2, m_oFrame.size));
    display();
}

int RDWaterView::zoneAt(Point p) const
{
    // Only a handle's own 10 points above and below an edge, and 10 either side of an edge's centre.
    return ClipRectGeometry::zoneAt(m_cliprect, p, 10, 10);
}

void RDWaterView::mouseDown(const platform::MouseEvent &event)
{
    if (!m_enabled)
        return;
    if (m_delegate)
        m_delegate->actionMouseMoveBeginForWaterViewBlock(this, Rect{});
    const Point p = event.locationInView;
    m_touchPoint = p;
    m_touchBeginPoint = p;
    m_isTouchPointInClipRect = m_cliprect.contains(p);
    if (m_markWaterType != 2) {
        m_moveTouchPoint = 9;
    } else if (const int zone = zoneAt(p); zone != 0) {
        m_moveTouchPoint = zone;
    }
    if (m_moveTouchPoint == 9) {
        m_left = float(p.x - m_cliprect.minX());
        m_bottom = float(p.y - m_cliprect.minY());
    }
    platform::log("RDWaterView press: zone %d", m_moveTouchPoint);
    if (!hasContent())
        return;
    if (!m_isTouchPointInClipRect)
        setCursor(Qt::ArrowCursor);
    else if (m_moveTouchPoint == 5 || m_moveTouchPoint == 6)
        setCursor(Qt::SizeHorCursor);
    else if (m_moveTouchPoint == 7 || m_moveTouchPoint == 8)
        setCursor(Qt::SizeVerCursor);
    else
        setCursor(Qt::ClosedHandCursor);
}

void RDWaterView::mouseMoved(const platform::MouseEvent &event)
{
    const Point p = event.locationInView;
    m_isTouchPointInClipRect = m_cliprect.contains(p);
    if (!hasContent() || m_moveTouchPoint != 0)
        return;
    if (!m_isTouchPointInClipRect) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (m_markWaterType != 2) {
        setCursor(Qt::OpenHandCursor);
        return;
    }
    switch (zoneAt(p)) {
    case 1:
    case 2:
    case 3:
    case 4:
        setCursor(Qt::SizeHorCursor);
        break;
    case 5:
    case 6:
        if (m_scale_Type != 3)
            setCursor(Qt::SizeHorCursor);
        break;
    case 7:
    case 8:
        if (m_scale_Type != 3)
            setCursor(Qt::SizeVerCursor);
        break;
    case 9:
        setCursor(Qt::OpenHandCursor);
        break;
    default:
        break;
    }
}

void RDWaterView::moveTo(Point p)
{
    showRect(ClipRectGeometry::movedWithin(m_cliprect, Point{p.x - m_left, p.y - m_bottom}, frame().size));
}

void RDWaterView::resizeFree(Point p)
{
    showRect(ClipRectGeometry::resizedByHandle(m_cliprect, m_moveTouchPoint, p, kMinSide));
}

bool RDWaterView::resizeKeepingPictureAspect(Point p)
{
    const int zone = m_moveTouchPoint;
    if (zone >= 5 && zone <= 8)
        return false;
    if (zone < 1 || zone > 4)
        return true;
    // The width follows the pointer, the height the picture's aspect, both cut to what fits above or below.
    const bool top = zone == 1 || zone == 2;
    const double pw = m_waterMark.width();
    const double ph = m_waterMark.height();
    double w = float(ClipRectGeometry::resizedByHandle(m_cliprect, zone, p, kMinSide).width());
    double h = w * ph / pw;
    const double room = top ? frame().height() - m_cliprect.minY() : m_cliprect.maxY();
    if (h > room) {
        h = room;
        w = h * pw / ph;
    }
    showRect(ClipRectGeometry::resizedFromCorner(m_cliprect, zone, w, h));
    return true;
}

void RDWaterView::mouseDragged(const platform::MouseEvent &event)
{
    if (!m_enabled || !m_isTouchPointInClipRect)
        return;
    const Size size = frame().size;
    const Point p{std::clamp(event.locationInView.x, 0.0, size.width),
                  std::clamp(event.locationInView.y, 0.0, size.height)};
    if (m_scale_Type == 2) {
        mouseMove(p);
        return;
    }
    // Text is only ever moved; a picture is moved or resized by the handle pressed.
    if (m_moveTouchPoint == 9) {
        moveTo(p);
    } else if (m_markWaterType == 2) {
        if (m_scale_Type == 3 && hasPicture()) {
            if (!resizeKeepingPictureAspect(p))
                return; // the middles are inert here: no redraw, no notice
        } else {
            resizeFree(p);
        }
    }
    m_touchPoint = p;
    finishDragStep();
}

void RDWaterView::mouseMove(Point p)
{
    const Size size = frame().size;
    const int zone = m_moveTouchPoint;
    if (zone == 9) {
        moveTo(p);
    } else if (zone >= 1 && zone <= 4) {
        float aspect = 1;
        if (m_videoSize.width > 0 && m_videoSize.height > 0)
            aspect = float(m_videoSize.width) / float(m_videoSize.height);
        const bool leftSide = zone == 1 || zone == 3;
        const bool top = zone == 1 || zone == 2;
        double h = std::max(kMinSide, top ? p.y - m_cliprect.minY() : m_cliprect.maxY() - p.y);
        // The width follows the height; the height is limited so that the moving side stays inside.
        const double room = leftSide ? m_cliprect.maxX() : size.width - m_cliprect.minX();
        if (h * aspect > room)
            h = room / aspect;
        const double w = std::max(kMinSide, h * aspect);
        showRect(ClipRectGeometry::resizedFromCorner(m_cliprect, zone, w, h));
    }
    finishDragStep();
    platform::log("RDWaterView video-aspect step: %lf,%lf,%lf,%lf", m_cliprect.minX(), m_cliprect.minY(),
                  m_cliprect.width(), m_cliprect.height());
}

void RDWaterView::finishDragStep()
{
    m_isMoving = true;
    update();
    if (m_delegate)
        m_delegate->actionMouseMovedForWaterViewBlock(this, m_cliprect);
}

void RDWaterView::mouseUp(const platform::MouseEvent &)
{
    if (!m_enabled)
        return;
    if (hasContent())
        setCursor(m_isTouchPointInClipRect ? Qt::OpenHandCursor : Qt::ArrowCursor);
    m_moveTouchPoint = 0;
    if (m_delegate)
        m_delegate->actionMouseMoveEndForWaterViewBlock(this, getPercentImageClipRect());
    platform::log("%lf,%lf,%lf,%lf", m_cliprect.minX(), m_cliprect.minY(), m_cliprect.width(),
                  m_cliprect.height());
}

void RDWaterView::drawText()
{
    if (m_waterMarkString.isEmpty())
        m_waterMarkString = QStringLiteral(" ");
    // Fonts sized in layout units carry a pixel size (one point is one pixel), others a point size.
    const double size =
        m_waterMarkFont.pixelSize() > 0 ? double(m_waterMarkFont.pixelSize()) : m_waterMarkFont.pointSizeF();
    const QFont font = platform::FontAlias::fontNamed(m_waterMarkFont.family(), size, m_waterMarkString)
                           .value_or(m_waterMarkFont);
    QColor color = m_waterMarkColor.isValid() ? m_waterMarkColor : QColor(Qt::white);
    color.setAlphaF(float(1 - m_waterMarkAlph / 100.0));
    m_waterStringRect = m_cliprect;
    // Only what changed is handed on: a label that repaints asks this overlay to repaint too.
    m_waterMarkLb->setTextFont(font);
    m_waterMarkLb->setTextColor(color);
    m_waterMarkLb->setOringeY(m_orginY);
    m_waterMarkLb->setStringValue(m_waterMarkString);
    if (m_waterMarkLb->frame() != m_waterStringRect)
        m_waterMarkLb->setFrame(m_waterStringRect);
    const QImage image = viewToImage(m_waterMarkLb);
    if (!image.isNull() && m_delegate)
        m_delegate->DreawwaterImage(image);
    platform::log("RDWaterView text colour: %d,%d,%d", color.red(), color.green(), color.blue());
}

void RDWaterView::drawRect(QPainter &painter, const Rect &)
{
    m_cliprect = RDCropTmpView::rectBetween(m_leftView, m_rightView, m_topView, m_bottomView);
    const Rect shown = m_cliprect;

    if (m_markWaterType == 2)
        View::drawImageUpright(painter, m_cliprect, m_waterMark, float(1 - m_waterMarkAlph / 100.0));
    else if (m_markWaterType == 4)
        drawText();

    if (m_markWaterType == 2)
        ClipRectGeometry::drawHandles(painter, shown, Qt::blue, !(m_scale_Type == 3 && hasPicture()));

    if (!hasPicture() && QString(m_waterMarkString).remove(QLatin1Char(' ')).isEmpty())
        return;
    ClipRectGeometry::drawOutline(painter, shown, Qt::white);
}
