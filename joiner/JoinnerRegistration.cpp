#include "joiner/JoinnerRegistration.h"

#include "joiner/JoinnerWindowController.h"

void registerJoinnerWindowClass()
{
    platform::WindowController::registerClass<JoinnerWindowController>(
        QStringLiteral("JoinnerWindowController"));
}
