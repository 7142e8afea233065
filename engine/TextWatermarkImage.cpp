#include "engine/TextWatermarkImage.h"

#include "engine/StillImage.h"

#include <algorithm>
#include <vector>

namespace engine {

FramePtr TextWatermarkImage::render(const TEXT_WATERMARK_PARAM &watermark, MEDIA_DRAW_TEXT_CALLBACK draw,
                                    int width, int height, int &x, int &y)
{
    if (!draw || width <= 0 || height <= 0)
        return nullptr;
    std::vector<uint8_t> buffer(size_t(width) * height * 4, 0);
    draw(width, height, buffer.data(), watermark);

    int left = width, top = height, right = -1, bottom = -1;
    for (int row = 0; row < height; ++row) {
        const uint8_t *p = &buffer[size_t(row) * width * 4];
        for (int col = 0; col < width; ++col)
            if (p[col * 4 + 3] != 0) {
                left = std::min(left, col);
                right = std::max(right, col);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    }
    if (right < 0)
        return nullptr;
    // Chroma subsampling in the overlay wants an even corner.
    left &= ~1;
    top &= ~1;

    FramePtr frame = StillImage::fromPremultiplied(&buffer[(size_t(top) * width + left) * 4], width * 4,
                                                   right - left + 1, bottom - top + 1);
    if (!frame)
        return nullptr;
    x = left;
    y = top;
    return frame;
}

} // namespace engine
