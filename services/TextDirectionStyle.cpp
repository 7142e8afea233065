#include "services/TextDirectionStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionComboBox>
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
    if (element == CE_ComboBoxLabel) {
        if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option)) {
            QStyleOptionComboBox shown(*combo);
            shown.currentText = comboBoxLabel(*combo, widget);
            QProxyStyle::drawControl(element, &shown, painter, widget);
            return;
        }
    }
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

QString TextDirectionStyle::comboBoxLabel(const QStyleOptionComboBox &option, const QWidget *widget) const
{
    QRect field = subControlRect(CC_ComboBox, &option, SC_ComboBoxEditField, widget);
    if (!option.currentIcon.isNull())
        field.setLeft(field.left() + option.iconSize.width() + 4);
    return option.fontMetrics.elidedText(option.currentText, Qt::ElideMiddle, field.width());
}
