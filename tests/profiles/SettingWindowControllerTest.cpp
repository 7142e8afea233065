// The output-profile settings window in editor and joiner mode, and the custom-profile name dialog.
#include "services/LanguageService.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/PopUpButton.h"
#include "platform/TextField.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "profiles/InputFileNameWindowController.h"
#include "profiles/ProfileLibrary.h"
#include "profiles/ProfileReader.h"
#include "profiles/SettingWindowController.h"
#include "tests/profiles/ScopedDataHome.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using S = SettingWindowController;

const char *const kEditorKeys[] = {"vcodec_SelectTitle", "resolution_SelectTitle", "framerate_SelectTitle",
                                   "bitate_SelectTitle", "acodec_SelectTitle", "achannel_SelectTitle",
                                   "asamplerate_SelectTitle", "abitate_SelectTitle"};
const char *const kJoinerKeys[] = {"vcodecSelectTitle", "resolutionSelectTitle", "framerateSelectTitle",
                                   "bitateSelectTitle", "acodecSelectTitle", "achannelSelectTitle",
                                   "asamplerateSelectTitle", "abitateSelectTitle"};
const QString kHevc = QStringLiteral("Settings.bundle/functionFolder/Video/mkv(HEVC).pf");
const QString kKeepOriginal = QStringLiteral("Settings.bundle/functionFolder/Video/Keep Original.pf");
const QString kJoinKeepOriginal = QStringLiteral("Settings.bundle/pf_join/Video/Keep Original.pf");
const QString kMp3 = QStringLiteral("Settings.bundle/functionFolder/Audio/mp3.pf");

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

QString keepText()
{
    return LanguageService::localizedStringForKey("Keep_OriginalStringValue");
}

class SettingWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { clearKeys(); }
    void TearDown() override
    {
        for (QPointer<S> &window : m_windows)
            delete window.data();
        clearKeys();
        TestEnvironment::processDeferredDeletes();
    }

    static void clearKeys()
    {
        for (int i = 0; i < S::SettingCount; ++i) {
            defaults().remove(QString::fromLatin1(kEditorKeys[i]));
            defaults().remove(QString::fromLatin1(kJoinerKeys[i]));
        }
        for (const char *key : {"resolutionSelectCustom-Width", "resolutionSelectCustom-Height", "bitSelectCustom-Value"})
            defaults().remove(QString::fromLatin1(key));
    }

    // A window filled and ready, as an opener leaves it before its modal run; masks collects the callbacks.
    S *open(const QString &pfPath, bool joinner = false, qint64 fileType = 1, double width = 360)
    {
        auto *window = new S;
        window->setReleasedWhenClosed(false);
        window->setJoinner(joinner);
        window->setFileType(fileType);
        window->setPfPath(pfPath);
        window->selectSettingCallbackBlock = [this](int mask) { masks.push_back(mask); };
        window->settingCallbackBlock = [this] { ++defaultCalls; };
        window->window()->setFrame(platform::makeRect(100, 100, width, fileType == 2 ? 292 : 480));
        window->displayViewChildes();
        m_windows.emplace_back(window);
        return window;
    }

    // Chooses the item titled `title` as the user would.
    static void choose(S *window, S::Setting setting, const QString &title)
    {
        platform::PopUpButton *popUp = window->popUpButton(setting);
        ASSERT_NE(popUp, nullptr);
        const int index = popUp->indexOfItemWithTitle(title);
        ASSERT_GE(index, 0) << title.toStdString() << " in " << popUp->itemTitles().join(u'|').toStdString();
        popUp->chooseItemAtIndex(index);
    }

    std::vector<int> masks;
    int defaultCalls = 0;

private:
    std::vector<QPointer<S>> m_windows;
};

struct ChoiceCase
{
    S::Setting setting;
    const char *item;
    const char *stored;
    int mask;
};

