#pragma once
// A tool window's frame capture: the picture a preview player shows, written as an image file.
//
// capture() asks the player for its shown frame at `size` (the picture as displayed, bounded to 16384
// pixels a side), and writes it into `folder` (made when missing) under the clock's time-stamp name
// (HelpClass::createFilename), never over an earlier file: "name(2).png", ... (OutputNaming). The format
// follows `style`: "bmp", "jpg", anything else PNG. The file is written under a temporary name and
// renamed, so a failed write leaves nothing. Returns the path written, or an empty string on any
// failure (the window then shows its "snapshotSaveFailedString" alert). Main thread only.
#include "platform/Geometry.h"

#include <QDateTime>
#include <QString>

class RDMoviePlayer;

class FrameCapture
{
public:
    // The image format a style names ("bmp", "jpg" or "png").
    static const char *formatFor(const QString &style);
    // The style of the snapshot pop-up's item `index` (ToolWidgets::snapshotStylePopUp): "png", "jpg",
    // "bmp"; empty outside 0..2.
    static QString styleAt(int index);
    static QString capture(RDMoviePlayer &player, platform::Size size, const QString &folder,
                           const QDateTime &when, const QString &style);
};
