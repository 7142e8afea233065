// The end-of-edit checks of the trim fields (through the real field), the watermark and music rules,
// the crop fields, and the trim steppers.
#include "tests/editor/LoadedEditor.h"

#include "services/LanguageService.h"
#include "controls/RDCutProgressView.h"
#include "toolkit/TimeFieldRules.h"
#include "model/MusicInfo.h"
#include "model/WaterParam.h"
#include "platform/Stepper.h"
#include "platform/Window.h"

#include <QLineEdit>
#include <QTest>

namespace {

using namespace editortest;

class TimeFieldValidationTest : public LoadedEditorTest
{
protected:
    // Types `text` into `field` as the user would and ends the edit with Return.
    bool typeAndReturn(platform::TextField *field, const QString &text)
    {
        QLineEdit *edit = field->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        return field->validateEditing();
    }
};

TEST_F(TimeFieldValidationTest, TrimTimesAreCheckedAgainstEachOther)
{
    openWith(longClip()); // 125.5 s; the fields start at 0 and the stop at 125.5
    const TimeFieldGroup &start = editor->startTimeFields();
    const TimeFieldGroup &stop = editor->stopTimeFields();
    const struct
    {
        const char *what;
        bool isStart;
        int index; // 0 hours .. 3 hundredths
        const char *typed;
        const char *alertKey; // null = accepted
    } cases[] = {
        {"start before the stop", true, 2, "10", nullptr},
        {"stop after the start", false, 1, "01", nullptr},                 // 00:01:05.50
        {"stop equal to the start", false, 1, "00", "showmessageTime3"},   // 00:00:05.50 < 10
        {"start at the stop", true, 1, "01", "showmessageTime5"},          // 00:01:10 > 65.5
        {"stop beyond the end, after the start", false, 0, "01", nullptr}, // 01:01:05.50
        {"hundredths move the stop", false, 3, "99", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        platform::TextField *field = (c.isStart ? start : stop).fields()[c.index];
        const double before = c.isStart ? editor->cutTimeRange_start() : editor->cutTimeRange_stop();
        const int alerts = TestEnvironment::scriptedPanels().alerts().size();
        if (c.alertKey)
            TestEnvironment::scriptedPanels().answerAlert(0);
        const bool accepted = typeAndReturn(field, QString::fromLatin1(c.typed));
        EXPECT_EQ(accepted, c.alertKey == nullptr);
        if (c.alertKey) {
            ASSERT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts + 1);
            EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().last().informativeText,
                      LanguageService::localizedStringForKey(c.alertKey));
            EXPECT_EQ(field->stringValue(), QString::fromLatin1(c.typed)) << "the typed text stays";
            EXPECT_DOUBLE_EQ(c.isStart ? editor->cutTimeRange_start() : editor->cutTimeRange_stop(), before);
            TestEnvironment::processEvents();
            EXPECT_TRUE(field->lineEdit()->hasFocus()) << "the field keeps the focus";
            // Back to an accepted value.
            field->setStringValue(c.isStart ? QStringLiteral("00") : QStringLiteral("01"));
        } else {
            EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts);
            const double seconds = (c.isStart ? start : stop).seconds();
            EXPECT_DOUBLE_EQ(c.isStart ? editor->cutTimeRange_start() : editor->cutTimeRange_stop(),
                             double(seconds) * 1000000.0);
            const float fraction = float(seconds / 125.5);
            EXPECT_FLOAT_EQ(c.isStart ? editor->cutProgressView()->lowerValue()
                                      : editor->cutProgressView()->upperValue(),
                            fraction);
        }
    }
}

TEST_F(TimeFieldValidationTest, StopNotAfterStartBeyondTheEndHasItsOwnAlert)
{
    EXPECT_STREQ(TimeFieldRules::trimStop(200, 150, 125.5f).alertKey, "showmessageTime2");
    EXPECT_STREQ(TimeFieldRules::trimStop(10, 10, 125.5f).alertKey, "showmessageTime3");
    EXPECT_TRUE(TimeFieldRules::trimStop(10, 130, 125.5f).accepted);
}

