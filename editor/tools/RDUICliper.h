#pragma once
// The crop rectangle the user drags over the editor's preview.
//
// A transparent overlay laid exactly over the displayed picture. The rectangle is drawn with a dashed
// outline and 10-point handles (four corners, and four edge middles in free mode); four half-transparent
// black strips dim the picture around it. The user moves the rectangle from inside, or drags a corner or
// an edge middle; every step is reported to the delegate, which turns the rectangle into crop margins.
//
// Coordinates are the overlay's points, origin bottom-left, y up. The strips carry the rectangle that is
// shown: every drawing pass reads getclipRectFrame() back from them. So the calls that only reset the
// stored rectangle (setFrameRect, setVideoSize, setCropType, setclipEDGE, ChangeclipEDGE) change what the
// getters return until the next drawing pass of a visible overlay; setClipRect() and the drags change
// what is shown. A press also takes the shown rectangle, so the user always grabs what they see.
//
// Modes (crop_Type): 2 keeps the video's aspect (corners only, no edge handles); any other value is free.
// Main thread only.
#include "editor/tools/RDUICliperDelegate.h"
#include "platform/View.h"

#include <QString>

class RDCropTmpView;

class RDUICliper : public platform::View
{
    Q_OBJECT

public:
    // The editor's form: reference frame and rectangle = `frame`; the strips start as 1-point lines along
    // the sides, so a first drawing pass shows the frame inset by 1 point.
    explicit RDUICliper(const platform::Rect &frame, QWidget *parent = nullptr);
    // Over the bounds of `host` (added to it), with the centred square of side min(w, h) as rectangle.
    // `freedom` is kept and not used.
    RDUICliper(platform::View *host, bool freedom);
    ~RDUICliper() override;

    // Reference frame and frame = `rect`; the stored rectangle becomes the centred square of the frame.
    // Redraws at once. Callers follow with setClipRect().
    void setFrameRect(const platform::Rect &rect);
    // Stores the picture size in video pixels as displayed; resets the stored rectangle as setFrameRect().
    void setVideoSize(platform::Size size);
    platform::Size videoSize() const { return m_videoSize; }

    // Stores `type`; 1..7 also reset the stored rectangle to a preset centred in the reference frame
    // (1, 3 square; 2 whole frame; 4 16:9; 5 9:16; 6 4:3; 7 3:4). Requests a redraw.
    void setCropType(int type);
    int crop_Type() const { return m_crop_Type; }
    void setCrop_Type(int type) { m_crop_Type = type; }

    // Shows `rect`: its width held to 60 .. the overlay's width, its height to 60 .. the overlay's height,
    // its origin as given (the caller keeps it inside).
    void setClipRect(const platform::Rect &rect);
    // The rectangle in overlay points.
    platform::Rect getclipRectFrame() const { return m_cliprect; }
    // The rectangle as fractions of the overlay's current size.
    platform::Rect getPercentClipRect() const;
    // Video pixels per overlay point: video width / reference-frame width (0 without a frame width).
    double getclipRectScale() const;
    // The rectangle in video pixels, origin bottom-left.
    platform::Rect getclipRect() const;

    // Sets the stored rectangle only (the strips stay); requests a redraw.
    void setclipEDGE(const platform::Rect &rect);
    // Moves the stored rectangle's left, right, bottom and top edges by dx1, dx2, dy1, dy2, then keeps it
    // inside the reference frame (0.1 point short of the far sides). Redraws only when nothing was clamped.
    void ChangeclipEDGE(float dx1, float dx2, float dy1, float dy2);

    // A caption, stored only.
    QString cropText() const { return m_cropText; }
    void setCropText(const QString &text) { m_cropText = text; }

    RDUICliperDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDUICliperDelegate *delegate) { m_delegate = delegate; }
    // 1 turns on the end report of a release on the press point.
    qint64 fileType() const { return m_fileType; }
    void setFileType(qint64 type) { m_fileType = type; }

    // One keep-aspect drag step to the overlay point `p` (already clamped to the overlay): the corner
    // opposite the dragged one stays, the height follows the pointer and the width follows the video's
    // aspect, limited so that the rectangle stays inside the overlay.
    void mouseMove(platform::Point p);

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

private:
    void createStrips();
    platform::Rect centredSquare() const;
    void showRect(const platform::Rect &rect);
    void readBackShownRect();
    int zoneAt(platform::Point p) const;
    void moveTo(platform::Point p);
    void finishDragStep();

    platform::Rect m_oFrame;
    platform::Rect m_cliprect;
    platform::Size m_videoSize;
    int m_crop_Type = 0;
    int m_cropTouchPoint = 0;
    float m_left = 0;
    float m_bottom = 0;
    platform::Point m_touchBeginPoint;
    qint64 m_fileType = 0;
    bool m_freedom = false;
    QString m_cropText;
    RDUICliperDelegate *m_delegate = nullptr;
    RDCropTmpView *m_leftView = nullptr;
    RDCropTmpView *m_rightView = nullptr;
    RDCropTmpView *m_topView = nullptr;
    RDCropTmpView *m_bottomView = nullptr;
};
