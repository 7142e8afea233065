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

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QString m_text;
    QColor m_textColor = Qt::black;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};
