#include "app/MainMenu.h"

#include <QMenu>

namespace {

const char *const kTagProperty = "menuTag";

} // namespace

MainMenu::MainMenu(int languageCount, QWidget *parent)
    : QMenuBar(parent)
{
    setNativeMenuBar(false); // it lives in the window's header strip
    setStyleSheet(QStringLiteral("QMenuBar { background: transparent; color: white; }"
                                 "QMenuBar::item { background: transparent; padding: 6px 10px; }"
                                 "QMenuBar::item:selected { background: rgba(255, 255, 255, 60); }"));

    QMenu *application = addTaggedMenu(10);
    setTag(application->addAction(QString()), 100);
    application->addSeparator();
    QAction *quit = application->addAction(QString());
    quit->setShortcut(QKeySequence::Quit);
    setTag(quit, 200);

    QMenu *languages = addTaggedMenu(20);
    for (int n = 0; n < languageCount; ++n) {
        QAction *entry = languages->addAction(QString());
        setTag(entry, 100 + n);
        m_languageItems.append(entry);
    }

    QMenu *help = addTaggedMenu(30);
    m_helpItemBtn = help->addAction(QString());
}

QMenu *MainMenu::addTaggedMenu(int tag)
{
    QMenu *menu = addMenu(QString());
    setTag(menu->menuAction(), tag);
    return menu;
}

QAction *MainMenu::itemWithTag(int tag) const
{
    for (QAction *item : actions()) {
        if (MainMenu::tag(item) == tag)
            return item;
    }
    return nullptr;
}

QAction *MainMenu::itemWithTag(const QMenu *menu, int tag)
{
    if (!menu)
        return nullptr;
    for (QAction *item : menu->actions()) {
        if (MainMenu::tag(item) == tag)
            return item;
    }
    return nullptr;
}

int MainMenu::tag(const QAction *item)
{
    return item ? item->property(kTagProperty).toInt() : 0;
}

void MainMenu::setTag(QAction *item, int tag)
{
    item->setProperty(kTagProperty, tag);
}
