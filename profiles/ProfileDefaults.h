#pragma once
// What the video defaults of one of the application's own output profiles become for the pictures being
// converted. A shipped profile names a frame size, a rate and a bit rate for a typical output; choosing
// it should pick a container and codecs, not enlarge the picture or add frames:
//
// - a tool that converts one source keeps that source's picture: the frame size and frame rate titles
//   are empty ("as the source"), and the video bit rate is the profile's, scaled from the profile's own
//   frame size (1920x1080 when it names none) to the source's by pixel count and rounded to the nearest
//   of the profile's bit-rate choices;
// - a join (one output for clips of several sizes) keeps the profile's frame size, except that it never
//   has more pixels than the largest clip: then it is that clip's size, with the bit rate scaled to it.
//
// A user's custom profile is never resolved: it keeps exactly what was saved. Titles are the texts the
// output settings store ("1280x720", "25", "2000"); bit rates are kbit/s.
#include <QSize>
#include <QString>
#include <QStringList>

class ProfileDefaults
{
public:
    enum class Use { OneSource, Join };

    struct Video
    {
        QString frameSize;
        QString frameRate;
        QString bitRate;
        bool operator==(const Video &) const = default;
    };

    // Whether `path` (absolute, or relative to the main bundle's resources) is a profile shipped in the
    // application's resources, not a user's custom profile or a file elsewhere.
    static bool isShipped(const QString &path);

    // `profile`'s defaults for `picture`: the source's upright picture (OneSource) or the largest clip's
    // (Join). An invalid picture (unknown) leaves the size and bit rate as the profile gives them; the
    // one-source use still empties the size and rate titles.
    static Video resolve(const Video &profile, const QStringList &bitRateChoices, Use use, QSize picture);

    // `bitRate` meant for a `reference` picture, scaled to `picture` by pixel count and rounded to the
    // nearest number of `choices` (the larger on a tie; the scaled number itself when no choice is a
    // number). `bitRate` unchanged when it holds no number above 0 or either picture is empty.
    static QString scaledBitRate(const QString &bitRate, QSize reference, QSize picture, const QStringList &choices);

    // The picture of a frame-size title "WxH"; invalid when the title holds no such size.
    static QSize sizeOfTitle(const QString &frameSize);
};
