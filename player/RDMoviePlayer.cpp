#include "media/RDMoviePlayer.h"

#include "engine/EditSettings.h"
#include "engine/InputFile.h"
#include "platform/Dispatch.h"
#include "platform/Log.h"
#include "player/AudioOutput.h"
#include "player/PlayerCore.h"
#include "player/PlayerView.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

int64_t toUs(platform::CMTime t)
{
    if (t.timescale <= 0)
        return 0;
    return av_rescale(t.value, 1000000, t.timescale);
}

platform::CMTime fromUs(int64_t us)
{
    return platform::CMTimeMake(us, 1000000);
}

void copyText(char *field, size_t size, const std::string &text)
{
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

// Wait for a seek or refresh before a snapshot; generous, since a long group of pictures may need decoding.
constexpr int kDrawWaitMs = 10000;

} // namespace

RDMoviePlayer::RDMoviePlayer() : m_self(std::make_shared<RDMoviePlayer *>(this)) {}

std::unique_ptr<RDMoviePlayer> RDMoviePlayer::initWithString(const std::string &path,
                                                             const platform::Rect &frame)
{
    std::unique_ptr<RDMoviePlayer> self(new RDMoviePlayer);
    self->m_core = std::make_unique<player::PlayerCore>(player::AudioOutput::create());
    std::weak_ptr<RDMoviePlayer *> weak = self->m_self;
    self->m_core->setPictureHandler([weak](std::shared_ptr<const player::Picture> picture) {
        platform::dispatchMain([weak, picture] {
            if (auto p = weak.lock(); p && *p)
                (*p)->showPicture(picture);
        });
    });
    self->m_core->setEndHandler([weak] {
        platform::dispatchMain([weak] {
            if (auto p = weak.lock(); p && *p)
                (*p)->playerDidEnd();
        });
    });
    if (self->m_core->open(path) < 0) {
        platform::logWarning("player: cannot open %s", path);
        return nullptr;
    }
    self->m_duration = self->m_core->durationUs();
    self->m_view = new player::PlayerView(frame);
    return self;
}

RDMoviePlayer::~RDMoviePlayer()
{
    closePlayer();
    delete m_view.data();
}

QWidget *RDMoviePlayer::view() const
{
    return m_view.data();
}

void RDMoviePlayer::setFrame(const platform::Rect &frame)
{
    if (m_view)
        m_view->setFrame(frame);
}

void RDMoviePlayer::showPicture(std::shared_ptr<const player::Picture> picture)
{
    if (m_view)
        m_view->setPicture(std::move(picture));
}

void RDMoviePlayer::playerDidEnd()
{
    m_core->restAfterEnd();
    if (m_endBlock)
        m_endBlock();
}

void RDMoviePlayer::play()
{
    m_core->play();
}

void RDMoviePlayer::pause()
{
    m_core->pause();
}

void RDMoviePlayer::stop()
{
    m_core->pause();
    m_core->seek(0);
}

void RDMoviePlayer::closePlayer()
{
    if (m_self)
        *m_self = nullptr;
    m_core->close();
}

int RDMoviePlayer::playerStatus() const
{
    return m_core->isPlaying() ? 1 : 0;
}

void RDMoviePlayer::setPlayerDidEndBlock(std::function<void()> block)
{
    m_endBlock = std::move(block);
}

void RDMoviePlayer::seekTime(platform::CMTime time)
{
    m_core->seek(toUs(time));
}

platform::CMTime RDMoviePlayer::currentTime() const
{
    return fromUs(m_core->positionUs());
}

platform::CMTime RDMoviePlayer::duration() const
{
    return fromUs(m_duration);
}

// ---- Sound ----------------------------------------------------------------------------------------

void RDMoviePlayer::SetVolume(double volume)
{
    m_core->setVolume(volume);
}

void RDMoviePlayer::SetMainAudioVolume(double volume)
{
    m_mainVolume = volume;
    m_core->setMainAudio(m_mainVolume, m_mainDisabled);
}

void RDMoviePlayer::DisableMainAudio(bool disable)
{
    m_mainDisabled = disable;
    m_core->setMainAudio(m_mainVolume, m_mainDisabled);
}

