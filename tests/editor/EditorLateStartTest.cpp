// A broadcast recording whose own timeline starts at 10 s, trimmed in the editor window: the typed times
// count from the file's start, and the export holds the pictures the preview showed there.
#include "tests/editor/LoadedEditor.h"

#include "controls/PNQOpenAlert.h"
#include "platform/Application.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "tests/support/ProbeDecoder.h"
#include "toolkit/OutputFolderChooser.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using namespace editortest;

TEST_F(LoadedEditorTest, TrimOfAStreamStartingAtTenSecondsCountsFromItsStart)
{
    fixture::Spec spec;
    spec.duration = 6.0;
    spec.startTime = 10.0;
    spec.bFrames = 2;
    openWith(QString::fromStdString(fixture::sharedFixture("late-start.ts", spec)));
    const QString folder = QString::fromStdString(fixture::freshFolder());
    TestEnvironment::scriptedPanels().answerFolderPanel(folder);
    editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);

    // 00:00:01.00 .. 00:00:03.00, typed as a user types them.
    for (auto [field, text] : {std::pair{editor->stopTimeFields().fields()[3], "00"},
                               std::pair{editor->stopTimeFields().fields()[2], "03"},
                               std::pair{editor->startTimeFields().fields()[2], "01"}}) {
        QLineEdit *edit = field->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    ASSERT_DOUBLE_EQ(editor->cutTimeRange_start(), 1000000.0);
    ASSERT_DOUBLE_EQ(editor->cutTimeRange_stop(), 3000000.0);
    seek(1.0);
    int width = 160, height = 90;
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    ASSERT_TRUE(editor->rdPlayer()->Snapshot(&width, &height, pixels.data()));
    EXPECT_EQ(fixture::readFrameIndex(fixture::imageFromBgra(pixels, width, height)), 25)
        << "the preview shows the frame the export starts on";

    // The finish dialog runs modally: a timer inside its session reads it and clicks OK.
    QStringList finishTexts;
    QTimer dialogWatch;
    dialogWatch.setInterval(20);
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        platform::Window *window = platform::Application::shared().modalWindow();
        auto *dialog = window ? qobject_cast<PNQOpenAlert *>(window->windowController()) : nullptr;
        if (dialog && dialog->okBtn()) {
            finishTexts << dialog->infomation();
            QTest::mouseClick(dialog->okBtn(), Qt::LeftButton);
        }
    });
    dialogWatch.start();
    const int alerts = TestEnvironment::scriptedPanels().alerts().size();
    QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !finishTexts.isEmpty(); }, 300000))
        << "the finish dialog comes";
    EXPECT_EQ(finishTexts.first(), QStringLiteral("Editfinishedstring"));
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts) << "no error was shown";

    const QStringList written = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(written.size(), 1) << written.join(' ').toStdString();
    const std::vector<int> frames = fixture::decodeAllFrameIndices((folder + '/' + written[0]).toStdString());
    ASSERT_EQ(frames.size(), 50u);
    EXPECT_EQ(frames.front(), 25);
    EXPECT_EQ(frames.back(), 74);
}

} // namespace
