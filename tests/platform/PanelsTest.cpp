#include "platform/Panels.h"
#include "platform/QtPanels.h"
#include "platform/ScriptedPanels.h"

#include "tests/support/TestEnvironment.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace platform;

TEST(ScriptedPanels, AnswersAnAlertAndRecordsIt)
{
    ScriptedPanels &panels = TestEnvironment::scriptedPanels();
    ASSERT_EQ(&Panels::instance(), &panels);
    panels.answerAlert(1, "renamed");

    AlertRequest request;
    request.messageText = "Title";
    request.informativeText = "error:-4";
    request.buttonTitles = {"OK", "Cancel"};
    request.hasTextField = true;
    request.textFieldText = "initial";
    const AlertResult result = Panels::instance().runAlert(request);

    EXPECT_EQ(result.buttonIndex, 1);
    EXPECT_EQ(result.response(), AlertSecondButtonReturn);
    EXPECT_EQ(result.textFieldText, "renamed");
    ASSERT_EQ(panels.alerts().size(), 1);
    EXPECT_EQ(panels.alerts()[0].informativeText, "error:-4");
    EXPECT_EQ(panels.alerts()[0].buttonTitles, QStringList({"OK", "Cancel"}));
    EXPECT_EQ(panels.pendingAnswers(), 0);
}

TEST(ScriptedPanels, OpenPanelKeepsAllowedFilesOnly)
{
    ScriptedPanels &panels = TestEnvironment::scriptedPanels();
    panels.answerOpenPanel({"/m/a.MP4", "/m/b.txt", "/m/c.mov"});
    panels.answerOpenPanel({"/m/a.mp4", "/m/c.mov"});
    panels.answerOpenPanel({});
    panels.answerOpenPanel({"/m/a.mp4", "/m/b.txt"});

    OpenPanelRequest request;
    request.allowedExtensions = {"mp4", "mov"};
    request.allowsMultipleSelection = true;
    request.prompt = "OpenPanelOpenTitle";
    EXPECT_EQ(Panels::instance().runOpenPanel(request), QStringList({"/m/a.MP4", "/m/c.mov"}));
    request.allowsMultipleSelection = false;
    EXPECT_EQ(Panels::instance().runOpenPanel(request), QStringList({"/m/a.mp4"}));
    EXPECT_TRUE(Panels::instance().runOpenPanel(request).isEmpty()); // cancelled
    request.allowsMultipleSelection = true;
    request.allowsOtherFileTypes = true;
    EXPECT_EQ(Panels::instance().runOpenPanel(request), QStringList({"/m/a.mp4", "/m/b.txt"}));

    ASSERT_EQ(panels.openPanels().size(), 4);
    EXPECT_EQ(panels.openPanels()[0].prompt, "OpenPanelOpenTitle");
    EXPECT_EQ(panels.unansweredCount(), 0);
}

TEST(ScriptedPanels, FolderColourAndFontPanelsAnswerInOrder)
{
    ScriptedPanels &panels = TestEnvironment::scriptedPanels();
    panels.answerFolderPanel("/chosen");
    panels.answerColorPanel(QColor(33, 176, 235));
    panels.answerColorPanel(std::nullopt);
    panels.answerFontPanel(QFont("DejaVu Sans", 20));

    EXPECT_EQ(Panels::instance().runFolderPanel({}), "/chosen");
    EXPECT_EQ(Panels::instance().runColorPanel(Qt::white), QColor(33, 176, 235));
    EXPECT_FALSE(Panels::instance().runColorPanel(Qt::black).has_value());
    const auto font = Panels::instance().runFontPanel(QFont());
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->pointSize(), 20);
    EXPECT_EQ(panels.colorPanels(), QList<QColor>({Qt::white, Qt::black}));
}

TEST(ScriptedPanels, UnscriptedDialogFailsTheTestWithoutBlocking)
{
    // The harness turns an unanswered dialog into a test failure and answers "cancelled".
    AlertRequest unexpected;
    unexpected.messageText = "Unexpected";
    AlertResult result;
    QStringList files;
    EXPECT_NONFATAL_FAILURE(result = Panels::instance().runAlert(unexpected), "no scripted answer");
    EXPECT_NONFATAL_FAILURE(files = Panels::instance().runOpenPanel(OpenPanelRequest{}), "open panel");
    EXPECT_EQ(result.buttonIndex, -1);
    EXPECT_TRUE(files.isEmpty());
    EXPECT_EQ(TestEnvironment::scriptedPanels().unansweredCount(), 2);
}

TEST(Panels, AllowedExtensionsIgnoreCaseAndDots)
{
    EXPECT_TRUE(Panels::hasAllowedExtension("/a/B.MKV", {"mkv"}));
    EXPECT_TRUE(Panels::hasAllowedExtension("/a/b.srt", {".SRT"}));
    EXPECT_FALSE(Panels::hasAllowedExtension("/a/b.srt.txt", {"srt"}));
    EXPECT_FALSE(Panels::hasAllowedExtension("/a/mkv", {"mkv"}));
    EXPECT_TRUE(Panels::hasAllowedExtension("/a/anything", {}));
}

TEST(QtPanels, OpenDialogListsPlainExtensionsAndMatchesThemIgnoringCase)
{
    QTemporaryDir folder(TestEnvironment::tempDir() + QStringLiteral("/open-XXXXXX"));
    ASSERT_TRUE(folder.isValid());
    for (const char *name : {"a.MOV", "b.mov", "c.Mp4", "d.txt", "e.mov.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    OpenPanelRequest request;
    request.allowedExtensions = {"mp4", ".mov"};
    request.allowsMultipleSelection = true;
    QFileDialog dialog(nullptr, QString(), folder.path());
    QtPanels::setUpOpenDialog(dialog, request);
    dialog.show();

    EXPECT_EQ(dialog.nameFilters(), QStringList{"*.mp4 *.mov"});
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->currentText(), "*.mp4 *.mov");

    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_NE(model, nullptr);
    const QModelIndex root = model->index(folder.path());
    QStringList shown;
    const auto listShown = [&] {
        shown.clear();
        for (int row = 0; row < model->rowCount(root); ++row)
            shown << model->index(row, 0, root).data().toString();
        shown.sort();
        return shown.size() >= 3;
    };
    EXPECT_TRUE(TestEnvironment::waitUntil(listShown, 10000));
    TestEnvironment::processEvents();
    listShown();
    EXPECT_EQ(shown, (QStringList{"a.MOV", "b.mov", "c.Mp4"}));
    dialog.close();

    // Other types allowed: the listed types come first, every file is one pick away.
    request.allowsOtherFileTypes = true;
    QFileDialog any(nullptr, QString(), folder.path());
    QtPanels::setUpOpenDialog(any, request);
    EXPECT_EQ(any.nameFilters(), (QStringList{"*.mp4 *.mov", "*"}));
    EXPECT_EQ(any.selectedNameFilter(), "*.mp4 *.mov");
}
