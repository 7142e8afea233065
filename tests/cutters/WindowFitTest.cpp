// Every list tool window opened as the launcher opens it (centred) on a 1366 x 768 laptop screen, in
// English, German (long texts) and Arabic (right to left): the window and every control it shows lie on
// the screen, the window low enough to leave room for a window manager's title bar, and the getting-started
// steps are drawn in one font size. Run by ctest on an offscreen screen of that size; under Xvfb (with
// VW_SCREENSHOT_DIR set, a picture of the screen is saved per window and language):
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1366x768x24' build/bin/test_window_fit
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "cutters/BatchCutterRegistration.h"
#include "cutters/EasyCutterRegistration.h"
#include "cutters/SplitterRegistration.h"
#include "editor/EditorRegistration.h"
#include "joiner/JoinnerRegistration.h"
#include "joiner/JoinnerWindowController.h"
#include "platform/Log.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "platform/WindowController.h"
#include "services/LanguageService.h"
#include "tests/support/ScreenshotLanguages.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFormatChooser.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Room a window manager's title bar (and a top panel) may take above the window.
constexpr int kTitleBarRoom = 40;

struct Tool
{
    const char *className;
    void (*registerClass)();
    // The localisation keys of the getting-started steps drawn as separate lines (none: one text).
    std::vector<const char *> stepKeys;
};

void PrintTo(const Tool &tool, std::ostream *out)
{
    *out << tool.className;
}

const std::vector<Tool> &tools()
{
    static const std::vector<Tool> list = {
        {"JoinnerWindowController",
         registerJoinnerWindowClass,
         {"joinner_desc1", "joinner_desc2", "joinner_desc3", "joinner_desc4"}},
        {"EasyCutterWindowcontroller",
         registerEasyCutterWindowClass,
         {"easydesclabelTitle1", "easydesclabelTitle2", "easydesclabelTitle3", "easydesclabelTitle4"}},
        {"BatchCutterWindowController", registerBatchCutterWindowClass, {}},
        {"EditVideoWindowController", registerEditorWindowClass, {}},
        {"SplitWindowController",
         registerSplitterWindowClass,
         {"splitdescLabel1stringValue", "splitdescLabel2stringValue", "splitdescLabel3stringValue",
          "splitdescLabel4stringValue"}},
    };
    return list;
}

QString describe(const QWidget *w)
{
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        name += u' ' + w->objectName();
    return name + QStringLiteral(" at %1,%2 %3x%4")
                      .arg(w->mapToGlobal(QPoint()).x())
                      .arg(w->mapToGlobal(QPoint()).y())
                      .arg(w->width())
                      .arg(w->height());
}

// The shown controls of `window` that do not lie wholly inside `area` (global coordinates).
QStringList controlsOutside(QWidget *window, const QRect &area)
{
    QStringList outside;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || w->width() <= 0 || w->height() <= 0 || w->isWindow())
            continue;
        // What can be seen of it: its rectangle clipped by every view it lies in.
        QRect seen(w->mapToGlobal(QPoint()), w->size());
        for (QWidget *p = w->parentWidget(); p && !seen.isEmpty();
             p = p->isWindow() ? nullptr : p->parentWidget())
            seen &= QRect(p->mapToGlobal(QPoint()), p->size());
        if (!seen.isEmpty() && !area.contains(seen))
            outside << describe(w);
    }
    return outside;
}

class WindowFitTest : public ::testing::TestWithParam<Tool>
{
};

} // namespace

