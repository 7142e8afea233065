// Controls of the editor window that show a value agree with it: steppers step from what their field
// shows, sliders and labels follow the record and the preview, a crop of a point is still a crop, and the
// open panel opens in a folder with no name filled in.
#include "editor/tools/MusicTool.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/WatermarkTool.h"
#include "model/EngineRecords.h"
#include "model/MusicInfo.h"
#include "model/WaterParam.h"
#include "platform/QtPanels.h"
#include "platform/Stepper.h"
#include "platform/UserDefaults.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/editor/tools/OverlayTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSlider>
#include <QTimer>

using namespace editortest;

namespace {

class EditorControlsAgreeTest : public LoadedEditorTest
{
protected:
    MusicTool &music() { return editor->musicTool(); }
    QStringList musicFields(int row)
    {
        QStringList list;
        for (platform::TextField *f : music().group(row).fields())
            list << f->stringValue();
        return list;
    }
    static void click(platform::TextField *field) { QTest::mouseClick(field->lineEdit(), Qt::LeftButton); }
};

} // namespace

TEST_F(EditorControlsAgreeTest, MusicSteppersStepFromTheClickedFieldOnly)
{
    openWith(longClip(), EditVideoWindowController::ToolMusic); // 125.5 s
    music().addFiles({audioFile("song.m4a", 5)});
    MusicInfo &track = *music().musicList().at(0);
    // The span's end at 45 s, shown by selecting the row: no field has been clicked.
    track.setPositionEnd(45);
    music().actionMouseDownForEffectTableCellViewBlock(music().rows().at(0), 0);
    ASSERT_EQ(musicFields(1), (QStringList{"00", "00", "45", "00"}));
    const float end = track.positionEnd();

    platform::Stepper *endStepper = music().stepper(1);
    endStepper->stepUp();
    EXPECT_FLOAT_EQ(track.positionEnd(), end) << "before a click the stepper writes nothing";

    // A click on the end's seconds field primes its stepper: one step up is 46 s, not 1 s.
    click(music().group(1).fields()[2]);
    EXPECT_EQ(endStepper->intValue(), 45);
    endStepper->stepUp();
    EXPECT_EQ(musicFields(1)[2], "46");
    EXPECT_FLOAT_EQ(track.positionEnd(), end + 1);

    // The end changed elsewhere: the next step starts from what the field shows now.
    track.setPositionEnd(30);
    music().actionMouseDownForEffectTableCellViewBlock(music().rows().at(0), 0);
    ASSERT_EQ(musicFields(1)[2], "30");
    endStepper->stepUp();
    EXPECT_EQ(musicFields(1)[2], "31");
    EXPECT_FLOAT_EQ(track.positionEnd(), 31);
}

TEST_F(EditorControlsAgreeTest, PruneStartIsBoundByTheMusicsOwnLength)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic); // 2 s under a 5 s song
    music().addFiles({audioFile("song.m4a", 5)});
    MusicInfo &track = *music().musicList().at(0);
    ASSERT_FLOAT_EQ(track.duration(), 2);
    music().pruneBox()->click();
    ASSERT_TRUE(track.prune());

    typeInto(music().group(2).fields()[2], "01"); // used part from 1 s
    typeInto(music().group(3).fields()[2], "03"); // ... to 3 s of the song
    ASSERT_FLOAT_EQ(track.pruneStart() + track.pruneDiration(), 3);
    // A later start keeps the end at 3 s: the song lasts 5 s, whatever the video's length.
    typeInto(music().group(2).fields()[3], "50");
    EXPECT_FLOAT_EQ(track.pruneStart(), 1.5f);
    EXPECT_NEAR(track.pruneDiration(), 1.5, 1e-5);
    EXPECT_EQ(musicFields(3), (QStringList{"00", "00", "03", "00"}));
}

