#include "cutters/SplitPoints.h"

#include <cmath>

namespace {

// More points than any timeline can show; bounds the loop for absurdly short steps.
constexpr float kMaxSteps = 1e7f;

} // namespace

QList<float> SplitPoints::evenly(float step, float total, float minGap)
{
    QList<float> points;
    if (!(step > 0) || !(total > 0) || !std::isfinite(step) || !std::isfinite(total))
        return points;
    const float count = std::min(std::ceil(total / step), kMaxSteps);
    float last = 0;
    for (float k = 2; k <= std::max(count, 2.0f); ++k) {
        const float f = ((k - 1) * step) / total;
        if (!(f < 1.0f))
            break;
        if (!points.isEmpty() && f - last < minGap)
            continue;
        points.append(f);
        last = f;
    }
    return points;
}

QList<float> SplitPoints::byTime(float seconds, float duration, float minGap)
{
    return evenly(seconds, duration, minGap);
}

QList<float> SplitPoints::bySize(float megabytes, float fileSize, float minGap)
{
    return evenly(megabytes, fileSize, minGap);
}

QList<float> SplitPoints::byCount(float parts, float minGap)
{
    // N parts are N steps of 1/N over a whole of 1.
    if (!(parts > 0) || !std::isfinite(parts))
        return {};
    return evenly(1.0f, parts, minGap);
}
