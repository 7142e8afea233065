#pragma once
// The pieces every edit tool's panel is built from, so the panels look alike: labels, the wrapped
// description, number fields on the trim-field background, and the reset button. Each is placed by a
// bottom-left frame in the panel and pinned to the panel's top. Main thread only.
#include "platform/Geometry.h"

#include <QString>

#include <functional>
#include <initializer_list>

class PNQButton;
class QLabel;
class QWidget;
class TextLabel;

namespace platform {
class TextField;
class TextFieldDelegate;
class View;
} // namespace platform

namespace ToolPanel {

// Places the Qt widget `widget` (a slider, a scroll area, a wrapped label) over `frame`, filling it.
QWidget *hosted(platform::View *panel, const platform::Rect &frame, QWidget *widget, int margin = 0);
// Enables or disables every control of `controls` that exists (a null one is nothing to do).
void setEnabled(std::initializer_list<QWidget *> controls, bool enable);
// A one-line label in the system font at 13 points, black.
TextLabel *label(platform::View *panel, const platform::Rect &frame, const QString &text);
// A wrapped, left-aligned text on a clear background (the panels' description).
QLabel *description(platform::View *panel, const platform::Rect &frame, const QString &text);
// An editable number field on "Resources/trim_textfield.png", showing 0, disabled, reporting to
// `delegate`.
platform::TextField *numberField(platform::View *panel, const platform::Rect &frame,
                                 platform::TextFieldDelegate *delegate);
// The "ResetBtnTitle" button (accent border, corner radius 5), disabled; `action` runs on a click.
PNQButton *resetButton(platform::View *panel, const platform::Rect &frame, std::function<void()> action);

} // namespace ToolPanel
