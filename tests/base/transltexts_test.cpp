// The shipped translation file must hold every text the program translates,
// and its translations must keep the placeholders of the English texts.
#include "base/textfile.h"
#include "base/translation.h"
#include "support/testenv.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {
QVector<QStringList> shippedTable()
{
    return ParseTranslationLines(ReadTextLines(TestEnv::SourceDir() + QStringLiteral("/data/transl.dt")));
}

// Undoes the escapes a C++ string literal may hold.
QString unescape(const QString &literal)
{
    QString out;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        QChar c = literal[i];
        if (c == QLatin1Char('\\') && i + 1 < literal.size()) {
            const QChar n = literal[++i];
            switch (n.unicode()) {
            case 'n': out += QLatin1Char('\n'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'r': out += QLatin1Char('\r'); break;
            default: out += n; // \" \\ \'
            }
            continue;
        }
        out += c;
    }
    return out;
}

struct Literal {
    QString text;
    QString where;
};

// Every string literal that is the first argument of a call whose function
// name contains "Translate", or of the short alias T() that the run classes
// use for their job's lookup, in the sources of the program.
QList<Literal> translatedLiterals()
{
    // The first argument may be several adjacent literals, which the
    // compiler joins into one.
    static const QRegularExpression call(QStringLiteral(
        R"re(\b(?:\w*Translate\w*|T)\s*\(\s*(?:(?:QStringLiteral|QLatin1String|QLatin1StringView|QString|QStringView|tr)\s*\(\s*)?((?:u?"(?:[^"\\]|\\.)*"\s*)+))re"));
    static const QRegularExpression piece(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QList<Literal> found;
    QDirIterator it(TestEnv::SourceDir() + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << path.toStdString();
            continue;
        }
        const QString source = QString::fromUtf8(f.readAll());
        auto matches = call.globalMatch(source);
        while (matches.hasNext()) {
            const auto m = matches.next();
            const int line = static_cast<int>(source.left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
            QString text;
            auto pieces = piece.globalMatch(m.captured(1));
            while (pieces.hasNext())
                text += unescape(pieces.next().captured(1));
            found.append({text, path.mid(TestEnv::SourceDir().size() + 1) + QLatin1Char(':') + QString::number(line)});
        }
    }
    return found;
}

TEST(TranslationFile, HoldsEveryTranslatedText)
{
    const QVector<QStringList> table = shippedTable();
    ASSERT_FALSE(table.isEmpty());
    const QSet<QString> english(table[0].begin() + 2, table[0].end());
    QStringList missing;
    for (const Literal &l : translatedLiterals()) {
        if (!english.contains(l.text))
            missing << QStringLiteral("  %1  \"%2\"").arg(l.where, l.text);
    }
    EXPECT_TRUE(missing.isEmpty()) << "Texts missing from the English row of data/transl.dt:\n"
                                   << missing.join(QLatin1Char('\n')).toStdString();
}

TEST(TranslationFile, LanguagesAndTranslationsAreComplete)
{
    const QVector<QStringList> table = shippedTable();
    ASSERT_EQ(table.size(), 4);
    const QStringList names{QStringLiteral("English"), QStringLiteral("Deutsch"), QStringLiteral("Français"), QStringLiteral("Español")};
    const QStringList codes{QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("es")};
    for (int c = 0; c < table.size(); ++c) {
        EXPECT_EQ(table[c][0], names[c]);
        EXPECT_EQ(table[c][1], codes[c]);
    }

    static const QRegularExpression placeholder(QStringLiteral("%%|%[sd]|%\\d"));
    auto placeholders = [](const QString &s) {
        QStringList list;
        auto it = placeholder.globalMatch(s);
        while (it.hasNext())
            list << it.next().captured();
        list.sort();
        return list;
    };

    QSet<QString> seen;
    for (qsizetype k = 2; k < table[0].size(); ++k) {
        const QString &en = table[0][k];
        EXPECT_FALSE(en.isEmpty()) << "entry " << k;
        EXPECT_FALSE(seen.contains(en)) << "duplicate English text: " << en.toStdString();
        seen.insert(en);
        for (int c = 1; c < table.size(); ++c) {
            const QString &tr = table[c][k];
            EXPECT_FALSE(tr.isEmpty()) << codes[c].toStdString() << ": no translation of " << en.toStdString();
            EXPECT_EQ(placeholders(tr), placeholders(en)) << codes[c].toStdString() << ": " << tr.toStdString();
            // Texts that are joined to a path or value keep their trailing blank.
            EXPECT_EQ(tr.endsWith(QLatin1Char(' ')), en.endsWith(QLatin1Char(' '))) << tr.toStdString();
        }
    }
}

TEST(TranslationFile, LoadsForEveryLanguage)
{
    for (const char *code : {"de", "fr", "es"}) {
        TLanguageOptions lang;
        lang.LanguageOfInterface = QLatin1String(code);
        ASSERT_TRUE(LoadTranslationFile(TestEnv::SourceDir() + QStringLiteral("/data/transl.dt"), lang));
        EXPECT_GT(lang.iLanguage, 0);
        EXPECT_NE(TranslateWith(lang, QStringLiteral("Cancel")), QStringLiteral("Cancel")) << code;
    }
}
} // namespace
