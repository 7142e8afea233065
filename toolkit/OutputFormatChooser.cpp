#include "toolkit/OutputFormatChooser.h"

#include "controls/Button.h"
#include "controls/PNQButton.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

const QString kListKey = QStringLiteral("selectFunListItemIndex");
const QString kItemKey = QStringLiteral("selectItemIndex");

constexpr double kChooserHeight = 180;
constexpr double kCollapsedHeight = 32;
constexpr double kBackHeight = 152;
constexpr double kArrowSize = 28;
constexpr double kGearSize = 28;
// The document view is 15 points lower than the strip, as the marker and the buttons are.
constexpr double kDocumentHeight = OutputFormatChooser::StripHeight - 15;

QImage resourceImage(const char *name)
{
    return ResourceService::imageWithfileName(QString::fromLatin1(name));
}

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

int64_t pagesFor(qsizetype count)
{
    return (count + OutputFormatChooser::ProfilesPerPage - 1) / OutputFormatChooser::ProfilesPerPage;
}

} // namespace

OutputFormatChooser::OutputFormatChooser(const ProfileLibrary &library, double windowWidth, QWidget *parent)
    : PNQImageView(platform::makeRect(4, 50, windowWidth - 8, kChooserHeight), parent), m_library(library),
      m_windowsWidth(static_cast<float>(windowWidth)), m_backgroundWidth(windowWidth)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_mainScreenHeight = screen ? screen->geometry().height() : 0;
    m_functionList = m_library.displayedFunctionList();
    initTabbarView();
    initfunctionView();
}

OutputFormatChooser::~OutputFormatChooser() = default;

QString OutputFormatChooser::pageKey(const QString &category)
{
    return platform::qformat("%@_selectFunctionOfsetIndex", category);
}

void OutputFormatChooser::initTabbarView()
{
    const platform::Rect bounds = frame();
    m_tabbarbackView = new ImageView(platform::makeRect(0, 0, bounds.width(), bounds.height() - 28), this);
    m_tabbarbackView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_tabbarbackView->setImage(resourceImage("Resources/WSCategoryBack.png"));

    const double arrowY = (bounds.height() - 28) / 2;
    m_leftMoveItemBtn =
        new MouseMoveButton(platform::makeRect(m_arrowInset, arrowY, kArrowSize, kArrowSize), this);
    m_leftMoveItemBtn->setImage(resourceImage("Resources/left_nor.png"));
    m_leftMoveItemBtn->action = [this](Button *sender) { action_left_move_item_Btn(sender); };
    m_leftMoveItemBtn->setMouseDelegate(this);
    m_rightMoveItemBtn = new MouseMoveButton(
        platform::makeRect(bounds.width() - kArrowSize - m_arrowInset, arrowY, kArrowSize, kArrowSize), this);
    m_rightMoveItemBtn->setImage(resourceImage("Resources/right_nor.png"));
    m_rightMoveItemBtn->action = [this](Button *sender) { action_right_move_item_Btn(sender); };
    m_rightMoveItemBtn->setMouseDelegate(this);
}

