#pragma once
// Still pictures that the video graph overlays (text watermarks, and picture watermarks read through
// the preview's picture loader): BGRA frames with straight alpha, as the overlay filter blends them.
#include "engine/EditSettings.h"
#include "engine/FFmpeg.h"

#include <string>

namespace engine {

class StillImage
{
public:
    // A width x height frame from premultiplied BGRA pixels (`rowBytes` apart); nullptr when out of
    // memory.
    static FramePtr fromPremultiplied(const uint8_t *pixels, int rowBytes, int width, int height);
    // The picture file at `path` read through `load` (its size first, then its pixels); nullptr, with a
    // log line, when the loader fails or gives no picture.
    static FramePtr load(const std::string &path, LoadImageFunction load);
    // The graph text of a "buffer" source for `still`, which FilterGraph::feedStills then feeds.
    static std::string sourceText(const AVFrame &still);
};

} // namespace engine
