// The main window's texts: every caption through Translate, the Language
// menu and the "Add Language..." help.
#include "gui/shell/mainwindow.h"

#include "app/applicationcore.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/events.h"
#include "gui/common/messagedialog.h"
#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistmodel.h"
#include "jobs/jobtext.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeWidget>

void TfrmMainQuorvane::ApplyTexts()
{
    const auto set = [](QAction *a, const QString &text) {
        a->setText(text);
        a->setToolTip(QString(text).remove(QLatin1Char('&')));
    };
    set(ActionNewJob, Translate(QStringLiteral("New Job")));
    set(ActionOpen, Translate(QStringLiteral("Open")));
    set(ActionMinimize, Translate(QStringLiteral("Minimize")));
    set(ActionQuit, Translate(QStringLiteral("Quit")));
    set(ActionProperties, Translate(QStringLiteral("Properties")));
    set(ActionRename, Translate(QStringLiteral("Rename")));
    set(ActionDuplicate, Translate(QStringLiteral("Duplicate")));
    set(ActionRemove, Translate(QStringLiteral("Remove")));
    set(ActionViewAsCards, Translate(QStringLiteral("View as Cards")));
    set(ActionViewAsTable, Translate(QStringLiteral("View as Table")));
    set(ActionShowFilters, Translate(QStringLiteral("Filters")));
    set(ActionShowEvents, Translate(QStringLiteral("Events")));
    set(ActionBackup, Translate(QStringLiteral("Backup")));
    set(ActionRestore, Translate(QStringLiteral("Restore")));
    set(ActionPause, Translate(QStringLiteral("Pause")));
    set(ActionResume, Translate(QStringLiteral("Resume")));
    set(ActionCancel, Translate(QStringLiteral("Cancel")));
    set(ActionPauseAll, Translate(QStringLiteral("Pause All")));
    set(ActionCancelAll, Translate(QStringLiteral("Cancel All")));
    set(ActionOptions, Translate(QStringLiteral("Options")));
    set(ActionFTPClient, Translate(QStringLiteral("FTP Client")));
    set(ActionCloudClient, Translate(QStringLiteral("Cloud Client")));
    set(ActionAddLanguage, Translate(QStringLiteral("Add Language...")));
    set(ActionUserGuide, Translate(QStringLiteral("User Guide")));
    set(ActionSupport, Translate(QStringLiteral("Support")));
    set(ActionContactUs, Translate(QStringLiteral("Contact Us")));
    set(ActionAbout, Translate(QStringLiteral("About")));
    set(ActionHistory, Translate(QStringLiteral("History")));
    set(ActionViewLog, Translate(QStringLiteral("View Log")));
    set(ActionMoveUp, Translate(QStringLiteral("Move up")));
    set(ActionMoveDown, Translate(QStringLiteral("Move down")));
    set(ActionTrayOpen, Translate(QStringLiteral("Open")));

    mnFile->setTitle(Translate(QStringLiteral("File")));
    mnEdit->setTitle(Translate(QStringLiteral("Edit")));
    mnView->setTitle(Translate(QStringLiteral("View")));
    mnList->setTitle(Translate(QStringLiteral("List")));
    mnRun->setTitle(Translate(QStringLiteral("Run")));
    mnTools->setTitle(Translate(QStringLiteral("Tools")));
    mnLanguage->setTitle(Translate(QStringLiteral("Language")));
    mnHelp->setTitle(Translate(QStringLiteral("Help")));
    tbMain->setWindowTitle(Translate(QStringLiteral("Toolbar")));
    pmLogs->setTitle(Translate(QStringLiteral("View Log")));

    for (int i = 0; i < m_filterItems.size(); ++i)
        m_filterItems[i]->setText(0, Translate(FilterNodeEnglish(static_cast<FilterNode>(i))));
    edSearch->setPlaceholderText(Translate(QStringLiteral("Find jobs...")));
    lbEvents->setText(Translate(QStringLiteral("Events")));
    btSaveEvents->setText(Translate(QStringLiteral("Save to file...")));
    TrayIcon->setToolTip(QLatin1String(AppState::ApplicationTitle));

    // The status panels fit the widest text they will show.
    const QFontMetrics fm(stJobs->font());
    const struct {
        QLabel *label;
        QString text;
    } panels[] = {{stJobs, Translate(QStringLiteral("Jobs"))},
                  {stRunning, Translate(QStringLiteral("Running"))},
                  {stCancelled, Translate(QStringLiteral("Cancelled"))}};
    for (const auto &p : panels)
        p.label->setMinimumWidth(fm.horizontalAdvance(p.text + QStringLiteral(": 1000")) + 12);
    stVersion->setMinimumWidth(fm.horizontalAdvance(VersionText() + QStringLiteral("0000")) + 12);
    updateStatusPanels();

    // The column header and the card geometry (link widths) follow the language.
    Q_EMIT m_model->headerDataChanged(Qt::Horizontal, 0, colCount - 1);
    lbJobsList->UpdateLayout();
    updateListHeader();
    m_model->RefreshAll();
}

