#pragma once
// A text field that starts disabled and, once enabled, hands every click to its mouse delegate instead of
// starting to edit: a click never places a caret by itself (the time fields use the click to pick the
// field that the stepper edits). Main thread only.
#include "platform/TextField.h"

class RDTextField;

class RDTextFieldDelegate
{
public:
    virtual ~RDTextFieldDelegate() = default;
    virtual void actionMouseDownForTextFieldBlock(RDTextField *) {}
};

class RDTextField : public platform::TextField
{
    Q_OBJECT

public:
    explicit RDTextField(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDTextField() override;

    // Non-owning; the delegate must outlive the field or be reset first.
    RDTextFieldDelegate *mouseDelegate() const { return m_mouseDelegate; }
    void setMouseDelegate(RDTextFieldDelegate *delegate) { m_mouseDelegate = delegate; }

private:
    RDTextFieldDelegate *m_mouseDelegate = nullptr;
};
