#include "controls/MouseMoveButton.h"

#include "platform/Log.h"

MouseMoveButton::MouseMoveButton(const platform::Rect &frame, QWidget *parent) : Button(frame, parent)
{
    // The tracking over the bounds follows the button wherever it is placed.
    setMouseTracking(true);
}

void MouseMoveButton::mouseMoved(const platform::MouseEvent &)
{
    platform::log("%s", "-[MouseMoveButton mouseMoved:]");
}
