// The music and subtitle panels driven through the editor window into real exports: the original sound's
// mute and level, a legacy-charset ass script burnt in as its UTF-8 twin, and the preview's subtitle
// drawn as tall as the file's. The written files are decoded.
#include "tests/editor/LoadedEditor.h"

#include "controls/PNQButton.h"
#include "editor/tools/MusicTool.h"
#include "editor/tools/SubtitleCopy.h"
#include "editor/tools/SubtitleTool.h"
#include "model/FileData.h"
#include "model/SubtitleParam.h"
#include "platform/PopUpButton.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/ProbeDecoder.h"

#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSlider>

namespace {

using namespace editortest;

constexpr int kExportWaitMs = 300000;

class EditorPanelsEndToEndTest : public LoadedEditorTest
{
protected:
    void SetUp() override { m_dialogWatch.start(); }
    void TearDown() override
    {
        m_dialogWatch.stop();
        LoadedEditorTest::TearDown();
    }

    // Opens the editor on `path`, exporting mp4 (H.264) into a fresh folder.
    void openForExport(const QString &path, qint64 tool)
    {
        openWith(path, tool);
        OutputFormatChooser *chooser = editor->formatChooser();
        const int tab = chooser->functionList().indexOf(QStringLiteral("Video"));
        ASSERT_GE(tab, 0);
        chooser->actionFunctionItem(chooser->function_Items().at(tab));
        const int item = chooser->functionItemChilds().indexOf(QStringLiteral("mp4(H.264)"));
        ASSERT_GE(item, 0);
        for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
            chooser->action_right_move_item_Btn(nullptr);
        QTest::mouseClick(chooser->itemButtons().at(item), Qt::LeftButton);
        editor->setKeepAspectratio(true);
        m_folder = QString::fromStdString(fixture::freshFolder());
        TestEnvironment::scriptedPanels().answerFolderPanel(m_folder);
        editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
        ASSERT_EQ(editor->outputPath(), m_folder);
    }

    // Clicks Start, waits for the finish dialog and returns the one file the export added.
    QString exportFile()
    {
        const auto files = [this] {
            const QStringList list = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
            return QSet<QString>(list.begin(), list.end());
        };
        const QSet<QString> before = files();
        const qsizetype answered = m_dialogWatch.texts().size();
        QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return m_dialogWatch.texts().size() > answered; },
                                               kExportWaitMs))
            << "the finish dialog comes";
        EXPECT_FALSE(editor->convertstart());
        const QSet<QString> added = files() - before;
        EXPECT_EQ(added.size(), 1);
        return added.isEmpty() ? QString() : m_folder + '/' + *added.begin();
    }

    // Loads `path` through the subtitle pop-up's last item.
    void chooseSubtitle(const QString &path)
    {
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        platform::PopUpButton *popUp = editor->subtitleTool().subtitlePopUpBtn();
        popUp->chooseItemAtIndex(popUp->numberOfItems() - 1);
        ASSERT_EQ(popUp->indexOfSelectedItem(), 1);
    }

    QString m_folder;

private:
    FinishDialogWatch m_dialogWatch;
};

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(QString::fromStdString(fixture::freshFolder())).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

} // namespace

TEST_F(EditorPanelsEndToEndTest, MutedOriginalSoundIsSilentUnderTheMusicAndUnmutedFollowsTheSlider)
{
    fixture::Spec clipSpec;
    clipSpec.width = 64;
    clipSpec.height = 36;
    clipSpec.duration = 12;
    const QString clip = QString::fromStdString(fixture::sharedFixture("mute-base.mp4", clipSpec));
    fixture::Spec toneSpec;
    toneSpec.hasVideo = false;
    toneSpec.duration = 3;
    toneSpec.audio[0].toneHz = 1000;
    const QString tone = QString::fromStdString(fixture::sharedFixture("tone1k.m4a", toneSpec));
    const double source = fixture::audioRms(clip.toStdString(), 1, 5);
    ASSERT_GT(source, 0.05) << "the source has its own sound";

    openForExport(clip, EditVideoWindowController::ToolMusic);
    MusicTool &music = editor->musicTool();
    music.addFiles({tone}); // 3 s of music from the start
    ASSERT_EQ(music.musicList().size(), 1);
    music.originalLevelSlider()->setValue(50);
    QTest::mouseClick(music.originalVolumeButton(), Qt::LeftButton);
    TestEnvironment::processEvents();
    ASSERT_TRUE(music.originalVolumeButton()->selected());

    const QString muted = exportFile();
    ASSERT_FALSE(muted.isEmpty());
    EXPECT_GT(fixture::audioRms(muted.toStdString(), 0.5, 2.5), 0.05) << "the music plays";
    EXPECT_LT(fixture::audioRms(muted.toStdString(), 4, 11), 0.003) << "the source is silent";

    QTest::mouseClick(music.originalVolumeButton(), Qt::LeftButton);
    TestEnvironment::processEvents();
    ASSERT_FALSE(music.originalVolumeButton()->selected());
    const QString unmuted = exportFile();
    ASSERT_FALSE(unmuted.isEmpty());
    EXPECT_NEAR(fixture::audioRms(unmuted.toStdString(), 4, 11) /
                    fixture::audioRms(clip.toStdString(), 4, 11),
                0.5, 0.05)
        << "the source at the slider's level";
}