void OutputFormatChooser::initfunctionView()
{
    m_functionView = new platform::View(
        platform::makeRect((m_windowsWidth - FunctionViewWidth) / 2, 0, FunctionViewWidth, 28), this);
    // The tabs' light titles need a dark ground: the strip's grey, under the strip.
    m_functionView->setBackgroundColor(QColor(134, 140, 147));
    const auto count = m_functionList.size();
    // One category has no pitch to spread by: its tab stands at the row's start.
    const float pitch =
        count > 1 ? static_cast<float>((FunctionViewWidth - TabWidth * count) / (count - 1) + TabWidth)
                  : 0.0f;
    for (qsizetype i = 0; i < count; ++i) {
        auto *tab = new RDCustomButton(platform::makeRect(i * pitch, 1, TabWidth, TabHeight), m_functionView);
        tab->setIndex(static_cast<int32_t>(i + 1));
        tab->setSelectedBackImage(resourceImage("Resources/selImageView.png"));
        tab->setHightideBackImage(resourceImage("Resources/selImageView.png"));
        tab->setNormalTitleColor(QColor(207, 207, 207, qRound(0.8 * 255)));
        tab->setSelectedTitleColor(QColor(255, 255, 255, qRound(0.8 * 255)));
        tab->setCellTextPosition(4);
        tab->setFontsize(13);
        tab->setTitle(ProfileLibrary::displayName(m_functionList[i]));
        tab->setSelected(false);
        tab->setDelegate(this);
        m_functionItems.append(tab);
    }

    const platform::Rect bounds = frame();
    m_showFunctionBtn =
        new PNQButton(platform::makeRect(m_windowsWidth / 2 - 145, bounds.height() - 29, 280, 30), this);
    m_showFunctionBtn->setContentColor(Qt::black);
    m_showFunctionBtn->setFont(platform::FontAlias::systemFont(14));
    m_showFunctionBtn->setContentTitle(QString());
    const QImage head = resourceImage("Resources/CategoryHead.png");
    m_showFunctionBtn->setNormalBackgroundImage(head);
    m_showFunctionBtn->setOnBackgroundImage(head);
    m_showFunctionBtn->setDownBackgroundImage(head);
    m_showFunctionBtn->setSelectedBackgroundImage(head);
    m_showFunctionBtn->setDisAbleBackgroundImage(head);
    m_showFunctionBtn->setSelected(false);
    m_showFunctionBtn->setFont(platform::FontAlias::fontNamed(QStringLiteral(".AppleSystemUIFont"), 14)
                                   .value_or(platform::FontAlias::systemFont(14)));
    m_showFunctionBtn->mouseDownAction = [this](PNQButton *) { showFunctionBtnClicked(); };

    if (m_mainScreenHeight < CollapsibleScreenHeight) {
        const platform::Rect head = m_showFunctionBtn->frame();
        m_showFunctionIconView = new PNQImageView(
            platform::makeRect(head.width() - 40, (head.height() - 10) / 2 + 3, 8, 10), m_showFunctionBtn);
        m_showFunctionBtn->setTitleRightMargin(44);
        updateCollapseIcon();
    }
}

void OutputFormatChooser::showFunctionBtnClicked()
{
    if (m_mainScreenHeight > CollapsibleScreenHeight)
        return;
    QPointer<OutputFormatChooser> self(this);
    platform::dispatchMain([self] {
        if (!self)
            return;
        self->m_showFunctionBtn->setSelected(!self->m_showFunctionBtn->selected());
        self->updateCollapseIcon();
        if (self->collapseChangedBlock)
            self->collapseChangedBlock(self->isCollapsed());
    });
}

void OutputFormatChooser::updateCollapseIcon()
{
    if (m_showFunctionIconView)
        m_showFunctionIconView->setNormalImage(
            resourceImage(isCollapsed() ? "Resources/Extend.png" : "Resources/shrink.png"));
}

bool OutputFormatChooser::isCollapsed() const
{
    return m_showFunctionBtn->selected();
}

void OutputFormatChooser::setCollapsed(bool collapsed)
{
    m_showFunctionBtn->setSelected(collapsed);
    updateCollapseIcon();
}

void OutputFormatChooser::actionMouseUpForCustomButtonBlock(RDCustomButton *tab)
{
    actionFunctionItem(tab);
}

void OutputFormatChooser::mouseupEntered(MouseMoveButton *button)
{
    if (button == m_leftMoveItemBtn)
        action_left_move_item_Btn(button);
    else if (button == m_rightMoveItemBtn)
        action_right_move_item_Btn(button);
}

