#pragma once
// Which muxer writes an output file: chosen from the file's extension through a table. Extensions with
// no muxer of their own (dat, mod, tod, trp, divx...) get the first of their candidates that takes the
// codecs, Matroska when unsure.
#include "engine/FFmpeg.h"

#include <string>
#include <vector>

namespace engine {

class ContainerTable
{
public:
    // The muxers that may write files with `path`'s extension, best first (never empty). An extension
    // with a muxer of its own gets that one alone; the others end with Matroska.
    static std::vector<const AVOutputFormat *> candidates(const std::string &path);
    // Whether `format` can hold a stream of `codec` (unknown answers count as yes).
    static bool accepts(const AVOutputFormat *format, AVCodecID codec);
    // Whether the container holds video (audio) at all. Audio file types (mp3, m4a, ogg, flac...) hold no
    // video, even where their muxer could take a cover picture.
    static bool holdsVideo(const AVOutputFormat *format);
    static bool holdsAudio(const AVOutputFormat *format);
};

} // namespace engine
