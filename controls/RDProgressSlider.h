#pragma once
// The horizontal slider: a thin track (a back image with a tint image over its left part) and a thumb
// image, with the value progress() as a fraction of the track.
//
// setProgress() places the thumb at (W - thumb width) x value, clamped to the slider, keeps the value
// as given (1.5 stays 1.5) and sends nothing. The mouse sends the delegate the press (with the value
// before the thumb moves), every move of the thumb (with the new value) and the release. A delegate that
// does not implement the press callback gets no jump on a press; only drags move the thumb then. A slider
// that is not wider than its thumb reads 0 from the mouse. disable() makes the mouse do nothing.
// Main thread only; the delegate is called synchronously from the event handlers.
#include "platform/View.h"

class ImageView;
class RDProgressSlider;

class RDProgressSliderDelegate
{
public:
    virtual ~RDProgressSliderDelegate() = default;
    virtual void actionMouseUpForProgressSliderBlock(RDProgressSlider *, float) {}
    // Not overriding this one means presses do not move the thumb.
    virtual void actionMouseDownForProgressSliderBlock(RDProgressSlider *, float);
    virtual void actionProgressForProgressSliderBlock(RDProgressSlider *, float) {}
};

class RDProgressSlider : public platform::View
{
    Q_OBJECT

public:
    explicit RDProgressSlider(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDProgressSlider() override;

    float progress() const { return m_progress; }
    void setProgress(float progress);
    bool disable() const { return m_disable; }
    void setDisable(bool disable) { m_disable = disable; }
    bool tickrefresh() const { return m_tickrefresh; }
    // On: the thumb takes its image's own size, centred vertically, keeping its x.
    void setTickrefresh(bool on);

    // Non-owning; the delegate must outlive the slider or be reset first.
    RDProgressSliderDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDProgressSliderDelegate *delegate) { m_delegate = delegate; }

    ImageView *progressBackView() const { return m_progressBackView; }
    ImageView *progressTintView() const { return m_progressTintView; }
    ImageView *tickMarkView() const { return m_tickMarkView; }

protected:
    void frameDidChange() override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

private:
    void setTintWidth(double width);

    ImageView *m_progressBackView = nullptr;
    ImageView *m_progressTintView = nullptr;
    ImageView *m_tickMarkView = nullptr;
    float m_progress = 0;
    bool m_disable = false;
    bool m_tickrefresh = false;
    RDProgressSliderDelegate *m_delegate = nullptr;
};
