#include "model/HelpClass.h"

#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"

#include <QFontMetricsF>
#include <cmath>
#include <limits>
#include <string_view>

using namespace std::string_view_literals;

namespace {

// float -> int32 truncation toward zero without the undefined behaviour of an out-of-range cast.
int32_t truncFloat(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483520.0f) // the largest float below 2^31
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

} // namespace

QString HelpClass::createFilename(const QDateTime &now)
{
    return now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString HelpClass::twoDigits(int32_t v)
{
    return platform::qformat("%02i"sv, v < 0 ? 0 : v);
}

void HelpClass::splitTime(float s, int32_t &hours, int32_t &minutes, int32_t &secs, int32_t &hundredths)
{
    // Every step in float on purpose: the hundredths of 1.15 must come out as 14, as the user sees them.
    const float f = std::floor(s);
    hours = truncFloat(f) / 3600;
    const float r = s - static_cast<float>(hours) * 3600.0f;
    minutes = truncFloat(std::floor(r)) / 60;
    secs = truncFloat(std::floor(r - static_cast<float>(minutes) * 60.0f));
    hundredths = truncFloat((s - f) * 100.0f);
}

QString HelpClass::returnTimeToStr(float seconds)
{
    int32_t h, m, s, c;
    splitTime(seconds, h, m, s, c);
    return retrnTimeToStr(h, m, s, c);
}

QString HelpClass::returnTimeToCutFileName(float seconds)
{
    int32_t h, m, s, c;
    splitTime(seconds, h, m, s, c);
    return platform::qformat("%@%@%@.%@"sv, twoDigits(h), twoDigits(m), twoDigits(s), twoDigits(c));
}

QString HelpClass::retrnTimeToStr(int32_t hours, int32_t minutes, int32_t seconds, int32_t hundredths)
{
    return platform::qformat("%@:%@:%@.%@"sv, twoDigits(hours), twoDigits(minutes), twoDigits(seconds),
                             twoDigits(hundredths));
}

StyledTitle HelpClass::retButtonTitle(const QString &title, const std::optional<QColor> &color,
                                      const QString &fontName, int64_t fontsize, bool shadow,
                                      uint64_t textAlignment)
{
    StyledTitle styled;
    if (title.isEmpty())
        return styled;
    styled.text = title;
    styled.color = color && color->isValid() ? *color : QColor(Qt::black);
    switch (textAlignment) {
    case 1:
        styled.alignment = Qt::AlignRight;
        break;
    case 3:
        styled.alignment = Qt::AlignJustify;
        break;
    case 4:
        styled.alignment = Qt::AlignLeft; // natural: follows the layout direction
        break;
    default: // 0 (asked as "left") and 2 both centre
        styled.alignment = Qt::AlignHCenter;
        break;
    }
    // Asked with the title, so that the family chosen has glyphs for its letters.
    styled.font =
        platform::FontAlias::fontNamed(fontName, fontsize < 1 ? 12.0 : static_cast<double>(fontsize), title);
    if (!styled.font)
        return styled;
    styled.shadow = shadow;
    if (shadow) {
        styled.shadowBlur = 2;
        styled.shadowColor = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
        styled.shadowOffset = QPointF(1, 2);
    } else {
        styled.shadowColor = styled.color;
    }
    return styled;
}

uint32_t HelpClass::retDwordColorVolue(const QColor &color)
{
    float red = 0, green = 0, blue = 0, alpha = 0;
    if (color.isValid()) {
        color.toRgb().getRgbF(&red, &green, &blue, &alpha);
    } else {
        platform::logWarning("exception:%@", "invalid colour has no RGB components");
    }
    const int r = static_cast<int>(static_cast<double>(red) * 255);
    const int g = static_cast<int>(static_cast<double>(green) * 255);
    const int b = static_cast<int>(static_cast<double>(blue) * 255);
    platform::log("传入的颜色值：red:%d green:%d blue:%d", r, g, b);
    return (static_cast<uint32_t>(r & 0xFF) << 24) | (static_cast<uint32_t>(g & 0xFF) << 16) |
           (static_cast<uint32_t>(b & 0xFF) << 8);
}

QRectF HelpClass::getHeightOfText(const QString &text, double width, double height,
                                  const std::optional<QFont> &font)
{
    const QFont used = font ? *font : platform::FontAlias::systemFont(30);
    // An empty text needs no line at all (Qt would report one line's height for it).
    QRectF bounds;
    if (!text.isEmpty())
        bounds = QFontMetricsF(used).boundingRect(QRectF(0, 0, width, height), Qt::TextWordWrap, text);
    bounds.setHeight(bounds.height() + 2 * bounds.y() + 4);
    return bounds;
}
