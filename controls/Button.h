#pragma once
// The platform's push button, as the few controls that keep the platform's own click handling use it:
// an image (the alternate image while pressed) and an optional title, and an action sent when a press
// that began on the button is released over it while the button is enabled. Main thread only.
#include "platform/View.h"

#include <QImage>
#include <QString>

#include <functional>

class Button : public platform::View
{
    Q_OBJECT

public:
    explicit Button(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    QImage alternateImage() const { return m_alternateImage; }
    void setAlternateImage(const QImage &image);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    bool isHighlighted() const { return m_pressed; }

    // The target and action: called with the button after a click.
    std::function<void(Button *)> action;

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    QImage m_image;
    QImage m_alternateImage;
    QString m_title;
    bool m_tracking = false; // a press began on the button
    bool m_pressed = false;  // ... and the pointer is over it now
};
