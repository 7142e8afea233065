#include "cutters/EasyCutterRegistration.h"

#include "cutters/EasyCutterWindowcontroller.h"

void registerEasyCutterWindowClass()
{
    platform::WindowController::registerClass<EasyCutterWindowcontroller>(
        QStringLiteral("EasyCutterWindowcontroller"));
}