TEST_F(TimeFieldValidationTest, WatermarkTimesAreStoredOnlyWhenAccepted)
{
    const float D = 60;
    const struct
    {
        const char *what;
        std::function<TimeFieldRules::Verdict(WaterParam &)> edit;
        const char *alertKey;
        float startTime, duration, fileStart, fileEnd; // afterwards
    } cases[] = {
        {"start at the clip's end shortens the duration to 0",
         [&](WaterParam &w) { return TimeFieldRules::watermarkStart(60, D, w); }, nullptr, 60, 0, 1, 4},
        {"start beyond the end", [&](WaterParam &w) { return TimeFieldRules::watermarkStart(61, D, w); },
         "showmessageTime4", 10, 20, 1, 4},
        {"duration inside the clip",
         [&](WaterParam &w) { return TimeFieldRules::watermarkDuration(50, D, w); }, nullptr, 10, 50, 1, 4},
        {"duration past the end is not stored",
         [&](WaterParam &w) { return TimeFieldRules::watermarkDuration(51, D, w); }, "showmessageTime4", 10,
         20, 1, 4},
        {"file start beyond the file is not stored",
         [](WaterParam &w) { return TimeFieldRules::watermarkFileStart(6, w); }, "showmessageTime4", 10, 20,
         1, 4},
        {"file end beyond the file is not stored",
         [](WaterParam &w) { return TimeFieldRules::watermarkFileEnd(5.5f, w); }, "showmessageTime4", 10, 20,
         1, 4},
        {"file end inside the file", [](WaterParam &w) { return TimeFieldRules::watermarkFileEnd(5, w); },
         nullptr, 10, 20, 1, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WaterParam water;
        water.setStartTime(10);
        water.setDuration(20);
        water.setFileDuration(5);
        water.setFileStartTime(1);
        water.setFileEndTime(4);
        const TimeFieldRules::Verdict v = c.edit(water);
        EXPECT_EQ(v.accepted, c.alertKey == nullptr);
        if (c.alertKey) {
            EXPECT_STREQ(v.alertKey, c.alertKey);
        }
        EXPECT_FLOAT_EQ(water.startTime(), c.startTime);
        EXPECT_FLOAT_EQ(water.duration(), c.duration);
        EXPECT_FLOAT_EQ(water.fileStartTime(), c.fileStart);
        EXPECT_FLOAT_EQ(water.fileEndTime(), c.fileEnd);
    }
}

TEST_F(TimeFieldValidationTest, MusicTimesKeepTheirOrder)
{
    const struct
    {
        const char *what;
        std::function<TimeFieldRules::Verdict(MusicInfo &)> edit;
        bool accepted;
        const char *alertKey;
        float positionStart, positionEnd, pruneStart, pruneDiration;
    } cases[] = {
        {"position start at the end, silently refused",
         [](MusicInfo &m) { return TimeFieldRules::musicPositionStart(30, m); }, false, nullptr, 10, 30, 2,
         8},
        {"position end at the start", [](MusicInfo &m) { return TimeFieldRules::musicPositionEnd(10, m); },
         false, "showmessageTime3", 10, 30, 2, 8},
        {"position end shortens the used part",
         [](MusicInfo &m) { return TimeFieldRules::musicPositionEnd(15, m); }, true, nullptr, 10, 15, 2, 5},
        {"prune start at the prune end",
         [](MusicInfo &m) { return TimeFieldRules::musicPruneStart(10, 40, m); }, false, "showmessageTime5",
         10, 30, 2, 8},
        {"prune start keeps the prune end",
         [](MusicInfo &m) { return TimeFieldRules::musicPruneStart(4, 40, m); }, true, nullptr, 10, 30, 4, 6},
        {"prune start past the music's own end would leave less than nothing",
         [](MusicInfo &m) { return TimeFieldRules::musicPruneStart(6, 5, m); }, false, "showmessageTime5", 10,
         30, 2, 8},
        {"prune end at the prune start", [](MusicInfo &m) { return TimeFieldRules::musicPruneEnd(2, m); },
         false, "showmessageTime6", 10, 30, 2, 8},
        {"prune end longer than the span", [](MusicInfo &m) { return TimeFieldRules::musicPruneEnd(40, m); },
         true, nullptr, 10, 30, 2, 20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        MusicInfo music;
        music.setPositionStart(10);
        music.setPositionEnd(30);
        music.setPruneStart(2);
        music.setPruneDiration(8);
        const TimeFieldRules::Verdict v = c.edit(music);
        EXPECT_EQ(v.accepted, c.accepted);
        if (c.alertKey) {
            EXPECT_STREQ(v.alertKey, c.alertKey);
        } else {
            EXPECT_EQ(v.alertKey, nullptr);
        }
        EXPECT_FLOAT_EQ(music.positionStart(), c.positionStart);
        EXPECT_FLOAT_EQ(music.positionEnd(), c.positionEnd);
        EXPECT_FLOAT_EQ(music.pruneStart(), c.pruneStart);
        EXPECT_FLOAT_EQ(music.pruneDiration(), c.pruneDiration);
    }
}

TEST_F(TimeFieldValidationTest, CropPositionsStayInsideThePicture)
{
    using Crop = TimeFieldRules::CropField;
    const platform::Rect c = platform::makeRect(20, 10, 100, 60); // in 160 x 90
    EXPECT_EQ(TimeFieldRules::cropEdit(Crop::Left, -5, c, 160, 90), platform::makeRect(0, 10, 100, 60));
    EXPECT_EQ(TimeFieldRules::cropEdit(Crop::Left, 90, c, 160, 90), platform::makeRect(60, 10, 100, 60));
    EXPECT_EQ(TimeFieldRules::cropEdit(Crop::Top, 50, c, 160, 90), platform::makeRect(20, 0, 100, 60));
    EXPECT_EQ(TimeFieldRules::cropEdit(Crop::Top, 5, c, 160, 90), platform::makeRect(20, 25, 100, 60));
    EXPECT_EQ(TimeFieldRules::cropEdit(Crop::Width, 80.7, c, 160, 90), platform::makeRect(20, 10, 80, 60));
}

TEST_F(TimeFieldValidationTest, TrimSteppersWrapAndNeedAStopAfterTheStart)
{
    openWith(longClip());
    const TimeFieldGroup &start = editor->startTimeFields();
    const TimeFieldGroup &stop = editor->stopTimeFields();
    const struct
    {
        int index;
        const char *from;
        const char *to;
    } cases[] = {{3, "99", "00"}, {1, "59", "00"}, {2, "05", "06"}};
    stop.fields()[0]->setStringValue(QStringLiteral("01")); // the stop lies after every start below
    for (const auto &c : cases) {
        platform::TextField *field = start.fields()[c.index];
        field->setStringValue(QString::fromLatin1(c.from));
        editor->actionMouseDownForTextFieldBlock(static_cast<RDTextField *>(field));
        EXPECT_EQ(editor->edittingField(), field);
        EXPECT_EQ(editor->startStepper()->maxValue(), c.index == 3 ? 99 : 59);
        editor->startStepper()->stepUp();
        EXPECT_EQ(field->stringValue(), QString::fromLatin1(c.to)) << c.from;
        EXPECT_DOUBLE_EQ(editor->cutTimeRange_start(), double(start.seconds()) * 1000000.0);
        field->setStringValue(QStringLiteral("00"));
    }
    // With the stop not after the start, a step changes nothing.
    stop.fields()[0]->setStringValue(QStringLiteral("00"));
    stop.fields()[1]->setStringValue(QStringLiteral("00"));
    stop.fields()[2]->setStringValue(QStringLiteral("00"));
    stop.fields()[3]->setStringValue(QStringLiteral("00"));
    platform::TextField *minutes = stop.fields()[1];
    editor->actionMouseDownForTextFieldBlock(static_cast<RDTextField *>(minutes));
    editor->stopStepper()->stepUp();
    EXPECT_EQ(minutes->stringValue(), QStringLiteral("00"));
}

} // namespace
