#pragma once
// The platform's image view: shows one image inside its frame, centred, scaled by its scaling rule.
// It does not handle the mouse, so presses go on to the view under it (the bars and sliders built from
// image views get them). Main thread only.
#include "platform/View.h"

#include <QImage>

class ImageView : public platform::View
{
    Q_OBJECT

public:
    enum class Scaling {
        ProportionallyDown, // shrinks a larger image to fit, keeping its proportions; never enlarges
        AxesIndependently,  // stretches the image over the whole frame
        None,               // the image's own size, centred
    };

    explicit ImageView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    QImage image() const { return m_image; }
    // Shows `image` (a null image shows nothing) and redraws.
    void setImage(const QImage &image);
    Scaling imageScaling() const { return m_scaling; }
    void setImageScaling(Scaling scaling);

    // The frame drawn around the view, numbered as the platform numbers them: none (0) or a grey bezel
    // (2), a sunken one-point edge, dark at the top and left and light at the bottom and right.
    enum class FrameStyle { None = 0, GrayBezel = 2 };
    FrameStyle imageFrameStyle() const { return m_frameStyle; }
    void setImageFrameStyle(FrameStyle style);

    // The image's size in points (its device-independent size).
    static platform::Size imageSize(const QImage &image);

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QImage m_image;
    Scaling m_scaling = Scaling::ProportionallyDown;
    FrameStyle m_frameStyle = FrameStyle::None;
};
