#include "base/errors.h"
#include "base/events.h"
#include "base/textfile.h"
#include "base/translation.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace {
// N = 3: three names, three codes, then five texts of three lines each.
QStringList sampleLines()
{
    return {
        "3",
        "English", "Deutsch", "Français",
        "en", "de", "fr",
        "Cancel", "Abbrechen", "Annuler",
        "Error", "Fehler", "Erreur",
        "Only German", "Nur Deutsch", "",
        "Cancel", "Zweimal", "Deux fois",
        "Jobs", "Aufträge", "Tâches",
    };
}

TLanguageOptions loaded(const QStringList &lines, const QString &code)
{
    TLanguageOptions lang;
    lang.LanguageOfInterface = code;
    lang.Translations = ParseTranslationLines(lines);
    lang.RebuildIndex();
    lang.SelectLanguage();
    return lang;
}

TEST(Translation, RowsHoldNameCodeAndTexts)
{
    const QVector<QStringList> rows = ParseTranslationLines(sampleLines());
    ASSERT_EQ(rows.size(), 3);
    for (const QStringList &row : rows)
        EXPECT_EQ(row.size(), 7);
    EXPECT_EQ(rows[1][0], QStringLiteral("Deutsch"));
    EXPECT_EQ(rows[2][1], QStringLiteral("fr"));
    EXPECT_EQ(rows[2][6], QStringLiteral("Tâches"));
}

TEST(Translation, IncompleteLastGroupIsIgnored)
{
    QStringList lines = sampleLines();
    lines << "Extra" << "Zusatz";
    for (const QStringList &row : ParseTranslationLines(lines))
        EXPECT_EQ(row.size(), 7);
}

TEST(Translation, Lookup)
{
    const TLanguageOptions de = loaded(sampleLines(), QStringLiteral("de"));
    EXPECT_EQ(de.iLanguage, 1);
    EXPECT_EQ(TranslateWith(de, QStringLiteral("Error")), QStringLiteral("Fehler"));
    // The first occurrence of a text wins.
    EXPECT_EQ(TranslateWith(de, QStringLiteral("Cancel")), QStringLiteral("Abbrechen"));
    // Exact, case-sensitive match only.
    EXPECT_EQ(TranslateWith(de, QStringLiteral("error")), QStringLiteral("error"));
    EXPECT_EQ(TranslateWith(de, QStringLiteral("Not in the table")), QStringLiteral("Not in the table"));
    // The language names and codes are no texts.
    EXPECT_EQ(TranslateWith(de, QStringLiteral("English")), QStringLiteral("English"));

    const TLanguageOptions fr = loaded(sampleLines(), QStringLiteral("fr"));
    EXPECT_EQ(fr.iLanguage, 2);
    // An empty translation falls back to English.
    EXPECT_EQ(TranslateWith(fr, QStringLiteral("Only German")), QStringLiteral("Only German"));
    EXPECT_EQ(TranslateWith(fr, QStringLiteral("Jobs")), QStringLiteral("Tâches"));
}

TEST(Translation, UnknownCodeAndEnglishReturnTextsUnchanged)
{
    for (const QString &code : {QStringLiteral("xx"), QStringLiteral("en"), QStringLiteral("DE"), QString()}) {
        const TLanguageOptions lang = loaded(sampleLines(), code);
        EXPECT_EQ(lang.iLanguage, 0) << code.toStdString();
        EXPECT_EQ(TranslateWith(lang, QStringLiteral("Error")), QStringLiteral("Error"));
    }
}

TEST(Translation, EmptyEnglishLineIsNoText)
{
    const TLanguageOptions de = loaded({"2", "English", "Deutsch", "en", "de", "", "Leer"}, QStringLiteral("de"));
    EXPECT_EQ(TranslateWith(de, QString()), QString());
}

TEST(Translation, MalformedFirstLine)
{
    const QStringList firstLines[] = {{"three"}, {""}, {"0"}, {"-2"}, {"1x"}};
    for (const QStringList &first : firstLines) {
        QStringList lines = sampleLines();
        lines[0] = first[0];
        EXPECT_THROW(ParseTranslationLines(lines), QvError) << first[0].toStdString();
    }
    EXPECT_THROW(ParseTranslationLines({}), QvError);
    // More languages than lines: damage, and nothing absurd is allocated.
    EXPECT_THROW(ParseTranslationLines({"2000000000", "English"}), QvError);
}

TEST(Translation, LoadFileSelectsLanguage)
{
    const QString path = TestEnv::Root() + QStringLiteral("/transl-ok.dt");
    ASSERT_TRUE(WriteTextLines(path, sampleLines()));
    PendingEvents::TakeAll();
    TLanguageOptions lang;
    lang.LanguageOfInterface = QStringLiteral("fr");
    EXPECT_TRUE(LoadTranslationFile(path, lang));
    EXPECT_EQ(lang.iLanguage, 2);
    EXPECT_EQ(TranslateWith(lang, QStringLiteral("Error")), QStringLiteral("Erreur"));
    EXPECT_TRUE(PendingEvents::TakeAll().isEmpty());
}

TEST(Translation, LoadFailuresAddAnEventAndKeepEnglish)
{
    PendingEvents::TakeAll();
    const QString missing = TestEnv::Root() + QStringLiteral("/no/transl.dt");
    TLanguageOptions lang;
    lang.LanguageOfInterface = QStringLiteral("de");
    EXPECT_FALSE(LoadTranslationFile(missing, lang));
    EXPECT_EQ(lang.iLanguage, 0);
    QStringList events = PendingEvents::TakeAll();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].endsWith(QStringLiteral(": ERROR: Cannot find translation file:") + missing))
        << events[0].toStdString();

    const QString bad = TestEnv::Root() + QStringLiteral("/transl-bad.dt");
    QStringList lines = sampleLines();
    lines[0] = QStringLiteral("N");
    ASSERT_TRUE(WriteTextLines(bad, lines));
    EXPECT_FALSE(LoadTranslationFile(bad, lang));
    EXPECT_EQ(lang.iLanguage, 0);
    events = PendingEvents::TakeAll();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].contains(QStringLiteral(": ERROR: "))) << events[0].toStdString();
}
} // namespace
