#pragma once
// Answers every finish dialog of a tool window the way a user does while it runs: reads its text into
// texts(), then clicks OK. Polls for the modal dialog every 20 ms from the test's event loop, from
// construction (or start()) until stop().
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
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    QStringList &texts() { return m_texts; }

private:
    QTimer m_timer;
    QStringList m_texts;
};
