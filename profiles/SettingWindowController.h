#pragma once
// The modal window in which the user fine-tunes one output profile: a pop-up per encoder setting (video
// codec, frame size, frame rate, video bit rate, audio codec, channels, sample rate, audio bit rate), free
// fields for a custom frame size and video bit rate, a Default button and a button that saves the current
// choice as a custom profile.
//
// The opener sets joinner() (which key family of the user defaults is read and written), fileType() (2:
// audio only, no video part), pfPath() (a path relative to the main bundle's resources, or absolute; empty:
// the mode's default profile) and the callbacks, calls displayViewChildes() and runs window() modally.
// Every choice is written to the user defaults at once as the item's text without its unit (" fps",
// " kbps", " hz"); the keep-original item removes the key. selectSettingCallbackBlock then receives the
// setting's mask (1 video codec, 2 frame size, 4 frame rate, 8 video bit rate, 16 audio codec, 32 channels,
// 64 sample rate, 128 audio bit rate). Closing the window ends its modal run. Main thread only.
#include "platform/WindowController.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class PNQButton;
class PNQImageView;
class SimpleData;
class TextLabel;

namespace platform {
class PopUpButton;
class TextField;
} // namespace platform

class SettingWindowController : public platform::WindowController
{
    Q_OBJECT

public:
    enum Setting { VideoCodec, FrameSize, FrameRate, VideoBitRate, AudioCodec, Channels, SampleRate, AudioBitRate };
    static constexpr int SettingCount = 8;

    explicit SettingWindowController(QObject *parent = nullptr);
    ~SettingWindowController() override;

    bool joinner() const { return m_joinner; }
    void setJoinner(bool on) { m_joinner = on; }
    QString pfPath() const { return m_pfPath; }
    void setPfPath(const QString &path) { m_pfPath = path; }
    qint64 fileType() const { return m_fileType; }
    void setFileType(qint64 type) { m_fileType = type; }
    // Held for the opener; the window does not use them.
    QString functionItemTitle() const { return m_functionItemTitle; }
    void setFunctionItemTitle(const QString &title) { m_functionItemTitle = title; }
    std::shared_ptr<SimpleData> simpdata() const { return m_simpdata; }
    void setSimpdata(const std::shared_ptr<SimpleData> &data) { m_simpdata = data; }
    // The upright picture of the one source being converted (editor mode); the Default button resolves a
    // shipped profile's video defaults for it (ProfileDefaults). Invalid = unknown.
    QSize sourcePicture() const { return m_sourcePicture; }
    void setSourcePicture(QSize picture) { m_sourcePicture = picture; }

    std::function<void(int mask)> selectSettingCallbackBlock; // after every single change
    std::function<void()> settingCallbackBlock;                // after the Default button

    // Reads the profile and the stored titles and fills and selects the menus (builds the window first).
    void displayViewChildes();

    // The Default button: every setting back to the profile's default item, stored, then
    // settingCallbackBlock. In editor mode a shipped profile's frame size and rate are "Keep original"
    // and its bit rate follows sourcePicture().
    void actiondefaultBtn();
    // Asks for a name (InputFileNameWindowController, run modally after this window has closed) and saves
    // the current choice as a custom profile of that name; an existing profile is never replaced.
    void actionCreateCustomBtn();
    // The menu actions, as if the user chose the pop-up's selected item.
    void touchUpInslide_v1() { itemChosen(VideoCodec); }
    void touchUpInslide_v2() { itemChosen(FrameSize); }
    void touchUpInslide_v3() { itemChosen(FrameRate); }
    void touchUpInslide_v4() { itemChosen(VideoBitRate); }
    void touchUpInslide_a1() { itemChosen(AudioCodec); }
    void touchUpInslide_a2() { itemChosen(Channels); }
    void touchUpInslide_a3() { itemChosen(SampleRate); }
    void touchUpInslide_a4() { itemChosen(AudioBitRate); }
    // A keystroke in one of the custom fields: stores its value (see numForStringValue) and reports
    // mask 8 for the bit rate, 2 for the frame size (both fields stored).
    void customValueChange(platform::TextField *field);

    // Skips to the first decimal digit and formats the number found there with "%.2f"; "0" for an empty
    // text, "0.00" for a text without digits.
    static QString numForStringValue(const QString &text);

    // The user-defaults key of a setting in this window's mode, and its current title.
    QString keyForSetting(Setting setting) const;
    QString selectTitle(Setting setting) const { return m_titles[setting]; }

    // The controls (null where the part is not built: the video ones for file type 2).
    platform::PopUpButton *popUpButton(Setting setting) const { return m_popUps[setting]; }
    platform::TextField *customWidth() const { return m_customWidth; }
    platform::TextField *customHeight() const { return m_customHeight; }
    platform::TextField *customVideoBit() const { return m_customVideoBit; }
    PNQImageView *videoBackView() const { return m_videoBackView; }
    PNQImageView *audioBackView() const { return m_audioBackView; }
    PNQButton *createCustomBtn() const { return m_createCustomBtn; }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;

private:
    class FieldDelegate;

    bool hasVideoPart() const { return m_fileType != 2; }
    QString resolvedProfilePath() const;
    bool isKeepOriginalProfile() const;
    void readLists();
    void loadStoredTitles();
    void setViewChildes();
    void fillMenu(Setting setting);
    void itemChosen(Setting setting);
    void showCustomFields();
    void layoutForWidth(double width);
    QStringList customProfileLines() const;
    static void saveCustomProfile(const QStringList &lines, const QString &name);

    void initVideoView();
    void initaudioView();
    TextLabel *makeLabel(const platform::Rect &frame, const QString &text, Qt::Alignment alignment, double size = 13);

    bool m_joinner = false;
    QString m_pfPath;
    qint64 m_fileType = 1;
    QString m_functionItemTitle;
    std::shared_ptr<SimpleData> m_simpdata;
    QSize m_sourcePicture;

    std::array<QStringList, SettingCount> m_lists;
    // The title each menu shows, as stored (empty: keep the source's value); kept equal to the menu's
    // selection, so that one handler's look at another setting never sees a stale title.
    std::array<QString, SettingCount> m_titles;
    std::array<platform::PopUpButton *, SettingCount> m_popUps{};
    std::array<bool, SettingCount> m_hasLeadingItem{};

    platform::TextField *m_customWidth = nullptr;
    platform::TextField *m_customHeight = nullptr;
    platform::TextField *m_customVideoBit = nullptr;
    TextLabel *m_sp = nullptr;
    PNQImageView *m_videoBackView = nullptr;
    PNQImageView *m_audioBackView = nullptr;
    PNQButton *m_defaultBtn = nullptr;
    PNQButton *m_createCustomBtn = nullptr;
    std::unique_ptr<FieldDelegate> m_fieldDelegate;
};
