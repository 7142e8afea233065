#include "toolkit/JoinnerTableView.h"

#include "controls/ImageView.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/TextLabel.h"
#include "model/SimpleData.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/JoinnerCell.h"

#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <vector>

using namespace controltest;

namespace {

// A clip as the probe leaves it: a picture of width x height (0 x 0 = sound only), 10 s, 12.34 MB.
std::shared_ptr<SimpleData> clip(const QString &name, int width = 160, int height = 90)
{
    auto item = std::make_shared<SimpleData>();
    item->setPath(QStringLiteral("/media/") + name);
    item->sourceData()->setWidth(width);
    item->sourceData()->setHeight(height);
    item->sourceData()->setDuration(10);
    item->sourceData()->setFileSize(12.34f);
    return item;
}

struct ListFixture : ::testing::Test
{
    ListFixture()
    {
        host.root.addSubview(&list);
        list.setRowHeight(60);
    }
    ~ListFixture() override { list.setParent(nullptr); }

    // The join window's set-up: every block set, the selections recorded.
    void joinMode()
    {
        list.selectItemBlock = [this](const std::shared_ptr<SimpleData> &item) {
            selections.push_back(item);
        };
        list.selectDefaultOutputFormatBlock = [this](const std::shared_ptr<SimpleData> &item) {
            formats.push_back({item, item->defaultFormat()});
        };
        list.selectTranstionEffectBlock = [this](int64_t row, int code) {
            transitions.push_back({row, code});
        };
    }

    void load(std::initializer_list<std::shared_ptr<SimpleData>> clips)
    {
        items = std::make_shared<JoinnerTableView::ItemList>(clips);
        list.setItems(items);
        list.reloadData();
    }

    // A click on the row's empty left margin, below the thumbnail.
    void clickRow(int row) { click(list.cells().at(row), 2, 2); }

    std::vector<bool> highlighted() const
    {
        std::vector<bool> out;
        for (JoinnerCell *cell : list.cells())
            out.push_back(cell->selected());
        return out;
    }

    Host host{600, 300, Qt::white};
    JoinnerTableView list{platform::makeRect(0, 0, 600, 300)};
    std::shared_ptr<JoinnerTableView::ItemList> items;
    std::vector<std::shared_ptr<SimpleData>> selections;
    std::vector<std::pair<std::shared_ptr<SimpleData>, bool>> formats;
    std::vector<std::pair<int64_t, int>> transitions;
};

TEST_F(ListFixture, EmptyListHasNoRowsAndFillsTheVisibleArea)
{
    joinMode();
    load({});
    EXPECT_TRUE(list.cells().isEmpty());
    EXPECT_EQ(list.selectedItem(), nullptr);
    EXPECT_DOUBLE_EQ(list.scrollContentView()->frame().height(), 300);
    EXPECT_TRUE(selections.empty());
}

TEST_F(ListFixture, ReloadStacksRowsFromTheTopAndSelectsRowZero)
{
    joinMode();
    load({clip("a.mp4"), clip("b.mp4"), clip("c.mp4")});
    ASSERT_EQ(list.cells().size(), 3);
    // Each row has a 3-point gap above it; row 0 is the top one.
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(list.cells().at(i)->frame().origin.y, 300 - (i + 1) * 63.0) << i;
    EXPECT_EQ(list.selectedRow(), 0);
    EXPECT_EQ(list.selectedItem(), items->at(0));
    EXPECT_EQ(highlighted(), (std::vector<bool>{true, false, false}));
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0], items->at(0));

    // More rows than fit: the content grows past the visible area.
    load({clip("1"), clip("2"), clip("3"), clip("4"), clip("5"), clip("6")});
    EXPECT_DOUBLE_EQ(list.scrollContentView()->frame().height(), 6 * 63.0);
}

TEST_F(ListFixture, RowsSpanAListFilledBeforeItIsShown)
{
    // A window fills its list before it shows it; the rows must still end at the list's right edge,
    // where the check box and the pop-up sit.
    JoinnerTableView hidden(platform::makeRect(0, 0, 500, 200));
    hidden.setRowHeight(60);
    hidden.selectTranstionEffectBlock = [](int64_t, int) {};
    hidden.setItems(std::make_shared<JoinnerTableView::ItemList>(
        JoinnerTableView::ItemList{clip("a.mp4"), clip("b.mp4")}));
    hidden.reloadData();
    host.root.addSubview(&hidden);
    QCoreApplication::processEvents();
    JoinnerCell *cell = hidden.cells().at(0);
    EXPECT_EQ(cell->mapTo(&hidden, QPoint(cell->width(), 0)).x(), 500);
    EXPECT_EQ(cell->effectBtn()->mapTo(&hidden, QPoint(cell->effectBtn()->width(), 0)).x(), 500 - 8);
    hidden.setParent(nullptr);
}

