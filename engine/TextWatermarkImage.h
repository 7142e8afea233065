#pragma once
// One text watermark as a still picture: the registered text callback draws it into a cleared,
// picture-sized premultiplied BGRA buffer, and this keeps only the drawn part (a StillImage), so that
// the overlay blends a small picture once per frame instead of the whole frame.
#include "engine/FFmpeg.h"
#include "media/MediaEngine.h"

namespace engine {

class TextWatermarkImage
{
public:
    // Draws `watermark` for a width x height picture. Returns the drawn part as a BGRA frame and its
    // top-left corner in `x`, `y`; nullptr when nothing visible was drawn or memory ran out.
    static FramePtr render(const TEXT_WATERMARK_PARAM &watermark, MEDIA_DRAW_TEXT_CALLBACK draw, int width,
                           int height, int &x, int &y);
};

} // namespace engine
