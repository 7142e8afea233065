#pragma once
// The platform button of the move-item arrows: clicks are the platform's own (Button's action). It logs
// pointer moves over it; its mouse delegate is kept for the owner and never called. Main thread only.
#include "controls/Button.h"

class MouseMoveButton;

class ButtonMouseDelegate
{
public:
    virtual ~ButtonMouseDelegate() = default;
    virtual void mouseupEntered(MouseMoveButton *) {}
    virtual void mousedownExited(MouseMoveButton *) {}
};

class MouseMoveButton : public Button
{
    Q_OBJECT

public:
    explicit MouseMoveButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    // Non-owning; stored only.
    ButtonMouseDelegate *mouseDelegate() const { return m_mouseDelegate; }
    void setMouseDelegate(ButtonMouseDelegate *delegate) { m_mouseDelegate = delegate; }

protected:
    void mouseMoved(const platform::MouseEvent &event) override;

private:
    ButtonMouseDelegate *m_mouseDelegate = nullptr;
};
