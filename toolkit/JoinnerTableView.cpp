#include "toolkit/JoinnerTableView.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/PNQScrollView.h"
#include "model/SimpleData.h"
#include "platform/Dispatch.h"
#include "toolkit/JoinnerCell.h"

#include <QPointer>

#include <algorithm>

namespace {

// The gap above every row, where the scroll view's colour shows as a separator.
constexpr float kRowGap = 3;

} // namespace

JoinnerTableView::JoinnerTableView(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    m_itemScrollview = new PNQScrollView(this);
    m_itemScrollview->setFrameShape(QFrame::NoFrame);
    m_itemScrollview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_itemScrollview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = m_itemScrollview->viewport()->palette();
    palette.setColor(QPalette::Window, QColor(134, 140, 147));
    m_itemScrollview->viewport()->setPalette(palette);
    m_itemScrollview->viewport()->setAutoFillBackground(true);
    m_itemScrollview->setGeometry(0, 0, width(), height());

    m_scrollContentView = new PNQImageView(platform::makeRect(0, 0, frame.width(), frame.height()));
    // Sized by the list alone: the scroll view lays its viewport out late (when shown), and a mask
    // would add that first resize to the content's width.
    m_scrollContentView->setAutoresizingMask(NotSizable);
    m_itemScrollview->setWidget(m_scrollContentView);
}

JoinnerTableView::~JoinnerTableView() = default;

void JoinnerTableView::frameDidChange()
{
    m_itemScrollview->setGeometry(0, 0, width(), height());
    m_scrollContentView->setFrameSize(platform::Size{frame().width(), m_scrollContentView->frame().height()});
}

void JoinnerTableView::setItems(const std::shared_ptr<ItemList> &items)
{
    m_items = items;
    m_selectedRow = 0;
    m_oldSelectedRow = -1;
    m_selectedItem = (m_items && !m_items->isEmpty()) ? m_items->first() : nullptr;
}

JoinnerCell *JoinnerTableView::cellAt(int64_t row) const
{
    return (row >= 0 && row < m_cells.size()) ? m_cells.at(row) : nullptr;
}

void JoinnerTableView::setEnabele(bool enabele)
{
    m_enabele = enabele;
    for (JoinnerCell *cell : std::as_const(m_cells))
        cell->setEnabele(enabele);
}

void JoinnerTableView::reloadData()
{
    // Old rows may be inside their own event handler (a click that led here): let them go later.
    for (JoinnerCell *cell : std::as_const(m_cells)) {
        cell->MouseDownBlock = nullptr;
        cell->SelectedBlock = nullptr;
        cell->SelecteddefaultFormatoutputBlock = nullptr;
        cell->SelectedTransitionEffectBlock = nullptr;
        cell->hide();
        cell->deleteLater();
    }
    m_cells.clear();

    const qsizetype count = m_items ? m_items->size() : 0;
    const float pitch = m_rowHeight + kRowGap;
    const float contentHeight = std::max(float(m_itemScrollview->height()), pitch * float(count));
    const double width = frame().width();
    m_scrollContentView->setFrame(platform::makeRect(0, 0, width, contentHeight));

    for (qsizetype i = 0; i < count; ++i) {
        const std::shared_ptr<SimpleData> &item = m_items->at(i);
        auto *cell =
            new JoinnerCell(platform::makeRect(0, contentHeight - float(i + 1) * pitch, width, m_rowHeight),
                            m_scrollContentView);
        cell->setAutoresizingMask(WidthSizable);
        cell->setNBackGroundColor(QColor(237, 237, 237));
        cell->setSBackGroundColor(QColor(90, 216, 238));
        cell->setIndex(i);
        cell->setFileData(item);
        const std::shared_ptr<FileData> &source = item ? item->sourceData() : nullptr;
        // The transition leads into the next clip, so the last row has none.
        if (source && source->width() > 0 && source->height() > 0)
            cell->setTransitionHidden(i == count - 1);
        cell->setEnabele(m_enabele);
        m_cells.append(cell);
        m_scrollContentView->addSubview(cell);
    }

    for (JoinnerCell *cell : std::as_const(m_cells)) {
        cell->MouseDownBlock = [this](JoinnerCell *c) { rowMouseDown(c); };
        cell->SelectedBlock = [this](JoinnerCell *c, bool selected) { rowSelected(c, selected); };
        if (selectDefaultOutputFormatBlock)
            cell->SelecteddefaultFormatoutputBlock = [this](JoinnerCell *c) { rowDefaultFormatToggled(c); };
        else
            cell->defaultoutputformat()->hide();
        if (selectTranstionEffectBlock) {
            const int64_t j = cell->index();
            cell->SelectedTransitionEffectBlock = [this, j](JoinnerCell *c) {
                if (j < m_items->size())
                    m_items->at(j)->setTransitionEffect(c->fileData()->transitionEffect());
                if (selectTranstionEffectBlock)
                    selectTranstionEffectBlock(c->index(), c->fileData()->transitionEffect());
            };
        } else {
            cell->setTransitionHidden(true);
        }
        cell->setSelected(cell->index() == m_selectedRow);
    }
    update();
}

void JoinnerTableView::rowMouseDown(JoinnerCell *cell)
{
    m_disabelSelectBlock = false;
    if (m_selectedRow != cell->index()) {
        if (JoinnerCell *old = cellAt(m_oldSelectedRow))
            old->setSelected(false);
        cell->setSelected(true);
    } else {
        cell->setSelected(false);
    }
}

void JoinnerTableView::rowSelected(JoinnerCell *cell, bool selected)
{
    if (!selected)
        return;
    if (JoinnerCell *old = cellAt(m_oldSelectedRow); old && old != cell)
        old->setSelected(false);
    m_selectedRow = cell->index();
    m_oldSelectedRow = m_selectedRow;
    m_selectedItem = cell->fileData();
    if (!m_disabelSelectBlock && selectItemBlock)
        selectItemBlock(m_selectedItem);
}

void JoinnerTableView::rowDefaultFormatToggled(JoinnerCell *cell)
{
    QPointer<JoinnerTableView> self(this);
    const int64_t toggled = cell->index();
    platform::dispatchMain([self, toggled] {
        if (!self || !self->m_items || toggled >= self->m_items->size())
            return;
        for (qsizetype k = 0; k < self->m_items->size(); ++k) {
            if (k == toggled)
                continue;
            self->m_items->at(k)->setDefaultFormat(false);
            if (JoinnerCell *row = self->cellAt(k))
                row->defaultoutputformat()->setSelected(false);
        }
        if (self->selectDefaultOutputFormatBlock)
            self->selectDefaultOutputFormatBlock(self->m_items->at(toggled));
    });
}

void JoinnerTableView::showProgress(int64_t row)
{
    JoinnerCell *cell = cellAt(row);
    if (!cell)
        return;
    m_oldSelectedRow = -1;
    m_selectedRow = row;
    cell->progress()->show();
    cell->setSelected(true);
}

void JoinnerTableView::hiddenProgress(int64_t row)
{
    if (JoinnerCell *cell = cellAt(row))
        cell->progress()->hide();
}

void JoinnerTableView::setExportProgress(int64_t row, float progress)
{
    JoinnerCell *cell = cellAt(row);
    if (!cell)
        return;
    if (progress >= 0 && progress < 1) {
        cell->progress()->setProgress(progress);
        cell->progress()->show();
    } else {
        cell->progress()->hide();
    }
}
