#include "editor/WatermarkWalk.h"

#include "editor/RenderCallbacks.h"
#include "model/EngineRecords.h"
#include "model/WaterParam.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Workspace.h"

#include <QColor>
#include <QDir>

void WatermarkWalk::Sink::pathTooLong(const QString &path)
{
    platform::logWarning("watermark path too long: %@", path);
}

QString WatermarkWalk::defaultWaterFolder()
{
    return platform::Workspace::standardFolder(platform::StandardFolder::Movies) + QStringLiteral("/Water");
}

int WatermarkWalk::walk(const QList<std::shared_ptr<WaterParam>> &list, platform::Size videoSize,
                        double overlayWidth, const QString &waterFolder, Sink &sink, int skipIndex)
{
    const double w = videoSize.width;
    const double h = videoSize.height;
    int added = 0;
    for (int i = 0; i < list.size(); ++i) {
        WaterParam *item = list[i].get();
        if (!item || !item->selected() || i == skipIndex)
            continue;
        const int64_t start = EngineRecords::microseconds(item->startTime());
        const int64_t end = EngineRecords::microseconds(item->startTime() + item->duration());

        if (item->waterType() == WaterParam::File && !item->waterImagePath().isEmpty()) {
            if (item->isVideo()) {
                VIDEO_WATERMARK_PARAM record;
                if (EngineRecords::fillVideoWatermark(record, *item, w, h)) {
                    sink.addVideo(record);
                    ++added;
                } else {
                    sink.pathTooLong(item->waterImagePath());
                }
            } else {
                IMAGE_WATERMARK_PARAM record;
                if (EngineRecords::fillImageWatermark(record, *item, w, h, start, end)) {
                    sink.addImage(record);
                    ++added;
                } else {
                    sink.pathTooLong(item->waterImagePath());
                }
            }
        }
        if (item->waterType() != WaterParam::Text)
            continue;
        if (!item->waterImage().isNull()) {
            QDir().mkpath(waterFolder);
            const QString path = platform::qformat("%@/waterImage_%d.png", waterFolder, i);
            if (!RenderCallbacks::saveImage(item->waterImage(), path)) {
                sink.saveFailed(path);
                continue;
            }
            item->setWaterImagePath(path);
            IMAGE_WATERMARK_PARAM record;
            if (EngineRecords::fillImageWatermark(record, *item, w, h, start, end)) {
                sink.addImage(record);
                ++added;
            } else {
                sink.pathTooLong(path);
            }
        } else if (!item->waterText().isEmpty()) {
            if (!item->waterFontColor().isValid())
                item->setWaterFontColor(Qt::white);
            const double scale = overlayWidth > 0 ? w / overlayWidth : 1.0;
            const double size = scale * item->waterFontSize();
            TEXT_WATERMARK_PARAM record;
            EngineRecords::fillTextWatermark(record, *item, w, h, size > 0 && size < 1e6 ? int(size) : 0,
                                             start, end);
            sink.addText(record);
            ++added;
        }
    }
    return added;
}
