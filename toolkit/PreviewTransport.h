#pragma once
// The play, pause and mute controls of a list tool window's preview (joiner, batch cutter), over its
// PreviewHost: the play button shows the playing state (selected while playing), the 0.1 s tick moves
// the trim bar's position mark and the two time labels, and muting silences the player, swaps the
// volume button's images and puts the volume slider at 0 (muted) or its middle.
//
// The controls are the window's; set them once they are built (any may be null). Without a player
// play() and pause() do nothing. Stopping, the end of play and what a clip's range does with the
// playhead stay the window's. Main thread only.
#include <QPointer>

class PNQButton;
class PreviewHost;
class RDCutProgressView;
class RDProgressSlider;
class TextLabel;

class PreviewTransport
{
public:
    explicit PreviewTransport(PreviewHost &preview) : m_preview(preview) {}

    struct Controls
    {
        PNQButton *play = nullptr;     // the window's play button
        PNQButton *trimPlay = nullptr; // a second play button (the trim panel's), or null
        RDCutProgressView *bar = nullptr;
        TextLabel *left = nullptr;  // the position
        TextLabel *right = nullptr; // the duration
        PNQButton *volume = nullptr;
        RDProgressSlider *slider = nullptr;
        // Each tick logs "player_progress:%f" (the batch cutter's does, the joiner's is quiet).
        bool logsTicks = true;
    };
    void setControls(const Controls &controls);

    bool isPlaying() const { return m_playing; }
    // Plays from the playhead and starts the tick.
    void play();
    // Pauses and stops the tick.
    void pause();
    // Not playing any more (the player was stopped, closed or reached its end): the state and the
    // buttons, and the tick stops; the player is left alone.
    void stopped();
    // One tick: the bar's mark at the playhead, the labels at the playhead and the duration; at the end
    // of the file the tick stops.
    void tick();

    bool isMuted() const { return m_muted; }
    // Silences the player or gives it full volume back; the button and the slider follow.
    void setMuted(bool muted);

private:
    PreviewHost &m_preview;
    QPointer<PNQButton> m_play, m_trimPlay, m_volume;
    QPointer<RDCutProgressView> m_bar;
    QPointer<TextLabel> m_left, m_right;
    QPointer<RDProgressSlider> m_slider;
    bool m_playing = false;
    bool m_muted = false;
    bool m_logsTicks = true;
};
