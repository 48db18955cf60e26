#include "platform/systemlanguage.h"

#include <QStringList>

QString LanguageCodeFor(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Arabic: return QStringLiteral("ar");
    case QLocale::Chinese: return QStringLiteral("cn");
    case QLocale::German: return QStringLiteral("de");
    case QLocale::Greek: return QStringLiteral("el");
    case QLocale::Spanish: return QStringLiteral("es");
    case QLocale::French: return QStringLiteral("fr");
    case QLocale::Hungarian: return QStringLiteral("hu");
    case QLocale::Italian: return QStringLiteral("it");
    case QLocale::Japanese: return QStringLiteral("jp");
    case QLocale::Korean: return QStringLiteral("kr");
    case QLocale::Dutch: return QStringLiteral("nl");
    case QLocale::Polish: return QStringLiteral("pl");
    case QLocale::Portuguese: return QStringLiteral("pt");
    case QLocale::Romanian: return QStringLiteral("ro");
    case QLocale::Russian: return QStringLiteral("ru");
    case QLocale::Turkish: return QStringLiteral("tr");
    default: return QStringLiteral("en");
    }
}

QString SystemLanguageCode()
{
    const QLocale system = QLocale::system();
    // The UI languages follow LANGUAGE and LC_MESSAGES, which may differ from
    // the formats locale; the first one is the user's preferred language.
    const QStringList ui = system.uiLanguages();
    if (!ui.isEmpty()) {
        const QLocale preferred(ui.first());
        if (preferred.language() != QLocale::C && preferred.language() != QLocale::AnyLanguage)
            return LanguageCodeFor(preferred);
    }
    return LanguageCodeFor(system);
}