void OutputFormatChooser::actionFunctionItem(RDCustomButton *tab)
{
    if (m_functionList.isEmpty())
        return;
    m_selectFunListItemIndex = defaults().integer(kListKey);
    const bool clicked = tab != nullptr;
    if (!clicked) {
        m_functionItemTitle = m_functionList.first();
        m_selectFunctionOfsetIndex = 0;
        m_selectItemIndex = 1;
        m_selectFunListItemIndex = 1;
        defaults().setValue(kItemKey, 1);
        defaults().setValue(pageKey(m_functionItemTitle), 0);
        defaults().setValue(kListKey, 1);
        tab = m_functionItems.value(0);
    } else {
        m_needRefreshlocalSettingsData = true;
    }
    for (RDCustomButton *item : std::as_const(m_functionItems))
        item->setSelected(item->index() == tab->index());

    initFunctionItemView(tab->index());
    checkLeft_fight_btn_isDisable(pageCount());
    m_selectFunListItemIndex = categoryPosition();
    // A tab that is not the last chosen profile's category shows its profiles unmarked.
    if (clicked && m_selectFunListItemIndex != defaults().integer(kListKey))
        return;
    m_itemSelectView->setFrame(
        platform::makeRect((m_selectItemIndex - 1) * ItemPitch, 0, ItemWidth, kDocumentHeight));
    m_itemSelectView->show();
}

void OutputFormatChooser::restoreSavedChoice()
{
    if (m_functionList.isEmpty())
        return;
    int64_t tab = defaults().integer(kListKey);
    int64_t item = defaults().integer(kItemKey);
    const int64_t profiles =
        tab >= 1 && tab <= m_functionList.size() ? m_library.getFunctionItemChildList(m_functionList[tab - 1]).size() : 0;
    if (item < 1 || item > profiles) {
        tab = 1;
        item = 1;
    }
    defaults().setValue(kListKey, QVariant::fromValue<qlonglong>(tab));
    defaults().setValue(kItemKey, QVariant::fromValue<qlonglong>(item));
    // The strip opens on the page that holds the choice, so its marker is in sight (a page stored by an
    // older version, or paged away from since, may be another).
    defaults().setValue(pageKey(m_functionList[tab - 1]),
                        QVariant::fromValue<qlonglong>((item - 1) / ProfilesPerPage));
    // A restored choice is applied like a click.
    m_needRefreshlocalSettingsData = true;
    actionFunctionItem(m_functionItems.value(tab - 1));
}

