#include "toolkit/OutputFormatChooser.h"

#include "controls/Button.h"
#include "controls/MouseMoveButton.h"
#include "controls/PNQButton.h"
#include "controls/RDCustomButton.h"
#include "platform/Bundle.h"
#include "platform/Format.h"
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/EditorOutputSettings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

const char *const kNineKeys[] = {"extName_SelectTitle",   "vcodec_SelectTitle",      "resolution_SelectTitle",
                                 "framerate_SelectTitle", "bitate_SelectTitle",      "acodec_SelectTitle",
                                 "achannel_SelectTitle",  "asamplerate_SelectTitle", "abitate_SelectTitle"};

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// A profile whose every value names profile `n`, so that the keys show which profile was applied.
QString profileText(int n)
{
    return platform::qformat(
        "[Main]\nExtName=e%d\n[Parameter]\nvcodec=v%d,{v%d}\ns=%dx%d,{%dx%d}\nr=%d,{%d}\n"
        "b=%d,{%d}\nacodec=a%d,{a%d}\nac=2(Stereo),{1,2(Stereo)}\nar=%d,{%d}\nab=%d,{%d}\n",
        n, n, n, 100 + n, 50 + n, 100 + n, 50 + n, 20 + n, 20 + n, 1000 + n, 1000 + n, n, n, 44000 + n,
        44000 + n, 100 + n, 100 + n);
}

// Two categories: "Many" with 17 profiles p01..p17, "Mixed" with "Keep Original" and m1, m2.
class ProfileTree
{
public:
    ProfileTree()
    {
        const QString root = m_dir.path();
        writeFile(root + QStringLiteral("/pf.dat"),
                  QStringLiteral("[frmFormat]\nCount=2\nType1=Many\nType2=Mixed\n"));
        QDir(root).mkpath(QStringLiteral("Many"));
        QDir(root).mkpath(QStringLiteral("Mixed"));
        for (int n = 1; n <= 17; ++n)
            writeFile(root + platform::qformat("/Many/p%02d.pf", n), profileText(n));
        writeFile(root + QStringLiteral("/Mixed/Keep Original.pf"),
                  QStringLiteral("[Main]\nExtName=mkv\n[Parameter]\nvcodec=,{h264}\nacodec=,{aac}\n"));
        writeFile(root + QStringLiteral("/Mixed/m1.pf"), profileText(31));
        writeFile(root + QStringLiteral("/Mixed/m2.pf"), profileText(32));
    }

    // The library over the tree (its folder is relative to the main bundle's resources).
    ProfileLibrary library() const
    {
        return ProfileLibrary(QDir(platform::Bundle::main().resourcePath()).relativeFilePath(m_dir.path()));
    }
    QString path(const QString &relative) const { return m_dir.path() + u'/' + relative; }

private:
    QTemporaryDir m_dir;
};

class OutputFormatChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(ProfileLibrary::customFolder()).removeRecursively();
        for (const char *key : {"selectFunListItemIndex", "selectItemIndex", "Many_selectFunctionOfsetIndex",
                                "Mixed_selectFunctionOfsetIndex", "Custom_selectFunctionOfsetIndex"})
            defaults().remove(QString::fromLatin1(key));
        for (const char *key : kNineKeys)
            defaults().remove(QString::fromLatin1(key));
    }
    void TearDown() override { QDir(ProfileLibrary::customFolder()).removeRecursively(); }

    // Builds the chooser in a shown window and opens it as the editor does.
    void open()
    {
        window = std::make_unique<platform::View>(platform::makeRect(0, 0, 1000, 700));
        chooser = new OutputFormatChooser(tree.library(), 1000, window.get());
        chooser->applyProfileBlock = [this](const QString &path) {
            events.append(QStringLiteral("apply ") + path);
        };
        chooser->clearOutputSettingsBlock = [this] { events.append(QStringLiteral("clear")); };
        window->show();
        chooser->actionFunctionItem(nullptr);
    }

    // A real click in the middle of a widget.
    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void clickProfile(int tag) { click(chooser->itemButtons().at(tag - 1)); }
    void clickTab(int index) { chooser->actionFunctionItem(chooser->function_Items().at(index - 1)); }

    ProfileTree tree;
    std::unique_ptr<platform::View> window;
    OutputFormatChooser *chooser = nullptr;
    QStringList events;
};

