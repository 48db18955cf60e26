#pragma once
// The default interface language: the system's user-interface language
// mapped to the codes the translation table uses.
#include <QLocale>
#include <QString>

// The code of `locale`'s language: "ar", "cn", "de", "el", "es", "fr", "hu",
// "it", "jp", "kr", "nl", "pl", "pt", "ro", "ru", "tr", or "en" for any other.
QString LanguageCodeFor(const QLocale &locale);

// The code of the system's user-interface language (the first of the
// locale's UI languages, which follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG).
QString SystemLanguageCode();
