#pragma once
// Answers every finish dialog (PNQOpenAlert) of a tool window as a user does while it runs modally:
// reads its text into texts(), then clicks OK. Lives for one test; header only, for the tool tests.
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
            m_texts << dialog->infomation();
            QTest::mouseClick(dialog->okBtn(), Qt::LeftButton);
        });
        m_timer.start();
    }

    // The information keys of the dialogs answered so far, in order.
    const QStringList &texts() const { return m_texts; }

private:
    QTimer m_timer;
    QStringList m_texts;
};
