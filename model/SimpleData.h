#pragma once
// One input clip and everything done to it: the source and wanted output descriptions, the cut range,
// crop, rotation, colour, volume, mirror, effects, watermark, subtitle and the files an export wrote.
//
// Units: cut range microseconds (0..0 = the whole clip); clipRect source pixels with the origin at the
// bottom-left (the zero rectangle = no crop); convertCropSize the even margins cut at each edge, source
// pixels; convertRateAngle degrees; brightness -255..255, contrast and saturation -100..100 (0 =
// unchanged); volume a factor (1.0 = unchanged); hFlip/vFlip 1 = mirrored; transitionEffect the index
// 0..3 of the joiner's transition. A new clip owns two empty descriptions, a default watermark and
// subtitle and an empty stream list; it is selected. Main thread only.
#include "media/MediaRecords.h"
#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/Geometry.h"

#include <QImage>
#include <QList>
#include <QString>
#include <memory>

class SimpleData
{
public:
    SimpleData();
    ~SimpleData();
    SimpleData(const SimpleData &) = delete;
    SimpleData &operator=(const SimpleData &) = delete;

    bool defaultFormat() const { return m_defaultFormat; }
    void setDefaultFormat(bool v) { m_defaultFormat = v; }
    QImage thumbImage() const { return m_thumbImage; }
    void setThumbImage(const QImage &v) { m_thumbImage = v; }
    QString name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    QString path() const { return m_path; }
    void setPath(const QString &v) { m_path = v; }
    const std::shared_ptr<FileData> &sourceData() const { return m_sourceData; }
    void setSourceData(const std::shared_ptr<FileData> &v) { m_sourceData = v; }
    const std::shared_ptr<FileData> &targetData() const { return m_targetData; }
    void setTargetData(const std::shared_ptr<FileData> &v) { m_targetData = v; }
    QString exportStatues() const { return m_exportStatues; }
    void setExportStatues(const QString &v) { m_exportStatues = v; }
    qint64 cutTimeRange_start() const { return m_cutTimeRange_start; }
    void setCutTimeRange_start(qint64 v) { m_cutTimeRange_start = v; }
    qint64 cutTimeRange_stop() const { return m_cutTimeRange_stop; }
    void setCutTimeRange_stop(qint64 v) { m_cutTimeRange_stop = v; }
    platform::Rect clipRect() const { return m_clipRect; }
    void setClipRect(const platform::Rect &v) { m_clipRect = v; }
    RECT convertCropSize() const { return m_convertCropSize; }
    void setConvertCropSize(const RECT &v) { m_convertCropSize = v; }
    int convertRateAngle() const { return m_convertRateAngle; }
    void setConvertRateAngle(int v) { m_convertRateAngle = v; }
    bool keepAspectratio() const { return m_keepAspectratio; }
    void setKeepAspectratio(bool v) { m_keepAspectratio = v; }
    bool isTrimFanxuan() const { return m_isTrimFanxuan; }
    void setIsTrimFanxuan(bool v) { m_isTrimFanxuan = v; }
    int brightness() const { return m_brightness; }
    void setBrightness(int v) { m_brightness = v; }
    int contrast() const { return m_contrast; }
    void setContrast(int v) { m_contrast = v; }
    int saturation() const { return m_saturation; }
    void setSaturation(int v) { m_saturation = v; }
    double volume() const { return m_volume; }
    void setVolume(double v) { m_volume = v; }
    int hFlip() const { return m_hFlip; }
    void setHFlip(int v) { m_hFlip = v; }
    int vFlip() const { return m_vFlip; }
    void setVFlip(int v) { m_vFlip = v; }
    QList<int> effectTypes() const { return m_effectTypes; }
    void setEffectTypes(const QList<int> &v) { m_effectTypes = v; }
    const std::shared_ptr<WaterParam> &waterParam() const { return m_waterParam; }
    void setWaterParam(const std::shared_ptr<WaterParam> &v) { m_waterParam = v; }
    const std::shared_ptr<SubtitleParam> &subtitleParam() const { return m_subtitleParam; }
    void setSubtitleParam(const std::shared_ptr<SubtitleParam> &v) { m_subtitleParam = v; }
    QString exportPath() const { return m_exportPath; }
    void setExportPath(const QString &v) { m_exportPath = v; }
    QString exportbeforPath() const { return m_exportbeforPath; }
    void setExportbeforPath(const QString &v) { m_exportbeforPath = v; }
    QString exportbehandPath() const { return m_exportbehandPath; }
    void setExportbehandPath(const QString &v) { m_exportbehandPath = v; }
    int transitionEffect() const { return m_transitionEffect; }
    void setTransitionEffect(int v) { m_transitionEffect = v; }
    bool selected() const { return m_selected; }
    void setSelected(bool v) { m_selected = v; }
    QList<std::shared_ptr<AudioStreamInfo>> audioStreamInfos() const { return m_audioStreamInfos; }
    void setAudioStreamInfos(const QList<std::shared_ptr<AudioStreamInfo>> &v) { m_audioStreamInfos = v; }

private:
    bool m_defaultFormat = false;
    QImage m_thumbImage;
    QString m_name;
    QString m_path;
    std::shared_ptr<FileData> m_sourceData;
    std::shared_ptr<FileData> m_targetData;
    QString m_exportStatues;
    qint64 m_cutTimeRange_start = 0;
    qint64 m_cutTimeRange_stop = 0;
    platform::Rect m_clipRect;
    RECT m_convertCropSize{0, 0, 0, 0};
    int m_convertRateAngle = 0;
    bool m_keepAspectratio = false;
    bool m_isTrimFanxuan = false;
    int m_brightness = 0;
    int m_contrast = 0;
    int m_saturation = 0;
    double m_volume = 1.0;
    int m_hFlip = 0;
    int m_vFlip = 0;
    QList<int> m_effectTypes;
    std::shared_ptr<WaterParam> m_waterParam;
    std::shared_ptr<SubtitleParam> m_subtitleParam;
    QString m_exportPath;
    QString m_exportbeforPath;
    QString m_exportbehandPath;
    int m_transitionEffect = 0;
    bool m_selected = true;
    QList<std::shared_ptr<AudioStreamInfo>> m_audioStreamInfos;
};
