#pragma once
// A tool window's preview: the player of one file with its picture in a host view, and the repeating
// 0.1 s playback tick that moves the window's position slider and time labels.
//
// open() drops the previous player (and its tick), then makes a player for `path`, seeks it to 1/30 s,
// hands its end of play to `didEnd` and puts its picture into `host`, filling it; an empty path or a
// file the player refuses leaves no player. The tick runs in the Default run-loop mode (it pauses while
// a modal session runs); starting it replaces a running one. A zero duration never divides: fraction()
// is then 0. close() stops the tick and drops the player whether it plays or is paused (the picture goes
// with it); the destructor does the same. Main thread only.
#include "platform/Geometry.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class RDMoviePlayer;

namespace platform {
class Timer;
class View;
} // namespace platform

class PreviewHost
{
public:
    PreviewHost() = default;
    ~PreviewHost();
    PreviewHost(const PreviewHost &) = delete;
    PreviewHost &operator=(const PreviewHost &) = delete;

    bool open(const QString &path, platform::View *host, std::function<void()> didEnd);
    // Takes a player made elsewhere (its picture stays where it is); null drops the current one.
    void setPlayer(std::shared_ptr<RDMoviePlayer> player);
    void close();

    const std::shared_ptr<RDMoviePlayer> &player() const { return m_player; }
    // The player's picture; null without a player opened here.
    QWidget *view() const { return m_view; }
    // Moves the picture into `host` when it is elsewhere and fits it to the host's bounds.
    void fitInto(platform::View *host);

    // Seconds; 0 without a player.
    double duration() const;
    double currentTime() const;
    void seek(double seconds);
    // currentTime() / duration() held to 0..1; 0 when the duration is 0.
    double fraction() const;

    void startTick(std::function<void()> tick);
    void stopTick();
    const std::shared_ptr<platform::Timer> &timer() const { return m_timer; }

private:
    std::shared_ptr<RDMoviePlayer> m_player;
    QPointer<QWidget> m_view;
    std::shared_ptr<platform::Timer> m_timer;
};
