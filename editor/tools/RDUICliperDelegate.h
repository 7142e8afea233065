#pragma once
// What the crop overlay reports while the user drags its rectangle. Every method is optional (empty by
// default). Rectangles are in the overlay's points, origin bottom-left, unless said otherwise.
#include "platform/Geometry.h"

class RDUICliper;

class RDUICliperDelegate
{
public:
    virtual ~RDUICliperDelegate() = default;

    // At every press, before the handle is chosen; `clipRect` is the zero rectangle.
    virtual void actionMoveBeginForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect)
    {
        (void)cliper;
        (void)clipRect;
    }
    // After every drag step, whether or not anything moved: the rectangle as it now stands.
    virtual void actionMovedForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect)
    {
        (void)cliper;
        (void)clipRect;
    }
    // At a release on the very point of the press, only when the overlay's fileType is 1: the rectangle as
    // fractions of the overlay (getPercentClipRect()).
    virtual void actionMoveEndForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect)
    {
        (void)cliper;
        (void)clipRect;
    }
};
