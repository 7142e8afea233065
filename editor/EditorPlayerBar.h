#pragma once
// The editor preview's control bar: play/pause, stop, snapshot, snapshot format (a button and its pop-up
// of "png", "jpg", "bmp"), mute and the volume slider, in one row of 36-point buttons inside the bar view
// it is given. It makes the controls once, gives them their images, shows the play or the pause face and
// moves the volume controls aside while the format pop-up shows; the window connects the clicks.
// Main thread only.
#include "controls/PNQButton.h"
#include "controls/RDProgressSlider.h"
#include "platform/PopUpButton.h"

#include <QPointer>

namespace platform {
class View;
}

class EditorPlayerBar
{
public:
    // Makes the controls in `bar` on the first call (the volume slider at 0.5, reporting to
    // `delegate`); every call gives them their images again and makes a new, hidden format pop-up.
    void build(platform::View *bar, RDProgressSliderDelegate *delegate);
    // The play face (paused) or the pause face (playing); selected while playing.
    void showPlaying(bool playing);
    // Shows or hides the format pop-up, the volume controls moving behind it.
    void toggleFormatPopUp();
    // Hides the pop-up with `index` chosen and puts the volume controls back; returns its title.
    QString chooseFormat(int index);

    PNQButton *playPauseBtn() const { return m_playPause; }
    PNQButton *stopBtn() const { return m_stop; }
    PNQButton *cameraBtn() const { return m_camera; }
    PNQButton *picStyleBtn() const { return m_picStyle; }
    PNQButton *volumeBtn() const { return m_volume; }
    RDProgressSlider *volumeSlider() const { return m_volumeSlider; }
    platform::PopUpButton *coverStylePopBtn() const { return m_coverStyle; }

private:
    void placeVolumeControls(double afterX);

    QPointer<PNQButton> m_playPause, m_stop, m_camera, m_picStyle, m_volume;
    QPointer<RDProgressSlider> m_volumeSlider;
    QPointer<platform::PopUpButton> m_coverStyle;
};
