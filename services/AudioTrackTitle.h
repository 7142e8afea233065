#pragma once
// The title of an audio track as the user reads it in a list of a source's tracks, in the chosen
// language: the track's own title, else the name of its language ("Deutsch"), else "Track <n>", then its
// channels and sample rate in kHz ("English (2 ch, 44.1 kHz)"). Main thread only.
#include <QString>

class AudioTrackTitle
{
public:
    // `number` counts the tracks from 1; `language` is the stream's ISO 639 code ("eng", "und" or
    // empty); when `channels` or `sampleRate` (Hz) is unknown (0), the title is the name alone.
    static QString title(int number, const QString &trackTitle, const QString &language, int channels,
                         int sampleRate);

    // `sampleRate` in kHz without trailing zeros ("44.1", "48", "22.05"), with the chosen language's
    // decimal sign where it writes Latin digits.
    static QString kilohertz(int sampleRate);
};
