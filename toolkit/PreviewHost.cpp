#include "toolkit/PreviewHost.h"

#include "media/RDMoviePlayer.h"
#include "platform/CMTime.h"
#include "platform/Timer.h"
#include "platform/View.h"

#include <algorithm>

PreviewHost::~PreviewHost()
{
    close();
}

bool PreviewHost::open(const QString &path, platform::View *host, std::function<void()> didEnd)
{
    close();
    if (path.isEmpty() || !host)
        return false;
    std::unique_ptr<RDMoviePlayer> player = RDMoviePlayer::initWithString(path.toStdString(), host->bounds());
    if (!player)
        return false;
    m_player = std::move(player);
    m_player->seekTime(platform::CMTimeMake(1, 30));
    m_player->setPlayerDidEndBlock(std::move(didEnd));
    m_view = m_player->view();
    m_view->setParent(host);
    m_player->setFrame(host->bounds());
    m_view->show();
    return true;
}

void PreviewHost::setPlayer(std::shared_ptr<RDMoviePlayer> player)
{
    if (player == m_player)
        return;
    close();
    m_player = std::move(player);
}

void PreviewHost::close()
{
    // The tick must not outlive the player it reads.
    stopTick();
    if (m_player)
        m_player->stop();
    m_player.reset();
    m_view = nullptr;
}

void PreviewHost::fitInto(platform::View *host)
{
    if (!m_view || !host)
        return;
    const bool moved = m_view->parentWidget() != host;
    if (moved)
        m_view->setParent(host);
    if (auto *view = qobject_cast<platform::View *>(m_view.data()))
        view->setFrame(host->bounds());
    else
        m_view->setGeometry(0, 0, int(host->bounds().width()), int(host->bounds().height()));
    if (moved)
        m_view->show();
}

double PreviewHost::duration() const
{
    return m_player ? platform::CMTimeGetSeconds(m_player->duration()) : 0;
}

double PreviewHost::currentTime() const
{
    return m_player ? platform::CMTimeGetSeconds(m_player->currentTime()) : 0;
}

void PreviewHost::seek(double seconds)
{
    if (m_player)
        m_player->seekTime(platform::CMTimeMakeWithSeconds(seconds, 1000000000));
}

double PreviewHost::fraction() const
{
    const double d = duration();
    if (!(d > 0))
        return 0;
    return std::clamp(currentTime() / d, 0.0, 1.0);
}

void PreviewHost::startTick(std::function<void()> tick)
{
    stopTick();
    m_timer = platform::Timer::scheduled(0.1, true, [tick = std::move(tick)](platform::Timer &) { tick(); });
}

void PreviewHost::stopTick()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}
