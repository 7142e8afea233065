#pragma once
// The editing of a list tool window's clips (joiner, batch cutter): the shared item list, the
// JoinnerTableView that shows it, its Remove / Clear / Up / Down buttons and the hint shown instead of
// the list while it is empty.
//
// The editor owns the item list (shared with the list view, never copied) and no widget. Every edit
// changes the items and reloads the list view; what else the window redraws (its preview, its
// progress) stays the window's. Moving a clip keeps it selected without calling the list's
// selectItemBlock, so the preview is not rebuilt. Main thread only.
#include "platform/Geometry.h"
#include "toolkit/JoinnerTableView.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class PNQButton;
class SimpleData;

class ClipListEditor
{
public:
    using ItemList = JoinnerTableView::ItemList;

    ClipListEditor();

    const std::shared_ptr<ItemList> &items() const { return m_items; }
    // The view that shows the items, and the hint shown in its place while the list is empty.
    void setTableView(JoinnerTableView *view) { m_view = view; }
    JoinnerTableView *tableView() const { return m_view; }
    void setEmptyHint(QWidget *hint) { m_hint = hint; }

    // The Remove, Clear, Up and Down buttons (ToolWidgets::listButton) at `frames` in `parent`. A click
    // logs "selectRemove", "selectClear", "selectUp" or "selectDown" and calls the matching action (the
    // window queues its own list action there).
    void buildButtons(QWidget *parent, const std::array<platform::Rect, 4> &frames,
                      const std::array<std::function<void()>, 4> &actions);
    PNQButton *removeBtn() const { return m_buttons[0]; }
    PNQButton *clearBtn() const { return m_buttons[1]; }
    PNQButton *upBtn() const { return m_buttons[2]; }
    PNQButton *downBtn() const { return m_buttons[3]; }
    std::array<PNQButton *, 4> buttons() const;

    // The item of the view's selected row; null with no view, an empty list or a row past its end.
    std::shared_ptr<SimpleData> selectedClip() const;

    // Appends `accepted` in order, each after `prepare` (may be empty); returns the alert text naming
    // the `refused` paths by file name ("nonsupportfilesstringValue" + "a.xyz,b.doc"), empty when none.
    QString append(const QList<std::shared_ptr<SimpleData>> &accepted, const QStringList &refused,
                   const std::function<void(SimpleData &)> &prepare);

    // Drops the selected clip (row 0 is selected next, without the list's selectItemBlock: the window
    // loads that clip itself); false when no row was selected.
    bool removeSelected();
    void clear();
    // Swaps the selected clip with the one above / below, which becomes the selected row; false at the
    // top / bottom or with no selection.
    bool moveSelectedUp();
    bool moveSelectedDown();
    // Hands the view its items again and redraws it, keeping the selected row and the preview.
    void reloadKeepingSelection();

    // true: the hint in place of the list and its buttons; false: the list and its buttons.
    void setHintShown(bool shown);

    // Apply-to-all: the range that a clip of `duration` seconds gets from the range [start, stop] seconds
    // of another. A range longer than the clip takes the whole clip; one running past the clip's end
    // keeps its length and ends there; otherwise each end is held to the clip's length.
    struct Range
    {
        int64_t start = 0; // microseconds
        int64_t stop = 0;  // microseconds
    };
    static Range fittedRange(float start, float stop, float duration);
    // Every clip but `source` gets `source`'s range as the fractions [lower, upper] of its length show it,
    // fitted to its own length, and `source`'s keep/remove mode. Clips without a description count as 0 s.
    void applyRangeToOthers(const SimpleData &source, float lower, float upper);

private:
    bool moveSelected(int64_t by);

    std::shared_ptr<ItemList> m_items;
    QPointer<JoinnerTableView> m_view;
    QPointer<QWidget> m_hint;
    std::array<QPointer<PNQButton>, 4> m_buttons;
};