TEST_F(ListFixture, ClicksSelectAndTheFlagSilencesOnlyTheListsOwnSelection)
{
    joinMode();
    load({clip("a.mp4"), clip("b.mp4"), clip("c.mp4")});
    selections.clear();

    clickRow(2);
    EXPECT_EQ(highlighted(), (std::vector<bool>{false, false, true}));
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0], items->at(2));
    // A click on the highlighted row does nothing.
    clickRow(2);
    EXPECT_EQ(selections.size(), 1u);

    // Moving a clip up: the list reselects without telling the client.
    items->swapItemsAt(2, 1);
    list.setSelectedRow(1);
    list.setDisabelSelectBlock(true);
    list.reloadData();
    EXPECT_EQ(selections.size(), 1u);
    EXPECT_EQ(list.selectedItem(), items->at(1));
    EXPECT_EQ(highlighted(), (std::vector<bool>{false, true, false}));
    // The flag holds for further reloads until the user clicks a row.
    list.reloadData();
    EXPECT_EQ(selections.size(), 1u);
    clickRow(0);
    EXPECT_FALSE(list.disabelSelectBlock());
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(selections[1], items->at(0));
    EXPECT_EQ(highlighted(), (std::vector<bool>{true, false, false}));
    // A reload after a click (a trim edit) keeps the clicked row highlighted.
    list.setDisabelSelectBlock(true);
    list.reloadData();
    EXPECT_EQ(highlighted(), (std::vector<bool>{true, false, false}));

    // A selected row past the end highlights nothing and keeps the selected item.
    list.setSelectedRow(7);
    list.reloadData();
    EXPECT_EQ(highlighted(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(list.selectedItem(), items->at(0));

    // setItems() falls back to row 0.
    items->removeAt(0);
    list.setItems(items);
    EXPECT_EQ(list.selectedRow(), 0);
    EXPECT_EQ(list.oldSelectedRow(), -1);
    EXPECT_EQ(list.selectedItem(), items->at(0));
}

TEST_F(ListFixture, CheckBoxKeepsAtMostOneFormatAndReportsAfterClearingTheOthers)
{
    joinMode();
    auto first = clip("a.mp4");
    first->setDefaultFormat(true);
    load({first, clip("b.mp4"), clip("c.mp4")});
    EXPECT_TRUE(list.cells().at(0)->defaultoutputformat()->selected());

    PNQButton *box = list.cells().at(2)->defaultoutputformat();
    click(box, 10, 10);
    EXPECT_TRUE(formats.empty()) << "the report goes through the main queue";
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !formats.empty(); }));
    EXPECT_EQ(formats[0].first, items->at(2));
    EXPECT_TRUE(formats[0].second);
    EXPECT_FALSE(items->at(0)->defaultFormat());
    EXPECT_FALSE(list.cells().at(0)->defaultoutputformat()->selected());
    EXPECT_TRUE(box->selected());

    click(box, 10, 10);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return formats.size() == 2; }));
    EXPECT_EQ(formats[1].first, items->at(2));
    EXPECT_FALSE(formats[1].second);
    for (const auto &item : *items)
        EXPECT_FALSE(item->defaultFormat());
    EXPECT_TRUE(selections.size() == 1) << "a box click does not select its row";
}

TEST_F(ListFixture, TransitionPopUpWritesTheItemAndReportsTheRow)
{
    joinMode();
    load({clip("a.mp4"), clip("b.mp4")});
    platform::PopUpButton *popUp = list.cells().at(0)->effectBtn();
    ASSERT_EQ(popUp->numberOfItems(), 4);
    EXPECT_EQ(popUp->itemTitleAtIndex(3), LanguageService::localizedStringForKey("FADEOUTItemTitle"));

    popUp->chooseItemAtIndex(3);
    EXPECT_EQ(items->at(0)->transitionEffect(), 3);
    ASSERT_EQ(transitions.size(), 1u);
    EXPECT_EQ(transitions[0], (std::pair<int64_t, int>{0, 3}));

    // A reload shows the stored choice.
    list.reloadData();
    EXPECT_EQ(list.cells().at(0)->effectBtn()->indexOfSelectedItem(), 3);
}

