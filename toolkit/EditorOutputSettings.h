#pragma once
// A tool window's chosen output format: nine output titles (extension, video codec, frame size, frame
// rate, video bit rate, audio codec, channels, sample rate, audio bit rate), the item lists of the chosen
// profile, and the description of the wanted output in the loaded clip's targetData.
//
// The titles are mirrored in the user defaults under one key family, where the export and the probe read
// them: the editor's ("extName_SelectTitle", "vcodec_SelectTitle", ...) or the joiner's
// ("extNameSelectTitle", "vcodecSelectTitle", ...). An empty title (and an absent key) means "keep the
// source's value"; a title of a single blank counts as empty. Numbers in titles are read by their leading
// integer ("2(Stereo)" -> 2). Bit rates are kbit/s; the size estimate targetData.fileSize is kilobytes,
// (video + audio kbit/s) x seconds x 0.125. Main thread only.
#include "profiles/ProfileDefaults.h"
#include "profiles/ProfileLibrary.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class FileData;
class OutputFormatChooser;
class SettingWindowController;
class SimpleData;

namespace platform {
class Window;
}

class EditorOutputSettings
{
public:
    enum class KeyFamily { Editor, Joiner };
    enum Title {
        ExtName,
        VideoCodec,
        FrameSize,
        FrameRate,
        VideoBitRate,
        AudioCodec,
        Channels,
        SampleRate,
        AudioBitRate
    };
    static constexpr int TitleCount = 9;
    // The categories whose profiles have no video part.
    static constexpr const char *AudioCategory = "Audio";

    explicit EditorOutputSettings(const ProfileLibrary &library = ProfileLibrary::editor(),
                                  KeyFamily family = KeyFamily::Editor);
    ~EditorOutputSettings();
    EditorOutputSettings(const EditorOutputSettings &) = delete;
    EditorOutputSettings &operator=(const EditorOutputSettings &) = delete;

    KeyFamily keyFamily() const { return m_family; }
    // The user-defaults key of `title` in `family`.
    static QString keyForTitle(Title title, KeyFamily family);
    QString keyForTitle(Title title) const { return keyForTitle(title, m_family); }

    // The loaded clip (fileData of the window), asked afresh at every use; null or unset = no clip.
    std::function<std::shared_ptr<SimpleData>()> fileDataBlock;
    // A window of several clips (the joiner) gives them all instead: a profile and the settings window
    // then update every clip's targetData, and the settings window shows the first clip's.
    std::function<QList<std::shared_ptr<SimpleData>>()> clipsBlock;
    // Called after each settings-window callback has run (the joiner refreshes its list then).
    std::function<void()> settingsAppliedBlock;

    // The chosen category ("Audio" = an audio-only output) and its profile names, as the format chooser
    // shows them. connectChooser() keeps them current.
    QString functionItemTitle() const { return m_functionItemTitle; }
    void setFunctionItemTitle(const QString &title) { m_functionItemTitle = title; }
    QStringList functionItemChilds() const { return m_functionItemChilds; }
    void setFunctionItemChilds(const QStringList &names) { m_functionItemChilds = names; }

    // Reads the profile at `path` (empty: the library's default profile, "Video/mkv(HEVC).pf") into the
    // lists and titles ("Keep Original" empties the eight setting titles and keeps the extension; an
    // "Audio" category leaves the video part alone), updates targetData when a clip is loaded, and writes
    // the nine keys (an empty title removes its key). A shipped video profile in the editor's family keeps
    // the loaded source's picture: empty frame size and rate titles, the bit rate scaled to the source
    // (ProfileDefaults); a custom profile's titles are its own.
    void setViewChildesPf(const QString &path);
    // Empties the nine titles and removes their keys.
    void clearSelectTitles();

    // Opens the settings window on profile `profileIndex` (1-based in functionItemChilds()) in this
    // family's mode, centred over `over` (may be null), runs it modally and returns when it has closed.
    void actionEditsetting(int64_t profileIndex, platform::Window *over);
    // The settings window actionEditsetting() runs, configured (size, place, profile, mode, callbacks,
    // menus filled) but not shown. The caller owns it (it deletes itself once its window has closed).
    SettingWindowController *makeSettingWindow(int64_t profileIndex, platform::Window *over);

