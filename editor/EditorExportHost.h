#pragma once
// What the editor's export controller needs of the editor window: the clip, the edit tools' state, the
// output folder, the controls it drives and the one message routine. The window implements it; tests
// implement it without a window. Main thread only.
#include "editor/ClipExportJob.h"
#include "media/MediaRecords.h"
#include "platform/Geometry.h"

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

class EditorExportHost
{
public:
    virtual ~EditorExportHost() = default;

    // The loaded clip; null = none.
    virtual std::shared_ptr<SimpleData> exportClip() const = 0;
    virtual ExportEditState exportEditState() const = 0;
    // Everything else the engine job reads (the clip is filled in by the controller).
    virtual ExportSources exportSources() const = 0;
    // Whether the music tool has tracks (its controls come back enabled only then).
    virtual bool hasMusic() const = 0;

    virtual NSProgressView *exportProgressView() const = 0;
    virtual PNQButton *startExportBtn() const = 0;
    virtual void pausePreview() = 0;
    virtual void enableEdit(bool enable) = 0;
    virtual void enableMusicEdit(bool enable) = 0;
    virtual void setRemoveOriginalMusicEnabled(bool enable) = 0;
    // The window's one message routine (tag 1 = the finish dialog, other tags a plain alert).
    virtual void showSimpleAlert(const QString &message, int tag, bool fromExportEnd) = 0;
    // True once the window has closed: nothing more is shown then.
    virtual bool isExportHostClosed() const = 0;
};
