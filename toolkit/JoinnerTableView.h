#pragma once
// The clip list of the join and batch-cut windows: one JoinnerCell row per clip, top to bottom in list
// order, 3-point separators between rows, no scroll bars.
//
// The list shares the client's item array (never copied): the client mutates it, then calls setItems()
// when it replaced or shortened it, setSelectedRow() to keep another row selected, setDisabelSelectBlock()
// when the re-selection must not reach selectItemBlock, and reloadData(). The list writes only the items'
// defaultFormat and transitionEffect.
//
// Modes, by the blocks the client sets before reloadData():
// - selectDefaultOutputFormatBlock set: rows show the check box "use this file's format"; at most one item
//   has defaultFormat; the block runs two main-queue turns after the click, after the other rows cleared.
// - selectTranstionEffectBlock set: rows show the transition pop-up (not the last row, nor a row without a
//   picture); the block runs synchronously with the row and the new code 0..3.
// - neither (the batch cutter): no check box, no transitions; showProgress() / setExportProgress() /
//   hiddenProgress() drive a progress bar on a row.
// setEnabele(false) (while an export runs) makes rows ignore clicks and disables their check boxes and
// transition pop-ups; the state holds across reloadData(). Main thread only.
#include "platform/View.h"

#include <QList>

#include <cstdint>
#include <functional>
#include <memory>

class JoinnerCell;
class PNQImageView;
class PNQScrollView;
class SimpleData;

class JoinnerTableView : public platform::View
{
    Q_OBJECT

public:
    using ItemList = QList<std::shared_ptr<SimpleData>>;

    explicit JoinnerTableView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~JoinnerTableView() override;

    // Shares `items`; selects row 0 (selectedItem the first item, null when empty), forgets the old
    // highlight. Does not redraw.
    const std::shared_ptr<ItemList> &items() const { return m_items; }
    void setItems(const std::shared_ptr<ItemList> &items);

    // Rebuilds every row from the items and selects selectedRow (see selectItemBlock). Keeps the scroll
    // position.
    void reloadData();

    // Plain store; takes effect at the next reloadData().
    int64_t selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int64_t row) { m_selectedRow = row; }
    int64_t oldSelectedRow() const { return m_oldSelectedRow; }
    const std::shared_ptr<SimpleData> &selectedItem() const { return m_selectedItem; }
    float rowHeight() const { return m_rowHeight; }
    void setRowHeight(float height) { m_rowHeight = height; }

    // While true, a selection made by the list itself (reloadData, showProgress) does not call
    // selectItemBlock; the user's next click on a row clears it.
    bool disabelSelectBlock() const { return m_disabelSelectBlock; }
    void setDisabelSelectBlock(bool on) { m_disabelSelectBlock = on; }

    bool enabele() const { return m_enabele; }
    void setEnabele(bool enabele);

    // Batch export: selects `row` and shows its progress bar / hides a row's bar; rows past the end are
    // ignored. setExportProgress() acts on the selected row, or on `row` (files exported side by side):
    // 0 <= p < 1 shows p, anything else hides it.
    void showProgress(int64_t row);
    void hiddenProgress(int64_t row);
    void setExportProgress(float progress) { setExportProgress(m_selectedRow, progress); }
    void setExportProgress(int64_t row, float progress);

    const QList<JoinnerCell *> &cells() const { return m_cells; }
    PNQScrollView *itemScrollview() const { return m_itemScrollview; }
    PNQImageView *scrollContentView() const { return m_scrollContentView; }

    std::function<void(const std::shared_ptr<SimpleData> &)> selectItemBlock;
    std::function<void(const std::shared_ptr<SimpleData> &)> selectDefaultOutputFormatBlock;
    std::function<void(int64_t row, int code)> selectTranstionEffectBlock;

protected:
    void frameDidChange() override;

private:
    JoinnerCell *cellAt(int64_t row) const;
    void rowMouseDown(JoinnerCell *cell);
    void rowSelected(JoinnerCell *cell, bool selected);
    void rowDefaultFormatToggled(JoinnerCell *cell);

    std::shared_ptr<ItemList> m_items;
    QList<JoinnerCell *> m_cells;
    int64_t m_selectedRow = 0;
    int64_t m_oldSelectedRow = -1;
    std::shared_ptr<SimpleData> m_selectedItem;
    float m_rowHeight = 0;
    bool m_enabele = true;
    bool m_disabelSelectBlock = false;
    PNQScrollView *m_itemScrollview = nullptr;
    PNQImageView *m_scrollContentView = nullptr;
};
