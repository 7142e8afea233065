#pragma once
// The one walk that turns the editor's watermark list into the engine's watermark records, shared by the
// export (each record added to a conversion job) and the preview (each handed to the player).
//
// Only ticked items (selected) take part, in list order, each once with its own times: from startTime to
// startTime + duration (summed in single precision), microseconds on the clip's timeline. A picture item
// (kind File with a path) gives a picture record, or a video record when isVideo; a text item whose
// rendered picture (waterImage) is set is written as PNG to "<waterFolder>/waterImage_<index>.png", takes
// that path as its waterImagePath and gives a picture record (a picture that cannot be written gives no record
// and is reported to the sink: an older file of that name is never used); any other text item gives a text record, its
// colour first set to white on the item when it has none, its size scaled from overlay points to output
// pixels (W / overlayWidth x waterFontSize, truncated; unscaled when the overlay has no width). Records
// whose path does not fit the record are left out and reported to the sink. Rectangles are in pixels of the
// W x H picture (videoSize: rotated, uncropped). Main thread only.
#include "media/MediaRecords.h"
#include "platform/Geometry.h"

#include <QList>
#include <QString>

#include <memory>

class WaterParam;

class WatermarkWalk
{
public:
    // Receives the records; every method has an empty default.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void addImage(const IMAGE_WATERMARK_PARAM &) {}
        virtual void addVideo(const VIDEO_WATERMARK_PARAM &) {}
        virtual void addText(const TEXT_WATERMARK_PARAM &) {}
        // The rendered text of an item could not be written to `path`.
        virtual void saveFailed(const QString & /*path*/) {}
        // An item's file `path` (chosen, or its rendered text's) is too long for the engine's record.
        virtual void pathTooLong(const QString &path);
    };

    // Walks `list`; the item at `skipIndex` (-1 = none) is left out (the preview shows it as the editable
    // overlay instead). Returns the number of records handed to `sink`.
    static int walk(const QList<std::shared_ptr<WaterParam>> &list, platform::Size videoSize,
                    double overlayWidth, const QString &waterFolder, Sink &sink, int skipIndex = -1);

    // The folder the rendered texts go to: "Water" in the user's Movies folder.
    static QString defaultWaterFolder();
};
