#include "engine/StillImage.h"

#include "engine/EngineLog.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace engine {

FramePtr StillImage::fromPremultiplied(const uint8_t *pixels, int rowBytes, int width, int height)
{
    FramePtr frame = makeFrame();
    if (!frame)
        return nullptr;
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    for (int row = 0; row < height; ++row) {
        const uint8_t *src = pixels + size_t(row) * size_t(rowBytes);
        uint8_t *dst = frame->data[0] + size_t(row) * frame->linesize[0];
        for (int col = 0; col < width; ++col, src += 4, dst += 4) {
            uint8_t a = src[3];
            for (int c = 0; c < 3; ++c)
                dst[c] = a == 0 ? 0 : uint8_t(std::min(255, (src[c] * 255 + a / 2) / a));
            dst[3] = a;
        }
    }
    frame->pts = 0;
    return frame;
}

FramePtr StillImage::load(const std::string &path, LoadImageFunction load)
{
    int width = 0, height = 0;
    if (!load || !load(path.c_str(), &width, &height, 0, nullptr) || width <= 0 || height <= 0 ||
        int64_t(width) * height > INT_MAX / 4) {
        engineLog("the picture loader cannot read %s", path.c_str());
        return nullptr;
    }
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    if (!load(path.c_str(), &width, &height, int(pixels.size()), pixels.data())) {
        engineLog("the picture loader cannot decode %s", path.c_str());
        return nullptr;
    }
    return fromPremultiplied(pixels.data(), width * 4, width, height);
}

std::string StillImage::sourceText(const AVFrame &still)
{
    return "buffer=video_size=" + std::to_string(still.width) + "x" + std::to_string(still.height) +
           ":pix_fmt=" + std::to_string(AV_PIX_FMT_BGRA) + ":time_base=1/1000000:pixel_aspect=1/1";
}

} // namespace engine
