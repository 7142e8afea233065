#pragma once
// A pop-up list (one item chosen and shown) or a pull-down list (item 0 is the title, always shown).
//
// Items have titles and may have a styled title (font and colour) for their entry in the list. The action
// runs when the user chooses an item (or chooseItemAtIndex() acts as the user); selecting by code does
// not run it. In a pull-down list the chosen index is remembered while the button keeps showing item 0.
#include "platform/View.h"

#include <QFont>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;

namespace platform {

struct StyledTitle
{
    QString text;
    std::optional<QFont> font;
    QColor color; // invalid = the list's default colour
};

class PopUpButton : public View
{
    Q_OBJECT

public:
    explicit PopUpButton(const Rect &frame = Rect{}, bool pullsDown = false, QWidget *parent = nullptr);

    bool pullsDown() const { return m_pullsDown; }
    void setPullsDown(bool on);

    void addItemWithTitle(const QString &title);
    void addItemsWithTitles(const QStringList &titles);
    void insertItemWithTitle(const QString &title, int index);
    void removeItemAtIndex(int index);
    void removeAllItems();

    int numberOfItems() const;
    QStringList itemTitles() const;
    QString itemTitleAtIndex(int index) const; // empty when out of range
    int indexOfItemWithTitle(const QString &title) const; // -1 when absent
    QString lastItemTitle() const { return itemTitleAtIndex(numberOfItems() - 1); }

    // Gives the item a styled title (its plain title becomes styled.text).
    void setItemStyledTitle(int index, const StyledTitle &styled);
    StyledTitle itemStyledTitle(int index) const;

    // The chosen item, -1 when none.
    int indexOfSelectedItem() const { return m_selectedIndex; }
    QString titleOfSelectedItem() const { return itemTitleAtIndex(m_selectedIndex); }
    // Selects by code (no action). An index out of range selects nothing.
    void selectItemAtIndex(int index);
    void selectItemWithTitle(const QString &title);
    // As if the user chose the item: selects it and runs the action. The title of a pull-down list
    // (item 0) cannot be chosen, by this call or by the user: choosing it does nothing.
    void chooseItemAtIndex(int index);

    // The text shown on the button. setTitle() in a pop-up list selects the item with that title, adding
    // it at the end when there is none, as the original platform does; in a pull-down list it renames
    // item 0 (adding it to an empty list).
    QString title() const;
    void setTitle(const QString &title);

    std::function<void(PopUpButton &)> action;

    // The underlying combo box (for tests that click through the list).
    QComboBox *comboBox() const { return m_combo; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void userActivated(int index);
    void showCurrent();
    void applyTitleRowVisibility();

    QComboBox *m_combo = nullptr;
    bool m_pullsDown = false;
    int m_selectedIndex = -1;
};

} // namespace platform
