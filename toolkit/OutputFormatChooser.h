#pragma once
// The output-format chooser of a tool window: a row of category tabs and, under it, a horizontally paged
// strip of the category's profiles (8 per page, each a picture button), with arrows to page, a gear on
// the marked profile and a header button that shows "Target Format: <profile>" and, on short screens,
// collapses and expands the chooser.
//
// The chooser keeps its positions in the user defaults ("selectFunListItemIndex", the 1-based category
// of the last chosen profile; "selectItemIndex", that profile's 1-based position; "<category>_selectFunction-
// OfsetIndex", the page last shown for a category), shared by every tool window's chooser. It decides what
// is shown and marked; what a profile means is the owner's, reached through the callbacks below. Opening
// (actionFunctionItem(nullptr)) starts on the first category, page and profile; that first selection only
// marks its profile, every later one applies it.
//
// Frames are the window's (bottom-left origin): the chooser itself is `tabbarView`. Main thread only.
#include "controls/MouseMoveButton.h"
#include "controls/PNQImageView.h"
#include "controls/RDCustomButton.h"
#include "profiles/ProfileLibrary.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class Button;
class ImageView;
class PNQButton;

class OutputFormatChooser : public PNQImageView, private RDCustomButtonDelegate, private ButtonMouseDelegate
{
    Q_OBJECT

public:
    static constexpr int ProfilesPerPage = 8;
    static constexpr double ItemPitch = 100;
    static constexpr double ItemWidth = 90;
    static constexpr double StripWidth = 790;
    static constexpr double StripHeight = 110;
    static constexpr double FunctionViewWidth = 700;
    static constexpr double TabWidth = 120;
    static constexpr double TabHeight = 24;
    // Screens up to this height (points) let the header button collapse the chooser.
    static constexpr double CollapsibleScreenHeight = 780;

    // Builds the chooser's fixed parts (background, arrows, tabs of library.displayedFunctionList(), header
    // button) at (4, 50, windowWidth - 8, 180) inside `parent`. No category is shown until
    // actionFunctionItem(). `windowWidth` is also taken as the width of the window's background view until
    // layoutForWindow() says otherwise.
    OutputFormatChooser(const ProfileLibrary &library, double windowWidth, QWidget *parent = nullptr);
    ~OutputFormatChooser() override;

    // Shows a category: nullptr resets the chooser to the first category, page 0 and profile 1 (stored),
    // marks that profile and, while nothing has been clicked since the chooser was built, does not apply
    // it. A tab shows its category at its stored page; the marker and the profile come back only when it
    // is the category of the last chosen profile (then the profile is applied again).
    void actionFunctionItem(RDCustomButton *tab);
    // The other way of opening (the joiner's): shows the category of the last chosen profile and chooses
    // that profile again, applying it, on the page that holds it; with nothing saved (or a saved place that
    // no longer exists) the first profile of the first category is chosen and applied.
    void restoreSavedChoice();
    // Rebuilds the strip for the category of 1-based tab index `k` (0 is taken as 1) and restores the
    // choice when that category holds the last chosen profile.
    void initFunctionItemView(int64_t k);
    // Chooses profile button `button` (a button of the current strip): marks it, stores the positions,
    // shows the gear on it and the header title, and (except for the first selection after building)
    // reports its file through applyProfileBlock. In a category that holds "Keep Original",
    // clearOutputSettingsBlock runs first and the category's stored page becomes the one that holds it.
    void actionFunctionItemScrollChild(PNQButton *button);
    // The arrows: one page back or forward, kept within the category's pages.
    void action_left_move_item_Btn(Button *sender);
    void action_right_move_item_Btn(Button *sender);
    // Sets the arrows for `pages` pages at the current page, stores the page and scrolls the strip to it.
    void checkLeft_fight_btn_isDisable(int64_t pages);

    // Places the chooser and its parts for a window of `windowSize` whose background view is
    // `backgroundWidth` wide, in the collapsed or expanded form (header button selected = collapsed).
    void layoutForWindow(platform::Size windowSize, double backgroundWidth);
    // The page arrows' distance from the band's ends (16 unless set; the joiner's stand 36 in).
    void setArrowInset(double inset) { m_arrowInset = inset; }
    double arrowInset() const { return m_arrowInset; }