    // The settings window's callbacks: one changed setting by its mask (1 video codec, 2 frame size,
    // 4 frame rate, 8 video bit rate, 16 audio codec, 32 channels, 64 sample rate, 128 audio bit rate)
    // re-reads that setting's key into its title and targetData; settingsReset() does all eight and the
    // size estimate once. Nothing happens without a loaded clip.
    void settingChanged(int mask);
    void settingsReset();

    // Wires a format chooser to these settings: its category and profiles, its profile choice
    // (setViewChildesPf), its "Keep Original" reset (clearSelectTitles) and its gear (actionEditsetting
    // over the chooser's window).
    void connectChooser(OutputFormatChooser *chooser);

    // Makes `clip`'s own source format the output's titles (the extension, the user defaults and the
    // clips' targets stay): codec, "%dx%d", bit rate, "%.f" of fps and the audio values. The chosen
    // profile's own rules (a shipped profile's size held to the largest clip) rest until
    // restoreStoredTitles().
    void setdefaultFormat(const SimpleData &clip);
    // Takes the nine titles back from the user defaults, where the chosen profile left them (the end of
    // a clip's own format).
    void restoreStoredTitles();

    // The titles (empty = keep the source's value).
    std::array<QString, TitleCount> titles() const { return m_titles; }
    // The titles a join of clipsBlock()'s clips uses: while the frame size is still a shipped profile's
    // default (not picked in the settings window), it never has more pixels than the largest clip, and a
    // bit rate still the profile's follows it (ProfileDefaults). Otherwise, while a clip's own format is
    // in force, and in the editor's family, titles().
    std::array<QString, TitleCount> resolvedTitles() const;
    QString selectTitle(Title title) const { return m_titles[title]; }
    QString extNameSelectTitle() const { return m_titles[ExtName]; }
    QString vcodecSelectTitle() const { return m_titles[VideoCodec]; }
    QString resolutionSelectTitle() const { return m_titles[FrameSize]; }
    QString framerateSelectTitle() const { return m_titles[FrameRate]; }
    QString bitateSelectTitle() const { return m_titles[VideoBitRate]; }
    QString acodecSelectTitle() const { return m_titles[AudioCodec]; }
    QString achannelSelectTitle() const { return m_titles[Channels]; }
    QString asamplerateSelectTitle() const { return m_titles[SampleRate]; }
    QString abitateSelectTitle() const { return m_titles[AudioBitRate]; }
    // The item lists of the current profile (indexed by Title; ExtName has none).
    QStringList itemList(Title title) const { return m_lists[title]; }
    QStringList vcodecs() const { return m_lists[VideoCodec]; }
    QStringList resolutions() const { return m_lists[FrameSize]; }
    QStringList framerates() const { return m_lists[FrameRate]; }
    QStringList bitates() const { return m_lists[VideoBitRate]; }
    QStringList acodecs() const { return m_lists[AudioCodec]; }
    QStringList achannels() const { return m_lists[Channels]; }
    QStringList asamplerates() const { return m_lists[SampleRate]; }
    QStringList abitates() const { return m_lists[AudioBitRate]; }

private:
    std::shared_ptr<SimpleData> loadedClip() const;
    QList<std::shared_ptr<SimpleData>> clips() const;
    QString storedTitle(Title title) const;
    void readTitleFromDefaults(Title title);
    void applySetting(SimpleData &clip, int mask);
    void applyFrameSize(SimpleData &clip);
    void estimateSizeFromTitles(SimpleData &clip) const;
    int videoBitRateFromTitle() const;
    void followProfile();

    ProfileLibrary m_library;
    KeyFamily m_family;
    QString m_functionItemTitle;
    QStringList m_functionItemChilds;
    std::array<QString, TitleCount> m_titles;
    std::array<QStringList, TitleCount> m_lists;
    // The applied profile's own video defaults, whether it is a shipped one, and which of its defaults
    // the user has not replaced since.
    ProfileDefaults::Video m_profileVideo;
    bool m_shippedVideoProfile = false;
    bool m_sizeFollowsProfile = false;
    bool m_bitRateFollowsProfile = false;
    bool m_restoring = false; // settingsReset() is applying every setting
    // A clip's own format is in force (setdefaultFormat until restoreStoredTitles).
    bool m_ownFormat = false;
};
