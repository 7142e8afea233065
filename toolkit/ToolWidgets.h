#pragma once
// The small controls the list tool windows (joiner, batch cutter) build alike, so they look and act the
// same in both: the plain label, the grey list button, the blue add-file button, the start button and the
// e-mail icon of the empty-list hint. Each maker only builds and styles the control into `parent`; the
// window sets its click action, font or any look of its own afterwards. Main thread only.
#include "platform/Geometry.h"

#include <QColor>
#include <QList>
#include <QString>

class PNQButton;
class QWidget;
class TextLabel;
namespace platform {
class PopUpButton;
}

class ToolWidgets
{
public:
    // A label showing `value` in the system font of `size` points and `color`.
    static TextLabel *label(const platform::Rect &frame, const QString &value, QWidget *parent,
                            double size = 12, const QColor &color = Qt::black);
    // A light grey rounded button with a black title and a grey border (Remove, Clear, Up, Down and the
    // range commands).
    static PNQButton *listButton(const platform::Rect &frame, const QString &title, QWidget *parent);
    // The blue "AddFileBtnTitle" button over the About/btnAddFile background images.
    static PNQButton *addFileButton(const platform::Rect &frame, QWidget *parent);
    // The "StartExportTitle" button over the SubFun/btnStart background images.
    static PNQButton *startButton(const platform::Rect &frame, QWidget *parent);
    // The hidden pop-up of the snapshot formats, png, jpg and bmp in FrameCapture::styleAt()'s order.
    static platform::PopUpButton *snapshotStylePopUp(const platform::Rect &frame, QWidget *parent);
    // Gives the lines of a getting-started list one font: the size at which the longest of them still
    // fits its label (a label shrinks a text too long for it on its own, which would leave the steps in
    // different sizes).
    static void shareOneFontSize(const QList<TextLabel *> &steps);
    // The mail icon: a click logs "email Selected" and opens a mail to the "email_address" text, with an
    // empty subject and body.
    static PNQButton *emailButton(const platform::Rect &frame, QWidget *parent);
};
