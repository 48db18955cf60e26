#pragma once
// The translation table: row c holds language c (row 0 is English); in every
// row entry 0 is the language's name, entry 1 its code, entry k >= 2 a text.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct TLanguageOptions {
    QString LanguageOfInterface;   // code of the chosen language, e.g. "de"
    qint32 iLanguage = 0;          // its row; 0 = the program's own English texts
    QVector<QStringList> Translations;
    // English text -> its first entry index; built by the loader so that a
    // lookup is one hash probe. Copied with the table (implicitly shared).
    QHash<QString, int> EnglishIndex;

    // Rebuilds EnglishIndex from row 0 (first occurrence wins).
    void RebuildIndex();
    // Sets iLanguage to the row whose code equals LanguageOfInterface, or 0.
    void SelectLanguage();
};

// Looks `text` up in the English row (exact, case-sensitive) and returns the
// entry of the selected row; the text itself when the index is 0, when there
// is no match or when the translation is empty.
QString TranslateWith(const TLanguageOptions &lang, const QString &text);

// Builds the table from the lines of "transl.dt": N, then the N names, the N
// codes, then N lines per text. Throws QvError with the error text.
QVector<QStringList> ParseTranslationLines(const QStringList &lines);

// Loads "transl.dt" at `path` into `lang` and selects the language of
// `lang.LanguageOfInterface`. On failure adds the event "ERROR: " + the error
// text, leaves English selected and returns false.
bool LoadTranslationFile(const QString &path, TLanguageOptions &lang);
