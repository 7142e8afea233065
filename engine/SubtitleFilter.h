#pragma once
// Turns a SUBTITLE_PARAM into libavfilter's "subtitles" filter (libass), in pixels of the picture it
// is drawn on. srt files take the record's font file, size, colour and shadow; ass and ssa keep their
// own styles, and only their vertical margin follows the record's position. A file in a character set
// other than UTF-8 or UTF-16 with its mark (see SubtitleCharset) is named to the filter as its charenc,
// which libavcodec applies to the cues only; the editor therefore hands an ass or ssa file in such a
// character set over as a UTF-8 copy, whose header (title, style names) is read as written.
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
