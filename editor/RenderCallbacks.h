#pragma once
// The drawing the engine and the preview player cannot do themselves: text watermarks and picture files
// into pixel buffers, and pictures written as PNG files.
//
// Pixel format of both buffers: width x height pixels of 4 bytes, rows of width x 4 bytes with no gap, top
// row first, holding in memory order blue, green, red, alpha with the colour premultiplied by alpha
// (QImage::Format_ARGB32_Premultiplied on this little-endian machine).
//
// The two callbacks may be called on any thread at once: they touch nothing but the buffer and the record
// they are handed.
#include "media/MediaRecords.h"

#include <QImage>
#include <QString>

#include <cstdint>

class RDMoviePlayer;

class RenderCallbacks
{
public:
    // Draws param.text over whatever `buffer` holds: font szFontName (an alias of the platform's names,
    // falling back to a family that has the text's letters) at fontsize pixels, colour from fontclr
    // (red << 24 | green << 16 | blue << 8), opaque (the engine applies the transparence), starting at
    // x = rect.left with its baseline rect.top pixels above the bottom row. No wrapping; clipped by the
    // buffer's edges. Other fields of the record are ignored. Nothing is drawn for a null buffer or a
    // size that is not positive.
    static void drawTextWatermarkCallback(int width, int height, uint8_t *buffer, TEXT_WATERMARK_PARAM param);

    // With `buffer` null: stores the picture's size in pixels in *width and *height (each where given)
    // and returns 1. Otherwise decodes it into `buffer` (`size` bytes) in the format above, exactly
    // width x height x 4 bytes, and returns 1. Returns 0, writing nothing, for a null path, a file that is
    // not a readable picture, or a buffer too small. A picture's stored orientation is applied, so both
    // calls agree on the size.
    static int loadImageCallback(const char *path, int *width, int *height, int size, uint8_t *buffer);

    // Writes `image` as a PNG file at `path` (a leading "~" is the home folder), atomically: an existing
    // file is replaced only by a complete new one. Logs "Save Image: %d" (1 or 0); true on success.
    static bool saveImage(const QImage &image, const QString &path);

    // Registers the text callback with the engine (every conversion job of the process).
    static void registerWithEngine();
    // Registers both callbacks with a preview player.
    static void registerWithPlayer(RDMoviePlayer &player);
};
