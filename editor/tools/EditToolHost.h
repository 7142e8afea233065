#pragma once
// What an edit tool (crop, rotate, effects, watermark, subtitle, music) needs of the editor window that
// coordinates it: the preview player, the overlays laid over the picture, and the picture's shape.
//
// The pattern every tool follows: the tool class builds its panel into the view the window gives it,
// holds its part of the editor's state, is the delegate of its own rows and controls, and writes its part
// of the edit state in exportInto(). After each change it calls editsChanged(): the window builds the one
// edit state from all tools and hands it to the preview, so the preview shows what the export reads.
// The window owns the player, the overlays and the export, and calls the tools; it keeps no panel logic.
// Main thread only.
#include "editor/tools/CropMapping.h"
#include "platform/Geometry.h"

#include <QString>

#include <functional>
#include <memory>

class RDMoviePlayer;
class RDUICliper;

class EditToolHost
{
public:
    virtual ~EditToolHost() = default;

    // The clip's preview player; null before a clip is loaded (or when the player refused it).
    virtual const std::shared_ptr<RDMoviePlayer> &rdPlayer() const = 0;
    // The preview is playing: a paused player needs Refresh() to show an edit.
    virtual bool isPlaying() const = 0;
    // The picture as displayed, in video pixels (the source turned by the rotation); 0 x 0 without clip.
    virtual platform::Size videoSize() const = 0;
    // The crop overlay over the picture; null before a clip is loaded.
    virtual RDUICliper *cliper() const = 0;
    // The user's turn and mirror of the picture (identity by default).
    virtual CropMapping::Orientation orientation() const { return {}; }
    // The picture was turned or mirrored: the window lays both overlays over the new picture (the crop
    // and the watermarks keep their place on it). `reset` is the rotate tool's reset: the crop, the
    // watermarks and the subtitle go as well.
    virtual void pictureTurned(bool reset) = 0;
    // Any edit changed: the window hands the whole edit state to the preview (the state the export
    // reads). Every tool calls it after each change.
    virtual void editsChanged() {}
    // Runs `work` one event-loop turn later on the main thread, never after the window has closed (the
    // tools' buttons queue their work so).
    virtual void queueOnMain(std::function<void()> work) = 0;
    // Shows `message` in the window's alert (a refused entry); the entry keeps its old value.
    virtual void showToolAlert(const QString &message) = 0;
};

// Sends Refresh() to a paused player, so an edit shows at once; a playing one shows it by itself.
void refreshPausedPreview(const EditToolHost &host);
