#pragma once
// The trim-range bar: a horizontal bar with a start and an end handle (fractions 0..1 of the duration in
// lowerValue() / upperValue()) and a playhead marker, the tick, at progress().
//
// Keep mode highlights the span between the handles (their inner edges are the section's boundaries);
// remove mode (isFanxuan) highlights what lies outside and puts the handles inside the span (their outer
// edges are the boundaries). The user drags a handle (the lower half of the bar), drags the tick (when
// tickMark() is set) or clicks the bar to move the tick and seek; every step goes to the delegate. A
// disabled bar hides its handles and ignores the mouse.
//
// Geometry (W x H the frame size, origin bottom-left): the bar is (9, (H - 10) / 2, W - 18, 10); the
// handles are 9 x 12 at y 0. Type 0 is the standard look, 1 the cutter images, 2 the cutter tick over the
// standard bar. Main thread only; the delegate is called synchronously from the event handlers.
#include "platform/View.h"

#include <cstdint>

class ImageView;
class RDCutProgressView;

class RDCutProgressViewDelegate
{
public:
    virtual ~RDCutProgressViewDelegate() = default;
    // The value under the tick at the press.
    virtual void actionMouseDownForCutProgressViewBlock(RDCutProgressView *, float) {}
    // The value under the tick at the release.
    virtual void actionMouseUpForCutProgressViewBlock(RDCutProgressView *, float) {}
    // Seek to this fraction, 0..1 (a click on the bar or a drag of the tick).
    virtual void actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *, float) {}
    // A handle moved: the new start and end fractions (0..1) and the handle, 1 start or 2 end.
    virtual void actionMouseMovedForCutProgressViewBlock(RDCutProgressView *, float, float, int64_t) {}
};

class RDCutProgressView : public platform::View
{
    Q_OBJECT

public:
    // Made in code: the images of type 0 in keep mode, the tick not draggable.
    explicit RDCutProgressView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDCutProgressView() override;

    ImageView *progressBackView() const { return m_progressBackView; }
    ImageView *progressTintView() const { return m_progressTintView; }
    ImageView *handLeftView() const { return m_handLeftView; }
    ImageView *handRightView() const { return m_handRightView; }
    ImageView *tickMarkView() const { return m_tickMarkView; }

    // What the current gesture moves.
    bool handLeft() const { return m_handLeft; }
    bool handRight() const { return m_handRight; }
    bool handtick() const { return m_handtick; }

    int64_t type() const { return m_type; }
    // Stores the look and applies it (as setIsFanxuan() with the current mode).
    void setType(int64_t type);
    bool disable() const { return m_disable; }
    // Ignores the mouse and hides the handles, or not; either way the tick becomes draggable.
    void setDisable(bool disable);
    bool tickMark() const { return m_tickMark; }
    void setTickMark(bool on) { m_tickMark = on; }
    bool tickHidden() const { return m_tickHidden; }
    void setTickHidden(bool hidden);

    // The playhead; moves the tick and sends nothing.
    float progress() const { return m_progress; }
    void setProgress(float progress);
    bool isFanxuan() const { return m_isFanxuan; }
    // Switches keep / remove mode: the images swap, both values are kept, the tick ends at the start.
    void setIsFanxuan(bool on);
    float lowerValue() const { return m_lowerValue; }
    // Places the start handle (and the tick there).
    void setLowerValue(float value);
    float upperValue() const { return m_upperValue; }
    // Places the end handle (and the tick there).
    void setUpperValue(float value);
    // Places both handles; an upper value of 0 means the end (1.0). The tick ends at the start.
    void setLowerValueUpperValue(float lower, float upper);
    // The handle moved last: 1 start, 2 end.
    int64_t handleType() const { return m_handleType; }

    // Non-owning; the delegate must outlive the bar or be reset first.
    RDCutProgressViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDCutProgressViewDelegate *delegate) { m_delegate = delegate; }

protected:
    void frameDidChange() override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;

private:
    platform::Rect barRect() const;
    void layoutBar();
    void layoutTint();
    void applyImages();
    void placeEndHandle(float value);
    double startBoundary() const;
    double endBoundary() const;
    float tickValue() const;
    void setViewX(ImageView *view, double x);

    ImageView *m_progressBackView = nullptr;
    ImageView *m_progressTintView = nullptr;
    ImageView *m_handLeftView = nullptr;
    ImageView *m_handRightView = nullptr;
    ImageView *m_tickMarkView = nullptr;
    bool m_handLeft = false;
    bool m_handRight = false;
    bool m_handtick = false;
    int64_t m_type = 0;
    bool m_disable = false;
    bool m_tickMark = false;
    bool m_tickHidden = false;
    float m_progress = 0;
    bool m_isFanxuan = false;
    float m_lowerValue = 0;
    float m_upperValue = 0;
    int64_t m_handleType = 0;
    RDCutProgressViewDelegate *m_delegate = nullptr;
};
