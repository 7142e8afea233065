#include "cutters/SplitPoints.h"

#include <cmath>

namespace {

// More points than any timeline can show; bounds the loop for absurdly short steps.
constexpr double kMaxSteps = 1e7;

} // namespace

QList<double> SplitPoints::evenly(double step, double total, double minGap)
{
    QList<double> points;
    if (!(step > 0) || !(total > 0) || !std::isfinite(step) || !std::isfinite(total))
        return points;
    const double count = std::min(std::ceil(total / step), kMaxSteps);
    double last = 0;
    for (double k = 2; k <= std::max(count, 2.0); ++k) {
        const double f = ((k - 1) * step) / total;
        if (!(f < 1.0))
            break;
        if (!points.isEmpty() && f - last < minGap)
            continue;
        points.append(f);
        last = f;
    }
    return points;
}

QList<double> SplitPoints::byTime(double seconds, double duration, double minGap)
{
    return evenly(seconds, duration, minGap);
}

QList<double> SplitPoints::bySize(double megabytes, double fileSize, double minGap)
{
    return evenly(megabytes, fileSize, minGap);
}

QList<double> SplitPoints::byCount(double parts, double minGap)
{
    // N parts are N steps of 1/N over a whole of 1.
    if (!(parts > 0) || !std::isfinite(parts))
        return {};
    return evenly(1.0, parts, minGap);
}
