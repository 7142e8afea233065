#pragma once

#include <cstdint>
#include <vector>

// The picture every fixture frame carries, and the means to read it back from a decoded frame.
//
// Layout of a W x H frame (top-left origin; every fraction is of the frame's own size, so the layout
// survives uniform scaling):
//
//   +--------+---------------------------------------------+
//   | marker |                                             |   marker: saturated green (0,255,0)
//   +--------+                                             |   square of side 0.2 * min(W, H) in
//   |                                                      |   the top-left corner
//   |##..##..##..##..##..##..##..##..##..##..##..##..##..##|   stamp band: rows 0.30 H .. 0.45 H,
//   |                                                      |   full width, 16 equal cells
//   |                 flat background                      |
//   |   (neutral grey 128,128,128 unless another solid     |   the lower half (so the lower-left
//   |    colour is asked for)                              |   and lower-right quarters) is always
//   +------------------------------------------------------+   plain background
//
// The stamp's 16 cells, left to right: cell 0 white (guard), cells 1..13 the frame index modulo 8192 in
// binary, most significant bit first (white = 1, black = 0), cell 14 a parity cell (white when cells
// 1..13 hold an odd number of ones), cell 15 black (guard). Reading thresholds each cell halfway between
// the two guards, so a uniform change of brightness or mild lossy coding does not break it.
namespace fixture {

struct Rgb
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb &) const = default;
};

// Mean colour of a region, as doubles (0..255).
struct MeanColor
{
    double r = 0;
    double g = 0;
    double b = 0;
    double luma() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
};

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Image() = default;
    Image(int w, int h, Rgb fill = {});
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb c);
    // Fills the rectangle, clipped to the picture.
    void fill(int x, int y, int w, int h, Rgb c);
    // Mean over the rectangle, clipped to the picture (all zero when nothing is left).
    MeanColor mean(int x, int y, int w, int h) const;
};

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class Corner { None, TopLeft, TopRight, BottomLeft, BottomRight };

constexpr int kStampCells = 16;
constexpr int kStampModulo = 8192;
const Rgb kNeutralGrey{128, 128, 128};
const Rgb kMarkerGreen{0, 255, 0};

// Where the marker square and the stamp band (and its cells) lie in a W x H frame.
Rect markerRect(int width, int height);
Rect stampBandRect(int width, int height);
Rect stampCellRect(int width, int height, int cell);

// Paints frame `index` of a fixture: background, then the stamp band and the marker when asked.
void drawFixtureFrame(Image &image, int index, Rgb background, bool stamp, bool marker);

// The frame index stamped in the picture (modulo 8192), or -1 when no readable stamp is there (guards
// without contrast, a cell too close to the threshold, or a parity mismatch).
int readFrameIndex(const Image &image);

// Which corner holds the green marker; None when no corner does or more than one does.
Corner findMarkedCorner(const Image &image);

const char *cornerName(Corner corner);

} // namespace fixture
