#include "toolkit/TimeFieldRules.h"

#include "services/LanguageService.h"

#include "model/MusicInfo.h"
#include "model/WaterParam.h"

#include <algorithm>

namespace {
constexpr TimeFieldRules::Verdict kAccept{true, nullptr};
TimeFieldRules::Verdict refuse(const char *key)
{
    return {false, key};
}
} // namespace

TimeFieldRules::Verdict TimeFieldRules::trimStart(double start, double stop)
{
    return stop > start ? kAccept : refuse(VW_KEY("showmessageTime5"));
}

TimeFieldRules::Verdict TimeFieldRules::trimStop(double start, double stop, double duration)
{
    // A stop beyond the end is taken whenever it is after the start.
    if (stop > start)
        return kAccept;
    return refuse(stop > duration ? VW_KEY("showmessageTime2") : VW_KEY("showmessageTime3"));
}

TimeFieldRules::Verdict TimeFieldRules::watermarkStart(float value, float duration, WaterParam &water)
{
    if (value > duration)
        return refuse(VW_KEY("showmessageTime4"));
    if (value > duration - water.duration())
        water.setDuration(duration - value);
    water.setStartTime(value);
    return kAccept;
}

TimeFieldRules::Verdict TimeFieldRules::watermarkDuration(float value, float duration, WaterParam &water)
{
    // Tested before it is stored: a refused duration must not reach the export.
    if (value > duration - water.startTime())
        return refuse(VW_KEY("showmessageTime4"));
    water.setDuration(value);
    return kAccept;
}

TimeFieldRules::Verdict TimeFieldRules::watermarkFileStart(float value, WaterParam &water)
{
    if (value > water.fileDuration())
        return refuse(VW_KEY("showmessageTime4"));
    water.setFileStartTime(value);
    return kAccept;
}

TimeFieldRules::Verdict TimeFieldRules::watermarkFileEnd(float value, WaterParam &water)
{
    if (value > water.fileDuration())
        return refuse(VW_KEY("showmessageTime4"));
    water.setFileEndTime(value);
    return kAccept;
}

TimeFieldRules::Verdict TimeFieldRules::musicAccepted(MusicInfo &music)
{
    const float span = music.positionEnd() - music.positionStart();
    if (music.pruneDiration() > span)
        music.setPruneDiration(span);
    return kAccept;
}

TimeFieldRules::Verdict TimeFieldRules::musicPositionStart(float value, MusicInfo &music)
{
    if (value >= music.positionEnd())
        return refuse(nullptr);
    music.setPositionStart(value);
    return musicAccepted(music);
}

TimeFieldRules::Verdict TimeFieldRules::musicPositionEnd(float value, MusicInfo &music)
{
    if (music.positionStart() >= value)
        return refuse(VW_KEY("showmessageTime3"));
    music.setPositionEnd(value);
    return musicAccepted(music);
}

TimeFieldRules::Verdict TimeFieldRules::musicPruneStart(float value, float musicDuration, MusicInfo &music)
{
    const float end = music.pruneStart() + music.pruneDiration();
    // A start at or past the music's end would leave a used part of no length, or less.
    if (value >= end || value >= musicDuration)
        return refuse(VW_KEY("showmessageTime5"));
    music.setPruneStart(value);
    music.setPruneDiration(std::min(musicDuration - value, end - value));
    return musicAccepted(music);
}

TimeFieldRules::Verdict TimeFieldRules::musicPruneEnd(float value, MusicInfo &music)
{
    const double d = double(value) - double(music.pruneStart());
    if (d <= 0)
        return refuse(VW_KEY("showmessageTime6"));
    music.setPruneDiration(float(d));
    return musicAccepted(music);
}

platform::Rect TimeFieldRules::cropEdit(CropField field, double value, const platform::Rect &c, double W,
                                        double H)
{
    double x = c.minX(), y = c.minY(), w = c.width(), h = c.height();
    switch (field) {
    case CropField::Width:
        w = int(value);
        break;
    case CropField::Height:
        h = int(value);
        break;
    case CropField::Left:
        x = std::min(std::max(value, 0.0), W - w);
        break;
    case CropField::Top:
        y = std::min(std::max(H - h - value, 0.0), H - h);
        break;
    }
    return platform::makeRect(x, y, w, h);
}
