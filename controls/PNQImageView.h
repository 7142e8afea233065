#pragma once
// An image view with a normal and a pressed image, mouse callbacks and an optional clamped horizontal
// drag (thumbs and markers).
//
// Press and release call MouseDownBlock / MouseUpBlock even while the view is disabled. A drag, only
// while enabled and only with MouseDraggedBlock set, puts the view's left edge at the pointer (no grab
// offset), clamped inside its superview, then calls MouseDraggedBlock. The foreground image (downImage()
// while pressed when there is one, else normalImage()) is drawn at its own size, centred horizontally,
// against the top edge. Main thread only.
#include "controls/ImageView.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <functional>

class PNQImageView : public ImageView
{
    Q_OBJECT

public:
    using Callback = std::function<void(PNQImageView *)>;

    explicit PNQImageView(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    // These redraw at once.
    QImage normalImage() const { return m_normalImage; }
    void setNormalImage(const QImage &image);
    QImage downImage() const { return m_downImage; }
    void setDownImage(const QImage &image);
    QColor backGroundColor() const { return m_backGroundColor; }
    void setBackGroundColor(const QColor &color);
    QColor bordColor() const { return m_bordColor; }
    void setBordColor(const QColor &color);
    double borderWidth() const { return View::borderWidth(); }
    void setBorderWidth(double width);
    double cornerRadius() const { return View::cornerRadius(); }
    void setCornerRadius(double radius);

    // These only store.
    QImage normalBackGroundImage() const { return m_normalBackGroundImage; }
    void setNormalBackGroundImage(const QImage &image) { m_normalBackGroundImage = image; }
    // A free value for the owner (a marker's position as a fraction of the source).
    double value() const { return m_value; }
    void setValue(double value) { m_value = value; }
    int64_t index() const { return m_index; }
    void setIndex(int64_t index) { m_index = index; }

    bool isPressed() const { return m_isDown; }

    Callback MouseDownBlock;
    Callback MouseUpBlock;
    Callback MouseDraggedBlock;

protected:
    bool event(QEvent *event) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QImage m_normalImage, m_downImage, m_normalBackGroundImage;
    QColor m_backGroundColor, m_bordColor;
    double m_value = 0;
    int64_t m_index = 0;
    bool m_isDown = false;
};
