// The subtitle tool: the font rule over file lists, the slider's mapping to the engine's position, the
// checks that refuse a subtitle file, and the tool inside the editor window (load, position, colour,
// a refused file, a file deleted before the export).
#include "editor/tools/SubtitleTool.h"
#include "controls/ImageView.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "editor/tools/SubtitleCopy.h"
#include "model/SubtitleParam.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/support/MediaFixture.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/ScreenshotLanguages.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>

using namespace editortest;

TEST(SubtitleTool, FontListKeepsTtfAndTtcWithTheirFullPaths)
{
    const QStringList files{"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/f/a/Noto.TTC", "/f/b/x.otf",
                            "/f/c/y.dfont", "/f/d/Mixed.TtF"};
    EXPECT_EQ(
        SubtitleTool::subtitleFontFiles(files),
        (QStringList{"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/f/a/Noto.TTC", "/f/d/Mixed.TtF"}));
}

TEST(SubtitleTool, DefaultFontPrefersTheCjkSerifThenArialThenTheFirst)
{
    const QStringList serif{"/f/cjk/NotoSerifCJK-Regular.ttc"};
    const struct
    {
        const char *name;
        QStringList fonts;
        int index;
    } cases[] = {
        {"serif and arial", {"/f/a.ttf", "/f/ARIAL.TTF", "/f/cjk/NotoSerifCJK-Regular.ttc"}, 2},
        {"arial only", {"/f/a.ttf", "/f/sub/Arial.ttf"}, 1},
        {"neither", {"/f/b.ttf", "/f/a.ttf"}, 0},
        {"empty list", {}, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SubtitleTool::defaultFontIndex(c.fonts, serif), c.index);
    }
    // On this system the "Songti" family is found among the listed font files.
    const QStringList system = SubtitleTool::cjkSerifFontFiles();
    ASSERT_FALSE(system.isEmpty());
    EXPECT_TRUE(QFile::exists(system.first()));
}

TEST(SubtitleTool, SliderValueIsWhereTheBaselineStands)
{
    const struct
    {
        double v, height;
        int fontSize, position;
    } cases[] = {
        {1.0, 1080, 30, 1050}, {0.5, 1080, 30, 540}, {0.0, 1080, 30, 0}, {0.9, 20, 30, 0}, {1.5, 90, 30, 60},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SubtitleTool::positionForSlider(c.v, c.height, c.fontSize), c.position)
            << c.v << " " << c.height;
}

namespace {
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}
const QByteArray kSrt = "1\n00:00:00,500 --> 00:00:01,500\nHello\n";
// Bytes no character set reads as text.
QByteArray junk()
{
    QByteArray bytes;
    quint32 seed = 7;
    for (int i = 0; i < 2048; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes += char(seed >> 24);
    }
    return bytes;
}
// An ass script in windows-1251 ("Привет"), its style named in ASCII or in Cyrillic ("Основной").
QByteArray ass1251(const QByteArray &style)
{
    return "[Script Info]\n[V4+ Styles]\nFormat: Name, Fontsize\nStyle: " + style +
           ",20\n[Events]\n"
           "Format: Layer, Start, End, Style, Text\nDialogue: 0,0:00:00.50,0:00:01.50," +
           style + ",\xCF\xF0\xE8\xE2\xE5\xF2\n";
}
const QByteArray kCyrillicStyle = "\xCE\xF1\xED\xEE\xE2\xED\xEE\xE9";
} // namespace

