#include "toolkit/TimeFieldGroup.h"

#include "platform/TextField.h"

#include <cmath>

TimeFieldGroup::TimeFieldGroup(platform::TextField *hours, platform::TextField *minutes,
                               platform::TextField *seconds, platform::TextField *hundredths)
    : m_fields{hours, minutes, seconds, hundredths}
{
}

bool TimeFieldGroup::contains(const platform::TextField *field) const
{
    if (!field)
        return false;
    for (const auto &f : m_fields) {
        if (f == field)
            return true;
    }
    return false;
}

bool TimeFieldGroup::isHundredths(const platform::TextField *field) const
{
    return field && m_fields[3] == field;
}

QList<platform::TextField *> TimeFieldGroup::fields() const
{
    QList<platform::TextField *> list;
    for (const auto &f : m_fields)
        list.append(f);
    return list;
}

float TimeFieldGroup::secondsOf(int hours, int minutes, int seconds, int hundredths)
{
    // In 64 bits so that absurd typed values cannot overflow before the float conversion.
    const long long whole = 3600LL * hours + 60LL * minutes + seconds;
    return float(double(whole) + hundredths / 100.0);
}

void TimeFieldGroup::split(float t, int &hours, int &minutes, int &seconds, int &hundredths)
{
    if (!std::isfinite(t) || t < 0)
        t = 0;
    const float whole = std::floor(t);
    hours = int(whole) / 3600;
    minutes = int(std::floor(t - 3600.0f * float(hours))) / 60;
    seconds = int(std::floor(t - 3600.0f * float(hours) - 60.0f * float(minutes)));
    hundredths = int((t - whole) * 100.0f);
}

float TimeFieldGroup::seconds() const
{
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        v[i] = m_fields[i] ? m_fields[i]->intValue() : 0;
    return secondsOf(v[0], v[1], v[2], v[3]);
}

void TimeFieldGroup::show(float t) const
{
    int v[4];
    split(t, v[0], v[1], v[2], v[3]);
    for (int i = 0; i < 4; ++i) {
        if (m_fields[i])
            m_fields[i]->setStringValue(QString::asprintf("%02i", v[i]));
    }
}

void TimeFieldGroup::showZero() const
{
    for (const auto &f : m_fields) {
        if (f)
            f->setStringValue(QStringLiteral("00"));
    }
}
