#include "platform/PopUpButton.h"

#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace platform {

PopUpButton::PopUpButton(const Rect &frame, bool pullsDown, QWidget *parent)
    : View(frame, parent), m_combo(new QComboBox(this)), m_pullsDown(pullsDown)
{
    m_combo->setGeometry(rect());
    // A child made after its parent is on screen stays hidden unless shown (rows added to a shown list).
    m_combo->show();
    m_combo->setView(new QListView(m_combo));
    setFocusProxy(m_combo);
    connect(m_combo, &QComboBox::activated, this, &PopUpButton::userActivated);
}

void PopUpButton::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    m_combo->setGeometry(rect());
}

void PopUpButton::setPullsDown(bool on)
{
    m_pullsDown = on;
    applyTitleRowVisibility();
    showCurrent();
}

void PopUpButton::applyTitleRowVisibility()
{
    auto *list = qobject_cast<QListView *>(m_combo->view());
    auto *model = qobject_cast<QStandardItemModel *>(m_combo->model());
    for (int i = 0; i < m_combo->count(); ++i) {
        const bool title = m_pullsDown && i == 0;
        if (list)
            list->setRowHidden(i, title);
        // A hidden row can still be reached by the keyboard; a disabled one cannot.
        if (QStandardItem *item = model ? model->item(i) : nullptr)
            item->setEnabled(!title);
    }
}

void PopUpButton::showCurrent()
{
    const QSignalBlocker blocker(m_combo);
    m_combo->setCurrentIndex(m_pullsDown ? (m_combo->count() > 0 ? 0 : -1) : m_selectedIndex);
}

void PopUpButton::addItemWithTitle(const QString &title)
{
    insertItemWithTitle(title, numberOfItems());
}

void PopUpButton::addItemsWithTitles(const QStringList &titles)
{
    for (const QString &title : titles)
        addItemWithTitle(title);
}

void PopUpButton::insertItemWithTitle(const QString &title, int index)
{
    index = std::clamp(index, 0, numberOfItems());
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->insertItem(index, title);
    }
    // The first item of a pop-up list becomes selected, as on the original platform.
    if (m_selectedIndex >= index)
        ++m_selectedIndex;
    else if (m_selectedIndex < 0 && !m_pullsDown)
        m_selectedIndex = 0;
    applyTitleRowVisibility();
    showCurrent();
}

void PopUpButton::removeItemAtIndex(int index)
{
    if (index < 0 || index >= numberOfItems())
        return;
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->removeItem(index);
    }
    if (m_selectedIndex == index)
        m_selectedIndex = (!m_pullsDown && numberOfItems() > 0) ? 0 : -1;
    else if (m_selectedIndex > index)
        --m_selectedIndex;
    applyTitleRowVisibility();
    showCurrent();
}

void PopUpButton::removeAllItems()
{
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->clear();
    }
    m_selectedIndex = -1;
}

int PopUpButton::numberOfItems() const
{
    return m_combo->count();
}

QStringList PopUpButton::itemTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_combo->count(); ++i)
        titles << m_combo->itemText(i);
    return titles;
}

QString PopUpButton::itemTitleAtIndex(int index) const
{
    return (index >= 0 && index < m_combo->count()) ? m_combo->itemText(index) : QString();
}

int PopUpButton::indexOfItemWithTitle(const QString &title) const
{
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemText(i) == title)
            return i;
    }
    return -1;
}

void PopUpButton::setItemStyledTitle(int index, const StyledTitle &styled)
{
    if (index < 0 || index >= numberOfItems())
        return;
    m_combo->setItemText(index, styled.text);
    m_combo->setItemData(index, styled.font ? QVariant(*styled.font) : QVariant(), Qt::FontRole);
    m_combo->setItemData(index, styled.color.isValid() ? QVariant(styled.color) : QVariant(),
                         Qt::ForegroundRole);
}

StyledTitle PopUpButton::itemStyledTitle(int index) const
{
    StyledTitle styled;
    if (index < 0 || index >= numberOfItems())
        return styled;
    styled.text = m_combo->itemText(index);
    const QVariant font = m_combo->itemData(index, Qt::FontRole);
    if (font.isValid())
        styled.font = font.value<QFont>();
    const QVariant color = m_combo->itemData(index, Qt::ForegroundRole);
    if (color.isValid())
        styled.color = color.value<QColor>();
    return styled;
}

void PopUpButton::selectItemAtIndex(int index)
{
    m_selectedIndex = (index >= 0 && index < numberOfItems()) ? index : -1;
    showCurrent();
}

void PopUpButton::selectItemWithTitle(const QString &title)
{
    selectItemAtIndex(indexOfItemWithTitle(title));
}

void PopUpButton::chooseItemAtIndex(int index)
{
    if (index < 0 || index >= numberOfItems() || !isEnabled())
        return;
    userActivated(index);
}

void PopUpButton::userActivated(int index)
{
    // The title of a pull-down list is no choice.
    if (m_pullsDown && index == 0) {
        showCurrent();
        return;
    }
    m_selectedIndex = index;
    showCurrent();
    if (action)
        action(*this);
}

QString PopUpButton::title() const
{
    return m_pullsDown ? itemTitleAtIndex(0) : titleOfSelectedItem();
}

void PopUpButton::setTitle(const QString &title)
{
    if (m_pullsDown) {
        if (numberOfItems() == 0)
            addItemWithTitle(title);
        else
            m_combo->setItemText(0, title);
        return;
    }
    int index = indexOfItemWithTitle(title);
    if (index < 0) {
        addItemWithTitle(title);
        index = numberOfItems() - 1;
    }
    selectItemAtIndex(index);
}

} // namespace platform