TEST(OutputFormatChooserLayout, ASingleTabStandsAtTheRowsStartAndTheArrowsKeepTheirInset)
{
    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/pf.dat"), QStringLiteral("[frmFormat]\nCount=1\nType1=Only\n"));
    QDir(dir.path()).mkpath(QStringLiteral("Only"));
    writeFile(dir.path() + QStringLiteral("/Only/o1.pf"), profileText(1));
    const ProfileLibrary library(QDir(platform::Bundle::main().resourcePath()).relativeFilePath(dir.path()));
    platform::View window(platform::makeRect(0, 0, 1000, 700));
    auto *chooser = new OutputFormatChooser(library, 1000, &window);
    ASSERT_EQ(chooser->function_Items().size(), 1);
    EXPECT_DOUBLE_EQ(chooser->function_Items().first()->frame().minX(), 0) << "no spacing to spread by";

    chooser->setArrowInset(36);
    chooser->layoutForWindow(platform::Size{1000, 700}, 1000);
    const double band = chooser->frame().width();
    EXPECT_DOUBLE_EQ(chooser->left_move_item_Btn()->frame().minX(), 36);
    EXPECT_DOUBLE_EQ(chooser->right_move_item_Btn()->frame().minX(), band - 28 - 36);
    EXPECT_DOUBLE_EQ(chooser->left_move_item_Btn()->frame().minY(), (180 - 28) / 2.0);
}

TEST_F(OutputFormatChooserTest, OpeningMarksTheFirstProfileWithoutApplyingIt)
{
    defaults().setValue(QStringLiteral("selectFunListItemIndex"), 2);
    defaults().setValue(QStringLiteral("selectItemIndex"), 7);
    defaults().setValue(QStringLiteral("Many_selectFunctionOfsetIndex"), 2);

    open();

    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(defaults().integer(QStringLiteral("selectFunListItemIndex")), 1);
    EXPECT_EQ(defaults().integer(QStringLiteral("selectItemIndex")), 1);
    EXPECT_EQ(defaults().integer(QStringLiteral("Many_selectFunctionOfsetIndex")), 0);
    EXPECT_EQ(chooser->functionItemTitle(), QStringLiteral("Many"));
    EXPECT_TRUE(chooser->function_Items().at(0)->selected());
    EXPECT_FALSE(chooser->function_Items().at(1)->selected());
    EXPECT_TRUE(chooser->itemSelectView()->isVisible());
    EXPECT_EQ(chooser->itemSelectView()->frame(), chooser->itemButtons().at(0)->frame());
    EXPECT_TRUE(chooser->gearButtons().at(0)->isVisible());
    EXPECT_EQ(chooser->showFunctionBtn()->contentTitle(),
              platform::qformat(LanguageService::localizedStringForKey("Target Format: %@"), "p01"));
    EXPECT_EQ(chooser->showFunctionBtn()->font().pixelSize(), 14);
    EXPECT_EQ(chooser->itemSelectView()->imageFrameStyle(), ImageView::FrameStyle::GrayBezel);

    clickProfile(5);

    EXPECT_EQ(events, QStringList{QStringLiteral("apply ") + tree.path(QStringLiteral("Many/p05.pf"))});
    EXPECT_EQ(defaults().integer(QStringLiteral("selectItemIndex")), 5);
    EXPECT_EQ(chooser->itemSelectView()->frame().minX(), 400);
    EXPECT_FALSE(chooser->gearButtons().at(0)->isVisible());
    EXPECT_TRUE(chooser->gearButtons().at(4)->isVisible());
}