TEST_F(EditorControlsAgreeTest, TransparencyStepperSliderFieldAndRecordAgree)
{
    openWith(smallClip(), EditVideoWindowController::ToolWatermark);
    WatermarkTool &water = editor->watermarkTool();
    water.addTextAction();
    WaterParam *item = water.editedItem();
    ASSERT_TRUE(item);
    QSlider *slider = water.alphaSlider();
    ASSERT_TRUE(slider->isEnabled());

    // Moved without a drag (as a click on the groove does), then by an arrow key.
    slider->setValue(60);
    EXPECT_FLOAT_EQ(item->waterAlph(), 60);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_FLOAT_EQ(item->waterAlph(), 61);
    EXPECT_EQ(water.alphaField()->stringValue(), "61");

    // The stepper steps from the record's value.
    water.alphaStepper()->stepUp();
    EXPECT_FLOAT_EQ(item->waterAlph(), 62);
    EXPECT_EQ(slider->value(), 62);
    EXPECT_EQ(water.alphaField()->stringValue(), "62");
    typeInto(water.alphaField(), "20");
    EXPECT_FLOAT_EQ(item->waterAlph(), 20);
    EXPECT_EQ(slider->value(), 20);
    EXPECT_EQ(water.alphaStepper()->intValue(), 20);
}

TEST_F(EditorControlsAgreeTest, StopLeavesEveryTabShowingThePreviewsTime)
{
    openWith(smallClip(), EditVideoWindowController::ToolMusic);
    seek(1.5);
    editor->changePlayerSlider(); // the tick of a playing preview
    ASSERT_EQ(editor->currentTimeLabel()->stringValue(), "00:00:01.50");
    editor->stopBtnAction();
    ASSERT_NEAR(playerSeconds(), 0, 1e-6);
    editor->effectAction();
    EXPECT_EQ(editor->currentTimeLabel()->stringValue(), "00:00:00.00");
    EXPECT_FLOAT_EQ(editor->progressSlider()->progress(), 0);
}

TEST_F(EditorControlsAgreeTest, APointOfOverlayOnALargePictureIsStillACrop)
{
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 0.4;
    spec.audio = {};
    openWith(QString::fromStdString(fixture::sharedFixture("hd-silent.mp4", spec)),
             EditVideoWindowController::ToolCrop);
    RDUICliper *overlay = editor->cliper();
    ASSERT_TRUE(overlay && overlay->isVisible());
    const double pointsWide = overlay->frame().width();
    ASSERT_LT(pointsWide, 1920 / 2.0) << "a point of the overlay is two pixels or more";

    // The left edge dragged one point in: a margin of two pixels or more, kept as a crop.
    const double midY = overlay->frame().height() / 2;
    overlaytest::drag(*overlay, platform::Point{3, midY}, platform::Point{1, midY});
    ASSERT_TRUE(editor->cropTool().hasCrop());
    const RECT margins = editor->exportEditState().convertCropSize;
    EXPECT_EQ(margins.left, EngineRecords::evenMargin(1920 / pointsWide));
    EXPECT_GE(margins.left, 2);
    EXPECT_EQ(margins.right, 0);
}

TEST_F(EditorControlsAgreeTest, OpenPanelOpensInAFolderWithNoNameFilledIn)
{
    open();
    platform::UserDefaults::standard().remove(QLatin1String(ToolWindowController::LastOpenFolderKey));
    // The Videos folder may not exist: the panel must not take its name for a file to open.
    const QString videos = QDir::homePath() + QStringLiteral("/Videos");
    ASSERT_TRUE(QDir().rename(videos, videos + QStringLiteral(".away")));
    platform::QtPanels panels;
    platform::Panels::setInstance(&panels);
    QString folder, name;
    bool shown = false;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        folder = dialog->directory().absolutePath();
        if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name = field->text();
        dialog->reject();
    });
    watch.start();
    editor->addfileAction();
    watch.stop();
    platform::Panels::setInstance(&TestEnvironment::scriptedPanels());
    QDir().rename(videos + QStringLiteral(".away"), videos);

    ASSERT_TRUE(shown);
    EXPECT_TRUE(name.isEmpty()) << name.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    EXPECT_EQ(editor->fileData(), nullptr) << "cancelled: nothing loaded";
}
