// Snapshots of the shown frame into the output folder, and the rotate panel's reset.
#include "tests/editor/LoadedEditor.h"

#include "services/LanguageService.h"
#include "editor/tools/RDUICliper.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {

using namespace editortest;

class EditorSnapshotTest : public LoadedEditorTest
{
};

TEST_F(EditorSnapshotTest, RotatedClipGivesAPortraitPictureAndNeverOverwrites)
{
    openWith(smallClip()); // 160 x 90
    editor->rotateTool().setPlayerRotateAngle(90);
    editor->refreshPlayerView();
    ASSERT_EQ(editor->getVideoSizeForTrack(), (platform::Size{90, 160}));
    const QDateTime stamp(QDate(2024, 5, 6), QTime(7, 8, 9));
    editor->setSnapshotClock([stamp] { return stamp; });
    // A folder that does not exist yet is made.
    const QString folder = editor->outputPath();
    QDir(folder).removeRecursively();

    const QString first = editor->actionCarameraBtn();
    const QString second = editor->actionCarameraBtn();
    EXPECT_EQ(first, folder + "/2024-05-06_07-08-09.png");
    EXPECT_EQ(second, folder + "/2024-05-06_07-08-09(2).png");
    for (const QString &path : {first, second}) {
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << path.toStdString();
        EXPECT_EQ(picture.size(), QSize(90, 160));
        // The fixture's marked corner is top-left; turned clockwise it sits top-right.
        const QColor corner = picture.pixelColor(85, 5);
        EXPECT_GT(corner.green(), 150);
        EXPECT_LT(corner.red(), 100);
    }
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
}

TEST_F(EditorSnapshotTest, ChosenFormatDecidesTheFile)
{
    openWith(smallClip());
    editor->setSnapshotClock([] { return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)); });
    const struct
    {
        QString title;
        const char *suffix;
        const char *format;
    } cases[] = {{QStringLiteral("bmp"), "bmp", "bmp"},
                 {QStringLiteral("jpg"), "jpg", "jpeg"},
                 {QStringLiteral("png"), "png", "png"}};
    for (const auto &c : cases) {
        const int index = editor->coverStylePopBtn()->indexOfItemWithTitle(c.title);
        ASSERT_GE(index, 0);
        editor->picStyleBtnAction();
        EXPECT_FALSE(editor->coverStylePopBtn()->isHidden());
        editor->picstyleAction(index);
        EXPECT_TRUE(editor->coverStylePopBtn()->isHidden());
        EXPECT_EQ(editor->volumeBtn()->frame().minX(), editor->picStyleBtn()->frame().maxX());
        const QString path = editor->actionCarameraBtn();
        EXPECT_EQ(QFileInfo(path).suffix(), QString::fromLatin1(c.suffix));
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(c.format));
        EXPECT_EQ(reader.size(), QSize(160, 90));
    }
}

TEST_F(EditorSnapshotTest, FailedWriteIsReported)
{
    openWith(smallClip());
    // The output folder's place is taken by a file, so nothing can be written into it.
    const QString folder = editor->outputPath();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestEnvironment::scriptedPanels().answerAlert(0);
    EXPECT_TRUE(editor->actionCarameraBtn().isEmpty());
    ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts()[0].informativeText,
              LanguageService::localizedStringForKey("snapshotSaveFailedString"));
    QFile::remove(folder);
}

TEST_F(EditorSnapshotTest, RotateResetReturnsToTheUntouchedPicture)
{
    openWith(smallClip(), EditVideoWindowController::ToolRotate);
    editor->rotateTool().setPlayerRotateAngle(90);
    editor->refreshPlayerView();
    editor->rotateTool().setHFlip(1);
    editor->rotateTool().setVFlip(1);
    editor->cropTool().setEditVideoClipRect(platform::makeRect(2, 8, 80, 140));
    editor->setWaterMarkList({std::make_shared<WaterParam>(), std::make_shared<WaterParam>()});
    editor->subtitleParam()->setSubtitlePath(QStringLiteral("/tmp/some.srt"));
    if (editor->watermarkTool().waterContentTextField())
        editor->watermarkTool().waterContentTextField()->setStringValue(QStringLiteral("typed"));
    ASSERT_EQ(editor->videoSize(), (platform::Size{90, 160}));

    editor->resetRotateTouchUp();
    EXPECT_EQ(editor->rotateTool().playerRotateAngle(), 90) << "the reset runs one turn later";
    TestEnvironment::processEvents();

    EXPECT_EQ(editor->rotateTool().playerRotateAngle(), 0);
    EXPECT_EQ(editor->rotateTool().hFlip(), 0);
    EXPECT_EQ(editor->rotateTool().vFlip(), 0);
    const RECT m = editor->cropTool().convertCropSize();
    EXPECT_EQ(m.left + m.top + m.right + m.bottom, 0);
    EXPECT_EQ(editor->videoSize(), (platform::Size{160, 90}));
    EXPECT_EQ(editor->cropTool().editVideoClipRect(), platform::makeRect(0, 0, 160, 90));
    EXPECT_TRUE(editor->waterMarkList().isEmpty());
    EXPECT_EQ(editor->waterParam()->waterType(), 1);
    ASSERT_TRUE(editor->watermarkTool().waterContentTextField());
    EXPECT_EQ(editor->watermarkTool().waterContentTextField()->stringValue(),
              LanguageService::localizedStringForKey("watermarkstringValue"));
    EXPECT_EQ(editor->waterParam()->waterText(),
              LanguageService::localizedStringForKey("watermarkstringValue"));
    EXPECT_TRUE(editor->subtitleParam()->subtitlePath().isEmpty());
    // The overlay shows what the file gets: the whole picture.
    EXPECT_NEAR(editor->cliper()->getclipRect().width(), 160, 0.01);
    EXPECT_NEAR(editor->cliper()->getclipRect().height(), 90, 0.01);
    EXPECT_EQ(editor->subtitlePopUpBtn()->indexOfSelectedItem(), 0) << "the pop-up names no file";
    // The player shows the unturned picture again.
    std::vector<uint8_t> buffer(160 * 160 * 4);
    int w = 160, h = 160;
    ASSERT_TRUE(editor->rdPlayer()->Snapshot(&w, &h, buffer.data()));
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 90);
}

} // namespace
