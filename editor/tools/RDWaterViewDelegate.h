#pragma once
// What the watermark overlay reports. Every method is optional (empty by default). Rectangles are in the
// overlay's points, origin bottom-left, unless said otherwise.
#include "platform/Geometry.h"

#include <QImage>

class RDWaterView;

class RDWaterViewDelegate
{
public:
    virtual ~RDWaterViewDelegate() = default;

    // At every press of an enabled overlay; `waterRect` is the zero rectangle.
    virtual void actionMouseMoveBeginForWaterViewBlock(RDWaterView *view, const platform::Rect &waterRect)
    {
        (void)view;
        (void)waterRect;
    }
    // At the release: the rectangle as fractions of the overlay (x / W, y / H, w / W, h / H).
    virtual void actionMouseMoveEndForWaterViewBlock(RDWaterView *view, const platform::Rect &waterRect)
    {
        (void)view;
        (void)waterRect;
    }
    // After a drag step: the rectangle as it now stands.
    virtual void actionMouseMovedForWaterViewBlock(RDWaterView *view, const platform::Rect &waterRect)
    {
        (void)view;
        (void)waterRect;
    }
    // At every drawing pass of a text watermark: the text rendered on a transparent picture, kept for the
    // export.
    virtual void DreawwaterImage(const QImage &image) { (void)image; }
};