TEST(SubtitleTool, ReadsOtherCharsetsAndRefusesJunkCuelessAndUnreadableFiles)
{
    QTemporaryDir dir;
    using C = SubtitleTool::FileCheck;
    const QByteArray utf16 =
        QByteArray("\xFF\xFE", 2) +
        QByteArray(reinterpret_cast<const char *>(QString::fromUtf8(kSrt).utf16()), kSrt.size() * 2);
    const struct
    {
        const char *name;
        QByteArray bytes;
        C expected;
    } cases[] = {
        {"good.srt", kSrt, C::Ok},
        {"utf16.srt", utf16, C::Ok},
        {"latin1.srt", "1\n00:00:00,500 --> 00:00:01,500\nCaf\xE9 cr\xE8me\n", C::Ok},
        {"cp1251.srt", "1\n00:00:00,500 --> 00:00:01,500\n\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\n", C::Ok},
        {"junk.srt", junk(), C::NotText},
        {"empty.srt", "", C::NoCue},
        {"words.srt", "just some words\n", C::NoCue},
        // An arrow but no cue the export can read.
        {"bad times.srt", "1\n00:00:00:00,000 --> 00:00:02:00,000\nHello\n", C::NoCue},
        {"arrow only.srt", "-->\n", C::NoCue},
        {"good.ass", "[Script Info]\n[Events]\nDialogue: 0,0:00:00.50,0:00:01.50,Default,,0,0,0,,Hi\n",
         C::Ok},
        {"noevents.ssa", "[Script Info]\nTitle: x\n", C::NoCue},
        {"cp1251.ass", ass1251("Default"), C::Ok},
        {"cp1251 styles.ass", ass1251(kCyrillicStyle), C::Ok},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SubtitleTool::checkSubtitleFile(writeFile(dir, c.name, c.bytes)), c.expected) << c.name;
    EXPECT_EQ(SubtitleTool::checkSubtitleFile(dir.filePath("absent.srt")), C::Unreadable);
}

namespace {
class SubtitleWindowTest : public LoadedEditorTest
{
protected:
    QTemporaryDir dir;
    SubtitleTool &tool() { return editor->subtitleTool(); }
    void chooseLoadItem(const QString &path)
    {
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        auto *popUp = tool().subtitlePopUpBtn();
        popUp->chooseItemAtIndex(popUp->numberOfItems() - 1);
    }
};
} // namespace

TEST_F(SubtitleWindowTest, LoadPositionAndColourGoIntoTheRecord)
{
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    const QString srt = writeFile(dir, "cues.srt", kSrt);
    chooseLoadItem(srt);
    ASSERT_TRUE(editor->subtitleParam());
    const SubtitleParam &sub = *editor->subtitleParam();
    EXPECT_EQ(sub.subtitlePath(), srt);
    EXPECT_EQ(sub.positon(), -1);
    EXPECT_FALSE(sub.fontPath().isEmpty()) << "a default font on a system with fonts";
    EXPECT_TRUE(sub.fontPath().startsWith('/'));
    EXPECT_EQ(tool().subtitlePopUpBtn()->itemTitles().size(), 3);
    EXPECT_TRUE(tool().fontPopUpBtn()->isEnabled());
    EXPECT_TRUE(tool().positionSlider()->isEnabled());
    EXPECT_EQ(tool().positionSlider()->value(), tool().positionSlider()->maximum())
        << "at 1.0 while the record keeps the default placement";

    // 160 x 90 picture, font size 30: the top of the slider puts the baseline 30 pixels under the top.
    tool().positionSlider()->setValue(0);
    EXPECT_EQ(sub.positon(), 0);
    tool().positionSlider()->setValue(tool().positionSlider()->maximum());
    EXPECT_EQ(sub.positon(), 60);

    TestEnvironment::scriptedPanels().answerColorPanel(QColor(255, 0, 0));
    tool().changeSubtitleColor();
    EXPECT_EQ(sub.fontColor(), QColor(255, 0, 0)) << "stored at once";

    // None, then the chosen file again: the same file with the picked colour. None leaves the other
    // controls as they are.
    tool().subtitlePopUpBtn()->chooseItemAtIndex(0);
    EXPECT_TRUE(sub.subtitlePath().isEmpty());
    EXPECT_TRUE(tool().fontPopUpBtn()->isEnabled());
    EXPECT_TRUE(tool().positionSlider()->isEnabled());
    EXPECT_EQ(sub.positon(), 60);
    tool().subtitlePopUpBtn()->chooseItemAtIndex(1);
    EXPECT_EQ(sub.subtitlePath(), srt);

    // A second load replaces the file item; never more than three items.
    const QString ass = writeFile(
        dir, "other.ass", "[Script Info]\n[Events]\nDialogue: 0,0:00:00.50,0:00:01.50,Default,,0,0,0,,Hi\n");
    chooseLoadItem(ass);
    EXPECT_EQ(tool().subtitlePopUpBtn()->itemTitles().size(), 3);
    EXPECT_EQ(tool().subtitlePopUpBtn()->itemTitleAtIndex(1), "other.ass");
    EXPECT_FALSE(tool().fontPopUpBtn()->isEnabled()) << "an ass file keeps its own fonts";
}

