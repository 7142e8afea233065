#pragma once
// One watermark: a picture, a video file or a text, with its place in the picture and its time span.
//
// waterPercentClipRect is the watermark's rectangle as fractions 0..1 of the displayed video, origin at
// the bottom-left; waterRect the same in overlay points. Times are seconds. waterAlph is a whole-number
// transparency. Defaults: kind None, alpha 0, zero rectangles, font "Muna" with the Arabic interface else
// ".AppleSystemUIFont", size 30 points, blue; everything else null / false / 0. Main thread only.
#include "platform/Geometry.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <memory>

class WaterParam
{
public:
    // Values of waterType.
    static constexpr qint64 None = 1;
    static constexpr qint64 File = 2; // a picture, or a video file when isVideo
    static constexpr qint64 Text = 4;

    WaterParam();
    ~WaterParam();
    WaterParam(const WaterParam &) = delete;
    WaterParam &operator=(const WaterParam &) = delete;

    // A new record carrying the ten placement and look properties (alpha, image path, both rectangles,
    // text, kind, font name, size and colour, overlay width). The picture, the three flags and the five
    // times are not carried: the copy has them as a new record does.
    std::shared_ptr<WaterParam> copy() const;

    qint64 waterType() const { return m_waterType; }
    void setWaterType(qint64 v) { m_waterType = v; }
    double waterAlph() const { return m_waterAlph; }
    void setWaterAlph(double v) { m_waterAlph = v; }
    platform::Rect waterRect() const { return m_waterRect; }
    void setWaterRect(const platform::Rect &v) { m_waterRect = v; }
    platform::Rect waterPercentClipRect() const { return m_waterPercentClipRect; }
    void setWaterPercentClipRect(const platform::Rect &v) { m_waterPercentClipRect = v; }
    QString waterText() const { return m_waterText; }
    void setWaterText(const QString &v) { m_waterText = v; }
    QString waterImagePath() const { return m_waterImagePath; }
    void setWaterImagePath(const QString &v) { m_waterImagePath = v; }
    QImage waterImage() const { return m_waterImage; }
    void setWaterImage(const QImage &v) { m_waterImage = v; }
    QString waterFontName() const { return m_waterFontName; }
    void setWaterFontName(const QString &v) { m_waterFontName = v; }
    QColor waterFontColor() const { return m_waterFontColor; }
    void setWaterFontColor(const QColor &v) { m_waterFontColor = v; }
    float waterFontSize() const { return m_waterFontSize; }
    void setWaterFontSize(float v) { m_waterFontSize = v; }
    float waterViewFrameWidth() const { return m_waterViewFrameWidth; }
    void setWaterViewFrameWidth(float v) { m_waterViewFrameWidth = v; }
    bool selected() const { return m_selected; }
    void setSelected(bool v) { m_selected = v; }
    bool isVideo() const { return m_isVideo; }
    void setIsVideo(bool v) { m_isVideo = v; }
    bool keepaspectRatio() const { return m_keepaspectRatio; }
    void setKeepaspectRatio(bool v) { m_keepaspectRatio = v; }
    float fileDuration() const { return m_fileDuration; }
    void setFileDuration(float v) { m_fileDuration = v; }
    float fileStartTime() const { return m_fileStartTime; }
    void setFileStartTime(float v) { m_fileStartTime = v; }
    float fileEndTime() const { return m_fileEndTime; }
    void setFileEndTime(float v) { m_fileEndTime = v; }
    float startTime() const { return m_startTime; }
    void setStartTime(float v) { m_startTime = v; }
    float duration() const { return m_duration; }
    void setDuration(float v) { m_duration = v; }

private:
    qint64 m_waterType = None;
    double m_waterAlph = 0;
    platform::Rect m_waterRect;
    platform::Rect m_waterPercentClipRect;
    QString m_waterText;
    QString m_waterImagePath;
    QImage m_waterImage;
    QString m_waterFontName;
    QColor m_waterFontColor;
    float m_waterFontSize = 30.0f;
    float m_waterViewFrameWidth = 0;
    bool m_selected = false;
    bool m_isVideo = false;
    bool m_keepaspectRatio = false;
    float m_fileDuration = 0;
    float m_fileStartTime = 0;
    float m_fileEndTime = 0;
    float m_startTime = 0;
    float m_duration = 0;
};
