#pragma once
// A one-line text that is not editable and draws no background: the labels inside the button family.
// The text is centred vertically in the frame and aligned horizontally by alignment(). Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QString>

class TextLabel : public platform::View
{
    Q_OBJECT

public:
    explicit TextLabel(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);
    QFont textFont() const { return m_font; }
    void setTextFont(const QFont &font);
    // Horizontal alignment (left by default).
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    // The font the text is drawn in: textFont(), or smaller (never under 10 px) when the text would not
    // fit the frame otherwise (see drawRect()).
    QFont drawnFont() const;
    // Gives every label of a group (the steps of a getting-started list) the font of the one drawn
    // smallest, so that all of them show at one size.
    static void shareDrawnFont(const QList<TextLabel *> &labels);

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    // How drawRect() lays out the text: the room, the flags and the font.
    struct Layout
    {
        platform::Rect room;
        int flags = 0;
        QFont font;
    };
    Layout layout() const;

    QString m_text;
    QColor m_textColor = Qt::black;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};
