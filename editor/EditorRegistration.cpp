#include "editor/EditorRegistration.h"

#include "editor/EditVideoWindowController.h"

void registerEditorWindowClass()
{
    platform::WindowController::registerClass<EditVideoWindowController>(
        QStringLiteral("EditVideoWindowController"));
}
