#pragma once
// Where a crop held in source pixels lies on the picture as shown, and back.
//
// The crop is kept on the upright source (before the user's mirror and turn), so a turn or a mirror moves
// it with the picture instead of losing it. The shown picture is the source mirrored (hFlip left to right,
// vFlip top to bottom, in the source's axes) and then turned clockwise by `angle` (0, 90, 180, 270), the
// order the engine's graph builder applies them. Rectangles here have their origin at the top-left, y down.
#include "platform/Geometry.h"

class CropMapping
{
public:
    struct Orientation
    {
        int angle = 0;
        int hFlip = 0;
        int vFlip = 0;
    };

    // The source rectangle `r` of a `source`-sized picture on the shown picture.
    static platform::Rect toShown(const platform::Rect &r, platform::Size source, Orientation o);
    // The shown rectangle `r` back on the source.
    static platform::Rect toSource(const platform::Rect &r, platform::Size source, Orientation o);
    // The shown picture's size: the source's, swapped for a quarter turn.
    static platform::Size shownSize(platform::Size source, int angle);
};
