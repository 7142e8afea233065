#include "cutters/EasyCutterCutColumn.h"

#include "controls/PNQButton.h"
#include "controls/PNQScrollView.h"
#include "controls/PNQView.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "cutters/EasyCutterCutList.h"
#include "platform/FontAlias.h"
#include "platform/Stepper.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <algorithm>

namespace {

const QColor kLightPanel(245, 245, 245);
constexpr double kTimePanelWidth = 216;
constexpr double kTimePanelHeight = 48;
constexpr double kPanelBelowRow = 48; // room under the last row for the cut-time panel

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

QString loc(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromLatin1(key));
}

TextLabel *label(platform::View *parent, const platform::Rect &frame, const QString &text, double size)
{
    auto *l = new TextLabel(frame, parent);
    l->setText(text);
    l->setTextColor(Qt::black);
    l->setTextFont(platform::FontAlias::systemFont(size));
    return l;
}

PNQButton *imageButton(platform::View *parent, const platform::Rect &frame, const QString &stem)
{
    auto *b = new PNQButton(frame, parent);
    b->setStateImages(stem);
    b->setSelectedImage(b->downImage());
    return b;
}

} // namespace

void EasyCutterCutColumn::build(platform::View *back, double x, const Actions &actions,
                                const FieldDelegates &delegates)
{
    m_actions = actions;
    const double listHeight = back->frame().height() - 60;
    m_listView = new PNQView(platform::makeRect(x, 50, width, listHeight), back);
    m_listView->setBackGroundColor(kLightPanel);
    m_scrollView = new PNQScrollView(m_listView);
    m_scrollView->setGeometry(0, 0, int(width), int(listHeight));
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setWidgetResizable(false);
    m_scrollView->setStyleSheet(QStringLiteral("background: transparent;"));
    m_contentView = new PNQView(platform::makeRect(0, 0, width, listHeight));
    m_contentView->setBackGroundColor(kLightPanel);
    m_contentView->setAutoresizesSubviews(false);
    m_scrollView->setWidget(m_contentView);
    buildOverlay();
    buildTimePanel(delegates);

    const auto later = [this](const std::function<void()> &action) {
        return [this, action](PNQButton *) {
            if (m_actions.later && action)
                m_actions.later(action);
        };
    };
    m_upMoveBtn = imageButton(back, platform::makeRect(x + 4, 14, 28, 28), QStringLiteral("Cut/btnMoveUp"));
    m_downMoveBtn =
        imageButton(back, platform::makeRect(x + 36, 14, 28, 28), QStringLiteral("Cut/btnMoveDown"));
    m_clearBtn =
        imageButton(back, platform::makeRect(x + width - 32, 14, 28, 28), QStringLiteral("Cut/btnClear"));
    m_upMoveBtn->mouseDownAction = later(m_actions.moveUp);
    m_downMoveBtn->mouseDownAction = later(m_actions.moveDown);
    m_clearBtn->mouseDownAction = later(m_actions.clear);
    m_copyBtn->mouseDownAction = later(m_actions.copy);
    m_modifyBtn->mouseDownAction = later(m_actions.modify);
    m_deleteBtn->mouseDownAction = later(m_actions.remove);
}

void EasyCutterCutColumn::buildOverlay()
{
    // The row's Copy, Modify and Delete buttons along its lower edge.
    m_itemSelectView = new PNQView(platform::makeRect(0, 0, rowWidth, rowHeight), m_contentView);
    m_itemSelectView->setHidden(true);
    struct OverlayButton
    {
        QPointer<PNQButton> *slot;
        const char *stem;
        const char *titleKey;
        double x, width;
    };
    const OverlayButton overlay[] = {
        {&m_copyBtn, "Cut/btnCopy", VW_KEY("Copy"), 0, 46},
        {&m_modifyBtn, "Cut/btnModify", VW_KEY("Modify"), 46, 48},
        {&m_deleteBtn, "Cut/btnDeleted", VW_KEY("Deleted"), 94, 46},
    };
    for (const OverlayButton &o : overlay) {
        auto *b = new PNQButton(platform::makeRect(o.x, 0, o.width, 20), m_itemSelectView);
        b->setStateBackgroundImages(QString::fromLatin1(o.stem));
        b->setContentColor(Qt::black);
        b->setFont(platform::FontAlias::systemFont(10));
        b->setContentTitle(loc(o.titleKey));
        *o.slot = b;
    }
}

