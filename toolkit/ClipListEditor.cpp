#include "toolkit/ClipListEditor.h"

#include "controls/PNQButton.h"
#include "model/EngineRecords.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "services/LanguageService.h"
#include "toolkit/ToolWidgets.h"

#include <QFileInfo>

#include <algorithm>

namespace {

float durationOf(const SimpleData &clip)
{
    return clip.sourceData() ? float(clip.sourceData()->duration()) : 0.0f;
}

} // namespace

ClipListEditor::ClipListEditor() : m_items(std::make_shared<ItemList>()) {}

void ClipListEditor::buildButtons(QWidget *parent, const std::array<platform::Rect, 4> &frames,
                                  const std::array<std::function<void()>, 4> &actions)
{
    const char *keys[] = {VW_KEY("RemoveBtnTitle"), VW_KEY("ClearBtnTitle"), VW_KEY("UpBtnTitle"),
                          VW_KEY("DownBtnTitle")};
    const char *logs[] = {"selectRemove", "selectClear", "selectUp", "selectDown"};
    for (size_t i = 0; i < 4; ++i) {
        PNQButton *button =
            ToolWidgets::listButton(frames[i], LanguageService::localizedStringForKey(keys[i]), parent);
        button->mouseDownAction = [line = logs[i], action = actions[i]](PNQButton *) {
            platform::log("%s", line);
            if (action)
                action();
        };
        m_buttons[i] = button;
    }
}

std::array<PNQButton *, 4> ClipListEditor::buttons() const
{
    return {m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3]};
}

std::shared_ptr<SimpleData> ClipListEditor::selectedClip() const
{
    const int64_t row = m_view ? m_view->selectedRow() : -1;
    return row >= 0 && row < m_items->size() ? m_items->at(row) : nullptr;
}

QString ClipListEditor::append(const QList<std::shared_ptr<SimpleData>> &accepted, const QStringList &refused,
                               const std::function<void(SimpleData &)> &prepare)
{
    for (const auto &clip : accepted) {
        if (prepare)
            prepare(*clip);
        m_items->append(clip);
    }
    if (refused.isEmpty())
        return QString();
    QStringList names;
    for (const QString &path : refused)
        names << QFileInfo(path).fileName();
    return LanguageService::localizedStringForKey("nonsupportfilesstringValue") + names.join(u',');
}

bool ClipListEditor::removeSelected()
{
    const int64_t row = m_view ? m_view->selectedRow() : -1;
    if (row < 0 || row >= m_items->size())
        return false;
    m_items->removeAt(row);
    m_view->setItems(m_items);
    // The window shows the newly selected clip itself, whatever the list's block flag says.
    m_view->setDisabelSelectBlock(true);
    m_view->reloadData();
    return true;
}

void ClipListEditor::clear()
{
    m_items->clear();
    if (!m_view)
        return;
    m_view->setItems(m_items);
    m_view->reloadData();
}

bool ClipListEditor::moveSelectedUp()
{
    return moveSelected(-1);
}

bool ClipListEditor::moveSelectedDown()
{
    return moveSelected(1);
}

bool ClipListEditor::moveSelected(int64_t by)
{
    const int64_t row = m_view ? m_view->selectedRow() : -1;
    const int64_t to = row + by;
    if (row < 0 || row >= m_items->size() || to < 0 || to >= m_items->size())
        return false;
    m_items->swapItemsAt(row, to);
    m_view->setSelectedRow(to);
    m_view->setDisabelSelectBlock(true);
    m_view->reloadData();
    return true;
}

void ClipListEditor::reloadKeepingSelection()
{
    if (!m_view)
        return;
    const int64_t row = m_view->selectedRow();
    m_view->setItems(m_items);
    m_view->setSelectedRow(row);
    m_view->setDisabelSelectBlock(true);
    m_view->reloadData();
}

void ClipListEditor::setHintShown(bool shown)
{
    if (m_hint)
        m_hint->setHidden(!shown);
    if (m_view)
        m_view->setHidden(shown);
    for (const QPointer<PNQButton> &button : m_buttons)
        if (button)
            button->setHidden(shown);
}

ClipListEditor::Range ClipListEditor::fittedRange(float start, float stop, float duration)
{
    const float length = stop - start;
    if (length > duration)
        return {0, EngineRecords::microseconds(duration)};
    if (stop > duration && duration > length)
        return {EngineRecords::microseconds(duration - length), EngineRecords::microseconds(duration)};
    return {EngineRecords::microseconds(std::min(duration, start)),
            EngineRecords::microseconds(std::min(duration, stop))};
}

void ClipListEditor::applyRangeToOthers(const SimpleData &source, float lower, float upper)
{
    const float length = durationOf(source);
    const float start = length * lower;
    const float stop = length * upper;
    for (const auto &clip : std::as_const(*m_items)) {
        if (clip.get() == &source)
            continue;
        const Range range = fittedRange(start, stop, durationOf(*clip));
        clip->setCutTimeRange_start(range.start);
        clip->setCutTimeRange_stop(range.stop);
        clip->setIsTrimFanxuan(source.isTrimFanxuan());
    }
}
