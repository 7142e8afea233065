#include "editor/tools/CropMapping.h"

namespace {

bool quarter(int angle)
{
    return angle == 90 || angle == 270;
}

// One clockwise quarter turn of `r` on a picture of `size` (top-left origin).
platform::Rect turnRight(const platform::Rect &r, platform::Size size)
{
    return platform::makeRect(size.height - r.maxY(), r.minX(), r.height(), r.width());
}

platform::Rect mirror(const platform::Rect &r, platform::Size size, bool h, bool v)
{
    platform::Rect m = r;
    if (h)
        m.origin.x = size.width - r.maxX();
    if (v)
        m.origin.y = size.height - r.maxY();
    return m;
}

int quarters(int angle)
{
    return ((angle / 90) % 4 + 4) % 4;
}

} // namespace

platform::Size CropMapping::shownSize(platform::Size source, int angle)
{
    return quarter(angle) ? platform::Size{source.height, source.width} : source;
}

platform::Rect CropMapping::toShown(const platform::Rect &r, platform::Size source, Orientation o)
{
    platform::Rect shown = mirror(r, source, o.hFlip != 0, o.vFlip != 0);
    platform::Size size = source;
    for (int i = 0; i < quarters(o.angle); ++i) {
        shown = turnRight(shown, size);
        size = platform::Size{size.height, size.width};
    }
    return shown;
}

platform::Rect CropMapping::toSource(const platform::Rect &r, platform::Size source, Orientation o)
{
    // Turning the rest of the way round undoes the turn; a mirror undoes itself.
    platform::Rect back = r;
    platform::Size size = shownSize(source, o.angle);
    for (int i = 0; i < (4 - quarters(o.angle)) % 4; ++i) {
        back = turnRight(back, size);
        size = platform::Size{size.height, size.width};
    }
    return mirror(back, source, o.hFlip != 0, o.vFlip != 0);
}