void RDMoviePlayer::SetAudioIndex(int index)
{
    if (m_core->setAudioStream(index))
        platform::log("player: audio stream %d", index);
    else
        platform::logWarning("player: stream %d is no audio stream of the file; kept the current one", index);
}

// ---- Picture edits --------------------------------------------------------------------------------

void RDMoviePlayer::changePicture(const std::function<void(engine::EditSettings &)> &change)
{
    m_core->changeEdits(change, false);
}

void RDMoviePlayer::SetBCS(int brightness, int contrast, int saturation)
{
    changePicture([&](engine::EditSettings &e) {
        e.brightness = std::clamp(brightness, -255, 255);
        e.contrast = std::clamp(contrast, -100, 100);
        e.saturation = std::clamp(saturation, -100, 100);
    });
}

void RDMoviePlayer::SetRotateAngle(int degrees)
{
    int quarter = int(std::lround(degrees / 90.0));
    changePicture([&](engine::EditSettings &e) { e.rotation = ((quarter % 4) + 4) % 4 * 90; });
}

void RDMoviePlayer::SetHFlip(int on)
{
    changePicture([&](engine::EditSettings &e) { e.hFlip = on != 0; });
}

void RDMoviePlayer::SetVFlip(int on)
{
    changePicture([&](engine::EditSettings &e) { e.vFlip = on != 0; });
}

void RDMoviePlayer::AddImageEffect(int effectId)
{
    if (effectId < engine::EffectGray || effectId > engine::EffectMosaic) {
        platform::logWarning("player: unknown image effect %d ignored", effectId);
        return;
    }
    changePicture([&](engine::EditSettings &e) {
        // Ascending and without duplicates, as the export keeps them.
        auto at = std::lower_bound(e.effects.begin(), e.effects.end(), effectId);
        if (at == e.effects.end() || *at != effectId)
            e.effects.insert(at, effectId);
    });
}

void RDMoviePlayer::SetCrop(RECT margins)
{
    changePicture([&](engine::EditSettings &e) {
        e.crop = RECT{std::max(0, margins.left) & ~1, std::max(0, margins.top) & ~1,
                      std::max(0, margins.right) & ~1, std::max(0, margins.bottom) & ~1};
    });
}

void RDMoviePlayer::ClearImageEffect()
{
    changePicture([](engine::EditSettings &e) { e.effects.clear(); });
}

namespace {

// Only a cheap look at the file: the records are handed over again on every edit of the overlay.
bool readableFile(const char (&path)[260])
{
    const QFileInfo info(QString::fromUtf8(path, int(strnlen(path, sizeof path))));
    return info.isFile() && info.isReadable();
}

} // namespace

bool RDMoviePlayer::AddTextWatermask(TEXT_WATERMARK_PARAM param)
{
    changePicture([&](engine::EditSettings &e) { e.textWatermarks.push_back(param); });
    return true;
}

bool RDMoviePlayer::AddImageWatermask(IMAGE_WATERMARK_PARAM param)
{
    // A picture loader may know names that are no files.
    const auto load = m_core->edits().loadImage;
    if (!readableFile(param.path) && !(load && load(param.path, nullptr, nullptr, 0, nullptr) == 1))
        return false;
    changePicture([&](engine::EditSettings &e) { e.imageWatermarks.push_back(param); });
    return true;
}

bool RDMoviePlayer::AddVideoWatermask(VIDEO_WATERMARK_PARAM param)
{
    if (!readableFile(param.path))
        return false;
    changePicture([&](engine::EditSettings &e) { e.videoWatermarks.push_back(param); });
    return true;
}

void RDMoviePlayer::ClearWatermask()
{
    changePicture([](engine::EditSettings &e) {
        e.textWatermarks.clear();
        e.imageWatermarks.clear();
        e.videoWatermarks.clear();
    });
}

void RDMoviePlayer::SetSubtitle(SUBTITLE_PARAM param)
{
    param.path[sizeof param.path - 1] = '\0';
    param.szFontFile[sizeof param.szFontFile - 1] = '\0';
    changePicture([&](engine::EditSettings &e) { e.subtitle = param; });
}

void RDMoviePlayer::UpdateSubtitleFontFile(const std::string &path)
{
    changePicture([&](engine::EditSettings &e) {
        copyText(e.subtitle.szFontFile, sizeof e.subtitle.szFontFile, path);
    });
}

