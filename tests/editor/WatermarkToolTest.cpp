// The editor's watermark tool through the window: the list, its rows and the index rules, the panel's
// time, transparency, size, font and colour controls, and what the preview player is handed.
#include "editor/tools/WatermarkTool.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "editor/tools/CropTool.h"
#include "editor/tools/RDWaterView.h"
#include "editor/tools/WaterMarkCellItemView.h"
#include "media/RDMoviePlayer.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "model/WaterParam.h"
#include "platform/Stepper.h"
#include "platform/Window.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/support/ScreenshotLanguages.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {
using namespace editortest;

class WatermarkToolTest : public LoadedEditorTest
{
protected:
    QString picturePath()
    {
        const QString path = m_dir.filePath("logo.png");
        if (!QFile::exists(path)) {
            QImage image(40, 20, QImage::Format_ARGB32);
            image.fill(Qt::red);
            image.save(path);
        }
        return path;
    }
    WatermarkTool &tool() { return editor->watermarkTool(); }
    int previewCount() const
    {
        const auto &p = editor->watermarkTool().previewRecords();
        return int(p.images.size() + p.videos.size() + p.texts.size());
    }

    QTemporaryDir m_dir;
};

TEST_F(WatermarkToolTest, AddTickEditAndDeleteRows)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    EXPECT_TRUE(tool().textmarkBtn()->isEnabled());
    EXPECT_FALSE(tool().fontBtn()->isEnabled()); // nothing to edit yet

    tool().addTextAction();
    ASSERT_TRUE(tool().addFile(picturePath()));
    ASSERT_TRUE(tool().addFile(smallClip()));
    const auto list = editor->waterMarkList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0]->waterType(), WaterParam::Text);
    EXPECT_EQ(list[0]->waterText(), LanguageService::localizedStringForKey("watermarkstringValue"));
    EXPECT_EQ(list[0]->waterFontColor(), QColor(Qt::white));
    EXPECT_FALSE(list[0]->keepaspectRatio());
    EXPECT_EQ(list[1]->waterType(), WaterParam::File);
    EXPECT_FALSE(list[1]->isVideo());
    EXPECT_TRUE(list[1]->keepaspectRatio());
    EXPECT_TRUE(list[2]->isVideo());
    EXPECT_NEAR(list[2]->fileDuration(), 2.0, 0.1);
    EXPECT_EQ(list[2]->fileEndTime(), list[2]->fileDuration());
    for (const auto &item : list) {
        EXPECT_TRUE(item->selected());
        EXPECT_NEAR(item->duration(), 2.0, 0.1);
        EXPECT_GT(item->waterPercentClipRect().width(), 0);
    }
    // The picture keeps its shape in the overlay: 40 x 20.
    EXPECT_NEAR(list[1]->waterRect().width() / list[1]->waterRect().height(), 2.0, 0.01);
    EXPECT_EQ(editor->selectedWaterMarkIndex(), 2);

    // Rows: one each of its kind, the last added edited; only its file group is shown.
    const auto cells = tool().cells();
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells[0]->type(), WaterMarkCellItemView::TextRow);
    EXPECT_EQ(cells[1]->type(), WaterMarkCellItemView::PictureRow);
    EXPECT_EQ(cells[2]->type(), WaterMarkCellItemView::VideoRow);
    EXPECT_EQ(cells[1]->titleStringValue(), picturePath());
    EXPECT_TRUE(cells[2]->selected());
    EXPECT_FALSE(cells[2]->titleLabel()->isEditable()); // only a text row's title is editable
    EXPECT_FALSE(tool().fileGroupView()->isHidden());
    EXPECT_TRUE(tool().widthField()->isEnabled());
    EXPECT_FALSE(tool().fontBtn()->isEnabled());

    // The edited row is left to the overlay; the others reach the preview.
    EXPECT_TRUE(tool().previewRecords().overlayShown);
    EXPECT_EQ(previewCount(), 2);
    EXPECT_TRUE(tool().previewRecords().videos.empty());
    editor->cutAction(); // off the watermark tab the player draws every ticked row
    EXPECT_EQ(previewCount(), 3);
    EXPECT_EQ(tool().previewRecords().videos.size(), 1u);
    editor->watermarkAction();

    // Unticking the picture's row (a press on its check box, one turn later) takes it out of the preview.
    cells[1]->checkBtn()->mouseDownAction(cells[1]->checkBtn());
    TestEnvironment::processEvents();
    EXPECT_FALSE(editor->waterMarkList()[1]->selected());
    EXPECT_EQ(editor->waterMarkSelecteds().size(), 2);
    EXPECT_EQ(previewCount(), 1); // the text; the video is being edited
    for (const auto &image : tool().previewRecords().images)
        EXPECT_STRNE(image.path, picturePath().toUtf8().constData());

    // Editing the text row's title in place.
    tool().selectRow(0);
    EXPECT_TRUE(tool().fileGroupView()->isHidden());
    EXPECT_TRUE(tool().fontBtn()->isEnabled());
    EXPECT_FALSE(tool().widthField()->isEnabled());
    WaterMarkCellItemView *textRow = tool().cells()[0];
    ASSERT_TRUE(textRow->titleLabel()->isEditable());
    QTest::mouseClick(textRow, Qt::LeftButton, {}, QPoint(120, 12)); // opens the title's field
    ASSERT_TRUE(textRow->titleLabel()->isVisibleTo(textRow));
    textRow->titleLabel()->lineEdit()->setFocus();
    textRow->titleLabel()->lineEdit()->selectAll();
    QTest::keyClicks(textRow->titleLabel()->lineEdit(), "Hello");
    EXPECT_EQ(editor->waterMarkList()[0]->waterText(), "Hello");
    EXPECT_EQ(editor->watermarkView()->waterMarkString(), "Hello");

    // Deleting: the last of three edited makes the new last one edited; the only one leaves zeros.
    tool().selectRow(2);
    tool().deleteAction();
    EXPECT_EQ(editor->waterMarkList().size(), 2);
    EXPECT_EQ(editor->selectedWaterMarkIndex(), 1);
    tool().selectRow(0);
    tool().deleteAction();
    EXPECT_EQ(editor->selectedWaterMarkIndex(), 0);
    EXPECT_EQ(editor->waterMarkList()[0]->waterImagePath(), picturePath());
    tool().deleteAction();
    EXPECT_TRUE(editor->waterMarkList().isEmpty());
    EXPECT_EQ(tool().widthField()->stringValue(), "00");
    EXPECT_EQ(tool().alphaField()->stringValue(), "00");
    EXPECT_TRUE(editor->watermarkView()->waterMark().isNull());
    EXPECT_FALSE(editor->watermarkView()->isVisible()) << "no overlay of a deleted row";
    EXPECT_EQ(previewCount(), 0);
}

