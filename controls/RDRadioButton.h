#pragma once
// A radio button with a text label. enabled() and selected() are its own flags; a click (on the view or
// on its platform radio button) makes it selected and reports actionMouseUpForRDRadioButtonBlock() to the
// delegate. It never deselects itself: the owner deselects the others of its group. A button that is not
// enabled ignores the mouse. Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class ImageView;
class QRadioButton;
class RDRadioButton;
class TextLabel;

class RDRadioButtonDelegate
{
public:
    virtual ~RDRadioButtonDelegate() = default;
    virtual void actionMouseUpForRDRadioButtonBlock(RDRadioButton *) {}
};

class RDRadioButton : public platform::View
{
    Q_OBJECT

public:
    explicit RDRadioButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDRadioButton() override;

    // Non-owning; the delegate must outlive the button or be reset first.
    RDRadioButtonDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDRadioButtonDelegate *delegate) { m_delegate = delegate; }

    ImageView *backgroundView() const { return m_backgroundView; }
    QRadioButton *iconView() const { return m_iconView; }
    TextLabel *titleLabel() const { return m_titleLabel; }

    // The label shows the title from the next setSelected() on.
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    void setFont(const QFont &font);

    QColor normalColor() const { return m_normalColor; }
    void setNormalColor(const QColor &color) { m_normalColor = color; }
    QColor heightedColor() const { return m_heightedColor; }
    void setHeightedColor(const QColor &color) { m_heightedColor = color; }
    QColor selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const QColor &color) { m_selectedColor = color; }
    QColor disabledColor() const { return m_disabledColor; }
    void setDisabledColor(const QColor &color) { m_disabledColor = color; }

    // Only heightedImage() is ever shown (on the radio button, from the first press on).
    QImage heightedImage() const { return m_heightedImage; }
    void setHeightedImage(const QImage &image) { m_heightedImage = image; }

    // The click: selects the button and reports it.
    void actioniconBtn();

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &) override {}

private:
    void applyLook();

    RDRadioButtonDelegate *m_delegate = nullptr;
    ImageView *m_backgroundView = nullptr;
    QRadioButton *m_iconView = nullptr;
    TextLabel *m_titleLabel = nullptr;
    QString m_title = QStringLiteral("title");
    bool m_enabled = true;
    bool m_selected = false;
    QColor m_normalColor, m_heightedColor, m_selectedColor, m_disabledColor;
    QImage m_heightedImage;
};
