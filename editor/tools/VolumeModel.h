#pragma once
// The one level of the clip's own audio, for the preview and the export alike: the effect panel's volume
// (0..2) times the music panel's original-audio level (0..1), so the main audio reaches at most twice its
// level; the music panel's mute of the original audio makes it 0 without losing the level. The player
// bar's volume and mute are a monitor volume for listening only and never part of it.
class VolumeModel
{
public:
    // The effect panel's volume, 0..2 (1 = unchanged).
    double effectVolume() const { return m_effectVolume; }
    void setEffectVolume(double volume) { m_effectVolume = volume; }
    // The music panel's level of the clip's own audio under added music, 0..1 (1 = unchanged).
    double originalLevel() const { return m_originalLevel; }
    void setOriginalLevel(double level) { m_originalLevel = level; }
    // The music panel's mute of the clip's own audio.
    bool originalMuted() const { return m_originalMuted; }
    void setOriginalMuted(bool muted) { m_originalMuted = muted; }
    // The main audio's level that the preview plays and the export writes.
    double mainLevel() const { return m_originalMuted ? 0.0 : m_effectVolume * m_originalLevel; }

private:
    double m_effectVolume = 1.0;
    double m_originalLevel = 1.0;
    bool m_originalMuted = false;
};