TEST_F(OutputFormatChooserTest, SeventeenProfilesMakeThreePages)
{
    open();
    ASSERT_EQ(chooser->itemButtons().size(), 17);
    auto *left = chooser->left_move_item_Btn();
    auto *right = chooser->right_move_item_Btn();

    const struct
    {
        bool forward;
        int64_t page;
        bool leftEnabled;
        bool rightEnabled;
    } steps[] = {
        {true, 1, true, true},  {true, 2, true, false},  {true, 2, true, false},
        {false, 1, true, true}, {false, 0, false, true}, {false, 0, false, true},
    };
    EXPECT_FALSE(left->isEnabled());
    EXPECT_TRUE(right->isEnabled());
    for (const auto &step : steps) {
        SCOPED_TRACE(step.page);
        // The actions themselves, so that the steps past either end show the clamping.
        if (step.forward)
            chooser->action_right_move_item_Btn(right);
        else
            chooser->action_left_move_item_Btn(left);
        EXPECT_EQ(chooser->selectFunctionOfsetIndex(), step.page);
        EXPECT_EQ(defaults().integer(QStringLiteral("Many_selectFunctionOfsetIndex")), step.page);
        EXPECT_EQ(chooser->stripScrollX(), 800 * step.page);
        EXPECT_EQ(left->isEnabled(), step.leftEnabled);
        EXPECT_EQ(right->isEnabled(), step.rightEnabled);
    }
    click(right);
    EXPECT_EQ(chooser->selectFunctionOfsetIndex(), 1) << "a click on the arrow pages";
    // Each page of 8 pitches starts with its first profile; the strip is 100 x 90 points a page.
    EXPECT_EQ(chooser->itemButtons().at(16)->frame().minX(), 1600);
    EXPECT_EQ(chooser->functionItemDocumentView()->frame().width(), 3 * 100 * 90);
}

TEST_F(OutputFormatChooserTest, AProfileOfAKeepOriginalCategoryClearsFirstAndResetsThePage)
{
    open();
    clickTab(2);
    EXPECT_FALSE(chooser->itemSelectView()->isVisible());
    EXPECT_EQ(chooser->functionItemChilds(),
              (QStringList{QStringLiteral("Keep Original"), QStringLiteral("m1"), QStringLiteral("m2")}));
    defaults().setValue(QStringLiteral("Mixed_selectFunctionOfsetIndex"), 3);

    clickProfile(3);

    EXPECT_EQ(events, (QStringList{QStringLiteral("clear"),
                                   QStringLiteral("apply ") + tree.path(QStringLiteral("Mixed/m2.pf"))}));
    EXPECT_EQ(defaults().integer(QStringLiteral("Mixed_selectFunctionOfsetIndex")), 0);
    EXPECT_EQ(defaults().integer(QStringLiteral("selectFunListItemIndex")), 2);
    EXPECT_EQ(defaults().integer(QStringLiteral("selectItemIndex")), 3);
}

TEST_F(OutputFormatChooserTest, OnlyTheLastChosenCategoryGetsItsMarkBackAndIsAppliedAgain)
{
    open();
    clickTab(2);
    clickProfile(2);
    events.clear();

    clickTab(1);
    EXPECT_FALSE(chooser->itemSelectView()->isVisible());
    EXPECT_TRUE(events.isEmpty());

    clickTab(2);
    EXPECT_TRUE(chooser->itemSelectView()->isVisible());
    EXPECT_EQ(chooser->itemSelectView()->frame().minX(), 100);
    EXPECT_EQ(events, (QStringList{QStringLiteral("clear"),
                                   QStringLiteral("apply ") + tree.path(QStringLiteral("Mixed/m1.pf"))}));
}

TEST_F(OutputFormatChooserTest, ClickingProfileKWritesExactlyItsNineKeysAndKeepOriginalRemovesThem)
{
    EditorOutputSettings settings(tree.library());
    open();
    settings.connectChooser(chooser);

    for (int k : {1, 9, 17}) {
        SCOPED_TRACE(k);
        clickProfile(k);
        const QString expected[] = {platform::qformat("e%d", k),
                                    platform::qformat("v%d", k),
                                    platform::qformat("%dx%d", 100 + k, 50 + k),
                                    platform::qformat("%d", 20 + k),
                                    platform::qformat("%d", 1000 + k),
                                    platform::qformat("a%d", k),
                                    QStringLiteral("2(Stereo)"),
                                    platform::qformat("%d", 44000 + k),
                                    platform::qformat("%d", 100 + k)};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(defaults().string(QString::fromLatin1(kNineKeys[i])), expected[i]) << kNineKeys[i];
    }

    clickTab(2);
    clickProfile(1);
    for (const char *key : kNineKeys)
        EXPECT_FALSE(defaults().contains(QString::fromLatin1(key))) << key;
    EXPECT_TRUE(settings.vcodecSelectTitle().isEmpty());
}

