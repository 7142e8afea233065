#pragma once
// The label that shows a text watermark inside the watermark overlay.
//
// It draws its string with its font and text colour into its bounds, from the top-left, wrapping at
// words; no bezel, background or border. drawContent() paints the same into any painter, so the overlay
// can render the text into a picture without asking the widget to paint. It never takes the mouse.
// Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QString>

class QYTextFiledCenter : public platform::View
{
    Q_OBJECT

public:
    explicit QYTextFiledCenter(QWidget *parent = nullptr);

    QString stringValue() const { return m_stringValue; }
    void setStringValue(const QString &text);
    QFont textFont() const { return m_font; }
    void setTextFont(const QFont &font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);
    // Stored only.
    double oringeY() const { return m_oringeY; }
    void setOringeY(double y) { m_oringeY = y; }

    // Paints the text into `painter`, whose y axis points up with (0, 0) at the bottom-left of a `size`
    // area (the label's bounds when it draws itself). `opaque` draws the colour without its alpha.
    void drawContent(QPainter &painter, platform::Size size, bool opaque = false) const;

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QString m_stringValue;
    QFont m_font;
    QColor m_textColor = Qt::black;
    double m_oringeY = 0;
};
