#pragma once
// An easy cutter opened as the launcher opens it, with a source loaded through the scripted open panel,
// and the generated sources its tests share (made once per test program).
#include "cutters/EasyCutterRegistration.h"
#include "cutters/EasyCutterWindowcontroller.h"
#include "model/SimpleData.h"
#include "platform/ScriptedPanels.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QPointer>

#include <gtest/gtest.h>

namespace easycuttest {

// 125.5 s of tiny frames at 2 fps without sound: long enough for minute and hour texts, quick to make.
inline QString longClip()
{
    return QString::fromStdString(fixture::longTinyClip());
}

class EasyCutterWindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (cutter && cutter->isWindowLoaded() && !cutter->isClosed())
            cutter->close();
        TestEnvironment::processDeferredDeletes();
        TestEnvironment::scriptedPanels().reset();
    }

    EasyCutterWindowcontroller *open()
    {
        registerEasyCutterWindowClass();
        auto *controller = platform::WindowController::create(QStringLiteral("EasyCutterWindowcontroller"));
        cutter = qobject_cast<EasyCutterWindowcontroller *>(controller);
        EXPECT_NE(cutter, nullptr);
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();
        return cutter;
    }

    void openWith(const QString &path)
    {
        open();
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        cutter->addFileAction();
        ASSERT_TRUE(cutter->fileData());
        ASSERT_TRUE(cutter->preview().player());
    }

    // Puts the bar's handles at these times and presses CUT.
    void cutAt(float start, float end)
    {
        const float d = cutter->duration();
        cutter->cutprogressView()->setUpperValue(end / d);
        cutter->cutprogressView()->setLowerValue(start / d);
        cutter->cutAction();
    }

    // Types the four parts into a group and ends the edit of the `part`-th field as the user's Return does.
    bool type(const TimeFieldGroup &group, int part, const QString &text)
    {
        platform::TextField *field = group.fields().at(part);
        field->setStringValue(text);
        return cutter->controlTextShouldEndEditing(field);
    }

    static QStringList texts(const TimeFieldGroup &group)
    {
        QStringList list;
        for (platform::TextField *f : group.fields())
            list << f->stringValue();
        return list;
    }

    // The informative texts of the alerts shown so far.
    static QStringList alertTexts()
    {
        QStringList list;
        for (const auto &request : TestEnvironment::scriptedPanels().alerts())
            list << request.informativeText;
        return list;
    }

    QPointer<EasyCutterWindowcontroller> cutter;
};

} // namespace easycuttest
