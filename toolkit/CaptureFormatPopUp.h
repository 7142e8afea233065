#pragma once
// The capture-format pop-up of a list tool window's button row (joiner, batch cutter): the capture-set
// button toggles it; shown, it sits in the row at the button's right edge and the volume button and its
// slider move aside to make room; a choice closes it again, as a second click on the button does, and
// the volume controls go back. The pop-up offers png, jpg and bmp in FrameCapture::styleAt()'s order.
// Main thread only.
#include "platform/Geometry.h"

#include <QPointer>

#include <functional>

class PNQButton;
class RDProgressSlider;
namespace platform {
class PopUpButton;
}

class CaptureFormatPopUp
{
public:
    // Builds the hidden pop-up into the button's parent, `popUpWidth` wide and as high as `styleButton`,
    // beside it. The volume controls (either may be null) keep their frames as the closed places.
    void build(PNQButton *styleButton, PNQButton *volumeButton, RDProgressSlider *volumeSlider,
               double popUpWidth = 80);

    // The pop-up shown or hidden (the capture-set button's click, while a preview exists).
    void toggle();
    void setShown(bool shown);
    bool isShown() const;

    // The chosen item's index (0 png, 1 jpg, 2 bmp), after which the pop-up closes.
    std::function<void(int index)> choiceBlock;

    platform::PopUpButton *popUp() const { return m_popUp; }

private:
    QPointer<PNQButton> m_styleButton;
    QPointer<PNQButton> m_volumeButton;
    QPointer<RDProgressSlider> m_volumeSlider;
    QPointer<platform::PopUpButton> m_popUp;
    platform::Rect m_volumeClosed;
    platform::Rect m_sliderClosed;
};
