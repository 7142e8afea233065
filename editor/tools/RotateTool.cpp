#include "editor/tools/RotateTool.h"

#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "editor/EditorExportHost.h"
#include "editor/tools/ToolPanel.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

int RotateTool::turnedLeft(int angle)
{
    switch (angle) {
    case 0:
        return 270;
    case 90:
        return 0;
    case 180:
        return 90;
    default:
        return 180;
    }
}

int RotateTool::turnedRight(int angle)
{
    switch (angle) {
    case 0:
        return 90;
    case 90:
        return 180;
    case 180:
        return 270;
    default:
        return 0;
    }
}

bool RotateTool::mirrorTogglesHFlip(int angle, bool horizontal)
{
    const bool turned = angle == 90 || angle == 270;
    return horizontal != turned;
}

void RotateTool::initAdjustView(platform::View *panel)
{
    using platform::makeRect;
    const double w = panel->frame().width();
    const double h = panel->frame().height();
    auto *strip = new PNQView(makeRect(0, h - 80, w, 80), panel);
    strip->setAutoresizingMask(platform::View::MinYMargin);
    const double g = (w - 192) / 5;
    const struct
    {
        QPointer<PNQButton> *slot;
        const char *image;
        void (RotateTool::*action)();
    } buttons[] = {{&m_left_ratioBtn, "SubFun/旋转-左.png", &RotateTool::leftRatioAction},
                   {&m_right_ratioBtn, "SubFun/旋转-右.png", &RotateTool::rightRatioAction},
                   {&m_horizontal_mirrorBtn, "SubFun/左右翻转.png", &RotateTool::horizontalMirrorAction},
                   {&m_vertical_mirrorBtn, "SubFun/上下翻转.png", &RotateTool::verticalMirrorAction}};
    for (int i = 0; i < 4; ++i) {
        auto *b = new PNQButton(makeRect((i + 1) * g + 48 * i, 0, 48, 42), strip);
        const QImage image = ResourceService::imageWithfileName(QString::fromUtf8(buttons[i].image));
        b->setNormalImage(image);
        b->setOnImage(image);
        b->setDownImage(image);
        b->setDisAbleImage(image);
        b->setBorderWidth(0);
        b->setBackGroundColor(QColor(90, 216, 238));
        b->setDisAblebackGroundColor(QColor(167, 166, 166));
        b->setSelected(false);
        b->setEnabled(false);
        b->mouseDownAction = [this, action = buttons[i].action](PNQButton *) {
            m_host.queueOnMain([this, action] { (this->*action)(); });
        };
        *buttons[i].slot = b;
    }
    auto *box = new PNQView(makeRect(20, h - 205, w - 40, 110), panel);
    box->setAutoresizingMask(platform::View::MinYMargin);
    box->setBackgroundColor(QColor(185, 185, 185));
    ToolPanel::description(box, makeRect(0, 0, w - 40, 110),
                           LanguageService::localizedStringForKey("descripationLabelstringValue"));
    m_resetRotateBtn = ToolPanel::resetButton(panel, makeRect((w - 120) / 2, h - 250, 120, 30),
                                              [this] { resetRotateTouchUp(); });
}

void RotateTool::enableEdit(bool enable)
{
    ToolPanel::setEnabled({m_left_ratioBtn.data(), m_right_ratioBtn.data(), m_horizontal_mirrorBtn.data(),
                           m_vertical_mirrorBtn.data(), m_resetRotateBtn.data()},
                          enable);
}

void RotateTool::leftRatioAction()
{
    if (m_left_ratioBtn)
        m_left_ratioBtn->setSelected(false);
    turnTo(turnedLeft(m_playerRotateAngle));
}

void RotateTool::rightRatioAction()
{
    if (m_right_ratioBtn)
        m_right_ratioBtn->setSelected(false);
    turnTo(turnedRight(m_playerRotateAngle));
}

void RotateTool::turnTo(int angle)
{
    m_playerRotateAngle = angle;
    m_host.pictureTurned(false);
    m_host.editsChanged();
}

void RotateTool::horizontalMirrorAction()
{
    if (m_horizontal_mirrorBtn)
        m_horizontal_mirrorBtn->setSelected(false);
    mirror(true);
}

void RotateTool::verticalMirrorAction()
{
    if (m_vertical_mirrorBtn)
        m_vertical_mirrorBtn->setSelected(false);
    mirror(false);
}

void RotateTool::mirror(bool horizontal)
{
    if (mirrorTogglesHFlip(m_playerRotateAngle, horizontal))
        m_hFlip = m_hFlip ? 0 : 1;
    else
        m_vFlip = m_vFlip ? 0 : 1;
    // The crop moves with the picture: the overlays are laid out again.
    m_host.pictureTurned(false);
    m_host.editsChanged();
}

void RotateTool::resetRotateTouchUp()
{
    m_host.queueOnMain([this] { resetRotate(); });
}

void RotateTool::resetRotate()
{
    m_playerRotateAngle = 0;
    m_hFlip = 0;
    m_vFlip = 0;
    m_host.pictureTurned(true);
    m_host.editsChanged();
}

void RotateTool::exportInto(ExportEditState &state) const
{
    state.playerRotateAngle = m_playerRotateAngle;
    state.hFlip = m_hFlip;
    state.vFlip = m_vFlip;
}