void EasyCutterCutColumn::buildTimePanel(const FieldDelegates &delegates)
{
    m_timePanel =
        new PNQView(platform::makeRect((width - kTimePanelWidth) / 2, 0, kTimePanelWidth, kTimePanelHeight),
                    m_contentView);
    m_timePanel->setBackGroundImage(image(QStringLiteral("Cut/imgActionBottom.bmp")));
    m_timePanel->setHidden(true);
    const QImage field = image(QStringLiteral("Cut/imgWelcome_center.bmp"));
    m_startLabel =
        label(m_timePanel, platform::makeRect(4, 27, 54, 16), loc(VW_KEY("StartFieldLabelstringValue")), 10);
    m_startGroup = buildTimeRow(
        m_timePanel, platform::makeRect(58, 25, 135, 20), field, 22, m_startStepper,
        [this] {
            if (m_actions.startStepped)
                m_actions.startStepped();
        },
        delegates);
    m_stopLabel =
        label(m_timePanel, platform::makeRect(4, 5, 54, 16), loc(VW_KEY("stopFieldLabelstringValue")), 10);
    m_stopGroup = buildTimeRow(
        m_timePanel, platform::makeRect(58, 3, 135, 20), field, 22, m_stopStepper,
        [this] {
            if (m_actions.stopStepped)
                m_actions.stopStepped();
        },
        delegates);
}

TimeFieldGroup EasyCutterCutColumn::buildTimeRow(platform::View *parent, const platform::Rect &back,
                                                 const QImage &backImage, double stepperHeight,
                                                 QPointer<platform::Stepper> &stepper,
                                                 std::function<void()> stepped,
                                                 const FieldDelegates &delegates)
{
    auto *backView = new PNQView(back, parent);
    backView->setBackGroundImage(backImage);
    const double fieldWidth = (back.width() - 3 * 8) / 4;
    const double y = (back.height() - 16) / 2;
    RDTextField *fields[4];
    for (int i = 0; i < 4; ++i) {
        const double x = i * (fieldWidth + 8);
        fields[i] = new RDTextField(platform::makeRect(x, y, fieldWidth, 16), backView);
        fields[i]->setStringValue(QStringLiteral("00"));
        fields[i]->setFieldFont(platform::FontAlias::systemFont(11));
        fields[i]->setAlignment(Qt::AlignCenter);
        fields[i]->setBordered(false);
        fields[i]->setTextColor(Qt::black);
        fields[i]->setDelegate(delegates.text);
        fields[i]->setMouseDelegate(delegates.mouse);
        if (i < 3) {
            auto *colon =
                label(backView, platform::makeRect(x + fieldWidth, y, 8, 16), QStringLiteral(":"), 11);
            colon->setAlignment(Qt::AlignHCenter);
        }
    }
    stepper = new platform::Stepper(
        platform::makeRect(back.maxX(), back.minY() + (back.height() - stepperHeight) / 2, 20, stepperHeight),
        parent);
    stepper->action = [stepped = std::move(stepped)](platform::Stepper &) { stepped(); };
    return TimeFieldGroup(fields[0], fields[1], fields[2], fields[3]);
}

QList<QWidget *> EasyCutterCutColumn::editControls() const
{
    return {m_copyBtn,     m_modifyBtn, m_deleteBtn,    m_upMoveBtn,
            m_downMoveBtn, m_clearBtn,  m_startStepper, m_stopStepper};
}

PNQScrollView *EasyCutterCutColumn::scrollView() const
{
    return m_scrollView;
}

void EasyCutterCutColumn::updateMoveButtons()
{
    m_upMoveBtn->setEnabled(m_list.canMoveUp());
    m_downMoveBtn->setEnabled(m_list.canMoveDown());
}

void EasyCutterCutColumn::placeOverlay(CutItemView *row)
{
    if (!row)
        return;
    m_itemSelectView->setParent(row);
    m_itemSelectView->setFrame(platform::makeRect(0, 0, rowWidth, rowHeight));
    m_itemSelectView->raise();
}

void EasyCutterCutColumn::placeTimePanel()
{
    // Under the row of the cut it edits (the selected one), whichever row the overlay was on last.
    platform::Rect frame = m_timePanel->frame();
    const int64_t index = m_list.selectedCutIndex();
    if (index >= 0 && index < m_rows.size() && m_rows.at(index))
        frame.origin.y = m_rows.at(index)->frame().minY() - kPanelBelowRow;
    m_timePanel->setFrame(frame);
    m_timePanel->setVisible(m_list.modifyMode());
    m_timePanel->raise();
}

