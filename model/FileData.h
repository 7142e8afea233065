#pragma once
// A media description. Each clip holds two: the source as probed, and the output as wanted.
//
// Units: bit rates (bitrate, a_bitrate) kbit/s; duration seconds; width/height pixels; fps whole frames per
// second; angle degrees. fileSize is megabytes in a source description and an estimated size in kilobytes
// in a target one. Every field starts at zero or null; the setters only store. Main thread only.
#include <QString>

class FileData
{
public:
    FileData() = default;
    ~FileData();
    FileData(const FileData &) = delete;
    FileData &operator=(const FileData &) = delete;

    int angle() const { return m_angle; }
    void setAngle(int v) { m_angle = v; }
    int width() const { return m_width; }
    void setWidth(int v) { m_width = v; }
    int height() const { return m_height; }
    void setHeight(int v) { m_height = v; }
    double aspect() const { return m_aspect; }
    void setAspect(double v) { m_aspect = v; }
    int bitrate() const { return m_bitrate; }
    void setBitrate(int v) { m_bitrate = v; }
    double fps() const { return m_fps; }
    void setFps(double v) { m_fps = v; }
    int exist() const { return m_exist; }
    void setExist(int v) { m_exist = v; }
    int index() const { return m_index; }
    void setIndex(int v) { m_index = v; }
    float duration() const { return m_duration; }
    void setDuration(float v) { m_duration = v; }
    QString extension() const { return m_extension; }
    void setExtension(const QString &v) { m_extension = v; }
    float fileSize() const { return m_fileSize; }
    void setFileSize(float v) { m_fileSize = v; }

    double a_aspect() const { return m_a_aspect; }
    void setA_aspect(double v) { m_a_aspect = v; }
    int a_bitrate() const { return m_a_bitrate; }
    void setA_bitrate(int v) { m_a_bitrate = v; }
    int a_exist() const { return m_a_exist; }
    void setA_exist(int v) { m_a_exist = v; }
    int a_index() const { return m_a_index; }
    void setA_index(int v) { m_a_index = v; }
    int a_channel() const { return m_a_channel; }
    void setA_channel(int v) { m_a_channel = v; }
    int a_fmt() const { return m_a_fmt; }
    void setA_fmt(int v) { m_a_fmt = v; }
    int a_samplerate() const { return m_a_samplerate; }
    void setA_samplerate(int v) { m_a_samplerate = v; }
    QString a_codec() const { return m_a_codec; }
    void setA_codec(const QString &v) { m_a_codec = v; }
    QString a_lang() const { return m_a_lang; }
    void setA_lang(const QString &v) { m_a_lang = v; }
    QString a_title() const { return m_a_title; }
    void setA_title(const QString &v) { m_a_title = v; }
    QString a_apsect() const { return m_a_apsect; }
    void setA_apsect(const QString &v) { m_a_apsect = v; }

    QString metadata_vcodec() const { return m_metadata_vcodec; }
    void setMetadata_vcodec(const QString &v) { m_metadata_vcodec = v; }
    QString metadata_vcodecTag() const { return m_metadata_vcodecTag; }
    void setMetadata_vcodecTag(const QString &v) { m_metadata_vcodecTag = v; }
    QString metadata_lang() const { return m_metadata_lang; }
    void setMetadata_lang(const QString &v) { m_metadata_lang = v; }
    QString metadata_title() const { return m_metadata_title; }
    void setMetadata_title(const QString &v) { m_metadata_title = v; }
    QString metadata_apsect() const { return m_metadata_apsect; }
    void setMetadata_apsect(const QString &v) { m_metadata_apsect = v; }

private:
    int m_angle = 0;
    int m_width = 0;
    int m_height = 0;
    double m_aspect = 0;
    int m_bitrate = 0;
    double m_fps = 0;
    int m_exist = 0;
    int m_index = 0;
    float m_duration = 0;
    QString m_extension;
    float m_fileSize = 0;
    double m_a_aspect = 0;
    int m_a_bitrate = 0;
    int m_a_exist = 0;
    int m_a_index = 0;
    int m_a_channel = 0;
    int m_a_fmt = 0;
    int m_a_samplerate = 0;
    QString m_a_codec;
    QString m_a_lang;
    QString m_a_title;
    QString m_a_apsect;
    QString m_metadata_vcodec;
    QString m_metadata_vcodecTag;
    QString m_metadata_lang;
    QString m_metadata_title;
    QString m_metadata_apsect;
};
