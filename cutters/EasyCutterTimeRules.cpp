#include "cutters/EasyCutterTimeRules.h"

#include "platform/TextField.h"
#include "services/LanguageService.h"
#include "toolkit/TimeFieldGroup.h"

#include <algorithm>

QList<EasyCutterTimeRules::Correction> EasyCutterTimeRules::checkStart(double start, double stop)
{
    if (start > stop)
        return {Correction{VW_KEY("showmessageTime1"), stop, true}};
    return {};
}

QList<EasyCutterTimeRules::Correction> EasyCutterTimeRules::checkStop(double start, double stop,
                                                                      double duration)
{
    QList<Correction> out;
    if (stop > duration)
        out.append(Correction{VW_KEY("showmessageTime2"), duration, true});
    if (start > stop)
        out.append(Correction{VW_KEY("showmessageTime3"), start, false});
    return out;
}

const char *EasyCutterTimeRules::refuseStart(double start)
{
    return start < 0 ? VW_KEY("showmessageTime4") : nullptr;
}

bool EasyCutterTimeRules::correct(platform::TextField *field, const TimeFieldGroup &group,
                                  const Correction &correction)
{
    const QList<platform::TextField *> fields = group.fields();
    const int part = field ? int(fields.indexOf(field)) : -1;
    if (part < 0)
        return false;
    int target[4];
    TimeFieldGroup::split(correction.target, target[0], target[1], target[2], target[3]);
    const int own = field->intValue();
    const int value = correction.lower ? std::min(own, target[part]) : std::max(own, target[part]);
    field->setStringValue(QString::asprintf("%02d", value));
    return true;
}