void TfrmMainQuorvane::buildLanguageMenu()
{
    delete m_languageGroup;
    mnLanguage->clear();
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);
    const TLanguageOptions &lang = Options().Language;
    for (int row = 0; row < lang.Translations.size(); ++row) {
        const QStringList &entries = lang.Translations[row];
        if (entries.size() < 2)
            continue;
        QAction *item = mnLanguage->addAction(entries[0]);
        item->setObjectName(QStringLiteral("ActionLanguage_") + entries[1]);
        item->setCheckable(true);
        item->setChecked(row == lang.iLanguage);
        m_languageGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, row] { SetLanguage(row); });
    }
}

void TfrmMainQuorvane::SetLanguage(int row)
{
    TLanguageOptions &lang = Options().Language;
    if (row < 0 || row >= lang.Translations.size() || lang.Translations[row].size() < 2)
        return;
    const QList<QAction *> items = m_languageGroup->actions();
    for (QAction *item : items)
        item->setChecked(item->objectName() == QStringLiteral("ActionLanguage_") + lang.Translations[row][1]);
    lang.iLanguage = row;
    lang.LanguageOfInterface = lang.Translations[row][1];
    QString error;
    if (!SaveOptions(Options(), OptionsFilePath(), &error)) {
        AddEvent(Translate(QStringLiteral("Unable to save the options:")) + QLatin1Char(' ') + error);
        m_core.DrainEvents();
    }
    ApplyTexts();
}

void TfrmMainQuorvane::actionAddLanguage()
{
    const QString title = QLatin1String(AppState::ApplicationTitle);
    const QString text =
        FillPercentS(Translate(QStringLiteral("Do you want to help us to translate %s to your language?")), {title}) +
        QStringLiteral("\n\n") +
        Translate(QStringLiteral("Please find the file ~transl.dt in the installation folder. Open it with Notepad, and "
                                 "fill the empty lines with translated strings.")) +
        QStringLiteral("\n\n") +
        Translate(QStringLiteral("Replace the line [NEW_LANGUAGE_NAME]  with the name of your language, for example: "
                                 "Français")) +
        QStringLiteral("\n\n") +
        Translate(QStringLiteral("Replace the line [NEW_LANGUAGE_CODE]  with the two-character language code, for "
                                 "example: fr")) +
        QStringLiteral("\n") +
        Translate(QStringLiteral("The following language codes are currently supported: en (English), de (German), es "
                                 "(Spanish), it (Italian), fr (French), pt (Portuguese), nl (Dutch), tr (Turkish), pl "
                                 "(Polish), ar (Arabic), cn (Chinese), jp (Japanese), kr (Korean).")) +
        QStringLiteral("\n\n") +
        Translate(QStringLiteral("Save the file as transl.dt by rewriting the existing file (UTF-8 encoding).")) +
        QStringLiteral("\n\n") +
        FillPercentS(Translate(QStringLiteral("Restart %s, and select newly added language in menu -> Tools -> Language.")),
                     {title}) +
        QStringLiteral("\n\n") +
        Translate(QStringLiteral("Send us the transl.dt if you want to see your translation in the next version of the "
                                 "software. We would love that!")) +
        QStringLiteral("\n") + Translate(QStringLiteral("THANK YOU!"));
    ShowMessageDialog(text, mtInformation, mbOK, 0, this);
}
