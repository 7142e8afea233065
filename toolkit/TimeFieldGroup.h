#pragma once
// A time edited in four text fields: hours, minutes, seconds and hundredths, each shown "%02i".
//
// Fields to time: hours x 3600 + minutes x 60 + seconds (integers) + hundredths / 100, exact in
// microseconds (1.15 s is 1,150,000 us) and as double seconds; an empty or non-numeric field counts as 0.
// Seconds to fields splits t taken to the nearest microsecond (so a time read back from the fields shows
// the same fields): hours, minutes and seconds whole, hundredths truncated. A group with missing fields
// reads 0 and shows nothing. Main thread only.
#include <QList>
#include <QPointer>

#include <cstdint>

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

    double seconds() const;
    int64_t microseconds() const;
    void show(double seconds) const;
    void showZero() const;

    static double secondsOf(int hours, int minutes, int seconds, int hundredths);
    static int64_t microsecondsOf(int hours, int minutes, int seconds, int hundredths);
    static void split(double t, int &hours, int &minutes, int &seconds, int &hundredths);

private:
    QPointer<platform::TextField> m_fields[4];
};
