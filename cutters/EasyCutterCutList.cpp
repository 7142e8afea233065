#include "cutters/EasyCutterCutList.h"

#include <algorithm>

std::shared_ptr<CutItem> EasyCutterCutList::cutAt(int64_t index) const
{
    return isIndex(index) ? m_cutItems.at(index) : nullptr;
}

bool EasyCutterCutList::canMoveDown() const
{
    return m_selectedCutIndex <= 0 || m_selectedCutIndex < count() - 1;
}

void EasyCutterCutList::markSelected()
{
    for (int i = 0; i < count(); ++i)
        m_cutItems[i]->selected = i == m_selectedCutIndex;
}

void EasyCutterCutList::cut(double start, double end, const QImage &thumb)
{
    auto item = std::make_shared<CutItem>();
    item->startTime = start;
    item->endTime = end;
    item->thumbImage = thumb;
    m_cutItems.append(item);
    m_selectedCutIndex = count() - 1;
    markSelected();
}

bool EasyCutterCutList::moveUp()
{
    if (m_selectedCutIndex < 1 || !isIndex(m_selectedCutIndex))
        return false;
    m_cutItems.swapItemsAt(m_selectedCutIndex, m_selectedCutIndex - 1);
    --m_selectedCutIndex;
    return true;
}

bool EasyCutterCutList::moveDown()
{
    if (m_selectedCutIndex < 0 || m_selectedCutIndex >= count() - 1)
        return false;
    m_cutItems.swapItemsAt(m_selectedCutIndex, m_selectedCutIndex + 1);
    ++m_selectedCutIndex;
    return true;
}

bool EasyCutterCutList::copy()
{
    m_modifyMode = false;
    const auto original = cutAt(m_overlayIndex);
    if (!original)
        return false;
    auto copied = std::make_shared<CutItem>(*original);
    copied->selected = false;
    m_cutItems.insert(m_overlayIndex, copied);
    return true;
}

bool EasyCutterCutList::modify()
{
    if (!isIndex(m_overlayIndex))
        return m_modifyMode;
    m_selectedCutIndex = m_overlayIndex;
    markSelected();
    m_modifyMode = !m_modifyMode;
    return m_modifyMode;
}

bool EasyCutterCutList::remove()
{
    m_modifyMode = false;
    if (!isIndex(m_overlayIndex))
        return false;
    m_cutItems.removeAt(m_overlayIndex);
    m_selectedCutIndex =
        m_cutItems.isEmpty() ? m_overlayIndex : std::min<int64_t>(m_overlayIndex, count() - 1);
    markSelected();
    return true;
}

void EasyCutterCutList::clear()
{
    m_cutItems.clear();
}

void EasyCutterCutList::select(int64_t index)
{
    m_selectedCutIndex = index;
    m_modifyMode = false;
    markSelected();
}
