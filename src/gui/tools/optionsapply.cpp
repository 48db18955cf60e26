#include "gui/tools/optionsapply.h"

#include "base/events.h"
#include "gui/common/messagedialog.h"
#include "platform/autostart.h"
#include "platform/priority.h"

bool ApplyOptionsDialogResult(const TOptions &before, TOptions &options, QWidget *parent)
{
    if (options.General.RunProgramAtLogon != before.General.RunProgramAtLogon) {
        if (!SetRunAtLogon(options.General.RunProgramAtLogon)) {
            options.General.RunProgramAtLogon = before.General.RunProgramAtLogon;
            ShowMessageDialog(
                Translate(QStringLiteral("Unable to change the autorun option. Make sure you have the rights to "
                                         "create/remove the keys in the following branch of the Windows Registry:")) +
                    QStringLiteral("\n\nHKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
                mtError, mbOK, 0, parent);
        }
    }

    if (options.General.ProcessPriority != before.General.ProcessPriority) {
        QString error;
        if (!ProcessPriority::Apply(options.General.ProcessPriority, &error))
            AddEvent(Translate(QStringLiteral("Unable to set the process priority:")) + QLatin1Char(' ') + error);
    }

    QString error;
    if (!SaveOptions(options, OptionsFilePath(), &error)) {
        AddEvent(Translate(QStringLiteral("Unable to save the options:")) + QLatin1Char(' ') + error);
        return false;
    }
    return true;
}

bool EditOptions(TfrmOptions &window, TfrmOptions::Page startPage, QWidget *parent)
{
    const TOptions before = Options();
    if (!window.Execute(Options(), startPage))
        return false;
    ApplyOptionsDialogResult(before, Options(), parent);
    return true;
}
