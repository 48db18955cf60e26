#include "base/translation.h"

#include "base/errors.h"
#include "base/events.h"
#include "base/textfile.h"

#include <QFileInfo>

void TLanguageOptions::RebuildIndex()
{
    EnglishIndex.clear();
    if (Translations.isEmpty())
        return;
    const QStringList &en = Translations.first();
    // Walk backwards so that the first occurrence of a text is the one kept.
    // An empty English line is a gap in the file, not a text to translate.
    for (int k = en.size() - 1; k >= 2; --k) {
        if (!en[k].isEmpty())
            EnglishIndex.insert(en[k], k);
    }
}

void TLanguageOptions::SelectLanguage()
{
    iLanguage = 0;
    for (int c = 0; c < Translations.size(); ++c) {
        if (Translations[c].size() > 1 && Translations[c][1] == LanguageOfInterface) {
            iLanguage = c;
            return;
        }
    }
}

QString TranslateWith(const TLanguageOptions &lang, const QString &text)
{
    if (lang.iLanguage <= 0 || lang.iLanguage >= lang.Translations.size())
        return text;
    const auto it = lang.EnglishIndex.constFind(text);
    if (it == lang.EnglishIndex.constEnd())
        return text;
    const QStringList &row = lang.Translations[lang.iLanguage];
    if (it.value() >= row.size() || row[it.value()].isEmpty())
        return text;
    return row[it.value()];
}

QVector<QStringList> ParseTranslationLines(const QStringList &lines)
{
    if (lines.isEmpty())
        throw QvError(QStringLiteral("The translation file is empty"));
    bool ok = false;
    const int n = lines.first().trimmed().toInt(&ok);
    if (!ok || n <= 0)
        throw QvError(QStringLiteral("'%1' is not a valid number of languages").arg(lines.first()));
    // Every language needs at least its name line; a larger count is damage
    // (and must not allocate rows for it).
    if (n > lines.size() - 1)
        throw QvError(QStringLiteral("The translation file names %1 languages but holds only %2 lines")
                          .arg(n).arg(lines.size() - 1));
    QVector<QStringList> rows(n);
    // Line 1 + k*N + c holds entry k of row c; incomplete groups are ignored.
    const qsizetype entries = (lines.size() - 1) / n;
    for (int c = 0; c < n; ++c) {
        rows[c].reserve(entries);
        for (qsizetype k = 0; k < entries; ++k)
            rows[c].append(lines[1 + k * n + c]);
    }
    return rows;
}

bool LoadTranslationFile(const QString &path, TLanguageOptions &lang)
{
    try {
        if (!QFileInfo::exists(path))
            throw QvError(QStringLiteral("Cannot find translation file:") + path);
        lang.Translations = ParseTranslationLines(ReadTextLines(path));
        lang.RebuildIndex();
        lang.SelectLanguage();
        return true;
    } catch (const QvError &e) {
        AddEvent(QStringLiteral("ERROR: ") + e.message());
        lang.iLanguage = 0;
        return false;
    }
}
