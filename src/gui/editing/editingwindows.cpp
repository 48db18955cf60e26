#include "gui/editing/editingwindows.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/editing/filesrestore.h"
#include "gui/editing/fileswizard.h"
#include "gui/editing/jobkindchooser.h"
#include "gui/editing/logviewer.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"

namespace {
void showNotAvailable(const QString &englishName, QWidget *parent)
{
    ShowMessageDialog(
        FillPercentS(Translate(QStringLiteral("The window \"%s\" is not available in this version of the program yet.")),
                     {Translate(englishName)}),
        mtInformation, mbOK, 0, parent);
}

class EditingJobWindows : public JobWindows {
public:
    bool Available(Window window) const override
    {
        switch (window) {
        case wJobKindChooser:
        case wWizard:
        case wRestore:
        case wLogViewer:
            return true;
        case wOpenJob:
        case wFtpClient:
        case wCloudClient:
            return false;
        }
        return false;
    }

    int ChooseJobKind(QWidget *parent) override { return ChooseJobKindWindow(parent); }

    int RunWizard(TJob &job, const QString &caption, bool clear, QWidget *parent) override
    {
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(&job))
            return RunFilesWizard(*files, caption, clear, parent);
        showNotAvailable(QStringLiteral("Backup Job Wizard"), parent);
        return wrCancelled;
    }

    std::unique_ptr<TJob> OpenJob(const QString &, QWidget *parent) override
    {
        showNotAvailable(QStringLiteral("Open Job"), parent);
        return nullptr;
    }

    void Restore(TJob &job, QWidget *parent) override
    {
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(&job))
            RestoreFilesJob(*files, parent);
        else
            showNotAvailable(QStringLiteral("Restore"), parent);
    }

    void ShowLog(const QString &path, bool runLog, QWidget *parent) override
    {
        TfrmLog viewer(parent);
        viewer.OpenReport(path, runLog);
    }

    void ShowFtpClient(QWidget *parent) override { showNotAvailable(QStringLiteral("FTP Client"), parent); }
    void ShowCloudClient(QWidget *parent) override { showNotAvailable(QStringLiteral("Cloud Client"), parent); }
};
} // namespace

std::unique_ptr<JobWindows> CreateEditingJobWindows()
{
    return std::make_unique<EditingJobWindows>();
}
