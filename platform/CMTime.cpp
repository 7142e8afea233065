#include "platform/CMTime.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace platform {

CMTime CMTimeMakeWithSeconds(double seconds, int32_t preferredTimescale)
{
    if (preferredTimescale <= 0 || !std::isfinite(seconds))
        return kCMTimeInvalid;
    const double units = std::round(seconds * preferredTimescale);
    constexpr double limit = 9.2e18; // below INT64_MAX, so the cast is defined
    if (std::fabs(units) > limit)
        return kCMTimeInvalid;
    return CMTime{static_cast<int64_t>(units), preferredTimescale};
}

double CMTimeGetSeconds(CMTime time)
{
    if (!CMTimeIsValid(time))
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(time.value) / time.timescale;
}

bool CMTimeIsValid(CMTime time)
{
    return time.timescale > 0;
}

CMTime CMTimeConvertScale(CMTime time, int32_t newTimescale)
{
    if (!CMTimeIsValid(time) || newTimescale <= 0)
        return kCMTimeInvalid;
    const __int128 scaled = static_cast<__int128>(time.value) * newTimescale;
    const __int128 half = time.timescale / 2;
    const __int128 q = scaled >= 0 ? (scaled + half) / time.timescale : (scaled - half) / time.timescale;
    return CMTime{static_cast<int64_t>(q), newTimescale};
}

CMTime CMTimeAdd(CMTime a, CMTime b)
{
    if (!CMTimeIsValid(a) || !CMTimeIsValid(b))
        return kCMTimeInvalid;
    if (a.timescale == b.timescale)
        return CMTime{a.value + b.value, a.timescale};
    // The least common timescale keeps the sum exact; past 32 bits, the finer of the two, rounded.
    const int64_t common = std::lcm(static_cast<int64_t>(a.timescale), static_cast<int64_t>(b.timescale));
    const int32_t scale =
        common <= INT32_MAX ? static_cast<int32_t>(common) : std::max(a.timescale, b.timescale);
    return CMTime{CMTimeConvertScale(a, scale).value + CMTimeConvertScale(b, scale).value, scale};
}

CMTime CMTimeSubtract(CMTime a, CMTime b)
{
    return CMTimeAdd(a, CMTime{-b.value, b.timescale});
}

int CMTimeCompare(CMTime a, CMTime b)
{
    const bool va = CMTimeIsValid(a), vb = CMTimeIsValid(b);
    if (!va || !vb)
        return va == vb ? 0 : (va ? 1 : -1);
    // Cross-multiplied in 128 bits, so no precision is lost.
    const __int128 l = static_cast<__int128>(a.value) * b.timescale;
    const __int128 r = static_cast<__int128>(b.value) * a.timescale;
    return l < r ? -1 : (l > r ? 1 : 0);
}

} // namespace platform
