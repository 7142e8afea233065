#pragma once
// A plain filled strip. Four of them lie around the rectangle of the crop overlay (dimming the picture
// outside it) and of the watermark overlay (transparent there); their frames carry the rectangle, and
// the overlays read it back from them when they draw.
//
// The fill is the view's background colour (none until set). Strips never take the mouse: presses on
// them reach the overlay underneath. Main thread only.
#include "platform/View.h"

class RDCropTmpView : public platform::View
{
    Q_OBJECT

public:
    explicit RDCropTmpView(QWidget *parent = nullptr);
    ~RDCropTmpView() override;

    // Lays four strips around `rect` inside an overlay of `size`: left (0, 0, L, H), right (R, 0, W - R, H),
    // top (L, T, R - L, H - T), bottom (L, 0, R - L, B).
    static void layAround(const platform::Rect &rect, platform::Size size, RDCropTmpView *leftView,
                          RDCropTmpView *rightView, RDCropTmpView *topView, RDCropTmpView *bottomView);
    // The rectangle the four strips enclose: (L, B, R - L, T - B) with L = the left strip's width, B = the
    // bottom strip's height, R = the right strip's x and T = the top strip's y, each in single precision.
    static platform::Rect rectBetween(const RDCropTmpView *leftView, const RDCropTmpView *rightView,
                                      const RDCropTmpView *topView, const RDCropTmpView *bottomView);
};