void OutputFormatChooser::initFunctionItemView(int64_t k)
{
    if (m_functionList.isEmpty())
        return;
    m_functionItemTitle = m_functionList.value(std::clamp<int64_t>(k - 1, 0, m_functionList.size() - 1));
    m_selectFunctionOfsetIndex = storedPage(m_functionItemTitle);
    m_selectItemIndex = defaults().integer(kItemKey);
    if (m_selectItemIndex == 0 && m_functionItemTitle == m_functionList.first())
        m_selectItemIndex = 1;
    m_functionItemChilds = m_library.getFunctionItemChildList(m_functionItemTitle);

    // The old strip may be on the stack below us (a gear's click that ran a modal window).
    if (m_functionItemScrollview) {
        m_functionItemScrollview->hide();
        m_functionItemScrollview->deleteLater();
    }
    m_itemButtons.clear();
    m_gearButtons.clear();
    const double backHeight = m_tabbarbackView->frame().height();
    m_functionItemScrollview =
        new platform::View(platform::makeRect((m_backgroundWidth - StripWidth) / 2,
                                              28 + (backHeight - 28 - 100) / 2 - 5, StripWidth, StripHeight),
                           this);
    m_functionItemScrollview->setBackgroundColor(QColor(134, 140, 147));
    // 9000 points a page: wider than the 800 points a page scrolls by, so the last page is never short.
    const double documentWidth = double(pageCount()) * ItemPitch * ItemWidth;
    m_documentView = new platform::View(platform::makeRect(0, 0, documentWidth, kDocumentHeight),
                                        m_functionItemScrollview);

    m_itemSelectView = new PNQImageView(platform::Rect{}, m_documentView);
    m_itemSelectView->setImageFrameStyle(ImageView::FrameStyle::GrayBezel);
    m_itemSelectView->hide();
    platform::log("functionItemView.frame.size.width : %f", documentWidth);

    for (qsizetype i = 0; i < m_functionItemChilds.size(); ++i) {
        const QString &name = m_functionItemChilds[i];
        auto *button =
            new PNQButton(platform::makeRect(i * ItemPitch, 0, ItemWidth, kDocumentHeight), m_documentView);
        button->setIndex(i + 1);
        button->setContentTitle(QString());
        const QString iconPath = m_library.iconPath(m_functionItemTitle, name);
        const QImage icon = iconPath.isEmpty() ? QImage() : QImage(iconPath);
        button->setNormalImage(icon);
        button->setDownImage(icon);
        button->setOnImage(icon);
        button->mouseDownAction = [this](PNQButton *sender) { actionFunctionItemScrollChild(sender); };

        auto *gear = new Button(platform::makeRect(ItemWidth - kGearSize, 0, kGearSize, kGearSize), button);
        gear->setImage(resourceImage("Resources/setingParam.png"));
        const int64_t tag = i + 1;
        gear->action = [this, tag](Button *) {
            if (editSettingsBlock)
                editSettingsBlock(tag);
        };
        gear->hide();
        m_itemButtons.append(button);
        m_gearButtons.append(gear);
    }
    m_functionItemScrollview->setHidden(isCollapsed());

    // A stored position past the end (a profile removed since) restores nothing.
    if (m_selectItemIndex != 0 && defaults().integer(kListKey) == k &&
        m_selectItemIndex <= m_itemButtons.size())
        actionFunctionItemScrollChild(m_itemButtons[m_selectItemIndex - 1]);
}

void OutputFormatChooser::actionFunctionItemScrollChild(PNQButton *button)
{
    const int64_t tag = button->index();
    platform::log("actionItem:%ld", tag);
    if (m_functionItemChilds.contains(QLatin1String(ProfileLibrary::KeepOriginal))) {
        // The page kept is the one that holds the choice, so that coming back to the category shows it.
        m_selectFunctionOfsetIndex = (tag - 1) / ProfilesPerPage;
        defaults().setValue(pageKey(m_functionItemTitle),
                            QVariant::fromValue<qlonglong>(m_selectFunctionOfsetIndex));
        defaults().setValue(kItemKey, 0);
        if (clearOutputSettingsBlock)
            clearOutputSettingsBlock();
    }
    m_itemSelectView->setFrame(button->frame());
    m_itemSelectView->setNormalImage(resourceImage("Resources/selDVDItemBack.png"));
    m_itemSelectView->show();
    m_selectItemIndex = tag;
    defaults().setValue(kItemKey, QVariant::fromValue<qlonglong>(tag));
    m_selectFunListItemIndex = categoryPosition();
    defaults().setValue(kListKey, QVariant::fromValue<qlonglong>(m_selectFunListItemIndex));

    for (qsizetype i = 0; i < m_itemButtons.size(); ++i)
        m_gearButtons[i]->setVisible(m_itemButtons[i] == button);
    const QString name = m_functionItemChilds.value(tag - 1);
    m_showFunctionBtn->setContentTitle(
        platform::qformat(LanguageService::localizedStringForKey("Target Format: %@"),
                          ProfileLibrary::displayName(name)));

    if (!m_needRefreshlocalSettingsData) {
        m_needRefreshlocalSettingsData = true;
        return;
    }
    if (applyProfileBlock)
        applyProfileBlock(m_library.profilePath(m_functionItemTitle, name));
}

