#pragma once
// A media time as a rational number of seconds: value / timescale. Plain C++, no Qt.
// A timescale of 0 marks an invalid time (CMTimeGetSeconds gives NaN for it).
#include <compare>
#include <cstdint>

namespace platform {

struct CMTime
{
    int64_t value = 0;
    int32_t timescale = 0;
};

inline constexpr CMTime kCMTimeZero{0, 1};
inline constexpr CMTime kCMTimeInvalid{0, 0};

inline constexpr CMTime CMTimeMake(int64_t value, int32_t timescale)
{
    return CMTime{value, timescale};
}

// `seconds` at `preferredTimescale`, rounded to the nearest unit.
CMTime CMTimeMakeWithSeconds(double seconds, int32_t preferredTimescale);

// The time in seconds; NaN for an invalid time.
double CMTimeGetSeconds(CMTime time);

bool CMTimeIsValid(CMTime time);

// The time expressed at another timescale, rounded to the nearest unit.
CMTime CMTimeConvertScale(CMTime time, int32_t newTimescale);

CMTime CMTimeAdd(CMTime a, CMTime b);
CMTime CMTimeSubtract(CMTime a, CMTime b);

// -1, 0 or 1 as a is before, at or after b, compared exactly (1/3 against 2/6 is equal). Invalid times
// sort before every valid one.
int CMTimeCompare(CMTime a, CMTime b);

inline bool operator==(CMTime a, CMTime b)
{
    return CMTimeCompare(a, b) == 0;
}
inline std::strong_ordering operator<=>(CMTime a, CMTime b)
{
    return CMTimeCompare(a, b) <=> 0;
}

} // namespace platform
