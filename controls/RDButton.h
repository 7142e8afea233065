#pragma once
// An image button with a text label (the cancel button of the join progress panel). enabled() and
// selected() are its own flags. A press shows the pressed back image and title colour; the release,
// wherever the pointer is, restores the back image, makes the button selected and reports
// actionMouseUpForRDButtonBlock() to the delegate. It stays selected until its owner deselects it.
// A button that is not enabled ignores the mouse. Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class ImageView;
class RDButton;
class TextLabel;

class RDButtonDelegate
{
public:
    virtual ~RDButtonDelegate() = default;
    virtual void actionMouseUpForRDButtonBlock(RDButton *) {}
};

class RDButton : public platform::View
{
    Q_OBJECT

public:
    explicit RDButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDButton() override;

    // Non-owning; the delegate must outlive the button or be reset first.
    RDButtonDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDButtonDelegate *delegate) { m_delegate = delegate; }

    ImageView *backgroundView() const { return m_backgroundView; }
    TextLabel *titleLabel() const { return m_titleLabel; }

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Title colours: normal (applied at once, whatever the state), pressed, selected, disabled.
    QColor normalColor() const { return m_normalColor; }
    void setNormalColor(const QColor &color);
    QColor heightedColor() const { return m_heightedColor; }
    void setHeightedColor(const QColor &color) { m_heightedColor = color; }
    QColor selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const QColor &color) { m_selectedColor = color; }
    QColor disabledColor() const { return m_disabledColor; }
    void setDisabledColor(const QColor &color) { m_disabledColor = color; }
    QFont titleFont() const;
    void setFont(const QFont &font);

    // Normal and pressed back images; setting either shows it at once.
    QImage backImage() const { return m_backImage; }
    void setBackImage(const QImage &image);
    QImage heightBackImage() const { return m_heightBackImage; }
    void setHeightBackImage(const QImage &image);
    platform::Rect titleLabelFrame() const { return m_titleLabelFrame; }
    void setTitleLabelFrame(const platform::Rect &frame);

    // Stored only.
    QImage normalImage() const { return m_normalImage; }
    void setNormalImage(const QImage &image) { m_normalImage = image; }
    QImage heightedImage() const { return m_heightedImage; }
    void setHeightedImage(const QImage &image) { m_heightedImage = image; }
    QImage selectedHeightedImage() const { return m_selectedHeightedImage; }
    void setSelectedHeightedImage(const QImage &image) { m_selectedHeightedImage = image; }
    QImage selectedImage() const { return m_selectedImage; }
    void setSelectedImage(const QImage &image) { m_selectedImage = image; }
    QImage disabledImage() const { return m_disabledImage; }
    void setDisabledImage(const QImage &image) { m_disabledImage = image; }
    QImage selectedDisabledImage() const { return m_selectedDisabledImage; }
    void setSelectedDisabledImage(const QImage &image) { m_selectedDisabledImage = image; }

    // The click: selects the button and reports it.
    void actioniconBtn();

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &) override {}

private:
    void applyTitleColor();

    RDButtonDelegate *m_delegate = nullptr;
    ImageView *m_backgroundView = nullptr;
    TextLabel *m_titleLabel = nullptr;
    QString m_title = QStringLiteral("title");
    bool m_selected = false;
    bool m_enabled = true;
    QColor m_normalColor, m_heightedColor, m_selectedColor, m_disabledColor;
    QImage m_backImage, m_heightBackImage;
    platform::Rect m_titleLabelFrame;
    QImage m_normalImage, m_heightedImage, m_selectedHeightedImage, m_selectedImage, m_disabledImage,
        m_selectedDisabledImage;
};
