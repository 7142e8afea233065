#pragma once
// A time edited in four text fields: hours, minutes, seconds and hundredths, each shown "%02i".
//
// Fields to seconds: hours x 3600 + minutes x 60 + seconds (integers) + hundredths / 100, stored as a
// 32-bit float; an empty or non-numeric field counts as 0. Seconds to fields splits a 32-bit float:
// hours = floor(t) / 3600, minutes = floor(t - 3600 h) / 60, seconds = floor(t - 3600 h - 60 m),
// hundredths = (t - floor(t)) x 100 truncated. A group with missing fields reads 0 and shows nothing.
// Main thread only.
#include <QList>
#include <QPointer>

namespace platform {
class TextField;
}

class TimeFieldGroup
{
public:
    TimeFieldGroup() = default;
    TimeFieldGroup(platform::TextField *hours, platform::TextField *minutes, platform::TextField *seconds,
                   platform::TextField *hundredths);

    bool isEmpty() const { return !m_fields[0]; }
    bool contains(const platform::TextField *field) const;
    bool isHundredths(const platform::TextField *field) const;
    QList<platform::TextField *> fields() const;

    float seconds() const;
    void show(float seconds) const;
    void showZero() const;

    static float secondsOf(int hours, int minutes, int seconds, int hundredths);
    static void split(float t, int &hours, int &minutes, int &seconds, int &hundredths);

private:
    QPointer<platform::TextField> m_fields[4];
};