// The edited row's kind picks the panel's group: a text's text, font and colour, or a picture's or
// video's size (and a video's part of its file); with no row the text group shows.
TEST_F(WatermarkToolTest, KindGroupsFollowTheEditedRow)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    const auto shown = [](QWidget *w) { return !w->isHidden(); };
    EXPECT_TRUE(shown(tool().fontGroupView()));
    EXPECT_FALSE(shown(tool().sizeGroupView()));
    tool().addTextAction();
    ASSERT_TRUE(tool().addFile(picturePath()));
    ASSERT_TRUE(tool().addFile(smallClip()));
    const struct
    {
        int row;
        bool font, size, file;
    } cases[] = {
        {0, true, false, false}, {1, false, true, false}, {2, false, true, true}, {0, true, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        tool().selectRow(c.row);
        EXPECT_EQ(shown(tool().fontGroupView()), c.font);
        EXPECT_EQ(shown(tool().sizeGroupView()), c.size);
        EXPECT_EQ(shown(tool().fileGroupView()), c.file);
        EXPECT_EQ(tool().waterContentTextField()->isEnabled(), c.font);
        EXPECT_EQ(tool().widthField()->isEnabled(), c.size);
    }
    // The list's buttons are image buttons; the default button answers while a row can be edited.
    EXPECT_FALSE(tool().textmarkBtn()->normalImage().isNull());
    EXPECT_FALSE(tool().deletedmarkBtn()->normalImage().isNull());
    EXPECT_EQ(tool().defaultBtn()->contentTitle(),
              LanguageService::localizedStringForKey("watermarkDefaultBtnTitle"));
    EXPECT_TRUE(tool().defaultBtn()->isEnabled());
    while (!editor->waterMarkList().isEmpty())
        tool().deleteAction();
    EXPECT_FALSE(tool().defaultBtn()->isEnabled());
    EXPECT_TRUE(shown(tool().fontGroupView()));
}