TEST_P(WindowFitTest, OpensWholeOnALaptopScreenWithTheStepsInOneSize)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    ASSERT_EQ(screen->geometry().size(), QSize(1366, 768))
        << "run with the 1366 x 768 screen (ctest sets it; see the head of this file)";
    const QRect area = screen->availableGeometry();
    const Tool tool = GetParam();

    inScreenshotLanguages([&](const QString &language) {
        SCOPED_TRACE(language.toStdString());
        tool.registerClass();
        QPointer<platform::WindowController> controller =
            platform::WindowController::create(QString::fromLatin1(tool.className));
        ASSERT_TRUE(controller);
        controller->center();
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();

        QHash<QString, double> drawnSizes;
        QSet<QString> steps;
        for (const char *key : tool.stepKeys)
            steps.insert(LanguageService::localizedStringForKey(key));
        platform::View::setDrawnTextObserver([&](const platform::View::DrawnText &drawn) {
            for (const QString &step : std::as_const(steps))
                if (drawn.text.endsWith(step))
                    drawnSizes.insert(step, drawn.font.pixelSize() > 0 ? drawn.font.pixelSize()
                                                                       : drawn.font.pointSizeF());
        });
        controller->window()->grab();
        platform::View::setDrawnTextObserver(nullptr);

        platform::Window *win = controller->window();
        EXPECT_LE(win->frameGeometry().height() + kTitleBarRoom, area.height()) << "room for a title bar";
        EXPECT_TRUE(area.contains(win->frameGeometry()))
            << "window at " << win->frameGeometry().y() << " " << win->frameGeometry().width() << "x"
            << win->frameGeometry().height();
        const QStringList outside = controlsOutside(win, area);
        EXPECT_TRUE(outside.isEmpty()) << outside.join(u'\n').toStdString();

        EXPECT_EQ(drawnSizes.size(), steps.size()) << "every step was drawn";
        const QList<double> sizes = drawnSizes.values();
        for (double size : sizes)
            EXPECT_EQ(size, sizes.first()) << "steps drawn in different sizes";

        // For a look (by hand, under Xvfb): the whole screen with the window on it.
        const QString shots = qEnvironmentVariable("VW_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 500)
                TestEnvironment::processEvents();
            QScreen *shown = QGuiApplication::primaryScreen();
            shown->grabWindow(0).save(
                shots + QStringLiteral("/%1-%2.png").arg(QString::fromLatin1(tool.className), language));
        }

        controller->close();
        TestEnvironment::processDeferredDeletes();
    });
}

INSTANTIATE_TEST_SUITE_P(ListTools, WindowFitTest, ::testing::ValuesIn(tools()),
                         [](const ::testing::TestParamInfo<Tool> &info) {
                             return std::string(info.param.className);
                         });

TEST(JoinerFold, TheHeaderUnfoldsAndFoldsTheWindowKeepingItWholeOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    registerJoinnerWindowClass();
    QPointer<JoinnerWindowController> joiner = qobject_cast<JoinnerWindowController *>(
        platform::WindowController::create(QStringLiteral("JoinnerWindowController")));
    ASSERT_TRUE(joiner);
    joiner->center();
    joiner->makeKeyAndOrderFront();
    TestEnvironment::processEvents();
    OutputFormatChooser *chooser = joiner->formatChooser();
    ASSERT_TRUE(chooser->isCollapsed()) << "a 768-point screen opens the joiner folded";
    ASSERT_TRUE(chooser->showFunctionIconView());
    const platform::Rect folded = joiner->window()->frame();
    EXPECT_EQ(folded.height(), JoinnerWindowController::windowHeight - 140);
    EXPECT_FALSE(chooser->functionItemScrollview()->isVisible());

    // Unfold, fold, and once more: the whole window stays on the screen with room for a title bar.
    for (const bool unfolding : {true, false, true, false}) {
        SCOPED_TRACE(unfolding ? "unfolded" : "folded");
        QTest::mouseClick(chooser->showFunctionBtn(), Qt::LeftButton);
        TestEnvironment::processEvents();
        TestEnvironment::processEvents();
        QWidget *win = joiner->window();
        const platform::Rect frame = joiner->window()->frame();
        EXPECT_EQ(chooser->isCollapsed(), !unfolding);
        EXPECT_EQ(chooser->functionItemScrollview()->isVisible(), unfolding);
        EXPECT_TRUE(area.contains(win->frameGeometry()))
            << "window at " << win->frameGeometry().y() << ", " << win->frameGeometry().height() << " high";
        EXPECT_GE(win->frameGeometry().top(), area.top() + kTitleBarRoom) << "room for a title bar";
        if (unfolding)
            EXPECT_GT(frame.height(), folded.height());
        else
            EXPECT_EQ(frame.height(), folded.height());
        // Every control inside the window and on the screen; the preview's buttons above the chooser,
        // and the picture above the trim bar.
        const QStringList outside = controlsOutside(win, QRect(win->mapToGlobal(QPoint()), win->size()));
        EXPECT_TRUE(outside.isEmpty()) << outside.join(u'\n').toStdString();
        const QStringList offScreen = controlsOutside(win, area);
        EXPECT_TRUE(offScreen.isEmpty()) << offScreen.join(u'\n').toStdString();
        EXPECT_LT(joiner->playBtn()->mapTo(win, QPoint(0, joiner->playBtn()->height())).y(),
                  chooser->mapTo(win, QPoint()).y());
        EXPECT_TRUE(joiner->startJoinnerBtn()->isVisible());
        QWidget *picture = joiner->playBtn()->parentWidget()->findChildren<PNQView *>().value(0);
        ASSERT_TRUE(picture);
        EXPECT_GE(picture->height(), 90);
        EXPECT_LE(picture->mapTo(win, QPoint(0, picture->height())).y(),
                  joiner->cutProgressView()->mapTo(win, QPoint()).y());
    }
    joiner->close();
    TestEnvironment::processDeferredDeletes();
}
