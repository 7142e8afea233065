#include "bench/AppMemoryBench.h"

#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "bench/BenchProcess.h"
#include "bench/BenchSources.h"
#include "controls/PNQButton.h"
#include "editor/EditVideoWindowController.h"
#include "editor/tools/RotateTool.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/LauncherDriver.h"
#include "tests/support/MediaFixture.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/TimeFieldGroup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSettleMs = 2000; // the engine gives memory back on its release thread after a job closes

void settle()
{
    QTest::qWait(kSettleMs);
    TestEnvironment::processDeferredDeletes();
}

// The resident size and how much of it is the heap and other private memory (anonymous) and how much
// mapped files (mostly the code of the libraries loaded so far).
void report(const char *step, long kb)
{
    std::printf("%-46s %6ld MiB  (anonymous %ld, files %ld)\n", step, kb / 1024,
                AppMemoryBench::statusKb("RssAnon") / 1024, AppMemoryBench::statusKb("RssFile") / 1024);
    std::fflush(stdout);
}

// Picks `profile` on the Video tab, starts the export and waits for its finish dialog; true when one
// new file was written (then removed, so that the disk does not fill over sessions).
bool exportAs(EditVideoWindowController *editor, FinishDialogWatch &finished, const QString &folder,
              const QString &profile)
{
    OutputFormatChooser *chooser = editor->formatChooser();
    const int tab = chooser->functionList().indexOf(QStringLiteral("Video"));
    const int item = chooser->functionItemChilds().indexOf(profile);
    if (tab < 0)
        return false;
    chooser->actionFunctionItem(chooser->function_Items().at(tab));
    if (item < 0)
        return false;
    for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
        chooser->action_right_move_item_Btn(nullptr);
    QTest::mouseClick(chooser->itemButtons().at(item), Qt::LeftButton);
    const qsizetype answered = finished.texts().size();
    QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
    if (!TestEnvironment::waitUntil([&] { return finished.texts().size() > answered; }, 600000))
        return false;
    const QFileInfoList written = QDir(folder).entryInfoList(QDir::Files);
    bool ok = written.size() == 1 && written.first().size() > 0;
    for (const QFileInfo &file : written)
        QFile::remove(file.filePath());
    return ok;
}

bool session(AppDelegate &delegate, const QString &clip, const QString &folder, int number)
{
    FinishDialogWatch finished;
    QPointer<EditVideoWindowController> editor = openEditorFromLauncher(delegate);
    if (!editor) {
        std::printf("session %d: the editor did not open\n", number);
        return false;
    }
    TestEnvironment::scriptedPanels().answerOpenPanel({clip});
    editor->addfileAction();
    if (!TestEnvironment::waitUntil([&] { return editor->fileData() && editor->rdPlayer(); }, 60000)) {
        std::printf("session %d: the clip did not load\n", number);
        for (const platform::AlertRequest &alert : TestEnvironment::scriptedPanels().alerts())
            std::printf("  alert: %s %s\n", qPrintable(alert.messageText), qPrintable(alert.informativeText));
        return false;
    }
    QTest::mouseClick(editor->playPauseBtn(), Qt::LeftButton);
    QTest::qWait(1500);
    QTest::mouseClick(editor->playPauseBtn(), Qt::LeftButton);
    report(qPrintable(QStringLiteral("session %1: editor loaded, played").arg(number)),
           AppMemoryBench::residentKb());

    TestEnvironment::scriptedPanels().answerFolderPanel(folder);
    editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
    editortest::typeInto(editor->stopTimeFields().fields()[2], QStringLiteral("08"));
    editortest::typeInto(editor->startTimeFields().fields()[2], QStringLiteral("02"));
    // One export in `format`, then the memory once the engine has let go.
    auto exportStep = [&](const QString &format, const char *what) {
        const bool exported = exportAs(editor, finished, folder, format);
        settle();
        report(qPrintable(QStringLiteral("session %1: after %2").arg(number).arg(QLatin1String(what))),
               AppMemoryBench::residentKb());
        return exported;
    };
    bool ok = exportStep(QStringLiteral("mp4(H.264)"), "H.264, trimmed");

    editor->rotateTool().rightRatioAction();
    TestEnvironment::processEvents();
    ok = exportStep(QStringLiteral("mp4(HEVC)"), "HEVC, trimmed and turned") && ok;

    editor->rotateTool().horizontalMirrorAction();
    TestEnvironment::processEvents();
    ok = exportStep(QStringLiteral("mp4(H.264)"), "H.264, also mirrored") && ok;

    editor->close();
    TestEnvironment::processDeferredDeletes();
    settle();
    if (editor)
        std::printf("session %d: the editor still exists after it closed\n", number);
    return ok;
}

} // namespace

long AppMemoryBench::residentKb()
{
    return statusKb("VmRSS");
}

long AppMemoryBench::statusKb(const char *field)
{
    long kb = -1;
    const std::string format = std::string(field) + ": %ld kB";
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, format.c_str(), &kb) == 1)
                break;
        std::fclose(status);
    }
    return kb;
}

int AppMemoryBench::run(const QString &clip, const QString &folder, int sessions)
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.mainWindow()->makeKeyAndOrderFront();
    settle();
    const long before = residentKb();
    report("launcher alone, before", before);
    bool ok = true;
    long after = before;
    for (int i = 1; i <= sessions; ++i) {
        ok = session(delegate, clip, folder, i) && ok;
        after = residentKb();
        report(qPrintable(QStringLiteral("launcher alone after session %1").arg(i)), after);
    }
    std::printf("launcher alone: %ld MiB more after %d session(s) than before (target: within 100 MiB)%s\n",
                (after - before) / 1024, sessions, ok ? "" : "; an export FAILED");
    // Not part of the figure: how much of what is left is free memory the allocator still holds.
    const auto trimStart = std::chrono::steady_clock::now();
    malloc_trim(0);
    const auto trimMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - trimStart);
    report(qPrintable(QStringLiteral("launcher alone, then the heap trimmed (%1 ms)").arg(trimMs.count())),
           residentKb());
    delegate.mainWindow()->close();
    TestEnvironment::processEvents();
    return ok ? 0 : 1;
}

int main(int argc, char **argv)
{
    // Not "--session": QApplication takes that one (and its argument) for the desktop's session manager.
    if (argc == 5 && std::string(argv[1]) == "--run") {
        TestEnvironment::prepareProcess();
        int result = 1;
        {
            QApplication app(argc, argv);
            TestEnvironment::install();
            result = AppMemoryBench::run(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                         std::atoi(argv[4]));
        }
        TestEnvironment::cleanUp();
        return result;
    }
    const int sessions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    // The clip is made here, so that its encoder weighs nothing in the session's figures.
    const std::string folder =
        std::filesystem::temp_directory_path() / ("app_memory_bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder + "/out");
    const std::string clip = folder + "/source1080p.mp4";
    const fixture::Spec spec = bench::tenSeconds1080p();
    std::string error;
    if (!fixture::generate(clip, spec, &error)) {
        std::fprintf(stderr, "cannot generate the clip: %s\n", error.c_str());
        return 1;
    }
    const std::string self = std::filesystem::canonical("/proc/self/exe");
    const bench::Measure run =
        bench::runProcess({self, "--run", clip, folder + "/out", std::to_string(sessions)});
    std::printf("peak resident size of the session: %ld MiB\n", run.peakKb / 1024);
    std::filesystem::remove_all(folder);
    return run.ok ? 0 : 1;
}