void OutputFormatChooser::action_left_move_item_Btn(Button *)
{
    int64_t page = storedPage(m_functionItemTitle);
    if (page > 0)
        --page;
    m_selectFunctionOfsetIndex = page;
    checkLeft_fight_btn_isDisable(pageCount());
}

void OutputFormatChooser::action_right_move_item_Btn(Button *)
{
    const int64_t pages = pageCount();
    int64_t page = storedPage(m_functionItemTitle);
    if (page + 1 < pages)
        ++page;
    m_selectFunctionOfsetIndex = page;
    checkLeft_fight_btn_isDisable(pages);
}

void OutputFormatChooser::checkLeft_fight_btn_isDisable(int64_t pages)
{
    const int64_t page = m_selectFunctionOfsetIndex;
    const bool leftEnabled = page >= 1;
    m_leftMoveItemBtn->setImage(
        resourceImage(leftEnabled ? "Resources/left_nor.png" : "Resources/left_dis.png"));
    m_leftMoveItemBtn->setEnabled(leftEnabled);
    const bool rightEnabled = page + 1 < pages;
    m_rightMoveItemBtn->setImage(
        resourceImage(rightEnabled ? "Resources/right_nor.png" : "Resources/right_dis.png"));
    m_rightMoveItemBtn->setEnabled(rightEnabled);
    defaults().setValue(pageKey(m_functionItemTitle), QVariant::fromValue<qlonglong>(page));
    if (m_documentView) {
        const double pageWidth = ((StripWidth - 720) / 7 + ItemWidth) * ProfilesPerPage;
        m_documentView->setFrameOrigin(platform::makePoint(-pageWidth * page, 0));
    }
}

double OutputFormatChooser::stripScrollX() const
{
    return m_documentView ? -m_documentView->frame().minX() : 0;
}

void OutputFormatChooser::layoutForWindow(platform::Size windowSize, double backgroundWidth)
{
    const bool collapsed = isCollapsed();
    m_backgroundWidth = backgroundWidth;
    setFrame(platform::makeRect(4, 50, windowSize.width - 8, collapsed ? kCollapsedHeight : kChooserHeight));
    const platform::Rect bounds = frame();
    m_tabbarbackView->setFrame(platform::makeRect(0, collapsed ? -148 : 0, bounds.width(), kBackHeight));
    m_showFunctionBtn->setFrame(
        platform::makeRect((bounds.width() - 240) / 2 - 25, bounds.height() - 29, 280, 30));
    m_functionView->setFrame(
        platform::makeRect((windowSize.width - FunctionViewWidth) / 2, 0, FunctionViewWidth, 28));
    if (m_functionItemScrollview)
        m_functionItemScrollview->setFrame(platform::makeRect((backgroundWidth - StripWidth) / 2,
                                                              28 + (kBackHeight - 28 - 100) / 2 - 5,
                                                              StripWidth, StripHeight));
    const double arrowY = (bounds.height() - 28) / 2;
    m_leftMoveItemBtn->setFrame(platform::makeRect(m_arrowInset, arrowY, kArrowSize, kArrowSize));
    m_rightMoveItemBtn->setFrame(
        platform::makeRect(bounds.width() - kArrowSize - m_arrowInset, arrowY, kArrowSize, kArrowSize));
    for (QWidget *view :
         {static_cast<QWidget *>(m_functionView), static_cast<QWidget *>(m_functionItemScrollview),
          static_cast<QWidget *>(m_leftMoveItemBtn), static_cast<QWidget *>(m_rightMoveItemBtn)}) {
        if (view)
            view->setHidden(collapsed);
    }
}

int64_t OutputFormatChooser::pageCount() const
{
    return pagesFor(m_functionItemChilds.size());
}

int64_t OutputFormatChooser::storedPage(const QString &category) const
{
    return defaults().integer(pageKey(category));
}

int64_t OutputFormatChooser::categoryPosition() const
{
    return m_functionList.indexOf(m_functionItemTitle) + 1;
}
