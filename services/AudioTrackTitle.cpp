#include "services/AudioTrackTitle.h"

#include "platform/Format.h"
#include "services/LanguageService.h"

#include <QLocale>

QString AudioTrackTitle::kilohertz(int sampleRate)
{
    QString text = QString::number(sampleRate / 1000.0, 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    // The figures stay Latin in every language (as the other figures of the windows); a language that
    // writes Latin figures with a decimal comma gets its comma.
    const QLocale locale(LanguageService::qtCatalogueLocale(LanguageService::currentLanguageFolder()));
    if (locale.zeroDigit() == QLatin1String("0"))
        text.replace(u'.', locale.decimalPoint());
    return text;
}

QString AudioTrackTitle::title(int number, const QString &trackTitle, const QString &language, int channels,
                               int sampleRate)
{
    QString name = trackTitle.trimmed();
    if (name.isEmpty())
        name = LanguageService::languageName(language);
    if (name.isEmpty())
        name = platform::qformat(LanguageService::localizedStringForKey("AudioTrackNumberTitle"), number);
    if (channels <= 0 || sampleRate <= 0)
        return name;
    return platform::qformat(LanguageService::localizedStringForKey("AudioTrackDetailsTitle"), name, channels,
                             kilohertz(sampleRate));
}
