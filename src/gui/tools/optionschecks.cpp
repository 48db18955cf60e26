#include "gui/tools/optionschecks.h"

#include "options/options.h"
#include "base/appstate.h"
#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

QString TempSubfolderName()
{
    return QString::fromLatin1(AppState::ApplicationTitle).remove(QLatin1Char(' ')) + QStringLiteral("Tmp");
}

namespace {
bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

OptionsCheckResult fail(OptionsCheckResult result, const QString &message)
{
    result.Ok = false;
    result.Message = message;
    return result;
}

// The same folder: the texts are equal after trimming, or both name one
// existing folder (a trailing separator, "..", or a link in between).
bool samePath(const QString &a, const QString &b)
{
    if (a.trimmed() == b.trimmed())
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

OptionsCheckResult CheckOptionsForOk(const OptionsCheckInput &input)
{
    OptionsCheckResult result;
    result.PathForTempFiles = input.PathForTempFiles;

    if (input.ProtectConfigurationbyPassword && input.ProgramPassword.isEmpty())
        return fail(result, Translate(QStringLiteral("Please specify a password for configuration protection.")));

    if (!isExistingFolder(input.PathForTempFiles))
        return fail(result, Translate(QStringLiteral("Please choose a correct path for the temporary files.")));

    if (!input.PathForTempFiles.contains(TempSubfolderName(), Qt::CaseInsensitive)) {
        const QString sub = JoinPath(input.PathForTempFiles, TempSubfolderName());
        if (!QFileInfo(sub).isDir() && !QDir().mkpath(sub)) {
            return fail(result, Translate(QStringLiteral("ERROR: Unable to create temporary directory:")) +
                                    QLatin1Char('\n') + sub);
        }
        result.PathForTempFiles = sub;
    }

    if (!isExistingFolder(input.PathForLogFiles))
        return fail(result, Translate(QStringLiteral("Please choose a correct path for the log files.")));

    if (samePath(result.PathForTempFiles, input.PathForLogFiles))
        return fail(result, Translate(QStringLiteral("Unable to set the same path for temporary files and log files.")));

    result.Ok = true;
    return result;
}
