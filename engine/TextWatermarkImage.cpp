#include "engine/TextWatermarkImage.h"

#include <algorithm>
#include <cstring>
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

    FramePtr frame = makeFrame();
    if (!frame)
        return nullptr;
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = right - left + 1;
    frame->height = bottom - top + 1;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    for (int row = 0; row < frame->height; ++row) {
        const uint8_t *src = &buffer[(size_t(top + row) * width + left) * 4];
        uint8_t *dst = frame->data[0] + size_t(row) * frame->linesize[0];
        for (int col = 0; col < frame->width; ++col, src += 4, dst += 4) {
            uint8_t a = src[3];
            for (int c = 0; c < 3; ++c) // premultiplied -> straight
                dst[c] = a == 0 ? 0 : uint8_t(std::min(255, (src[c] * 255 + a / 2) / a));
            dst[3] = a;
        }
    }
    frame->pts = 0;
    x = left;
    y = top;
    return frame;
}

} // namespace engine
