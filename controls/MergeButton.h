#pragma once
// A two-position switch drawn as a background with a knob on its left or right half. setselected() moves
// the knob; setSelected() only stores the flag. Clicks are the platform button's (its action). Main thread.
#include "controls/Button.h"

class ImageView;

class MergeButton : public Button
{
    Q_OBJECT

public:
    explicit MergeButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~MergeButton() override;

    bool selected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    // Stores the flag and moves the knob: the right half when selected, else the left half.
    void setselected(bool selected);

    ImageView *knobView() const { return m_knobView; }

private:
    ImageView *m_knobView = nullptr;
    bool m_selected = false;
};