TEST_F(ListFixture, TransitionsAreHiddenOnTheLastRowAndOnRowsWithoutPicture)
{
    joinMode();
    struct Case
    {
        std::vector<bool> pictures;
        std::vector<bool> transitionShown;
        std::vector<bool> boxShown;
    };
    const std::vector<Case> cases = {
        {{true}, {false}, {true}},
        {{true, true}, {true, false}, {true, true}},
        {{true, false, true}, {true, false, false}, {true, false, true}},
        // A sound-only last row: the row before it keeps its transition.
        {{true, true, false}, {true, true, false}, {true, true, false}},
    };
    for (const Case &c : cases) {
        auto list_ = std::make_shared<JoinnerTableView::ItemList>();
        for (bool picture : c.pictures)
            list_->append(picture ? clip("v.mp4") : clip("a.m4a", 0, 0));
        items = list_;
        list.setItems(items);
        list.reloadData();
        for (size_t i = 0; i < c.pictures.size(); ++i) {
            JoinnerCell *cell = list.cells().at(int(i));
            EXPECT_EQ(!cell->effectBtn()->isHidden(), c.transitionShown[i])
                << c.pictures.size() << " row " << i;
            EXPECT_EQ(!cell->effectLabel()->isHidden(), c.transitionShown[i])
                << c.pictures.size() << " row " << i;
            EXPECT_EQ(!cell->defaultoutputformat()->isHidden(), c.boxShown[i])
                << c.pictures.size() << " row " << i;
        }
    }
}

TEST_F(ListFixture, DisabledListIgnoresClicksAndLocksBoxesAndTransitions)
{
    joinMode();
    load({clip("a.mp4"), clip("b.mp4")});
    selections.clear();
    list.setEnabele(false);
    // A reload while a join runs keeps the rows locked.
    list.reloadData();
    selections.clear();
    for (JoinnerCell *cell : list.cells()) {
        EXPECT_FALSE(cell->enabele());
        EXPECT_FALSE(cell->defaultoutputformat()->isEnabled());
        EXPECT_FALSE(cell->effectBtn()->isEnabled());
    }
    clickRow(1);
    click(list.cells().at(1)->defaultoutputformat(), 10, 10);
    TestEnvironment::processEvents();
    TestEnvironment::processEvents();
    EXPECT_TRUE(selections.empty());
    EXPECT_TRUE(formats.empty());
    EXPECT_EQ(list.selectedRow(), 0);

    list.setEnabele(true);
    EXPECT_TRUE(list.cells().at(0)->effectBtn()->isEnabled());
    EXPECT_TRUE(list.cells().at(1)->defaultoutputformat()->isEnabled());
    clickRow(1);
    EXPECT_EQ(selections.size(), 1u);
}

TEST_F(ListFixture, BatchModeHasNoBoxNoTransitionAndARowProgress)
{
    list.selectItemBlock = [this](const std::shared_ptr<SimpleData> &item) { selections.push_back(item); };
    load({clip("a.mp4"), clip("b.mp4"), clip("c.mp4")});
    for (JoinnerCell *cell : list.cells()) {
        EXPECT_TRUE(cell->defaultoutputformat()->isHidden());
        EXPECT_TRUE(cell->effectBtn()->isHidden());
        EXPECT_TRUE(cell->effectLabel()->isHidden());
        EXPECT_TRUE(cell->progress()->isHidden());
    }
    selections.clear();

    list.showProgress(1);
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_FALSE(list.cells().at(1)->progress()->isHidden());
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0], items->at(1));
    // The row selected before keeps its highlight until the next selection.
    EXPECT_EQ(highlighted(), (std::vector<bool>{true, true, false}));

    list.setExportProgress(0.5f);
    EXPECT_FALSE(list.cells().at(1)->progress()->isHidden());
    EXPECT_FLOAT_EQ(list.cells().at(1)->progress()->progress(), 0.5f);
    for (float done : {1.0f, -1.0f}) {
        list.setExportProgress(0.25f);
        list.setExportProgress(done);
        EXPECT_TRUE(list.cells().at(1)->progress()->isHidden()) << done;
    }

    list.showProgress(2);
    EXPECT_FALSE(list.cells().at(2)->progress()->isHidden());
    // Two files exporting at once: each row's own bar, whichever is selected.
    list.setExportProgress(int64_t(0), 0.75f);
    EXPECT_FLOAT_EQ(list.cells().at(0)->progress()->progress(), 0.75f);
    EXPECT_FALSE(list.cells().at(0)->progress()->isHidden());
    EXPECT_EQ(list.selectedRow(), 2);
    list.hiddenProgress(2);
    EXPECT_TRUE(list.cells().at(2)->progress()->isHidden());
    // Rows past the end are ignored.
    list.showProgress(3);
    list.hiddenProgress(3);
    EXPECT_EQ(list.selectedRow(), 2);
}

