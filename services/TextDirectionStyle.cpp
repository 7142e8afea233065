#include "services/TextDirectionStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionMenuItem>

TextDirectionStyle::TextDirectionStyle(const QString &baseStyle) : QProxyStyle(baseStyle) {}

void TextDirectionStyle::install()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (qobject_cast<TextDirectionStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new TextDirectionStyle(QApplication::style()->name()));
}

// The painter's direction decides the paragraph direction of drawText(); "auto" lets the text decide.
// The alignment was already made visual by the caller, so the text stays on the side it was placed.
void TextDirectionStyle::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                                      bool enabled, const QString &text, QPalette::ColorRole textRole) const
{
    const Qt::LayoutDirection before = painter->layoutDirection();
    painter->setLayoutDirection(Qt::LayoutDirectionAuto);
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    painter->setLayoutDirection(before);
}

void TextDirectionStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    // Menu entries (and the entries of pop-up lists) draw their text themselves.
    if (element != CE_MenuItem) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const Qt::LayoutDirection before = painter->layoutDirection();
    painter->setLayoutDirection(Qt::LayoutDirectionAuto);
    QProxyStyle::drawControl(element, option, painter, widget);
    painter->setLayoutDirection(before);
}