TEST_F(SettingWindowTest, ChoosingAnItemStoresItWithoutUnitAndReportsItsMask)
{
    const ChoiceCase cases[] = {
        {S::VideoCodec, "h264", "h264", 1},        {S::FrameSize, "1280x720", "1280x720", 2},
        {S::FrameRate, "25 fps", "25", 4},         {S::VideoBitRate, "6000 kbps", "6000", 8},
        {S::AudioCodec, "mp3", "mp3", 16},         {S::Channels, "2(Stereo)", "2(Stereo)", 32},
        {S::SampleRate, "44100 hz", "44100", 64}, {S::AudioBitRate, "128 kbps", "128", 128},
    };
    for (bool joinner : {false, true}) {
        S *window = open(kHevc, joinner);
        for (const ChoiceCase &c : cases) {
            SCOPED_TRACE(c.item);
            masks.clear();
            choose(window, c.setting, QString::fromUtf8(c.item));
            const QString key = QString::fromLatin1((joinner ? kJoinerKeys : kEditorKeys)[c.setting]);
            EXPECT_EQ(defaults().value(key).toString(), QString::fromLatin1(c.stored));
            EXPECT_EQ(masks, std::vector<int>{c.mask});
            EXPECT_EQ(window->popUpButton(c.setting)->titleOfSelectedItem(), QString::fromUtf8(c.item));
        }
    }
}

TEST_F(SettingWindowTest, KeepOriginalItemRemovesTheKey)
{
    S *window = open(kHevc);
    choose(window, S::FrameRate, QStringLiteral("25 fps"));
    ASSERT_TRUE(defaults().contains(QStringLiteral("framerate_SelectTitle")));
    masks.clear();
    choose(window, S::FrameRate, keepText());
    EXPECT_FALSE(defaults().contains(QStringLiteral("framerate_SelectTitle")));
    EXPECT_EQ(masks, std::vector<int>{4});
}

TEST_F(SettingWindowTest, LeadingKeepOriginalItemsFollowModeAndProfile)
{
    struct Case
    {
        QString profile;
        bool joinner;
        bool codecsLead;
        bool othersLead;
    };
    const Case cases[] = {
        {kHevc, false, false, true},
        {kKeepOriginal, false, true, true},
        {kHevc, true, false, false},
        {kJoinKeepOriginal, true, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.profile.toStdString() + (c.joinner ? " joiner" : " editor"));
        S *window = open(c.profile, c.joinner);
        for (int i = 0; i < S::SettingCount; ++i) {
            const bool codec = i == S::VideoCodec || i == S::AudioCodec;
            EXPECT_EQ(window->popUpButton(S::Setting(i))->itemTitleAtIndex(0) == keepText(),
                      codec ? c.codecsLead : c.othersLead)
                << "menu " << i;
        }
        EXPECT_EQ(window->popUpButton(S::FrameSize)->lastItemTitle(), QStringLiteral("Custom"));
        EXPECT_EQ(window->popUpButton(S::VideoBitRate)->lastItemTitle(), QStringLiteral("Custom"));
    }
}

TEST_F(SettingWindowTest, StoredTitlesSelectTheirItems)
{
    defaults().setValue(QStringLiteral("framerate_SelectTitle"), QStringLiteral("25"));
    defaults().setValue(QStringLiteral("bitate_SelectTitle"), QStringLiteral("6000"));
    defaults().setValue(QStringLiteral("abitate_SelectTitle"), QStringLiteral(" 128 "));
    defaults().setValue(QStringLiteral("vcodec_SelectTitle"), QStringLiteral("no such codec"));
    defaults().setValue(QStringLiteral("resolution_SelectTitle"), QStringLiteral("Custom"));
    defaults().setValue(QStringLiteral("resolutionSelectCustom-Width"), 1000);
    defaults().setValue(QStringLiteral("resolutionSelectCustom-Height"), 500);
    S *window = open(kHevc, false, 1, 480);
    EXPECT_EQ(window->popUpButton(S::FrameRate)->titleOfSelectedItem(), QStringLiteral("25 fps"));
    EXPECT_EQ(window->popUpButton(S::VideoBitRate)->titleOfSelectedItem(), QStringLiteral("6000 kbps"));
    EXPECT_EQ(window->popUpButton(S::AudioBitRate)->titleOfSelectedItem(), QStringLiteral("128 kbps"));
    EXPECT_EQ(window->popUpButton(S::VideoCodec)->indexOfSelectedItem(), 0) << "no match selects the first item";
    EXPECT_EQ(window->popUpButton(S::FrameSize)->titleOfSelectedItem(), QStringLiteral("Custom"));
    EXPECT_FALSE(window->customWidth()->isHidden());
    EXPECT_EQ(window->customWidth()->stringValue(), QStringLiteral("1000"));
    EXPECT_EQ(window->customHeight()->stringValue(), QStringLiteral("500"));
    EXPECT_TRUE(window->customVideoBit()->isHidden());
}

