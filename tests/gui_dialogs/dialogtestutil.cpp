#include "dialogtestutil.h"

#include "options/options.h"
#include "support/testenv.h"

ScopedLanguage::ScopedLanguage(const QString &code)
{
    TLanguageOptions &lang = Options().Language;
    lang.LanguageOfInterface = code;
    EXPECT_TRUE(LoadTranslationFile(TestEnv::SourceDir() + QStringLiteral("/data/transl.dt"), lang));
}

ScopedLanguage::~ScopedLanguage()
{
    Options().Language.LanguageOfInterface = QStringLiteral("en");
    Options().Language.iLanguage = 0;
}
