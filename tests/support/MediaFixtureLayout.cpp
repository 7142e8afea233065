#include "tests/support/MediaFixtureLayout.h"

#include <algorithm>
#include <cmath>

namespace fixture {

namespace {

// Boundaries on even pixels keep every area aligned with 4:2:0 chroma, so colours do not bleed.
int evenRound(double v)
{
    return 2 * static_cast<int>(std::lround(v / 2.0));
}

bool isGreen(const MeanColor &c)
{
    return c.g >= 150 && c.r <= 110 && c.b <= 110 && c.g - std::max(c.r, c.b) >= 90;
}

} // namespace

Image::Image(int w, int h, Rgb fillColor) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3)
{
    fill(0, 0, w, h, fillColor);
}

Rgb Image::pixel(int x, int y) const
{
    const uint8_t *p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

void Image::setPixel(int x, int y, Rgb c)
{
    uint8_t *p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Image::fill(int x, int y, int w, int h, Rgb c)
{
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(width, x + w), y1 = std::min(height, y + h);
    if (x1 <= x0 || y1 <= y0)
        return;
    // One row by pixels, the others copied from it: large frames are filled once per frame.
    for (int xx = x0; xx < x1; ++xx)
        setPixel(xx, y0, c);
    const size_t rowBytes = size_t(x1 - x0) * 3;
    const uint8_t *first = &rgb[(size_t(y0) * width + x0) * 3];
    for (int yy = y0 + 1; yy < y1; ++yy)
        std::copy(first, first + rowBytes, &rgb[(size_t(yy) * width + x0) * 3]);
}

MeanColor Image::mean(int x, int y, int w, int h) const
{
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(width, x + w), y1 = std::min(height, y + h);
    MeanColor m;
    if (x1 <= x0 || y1 <= y0)
        return m;
    for (int yy = y0; yy < y1; ++yy) {
        for (int xx = x0; xx < x1; ++xx) {
            const Rgb c = pixel(xx, yy);
            m.r += c.r;
            m.g += c.g;
            m.b += c.b;
        }
    }
    const double n = double(x1 - x0) * (y1 - y0);
    m.r /= n;
    m.g /= n;
    m.b /= n;
    return m;
}

Rect markerRect(int width, int height)
{
    const int side = std::max(2, evenRound(0.2 * std::min(width, height)));
    return {0, 0, side, side};
}

Rect stampBandRect(int width, int height)
{
    const int top = evenRound(0.30 * height);
    const int bottom = std::max(top + 2, evenRound(0.45 * height));
    return {0, top, width, bottom - top};
}

Rect stampCellRect(int width, int height, int cell)
{
    const Rect band = stampBandRect(width, height);
    const int left = evenRound(double(cell) * width / kStampCells);
    const int right = cell + 1 == kStampCells ? width : evenRound(double(cell + 1) * width / kStampCells);
    return {left, band.y, right - left, band.height};
}

void drawFixtureFrame(Image &image, int index, Rgb background, bool stamp, bool marker)
{
    image.fill(0, 0, image.width, image.height, background);
    if (stamp) {
        const int value = ((index % kStampModulo) + kStampModulo) % kStampModulo;
        int ones = 0;
        for (int cell = 0; cell < kStampCells; ++cell) {
            bool white;
            if (cell == 0) {
                white = true;
            } else if (cell == kStampCells - 1) {
                white = false;
            } else if (cell == kStampCells - 2) {
                white = ones % 2 == 1;
            } else {
                white = (value >> (kStampCells - 3 - cell)) & 1;
                ones += white;
            }
            const Rect r = stampCellRect(image.width, image.height, cell);
            image.fill(r.x, r.y, r.width, r.height, white ? Rgb{255, 255, 255} : Rgb{0, 0, 0});
        }
    }
    if (marker) {
        const Rect r = markerRect(image.width, image.height);
        image.fill(r.x, r.y, r.width, r.height, kMarkerGreen);
    }
}

int readFrameIndex(const Image &image)
{
    if (image.width < kStampCells || image.height < 8)
        return -1;
    // Only the middle of each cell counts: its edges blur under scaling and coding.
    double level[kStampCells];
    for (int cell = 0; cell < kStampCells; ++cell) {
        const Rect r = stampCellRect(image.width, image.height, cell);
        const int mx = r.width / 4, my = r.height / 4;
        level[cell] = image.mean(r.x + mx, r.y + my, std::max(1, r.width - 2 * mx),
                                 std::max(1, r.height - 2 * my))
                          .luma();
    }
    const double white = level[0], black = level[kStampCells - 1];
    if (white - black < 80)
        return -1;
    const double threshold = (white + black) / 2, margin = (white - black) / 4;
    int value = 0, ones = 0;
    bool parity = false;
    for (int cell = 1; cell < kStampCells - 1; ++cell) {
        if (std::abs(level[cell] - threshold) < margin)
            return -1;
        const bool bit = level[cell] > threshold;
        if (cell == kStampCells - 2) {
            parity = bit;
        } else {
            value = value * 2 + bit;
            ones += bit;
        }
    }
    return parity == (ones % 2 == 1) ? value : -1;
}

Corner findMarkedCorner(const Image &image)
{
    if (image.width < 2 || image.height < 2)
        return Corner::None;
    // Half the marker's side: the patch stays inside the marker after scaling or a quarter turn.
    const int p = std::max(1, static_cast<int>(std::lround(0.1 * std::min(image.width, image.height))));
    const struct
    {
        Corner corner;
        int x, y;
    } corners[] = {{Corner::TopLeft, 0, 0},
                   {Corner::TopRight, image.width - p, 0},
                   {Corner::BottomLeft, 0, image.height - p},
                   {Corner::BottomRight, image.width - p, image.height - p}};
    Corner found = Corner::None;
    for (const auto &c : corners) {
        if (!isGreen(image.mean(c.x, c.y, p, p)))
            continue;
        if (found != Corner::None)
            return Corner::None;
        found = c.corner;
    }
    return found;
}

const char *cornerName(Corner corner)
{
    switch (corner) {
    case Corner::TopLeft: return "top-left";
    case Corner::TopRight: return "top-right";
    case Corner::BottomLeft: return "bottom-left";
    case Corner::BottomRight: return "bottom-right";
    case Corner::None: break;
    }
    return "none";
}

} // namespace fixture
