#pragma once
// The application's widget style: Qt's own style, except that every text it draws takes its paragraph
// direction from its own characters, so an Arabic label reads right to left (its colon and full stop at
// the left end) while the control stays where it is placed and keeps its alignment. Main thread only.
#include <QProxyStyle>

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

private:
    explicit TextDirectionStyle(const QString &baseStyle);
};
