// The interface language as the user switches it while the application runs: Qt's own dialogs follow it,
// profile categories and "Keep Original" are shown in it, the controls stay where they are placed, and
// the language list marks the language in use and opens inside the window.
#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "controls/TextLabel.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "profiles/ProfileLibrary.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFormatChooser.h"
#include "controls/PNQButton.h"
#include "controls/RDCustomButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct LanguageCase
{
    int n;
    const char *folder;
    const char *fileNameLabel; // Qt's open panel, from Qt's own catalogue of the language
    const char *openButton;
    const char *videoTab; // the chooser's first category
    const char *keepOriginalHeader;
};

const LanguageCase kLanguages[] = {
    {0, "en", "File &name:", "&Open", "Video", "Target Format: Keep Original"},
    {1, "zh-Hans", "文件名称(&N)：", "打开(&O)", "视频", "目标格式：保持原样"},
    {2, "zh-Hant", "檔名(&N)：", "開啟(&O)", "視訊", "目標格式：保持原樣"},
    {3, "fr", "&Nom de fichier :", "&Ouvrir", "Vidéo", "Format cible : Garder l'original"},
    {4, "de", "Datei&name:", "&Öffnen", "Videoformate", "Zielformat: Original beibehalten"},
    {5, "ja", "ファイル名(&N):", "開く(&O)", "映像", "出力形式：元のまま"},
    {6, "es", "&Nombre de fichero:", "&Abrir", "Vídeo", "Formato de destino: Mantener original"},
    {7, "pt-PT", "&Nome do Ficheiro:", "&Abrir", "Vídeo", "Formato de destino: Manter original"},
    {8, "ar", "ا&سم الملفّ:", "ا&فتح", "الفيديو", "تنسيق الإخراج: الإبقاء على الأصل"},
};

class LocalisationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
        LanguageService::setLanguage();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
    }

    void TearDown() override
    {
        m_delegate.reset();
        platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
        platform::UserDefaults::standard().remove(QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey));
        LanguageService::setLanguage();
        TestEnvironment::processDeferredDeletes();
    }

    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(LocalisationTest, EachLanguageReachesQtDialogsAndProfileNamesWhileRunning)
{
    for (const LanguageCase &c : kLanguages) {
        SCOPED_TRACE(c.folder);
        m_delegate->langeuagePopBtn()->chooseItemAtIndex(c.n + 1);
        TestEnvironment::processEvents();
        ASSERT_EQ(LanguageService::currentLanguageFolder(), QString::fromLatin1(c.folder));

        QFileDialog panel;
        panel.setOption(QFileDialog::DontUseNativeDialog);
        EXPECT_EQ(panel.labelText(QFileDialog::FileName), QString::fromUtf8(c.fileNameLabel));
        EXPECT_EQ(panel.labelText(QFileDialog::Accept), QString::fromUtf8(c.openButton));
        // Arabic mirrors no control: the layout stays left to right.
        EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        EXPECT_EQ(panel.layoutDirection(), Qt::LeftToRight);

        platform::UserDefaults::standard().remove(QStringLiteral("selectFunListItemIndex"));
        platform::UserDefaults::standard().remove(QStringLiteral("selectItemIndex"));
        const ProfileLibrary library = ProfileLibrary::editor();
        OutputFormatChooser chooser(library, 800);
        chooser.actionFunctionItem(nullptr);
        ASSERT_FALSE(chooser.function_Items().isEmpty());
        EXPECT_EQ(chooser.function_Items().first()->title(), QString::fromUtf8(c.videoTab));
        // The stored names stay English: they name folders and settings keys.
        EXPECT_EQ(chooser.functionItemTitle(), QStringLiteral("Video"));
        ASSERT_EQ(chooser.functionItemChilds().value(0), QStringLiteral("Keep Original"));
        EXPECT_EQ(chooser.showFunctionBtn()->contentTitle(), QString::fromUtf8(c.keepOriginalHeader));
    }
    // Back to English: Qt's catalogue is dropped again.
    m_delegate->langeuagePopBtn()->chooseItemAtIndex(1);
    EXPECT_FALSE(LanguageService::qtCatalogueLoaded());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("File &name:"));
}

// A long caption ("Musik hinzufügen/entfernen") wraps rather than shrinking to the smallest size against
// the tile's lower edge.
TEST_F(LocalisationTest, LauncherCaptionsStayReadableAndClearOfTheTileEdge)
{
    for (const LanguageCase &c : kLanguages) {
        SCOPED_TRACE(c.folder);
        m_delegate->langeuagePopBtn()->chooseItemAtIndex(c.n + 1);
        for (int tool = 0; tool < ViewController::ToolCount; ++tool) {
            TextLabel *caption = m_delegate->viewController()->caption(ViewController::Tool(tool));
            SCOPED_TRACE(caption->text().toStdString());
            EXPECT_GE(QFontInfo(caption->drawnFont()).pixelSize(), 11);
            EXPECT_GE(caption->frame().minY(), 1);
        }
    }
    m_delegate->langeuagePopBtn()->chooseItemAtIndex(5);
    TextLabel *music = m_delegate->viewController()->caption(ViewController::Music);
    EXPECT_GE(music->frame().minY(), 4) << "a wrapped caption keeps clear of the edge";
}

TEST_F(LocalisationTest, LanguageListMarksTheLanguageInUse)
{
    QComboBox *list = m_delegate->langeuagePopBtn()->comboBox();
    auto marked = [&] {
        QList<int> rows;
        for (int i = 0; i < list->count(); ++i)
            if (list->itemData(i, Qt::FontRole).value<QFont>().bold())
                rows << i;
        return rows;
    };
    EXPECT_EQ(marked(), QList<int>{1}) << "English at first start";
    m_delegate->langeuagePopBtn()->chooseItemAtIndex(9);
    EXPECT_EQ(marked(), QList<int>{9});
    // The mark is drawn: the entry in use has a visible tick, the others a blank of the same size.
    const QImage tick = list->itemIcon(9).pixmap(14, 14).toImage();
    const QImage blank = list->itemIcon(1).pixmap(14, 14).toImage();
    EXPECT_NE(tick, blank);
    EXPECT_EQ(tick.size(), blank.size());
}

TEST_F(LocalisationTest, LanguageListOpensInsideTheWindow)
{
    for (int n : {0, 8, 4}) {
        SCOPED_TRACE(n);
        m_delegate->langeuagePopBtn()->chooseItemAtIndex(n + 1);
        platform::Window *window = m_delegate->mainWindow();
        window->move(20, 20);
        window->show();
        TestEnvironment::processEvents();
        QComboBox *list = m_delegate->langeuagePopBtn()->comboBox();
        list->showPopup();
        TestEnvironment::processEvents();
        QWidget *popup = list->view()->window();
        ASSERT_TRUE(popup->isVisible());
        EXPECT_TRUE(window->geometry().contains(popup->geometry()))
            << "pop-up at " << popup->geometry().x() << "," << popup->geometry().y() << " "
            << popup->geometry().width() << "x" << popup->geometry().height() << ", window at "
            << window->geometry().x() << "," << window->geometry().y() << " " << window->geometry().width()
            << "x" << window->geometry().height();
        list->hidePopup();
        TestEnvironment::processEvents();
    }
}

} // namespace
