#pragma once
// One picture the player shows: a filtered frame in BGRA (premultiplied, opaque), and its time.
#include "engine/FFmpeg.h"

#include <cstdint>

namespace player {

struct Picture
{
    engine::FramePtr frame; // AV_PIX_FMT_BGRA
    int64_t timeUs = 0;     // on the file's timeline

    int width() const { return frame->width; }
    int height() const { return frame->height; }
};

} // namespace player
