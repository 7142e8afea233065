#include "toolkit/ClipListEditor.h"

#include "controls/PNQButton.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"

#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace controltest;

namespace {

std::shared_ptr<SimpleData> clip(const QString &name, float seconds = 10)
{
    auto item = std::make_shared<SimpleData>();
    item->setPath(QStringLiteral("/media/") + name);
    item->sourceData()->setWidth(160);
    item->sourceData()->setHeight(90);
    item->sourceData()->setDuration(seconds);
    return item;
}

struct ClipListEditorTest : ::testing::Test
{
    ClipListEditorTest()
    {
        host.root.addSubview(view);
        host.root.addSubview(hint);
        editor.setTableView(view);
        editor.setEmptyHint(hint);
        view->selectItemBlock = [this](const std::shared_ptr<SimpleData> &) { ++selections; };
    }

    void load(std::initializer_list<std::shared_ptr<SimpleData>> clips, int64_t selected)
    {
        editor.items()->append(QList<std::shared_ptr<SimpleData>>(clips));
        view->setItems(editor.items());
        view->setSelectedRow(selected);
        view->setDisabelSelectBlock(true);
        view->reloadData();
        selections = 0;
    }

    QStringList names() const
    {
        QStringList out;
        for (const auto &item : *editor.items())
            out << item->path().section(u'/', -1);
        return out;
    }

    Host host{400, 300, Qt::white};
    JoinnerTableView *view = new JoinnerTableView(platform::makeRect(0, 0, 400, 240));
    platform::View *hint = new platform::View(platform::makeRect(0, 0, 400, 240));
    ClipListEditor editor;
    int selections = 0;
};

} // namespace

TEST_F(ClipListEditorTest, MovesKeepTheMovedClipSelectedAndStopAtTheEnds)
{
    struct Case
    {
        int64_t selected;
        bool up;
        bool moved;
        QStringList order;
        int64_t selectedAfter;
    };
    const QStringList abc = {"a", "b", "c"};
    const std::vector<Case> cases = {
        {1, true, true, {"b", "a", "c"}, 0},
        {1, false, true, {"a", "c", "b"}, 2},
        {0, true, false, abc, 0},
        {2, false, false, abc, 2},
        {-1, true, false, abc, -1},
        {-1, false, false, abc, -1},
        {3, true, false, abc, 3},
        {3, false, false, abc, 3},
    };
    for (const Case &c : cases) {
        editor.items()->clear();
        load({clip("a"), clip("b"), clip("c")}, c.selected);
        const bool moved = c.up ? editor.moveSelectedUp() : editor.moveSelectedDown();
        const std::string where = std::to_string(c.selected) + (c.up ? " up" : " down");
        EXPECT_EQ(moved, c.moved) << where;
        EXPECT_EQ(names(), c.order) << where;
        EXPECT_EQ(view->selectedRow(), c.selectedAfter) << where;
        EXPECT_EQ(selections, 0) << where << ": a move must not rebuild the preview";
    }
}

TEST_F(ClipListEditorTest, RemoveDropsOnlyTheSelectedClipAndClearEmptiesTheView)
{
    load({clip("a"), clip("b"), clip("c")}, 1);
    EXPECT_EQ(editor.selectedClip()->path(), "/media/b");
    ASSERT_TRUE(editor.removeSelected());
    EXPECT_EQ(names(), (QStringList{"a", "c"}));
    EXPECT_EQ(view->cells().size(), 2);

    view->setSelectedRow(5);
    EXPECT_EQ(editor.selectedClip(), nullptr);
    EXPECT_FALSE(editor.removeSelected()) << "a row past the end removes nothing";
    EXPECT_EQ(names(), (QStringList{"a", "c"}));

    editor.clear();
    EXPECT_TRUE(editor.items()->isEmpty());
    EXPECT_TRUE(view->cells().isEmpty());
    EXPECT_EQ(editor.selectedClip(), nullptr);
    EXPECT_FALSE(editor.removeSelected());
}

