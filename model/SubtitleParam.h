#pragma once
// The subtitle burnt into a clip: file, font, size, colour, shadow and position.
//
// Defaults: subtitleAlph 1.0, shadow 1, positon -1 (the engine's default placement), fontColor opaque
// white, fontSize 30 (video pixels), everything else null / 0. A null or empty subtitlePath means no
// subtitle. positon counts video pixels from the bottom edge up to the text's baseline. Main thread only.
#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>

class SubtitleParam
{
public:
    SubtitleParam();
    ~SubtitleParam();
    SubtitleParam(const SubtitleParam &) = delete;
    SubtitleParam &operator=(const SubtitleParam &) = delete;

    // A new record carrying all nine properties of this one.
    std::shared_ptr<SubtitleParam> copy() const;

    double subtitleAlph() const { return m_subtitleAlph; }
    void setSubtitleAlph(double v) { m_subtitleAlph = v; }
    int shadow() const { return m_shadow; }
    void setShadow(int v) { m_shadow = v; }
    int positon() const { return m_positon; }
    void setPositon(int v) { m_positon = v; }
    QString subtitlePath() const { return m_subtitlePath; }
    void setSubtitlePath(const QString &v) { m_subtitlePath = v; }
    QString fontPath() const { return m_fontPath; }
    void setFontPath(const QString &v) { m_fontPath = v; }
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &v) { m_fontColor = v; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int v) { m_fontSize = v; }
    QStringList fontPathList() const { return m_fontPathList; }
    void setFontPathList(const QStringList &v) { m_fontPathList = v; }
    qint64 fontSelectIndex() const { return m_fontSelectIndex; }
    void setFontSelectIndex(qint64 v) { m_fontSelectIndex = v; }

private:
    double m_subtitleAlph = 1.0;
    int m_shadow = 1;
    int m_positon = -1;
    QString m_subtitlePath;
    QString m_fontPath;
    QColor m_fontColor;
    int m_fontSize = 30;
    QStringList m_fontPathList;
    qint64 m_fontSelectIndex = 0;
};
