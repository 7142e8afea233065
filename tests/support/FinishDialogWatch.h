#pragma once
// Answers every finish dialog (PNQOpenAlert) the way a user does while it lives: reads the dialog's text
// into texts, then clicks OK. Main thread; it acts from the event loop, so waits keep it going.
#include "controls/PNQOpenAlert.h"
#include "platform/Application.h"
#include "platform/Window.h"

#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

class FinishDialogWatch
{
public:
    FinishDialogWatch()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            platform::Window *window = platform::Application::shared().modalWindow();
            auto *dialog = window ? qobject_cast<PNQOpenAlert *>(window->windowController()) : nullptr;
            if (!dialog || !dialog->okBtn())
                return;
            texts << dialog->infomation();
            QTest::mouseClick(dialog->okBtn(), Qt::LeftButton);
        });
        m_timer.start();
    }
    FinishDialogWatch(const FinishDialogWatch &) = delete;
    FinishDialogWatch &operator=(const FinishDialogWatch &) = delete;

    QStringList texts;

private:
    QTimer m_timer;
};
