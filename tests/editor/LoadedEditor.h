#pragma once
// An editor window opened as the launcher opens it, with clips loaded through the scripted open panel,
// and the generated clips the editor tests share (made once per test program).
#include "editor/EditVideoWindowController.h"
#include "editor/EditorRegistration.h"
#include "media/RDMoviePlayer.h"
#include "model/MusicInfo.h"
#include "model/SimpleData.h"
#include "platform/CMTime.h"
#include "platform/ScriptedPanels.h"
#include "platform/TextField.h"
#include "tests/support/MediaFixtureLayout.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <gtest/gtest.h>

namespace editortest {

// 2 s, 160 x 90, 25 fps, one audio track.
inline QString smallClip()
{
    return QString::fromStdString(fixture::sharedFixture("small.mp4", fixture::Spec{}));
}

// 125.5 s of tiny frames at 2 fps, no sound: long enough for hour-minute-second texts, quick to make.
inline QString longClip()
{
    return QString::fromStdString(fixture::longTinyClip());
}

// Sound only, `seconds` long, made once under `name`.
inline QString audioFile(const char *name, double seconds)
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = seconds;
    return QString::fromStdString(fixture::sharedFixture(name, spec));
}

// Types `text` into a field as a user does and ends the edit with Return.
inline void typeInto(platform::TextField *field, const QString &text)
{
    QLineEdit *edit = field->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

class LoadedEditorTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (editor && editor->isWindowLoaded() && !editor->isClosed())
            editor->close();
        TestEnvironment::processDeferredDeletes();
        TestEnvironment::scriptedPanels().reset();
    }

    EditVideoWindowController *open(qint64 tool = EditVideoWindowController::ToolTrim)
    {
        registerEditorWindowClass();
        auto *controller = platform::WindowController::create(QStringLiteral("EditVideoWindowController"));
        editor = qobject_cast<EditVideoWindowController *>(controller);
        EXPECT_NE(editor, nullptr);
        controller->setProperty("toolItemType", QVariant::fromValue<qint64>(tool));
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();
        return editor;
    }

    // Chooses `path` in the add-file panel; true when it became the clip.
    bool choose(const QString &path)
    {
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        const auto before = editor->fileData();
        editor->addfileAction();
        return editor->fileData() != before && editor->fileData() && editor->fileData()->path() == path;
    }

    // Opens the editor on `path` (trim tool unless told).
    void openWith(const QString &path, qint64 tool = EditVideoWindowController::ToolTrim)
    {
        open(tool);
        ASSERT_TRUE(choose(path));
        ASSERT_TRUE(editor->rdPlayer());
    }

    double playerSeconds() const { return platform::CMTimeGetSeconds(editor->rdPlayer()->currentTime()); }
    void seek(double seconds)
    {
        editor->rdPlayer()->seekTime(platform::CMTimeMakeWithSeconds(seconds, 1000000));
    }

    static QStringList texts(const TimeFieldGroup &group)
    {
        QStringList list;
        for (platform::TextField *f : group.fields())
            list << f->stringValue();
        return list;
    }

    QPointer<EditVideoWindowController> editor;
};

// Rows (first, last) of `picture` where at least two pixels differ strongly from `plain`; -1, -1 for none.
inline std::pair<int, int> changedRows(const fixture::Image &picture, const fixture::Image &plain)
{
    int first = -1, last = -1;
    for (int y = 0; y < std::min(picture.height, plain.height); ++y) {
        int changed = 0;
        for (int x = 0; x < std::min(picture.width, plain.width); ++x) {
            const fixture::Rgb a = picture.pixel(x, y), b = plain.pixel(x, y);
            if (std::abs(int(a.r) - int(b.r)) + std::abs(int(a.g) - int(b.g)) +
                    std::abs(int(a.b) - int(b.b)) >
                150)
                ++changed;
        }
        if (changed >= 2) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

} // namespace editortest
