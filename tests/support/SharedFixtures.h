#pragma once
// What the media tests of every folder share: fixture files generated once per test program inside
// its temporary folder, a fresh folder per test, and snapshots (BGRA, as the engine and the player
// hand them out) read back as fixture images.
#include "tests/support/MediaFixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fixture {

// Generates `name` from `spec` the first time it is asked for in this program (a failure is a test
// failure, and the next call tries again) and returns its path.
std::string sharedFixture(const std::string &name, const Spec &spec);

// 125.5 s of 64 x 36 frames at 2 fps without sound ("long.mp4"): long enough for hour-minute-second
// texts, quick to make.
std::string longTinyClip();
// A new empty folder named after the running test, removed with the program's temporary folder.
std::string freshFolder();

// The top-left `width` x `height` pixels of a BGRA buffer of rows `width` pixels long, as an image.
Image imageFromBgra(const std::vector<uint8_t> &bgra, int width, int height);

} // namespace fixture
