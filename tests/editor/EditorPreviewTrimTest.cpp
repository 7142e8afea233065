// The preview (time labels, end of play, volume) and the trim panel (playhead buttons, reset, keep or
// delete) on a real player.
#include "tests/editor/LoadedEditor.h"

#include "services/ResourceService.h"
#include "controls/PNQButton.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "model/SimpleData.h"
#include "platform/Timer.h"

#include <QFontMetricsF>
#include <QLineEdit>

namespace {

using namespace editortest;

class EditorPreviewTrimTest : public LoadedEditorTest
{
};

TEST_F(EditorPreviewTrimTest, TimeLabelsShowPositionAndLengthWithHundredths)
{
    openWith(longClip());
    EXPECT_DOUBLE_EQ(platform::CMTimeGetSeconds(editor->rdPlayer()->duration()), 125.5);
    EXPECT_EQ(texts(editor->stopTimeFields()), (QStringList{QStringLiteral("00"), QStringLiteral("02"),
                                                            QStringLiteral("05"), QStringLiteral("50")}));
    seek(62.25);
    editor->changePlayerSlider();
    EXPECT_EQ(editor->currentTimeLabel()->stringValue(), QStringLiteral("00:01:02.25"));
    EXPECT_EQ(editor->totalTimeLabel()->stringValue(), QStringLiteral("00:02:05.50"));
    EXPECT_EQ(editor->mCurrentTimeLabel()->stringValue(), QStringLiteral("00:01:02.25"));
    // Whole, not scrolled past their first digits: a line edit keeps 2 pixels inside each side.
    for (platform::TextField *label : {editor->currentTimeLabel(), editor->totalTimeLabel()}) {
        QLineEdit *edit = label->lineEdit();
        EXPECT_LE(QFontMetricsF(edit->font()).horizontalAdvance(edit->text()),
                  edit->contentsRect().width() - 4)
            << edit->text().toStdString();
    }
    EXPECT_FLOAT_EQ(editor->cutProgressView()->progress(), float(62.25 / 125.5));
}

TEST_F(EditorPreviewTrimTest, EndOfPlayReturnsToTheTrimStart)
{
    for (const double start : {0.0, 0.5}) {
        SCOPED_TRACE(start);
        openWith(smallClip());
        editor->setCutTimeRange_start(start * 1000000.0);
        if (start == 0)
            editor->setCutTimeRange_stop(0); // no range set: the whole clip becomes the range
        seek(1.6);
        editor->play();
        ASSERT_TRUE(editor->isPlaying());
        ASSERT_TRUE(editor->timer());
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !editor->isPlaying(); }, 10000));
        EXPECT_FALSE(editor->timer());
        EXPECT_NEAR(playerSeconds(), start, 0.001);
        EXPECT_FLOAT_EQ(editor->progressSlider()->progress(), float(start / 2.0));
        EXPECT_DOUBLE_EQ(editor->cutTimeRange_stop(), 2000000.0);
        EXPECT_FALSE(editor->playPauseBtn()->selected());
        editor->close();
        TestEnvironment::processDeferredDeletes();
    }
}

