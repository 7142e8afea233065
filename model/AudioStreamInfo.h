#pragma once
// One audio stream of a source file, as the engine's probe reports it.
//
// bitrate is bit/s exactly as reported (not kbit/s as in FileData); sample is Hz; index is the stream
// index handed back to the engine and the player to choose this stream. The integers start at 0 and the
// strings at "" (empty, never null). Main thread only.
#include <QString>

class AudioStreamInfo
{
public:
    AudioStreamInfo();
    ~AudioStreamInfo();
    AudioStreamInfo(const AudioStreamInfo &) = delete;
    AudioStreamInfo &operator=(const AudioStreamInfo &) = delete;

    int channel() const { return m_channel; }
    void setChannel(int v) { m_channel = v; }
    int bitrate() const { return m_bitrate; }
    void setBitrate(int v) { m_bitrate = v; }
    int fmt() const { return m_fmt; }
    void setFmt(int v) { m_fmt = v; }
    int exist() const { return m_exist; }
    void setExist(int v) { m_exist = v; }
    int sample() const { return m_sample; }
    void setSample(int v) { m_sample = v; }
    int index() const { return m_index; }
    void setIndex(int v) { m_index = v; }
    QString lang() const { return m_lang; }
    void setLang(const QString &v) { m_lang = v; }
    QString title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QString psect() const { return m_psect; }
    void setPsect(const QString &v) { m_psect = v; }
    QString codec() const { return m_codec; }
    void setCodec(const QString &v) { m_codec = v; }

private:
    int m_channel = 0;
    int m_bitrate = 0;
    int m_fmt = 0;
    int m_exist = 0;
    int m_sample = 0;
    int m_index = 0;
    QString m_lang;
    QString m_title;
    QString m_psect;
    QString m_codec;
};
