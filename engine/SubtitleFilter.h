#pragma once
// Turns a SUBTITLE_PARAM into libavfilter's "subtitles" filter (libass), in pixels of the picture it
// is drawn on. srt files take the record's font file, size, colour and shadow; ass and ssa keep their
// own styles, and only their vertical margin follows the record's position.
#include "media/MediaRecords.h"

#include <string>

namespace engine {

class SubtitleFilter
{
public:
    // The filter text for a picture of width x height; empty when the record names no file.
    static std::string text(const SUBTITLE_PARAM &subtitle, int width, int height);
    // The family name stored in a font file, empty when fontconfig cannot read it.
    static std::string fontFamily(const std::string &fontFile);
};

} // namespace engine