// Which controls answer at each moment: built, a clip shown, an srt or an ass load, the editing state
// set on and off, and the next clip.
TEST_F(SubtitleWindowTest, ControlsFollowTheTableOfEnabledStates)
{
    open(EditVideoWindowController::ToolSubtitle);
    struct State
    {
        bool popUp, font, colour, slider, header;
    };
    const auto now = [&] {
        return State{tool().subtitlePopUpBtn()->isEnabled(), tool().fontPopUpBtn()->isEnabled(),
                     tool().colorWell()->isEnabled(), tool().positionSlider()->isEnabled(),
                     tool().captionAlphorBtn()->selected()};
    };
    const auto expect = [&](const char *moment, State want) {
        SCOPED_TRACE(moment);
        const State got = now();
        EXPECT_EQ(got.popUp, want.popUp);
        EXPECT_EQ(got.font, want.font);
        EXPECT_EQ(got.colour, want.colour);
        EXPECT_EQ(got.slider, want.slider);
        EXPECT_EQ(got.header, want.header);
    };
    expect("built", {false, false, false, false, false});
    ASSERT_TRUE(choose(smallClip()));
    expect("clip shown", {true, false, true, false, false});
    EXPECT_EQ(tool().subtitlePopUpBtn()->numberOfItems(), 2);

    chooseLoadItem(writeFile(dir, "cues.srt", kSrt));
    expect("srt loaded", {true, true, true, true, true});
    const platform::OpenPanelRequest panel = TestEnvironment::scriptedPanels().openPanels().last();
    EXPECT_TRUE(panel.allowsMultipleSelection);
    EXPECT_TRUE(panel.canChooseFiles && !panel.canChooseDirectories && !panel.canCreateDirectories);
    EXPECT_EQ(panel.allowedExtensions, (QStringList{"ass", "ssa", "srt"}));
    EXPECT_TRUE(panel.allowsOtherFileTypes);
    chooseLoadItem(
        writeFile(dir, "cues.ass", "[Script Info]\n[Events]\nDialogue: 0,0:00:00.50,0:00:01.50,Default,,0,0,0,,Hi\n"));
    expect("ass loaded", {false, false, false, true, true});
    editor->enableEdit(false);
    expect("editing off", {false, false, false, false, true});
    editor->enableEdit(true);
    expect("editing on, a file chosen", {true, true, true, true, true});

    chooseLoadItem(
        writeFile(dir, "again.ass", "[Script Info]\n[Events]\nDialogue: 0,0:00:00.50,0:00:01.50,Default,,0,0,0,,Hi\n"));
    ASSERT_TRUE(choose(smallClip()));
    expect("next clip", {true, false, true, false, false});
    EXPECT_EQ(tool().subtitlePopUpBtn()->numberOfItems(), 2);
    editor->enableEdit(true);
    expect("editing on, no file", {true, false, true, false, false});
}

