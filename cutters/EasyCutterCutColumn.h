#pragma once
// The easy cutter's column of cuts: a scrolling column of thumbnail rows (CutItemView) over an
// EasyCutterCutList, the hover overlay with the Copy, Modify and Delete buttons that follows the pointer
// over the rows, the move-up, move-down and clear buttons under the column, and the cut-time panel (a
// start and a stop row of four time fields with a stepper each) shown under the selected row while it
// is modified.
//
// The column draws the list and keeps the overlay and the panel on the right row; what a button or a
// row click does to the cuts, the preview and the times is the window's, through Actions. Hover moves
// the overlay one event-loop turn after the pointer (through `later`), outside modify mode only; when
// the pointer leaves a row outside modify mode the overlay hides and acts on the selected cut again, so
// its buttons always act on a row they are shown on. Rebuilding the rows takes the overlay away with
// them until the pointer enters a row or a row is clicked. Main thread only.
#include "cutters/CutItemView.h"
#include "platform/Geometry.h"
#include "toolkit/TimeFieldGroup.h"

#include <QImage>
#include <QList>
#include <QPointer>

#include <functional>

class EasyCutterCutList;
class PNQButton;
class PNQScrollView;
class PNQView;
class RDTextFieldDelegate;
class TextLabel;

namespace platform {
class Stepper;
class TextFieldDelegate;
class View;
} // namespace platform

class EasyCutterCutColumn
{
public:
    static constexpr double rowWidth = 140;
    static constexpr double rowHeight = 120;
    static constexpr double width = 216;

    struct Actions
    {
        std::function<void()> copy, modify, remove; // the overlay's buttons
        std::function<void()> moveUp, moveDown, clear;
        std::function<void()> startStepped, stopStepped; // the cut-time panel's steppers
        std::function<void(CutItemView *)> rowClicked;
        // Runs work one event-loop turn later, unless the window has closed by then.
        std::function<void(std::function<void()>)> later;
    };

    // The delegates every time field of the window reports to (its edits and clicks).
    struct FieldDelegates
    {
        platform::TextFieldDelegate *text = nullptr;
        RDTextFieldDelegate *mouse = nullptr;
    };

    explicit EasyCutterCutColumn(EasyCutterCutList &list) : m_list(list) {}

    // Builds the column at x in `back`, from 50 points above its bottom to 10 below its top, with the
    // buttons under it; the overlay and the cut-time panel start hidden.
    void build(platform::View *back, double x, const Actions &actions, const FieldDelegates &delegates);

    // One row of four time fields ("00" : "00" : "00" : "00") on `backImage` at `back`, with a stepper
    // `stepperHeight` high at its right end calling `stepped`.
    static TimeFieldGroup buildTimeRow(platform::View *parent, const platform::Rect &back,
                                       const QImage &backImage, double stepperHeight,
                                       QPointer<platform::Stepper> &stepper, std::function<void()> stepped,
                                       const FieldDelegates &delegates);

    // Makes the rows again from the list: the selected row marked, the panel under it while modifying,
    // the move buttons set, the selected row scrolled into view; the overlay hidden. Rows are disabled
    // while `locked` (an export runs).
    void reload(bool locked);
    // Takes every row away (the overlay with them) and changes nothing else.
    void clearRows();
    // The rows' marks and the overlay follow a new selection (the panel hides), without new rows.
    void showSelection(CutItemView *selected);
    // The marks follow the list's selection and the panel shows or hides with modify mode.
    void showModifyState();
    // A cut's row shows the cut again after an edit of its times.
    void refreshRow(int64_t index);
    void updateMoveButtons();
    void scrollToSelectItem();
    // The pointer entered or left a row.
    void rowEntered(CutItemView *row);
    void rowExited(CutItemView *row);

    const QList<QPointer<CutItemView>> &rows() const { return m_rows; }
    PNQView *listView() const { return m_listView; }
    PNQScrollView *scrollView() const;
    PNQView *itemSelectView() const { return m_itemSelectView; }
    PNQView *timePanel() const { return m_timePanel; }
    PNQButton *copyBtn() const { return m_copyBtn; }
    PNQButton *modifyBtn() const { return m_modifyBtn; }
    PNQButton *deleteBtn() const { return m_deleteBtn; }
    PNQButton *upMoveBtn() const { return m_upMoveBtn; }
    PNQButton *downMoveBtn() const { return m_downMoveBtn; }
    PNQButton *clearBtn() const { return m_clearBtn; }
    const TimeFieldGroup &startGroup() const { return m_startGroup; }
    const TimeFieldGroup &stopGroup() const { return m_stopGroup; }
    platform::Stepper *startStepper() const { return m_startStepper; }
    platform::Stepper *stopStepper() const { return m_stopStepper; }
    // Every widget the window enables and disables with its editing state.
    QList<QWidget *> editControls() const;

private:
    void buildOverlay();
    void buildTimePanel(const FieldDelegates &delegates);
    void placeOverlay(CutItemView *row);
    void detachOverlay();
    bool overlayInRow() const;
    void placeTimePanel();

    EasyCutterCutList &m_list;
    Actions m_actions;
    QList<QPointer<CutItemView>> m_rows;
    QPointer<PNQView> m_listView, m_contentView, m_itemSelectView, m_timePanel;
    QPointer<PNQScrollView> m_scrollView;
    QPointer<PNQButton> m_copyBtn, m_modifyBtn, m_deleteBtn, m_upMoveBtn, m_downMoveBtn, m_clearBtn;
    QPointer<TextLabel> m_startLabel, m_stopLabel;
    TimeFieldGroup m_startGroup, m_stopGroup;
    QPointer<platform::Stepper> m_startStepper, m_stopStepper;
};
