#include "gui/editing/jobkindchooser.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kKindTitles[3] = {"Files and Folders Backup", "Drive Image Backup", "Application Data Backup"};
const char *const kKindNames[3] = {"btFilesAndFolders", "btDriveImage", "btAppsData"};
} // namespace

TfrmSourceType::TfrmSourceType(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSourceType"));
    m_lbPrompt = new QLabel(this);
    m_lbPrompt->setObjectName(QStringLiteral("lbPrompt"));
    m_lbPrompt->setWordWrap(true);
    m_lbPrompt->setMinimumHeight(56);
    m_lbPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *kinds = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(kKindNames[i]));
        b->setMinimumSize(170, 90);
        b->setAutoDefault(false);
        b->installEventFilter(this);
        const int kind = i + 1;
        connect(b, &QPushButton::clicked, this, [this, kind] { done(kind); });
        kinds->addWidget(b);
        m_buttons[i] = b;
    }
    m_btClose = new QPushButton(this);
    m_btClose->setObjectName(QStringLiteral("btClose"));
    connect(m_btClose, &QPushButton::clicked, this, [this] { done(0); });
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_btClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbPrompt);
    layout->addLayout(kinds);
    layout->addLayout(bottom);
}

QString TfrmSourceType::KindDescription(int kind)
{
    switch (kind) {
    case 1:
        return Translate(QStringLiteral("Files and Folders Backup")) + QLatin1Char('\n')
               + Translate(QStringLiteral(
                   "Backup selected files and folders. Incremental, synchronizing and other backup methods are supported."));
    case 2:
        return Translate(QStringLiteral("Drive Image Backup")) + QLatin1Char('\n')
               + Translate(QStringLiteral(
                   "Backup the operating system with all the settings, files, folders and applications."));
    case 3:
        return Translate(QStringLiteral("Application Data Backup")) + QLatin1Char('\n')
               + Translate(QStringLiteral("Backup the settings and data of selected applications.")) + QLatin1Char(' ')
               + Translate(QStringLiteral("Backup the game saves."));
    default:
        return Translate(QStringLiteral("Choose a backup type."));
    }
}

QString TfrmSourceType::PromptText() const
{
    return m_lbPrompt->text();
}

void TfrmSourceType::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Choose a backup type.")));
    m_lbPrompt->setText(KindDescription(0));
    for (int i = 0; i < 3; ++i)
        m_buttons[i]->setText(Translate(QLatin1String(kKindTitles[i])));
    m_btClose->setText(Translate(QStringLiteral("Close")));
    QDialog::showEvent(event);
}

bool TfrmSourceType::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 3; ++i) {
        if (watched != m_buttons[i])
            continue;
        if (event->type() == QEvent::Enter)
            m_lbPrompt->setText(KindDescription(i + 1));
        else if (event->type() == QEvent::Leave)
            m_lbPrompt->setText(KindDescription(0));
    }
    return QDialog::eventFilter(watched, event);
}

int ChooseJobKindWindow(QWidget *parent)
{
    TfrmSourceType chooser(parent);
    const int result = ExecModal(chooser);
    return result >= 1 && result <= 3 ? result : 0;
}