TEST_F(SettingWindowTest, TypingCustomWidthWithEmptyHeightStoresZeroHeight)
{
    S *window = open(kHevc, true);
    choose(window, S::FrameSize, QStringLiteral("Custom"));
    EXPECT_EQ(defaults().string(QStringLiteral("resolutionSelectTitle")), QStringLiteral("Custom"));
    EXPECT_FALSE(window->customWidth()->isHidden());
    EXPECT_DOUBLE_EQ(window->window()->frame().width(), 480);

    masks.clear();
    QTest::keyClicks(window->customWidth()->lineEdit(), QStringLiteral("1280"));
    EXPECT_EQ(defaults().integer(QStringLiteral("resolutionSelectCustom-Width")), 1280);
    ASSERT_TRUE(defaults().contains(QStringLiteral("resolutionSelectCustom-Height")));
    EXPECT_EQ(defaults().integer(QStringLiteral("resolutionSelectCustom-Height")), 0);
    EXPECT_EQ(masks, std::vector<int>(4, 2)) << "stored on every keystroke";

    choose(window, S::VideoBitRate, QStringLiteral("Custom"));
    masks.clear();
    QTest::keyClicks(window->customVideoBit()->lineEdit(), QStringLiteral("x2500"));
    EXPECT_EQ(defaults().integer(QStringLiteral("bitSelectCustom-Value")), 2500);
    EXPECT_EQ(masks.back(), 8);
}

TEST_F(SettingWindowTest, NumForStringValue)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "0"}, {"abc", "0.00"}, {"1280", "1280.00"}, {"x12.5y", "12.50"}, {"-7", "7.00"}};
    for (const auto &[input, output] : cases)
        EXPECT_EQ(S::numForStringValue(QString::fromLatin1(input)), QString::fromLatin1(output)) << input;
}

TEST_F(SettingWindowTest, AudioFileTypeHasNoVideoPartAndNeverResizes)
{
    S *window = open(kMp3, false, 2);
    for (int i = S::VideoCodec; i <= S::VideoBitRate; ++i)
        EXPECT_EQ(window->popUpButton(S::Setting(i)), nullptr);
    EXPECT_EQ(window->customWidth(), nullptr);
    EXPECT_EQ(window->videoBackView(), nullptr);
    EXPECT_NE(window->popUpButton(S::AudioCodec), nullptr);
    const platform::Rect before = window->window()->frame();
    window->touchUpInslide_v2();
    window->touchUpInslide_v4();
    EXPECT_DOUBLE_EQ(window->window()->frame().width(), before.width());
    EXPECT_DOUBLE_EQ(window->window()->frame().height(), 292);
    EXPECT_TRUE(masks.empty());
    choose(window, S::SampleRate, QStringLiteral("22050 hz"));
    EXPECT_EQ(defaults().string(QStringLiteral("asamplerate_SelectTitle")), QStringLiteral("22050"));
}

TEST_F(SettingWindowTest, DefaultResetsEveryTitleAndCallsBack)
{
    S *window = open(kHevc);
    choose(window, S::VideoCodec, QStringLiteral("vp9"));
    choose(window, S::FrameRate, QStringLiteral("25 fps"));
    choose(window, S::VideoBitRate, QStringLiteral("Custom"));
    window->actiondefaultBtn();
    // One source keeps its picture size and rate (no source picture known: the profile's bit rate).
    const char *defaultsOfProfile[] = {"hevc", nullptr, nullptr, "3000", "aac", "2(Stereo)", "48000", "192"};
    for (int i = 0; i < S::SettingCount; ++i) {
        const QString key = QString::fromLatin1(kEditorKeys[i]);
        if (defaultsOfProfile[i])
            EXPECT_EQ(defaults().string(key), QString::fromLatin1(defaultsOfProfile[i])) << i;
        else
            EXPECT_FALSE(defaults().contains(key)) << i;
    }
    EXPECT_EQ(window->popUpButton(S::FrameRate)->titleOfSelectedItem(), keepText());
    EXPECT_TRUE(window->customVideoBit()->isHidden());
    EXPECT_EQ(defaultCalls, 1);

    // With the source's picture known, the bit rate follows it: 3000 for 1080p, 1333 for 720p -> 1500.
    S *sized = open(kHevc);
    sized->setSourcePicture(QSize(1280, 720));
    sized->actiondefaultBtn();
    EXPECT_EQ(defaults().string(QStringLiteral("bitate_SelectTitle")), QStringLiteral("1500"));
    EXPECT_EQ(sized->popUpButton(S::VideoBitRate)->titleOfSelectedItem(), QStringLiteral("1500 kbps"));

    // The joiner's window gives the profile's own defaults: a join is sized at its start.
    S *join = open(QStringLiteral("Settings.bundle/pf_join/Video/mkv(HEVC).pf"), true);
    join->actiondefaultBtn();
    EXPECT_EQ(defaults().string(QStringLiteral("resolutionSelectTitle")), QStringLiteral("1920x1080"));
    EXPECT_EQ(defaults().string(QStringLiteral("framerateSelectTitle")), QStringLiteral("30"));
    EXPECT_EQ(defaultCalls, 3);

    S *keep = open(kKeepOriginal);
    keep->actiondefaultBtn();
    for (int i = 0; i < S::SettingCount; ++i)
        EXPECT_FALSE(defaults().contains(QString::fromLatin1(kEditorKeys[i]))) << i;
    EXPECT_EQ(defaultCalls, 4);
}