namespace {

// An ass script whose title and style name are Cyrillic, its cue drawn big and red in that style (a
// style name that does not match would fall back to libass's small white default).
QByteArray cyrillicScript()
{
    return QStringLiteral("[Script Info]\n"
                          "Title: Проверка кодировки\n"
                          "ScriptType: v4.00+\n"
                          "PlayResX: 160\n"
                          "PlayResY: 90\n"
                          "\n"
                          "[V4+ Styles]\n"
                          "Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Alignment, MarginV\n"
                          "Style: Основной,DejaVu Sans,36,&H000000FF,1,5,0\n"
                          "\n"
                          "[Events]\n"
                          "Format: Layer, Start, End, Style, Text\n"
                          "Dialogue: 0,0:00:00.50,0:00:01.50,Основной,ЖЖЖ\n")
        .toUtf8();
}

// `text` (ASCII and the Russian letters А..я) in windows-1251, where А..я are 0xC0..0xFF.
QByteArray toCp1251(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        EXPECT_TRUE(c.unicode() < 0x80 || (c.unicode() >= 0x410 && c.unicode() <= 0x44F));
        bytes += c.unicode() < 0x80 ? char(c.unicode()) : char(0xC0 + (c.unicode() - 0x410));
    }
    return bytes;
}

} // namespace

TEST_F(EditorPanelsEndToEndTest, LegacyCharsetAssBurnsAsItsUtf8TwinAndLeavesNoCopy)
{
    fixture::Spec spec;
    spec.duration = 2;
    const QString clip = QString::fromStdString(fixture::sharedFixture("subtitle-base.mp4", spec));
    const QByteArray utf8 = cyrillicScript();
    const QString utf8Path = writeFile("utf8.ass", utf8);
    const QString cp1251Path = writeFile("cp1251.ass", toCp1251(QString::fromUtf8(utf8)));

    openForExport(clip, EditVideoWindowController::ToolSubtitle);
    chooseSubtitle(utf8Path);
    const QString fromUtf8 = exportFile();
    chooseSubtitle(cp1251Path);
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty()) << "taken, not refused";
    const QString fromCp1251 = exportFile();
    ASSERT_FALSE(fromUtf8.isEmpty());
    ASSERT_FALSE(fromCp1251.isEmpty());

    const auto plain = fixture::decodeFrameAt(clip.toStdString(), 1.0);
    const auto a = fixture::decodeFrameAt(fromUtf8.toStdString(), 1.0);
    const auto b = fixture::decodeFrameAt(fromCp1251.toStdString(), 1.0);
    ASSERT_TRUE(plain && a && b);
    const auto rows = changedRows(*a, *plain);
    ASSERT_GE(rows.first, 0) << "the cue is burnt in";
    EXPECT_GT(rows.second - rows.first, 20) << "in its own big style, not the default";
    const fixture::MeanColor text = a->mean(0, rows.first, a->width, rows.second - rows.first + 1);
    EXPECT_GT(text.r, text.g + 20) << "red, as its style says";
    EXPECT_EQ(changedRows(*b, *a).first, -1) << "the cp1251 file's frame is the UTF-8 file's";

    editor->close();
    EXPECT_TRUE(QDir(SubtitleCopy::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "no copy left";
}

TEST_F(EditorPanelsEndToEndTest, PreviewSubtitleIsAsTallAsTheExportedOne)
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 2;
    spec.stamp = false;
    spec.marker = false;
    const QString clip = QString::fromStdString(fixture::sharedFixture("hd-subtitle.mp4", spec));
    const QString srt = writeFile("tall.srt", "1\n00:00:00,000 --> 00:00:02,000\nHHHH\n");

    openForExport(clip, EditVideoWindowController::ToolSubtitle);
    const auto snapshot = [this] {
        seek(1.0);
        editor->rdPlayer()->Refresh();
        int w = 1280, h = 720;
        std::vector<uint8_t> bgra(size_t(w) * h * 4);
        fixture::Image image;
        if (!editor->rdPlayer()->Snapshot(&w, &h, bgra.data()))
            return image;
        image = fixture::Image(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t *p = &bgra[(size_t(y) * w + x) * 4];
                image.setPixel(x, y, fixture::Rgb{p[2], p[1], p[0]});
            }
        return image;
    };
    const fixture::Image plainPreview = snapshot();
    chooseSubtitle(srt);
    const fixture::Image preview = snapshot();
    ASSERT_EQ(preview.width, 1280);
    ASSERT_EQ(preview.height, 720);
    const auto shown = changedRows(preview, plainPreview);
    ASSERT_GE(shown.first, 0) << "the preview shows the cue";

    const QString out = exportFile();
    ASSERT_FALSE(out.isEmpty());
    const auto plain = fixture::decodeFrameAt(clip.toStdString(), 1.0);
    const auto exported = fixture::decodeFrameAt(out.toStdString(), 1.0);
    ASSERT_TRUE(plain && exported);
    const auto written = changedRows(*exported, *plain);
    ASSERT_GE(written.first, 0) << "the file shows the cue";

    const int previewHeight = shown.second - shown.first + 1;
    const int fileHeight = written.second - written.first + 1;
    EXPECT_GT(fileHeight, 15) << "a readable size on a 720-line picture";
    EXPECT_NEAR(previewHeight, fileHeight, fileHeight * 0.1);
}
