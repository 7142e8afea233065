// The easy cutter's window as a user sees it: the elapsed time after a seek by the range bar, the cut
// column inside the panel, the merge box apart from its text, and a new cut's picture upright.
#include "EasyCutterTestWindow.h"

#include "cutters/CutItem.h"
#include "model/HelpClass.h"
#include "platform/Window.h"

#include <QTest>

using easycuttest::EasyCutterWindowTest;

namespace {

// 4 s, 160 x 90 coded, stored as turned a quarter clockwise: shown 90 x 160, as a phone films it.
QString portraitClip()
{
    fixture::Spec spec;
    spec.duration = 4;
    spec.displayRotation = 90;
    return QString::fromStdString(fixture::sharedFixture("portrait.mp4", spec));
}

QRect inWindow(QWidget *w)
{
    return QRect(w->mapTo(w->window(), QPoint()), w->size());
}

} // namespace

TEST_F(EasyCutterWindowTest, ASeekByTheRangeBarShowsItsTime)
{
    openWith(easycuttest::longClip());
    cutter->actionSeekToTimeForCutProgressViewBlock(cutter->cutprogressView(), 10.0f / cutter->duration());
    EXPECT_EQ(cutter->currentTimeLabel()->text(), HelpClass::returnTimeToStr(10.0f));
}

TEST_F(EasyCutterWindowTest, TheCutColumnAndTheMergeBoxSitInsideTheirRoom)
{
    open();
    QWidget *column = cutter->fileItemListView();
    const QRect panel = inWindow(column->parentWidget());
    EXPECT_TRUE(panel.adjusted(4, 4, -4, -4).contains(inWindow(column)))
        << "the column keeps a margin inside the panel";

    const QRect box = inWindow(cutter->merageBtn());
    const QRect text = inWindow(cutter->merageTitleBtn());
    EXPECT_GE(text.left() - box.right(), 4) << "a gap between the box and its text";
    EXPECT_EQ(text.center().y(), box.center().y());
    // Either part ticks the box.
    QTest::mouseClick(cutter->merageTitleBtn(), Qt::LeftButton);
    TestEnvironment::processEvents();
    EXPECT_TRUE(cutter->merageBtn()->selected());
}

TEST_F(EasyCutterWindowTest, ANewCutOfAPortraitClipHasAnUprightPicture)
{
    openWith(portraitClip());
    cutter->cutprogressView()->setUpperValue(1);
    cutter->cutprogressView()->setLowerValue(0);
    cutter->cutAction();
    ASSERT_EQ(cutter->cutList().count(), 1);
    const QImage picture = cutter->cutList().cutAt(0)->thumbImage;
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.height(), picture.width());
}
