#pragma once
// For the by-hand screenshot hooks: runs `shoot` once per language with the application switched to it
// (by default English, German for long texts and Arabic for right-to-left), passing the language's folder
// name ("en", "de", "ar") for the file name, and goes back to the default language afterwards.
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"

#include <QString>

#include <functional>
#include <initializer_list>

inline void inScreenshotLanguages(const std::function<void(const QString &code)> &shoot,
                                  std::initializer_list<int> languages = {0, 4, 8})
{
    for (const int language : languages) {
        platform::UserDefaults::standard().setValue(QStringLiteral("AppLanguage"), language);
        LanguageService::setLanguage();
        shoot(LanguageService::currentLanguageFolder());
    }
    platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
    LanguageService::setLanguage();
}
