#include "cutters/BatchCutterRegistration.h"

#include "cutters/BatchCutterWindowController.h"

void registerBatchCutterWindowClass()
{
    platform::WindowController::registerClass<BatchCutterWindowController>(
        QStringLiteral("BatchCutterWindowController"));
}
