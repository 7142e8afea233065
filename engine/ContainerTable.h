#pragma once
// Which muxer writes an output file: chosen from the file's extension through a table. Extensions with
// no muxer of their own (dat, mod, tod, trp, divx...) get the first of their candidates that takes the
// codecs, Matroska when unsure.
#include "engine/FFmpeg.h"

#include <functional>
#include <string>
#include <vector>

namespace engine {

class ContainerTable
{
public:
    // The muxers that may write files with `path`'s extension, best first (never empty). An extension
    // with a muxer of its own gets that one alone; the others end with Matroska.
    static std::vector<const AVOutputFormat *> candidates(const std::string &path);
    // Picks the muxer for `path` with a job's `plan` (MEDIA_OK when the job's streams fit `format`;
    // `strict` asks for the source's codecs or the asked ones, without falling back): the first
    // candidate that fits strictly, else the first candidate with fallbacks. The plan of the chosen
    // muxer is the last one run. MEDIA_OK with `chosen` set, or the plan's failure.
    static int choose(const std::string &path,
                      const std::function<int(const AVOutputFormat *, bool strict)> &plan,
                      const AVOutputFormat *&chosen);
    // Whether `format` can hold a stream of `codec` (unknown answers count as yes).
    static bool accepts(const AVOutputFormat *format, AVCodecID codec);
    // Whether the container holds video (audio) at all. Audio file types (mp3, m4a, ogg, flac...) hold no
    // video, even where their muxer could take a cover picture.
    static bool holdsVideo(const AVOutputFormat *format);
    static bool holdsAudio(const AVOutputFormat *format);
    // Whether copying the stream `p` into `format` needs its packets rewritten with start codes: H.264
    // and HEVC from mp4 or Matroska are length-prefixed, and AVI, MPEG program streams and raw streams
    // have no automatic conversion.
    static bool needsStartCodes(const AVOutputFormat *format, const AVCodecParameters *p);
};

} // namespace engine
