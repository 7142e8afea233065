#pragma once
// The application-wide push button. It draws itself: a background image (or colour), a title in its own
// colour and a foreground image, each chosen by the state (disabled, hovered, pressed, selected, normal):
//
//   disabled -> the disabled image; hovered -> the down image when pressed, else the on image;
//   selected -> the selected image; otherwise the down image when pressed, else the normal image.
//
// A missing foreground image falls back to the selected image (when selected) and then to the normal one;
// background images have no fallback and give way to backGroundColor / disAblebackGroundColor.
//
// A click is reported through mouseDownAction on the release of a press that began on the button, when
// the release is over the button's current bounds and the button is enabled; never on the press. Hover
// follows the pointer over the current bounds (Qt's enter and leave), whatever size the button has.
// Setting an image, colour or number does not redraw; setSelected(), setEnabled() and setContentTitle()
// do. Main thread only; the callbacks are called synchronously from the event handlers.
#include "model/PNQPosition.h"
#include "platform/View.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class PNQButton : public platform::View
{
    Q_OBJECT

public:
    using Callback = std::function<void(PNQButton *)>;

    explicit PNQButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~PNQButton() override;

    // Foreground images of the five states.
    QImage normalImage() const { return m_normalImage; }
    void setNormalImage(const QImage &image) { m_normalImage = image; }
    QImage onImage() const { return m_onImage; }
    void setOnImage(const QImage &image) { m_onImage = image; }
    QImage downImage() const { return m_downImage; }
    void setDownImage(const QImage &image) { m_downImage = image; }
    QImage selectedImage() const { return m_selectedImage; }
    void setSelectedImage(const QImage &image) { m_selectedImage = image; }
    QImage disAbleImage() const { return m_disAbleImage; }
    void setDisAbleImage(const QImage &image) { m_disAbleImage = image; }
    // The normal, hover, pressed and disabled images of a resource stem: "Join/btnPlay" gives
    // "Join/btnPlay_Normal.png", "_On.png", "_Down.png" and "_Disable.png". The selected image is left alone.
    void setStateImages(const QString &stem);
    // The same for the background images, of `extension`: "SubFun/btnStart" gives
    // "SubFun/btnStart_Normal.bmp",
    // "_On.bmp", "_Down.bmp" (also the selected one) and "_Disable.bmp".
    void setStateBackgroundImages(const QString &stem, const QString &extension = QStringLiteral(".bmp"));

    // Background images of the same states, drawn stretched over the button.
    QImage normalBackgroundImage() const { return m_normalBackgroundImage; }
    void setNormalBackgroundImage(const QImage &image) { m_normalBackgroundImage = image; }
    QImage onBackgroundImage() const { return m_onBackgroundImage; }
    void setOnBackgroundImage(const QImage &image) { m_onBackgroundImage = image; }
    QImage downBackgroundImage() const { return m_downBackgroundImage; }
    void setDownBackgroundImage(const QImage &image) { m_downBackgroundImage = image; }
    QImage selectedBackgroundImage() const { return m_selectedBackgroundImage; }
    void setSelectedBackgroundImage(const QImage &image) { m_selectedBackgroundImage = image; }
    QImage disAbleBackgroundImage() const { return m_disAbleBackgroundImage; }
    void setDisAbleBackgroundImage(const QImage &image) { m_disAbleBackgroundImage = image; }

    // Fill when no background image applies (an invalid colour is unset and fills nothing).
    QColor backGroundColor() const { return m_backGroundColor; }
    void setBackGroundColor(const QColor &color) { m_backGroundColor = color; }
    QColor disAblebackGroundColor() const { return m_disAblebackGroundColor; }
    void setDisAblebackGroundColor(const QColor &color) { m_disAblebackGroundColor = color; }

    // The layer's border and corner radius; used only while cornerRadius() > 0.
    QColor bordColor() const { return m_bordColor; }
    void setBordColor(const QColor &color);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);

    // The title this button draws, in contentColor() (white when unset) or grey when disabled.
    QString contentTitle() const { return m_contentTitle; }
    void setContentTitle(const QString &title);
    QColor contentColor() const { return m_contentColor; }
    void setContentColor(const QColor &color) { m_contentColor = color; }

    // Foreground image placement: 0 beside the title on its left, centred together (default); 1 at the
    // left edge; 2 at the right edge.
    int64_t contentImagePosition() const { return m_contentImagePosition; }
    void setContentImagePosition(int64_t position) { m_contentImagePosition = position; }
    // Extra width counted into the centred group of image and title.
    double leftIconWidth() const { return m_leftIconWidth; }
    void setLeftIconWidth(double width) { m_leftIconWidth = width; }
    // Insets of a title drawn without image (only left and right are read); none centres it.
    std::optional<PNQPosition> titlePosition() const { return m_titlePosition; }
    void setTitlePosition(const std::optional<PNQPosition> &position) { m_titlePosition = position; }
    // Room kept clear at the right edge for a view laid over the button: a centred title that would
    // reach into it moves left (or shrinks) instead.
    void setTitleRightMargin(double margin) { m_titleRightMargin = margin; }

    // An underlined, link-style title with the pointing-hand cursor.
    bool underLine() const { return m_underLine; }
    void setUnderLine(bool on) { m_underLine = on; }
    // Kept for the owner; the check kind draws nothing of its own and clicks as the push kind does.
    bool isCheckType() const { return m_isCheckType; }
    void setIsCheckType(bool on) { m_isCheckType = on; }

    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    // Enabled is QWidget's flag; setEnabled() redraws.
    int64_t index() const { return m_index; }
    void setIndex(int64_t index) { m_index = index; }

    // The state the look follows (for owners that mirror it).
    bool isHovered() const { return m_isUp; }
    bool isPressed() const { return m_isDown; }

    Callback mouseDownAction; // the click
    // The pointer entered or left (enabled only). Named with a suffix: the event handlers of View own the
    // plain names.
    Callback mouseEnteredCallback;
    Callback mouseExitedCallback;

protected:
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    void applyLayer();
    QImage chosen(const QImage &normal, const QImage &on, const QImage &down, const QImage &selected,
                  const QImage &disabled) const;

    QImage m_normalImage, m_onImage, m_downImage, m_selectedImage, m_disAbleImage;
    QImage m_normalBackgroundImage, m_onBackgroundImage, m_downBackgroundImage, m_selectedBackgroundImage,
        m_disAbleBackgroundImage;
    QColor m_backGroundColor;
    QColor m_disAblebackGroundColor;
    QColor m_bordColor;
    double m_borderWidth = 0;
    double m_cornerRadius = 0;
    QString m_contentTitle;
    QColor m_contentColor;
    int64_t m_contentImagePosition = 0;
    double m_leftIconWidth = 0;
    std::optional<PNQPosition> m_titlePosition;
    double m_titleRightMargin = 0;
    bool m_underLine = false;
    bool m_isCheckType = false;
    bool m_selected = false;
    int64_t m_index = 0;

    bool m_isUp = false;   // the pointer is over the button
    bool m_isDown = false; // a press began on the button and is not released yet
};
