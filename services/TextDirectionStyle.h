#pragma once
// The application's widget style: Qt's own style, except that every text it draws takes its paragraph
// direction from its own characters, so an Arabic label reads right to left (its colon and full stop at
// the left end) while the control stays where it is placed and keeps its alignment. A pop-up's shown
// title that is wider than its field (a long folder path) loses its middle to an ellipsis instead of being
// cut off mid-letter. Main thread only.
#include <QProxyStyle>

class QStyleOptionComboBox;

class TextDirectionStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Makes the application's style a TextDirectionStyle over the style in use; does nothing when it
    // already is one or when there is no QApplication.
    static void install();

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette, bool enabled,
                      const QString &text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // The title a pop-up shows for `option`: whole when it fits its field, else elided in the middle.
    QString comboBoxLabel(const QStyleOptionComboBox &option, const QWidget *widget) const;

private:
    explicit TextDirectionStyle(const QString &baseStyle);
};
