#include "controls/RDTextField.h"

#include "platform/Log.h"

RDTextField::RDTextField(const platform::Rect &frame, QWidget *parent) : platform::TextField(frame, parent)
{
    setEnabled(false);
    mouseDownHandler = [this](platform::TextField &) {
        platform::log("down");
        if (!isEnabled())
            return false; // the platform's handling
        if (m_mouseDelegate)
            m_mouseDelegate->actionMouseDownForTextFieldBlock(this);
        return true;
    };
}

RDTextField::~RDTextField()
{
    platform::log("%s", "-[RDTextField dealloc]");
}
