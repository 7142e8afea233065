#pragma once
// Answers every finish dialog (PNQOpenAlert run modally by an export's end) the way a user does: reads
// its text, then clicks OK. Runs from construction to destruction, polling every 20 ms. For test
// programs that link the controls.
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

    // The information text of every dialog answered, in order.
    QStringList texts;

private:
    QTimer m_timer;
};