// What `button` draws, on a transparent ground.
QImage look(PNQButton *button)
{
    QImage image(button->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    button->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// What a button with only `stem`'s normal image looks like at the play button's size.
QImage plainButtonLook(const QString &stem, const QSize &size)
{
    PNQButton reference(platform::makeRect(0, 0, size.width(), size.height()));
    reference.setNormalImage(ResourceService::imageWithfileName(stem + QStringLiteral("_Normal.png")));
    reference.setBorderWidth(0);
    return look(&reference);
}

TEST_F(EditorPreviewTrimTest, PlayButtonShowsPauseWhilePlayingAndPlayWhenPaused)
{
    openWith(longClip());
    PNQButton *button = editor->playPauseBtn();
    const QImage pauseLook = plainButtonLook(QStringLiteral("Join/btnPause"), button->size());
    const QImage playLook = plainButtonLook(QStringLiteral("Join/btnPlay"), button->size());
    ASSERT_NE(pauseLook, playLook);
    EXPECT_EQ(look(button), playLook);
    editor->play();
    ASSERT_TRUE(button->selected());
    EXPECT_EQ(look(button), pauseLook);
    editor->pause();
    EXPECT_EQ(look(button), playLook);
}

TEST_F(EditorPreviewTrimTest, SecondTimerReplacesTheFirstAndPauseEndsIt)
{
    openWith(smallClip());
    editor->addTimer();
    const auto first = editor->timer();
    editor->addTimer();
    EXPECT_FALSE(first->isValid());
    EXPECT_TRUE(editor->timer()->isValid());
    EXPECT_EQ(editor->timer()->mode(), platform::Timer::Default);
    EXPECT_DOUBLE_EQ(editor->timer()->timeInterval(), 0.1);
    editor->play();
    editor->pause();
    EXPECT_FALSE(editor->timer());
    EXPECT_FALSE(editor->isPlaying());
}

TEST_F(EditorPreviewTrimTest, DraggingThePositionWhilePausedSeeksWithoutPlaying)
{
    openWith(longClip());
    editor->actionMouseDownForProgressSliderBlock(editor->progressSlider(), 0.0f);
    editor->actionProgressForProgressSliderBlock(editor->progressSlider(), 0.5f);
    editor->actionMouseUpForProgressSliderBlock(editor->progressSlider(), 0.5f);
    EXPECT_NEAR(playerSeconds(), 62.75, 0.001);
    EXPECT_EQ(editor->currentTimeLabel()->stringValue(), QStringLiteral("00:01:02.75"));
    EXPECT_FALSE(editor->isPlaying());
    EXPECT_FALSE(editor->timer());
}

TEST_F(EditorPreviewTrimTest, SetStartAndStopAtThePlayhead)
{
    openWith(longClip());
    auto *bar = editor->cutProgressView();
    const double D = 125.5;

    seek(30);
    editor->setStartTrimBtnTouchUp();
    EXPECT_EQ(texts(editor->startTimeFields()), (QStringList{QStringLiteral("00"), QStringLiteral("00"),
                                                             QStringLiteral("30"), QStringLiteral("00")}));
    EXPECT_DOUBLE_EQ(editor->cutTimeRange_start(), 30000000.0);
    EXPECT_EQ(editor->fileData()->cutTimeRange_start(), 30000000);
    EXPECT_FLOAT_EQ(bar->lowerValue(), float(30 / D));

    seek(62.25);
    editor->setStopTrimBtnTouchUp();
    EXPECT_EQ(texts(editor->stopTimeFields()), (QStringList{QStringLiteral("00"), QStringLiteral("01"),
                                                            QStringLiteral("02"), QStringLiteral("25")}));
    EXPECT_EQ(editor->fileData()->cutTimeRange_stop(), 62250000);
    EXPECT_FLOAT_EQ(bar->upperValue(), float(62.25 / D));

    // A stop before the start takes the start back to the beginning.
    seek(20);
    editor->setStopTrimBtnTouchUp();
    EXPECT_EQ(texts(editor->startTimeFields()), QStringList(4, QStringLiteral("00")));
    EXPECT_DOUBLE_EQ(editor->cutTimeRange_start(), 0.0);
    EXPECT_EQ(editor->fileData()->cutTimeRange_start(), 0);
    EXPECT_FLOAT_EQ(bar->lowerValue(), 0.0f);

    // A start after the stop moves the stop to the end.
    seek(100);
    editor->setStartTrimBtnTouchUp();
    EXPECT_DOUBLE_EQ(editor->cutTimeRange_stop(), D * 1000000.0);
    EXPECT_EQ(editor->fileData()->cutTimeRange_stop(), 125500000);
    EXPECT_FLOAT_EQ(bar->upperValue(), 1.0f);
    EXPECT_EQ(texts(editor->stopTimeFields()), (QStringList{QStringLiteral("00"), QStringLiteral("02"),
                                                            QStringLiteral("05"), QStringLiteral("50")}));

    // Reset shows the whole clip but leaves the stored range.
    editor->resetTrimBtnTouchUp();
    EXPECT_EQ(texts(editor->startTimeFields()), QStringList(4, QStringLiteral("00")));
    EXPECT_FLOAT_EQ(bar->lowerValue(), 0.0f);
    EXPECT_FLOAT_EQ(bar->upperValue(), 1.0f);
    EXPECT_DOUBLE_EQ(editor->cutTimeRange_start(), 100000000.0);
    EXPECT_NEAR(playerSeconds(), 0.0, 1e-9);
}

TEST_F(EditorPreviewTrimTest, KeepOrDeleteSeeksAndStartsThePreview)
{
    openWith(longClip());
    seek(50);
    editor->setStartTrimBtnTouchUp();
    editor->actionPreferencesBtn(1);
    EXPECT_TRUE(editor->cutProgressView()->isFanxuan());
    EXPECT_TRUE(editor->isPlaying());
    EXPECT_LT(playerSeconds(), 1.0);
    editor->pause();
    editor->actionPreferencesBtn(0);
    EXPECT_FALSE(editor->cutProgressView()->isFanxuan());
    EXPECT_TRUE(editor->isPlaying());
    EXPECT_NEAR(playerSeconds(), 50.0, 0.5);
    editor->pause();
}

TEST_F(EditorPreviewTrimTest, TrimBarSeeksAreClampedToTheClip)
{
    openWith(longClip());
    const struct
    {
        float fraction;
        double seconds;
    } cases[] = {{-0.5f, 0.0}, {0.5f, 62.75}, {1.5f, 125.5}};
    for (const auto &c : cases) {
        editor->actionSeekToTimeForCutProgressViewBlock(editor->cutProgressView(), c.fraction);
        EXPECT_NEAR(playerSeconds(), c.seconds, 0.001) << c.fraction;
    }
}

} // namespace
