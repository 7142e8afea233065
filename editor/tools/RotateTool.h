#pragma once
// The rotate and mirror tool: quarter turns left and right, a mirror left to right and one top to bottom
// (both of the picture as shown), and reset.
//
// It holds the user's rotation (clockwise, 0, 90, 180 or 270) and the two mirror flags, which always
// refer to the axes of the unrotated source frame: at 90 and 270 the shown picture's horizontal mirror is
// the source's vertical one and the other way round. A turn or a mirror moves the picture, so the window
// lays the overlays out again (EditToolHost::pictureTurned) and the crop, the watermarks and the subtitle
// stay on it; every change then goes to the preview through EditToolHost::editsChanged. Reset returns to
// the untouched picture: no turn, no mirror, no crop, no watermarks, no subtitle. Main thread only.
#include "editor/tools/EditToolHost.h"

#include <QPointer>

class PNQButton;
struct ExportEditState;

namespace platform {
class View;
}

class RotateTool
{
public:
    explicit RotateTool(EditToolHost &host) : m_host(host) {}

    // The angle after a quarter turn left (0 -> 270 -> 180 -> 90 -> 0) or right (the reverse).
    static int turnedLeft(int angle);
    static int turnedRight(int angle);
    // The source-frame flag a mirror of the shown picture toggles: at 90 and 270 a horizontal mirror is
    // the source's vertical one (true = hFlip, false = vFlip).
    static bool mirrorTogglesHFlip(int angle, bool horizontal);

    // Builds the panel into `panel` once: the strip of four buttons, the description and reset; every
    // button starts disabled.
    void initAdjustView(platform::View *panel);
    void enableEdit(bool enable);

    // The buttons' click work (the buttons queue it one turn later).
    void leftRatioAction();
    void rightRatioAction();
    void horizontalMirrorAction();
    void verticalMirrorAction();
    // Queues the reset: angle 0, no mirror, the overlays laid out again, the crop, the watermarks and the
    // subtitle cleared.
    void resetRotateTouchUp();
    void resetRotate();

    void exportInto(ExportEditState &state) const;

    int playerRotateAngle() const { return m_playerRotateAngle; }
    void setPlayerRotateAngle(int angle) { m_playerRotateAngle = angle; }
    int hFlip() const { return m_hFlip; }
    void setHFlip(int flip) { m_hFlip = flip; }
    int vFlip() const { return m_vFlip; }
    void setVFlip(int flip) { m_vFlip = flip; }

    PNQButton *leftRatioBtn() const { return m_left_ratioBtn; }
    PNQButton *rightRatioBtn() const { return m_right_ratioBtn; }
    PNQButton *horizontalMirrorBtn() const { return m_horizontal_mirrorBtn; }
    PNQButton *verticalMirrorBtn() const { return m_vertical_mirrorBtn; }
    PNQButton *resetRotateBtn() const { return m_resetRotateBtn; }

private:
    void turnTo(int angle);
    void mirror(bool horizontal);

    EditToolHost &m_host;
    int m_playerRotateAngle = 0;
    int m_hFlip = 0;
    int m_vFlip = 0;
    QPointer<PNQButton> m_left_ratioBtn, m_right_ratioBtn, m_horizontal_mirrorBtn, m_vertical_mirrorBtn,
        m_resetRotateBtn;
};
