#pragma once
// A plain panel: a background colour, a background image stretched over it (drawn over the colour), and
// the layer's border and corner radius (which also clips the content). The colour, border and radius
// setters redraw at once; setBackGroundImage() shows at the next redraw. Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QImage>

class PNQView : public platform::View
{
    Q_OBJECT

public:
    explicit PNQView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    QColor backGroundColor() const { return m_backGroundColor; }
    void setBackGroundColor(const QColor &color);
    QImage backGroundImage() const { return m_backGroundImage; }
    void setBackGroundImage(const QImage &image) { m_backGroundImage = image; }
    QColor bordColor() const { return m_bordColor; }
    void setBordColor(const QColor &color);
    double borderWidth() const { return View::borderWidth(); }
    void setBorderWidth(double width);
    double cornerRadius() const { return View::cornerRadius(); }
    void setCornerRadius(double radius);

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QColor m_backGroundColor;
    QImage m_backGroundImage;
    QColor m_bordColor;
};
