// The crop, rotate and effects tools inside the editor window: their controls reach the engine's
// arguments (through the recording engine), a crop corner dragged and a field typed give the margins the
// export sends, and the rotation turns the preview.
#include "editor/tools/EffectTableCellView.h"
#include "editor/tools/RDUICliper.h"
#include "model/EngineRecords.h"
#include "platform/TextField.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/editor/tools/OverlayTestSupport.h"
#include "tests/support/MediaFixtureLayout.h"
#include "tests/support/RecordingEngine.h"

#include <QLineEdit>
#include <QTest>

using namespace editortest;

namespace {

class EditToolsWindowTest : public LoadedEditorTest
{
protected:
    // Starts the export with a held engine job and returns the engine calls made before Start.
    std::vector<std::string> startAndRecord(const std::vector<std::string> &prefixes)
    {
        RecordingEngine::holdStart = true;
        editor->startExportAction();
        EXPECT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
        std::vector<std::string> lines = RecordingEngine::only(prefixes);
        editor->startExportAction(); // cancels
        EXPECT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
        return lines;
    }

    // The row of the effect with id `id`.
    EffectTableCellView *effectRow(int id)
    {
        const QVariantList types = editor->effectsTool().effectTypes();
        for (int i = 0; i < types.size(); ++i) {
            if (types.at(i).toMap().value(QStringLiteral("EffectId")).toInt() == id)
                return editor->effectsTool().effectTableCells().at(i);
        }
        return nullptr;
    }
};

TEST_F(EditToolsWindowTest, ControlsBecomeTheEnginesArguments)
{
    RecordingEngine::Installed engine;
    openWith(smallClip(), EditVideoWindowController::ToolEffect);
    EffectsTool &effects = editor->effectsTool();
    ASSERT_EQ(effects.effectTableCells().size(), 10) << "the ten effects of the catalogue";

    // Effects 7 then 3 (a row click, then the check box), and 5 twice: stored ascending, 5 gone again.
    QTest::mouseClick(effectRow(7), Qt::LeftButton, {}, QPoint(120, 15));
    effectRow(3)->checkAction();
    effectRow(5)->checkAction();
    effectRow(5)->checkAction();
    EXPECT_EQ(effects.selectedEffectTypeIndexs(), (QList<int>{3, 7}));
    EXPECT_TRUE(effectRow(7)->isSelected());
    EXPECT_FALSE(effectRow(5)->isSelected());

    effects.brightnessSlider()->setValue(-255);
    effects.contrastSlider()->setValue(40);
    effects.saturationSlider()->setValue(100);
    effects.volueSlider()->setValue(150);
    EXPECT_EQ(effects.volueValueLabel()->text(), "150");
    editor->volumeModel().setOriginalLevel(0.5); // what the music panel's original-audio level will set
    editor->rotateTool().rightRatioAction();
    editor->rotateTool().horizontalMirrorAction(); // at 90: the source's vertical flag

    const auto lines = startAndRecord({"mainVolume", "effect", "bcs", "hflip", "vflip", "rotate"});
    EXPECT_EQ(lines, (std::vector<std::string>{"mainVolume 0.75", "effect 3", "effect 7", "bcs -255 40 100",
                                               "hflip 0", "vflip 1", "rotate 90"}));
}

TEST_F(EditToolsWindowTest, ResetAndANewClipBringTheEffectsBackToNeutral)
{
    RecordingEngine::Installed engine;
    openWith(smallClip(), EditVideoWindowController::ToolEffect);
    EffectsTool &effects = editor->effectsTool();
    effectRow(2)->checkAction();
    effects.brightnessSlider()->setValue(30);
    effects.volueSlider()->setValue(0);
    effects.actionEffectReset();
    EXPECT_TRUE(effects.selectedEffectTypeIndexs().isEmpty());
    for (EffectTableCellView *row : effects.effectTableCells())
        EXPECT_FALSE(row->isSelected());
    EXPECT_EQ(effects.brightnessValueLabel()->text(), "0");
    EXPECT_EQ(effects.volueValueLabel()->text(), "100");

    effectRow(4)->checkAction();
    effects.contrastSlider()->setValue(-100);
    ASSERT_TRUE(choose(smallClip()));
    EXPECT_TRUE(effects.selectedEffectTypeIndexs().isEmpty()) << "a new clip starts without effects";
    EXPECT_EQ(effects.contrast(), 0);
    const auto lines = startAndRecord({"mainVolume", "effect", "bcs"});
    EXPECT_EQ(lines, (std::vector<std::string>{"mainVolume 1", "bcs 0 0 0"}));
}

TEST_F(EditToolsWindowTest, DraggedCornerAndTypedFieldGiveTheMarginsTheExportSends)
{
    RecordingEngine::Installed engine;
    openWith(smallClip(), EditVideoWindowController::ToolCrop);
    RDUICliper *overlay = editor->cliper();
    ASSERT_TRUE(overlay && overlay->isVisible());
    const platform::Rect shown = overlay->getclipRectFrame();
    const double scale = 160.0 / overlay->frame().width();

    // The bottom-left corner, dragged 40 points right and 30 up.
    const platform::Point corner{shown.minX() + 2, shown.minY() + 2};
    overlaytest::drag(*overlay, corner, platform::Point{corner.x + 40, corner.y + 30});
    const RECT dragged = editor->exportEditState().convertCropSize;
    EXPECT_NEAR(dragged.left, 40 * scale, 3);
    EXPECT_NEAR(dragged.bottom, 30 * scale, 3);
    EXPECT_EQ(dragged.top, 0);
    EXPECT_EQ(dragged.right, 0);

    // A typed width reaches the margins at once: the right margin takes what the width gave up.
    CropTool &crop = editor->cropTool();
    typeInto(crop.cropWidthField(), QStringLiteral("80"));
    const platform::Rect c = crop.editVideoClipRect();
    EXPECT_EQ(c.width(), 80);
    const RECT typed = editor->exportEditState().convertCropSize;
    const RECT expected = EngineRecords::cropMargins(c, 160, 90);
    EXPECT_EQ(typed.left, expected.left);
    EXPECT_EQ(typed.right, expected.right);
    EXPECT_EQ(typed.right, EngineRecords::evenMargin(160 - c.maxX()));
    EXPECT_NEAR(overlay->getclipRectFrame().width() * scale, 80, 1) << "the overlay shows the typed width";

    const auto lines = startAndRecord({"crop"});
    EXPECT_EQ(lines, (std::vector<std::string>{"crop " + RecordingEngine::rectText(typed)}));
}

TEST_F(EditToolsWindowTest, OpeningTheCropToolShowsTheSizeUnpadded)
{
    openWith(smallClip(), EditVideoWindowController::ToolCrop);
    CropTool &crop = editor->cropTool();
    typeInto(crop.cropWidthField(), QStringLiteral("8"));
    typeInto(crop.cropHeightField(), QStringLiteral("6"));
    ASSERT_EQ(crop.editVideoClipRect().size, (platform::Size{8, 6}));
    editor->cutAction();
    editor->cropAction();
    EXPECT_EQ(crop.cropWidthField()->stringValue(), QStringLiteral("8"));
    EXPECT_EQ(crop.cropHeightField()->stringValue(), QStringLiteral("6"));
}

TEST_F(EditToolsWindowTest, TurnsAndMirrorsKeepTheCropWhereItLiesOnThePicture)
{
    openWith(smallClip(), EditVideoWindowController::ToolCrop);
    RDUICliper *overlay = editor->cliper();
    CropTool &crop = editor->cropTool();
    const platform::Rect shown = overlay->getclipRectFrame();
    overlaytest::drag(*overlay, platform::Point{shown.minX() + 2, shown.minY() + 2},
                      platform::Point{shown.minX() + 40, shown.minY() + 30});
    ASSERT_TRUE(crop.hasCrop());
    const RECT m = crop.convertCropSize();
    const platform::Rect before = crop.editVideoClipRect();
    const platform::Rect dragged = overlay->getclipRectFrame();

    // Mirrored left to right: the kept part changes sides, on the overlay as in the margins.
    editor->rotateTool().horizontalMirrorAction();
    ASSERT_TRUE(crop.hasCrop());
    const RECT mirrored = crop.convertCropSize();
    EXPECT_NEAR(mirrored.left, m.right, 2);
    EXPECT_NEAR(mirrored.right, m.left, 2);
    EXPECT_EQ(mirrored.top, m.top);
    EXPECT_EQ(mirrored.bottom, m.bottom);
    EXPECT_NEAR(overlay->getclipRectFrame().minX(), overlay->frame().width() - dragged.maxX(), 1);

    // Turned right: the picture is 90 x 160 and the kept part turned with it.
    editor->rotateTool().rightRatioAction();
    EXPECT_EQ(editor->videoSize(), (platform::Size{90, 160}));
    const platform::Rect turned = crop.editVideoClipRect();
    EXPECT_NEAR(turned.width(), before.height(), 0.01);
    EXPECT_NEAR(turned.height(), before.width(), 0.01);
    EXPECT_EQ(crop.cropWidthField()->stringValue(), QString::asprintf("%02.f", before.height()));
    EXPECT_EQ(editor->exportEditState().convertCropSize.left, crop.convertCropSize().left);
    EXPECT_NEAR(overlay->getclipRectFrame().width() / overlay->frame().width(), turned.width() / 90, 0.02)
        << "the overlay is laid out again for the turned picture";
}

TEST_F(EditToolsWindowTest, EnablingTheWatermarkControlsLeavesTheCropsKeepAspectBox)
{
    openWith(smallClip(), EditVideoWindowController::ToolCrop);
    editor->enableEdit(false);
    editor->enableWaterChildView(true);
    EXPECT_FALSE(editor->cropTool().keepAspectBtn()->isEnabled());
    editor->enableEdit(true);
    EXPECT_TRUE(editor->cropTool().keepAspectBtn()->isEnabled());
}

} // namespace
