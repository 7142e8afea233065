#pragma once
// Shared by the edit tests: small fixtures, one conversion with edits, and picture measures.
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeDecoder.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace enginetest {

// 3 s, 160 x 90, 25 fps, a 440 Hz tone of amplitude 0.3; key frame every second.
inline std::string editClip()
{
    fixture::Spec spec;
    spec.duration = 3.0;
    return sharedFixture("edit160.mp4", spec);
}

// Converts `input` with `configure` into a fresh .mp4 and returns its path ("" on failure). The bit
// rate is generous so that coding artefacts do not pass for edits.
template <class Configure> std::string convertEdited(const std::string &input, Configure configure)
{
    const std::string out = freshFolder() + "/edited.mp4";
    int r = convert(input, out, [&](MEDIA_HANDLE h) {
        apiMediaConvertSetVideoBitrate(h, 4000);
        configure(h);
        return int(MEDIA_OK);
    });
    return r == MEDIA_OK ? out : std::string();
}

inline fixture::Image frameOf(const std::string &path, double seconds)
{
    std::optional<fixture::Image> image = fixture::decodeFrameAt(path, seconds);
    return image ? *image : fixture::Image();
}

inline double luma(const fixture::Image &image, int x, int y)
{
    fixture::Rgb p = image.pixel(x, y);
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}

// Mean squared luma step between neighbours: how sharp the picture's edges are (a blur spreads a step
// over several pixels, which lowers the sum of squares though not the sum of steps).
inline double edgeEnergy(const fixture::Image &image)
{
    double sum = 0;
    long n = 0;
    for (int y = 0; y + 1 < image.height; ++y)
        for (int x = 0; x + 1 < image.width; ++x) {
            double dx = luma(image, x + 1, y) - luma(image, x, y),
                   dy = luma(image, x, y + 1) - luma(image, x, y);
            sum += dx * dx + dy * dy;
            ++n;
        }
    return n ? sum / n : 0;
}

// Mean absolute difference of two pictures of one size, over the rectangle.
inline double difference(const fixture::Image &a, const fixture::Image &b, int x0, int y0, int w, int h)
{
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            fixture::Rgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b)) / 3.0;
            ++n;
        }
    return n ? sum / n : 0;
}

// The part of `image` inside the rectangle, as a picture of its own.
inline fixture::Image region(const fixture::Image &image, int x0, int y0, int w, int h)
{
    fixture::Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.setPixel(x, y, image.pixel(x0 + x, y0 + y));
    return out;
}

// Writes a solid 24-bit BMP picture.
inline bool writeBmp(const std::string &path, int width, int height, fixture::Rgb colour)
{
    const int row = (width * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(row * height), fileSize = 54 + dataSize;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = uint8_t(v >> (8 * i));
    };
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    header[26] = 1;
    header[28] = 24;
    put32(34, dataSize);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(header), sizeof header);
    std::string line(size_t(row), '\0');
    for (int x = 0; x < width; ++x) {
        line[size_t(x) * 3] = char(colour.b);
        line[size_t(x) * 3 + 1] = char(colour.g);
        line[size_t(x) * 3 + 2] = char(colour.r);
    }
    for (int y = 0; y < height; ++y)
        out.write(line.data(), row);
    return bool(out);
}

} // namespace enginetest