// The panel's text field edits the edited text row live: the overlay, the row, the record and the
// controller's own watermark record follow each keystroke; an empty text hides the overlay.
TEST_F(WatermarkToolTest, TextFieldEditsTheEditedTextLive)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    tool().addTextAction();
    platform::TextField *field = tool().waterContentTextField();
    EXPECT_EQ(field->stringValue(), LanguageService::localizedStringForKey("watermarkstringValue"));
    QLineEdit *edit = field->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "Live text");
    const WaterParam &item = *editor->waterMarkList()[0];
    EXPECT_EQ(item.waterText(), "Live text");
    EXPECT_EQ(tool().cells()[0]->titleStringValue(), "Live text");
    EXPECT_EQ(editor->watermarkView()->waterMarkString(), "Live text");
    ASSERT_TRUE(editor->waterParam());
    EXPECT_EQ(editor->waterParam()->waterText(), "Live text");
    EXPECT_EQ(editor->waterParam()->waterRect(), editor->watermarkView()->getclipRectFrame());
    EXPECT_TRUE(editor->watermarkView()->isVisible());
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_FALSE(editor->watermarkView()->isVisible());
}

// A drag step moves the size fields at once, not only the release.
TEST_F(WatermarkToolTest, SizeFieldsFollowEveryDragStep)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    ASSERT_TRUE(tool().addFile(picturePath()));
    RDWaterView *overlay = editor->watermarkView();
    const QString before = tool().widthField()->stringValue();
    const platform::Rect r = overlay->getclipRectFrame();
    overlay->setClipRect(platform::makeRect(r.minX(), r.minY(), r.width() / 2, r.height() / 2));
    tool().actionMouseMovedForWaterViewBlock(overlay, platform::Rect{});
    EXPECT_NE(tool().widthField()->stringValue(), before);
    EXPECT_EQ(tool().widthField()->stringValue(),
              QString::asprintf("%.f", editor->waterMarkList()[0]->waterPercentClipRect().width() * 160));
}

// A row's title starts at x 34 beside the check box: 18 high in the interface's 13-point font, or its
// set font's size + 5; the colours and fills the list sets are the ones drawn.
TEST_F(WatermarkToolTest, RowTitleFontAndColoursAreSettable)
{
    WaterMarkCellItemView row(platform::makeRect(0, 0, 200, 24));
    EXPECT_EQ(row.titleLabel()->frame(), platform::makeRect(34, 3, 166, 18));
    EXPECT_FALSE(row.titleFont());
    QFont big = platform::FontAlias::systemFont(13);
    big.setPointSizeF(15);
    row.setTitleFont(big);
    EXPECT_EQ(row.titleLabel()->frame(), platform::makeRect(34, 2, 166, 20));
    row.setNormalTextColor(Qt::red);
    row.setSelectTextColor(Qt::blue);
    row.setSelectedBackgroundColor(Qt::green);
    const auto titleColour = [&] { return row.titleLabel()->lineEdit()->palette().color(QPalette::Text); };
    EXPECT_EQ(titleColour(), QColor(Qt::red));
    row.setSelected(true);
    EXPECT_EQ(titleColour(), QColor(Qt::blue));
    EXPECT_EQ(row.grab().toImage().pixelColor(190, 2), QColor(Qt::green));
}

