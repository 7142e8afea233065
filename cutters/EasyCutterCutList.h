#pragma once
// The easy cutter's list of cuts and its selection, without any view: the selected cut
// (selectedCutIndex), the overlay index (the row whose Copy, Modify and Delete buttons the pointer last
// showed) and modify mode (the selected cut is being edited).
//
// Every operation that addresses a cut by the selection or the overlay index does nothing when that
// index names no cut (after clear(), or after deleting the last cut). The selection is not kept inside
// the list: callers ask hasSelection() before they edit the selected cut. Main thread only.
#include "cutters/CutItem.h"

#include <QList>

#include <cstdint>
#include <memory>

class EasyCutterCutList
{
public:
    const QList<std::shared_ptr<CutItem>> &cutItems() const { return m_cutItems; }
    int count() const { return int(m_cutItems.size()); }
    std::shared_ptr<CutItem> cutAt(int64_t index) const;

    int64_t selectedCutIndex() const { return m_selectedCutIndex; }
    void setSelectedCutIndex(int64_t index) { m_selectedCutIndex = index; }
    bool hasSelection() const { return isIndex(m_selectedCutIndex); }
    std::shared_ptr<CutItem> selectedCut() const { return cutAt(m_selectedCutIndex); }

    int64_t overlayIndex() const { return m_overlayIndex; }
    void setOverlayIndex(int64_t index) { m_overlayIndex = index; }
    bool modifyMode() const { return m_modifyMode; }
    void setModifyMode(bool on) { m_modifyMode = on; }

    // The move buttons after every change of the selection: move-up only past the first cut; move-down
    // from the first cut (also with one cut or none) and before the last one.
    bool canMoveUp() const { return m_selectedCutIndex > 0; }
    bool canMoveDown() const;

    // CUT: appends the range and selects it; modify mode stays as it was.
    void cut(double start, double end, const QImage &thumb);
    // Exchange the selected cut with its neighbour; the selection follows it. False when nothing moved.
    bool moveUp();
    bool moveDown();
    // A copy of the cut at the overlay index goes in front of it (the selection index stays, so it may
    // now name the cut before the one selected); modify mode ends.
    bool copy();
    // Selects the cut at the overlay index and toggles modify mode; returns the new mode.
    bool modify();
    // Removes the cut at the overlay index; the selection goes to the same place or the new last cut;
    // modify mode ends.
    bool remove();
    // Empties the list; the indexes stay as they were.
    void clear();
    // A click on row `index`: it becomes the selection and modify mode ends.
    void select(int64_t index);

private:
    bool isIndex(int64_t index) const { return index >= 0 && index < count(); }
    void markSelected();

    QList<std::shared_ptr<CutItem>> m_cutItems;
    int64_t m_selectedCutIndex = 0;
    int64_t m_overlayIndex = 0;
    bool m_modifyMode = false;
};
