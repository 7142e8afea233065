// The editor after a crop and a turn, and after the rotate panel's reset, shot to PNG for a look by hand
// (not part of ctest):
//   VW_SHOTS_OUT=/tmp/shots QT_QPA_PLATFORM=xcb xvfb-run -a build/bin/editor-shots
// writes crop-turn-<panel>-<language>.png (the crop, rotate and trim panels) and reset-<language>.png.
#include "editor/EditVideoWindowController.h"
#include "editor/EditorRegistration.h"
#include "media/RDMoviePlayer.h"
#include "platform/CMTime.h"
#include "platform/ScriptedPanels.h"
#include "platform/TextField.h"
#include "platform/Window.h"
#include "tests/support/ScreenshotLanguages.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void typeInto(platform::TextField *field, const QString &text)
{
    QLineEdit *edit = field->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

TEST(EditorShots, CropTurnAndReset)
{
    const QString out = qEnvironmentVariable("VW_SHOTS_OUT", QDir::tempPath());
    fixture::Spec spec;
    spec.width = 320;
    spec.height = 180;
    const QString clip = QString::fromStdString(fixture::sharedFixture("shots.mp4", spec));
    inScreenshotLanguages([&](const QString &code) {
        registerEditorWindowClass();
        QPointer<EditVideoWindowController> editor = qobject_cast<EditVideoWindowController *>(
            platform::WindowController::create(QStringLiteral("EditVideoWindowController")));
        ASSERT_TRUE(editor);
        editor->setProperty("toolItemType", QVariant::fromValue<qint64>(EditVideoWindowController::ToolCrop));
        editor->makeKeyAndOrderFront();
        TestEnvironment::scriptedPanels().answerOpenPanel({clip});
        editor->addfileAction();
        ASSERT_TRUE(editor->rdPlayer());
        editor->rdPlayer()->seekTime(platform::CMTimeMakeWithSeconds(1.0, 1000000));
        auto shoot = [&](const QString &name) {
            QTest::qWait(600);
            EXPECT_TRUE(editor->window()->grab().save(out + '/' + name + '-' + code + ".png"));
        };

        // 240 x 140, 40 from the left and 20 from the top, then a quarter turn right.
        editor->cropAction();
        CropTool &crop = editor->cropTool();
        typeInto(crop.cropWidthField(), QStringLiteral("240"));
        typeInto(crop.cropHeightField(), QStringLiteral("140"));
        typeInto(crop.cropLeftField(), QStringLiteral("40"));
        typeInto(crop.cropTopField(), QStringLiteral("20"));
        editor->rotateAction();
        editor->rotateTool().rightRatioAction();
        shoot(QStringLiteral("crop-turn-rotate"));
        editor->cropAction();
        shoot(QStringLiteral("crop-turn-crop"));
        editor->cutAction();
        shoot(QStringLiteral("crop-turn-trim"));

        editor->rotateAction();
        editor->resetRotateTouchUp();
        TestEnvironment::processEvents();
        shoot(QStringLiteral("reset"));
        editor->cropAction();
        shoot(QStringLiteral("reset-crop"));
        editor->close();
        TestEnvironment::processDeferredDeletes();
    }, {0});
}

} // namespace