TEST_F(ListFixture, RowShowsTheClipsFigures)
{
    joinMode();
    auto item = clip("holiday.mkv", 1920, 1080);
    item->sourceData()->setDuration(3725.5f);
    item->setCutTimeRange_start(1500000);
    item->setCutTimeRange_stop(4000000);
    load({item});
    JoinnerCell *cell = list.cells().at(0);
    EXPECT_EQ(cell->scrLabel()->text(), QStringLiteral("holiday.mkv"));
    EXPECT_EQ(cell->sourceDurationLabel()->text(), QStringLiteral("01:02:05.50"));
    EXPECT_EQ(cell->sourceFrameLabel()->text(), QStringLiteral("1920x1080"));
    EXPECT_EQ(cell->sourceSizeLabel()->text(), QStringLiteral("12.3MB"));
    EXPECT_EQ(cell->cuttedTimeLabel()->text(), QStringLiteral("00:00:02.50"));

    const std::vector<std::pair<float, QString>> sizes = {
        {1.0f, "1.0MB"}, {2048.0f, "2048.0MB"}, {0.5f, "500.0KB"}, {0.0004f, "400.0B"}};
    for (const auto &[megabytes, text] : sizes)
        EXPECT_EQ(JoinnerCell::sizeText(megabytes), text) << megabytes;
}

// The share of the thumbnail place covered by the picture's colour, by rows and columns.
struct Coverage
{
    int rows = 0;
    int columns = 0;
};

Coverage coverage(ImageView *view, const QColor &color)
{
    const QImage shot = controltest::shot(view);
    Coverage c;
    for (int y = 0; y < shot.height(); ++y)
        if (shot.pixelColor(shot.width() / 2, y) == color)
            ++c.rows;
    for (int x = 0; x < shot.width(); ++x)
        if (shot.pixelColor(x, shot.height() / 2) == color)
            ++c.columns;
    return c;
}

TEST_F(ListFixture, ThumbnailIsScaledIntoItsPlaceKeepingItsShape)
{
    joinMode();
    // Thumbnails are 180 pixels high with the picture's own shape: wide and portrait.
    auto wide = clip("wide.mp4", 1920, 1080);
    wide->setThumbImage(solid(Qt::red, 320, 180));
    auto tall = clip("tall.mp4", 1080, 1920);
    tall->setThumbImage(solid(Qt::red, 101, 180));
    load({wide, tall});
    QCoreApplication::processEvents();

    ImageView *wideView = list.cells().at(0)->thumbImageView();
    ASSERT_DOUBLE_EQ(wideView->frame().width(), 76);
    ASSERT_DOUBLE_EQ(wideView->frame().height(), 48);
    // 16:9 in 76 x 48: the full width, about 43 of the 48 rows.
    const Coverage w = coverage(wideView, Qt::red);
    EXPECT_EQ(w.columns, 76);
    EXPECT_NEAR(w.rows, 43, 1);
    // 101:180 in 76 x 48: all 48 rows, about 27 columns.
    const Coverage t = coverage(list.cells().at(1)->thumbImageView(), Qt::red);
    EXPECT_EQ(t.rows, 48);
    EXPECT_NEAR(t.columns, 27, 1);
}

TEST_F(ListFixture, SoundOnlyClipWithoutThumbnailShowsTheAudioIcon)
{
    joinMode();
    load({clip("song.m4a", 0, 0)});
    const QImage icon = ResourceService::imageWithfileName("Cut/musicIconB.png");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(list.cells().at(0)->thumbImageView()->image(), icon);
}

} // namespace