// The position box: its picture, the header over it, the slider across it with "+" at its left end and
// "-" at its right end, standing at the middle until a file is loaded.
TEST_F(SubtitleWindowTest, PositionBoxHoldsTheHeaderAndTheSliderBetweenItsMarks)
{
    open(EditVideoWindowController::ToolSubtitle);
    QSlider *slider = tool().positionSlider();
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(slider->value() * 2, slider->maximum());
    auto *box = qobject_cast<ImageView *>(tool().captionAlphorBtn()->parentWidget());
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->image().isNull());
    EXPECT_EQ(tool().captionAlphorBtn()->contentTitle(),
              LanguageService::localizedStringForKey("PositionBtnTitle"));
    const QRect plus = tool().captionAlphBigLabe()->geometry();
    const QRect minus = tool().captionAlphLowLabe()->geometry();
    const QRect bar(slider->parentWidget()->mapTo(box, QPoint(0, 0)), slider->parentWidget()->size());
    EXPECT_EQ(tool().captionAlphBigLabe()->text(), "+");
    EXPECT_EQ(tool().captionAlphLowLabe()->text(), "-");
    EXPECT_LE(plus.right(), bar.left());
    EXPECT_GE(minus.left(), bar.right());
    EXPECT_LT(tool().captionAlphorBtn()->geometry().bottom(), bar.bottom()) << "the header above the slider";
}

TEST_F(SubtitleWindowTest, ARefusedFileIsNamedAndChangesNothing)
{
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    const QString good = writeFile(dir, "good.srt", kSrt);
    chooseLoadItem(good);
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *message;
    } cases[] = {
        {"junk.srt", junk(), "SubtitleEncodingMessage"},
        {"words.srt", "just some words\n", "SubtitleMalformedMessage"},
        {"bad times.srt", "1\n00:00:00:00,000 --> 00:00:02:00,000\nHello\n", "SubtitleMalformedMessage"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment::scriptedPanels().answerAlert(0);
        chooseLoadItem(writeFile(dir, c.name, c.bytes));
        const auto alerts = TestEnvironment::scriptedPanels().alerts();
        ASSERT_FALSE(alerts.isEmpty());
        EXPECT_EQ(alerts.last().messageText, LanguageService::localizedStringForKey(c.message));
        EXPECT_EQ(alerts.last().informativeText, c.name);
        EXPECT_EQ(editor->subtitleParam()->subtitlePath(), good);
        EXPECT_EQ(tool().subtitlePopUpBtn()->indexOfSelectedItem(), 1);
    }
}

TEST_F(SubtitleWindowTest, AFileDeletedBeforeTheExportFailsIt)
{
    RecordingEngine::Installed engine;
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    const QString srt = writeFile(dir, "gone.srt", kSrt);
    chooseLoadItem(srt);
    QFile::remove(srt);
    TestEnvironment::scriptedPanels().answerAlert(0);
    editor->startExportAction();
    ASSERT_TRUE(
        TestEnvironment::waitUntil([] { return !TestEnvironment::scriptedPanels().alerts().isEmpty(); }));
    EXPECT_FALSE(editor->convertstart());
    EXPECT_EQ(RecordingEngine::count("start"), 0);
    const auto alerts = TestEnvironment::scriptedPanels().alerts();
    EXPECT_EQ(alerts.last().informativeText,
              LanguageService::localizedStringForKey("SubtitleMissingMessage"));
}

TEST(SubtitleTool, FontsAreNamedByFamilyAndStyle)
{
    const QStringList serif = SubtitleTool::cjkSerifFontFiles();
    ASSERT_FALSE(serif.isEmpty());
    const QString name = SubtitleTool::fontDisplayName(serif.first());
    EXPECT_TRUE(name.startsWith(QStringLiteral("Noto Serif CJK"))) << name.toStdString();
    EXPECT_FALSE(name.endsWith(QStringLiteral(".ttc"), Qt::CaseInsensitive)) << name.toStdString();
    EXPECT_EQ(SubtitleTool::fontDisplayName(QStringLiteral("/no/such/Some-Font.ttf")), "Some-Font.ttf");
}

