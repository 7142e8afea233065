#pragma once
// Whether a subtitle file holds a cue, read as the "subtitles" filter reads it when it burns the file in:
// libavformat finds the format from the text, libavcodec decodes the cues (in the character set that
// SubtitleCharset finds). The one answer for the check before a file is chosen (MediaCheckSubtitleCues)
// and for the export, so a file that passes the check is one the export can burn in. No Qt; any thread.
#include <string>

namespace engine {

class SubtitleCues
{
public:
    // MEDIA_OK when the file holds at least one cue; MEDIA_ERR_NOTHING_IN_RANGE when it is text without
    // a cue that can be read (no subtitle format recognised, or none of its cues parses); else the
    // failure of SubtitleCharset::readFile (MEDIA_ERR_INPUT, MEDIA_ERR_GENERIC).
    static int check(const std::string &path);
};

} // namespace engine