// In the join window's 600-point list, no text of a row runs into another text or control of the row, in
// any language: the longer translations of the check box's title once ran into the source's size, and the
// box stands 240 points from the row's right end.
TEST(JoinnerRowLayout, ABatchRowsProgressCoversNoText)
{
    // The batch cutter's list is 384 points wide; the joiner's 600.
    for (const double width : {384.0, 600.0}) {
        SCOPED_TRACE(width);
        Host host{int(width), 200, Qt::white};
        JoinnerTableView list{platform::makeRect(0, 0, width, 200)};
        host.root.addSubview(&list);
        list.setRowHeight(60);
        list.setItems(std::make_shared<JoinnerTableView::ItemList>(
            JoinnerTableView::ItemList{clip(QStringLiteral("a.mp4")), clip(QStringLiteral("b.mp4"))}));
        list.reloadData();
        list.showProgress(0);
        JoinnerCell *cell = list.cells().at(0);
        const QRectF bar = QRectF(cell->progress()->geometry());
        ASSERT_FALSE(cell->progress()->isHidden());
        EXPECT_TRUE(QRectF(cell->rect()).contains(bar));
        EXPECT_GE(bar.width(), 100);

        std::vector<QRectF> texts;
        platform::View::setDrawnTextObserver([&](const platform::View::DrawnText &t) {
            if (t.widget && cell->isAncestorOf(t.widget) && !t.text.trimmed().isEmpty())
                texts.push_back(QFontMetricsF(t.font)
                                    .boundingRect(t.room, t.flags, t.text)
                                    .translated(t.widget->mapTo(cell, QPoint(0, 0))));
        });
        cell->grab();
        platform::View::setDrawnTextObserver(nullptr);
        ASSERT_GE(texts.size(), 6u);
        for (const QRectF &text : texts)
            EXPECT_FALSE(text.intersects(bar)) << text.x() << "," << text.y();
        list.setParent(nullptr);
    }
}

TEST(JoinnerRowLayout, NoTextRunsIntoAnotherInAnyLanguage)
{
    for (int language = 0; language < LanguageService::languageSetSize(); ++language) {
        platform::UserDefaults::standard().setValue(QStringLiteral("AppLanguage"), language);
        LanguageService::setLanguage();
        Host host{600, 200, Qt::white};
        JoinnerTableView list{platform::makeRect(0, 0, 600, 200)};
        host.root.addSubview(&list);
        list.setRowHeight(60);
        list.setItems(std::make_shared<JoinnerTableView::ItemList>(
            JoinnerTableView::ItemList{clip(QStringLiteral("a.mp4")), clip(QStringLiteral("b.mp4"))}));
        list.reloadData();
        JoinnerCell *cell = list.cells().at(0);

        struct Part
        {
            QRectF rect;
            const QWidget *owner;
            QString text;
        };
        std::vector<Part> parts;
        platform::View::setDrawnTextObserver([&](const platform::View::DrawnText &t) {
            if (!t.widget || !cell->isAncestorOf(t.widget) || t.text.trimmed().isEmpty())
                return;
            const QRectF ink = QFontMetricsF(t.font).boundingRect(t.room, t.flags, t.text);
            parts.push_back({ink.translated(t.widget->mapTo(cell, QPoint(0, 0))), t.widget, t.text});
        });
        cell->grab();
        platform::View::setDrawnTextObserver(nullptr);
        ASSERT_GE(parts.size(), 6u);
        for (const QWidget *control : {static_cast<const QWidget *>(cell->effectBtn()),
                                       static_cast<const QWidget *>(cell->defaultoutputformat())})
            parts.push_back({QRectF(control->geometry()), control, QStringLiteral("(control)")});

        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_TRUE(QRectF(cell->rect()).contains(parts[i].rect))
                << LanguageService::currentLanguageFolder().toStdString() << ": "
                << parts[i].text.toStdString();
            for (size_t j = i + 1; j < parts.size(); ++j) {
                const QWidget *a = parts[i].owner, *b = parts[j].owner;
                if (a == b || a->isAncestorOf(b) || b->isAncestorOf(a))
                    continue;
                EXPECT_FALSE(parts[i].rect.intersects(parts[j].rect))
                    << LanguageService::currentLanguageFolder().toStdString() << ": \""
                    << parts[i].text.toStdString() << "\" runs into \"" << parts[j].text.toStdString()
                    << "\"";
            }
        }
        list.setParent(nullptr);
    }
    platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
    LanguageService::setLanguage();
}