// With the bit rate loaded as "Custom" and then changed by the user, a later frame-size choice must not
// write "Custom" back over the chosen bit rate, nor show the custom bit-rate field.
TEST_F(SettingWindowTest, FrameSizeChoiceUsesCurrentBitRateNotTheLoadedOne)
{
    defaults().setValue(QStringLiteral("bitate_SelectTitle"), QStringLiteral("Custom"));
    S *window = open(kHevc, false, 1, 480);
    ASSERT_FALSE(window->customVideoBit()->isHidden());
    choose(window, S::VideoBitRate, QStringLiteral("6000 kbps"));
    choose(window, S::FrameSize, QStringLiteral("1280x720"));
    EXPECT_EQ(defaults().string(QStringLiteral("bitate_SelectTitle")), QStringLiteral("6000"));
    EXPECT_EQ(window->popUpButton(S::VideoBitRate)->titleOfSelectedItem(), QStringLiteral("6000 kbps"));
    EXPECT_TRUE(window->customVideoBit()->isHidden());
    EXPECT_DOUBLE_EQ(window->window()->frame().width(), 360);

    // And the other way round: a frame size chosen as "Custom" keeps the window wide for a bit-rate choice.
    choose(window, S::FrameSize, QStringLiteral("Custom"));
    choose(window, S::VideoBitRate, QStringLiteral("3000 kbps"));
    EXPECT_DOUBLE_EQ(window->window()->frame().width(), 480);
    EXPECT_FALSE(window->customWidth()->isHidden());
}

TEST_F(SettingWindowTest, TitleAndCreateButtonFollowMode)
{
    S *editor = open(kHevc, false, 1, 480);
    EXPECT_EQ(editor->window()->title(), LanguageService::localizedStringForKey("Edit_settingsTitle"));
    S *joiner = open(kHevc, true);
    EXPECT_EQ(joiner->window()->title(), LanguageService::localizedStringForKey("Joinner_settingsTitle"));
    choose(joiner, S::FrameSize, QStringLiteral("Custom"));
    EXPECT_DOUBLE_EQ(joiner->createCustomBtn()->frame().minX(), 480 - 140);
}

// Runs the create-custom action; `inDialog` acts on the name dialog during its modal run.
void createCustom(S *window, const std::function<void(InputFileNameWindowController *)> &inDialog)
{
    bool reached = false;
    platform::dispatchMain([&] {
        platform::Window *dialogWindow = platform::Application::shared().modalWindow();
        ASSERT_NE(dialogWindow, nullptr);
        auto *dialog = qobject_cast<InputFileNameWindowController *>(dialogWindow->windowController());
        ASSERT_NE(dialog, nullptr);
        reached = true;
        inDialog(dialog);
    });
    window->actionCreateCustomBtn();
    EXPECT_TRUE(reached);
}

