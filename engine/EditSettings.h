#pragma once
// The edits a user makes to one clip, as plain values: the conversion job fills them from its setters
// and the preview player from its own calls, and FilterGraphBuilder turns them into filters, so the
// preview and the export apply exactly the same edits. 0 / empty / false everywhere means "no edit".
//
// Coordinates (watermark rectangles, subtitle position) are pixels of the mirrored and rotated but
// uncropped picture; times are microseconds on the main file's own timeline (the cut is applied last).
#include "media/MediaEngine.h"

#include <string>
#include <vector>

namespace engine {

// A picture loader (the preview's; see RDMoviePlayer::LoadImageCallback): with `buffer` null it stores
// the picture's size; otherwise it writes width x height premultiplied BGRA pixels, top row first. 1 on
// success, 0 on failure.
using LoadImageFunction = int (*)(const char *path, int *width, int *height, int size, uint8_t *buffer);

// One music file laid under the video.
struct MusicTrack
{
    std::string path;
    int64_t sourceStart = 0;   // used part of the music file, microseconds
    int64_t sourceEnd = 0;     // 0 or past its end = to the end of the file
    int64_t timelineStart = 0; // where it plays on the main timeline
    int64_t timelineEnd = 0;   // the span is filled by repeating the used part, or cut; 0 = to the end
    int64_t fadeIn = 0;        // microseconds
    int64_t fadeOut = 0;
    double volume = 1.0;      // factor
    int64_t fileDuration = 0; // of the music file, microseconds (filled when it is added)
    int sampleRate = 0;       // of its audio stream, Hz (filled when it is added)
};

struct EditSettings
{
    // Video, in the order they apply.
    bool hFlip = false;       // mirror left-right, in the axes of the upright source
    bool vFlip = false;       // mirror top-bottom
    int rotation = 0;         // clockwise degrees: 0, 90, 180 or 270
    int brightness = 0;       // -255..255
    int contrast = 0;         // -100..100
    int saturation = 0;       // -100..100 (-100 = grey)
    std::vector<int> effects; // effect ids, ascending, no duplicates
    std::vector<IMAGE_WATERMARK_PARAM> imageWatermarks;
    std::vector<VIDEO_WATERMARK_PARAM> videoWatermarks;
    std::vector<TEXT_WATERMARK_PARAM> textWatermarks;
    MEDIA_DRAW_TEXT_CALLBACK drawText = nullptr; // rasterises the text watermarks; none = they are skipped
    LoadImageFunction loadImage = nullptr;       // reads the picture watermarks; none = the builder decodes
                                                 // them itself
    SUBTITLE_PARAM subtitle{};                   // path empty = none
    RECT crop{0, 0, 0, 0};                       // margins cut from each edge (even pixels)

    // Sound.
    std::vector<MusicTrack> music;

    // True when any picture edit is set (the video must be decoded and filtered).
    bool changesPicture() const
    {
        return hFlip || vFlip || rotation != 0 || brightness != 0 || contrast != 0 || saturation != 0 ||
               !effects.empty() || !imageWatermarks.empty() || !videoWatermarks.empty() ||
               (!textWatermarks.empty() && drawText) || subtitle.path[0] != '\0' || crop.left != 0 ||
               crop.top != 0 || crop.right != 0 || crop.bottom != 0;
    }
};

// The effect ids the builder knows (the editor's effect list uses the same numbers).
enum EffectId {
    EffectGray = 1,
    EffectSepia = 2,
    EffectNegative = 3,
    EffectBlur = 4,
    EffectSharpen = 5,
    EffectEmboss = 6,
    EffectEdge = 7,
    EffectVignette = 8,
    EffectOldFilm = 9,
    EffectMosaic = 10
};

} // namespace engine
