#pragma once
// The exact cuts, splits and batches of our engine with no codec set, each against the `ffmpeg -c copy`
// command doing the same job (the physical limit: it copies from the key frame before, so it is not
// exact). Each case runs ours and ffmpeg in turn, pair by pair, and prints the median ratios of wall time
// and peak memory.
//
//   cut-copy     5 minutes out of a 10-minute 1080p H.264 file with key frames 10 s apart, mid-GOP
//   split-copy   that file split into 7 equal pieces (points mid-GOP), against the segment muxer
//   batch-copy   ten 30 s 720p files (key frames 2 s apart) each cut 5.32-20.32 s
//
// Ours of the split and the batch is the `cutter_chains` program beside this one: it runs the chains the
// splitter and the batch cutter run, so the figures include their pieces run side by side.
//
// The sources are kept in `cache`, since making them takes minutes.
#include <string>
#include <vector>

namespace bench {

// The names of the cases above.
std::vector<std::string> copyYardstickCases();
// The split's pieces, and the range every file of the batch keeps (seconds).
constexpr int kSplitPieces = 7;
constexpr const char *kBatchStart = "5.32", *kBatchEnd = "20.32";

// Runs the case `name` `runs` times; `self` is this program (for the --ours-* modes; cutter_chains is
// looked for beside it). 0 on success.
int runCopyYardstick(const std::string &name, int runs, const std::string &self, const std::string &cache,
                     const std::string &folder);

} // namespace bench
