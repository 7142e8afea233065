#pragma once
// Opens the editor as a user does from the launcher, for the scripted sessions (the tour and the
// application's memory benchmark).
#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "controls/PNQButton.h"
#include "editor/EditVideoWindowController.h"
#include "platform/Window.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>

// Clicks the launcher's crop tile and waits for the editor's window to show; nullptr if it does not.
inline EditVideoWindowController *openEditorFromLauncher(AppDelegate &delegate)
{
    PNQButton *crop = delegate.viewController()->toolButton(ViewController::Crop);
    crop->mouseDownAction(crop);
    EditVideoWindowController *editor = nullptr;
    TestEnvironment::waitUntil([&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<platform::Window *>(w); window && window->isVisible())
                if (auto *e = qobject_cast<EditVideoWindowController *>(window->windowController()))
                    editor = e;
        return editor != nullptr;
    });
    return editor;
}
