#include "options/options.h"

#include "options/excludeddirs.h"
#include "base/appstate.h"
#include "base/paths.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "platform/systemlanguage.h"

void SetDefaultOptions(TOptions &options, LogonEntry logon)
{
    const QString title = QLatin1String(AppState::ApplicationTitle);

    options.Language.LanguageOfInterface = SystemLanguageCode();
    options.Language.iLanguage = 0;
    // The table is the loaded translation file, not a setting: keep it and
    // select the default language in it.
    if (!options.Language.Translations.isEmpty())
        options.Language.SelectLanguage();

    TGeneralOptions general;
    general.RunProgramAtLogon = logon == LogonEntry::Write ? SetRunAtLogon(true) : Autostart::IsSet();
    general.PathForTempFiles = JoinPath(Folders::TempFolder(), QString(title).remove(QLatin1Char(' ')) + QStringLiteral("Tmp"));
    options.General = general;

    TLoggingOptions logging;
    logging.PathForLogFiles = JoinPath(Folders::DocumentsFolder(), title);
    options.Logging = logging;

    options.Processing = TProcessingOptions();
    options.ExcludedDirs = DefaultExcludedDirs();
    options.Email = TEmailOptions();
    options.Proxy = TProxyOptions();
    // FTPAccounts and LastFTPAccountID are kept: jobs refer to the accounts by
    // ID, and an ID must never be given out twice.
}
