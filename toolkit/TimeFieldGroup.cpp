#include "toolkit/TimeFieldGroup.h"

#include "platform/TextField.h"

#include <algorithm>
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

int64_t TimeFieldGroup::microsecondsOf(int hours, int minutes, int seconds, int hundredths)
{
    // In whole microseconds: a hundredth is exactly 10,000 of them, where a binary fraction is not.
    const int64_t whole = 3600LL * hours + 60LL * minutes + seconds;
    return whole * 1000000LL + 10000LL * hundredths;
}

double TimeFieldGroup::secondsOf(int hours, int minutes, int seconds, int hundredths)
{
    return double(microsecondsOf(hours, minutes, seconds, hundredths)) / 1e6;
}

void TimeFieldGroup::split(double t, int &hours, int &minutes, int &seconds, int &hundredths)
{
    if (!std::isfinite(t) || t < 0)
        t = 0;
    // To the nearest microsecond first, so that 1.15 (1.1499999... in binary) shows 15 hundredths.
    const int64_t us = std::llround(std::min(t, 9.0e12) * 1e6);
    const int64_t whole = us / 1000000;
    hours = int(whole / 3600);
    minutes = int(whole % 3600 / 60);
    seconds = int(whole % 60);
    hundredths = int(us % 1000000 / 10000);
}

int64_t TimeFieldGroup::microseconds() const
{
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        v[i] = m_fields[i] ? m_fields[i]->intValue() : 0;
    return microsecondsOf(v[0], v[1], v[2], v[3]);
}

double TimeFieldGroup::seconds() const
{
    return double(microseconds()) / 1e6;
}

void TimeFieldGroup::show(double t) const
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