void RDMoviePlayer::UpdateSubtitlePos(int position)
{
    changePicture([&](engine::EditSettings &e) { e.subtitle.position = position; });
}

void RDMoviePlayer::UpdateSubtitleFontClr(uint32_t color, int shadow, uint32_t shadowColor)
{
    changePicture([&](engine::EditSettings &e) {
        e.subtitle.fontclr = color;
        e.subtitle.shadow = shadow;
        e.subtitle.shadowclr = shadowColor;
    });
}

void RDMoviePlayer::SetDrawTextCallback(DrawTextCallback callback)
{
    changePicture([&](engine::EditSettings &e) { e.drawText = callback; });
}

void RDMoviePlayer::SetLoadImageCallback(LoadImageCallback callback)
{
    changePicture([&](engine::EditSettings &e) { e.loadImage = callback; });
}

// ---- Music ----------------------------------------------------------------------------------------

void RDMoviePlayer::AddDubbingMusic(const std::string &path, platform::CMTime start, platform::CMTime end,
                                    platform::CMTime timelineStart, platform::CMTime timelineEnd,
                                    platform::CMTime fadeIn, platform::CMTime fadeOut, double factor)
{
    engine::InputFile music;
    if (music.open(path) < 0 || music.audioStreams().empty()) {
        platform::logWarning("player: no music in %s; not added", path);
        return;
    }
    engine::MusicTrack track;
    track.path = path;
    track.sourceStart = std::max<int64_t>(0, toUs(start));
    track.sourceEnd = std::max<int64_t>(0, toUs(end));
    track.timelineStart = std::max<int64_t>(0, toUs(timelineStart));
    track.timelineEnd = std::max<int64_t>(0, toUs(timelineEnd));
    track.fadeIn = std::max<int64_t>(0, toUs(fadeIn));
    track.fadeOut = std::max<int64_t>(0, toUs(fadeOut));
    track.volume = std::max(0.0, factor);
    track.fileDuration = music.duration();
    track.sampleRate = music.stream(music.audioStreams().front())->codecpar->sample_rate;
    m_core->changeEdits([&](engine::EditSettings &e) { e.music.push_back(track); }, true);
}

void RDMoviePlayer::ClearDubbingMusic()
{
    m_core->changeEdits([](engine::EditSettings &e) { e.music.clear(); }, true);
}

// ---- Pictures out ---------------------------------------------------------------------------------

void RDMoviePlayer::Refresh()
{
    m_core->refresh();
}

bool RDMoviePlayer::waitUntilDrawn(int timeoutMs)
{
    return m_core->waitUntilDrawn(timeoutMs);
}

bool RDMoviePlayer::Snapshot(int *w, int *h, uint8_t *buff)
{
    if (!w || !h)
        return false;
    std::shared_ptr<const player::Picture> picture;
    if (*w >= 1 && *h >= 1 && buff) {
        m_core->waitUntilDrawn(kDrawWaitMs);
        picture = m_core->picture();
    }
    if (!picture) {
        *w = 0;
        *h = 0;
        return false;
    }
    const AVFrame *f = picture->frame.get();
    int outW = f->width;
    int outH = f->height;
    if (outW > *w || outH > *h) {
        double scale = std::min(double(*w) / f->width, double(*h) / f->height);
        outW = std::clamp(int(f->width * scale), 1, *w);
        outH = std::clamp(int(f->height * scale), 1, *h);
    }
    if (outW == f->width && outH == f->height) {
        for (int row = 0; row < outH; ++row)
            std::memcpy(buff + size_t(row) * outW * 4, f->data[0] + size_t(row) * f->linesize[0],
                        size_t(outW) * 4);
    } else {
        SwsContext *sws = sws_getContext(f->width, f->height, AV_PIX_FMT_BGRA, outW, outH, AV_PIX_FMT_BGRA,
                                         SWS_AREA, nullptr, nullptr, nullptr);
        if (!sws) {
            *w = 0;
            *h = 0;
            return false;
        }
        uint8_t *dst[4] = {buff, nullptr, nullptr, nullptr};
        int dstStride[4] = {outW * 4, 0, 0, 0};
        sws_scale(sws, f->data, f->linesize, 0, f->height, dst, dstStride);
        sws_freeContext(sws);
    }
    *w = outW;
    *h = outH;
    return true;
}