TEST_F(SettingWindowTest, CreateCustomSavesCurrentChoiceAsCustomProfile)
{
    ScopedDataHome dataHome;
    S *window = open(kHevc, false, 1, 480);
    choose(window, S::VideoCodec, QStringLiteral("h264"));
    choose(window, S::FrameSize, QStringLiteral("Custom"));
    QTest::keyClicks(window->customWidth()->lineEdit(), QStringLiteral("1000"));
    QTest::keyClicks(window->customHeight()->lineEdit(), QStringLiteral("500"));
    choose(window, S::FrameRate, keepText());

    QVariantMap posted;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, QStringLiteral("NSAddPfFileNotification"), nullptr,
        [&](const platform::Notification &note) { posted = note.userInfo; });
    createCustom(window, [](InputFileNameWindowController *dialog) {
        QTest::keyClicks(dialog->nameNameField()->lineEdit(), QStringLiteral("My HD"));
        dialog->actionOkBtn();
    });
    EXPECT_FALSE(window->window()->isVisible()) << "the settings window closes first";
    EXPECT_EQ(posted.value(QStringLiteral("fileName")).toString(), QStringLiteral("My HD"));
    EXPECT_EQ(posted.value(QStringLiteral("value")).toString(), QStringLiteral("custom={1000x500}"));

    const ProfileLibrary library = ProfileLibrary::editor();
    EXPECT_TRUE(library.displayedFunctionList().contains(QStringLiteral("Custom")));
    EXPECT_TRUE(library.getFunctionItemChildList(QStringLiteral("Custom")).contains(QStringLiteral("My HD")));
    const QString saved = library.profilePath(QStringLiteral("Custom"), QStringLiteral("My HD"));
    ASSERT_FALSE(saved.isEmpty());
    auto read = [&](const char *key) { return ProfileReader::readProfileValue(QStringLiteral("Parameter"), QString::fromLatin1(key), saved); };
    EXPECT_EQ(ProfileReader::readProfileValue(QStringLiteral("Main"), QStringLiteral("ExtName"), saved), QStringLiteral("mkv"));
    EXPECT_TRUE(read("vcodec").startsWith(QStringLiteral("h264,{")));
    EXPECT_TRUE(read("s").startsWith(QStringLiteral("1000x500,{"))) << read("s").toStdString();
    EXPECT_TRUE(read("s").contains(QStringLiteral(",1000x500}")));
    EXPECT_TRUE(read("r").startsWith(QStringLiteral(",{"))) << "keep original stays empty";
}

TEST_F(SettingWindowTest, CreateCustomNeverReplacesAnExistingProfile)
{
    ScopedDataHome dataHome;
    QDir().mkpath(ProfileLibrary::customFolder());
    const QString existing = ProfileLibrary::customFolder() + QStringLiteral("/Mine.pf");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Main]\nExtName=mp4\n");
    }
    TestEnvironment::scriptedPanels().answerAlert(0);
    S *window = open(kHevc);
    createCustom(window, [](InputFileNameWindowController *dialog) {
        dialog->nameNameField()->setStringValue(QStringLiteral("Mine"));
        dialog->actionOkBtn();
    });
    EXPECT_EQ(TestEnvironment::scriptedPanels().pendingAnswers(), 0) << "the user was told";
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Main]\nExtName=mp4\n"));
}

TEST(InputFileNameWindowController, OkNeedsANameAndCancelNeverPosts)
{
    int posts = 0;
    QString name;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, QStringLiteral("NSAddPfFileNotification"), nullptr, [&](const platform::Notification &note) {
            ++posts;
            name = note.userInfo.value(QStringLiteral("fileName")).toString();
        });

    auto *dialog = new InputFileNameWindowController;
    dialog->setReleasedWhenClosed(false);
    std::unique_ptr<InputFileNameWindowController> owner(dialog);
    dialog->window()->show();
    EXPECT_EQ(dialog->tisiLabel()->text(), LanguageService::localizedStringForKey("inputTishiTitle"));
    dialog->actionOkBtn();
    EXPECT_EQ(posts, 0);
    EXPECT_TRUE(dialog->window()->isVisible()) << "an empty name keeps the dialog open";

    dialog->nameNameField()->setStringValue(QStringLiteral("   "));
    dialog->actionOkBtn();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(name, QStringLiteral("   ")) << "posted unchanged";
    EXPECT_FALSE(dialog->window()->isVisible());

    auto *second = new InputFileNameWindowController;
    second->setReleasedWhenClosed(false);
    std::unique_ptr<InputFileNameWindowController> secondOwner(second);
    second->window()->show();
    second->nameNameField()->setStringValue(QStringLiteral("name"));
    second->actionCancelBtn();
    EXPECT_EQ(posts, 1);
    EXPECT_FALSE(second->window()->isVisible());
}

} // namespace
