#pragma once
// A switch made of an image and a text label: every release, wherever the pointer is, toggles selected()
// and then reports actionMouseUpForSwitchButtonBlock() to the delegate. Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QImage>
#include <QString>

class ImageView;
class RDSwitchButton;
class TextLabel;

class RDSwitchButtonDelegate
{
public:
    virtual ~RDSwitchButtonDelegate() = default;
    virtual void actionMouseUpForSwitchButtonBlock(RDSwitchButton *) {}
};

class RDSwitchButton : public platform::View
{
    Q_OBJECT

public:
    explicit RDSwitchButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDSwitchButton() override;

    // Non-owning; the delegate must outlive the button or be reset first.
    RDSwitchButtonDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDSwitchButtonDelegate *delegate) { m_delegate = delegate; }

    ImageView *imageView() const { return m_imageView; }
    TextLabel *titleLabel() const { return m_titleLabel; }

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QImage normalImage() const { return m_normalImage; }
    void setNormalImage(const QImage &image) { m_normalImage = image; }
    QImage heightedImage() const { return m_heightedImage; }
    void setHeightedImage(const QImage &image) { m_heightedImage = image; }
    QImage selectedImage() const { return m_selectedImage; }
    void setSelectedImage(const QImage &image) { m_selectedImage = image; }
    // Title colours; an unset one becomes black when it is first needed.
    QColor normalColor() const { return m_normalColor; }
    void setNormalColor(const QColor &color) { m_normalColor = color; }
    QColor heightedColor() const { return m_heightedColor; }
    void setHeightedColor(const QColor &color) { m_heightedColor = color; }
    QColor selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const QColor &color) { m_selectedColor = color; }

    bool selected() const { return m_selected; }
    // Stores the flag and shows the state's image and title colour.
    void setSelected(bool selected);

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &) override {}

private:
    void down();
    void up();
    void showTitle(QColor &color);

    RDSwitchButtonDelegate *m_delegate = nullptr;
    ImageView *m_imageView = nullptr;
    TextLabel *m_titleLabel = nullptr;
    QString m_title;
    QImage m_normalImage, m_heightedImage, m_selectedImage;
    QColor m_normalColor, m_heightedColor, m_selectedColor;
    bool m_selected = false;
};
