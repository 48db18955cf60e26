// Fuzzes the translation file reader: text decoding, the table parser, the
// index and the lookup. A malformed file must end in QvError, never in a
// crash or an allocation beyond the input's size.
#include "base/errors.h"
#include "base/textfile.h"
#include "base/translation.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = DecodeTextLines(input);
    // Re-encoding what was decoded gives the same lines again.
    if (DecodeTextLines(EncodeTextLines(lines)) != lines)
        std::abort();
    TLanguageOptions lang;
    try {
        lang.Translations = ParseTranslationLines(lines);
    } catch (const QvError &) {
        return 0;
    }
    const qsizetype entries = lang.Translations.first().size();
    for (const QStringList &row : lang.Translations) {
        if (row.size() != entries)
            std::abort();
    }
    lang.RebuildIndex();
    for (const QStringList &row : lang.Translations) {
        lang.LanguageOfInterface = row.value(1);
        lang.SelectLanguage();
        for (const QString &text : lang.Translations.first())
            (void)TranslateWith(lang, text);
    }
    return 0;
}