// Turning the crop's keep-aspect on restarts the crop only: the watermarks, and the edited text's
// picture that the file gets, stay.
TEST_F(WatermarkToolTest, CropKeepAspectLeavesTheWatermarks)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    tool().addTextAction();
    TestEnvironment::processEvents();
    editor->cropAction();
    editor->cropTool().keepAspectAction();
    editor->watermarkAction();
    TestEnvironment::processEvents();
    editor->watermarkView()->repaint();
    const WaterParam &item = *editor->waterMarkList()[0];
    EXPECT_EQ(editor->watermarkView()->waterMarkString(), item.waterText());
    EXPECT_FALSE(item.waterText().trimmed().isEmpty());
    EXPECT_EQ(editor->watermarkView()->getclipRectFrame().width(),
              item.waterPercentClipRect().width() * editor->watermarkView()->frame().width());
}

TEST_F(WatermarkToolTest, ADeletedWatermarkLeavesThePreviewAtOnce)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    auto redness = [&] {
        std::vector<uint8_t> bgra(160 * 90 * 4);
        int w = 160, h = 90;
        EXPECT_TRUE(editor->rdPlayer()->Snapshot(&w, &h, bgra.data()));
        double sum = 0;
        for (size_t i = 0; i + 3 < bgra.size(); i += 4)
            sum += int(bgra[i + 2]) - int(bgra[i + 1]);
        return sum / (w * h);
    };
    ASSERT_TRUE(tool().addFile(picturePath()));
    RDWaterView *overlay = editor->watermarkView();
    overlay->setClipRect(platform::makeRect(0, 0, overlay->frame().width(), overlay->frame().height()));
    tool().actionMouseMoveEndForWaterViewBlock(overlay, platform::Rect{});
    tool().addTextAction(); // the picture is now drawn by the player, the text by the overlay
    EXPECT_GT(redness(), 60) << "the red picture covers the preview";

    tool().selectRow(0); // the picture is edited: the overlay shows it
    EXPECT_FALSE(overlay->waterMark().isNull());
    tool().deleteAction();
    EXPECT_TRUE(overlay->waterMark().isNull()) << "the overlay shows the text row now";
    EXPECT_LT(redness(), 10) << "gone from the preview at once";
    editor->cutAction();
    EXPECT_LT(redness(), 10) << "on every tab";
    EXPECT_EQ(previewCount(), 1) << "the text only";
}