TEST_F(SubtitleWindowTest, TheDefaultFontShowsItsWholeName)
{
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    chooseLoadItem(writeFile(dir, "cues.srt", kSrt));
    const SubtitleParam &sub = *editor->subtitleParam();
    QComboBox *combo = tool().fontPopUpBtn()->comboBox();
    const QString shown = tool().fontPopUpBtn()->titleOfSelectedItem();
    EXPECT_EQ(shown, SubtitleTool::fontDisplayName(sub.fontPath()));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    EXPECT_LE(combo->fontMetrics().horizontalAdvance(shown), field.width())
        << shown.toStdString() << " fits the pop-up";
}

TEST_F(SubtitleWindowTest, LegacyAssIsUsedThroughAPrivateUtf8CopyThatGoesWithIt)
{
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    const QString legacy = writeFile(dir, "cp1251.ass", ass1251(kCyrillicStyle));
    const QDir copies(SubtitleCopy::folder());
    const auto copiesLeft = [&] { return copies.entryList(QDir::Files | QDir::Hidden).size(); };

    chooseLoadItem(legacy);
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty()) << "taken, not refused";
    const QString copy = editor->subtitleParam()->subtitlePath();
    EXPECT_EQ(QFileInfo(copy).absolutePath(), copies.absolutePath());
    EXPECT_EQ(copy, tool().usedPath());
    EXPECT_EQ(tool().subtitlePopUpBtn()->itemTitleAtIndex(1), "cp1251.ass");
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Style: Основной,20")));
    EXPECT_TRUE(text.contains(QStringLiteral(",Основной,Привет")));
    EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0) << "private";

    // None, then the file again: the same copy. After an ass load the pop-up answers again once the
    // editing state is set anew.
    EXPECT_FALSE(tool().subtitlePopUpBtn()->isEnabled());
    editor->enableEdit(true);
    tool().subtitlePopUpBtn()->chooseItemAtIndex(0);
    tool().subtitlePopUpBtn()->chooseItemAtIndex(1);
    EXPECT_EQ(editor->subtitleParam()->subtitlePath(), copy);
    EXPECT_EQ(copiesLeft(), 1);

    // Another subtitle, a new clip and the window's close each take the copy away.
    const QString srt = writeFile(dir, "plain.srt", kSrt);
    chooseLoadItem(srt);
    EXPECT_EQ(editor->subtitleParam()->subtitlePath(), srt);
    EXPECT_EQ(copiesLeft(), 0) << "another file chosen";
    chooseLoadItem(legacy);
    EXPECT_EQ(copiesLeft(), 1);
    ASSERT_TRUE(choose(smallClip()));
    EXPECT_EQ(copiesLeft(), 0) << "a new clip";
    chooseLoadItem(legacy);
    EXPECT_EQ(copiesLeft(), 1);
    editor->close();
    EXPECT_EQ(copiesLeft(), 0) << "the window closed";
}

// Not part of the suite: the subtitle panel with an srt file over a 1280 x 720 clip, in English, German
// and Arabic, grabbed to PNGs in $VW_SCREENSHOT_DIR for a look under Xvfb:
//   VW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/test_editor
//     --gtest_also_run_disabled_tests --gtest_filter='*SubtitlePanelScreenshot*'
TEST_F(SubtitleWindowTest, DISABLED_SubtitlePanelScreenshot)
{
    const QString folder = qEnvironmentVariable("VW_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty());
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    const QString clip = QString::fromStdString(fixture::sharedFixture("hd-shot.mp4", spec));
    const QString srt = writeFile(dir, "cues.srt", "1\n00:00:00,000 --> 00:00:02,000\nHHHH Hello\n");
    inScreenshotLanguages([&](const QString &code) {
        openWith(clip, EditVideoWindowController::ToolSubtitle);
        chooseLoadItem(srt);
        seek(1.0);
        editor->rdPlayer()->Refresh();
        QTest::qWait(3000);
        EXPECT_TRUE(editor->window()->grab().save(folder + QStringLiteral("/subtitle-%1.png").arg(code)));
        editor->close();
        TestEnvironment::processDeferredDeletes();
    });
}
