#pragma once
// The title part of RDCustomButton: draws a styled title centred over its bounds, and, when it has a
// platform title (a non-null string, even empty), fills its bounds with backgroundColor() and draws that
// title centred in titleFont() ("Verdana" 12 when unset) and titleColor() (black when unset).
//
// It does not track presses itself: a press and a release are handed to the delegate as they come. Main
// thread only.
#include "model/StyledTitle.h"
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class RDTitleButton;

class RDTitleButtonDelegate
{
public:
    virtual ~RDTitleButtonDelegate() = default;
    virtual void actionMouseDownForTitleButtonBlock(RDTitleButton *) {}
    virtual void actionMouseUpForTitleButtonBlock(RDTitleButton *) {}
};

class RDTitleButton : public platform::View
{
    Q_OBJECT

public:
    explicit RDTitleButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    std::optional<StyledTitle> attributedStringTitle() const { return m_attributedStringTitle; }
    // Stores the styled title and redraws at once.
    void setAttributedStringTitle(const std::optional<StyledTitle> &title);
    std::optional<QFont> titleFont() const { return m_titleFont; }
    void setTitleFont(const std::optional<QFont> &font);
    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color) { m_titleColor = color; }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
    // The platform title; a null string is none (nothing of the second kind is drawn).
    QString title() const { return m_title; }
    void setTitle(const QString &title);

    // Moves the button, redraws and logs "frame:%@".
    void setFrame(const platform::Rect &frame);

    // Non-owning; the delegate must outlive the button or be reset first.
    RDTitleButtonDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDTitleButtonDelegate *delegate) { m_delegate = delegate; }

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &) override {}
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    std::optional<StyledTitle> m_attributedStringTitle;
    std::optional<QFont> m_titleFont;
    QColor m_titleColor;
    QColor m_backgroundColor;
    QString m_title;
    RDTitleButtonDelegate *m_delegate = nullptr;
};
