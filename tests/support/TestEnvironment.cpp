#include "tests/support/TestEnvironment.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

struct State
{
    std::unique_ptr<QTemporaryDir> dir;
    platform::ScriptedPanels panels;
    platform::RecordingWorkspace workspace;
};

State &state()
{
    static State s;
    return s;
}

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path)) {
        fprintf(stderr, "test main: cannot create %s\n", qPrintable(path));
        std::abort();
    }
}

void setEnv(const char *name, const QString &value)
{
    qputenv(name, QFile::encodeName(value));
}

// Empties the scripted answers and recordings before each test, so none leaks into the next.
class ResetListener : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo &) override
    {
        state().panels.reset();
        state().workspace.clear();
    }
};

} // namespace

platform::ScriptedPanels &TestEnvironment::scriptedPanels()
{
    return state().panels;
}

platform::RecordingWorkspace &TestEnvironment::recordingWorkspace()
{
    return state().workspace;
}

QString TestEnvironment::tempDir()
{
    return state().dir ? state().dir->path() : QString();
}

QString TestEnvironment::homeDir()
{
    return tempDir() + QStringLiteral("/home");
}

void TestEnvironment::processEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TestEnvironment::processDeferredDeletes()
{
    processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool TestEnvironment::waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        processEvents();
        QThread::msleep(2);
    }
    return true;
}

void TestEnvironment::prepareProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vw-test-XXXXXX"));
    if (!dir->isValid()) {
        fprintf(stderr, "test main: cannot create a temporary folder: %s\n", qPrintable(dir->errorString()));
        std::abort();
    }
    state().dir = std::move(dir);

    const QString home = homeDir();
    const QString config = home + QStringLiteral("/.config");
    const QString runtime = tempDir() + QStringLiteral("/runtime");
    const QString videos = home + QStringLiteral("/Videos");
    const QString documents = home + QStringLiteral("/Documents");
    const QString desktop = home + QStringLiteral("/Desktop");
    for (const QString &folder : {home, config, home + QStringLiteral("/.local/share"),
                                  home + QStringLiteral("/.cache"), runtime, videos, documents, desktop})
        makeFolder(folder);
    // Qt refuses a runtime folder that others may read.
    chmod(QFile::encodeName(runtime).constData(), 0700);

    setEnv("HOME", home);
    setEnv("XDG_CONFIG_HOME", config);
    setEnv("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    setEnv("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    setEnv("XDG_RUNTIME_DIR", runtime);

    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    if (!dirs.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fprintf(stderr, "test main: cannot write user-dirs.dirs\n");
        std::abort();
    }
    dirs.write(QStringLiteral("XDG_VIDEOS_DIR=\"%1\"\nXDG_DOCUMENTS_DIR=\"%2\"\nXDG_DESKTOP_DIR=\"%3\"\n")
                   .arg(videos, documents, desktop)
                   .toUtf8());
    dirs.close();
}

void TestEnvironment::install()
{
    platform::UserDefaults::setStorePath(tempDir() + QStringLiteral("/defaults/video-workshop.ini"));

    state().panels.setUnansweredHandler([](const QString &what) {
        ADD_FAILURE() << "A dialog was shown with no scripted answer: " << what.toStdString()
                      << " (queue one on TestEnvironment::scriptedPanels())";
    });
    platform::Panels::setInstance(&state().panels);
    platform::Workspace::setInstance(&state().workspace);

    platform::Bundle::main().setResourcePath(QCoreApplication::applicationDirPath() +
                                             QStringLiteral("/Resources"));

    testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
}

void TestEnvironment::cleanUp()
{
    platform::Panels::setInstance(nullptr);
    platform::Workspace::setInstance(nullptr);
    // The store would write what is pending when the program ends, after its folder is gone: the
    // folder would come back. Written now, it goes with the folder.
    platform::UserDefaults::standard().sync();
    state().dir.reset();
}
