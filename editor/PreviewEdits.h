#pragma once
// Hands the editor's edit state to its preview player: turn and mirror, colours and effects, subtitle and
// crop, each as the export sends it (the watermarks go through WatermarkWalk, the export's own walk).
// The caller redraws a paused player afterwards. Main thread only.
#include "editor/EditorExportHost.h"
#include "media/MediaRecords.h"

class RDMoviePlayer;

class PreviewEdits
{
public:
    // `showCrop` false shows the whole picture (for the overlays that are laid over it).
    static void apply(RDMoviePlayer &player, const ExportEditState &state, bool showCrop);
    // The subtitle record the preview gets: filled from the state's subtitle (its colour from the caption
    // colour, white when neither is set), its path empty when there is no file (the preview then shows
    // none); all zero without a subtitle, or when a path does not fit the record.
    static SUBTITLE_PARAM subtitleRecord(const ExportEditState &state);
};