TEST_F(WatermarkToolTest, TimesSizeTransparencyFontAndColour)
{
    openWith(longClip(), EditVideoWindowController::ToolWatermark);
    ASSERT_TRUE(tool().addFile(picturePath()));
    tool().addTextAction();
    tool().selectRow(0);
    WaterParam &picture = *editor->waterMarkList()[0];

    // Typed start 00 01 30 25 is 90.25 s; the duration left runs to the clip's end.
    const auto start = tool().timeGroup(WatermarkTool::Start).fields();
    typeInto(start[3], "25");
    typeInto(start[2], "30");
    typeInto(start[1], "01");
    EXPECT_FLOAT_EQ(picture.startTime(), 90.25f);
    // The start shortened the duration, and its fields say so: a later edit of them is taken.
    EXPECT_FLOAT_EQ(picture.duration(), 35.25f);
    EXPECT_FLOAT_EQ(tool().timeGroup(WatermarkTool::Duration).seconds(), 35.25f);
    typeInto(tool().timeGroup(WatermarkTool::Duration).fields()[3], "00");
    EXPECT_FLOAT_EQ(picture.duration(), 35.0f);
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    // A start past the clip's end is refused with an alert; the record keeps 90.25.
    TestEnvironment::scriptedPanels().answerAlert(0);
    typeInto(start[0], "01");
    EXPECT_FLOAT_EQ(picture.startTime(), 90.25f);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 1);
    start[0]->setStringValue("00");

    // The stepper acts on the clicked field: seconds up to 59, hundredths up to 99.
    tool().primeTimeStepper(start[3]);
    EXPECT_EQ(tool().timeStepper(WatermarkTool::Start)->maxValue(), 99);
    tool().primeTimeStepper(start[2]);
    EXPECT_EQ(tool().timeStepper(WatermarkTool::Start)->maxValue(), 59);
    tool().timeStepper(WatermarkTool::Start)->stepUp();
    EXPECT_FLOAT_EQ(picture.startTime(), 91.25f);
    EXPECT_EQ(start[2]->stringValue(), "31");

    // Transparency through the field and the slider; the other watermark stays in the preview.
    typeInto(tool().alphaField(), "50");
    EXPECT_EQ(picture.waterAlph(), 50);
    EXPECT_EQ(tool().alphaSlider()->value(), 50);
    EXPECT_EQ(editor->watermarkView()->waterMarkAlph(), 50);
    // A drag: the handle held and moved.
    tool().alphaSlider()->setSliderDown(true);
    tool().alphaSlider()->setSliderPosition(30);
    tool().alphaSlider()->setSliderDown(false);
    EXPECT_EQ(picture.waterAlph(), 30);
    EXPECT_EQ(previewCount(), 1);

    // The size fields show and take video pixels, as the crop fields do; the record keeps fractions,
    // the overlay follows them.
    const platform::Rect before = picture.waterPercentClipRect();
    const platform::Size video = editor->videoSize();
    const double overlayWidth = editor->watermarkView()->frame().width();
    EXPECT_EQ(tool().widthField()->stringValue(), QString::asprintf("%.f", before.width() * video.width));
    typeInto(tool().widthField(), "30");
    EXPECT_NEAR(picture.waterPercentClipRect().width(), 30 / video.width, 1e-6);
    EXPECT_EQ(picture.waterPercentClipRect().minX(), before.minX());
    EXPECT_EQ(picture.waterPercentClipRect().height(), before.height());
    EXPECT_EQ(tool().widthField()->stringValue(), "30");
    EXPECT_NEAR(picture.waterRect().width(), 30 / video.width * overlayWidth, 1e-3);
    // A window of another size keeps the place and size on the picture.
    editor->window()->setFrame(platform::makeRect(0, 0, 1300, 900));
    editor->changesize(nullptr);
    EXPECT_NEAR(picture.waterPercentClipRect().width(), 30 / video.width, 1e-6);
    EXPECT_NEAR(editor->watermarkView()->getclipRectFrame().width() / editor->watermarkView()->frame().width(),
                30 / video.width, 0.01);
    editor->cutAction();
    ASSERT_EQ(tool().previewRecords().images.size() + tool().previewRecords().texts.size(), 2u);
    editor->watermarkAction();

    // Font and colour of the text row through the panels.
    tool().selectRow(1);
    WaterParam &text = *editor->waterMarkList()[1];
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPixelSize(40);
    TestEnvironment::scriptedPanels().answerFontPanel(chosen);
    tool().actionwaterFontBtn();
    EXPECT_EQ(text.waterFontName(), chosen.family());
    EXPECT_EQ(text.waterFontSize(), 40);
    EXPECT_EQ(editor->watermarkView()->waterMarkFont().family(), chosen.family());
    TestEnvironment::scriptedPanels().answerColorPanel(QColor(Qt::red));
    tool().actionColorBtn();
    EXPECT_EQ(text.waterFontColor(), QColor(Qt::red));
    EXPECT_EQ(editor->watermarkView()->waterMarkColor(), QColor(Qt::red));
    // A cancelled panel changes nothing.
    TestEnvironment::scriptedPanels().answerColorPanel(std::nullopt);
    tool().actionColorBtn();
    EXPECT_EQ(text.waterFontColor(), QColor(Qt::red));
}

TEST_F(WatermarkToolTest, RefreshingThePlayerViewShowsTheEditedWatermarkAgain)
{
    openWith(longClip(), EditVideoWindowController::ToolWatermark);
    ASSERT_TRUE(tool().addFile(picturePath()));
    tool().selectRow(0);
    WaterParam &picture = *editor->waterMarkList()[0];
    // Changed behind the panel's back: the fields and the overlay still show the old values.
    picture.setStartTime(12.5f);
    picture.setDuration(4.25f);
    picture.setWaterAlph(60);
    ASSERT_NE(tool().timeGroup(WatermarkTool::Start).seconds(), 12.5f);

    editor->refreshPlayerView();
    EXPECT_FLOAT_EQ(tool().timeGroup(WatermarkTool::Start).seconds(), 12.5f);
    EXPECT_FLOAT_EQ(tool().timeGroup(WatermarkTool::Duration).seconds(), 4.25f);
    EXPECT_EQ(tool().alphaField()->stringValue(), "60");
    ASSERT_TRUE(editor->watermarkView());
    EXPECT_EQ(editor->watermarkView()->waterMarkAlph(), 60) << "the new overlay shows the transparency";
}

