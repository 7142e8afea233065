#include "editor/PreviewEdits.h"

#include "media/RDMoviePlayer.h"
#include "model/EngineRecords.h"
#include "model/SubtitleParam.h"
#include "platform/Log.h"

void PreviewEdits::apply(RDMoviePlayer &player, const ExportEditState &state, bool showCrop)
{
    player.SetHFlip(state.hFlip);
    player.SetVFlip(state.vFlip);
    player.SetRotateAngle(state.playerRotateAngle);
    player.SetBCS(state.brightness, state.contrast, state.saturation);
    player.ClearImageEffect();
    for (int effect : state.selectedEffectTypeIndexs)
        player.AddImageEffect(effect);

    player.SetSubtitle(subtitleRecord(state));
    player.SetCrop(showCrop ? state.convertCropSize : RECT{0, 0, 0, 0});
}

SUBTITLE_PARAM PreviewEdits::subtitleRecord(const ExportEditState &state)
{
    SUBTITLE_PARAM subtitle{};
    if (!state.subtitleParam)
        return subtitle;
    const auto copy = state.subtitleParam->copy();
    // A subtitle shown as the export writes it: the chosen colour, white when there is none.
    if (!copy->subtitlePath().isEmpty()) {
        if (state.captionColor.isValid())
            copy->setFontColor(state.captionColor);
        if (!copy->fontColor().isValid())
            copy->setFontColor(Qt::white);
    }
    if (!EngineRecords::fillSubtitle(subtitle, *copy)) {
        platform::log("subtitle path too long: %@", copy->subtitlePath());
        subtitle = SUBTITLE_PARAM{};
    }
    return subtitle;
}