TEST_F(OutputFormatChooserTest, ACustomProfileIsReadFromTheCustomFolder)
{
    const QString custom = ProfileLibrary::customFolder();
    ASSERT_TRUE(QDir().mkpath(custom));
    writeFile(custom + QStringLiteral("/Mine.pf"), profileText(77));
    QImage icon(80, 80, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(icon.save(custom + QStringLiteral("/Mine.png")));

    EditorOutputSettings settings(tree.library());
    open();
    settings.connectChooser(chooser);
    ASSERT_EQ(chooser->functionList().first(), QStringLiteral("Custom"));
    ASSERT_EQ(chooser->functionItemChilds(), QStringList{QStringLiteral("Mine")});
    EXPECT_FALSE(chooser->itemButtons().at(0)->normalImage().isNull());

    clickProfile(1);

    // Only the custom file holds these values.
    EXPECT_EQ(defaults().string(QStringLiteral("vcodec_SelectTitle")), QStringLiteral("v77"));
    EXPECT_EQ(defaults().string(QStringLiteral("extName_SelectTitle")), QStringLiteral("e77"));
}

TEST_F(OutputFormatChooserTest, TheHeaderCollapsesOnlyOnShortScreens)
{
    const struct
    {
        double screenHeight;
        bool toggles;
    } cases[] = {{700, true}, {780, true}, {781, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.screenHeight);
        open();
        chooser->setMainScreenHeight(c.screenHeight);
        QList<bool> reported;
        chooser->collapseChangedBlock = [&](bool collapsed) { reported.append(collapsed); };

        click(chooser->showFunctionBtn());
        EXPECT_TRUE(reported.isEmpty()) << "the toggle waits for the main queue";
        TestEnvironment::processEvents();

        EXPECT_EQ(chooser->isCollapsed(), c.toggles);
        EXPECT_EQ(reported, c.toggles ? QList<bool>{true} : QList<bool>{});
    }
}

TEST_F(OutputFormatChooserTest, TheCollapsedLayoutHidesTheStripTabsAndArrows)
{
    open();
    chooser->setMainScreenHeight(700);
    click(chooser->showFunctionBtn());
    TestEnvironment::processEvents();
    ASSERT_TRUE(chooser->isCollapsed());

    chooser->layoutForWindow(platform::Size{1000, 700}, 1000);

    EXPECT_EQ(chooser->frame(), platform::makeRect(4, 50, 992, 32));
    EXPECT_EQ(chooser->tabbarbackView()->frame(), platform::makeRect(0, -148, 992, 152));
    for (QWidget *view : {static_cast<QWidget *>(chooser->functionView()),
                          static_cast<QWidget *>(chooser->functionItemScrollview()),
                          static_cast<QWidget *>(chooser->left_move_item_Btn()),
                          static_cast<QWidget *>(chooser->right_move_item_Btn())})
        EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(chooser->showFunctionBtn()->isVisible());
}

} // namespace

TEST_F(OutputFormatChooserTest, ReopeningShowsThePageThatHoldsTheSavedChoice)
{
    // A choice on page 1 whose stored page reads 0 (as a "Keep Original" category leaves it).
    defaults().setValue(QStringLiteral("selectFunListItemIndex"), 1);
    defaults().setValue(QStringLiteral("selectItemIndex"), 12);
    defaults().setValue(QStringLiteral("Many_selectFunctionOfsetIndex"), 0);
    window = std::make_unique<platform::View>(platform::makeRect(0, 0, 1000, 700));
    chooser = new OutputFormatChooser(tree.library(), 1000, window.get());
    window->show();

    chooser->restoreSavedChoice();

    EXPECT_EQ(chooser->stripScrollX(), 800);
    const platform::Rect marker = chooser->itemSelectView()->frame();
    EXPECT_TRUE(chooser->itemSelectView()->isVisible());
    EXPECT_GE(marker.minX(), chooser->stripScrollX());
    EXPECT_LE(marker.maxX(), chooser->stripScrollX() + OutputFormatChooser::StripWidth);
    EXPECT_TRUE(chooser->left_move_item_Btn()->isEnabled());
}
