#pragma once
// The application's main menu, in the coloured header strip of the main window: the application menu
// (tag 10, holding About with tag 100 and Quit with tag 200), the language menu (tag 20, one entry per
// interface language, tagged 100 + its number) and the Help menu (tag 30, holding the support entry).
// Titles are set by the application delegate; this class only lays the menu out and finds items by tag.
// Main thread only.
#include <QMenuBar>

class QMenu;

class MainMenu : public QMenuBar
{
    Q_OBJECT

public:
    // `languageCount`: 9 or 4 language entries.
    MainMenu(int languageCount, QWidget *parent = nullptr);

    // The top-level item with `tag`, or null.
    QAction *itemWithTag(int tag) const;
    // The item of `menu` with `tag`, or null.
    static QAction *itemWithTag(const QMenu *menu, int tag);
    static int tag(const QAction *item);
    static void setTag(QAction *item, int tag);

    QAction *helpItemBtn() const { return m_helpItemBtn; }
    // The language entries, entry n for language n.
    QList<QAction *> languageItems() const { return m_languageItems; }

private:
    QMenu *addTaggedMenu(int tag);

    QAction *m_helpItemBtn = nullptr;
    QList<QAction *> m_languageItems;
};