TEST_F(WatermarkToolTest, ThePreviewLogsWhetherItTookEachWatermark)
{
    openWith(longClip(), EditVideoWindowController::ToolWatermark);
    QTemporaryDir dir;
    const QString copy = dir.filePath("copy.png");
    ASSERT_TRUE(QFile::copy(picturePath(), copy));
    ASSERT_TRUE(tool().addFile(copy));
    ASSERT_TRUE(tool().addFile(picturePath()));
    platform::LogCapture log;
    tool().selectRow(1); // the overlay shows row 1; row 0 goes to the player
    EXPECT_TRUE(log.contains("suc:1"));
    EXPECT_FALSE(log.contains("suc:0"));

    // The file went away behind the editor's back: the player refuses it and says so.
    ASSERT_TRUE(QFile::remove(copy));
    log.clear();
    tool().selectRow(1);
    EXPECT_TRUE(log.contains("suc:0"));
}

TEST_F(WatermarkToolTest, UnusableFilesAreRefusedWhereTheyAreChosen)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    // A path longer than the record's field.
    TestEnvironment::scriptedPanels().answerAlert(0);
    EXPECT_FALSE(tool().addFile(QString(300, QLatin1Char('a')) + ".png"));
    // A file without a picture: no still, no length, no division by zero.
    const QString bogus = m_dir.filePath("noise.mp4");
    QFile file(bogus);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    TestEnvironment::scriptedPanels().answerAlert(0);
    EXPECT_FALSE(tool().addFile(bogus));
    EXPECT_TRUE(editor->waterMarkList().isEmpty());
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 2);

    // The open panel: of three files chosen, the last one is added; cancelling adds nothing.
    TestEnvironment::scriptedPanels().answerOpenPanel({smallClip(), smallClip(), picturePath()});
    tool().addFileAction();
    ASSERT_EQ(editor->waterMarkList().size(), 1);
    EXPECT_EQ(editor->waterMarkList()[0]->waterImagePath(), picturePath());
    TestEnvironment::scriptedPanels().answerOpenPanel({});
    tool().addFileAction();
    EXPECT_EQ(editor->waterMarkList().size(), 1);
    EXPECT_TRUE(WatermarkTool::isPictureFile("a.GIF"));
    EXPECT_FALSE(WatermarkTool::isPictureFile("a.MP4"));
}

} // namespace

// Not part of the suite: the watermark panel with a text and a picture row, each edited, in English,
// German and Arabic, grabbed to PNGs in $VW_SCREENSHOT_DIR for a look under Xvfb:
//   VW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/test_editor
//     --gtest_also_run_disabled_tests --gtest_filter='*WatermarkPanelScreenshot*'
TEST_F(WatermarkToolTest, DISABLED_WatermarkPanelScreenshot)
{
    const QString folder = qEnvironmentVariable("VW_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty());
    inScreenshotLanguages([&](const QString &code) {
        openWith(smallClip(), EditVideoWindowController::ToolWatermark);
        tool().addTextAction();
        ASSERT_TRUE(tool().addFile(picturePath()));
        ASSERT_TRUE(tool().addFile(smallClip()));
        for (const int row : {0, 1, 2}) {
            tool().selectRow(row);
            QTest::qWait(500);
            EXPECT_TRUE(editor->window()->grab().save(
                folder + QStringLiteral("/watermark-%1-%2.png").arg(code).arg(row)));
        }
        editor->close();
        TestEnvironment::processDeferredDeletes();
    });
}
