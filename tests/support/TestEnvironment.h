#pragma once
// What the test main sets up for every test program, and the helpers to reach it.
//
// Before any test runs: QT_QPA_PLATFORM is "offscreen" unless set; HOME and XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_CACHE_HOME, XDG_RUNTIME_DIR point into a fresh temporary folder, with the user
// folders Videos, Documents and Desktop inside it (written to $XDG_CONFIG_HOME/user-dirs.dirs); the
// QApplication exists; user defaults live in a temporary file; Panels answer from a ScriptedPanels
// (an unanswered dialog fails the running test) and Workspace records without opening anything; the
// main bundle's resources are <exe dir>/Resources. The scripted panels and the recording workspace are
// emptied before each test.
#include "platform/RecordingWorkspace.h"
#include "platform/ScriptedPanels.h"

#include <QString>

#include <functional>

class TestEnvironment
{
public:
    static platform::ScriptedPanels &scriptedPanels();
    static platform::RecordingWorkspace &recordingWorkspace();
    // The temporary folder that holds HOME and the XDG folders; removed when the program ends.
    static QString tempDir();
    // The fake home folder inside tempDir().
    static QString homeDir();

    // Runs the event loop once: posted events, queued calls and dispatchMain work run.
    static void processEvents();
    // Also deletes the objects given to deleteLater().
    static void processDeferredDeletes();
    // Processes events until `condition` holds or `timeoutMs` has passed; returns the condition's value.
    static bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000);

    // Used by the test main: prepareProcess() before the QApplication exists, install() after.
    static void prepareProcess();
    static void install();
    static void cleanUp();
};
