#include "editor/EditorWindowViews.h"

#include "controls/NSProgressView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

namespace {

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

} // namespace

void EditorWindowViews::buildViews(platform::Window *win)
{
    const double W = win->frame().width();
    const double H = win->frame().height();
    platform::View *content = win->contentView();

    m_backGroundView = new PNQView(content->bounds(), content);
    m_backGroundView->setAutoresizingMask(platform::View::WidthSizable | platform::View::HeightSizable);
    m_backGroundView->setBackGroundColor(kAccent);
    m_backGroundView->setBordColor(kAccent);
    m_backGroundView->setCornerRadius(5);
    m_backGroundView->setBorderWidth(2);

    m_contentBackGroundView = new PNQView(platform::Rect{}, m_backGroundView);
    m_contentBackGroundView->setBackGroundColor(Qt::white);
    m_contentBackGroundView->setBordColor(Qt::white);
    m_contentBackGroundView->setCornerRadius(5);
    m_contentBackGroundView->setBorderWidth(2);
    m_contentBackGroundView->setAutoresizesSubviews(false);

    m_funItemBackView =
        new PNQView(platform::makeRect(8, H - 88, W - 16, kToolBarHeight + 2), m_backGroundView);
    m_funItemBackView->setBackGroundColor(kAccent);
    const double stripWidth = 1 + 125 * 7;
    m_funItemContentView = new PNQView(
        platform::makeRect((W - 16 - stripWidth) / 2, 1, stripWidth, kToolBarHeight), m_funItemBackView);
    m_funItemContentView->setBackGroundColor(Qt::white);
    m_funItemContentView->setAutoresizingMask(platform::View::MinXMargin | platform::View::MaxXMargin);

    m_addfileButton = new PNQButton(platform::makeRect(8, H - 117, 130, 26), m_backGroundView);
    m_addfileButton->setBackGroundColor(QColor(90, 216, 238));
    m_addfileButton->setContentColor(Qt::white);
    m_addfileButton->setNormalBackgroundImage(image("About/btnAddFile_Normal.bmp"));
    m_addfileButton->setOnBackgroundImage(image("About/btnAddFile_On.bmp"));
    m_addfileButton->setDownBackgroundImage(image("About/btnAddFile_Down.bmp"));
    m_addfileButton->setDisAbleBackgroundImage(image("About/btnAddFile_Disable.bmp"));
    m_addfileButton->setContentTitle(LanguageService::localizedStringForKey("AddFileBtnTitle"));
    m_addfileButton->setFont(platform::FontAlias::systemFont(13));
    m_addfileButton->setCornerRadius(3);
    m_addfileButton->setBorderWidth(2);
    m_scrLabel = new platform::TextField(platform::makeRect(146, H - 115, W - 158, 22), m_backGroundView);

    m_contentLeftView = new platform::View(m_backGroundView);
    m_contentLeftView->setAutoresizesSubviews(false);
    m_contentRightView = new platform::View(m_backGroundView);
    m_musicRightView = new PNQView(platform::Rect{}, m_backGroundView);
    m_musicRightView->setBackGroundColor(kLightPanel);
    m_musicRightView->setAutoresizesSubviews(false);
    m_musicRightPlayerView = new platform::View(m_musicRightView);
    m_musicRightBottomView = new platform::View(m_musicRightView);
    m_toolMusicNofileView = new PNQView(platform::Rect{}, m_musicRightView);

    m_playerBackView = new platform::View(m_backGroundView);
    m_playerBackView->setAutoresizesSubviews(false);
    m_playerView = new PNQView(platform::Rect{}, m_playerBackView);
    m_playerView->setBackGroundColor(Qt::black);
    m_playerView->setAutoresizesSubviews(false);
    // The bar as wide as the first layout makes it (the window's width less 264), the strip in its middle;
    // the strip's flexible margins keep it there as the bar grows and shrinks.
    m_playerBottomView = new platform::View(platform::makeRect(0, 0, W - 264, 81), m_playerBackView);
    m_playerBottomChildView =
        new platform::View(platform::makeRect((W - 264 - 360) / 2, 5, 360, 36), m_playerBottomView);
    m_playerBottomChildView->setAutoresizingMask(platform::View::MinXMargin | platform::View::MaxXMargin);

    auto panel = [this](platform::View *parent) {
        auto *view = new PNQView(platform::makeRect(2, 0, kPanelWidth, kPanelHeight), parent);
        view->setBackGroundColor(kLightPanel);
        view->setCornerRadius(4);
        return view;
    };
    m_trimView = panel(m_contentLeftView);
    m_cropView = panel(m_contentLeftView);
    m_kxfxView = panel(m_contentLeftView);
    m_waterView = panel(m_contentLeftView);
    m_captionView = panel(m_contentLeftView);
    m_adjustView = panel(m_contentLeftView);
    m_musicContentView = panel(m_backGroundView);
    // The music panel holds the most: as high as the column is at the smallest window.
    m_musicContentView->setFrame(platform::makeRect(10, 0, kPanelWidth, kMusicPanelHeight));

    // Later views go on top of the white content background.
    for (QWidget *top : std::initializer_list<QWidget *>{m_funItemBackView, m_addfileButton, m_scrLabel})
        top->raise();
    for (QWidget *pinned : std::initializer_list<QWidget *>{m_funItemBackView, m_addfileButton})
        static_cast<platform::View *>(pinned)->setAutoresizingMask(platform::View::MinYMargin);
    m_funItemBackView->setAutoresizingMask(platform::View::MinYMargin | platform::View::WidthSizable);
    m_scrLabel->setAutoresizingMask(platform::View::MinYMargin | platform::View::WidthSizable);
}

