#pragma once
// A button title with its look, as HelpClass::retButtonTitle makes it and controls draw it.
//
// An empty title carries nothing else (invalid colour, no alignment, no font). When the asked font does
// not exist, the title carries only colour and alignment: the control draws it in its default font with
// no shadow. shadowOffset is in points with y upwards, like the frames of platform::View.
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>
#include <optional>

struct StyledTitle
{
    QString text;
    QColor color;
    Qt::Alignment alignment; // horizontal only; the control adds its vertical alignment
    std::optional<QFont> font;
    bool shadow = false; // draw a shadow; when false the fields below draw nothing visible
    qreal shadowBlur = 0;
    QColor shadowColor;
    QPointF shadowOffset;
};
