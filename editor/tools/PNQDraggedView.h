#pragma once
// A piece of the music range slider that the user drags sideways: an image scaled to its frame, or (with
// isDraw) a red marker, a dot near the top on a line down to the bottom; with a repeatWidth it shows
// white separators every repeatWidth points in place of its image. It reports each drag step to its
// delegate. Only MusicRangeSlider uses it.
//
// Dragging follows the pointer exactly: the pointer's grab offset from the left edge is kept, and the
// view's x is held within its travel, [travelMin, travelMax], which the owner sets (by default 0 to the
// superview's width less its own). A disabled view ignores the mouse. Main thread only.
#include "platform/View.h"

#include <QImage>
#include <QPointer>

class PNQDraggedView;

class PNQDraggedViewDelegate
{
public:
    virtual ~PNQDraggedViewDelegate() = default;
    virtual void mouseDraggedWithSender(PNQDraggedView *) {}
};

class PNQDraggedView : public platform::View
{
public:
    explicit PNQDraggedView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    bool isDraw() const { return m_isDraw; }
    void setIsDraw(bool on);
    double repeatWidth() const { return m_repeatWidth; }
    void setRepeatWidth(double width);
    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    void setDelegate(PNQDraggedViewDelegate *delegate) { m_delegate = delegate; }
    // The range of x the view may be dragged to, in its superview's points.
    void setTravel(double minX, double maxX);

    // The x positions of the separators shown with the current repeatWidth: 2 points right of each
    // multiple of it inside the view (none when it is 0 or wider than the view).
    QList<double> separatorPositions() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_isDraw = false;
    double m_repeatWidth = 0;
    QImage m_image;
    PNQDraggedViewDelegate *m_delegate = nullptr;
    double m_grabOffset = 0;
    bool m_hasTravel = false;
    double m_travelMin = 0, m_travelMax = 0;
};
