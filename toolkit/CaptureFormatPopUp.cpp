#include "toolkit/CaptureFormatPopUp.h"

#include "controls/PNQButton.h"
#include "controls/RDProgressSlider.h"
#include "platform/PopUpButton.h"
#include "toolkit/ToolWidgets.h"

#include <algorithm>

namespace {
constexpr double kGap = 4;
}

void CaptureFormatPopUp::build(PNQButton *styleButton, PNQButton *volumeButton,
                               RDProgressSlider *volumeSlider, double popUpWidth)
{
    m_styleButton = styleButton;
    m_volumeButton = volumeButton;
    m_volumeSlider = volumeSlider;
    if (volumeButton)
        m_volumeClosed = volumeButton->frame();
    if (volumeSlider)
        m_sliderClosed = volumeSlider->frame();
    const platform::Rect b = styleButton->frame();
    m_popUp = ToolWidgets::snapshotStylePopUp(
        platform::makeRect(b.maxX() + kGap, b.minY(), popUpWidth, b.height()), styleButton->parentWidget());
    m_popUp->action = [this](platform::PopUpButton &p) {
        const int index = p.indexOfSelectedItem();
        setShown(false);
        if (choiceBlock)
            choiceBlock(index);
    };
}

void CaptureFormatPopUp::toggle()
{
    setShown(!isShown());
}

bool CaptureFormatPopUp::isShown() const
{
    return m_popUp && !m_popUp->isHidden();
}

void CaptureFormatPopUp::setShown(bool shown)
{
    if (!m_popUp)
        return;
    m_popUp->setHidden(!shown);
    if (!m_volumeButton)
        return;
    // Shown, the volume button starts after the pop-up (where it lay further right, it stays).
    platform::Rect volume = m_volumeClosed;
    if (shown)
        volume.origin.x = std::max(volume.minX(), m_popUp->frame().maxX() + kGap);
    m_volumeButton->setFrame(volume);
    if (m_volumeSlider) {
        platform::Rect slider = m_sliderClosed;
        slider.origin.x += volume.minX() - m_volumeClosed.minX();
        m_volumeSlider->setFrame(slider);
    }
}
