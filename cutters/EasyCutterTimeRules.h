#pragma once
// The checks of the easy cutter's time fields and steppers. A start after the stop, a stop after the end
// of the source (D) and a stop before the start are reported with their alert and corrected by moving
// the edited part (hours, minutes, seconds or hundredths) towards a target time; only that one part
// moves, so the result may still break the rule. A negative start is refused outright. The checks are
// strict: start = stop and stop = D are accepted. Seconds are doubles, as the fields give them. Any thread.
#include <QList>

namespace platform {
class TextField;
}
class TimeFieldGroup;

class EasyCutterTimeRules
{
public:
    struct Correction
    {
        const char *alertKey = nullptr;
        double target = 0; // the time the edited part moves towards
        bool lower = true; // lower the part to the target's, or raise it
    };

    // The corrections a start edit needs, in the order their alerts show (the last one decides).
    static QList<Correction> checkStart(double start, double stop);
    static QList<Correction> checkStop(double start, double stop, double duration);
    // The key of the refusal of a start below 0 (null when accepted).
    static const char *refuseStart(double start);

    // Moves `field`, one of the four fields of `group`, to the smaller (lower) or larger (raise) of its
    // own value and the same part of `target`'s split. Returns false for a field outside the group.
    static bool correct(platform::TextField *field, const TimeFieldGroup &group,
                        const Correction &correction);
};
