#pragma once
// The splitter window opened through the launcher's registry, with a file loaded through its add
// button, an output folder chosen through "Other…", and a watch that answers the finish dialog.
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/PNQOpenAlert.h"
#include "cutters/SplitProgressView.h"
#include "cutters/SplitWindowController.h"
#include "cutters/SplitterRegistration.h"
#include "platform/Application.h"
#include "platform/PopUpButton.h"
#include "platform/ScriptedPanels.h"
#include "platform/Window.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFolderChooser.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// 12 s, 160 x 90, 25 fps, with a tone: every frame stamped with its index.
inline QString twelveSecondClip()
{
    fixture::Spec spec;
    spec.duration = 12;
    return QString::fromStdString(fixture::sharedFixture("twelve.mp4", spec));
}

class SplitterWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { m_dialogWatch.start(); }
    void TearDown() override
    {
        m_dialogWatch.stop();
        if (splitter && splitter->isWindowLoaded() && !splitter->isClosed())
            splitter->close();
        TestEnvironment::processDeferredDeletes();
        TestEnvironment::scriptedPanels().reset();
    }

    void open()
    {
        registerSplitterWindowClass();
        auto *controller = platform::WindowController::create(QStringLiteral("SplitWindowController"));
        splitter = qobject_cast<SplitWindowController *>(controller);
        ASSERT_NE(splitter, nullptr);
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();
    }

    // Opens the window, adds `path` with the add button and points the output at a fresh folder.
    void openWith(const QString &path)
    {
        open();
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        QTest::mouseClick(splitter->addfileBtn(), Qt::LeftButton);
        ASSERT_TRUE(
            TestEnvironment::waitUntil([&] { return splitter->fileData() && splitter->preview().player(); }));
        folder = QString::fromStdString(fixture::freshFolder());
        TestEnvironment::scriptedPanels().answerFolderPanel(folder);
        splitter->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
        ASSERT_EQ(splitter->folderChooser()->outputPath(), folder);
    }

    void click(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        TestEnvironment::processEvents();
    }

    QStringList files() const
    {
        QStringList list = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        return list;
    }

    QList<double> points() const { return splitter->playerSlider()->getTimeProgresses(); }

    SplitWindowController *splitter = nullptr;
    QString folder;

private:
    FinishDialogWatch m_dialogWatch;

protected:
    QStringList &dialogTexts = m_dialogWatch.texts();
};

// Fractions compared to within a thousandth.
template <typename T>
void expectNear(const QList<T> &actual, const QList<T> &expected, double tolerance = 1e-3)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "point " << i;
}
