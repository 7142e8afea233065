#pragma once
// A two-image progress bar: a back image over the whole bar and a tint image from the left edge, as wide
// as progress() times the bar's width. progress() is not clamped (callers pass a fraction 0..1) and is
// kept across resizes. Main thread only.
#include "platform/View.h"

class ImageView;

class NSProgressView : public platform::View
{
    Q_OBJECT

public:
    explicit NSProgressView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~NSProgressView() override;

    float progress() const { return m_progress; }
    void setProgress(float progress);

    ImageView *progressBackView() const { return m_progressBackView; }
    ImageView *progressTintView() const { return m_progressTintView; }

protected:
    void frameDidChange() override;

private:
    ImageView *m_progressBackView = nullptr;
    ImageView *m_progressTintView = nullptr;
    float m_progress = 0;
};