TEST_F(ClipListEditorTest, AppendPreparesEachClipAndNamesTheRefusedFilesInOneText)
{
    const QString none =
        editor.append({clip("a"), clip("b")}, {}, [](SimpleData &item) { item.setVolume(1.5); });
    EXPECT_TRUE(none.isEmpty());
    ASSERT_EQ(editor.items()->size(), 2);
    for (const auto &item : *editor.items())
        EXPECT_DOUBLE_EQ(item->volume(), 1.5);

    const QString refused = editor.append({}, {"/x/broken.mp4", "/y/z/notes.doc"}, {});
    EXPECT_EQ(refused, LanguageService::localizedStringForKey("nonsupportfilesstringValue") +
                           QStringLiteral("broken.mp4,notes.doc"));
    EXPECT_EQ(editor.items()->size(), 2);
}

TEST_F(ClipListEditorTest, ApplyRangeToOthersFitsEachClipAndCopiesTheMode)
{
    // The source is 60 s long and shows 10 s .. 40 s on the bar; it removes that range.
    const auto source = clip("source", 60);
    source->setCutTimeRange_start(10000000);
    source->setCutTimeRange_stop(40000000);
    source->setIsTrimFanxuan(true);
    const auto longer = clip("longer", 100), shorter = clip("shorter", 35), tiny = clip("tiny", 20);
    const auto undescribed = clip("undescribed");
    undescribed->setSourceData(nullptr);
    load({longer, source, shorter, tiny, undescribed}, 1);

    editor.applyRangeToOthers(*source, 10.0f / 60, 40.0f / 60);

    EXPECT_EQ(source->cutTimeRange_start(), 10000000) << "the source keeps its own range";
    EXPECT_EQ(source->cutTimeRange_stop(), 40000000);
    struct Expect
    {
        std::shared_ptr<SimpleData> item;
        int64_t start, stop;
    };
    for (const Expect &e : {Expect{longer, 10000000, 40000000}, Expect{shorter, 5000000, 35000000},
                            Expect{tiny, 0, 20000000}, Expect{undescribed, 0, 0}}) {
        // Float seconds: a microsecond either way is the same range.
        EXPECT_NEAR(double(e.item->cutTimeRange_start()), double(e.start), 8) << e.item->path().toStdString();
        EXPECT_NEAR(double(e.item->cutTimeRange_stop()), double(e.stop), 8) << e.item->path().toStdString();
        EXPECT_TRUE(e.item->isTrimFanxuan()) << e.item->path().toStdString();
    }
}

TEST_F(ClipListEditorTest, HintReplacesTheListAndItsButtonsWhichLogAndRunTheirActions)
{
    std::vector<int> ran;
    editor.buildButtons(&host.root,
                        {platform::makeRect(0, 250, 90, 28), platform::makeRect(100, 250, 90, 28),
                         platform::makeRect(200, 250, 90, 28), platform::makeRect(300, 250, 90, 28)},
                        {[&] { ran.push_back(0); }, [&] { ran.push_back(1); }, [&] { ran.push_back(2); },
                         [&] { ran.push_back(3); }});
    EXPECT_EQ(editor.removeBtn()->contentTitle(), LanguageService::localizedStringForKey("RemoveBtnTitle"));
    EXPECT_EQ(editor.downBtn()->contentTitle(), LanguageService::localizedStringForKey("DownBtnTitle"));

    editor.setHintShown(true);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_FALSE(view->isVisible());
    for (PNQButton *button : editor.buttons())
        EXPECT_FALSE(button->isVisible());

    editor.setHintShown(false);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_TRUE(view->isVisible());
    platform::LogCapture log;
    for (PNQButton *button : editor.buttons()) {
        ASSERT_TRUE(button->isVisible());
        click(button, 5, 5);
    }
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    for (const char *line : {"selectRemove", "selectClear", "selectUp", "selectDown"})
        EXPECT_TRUE(log.contains(line)) << line;
}