void EasyCutterCutColumn::detachOverlay()
{
    // Out of the rows, so that it is not deleted with them, and out of sight.
    m_itemSelectView->setHidden(true);
    m_itemSelectView->setParent(m_contentView);
    m_itemSelectView->setHidden(true);
}

bool EasyCutterCutColumn::overlayInRow() const
{
    return m_itemSelectView->parentWidget() != m_contentView;
}

void EasyCutterCutColumn::clearRows()
{
    // The overlay goes with the rows; nothing else changes.
    detachOverlay();
    for (const auto &row : std::as_const(m_rows))
        delete row.data();
    m_rows.clear();
}

void EasyCutterCutColumn::reload(bool locked)
{
    // The overlay went with the old rows: it shows again when the pointer enters a row (or a row is
    // clicked), and its index stays the row it was on.
    clearRows();

    const int count = m_list.count();
    const double viewHeight = m_scrollView->viewport()->height();
    const double height = std::max(viewHeight, rowHeight * count + kPanelBelowRow);
    m_contentView->setFrame(platform::makeRect(0, 0, width, height));
    m_contentView->resize(int(width), int(height));

    for (int i = 0; i < count; ++i) {
        const auto item = m_list.cutAt(i);
        auto *row = new CutItemView(
            platform::makeRect((width - rowWidth) / 2, height - rowHeight * (i + 1), rowWidth, rowHeight),
            m_contentView);
        row->setTag(i + 1);
        row->setNbackGroundImage(image(QStringLiteral("Cut/ListBottom_Normal.bmp")));
        row->setSbackGroundImage(image(QStringLiteral("Cut/ListBottom_Select.bmp")));
        row->setItem(item);
        row->mouseEntered = [this](CutItemView *r, double, double) {
            QPointer<CutItemView> guarded(r);
            if (m_actions.later)
                m_actions.later([this, guarded] { rowEntered(guarded); });
        };
        row->mouseExited = [this](CutItemView *r, double, double) {
            QPointer<CutItemView> guarded(r);
            if (m_actions.later)
                m_actions.later([this, guarded] { rowExited(guarded); });
        };
        row->action = [this](CutItemView *r) {
            if (m_actions.rowClicked)
                m_actions.rowClicked(r);
        };
        row->setSelected(i == m_list.selectedCutIndex());
        row->setEnabled(!locked);
        row->show();
        row->lower();
        m_rows.append(row);
    }
    updateMoveButtons();
    if (count == 0)
        m_timePanel->setHidden(true);
    else
        placeTimePanel();
    scrollToSelectItem();
}

void EasyCutterCutColumn::showSelection(CutItemView *selected)
{
    placeOverlay(selected);
    m_list.setOverlayIndex(selected->tag() - 1);
    m_itemSelectView->setHidden(false);
    for (const auto &row : std::as_const(m_rows))
        if (row)
            row->setSelected(row == selected);
    m_timePanel->setHidden(true);
    updateMoveButtons();
}

void EasyCutterCutColumn::showModifyState()
{
    for (const auto &row : std::as_const(m_rows))
        if (row)
            row->setSelected(row->tag() - 1 == m_list.selectedCutIndex());
    updateMoveButtons();
    m_modifyBtn->setSelected(m_list.modifyMode());
    placeTimePanel();
}

void EasyCutterCutColumn::refreshRow(int64_t index)
{
    if (index >= 0 && index < m_rows.size() && m_rows.at(index))
        m_rows.at(index)->setItem(m_list.cutAt(index));
}

void EasyCutterCutColumn::scrollToSelectItem()
{
    const int64_t index = m_list.selectedCutIndex();
    if (index < 0 || index >= m_rows.size() || !m_rows.at(index))
        return;
    m_scrollView->ensureWidgetVisible(m_rows.at(index), 0, int(kPanelBelowRow));
}

void EasyCutterCutColumn::rowEntered(CutItemView *row)
{
    if (!row)
        return;
    // While modifying (the panel shown) the overlay stays where it is.
    if (m_timePanel->isHidden()) {
        placeOverlay(row);
        m_list.setOverlayIndex(row->tag() - 1);
    }
    // Shown only on a row: an overlay that went with the old rows stays out of sight.
    if (overlayInRow())
        m_itemSelectView->setHidden(false);
}

void EasyCutterCutColumn::rowExited(CutItemView *)
{
    if (m_modifyBtn->selected())
        return;
    detachOverlay();
    m_list.setOverlayIndex(m_list.selectedCutIndex());
}
