#pragma once
// The watermark rectangle the user moves (and, for pictures, resizes) over the editor's preview.
//
// A transparent overlay laid exactly over the displayed picture while the watermark tool is shown. It
// shows the selected watermark inside its rectangle: a picture (also a video's frame) drawn at the
// watermark's opacity with blue handles, or a line of text drawn by its QYTextFiledCenter label, with a
// white dashed outline. Pictures have nine hit zones (four corners, four edge middles, the inside); text
// can only be moved. Every press, drag step and release is reported to the delegate; at every drawing
// pass of a text watermark the text is rendered on a transparent picture (viewToImage) and handed to the
// delegate for the export.
//
// Coordinates are the overlay's points, origin bottom-left, y up. Four transparent strips carry the
// rectangle (each drawing pass reads it back from them); every call that changes the rectangle re-lays
// them, so the getters and the reports always give the rectangle on screen.
//
// Kinds (markWaterType): 2 picture, 4 text, anything else only the outline. Scale types (scale_Type):
// 1 free, 2 keep the video's aspect, 3 keep the picture's aspect (only while a picture is set). While
// enabled() is false, presses, drags and releases are ignored but hover still sets the cursor.
// Main thread only.
#include "editor/tools/RDWaterViewDelegate.h"
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class RDCropTmpView;
class QYTextFiledCenter;

class RDWaterView : public platform::View
{
    Q_OBJECT

public:
    // The editor's form: reference frame and rectangle = `frame`; the strips start as 1-point lines along
    // the sides, so a first drawing pass shows the frame inset by 1 point.
    explicit RDWaterView(const platform::Rect &frame, QWidget *parent = nullptr);
    // Over the bounds of `view` (added to it), with the centred square of side min(w, h) as rectangle;
    // the reference frame stays zero until setFrameRect(). `freedom` is kept and not used.
    RDWaterView(platform::View *view, bool freedom);
    ~RDWaterView() override;

    RDWaterViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDWaterViewDelegate *delegate) { m_delegate = delegate; }

    // Setters that redraw at once.
    int markWaterType() const { return m_markWaterType; }
    void setMarkWaterType(int type);
    QImage waterMark() const { return m_waterMark; }
    void setWaterMark(const QImage &image);
    QString waterMarkString() const { return m_waterMarkString; }
    void setWaterMarkString(const QString &text);
    // Transparency in percent: 0 opaque, 100 invisible.
    int waterMarkAlph() const { return m_waterMarkAlph; }
    void setWaterMarkAlph(int alph);

    // Stores the type and redraws. Type 3 with a picture set makes the rectangle's width follow its
    // height by the picture's aspect, keeping the origin; when that would pass the overlay's right side
    // the rectangle is shrunk (aspect kept) to end there.
    int scale_Type() const { return m_scale_Type; }
    void setScale_Type(int type);

    // Plain setters.
    QFont waterMarkFont() const { return m_waterMarkFont; }
    void setWaterMarkFont(const QFont &font) { m_waterMarkFont = font; }
    // An invalid colour draws white.
    QColor waterMarkColor() const { return m_waterMarkColor; }
    void setWaterMarkColor(const QColor &color) { m_waterMarkColor = color; }
    float orginY() const { return m_orginY; }
    void setOrginY(float y) { m_orginY = y; }
    platform::Size videoSize() const { return m_videoSize; }
    void setVideoSize(platform::Size size) { m_videoSize = size; }
    // Only the overlay's own flag: the widget stays enabled so that hover still sets the cursor.
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void setCropText(const QString &text) { m_textStr = text; }

    QYTextFiledCenter *waterMarkLb() const { return m_waterMarkLb; }
    // True once a drag step has run.
    bool isMoving() const { return m_isMoving; }

    // Reference frame and frame = `rect`; redraws.
    void setFrameRect(const platform::Rect &rect);
    // Shows `rect` with its width held to 10 .. the overlay's width and its height to 10 .. its height;
    // the origin as given.
    void setClipRect(const platform::Rect &rect);
    platform::Rect getclipRectFrame() const { return m_cliprect; }
    // The rectangle, and the text label's frame at the last text drawing pass, as fractions of the
    // overlay's size (x / W, y / H, w / W, h / H).
    platform::Rect getPercentImageClipRect() const;
    platform::Rect getPercentTextClipRect() const;
    // Video pixels per overlay point (video width / reference-frame width; 0 without a frame width).
    double getclipRectScale() const;
    // The rectangle in video pixels, origin bottom-left.
    platform::Rect getclipRect() const;
    // `rect` made to fit the overlay: a rectangle larger than the overlay in either direction is scaled
    // down, aspect kept, until it fits both ways; any other is returned as it is.
    platform::Rect getCheckClipRect(const platform::Rect &rect) const;

    // Renders `view` on a transparent picture (at the video's pixel scale, at least 1), after making the
    // folder "Water" in the user's Movies folder when it is missing. A null picture when the view is null
    // or empty.
    QImage viewToImage(QYTextFiledCenter *view);

    // Not used by the editor on this overlay. setCropType stores `type` as the scale type and resets the
    // rectangle, centred in the reference frame: 1 the square of side min(w, h), 2 the whole frame, 3 the
    // video's aspect fitted in; other types change nothing. setclipEDGE shows `rect` as it is.
    // ChangeclipEDGE moves the left, right, bottom and top edges by x1, x2, y1, y2 and keeps the rectangle
    // inside the reference frame (0.1 point short of the far sides).
    void setCropType(int type);
    void setclipEDGE(const platform::Rect &rect);
    void ChangeclipEDGE(float x1, float x2, float y1, float y2);

    // One drag step in the video-aspect mode to the overlay point `p` (already clamped to the overlay):
    // a corner's height follows the pointer from the opposite side, its width the video's aspect, both
    // at least 10 and limited so that the rectangle stays inside; the inside moves the rectangle.
    void mouseMove(platform::Point p);

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;

private:
    void createSubviews(double inset);
    void showRect(const platform::Rect &rect);
    bool hasContent() const;
    bool hasPicture() const { return !m_waterMark.isNull(); }
    int zoneAt(platform::Point p) const;
    void moveTo(platform::Point p);
    void resizeFree(platform::Point p);
    bool resizeKeepingPictureAspect(platform::Point p);
    void finishDragStep();
    void drawText();

    RDWaterViewDelegate *m_delegate = nullptr;
    int m_markWaterType = 0;
    int m_scale_Type = 0;
    QImage m_waterMark;
    QString m_waterMarkString;
    QFont m_waterMarkFont;
    QColor m_waterMarkColor;
    int m_waterMarkAlph = 0;
    bool m_enabled = true;
    float m_orginY = 0;
    platform::Rect m_cliprect;
    platform::Rect m_waterStringRect;
    platform::Rect m_oFrame;
    platform::Size m_videoSize;
    platform::Point m_touchPoint;
    platform::Point m_touchBeginPoint;
    int m_moveTouchPoint = 0;
    bool m_isTouchPointInClipRect = false;
    bool m_isMoving = false;
    float m_left = 0;
    float m_bottom = 0;
    bool m_freedom = false;
    QString m_textStr;
    QYTextFiledCenter *m_waterMarkLb = nullptr;
    RDCropTmpView *m_leftView = nullptr;
    RDCropTmpView *m_rightView = nullptr;
    RDCropTmpView *m_topView = nullptr;
    RDCropTmpView *m_bottomView = nullptr;
};
