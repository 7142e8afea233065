#include "toolkit/PreviewTransport.h"

#include "controls/PNQButton.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/TextLabel.h"
#include "media/RDMoviePlayer.h"
#include "model/HelpClass.h"
#include "platform/Log.h"
#include "toolkit/PreviewHost.h"

void PreviewTransport::setControls(const Controls &controls)
{
    m_play = controls.play;
    m_trimPlay = controls.trimPlay;
    m_bar = controls.bar;
    m_left = controls.left;
    m_right = controls.right;
    m_volume = controls.volume;
    m_slider = controls.slider;
    m_logsTicks = controls.logsTicks;
}

void PreviewTransport::play()
{
    if (!m_preview.player())
        return;
    m_playing = true;
    m_preview.player()->play();
    // The tick belongs to the preview, which goes before this transport's window.
    m_preview.startTick([this] { tick(); });
    for (PNQButton *button : {m_play.data(), m_trimPlay.data()})
        if (button)
            button->setSelected(true);
}

void PreviewTransport::pause()
{
    if (!m_preview.player())
        return;
    m_preview.player()->pause();
    stopped();
}

void PreviewTransport::stopped()
{
    m_playing = false;
    m_preview.stopTick();
    for (PNQButton *button : {m_play.data(), m_trimPlay.data()})
        if (button)
            button->setSelected(false);
}

void PreviewTransport::tick()
{
    const double current = m_preview.currentTime();
    const double duration = m_preview.duration();
    if (current >= duration && current > 0)
        m_preview.stopTick();
    const float progress = float(m_preview.fraction());
    if (m_logsTicks)
        platform::log("player_progress:%f", progress);
    if (m_bar)
        m_bar->setProgress(progress);
    if (m_left)
        m_left->setText(HelpClass::returnTimeToStr(float(current)));
    if (m_right)
        m_right->setText(HelpClass::returnTimeToStr(float(duration)));
}

void PreviewTransport::setMuted(bool muted)
{
    m_muted = muted;
    if (m_volume)
        m_volume->setStateImages(muted ? QStringLiteral("Cut/btnCloseVolume")
                                       : QStringLiteral("Cut/btnOpenVolume"));
    if (m_preview.player())
        m_preview.player()->SetVolume(muted ? 0.0 : 1.0);
    if (m_slider)
        m_slider->setProgress(muted ? 0.0f : 0.5f);
}
