#pragma once
// One background music track of the editor.
//
// Times are seconds: duration (the shorter of the music file and the video), the used part of the file
// (pruneStart, pruneDiration) and the span on the video's timeline (positionStart .. positionEnd).
// repeat: repeat the used part while the span lasts (else play it once); prune: use only the used part;
// selected: the track takes part in preview and export; volume: a factor handed on unscaled.
// Everything starts at 0 / false; the music tool sets real values. Main thread only.
#include <QString>

class MusicInfo
{
public:
    MusicInfo() = default;
    ~MusicInfo();
    MusicInfo(const MusicInfo &) = delete;
    MusicInfo &operator=(const MusicInfo &) = delete;

    QString path() const { return m_path; }
    void setPath(const QString &v) { m_path = v; }
    float duration() const { return m_duration; }
    void setDuration(float v) { m_duration = v; }
    float pruneStart() const { return m_pruneStart; }
    void setPruneStart(float v) { m_pruneStart = v; }
    float pruneDiration() const { return m_pruneDiration; }
    void setPruneDiration(float v) { m_pruneDiration = v; }
    float positionStart() const { return m_positionStart; }
    void setPositionStart(float v) { m_positionStart = v; }
    float positionEnd() const { return m_positionEnd; }
    void setPositionEnd(float v) { m_positionEnd = v; }
    bool fadeIn() const { return m_fadeIn; }
    void setFadeIn(bool v) { m_fadeIn = v; }
    bool fadeOut() const { return m_fadeOut; }
    void setFadeOut(bool v) { m_fadeOut = v; }
    bool repeat() const { return m_repeat; }
    void setRepeat(bool v) { m_repeat = v; }
    bool prune() const { return m_prune; }
    void setPrune(bool v) { m_prune = v; }
    bool selected() const { return m_selected; }
    void setSelected(bool v) { m_selected = v; }
    float volume() const { return m_volume; }
    void setVolume(float v) { m_volume = v; }

private:
    QString m_path;
    float m_duration = 0;
    float m_pruneStart = 0;
    float m_pruneDiration = 0;
    float m_positionStart = 0;
    float m_positionEnd = 0;
    bool m_fadeIn = false;
    bool m_fadeOut = false;
    bool m_repeat = false;
    bool m_prune = false;
    bool m_selected = false;
    float m_volume = 0;
};
