#include "platform/systemlanguage.h"

#include <gtest/gtest.h>

namespace {
TEST(SystemLanguage, CodeTable)
{
    const std::pair<const char *, const char *> cases[] = {
        {"ar_EG", "ar"}, {"zh_CN", "cn"}, {"zh_TW", "cn"}, {"de_DE", "de"}, {"de_AT", "de"}, {"el_GR", "el"},
        {"es_ES", "es"}, {"es_MX", "es"}, {"fr_FR", "fr"}, {"fr_CA", "fr"}, {"hu_HU", "hu"}, {"it_IT", "it"},
        {"ja_JP", "jp"}, {"ko_KR", "kr"}, {"nl_NL", "nl"}, {"nl_BE", "nl"}, {"pl_PL", "pl"}, {"pt_BR", "pt"},
        {"pt_PT", "pt"}, {"ro_RO", "ro"}, {"ru_RU", "ru"}, {"tr_TR", "tr"},
        {"en_US", "en"}, {"en_GB", "en"}, {"sv_SE", "en"}, {"fi_FI", "en"}, {"uk_UA", "en"}, {"C", "en"},
    };
    for (const auto &[locale, code] : cases)
        EXPECT_EQ(LanguageCodeFor(QLocale(QLatin1String(locale))), QLatin1String(code)) << locale;
}

} // namespace
