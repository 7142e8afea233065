#include "cutters/SplitterRegistration.h"

#include "cutters/SplitWindowController.h"

void registerSplitterWindowClass()
{
    platform::WindowController::registerClass<SplitWindowController>(QStringLiteral("SplitWindowController"));
}