    // --- callbacks to the owner ---
    // The chosen profile's file (the custom folder's for "Custom"; empty when the file is missing).
    std::function<void(const QString &profilePath)> applyProfileBlock;
    // A profile of a category that holds "Keep Original" was chosen: empty the output settings.
    std::function<void()> clearOutputSettingsBlock;
    // The gear of profile `profileIndex` (1-based in functionItemChilds()) was clicked.
    std::function<void(int64_t profileIndex)> editSettingsBlock;
    // The header button toggled the collapsed form (on the main queue, after the click); the owner resizes
    // the window by 140 points and lays it out again.
    std::function<void(bool collapsed)> collapseChangedBlock;

    // --- state ---
    const ProfileLibrary &library() const { return m_library; }
    QStringList functionList() const { return m_functionList; }
    QString functionItemTitle() const { return m_functionItemTitle; }
    QStringList functionItemChilds() const { return m_functionItemChilds; }
    int64_t selectFunListItemIndex() const { return m_selectFunListItemIndex; }
    int64_t selectItemIndex() const { return m_selectItemIndex; }
    int64_t selectFunctionOfsetIndex() const { return m_selectFunctionOfsetIndex; }
    bool needRefreshlocalSettingsData() const { return m_needRefreshlocalSettingsData; }
    float windowsWidth() const { return m_windowsWidth; }
    // The main screen's height (the primary screen's when built); decides whether the header collapses.
    double mainScreenHeight() const { return m_mainScreenHeight; }
    void setMainScreenHeight(double height) { m_mainScreenHeight = height; }
    bool isCollapsed() const;
    // Puts the header in the collapsed or expanded state without a click (a window that opens collapsed
    // on a short screen); the owner lays itself out, and collapseChangedBlock is not called.
    void setCollapsed(bool collapsed);
    // The strip's horizontal scroll position (800 points per page).
    double stripScrollX() const;

    // --- views ---
    const QList<RDCustomButton *> &function_Items() const { return m_functionItems; }
    ImageView *tabbarbackView() const { return m_tabbarbackView; }
    platform::View *functionView() const { return m_functionView; }
    // The strip (a clipping view) and its document view holding the marker and the profile buttons.
    platform::View *functionItemScrollview() const { return m_functionItemScrollview; }
    platform::View *functionItemDocumentView() const { return m_documentView; }
    PNQImageView *itemSelectView() const { return m_itemSelectView; }
    // The profile buttons in strip order (tag = position + 1) and their gears.
    const QList<PNQButton *> &itemButtons() const { return m_itemButtons; }
    const QList<Button *> &gearButtons() const { return m_gearButtons; }
    PNQButton *showFunctionBtn() const { return m_showFunctionBtn; }
    PNQImageView *showFunctionIconView() const { return m_showFunctionIconView; }
    MouseMoveButton *left_move_item_Btn() const { return m_leftMoveItemBtn; }
    MouseMoveButton *right_move_item_Btn() const { return m_rightMoveItemBtn; }

    static QString pageKey(const QString &category);

private:
    void initTabbarView();
    void initfunctionView();
    void actionMouseUpForCustomButtonBlock(RDCustomButton *tab) override;
    void mouseupEntered(MouseMoveButton *button) override;
    void showFunctionBtnClicked();
    void updateCollapseIcon();
    int64_t pageCount() const;
    int64_t storedPage(const QString &category) const;
    int64_t categoryPosition() const;

    ProfileLibrary m_library;
    QStringList m_functionList;
    QString m_functionItemTitle;
    QStringList m_functionItemChilds;
    int64_t m_selectFunListItemIndex = 0;
    int64_t m_selectItemIndex = 0;
    int64_t m_selectFunctionOfsetIndex = 0;
    bool m_needRefreshlocalSettingsData = false;
    float m_windowsWidth = 0;
    double m_backgroundWidth = 0;
    double m_mainScreenHeight = 0;
    double m_arrowInset = 16;

    QList<RDCustomButton *> m_functionItems;
    ImageView *m_tabbarbackView = nullptr;
    platform::View *m_functionView = nullptr;
    platform::View *m_functionItemScrollview = nullptr;
    platform::View *m_documentView = nullptr;
    PNQImageView *m_itemSelectView = nullptr;
    QList<PNQButton *> m_itemButtons;
    QList<Button *> m_gearButtons;
    PNQButton *m_showFunctionBtn = nullptr;
    PNQImageView *m_showFunctionIconView = nullptr;
    MouseMoveButton *m_leftMoveItemBtn = nullptr;
    MouseMoveButton *m_rightMoveItemBtn = nullptr;
};