void EditorWindowViews::buildOutputRow(double W)
{
    m_outputFolderLabel = new TextLabel(platform::makeRect(10, 27, 120, 18), m_backGroundView);
    m_outputFolderLabel->setText(LanguageService::localizedStringForKey("outputFolderLabelstringValue"));
    m_outputFolderLabel->setTextColor(Qt::white);
    m_exprogressLabel = new TextLabel(platform::makeRect(10, 5, 120, 18), m_backGroundView);
    m_exprogressLabel->setText(LanguageService::localizedStringForKey("progressLabelStringValue"));
    m_exprogressLabel->setTextColor(Qt::white);

    m_outputFolderValueBack = new PNQView(platform::makeRect(134, 25, 280, 22), m_backGroundView);
    m_outputFolderValueBack->setCornerRadius(4);
    m_outputFolderValueBack->setBackGroundColor(kAccent);

    m_scrFolderBtn = new PNQButton(platform::makeRect(420, 25, 22, 22), m_backGroundView);
    m_scrFolderBtn->setNormalImage(image("SubFun/btnBrowse_Down.png"));

    m_exportProgressView =
        new NSProgressView(platform::makeRect(134, 9, W - 158 - 134, 10), m_backGroundView);

    // These pictures are whole button faces, so they are drawn stretched over the button.
    m_startExportBtn = new PNQButton(platform::makeRect(W - 148, 5, 140, 40), m_backGroundView);
    m_startExportBtn->setAutoresizingMask(platform::View::MinXMargin);
    m_startExportBtn->setNormalBackgroundImage(image("SubFun/btnStart_Normal.bmp"));
    m_startExportBtn->setOnBackgroundImage(image("SubFun/btnStart_On.bmp"));
    m_startExportBtn->setDownBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setSelectedBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setDisAbleBackgroundImage(image("SubFun/btnStart_Disable.bmp"));
    m_startExportBtn->setFont(platform::FontAlias::systemFont(18));
    m_startExportBtn->setContentColor(Qt::white);
    m_startExportBtn->setLeftIconWidth(20);
    m_startExportBtn->setContentImagePosition(0);
    m_startExportBtn->setContentTitle(LanguageService::localizedStringForKey("StartExportTitle"));
}

void EditorWindowViews::hiddenMusicViewPlay(bool hidden)
{
    for (QWidget *view : {m_musicRightPlayerView.data(), m_musicRightBottomView.data()})
        if (view)
            view->setVisible(!hidden);
    if (m_toolMusicNofileView)
        m_toolMusicNofileView->setVisible(hidden);
    if (!hidden || !m_toolMusicNofileView)
        return;
    m_toolMusicNofileView->setCornerRadius(5);
    m_toolMusicNofileView->setBorderWidth(2);
    m_toolMusicNofileView->setBordColor(QColor(214, 212, 212));
    if (!m_toolMusicNofileView->findChildren<TextLabel *>().isEmpty())
        return;
    const char *keys[] = {
        VW_KEY("toolMusicNofileDescLabelstringValue"), VW_KEY("toolMusicNofileDescLabel1stringValue"),
        VW_KEY("toolMusicNofileDescLabel2stringValue"), VW_KEY("toolMusicNofileDescLabel3stringValue"),
        VW_KEY("toolMusicNofileDescLabel4stringValue")};
    // From the top down, pinned there when the area resizes.
    double y = m_toolMusicNofileView->frame().height() - 80;
    for (const char *key : keys) {
        auto *label = new TextLabel(platform::makeRect(40, y, 600, 26), m_toolMusicNofileView);
        label->setAutoresizingMask(platform::View::MinYMargin);
        label->setText(LanguageService::localizedStringForKey(key));
        label->setTextFont(platform::FontAlias::systemFont(16));
        label->setTextColor(Qt::darkGray);
        y -= 34;
    }
}

