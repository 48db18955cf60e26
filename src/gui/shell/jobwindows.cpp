#include "gui/shell/jobwindows.h"

#include "options/options.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"

namespace {
class UnavailableJobWindows : public JobWindows {
public:
    bool Available(Window) const override { return false; }
    int ChooseJobKind(QWidget *) override { return 0; }
    int RunWizard(TJob &, const QString &, bool, QWidget *) override { return 0; }
    std::unique_ptr<TJob> OpenJob(const QString &, QWidget *) override { return nullptr; }
    void Restore(TJob &, QWidget *) override {}
    void ShowLog(const QString &, bool, QWidget *) override {}
    void ShowFtpClient(QWidget *) override {}
    void ShowCloudClient(QWidget *) override {}
};
} // namespace

std::unique_ptr<JobWindows> CreateUnavailableJobWindows()
{
    return std::make_unique<UnavailableJobWindows>();
}

QString WindowNotAvailableText(JobWindows::Window window)
{
    QString name;
    switch (window) {
    case JobWindows::wJobKindChooser:
    case JobWindows::wWizard:
        name = Translate(QStringLiteral("Backup Job Wizard"));
        break;
    case JobWindows::wOpenJob:
        name = Translate(QStringLiteral("Open Job"));
        break;
    case JobWindows::wRestore:
        name = Translate(QStringLiteral("Restore"));
        break;
    case JobWindows::wLogViewer:
        name = Translate(QStringLiteral("Log Viewer"));
        break;
    case JobWindows::wFtpClient:
        name = Translate(QStringLiteral("FTP Client"));
        break;
    case JobWindows::wCloudClient:
        name = Translate(QStringLiteral("Cloud Client"));
        break;
    }
    return FillPercentS(Translate(QStringLiteral("The window \"%s\" is not available in this version of the program yet.")),
                        {name});
}
