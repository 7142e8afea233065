#pragma once
// What the editor's export controller needs of the editor window beyond what every tool window gives
// (ExportRunHost): the clip, the edit tools' state, the output folder and the controls it disables. The
// window implements it; tests implement it without a window. Main thread only.
#include "editor/ClipExportJob.h"
#include "media/MediaRecords.h"
#include "platform/Geometry.h"
#include "toolkit/ExportRunHost.h"

#include <QColor>
#include <QList>
#include <QString>

#include <array>
#include <memory>

class NSProgressView;
class PNQButton;
class SimpleData;
class SubtitleParam;

// The edit tools' state as the start button copies it into the clip.
struct ExportEditState
{
    // The trim fields: hours, minutes, seconds, hundredths.
    std::array<int, 4> startFields{0, 0, 0, 0};
    std::array<int, 4> stopFields{0, 0, 0, 0};
    bool deleteSection = false; // the trim bar deletes the selected section
    QColor captionColor;        // invalid = never chosen
    std::shared_ptr<SubtitleParam> subtitleParam;
    platform::Rect editVideoClipRect;
    RECT convertCropSize{0, 0, 0, 0};
    int playerRotateAngle = 0;
    bool keepAspectratio = false;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    double volume = 1.0;
    int hFlip = 0;
    int vFlip = 0;
    QList<int> selectedEffectTypeIndexs;
};

class EditorExportHost : public ExportRunHost
{
public:
    // The loaded clip; null = none.
    virtual std::shared_ptr<SimpleData> exportClip() const = 0;
    virtual ExportEditState exportEditState() const = 0;
    // Everything else the engine job reads (the clip is filled in by the controller).
    virtual ExportSources exportSources() const = 0;
    // Whether the music tool has tracks (its controls come back enabled only then).
    virtual bool hasMusic() const = 0;

    virtual void pausePreview() = 0;
    virtual void enableEdit(bool enable) = 0;
    virtual void enableMusicEdit(bool enable) = 0;
    virtual void setRemoveOriginalMusicEnabled(bool enable) = 0;

    // The edit, music and own-sound controls (the music ones come back only with tracks).
    void enableControlsForExport(bool enable) override
    {
        enableMusicEdit(enable && hasMusic());
        enableEdit(enable);
        setRemoveOriginalMusicEnabled(enable);
    }
};
