#pragma once
// Stateless helpers used all over the application: a time stamp for file names, the two text forms of a
// time, a styled button title, a colour as the media engine's 32-bit word, and the height a text needs.
// Main thread only (they use the GUI's fonts); only retDwordColorVolue logs.
#include "model/StyledTitle.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>

class HelpClass
{
public:
    // `now` as "yyyy-MM-dd_HH-mm-ss" (local time by default); a time stamp for output file names.
    static QString createFilename(const QDateTime &now = QDateTime::currentDateTime());

    // Seconds as "HH:MM:SS.cc", computed in 32-bit float: hundredths truncated (1.15 gives 00:00:01.14),
    // hours not wrapped (100 hours give "100"), negative pieces written as 00.
    static QString returnTimeToStr(float seconds);
    // The same pieces as "HHMMSS.cc", for file names.
    static QString returnTimeToCutFileName(float seconds);
    // The four given numbers as "HH:MM:SS.cc", with no carrying (75 minutes stay "75").
    static QString retrnTimeToStr(int32_t hours, int32_t minutes, int32_t seconds, int32_t hundredths);

    // A styled title. textAlignment uses the platform numbers (1 right, 2 centre, 3 justified,
    // 4 natural); 0 centres. An absent colour is black; a size below 1 is 12. With `shadow` the title
    // gets a dark grey shadow blurred 2 points at offset (1, 2).
    static StyledTitle retButtonTitle(const QString &title, const std::optional<QColor> &color,
                                      const QString &fontName, int64_t fontsize, bool shadow,
                                      uint64_t textAlignment);

    // The engine's colour word: red << 24 | green << 16 | blue << 8, each component times 255 truncated,
    // low byte 0. Logs the three components. An invalid colour logs "exception:%@" and gives 0.
    static uint32_t retDwordColorVolue(const QColor &color);

    // The bounding rectangle of `text` (null = empty) laid out in a width x height box with `font`
    // (absent = the system font at 30 points), with its height replaced by height + 2 * y + 4.
    static QRectF getHeightOfText(const QString &text, double width, double height,
                                  const std::optional<QFont> &font);

private:
    static QString twoDigits(int32_t v);
    static void splitTime(float seconds, int32_t &hours, int32_t &minutes, int32_t &secs,
                          int32_t &hundredths);
};
