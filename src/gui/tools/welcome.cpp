#include "gui/tools/welcome.h"

#include "options/options.h"
#include "base/appstate.h"
#include "gui/common/messagedialog.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmWelcome::TfrmWelcome(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TfrmWelcome"));
    setModal(false);
    m_lbText = new QLabel(this);
    m_lbText->setObjectName(QStringLiteral("lbWelcomeText"));
    m_lbText->setWordWrap(true);

    auto bigButton = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumHeight(48);
        b->setAutoDefault(false);
        QFont f = b->font();
        f.setPointSizeF(f.pointSizeF() * 1.2);
        b->setFont(f);
        return b;
    };
    m_btNewJob = bigButton("btNewJob");
    m_btRestore = bigButton("btRestore");
    m_btUserGuide = bigButton("btUserGuide");
    m_chDontShowAgain = new QCheckBox(this);
    m_chDontShowAgain->setObjectName(QStringLiteral("chDontShowAgain"));
    m_btClose = new QPushButton(this);
    m_btClose->setObjectName(QStringLiteral("btClose"));

    // Close first, then the action: the main window's wizard opens over no welcome window.
    connect(m_btNewJob, &QPushButton::clicked, this, [this] {
        close();
        emit NewJobRequested();
    });
    connect(m_btRestore, &QPushButton::clicked, this, [this] {
        close();
        emit OpenRequested();
    });
    connect(m_btUserGuide, &QPushButton::clicked, this, [this] {
        close();
        emit UserGuideRequested();
    });
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::close);

    m_focusTimer.setInterval(100);
    connect(&m_focusTimer, &QTimer::timeout, this, &TfrmWelcome::focusTick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbText);
    layout->addSpacing(8);
    layout->addWidget(m_btNewJob);
    layout->addWidget(m_btRestore);
    layout->addWidget(m_btUserGuide);
    layout->addSpacing(8);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_chDontShowAgain, 1);
    bottom->addWidget(m_btClose);
    layout->addLayout(bottom);
    setMinimumWidth(460);
}

QString TfrmWelcome::MarkerPath()
{
    return Folders::DataFolder() + QStringLiteral("/~dsdd");
}

bool TfrmWelcome::ShouldShow(bool jobsListEmpty)
{
    return jobsListEmpty && !QFileInfo::exists(MarkerPath());
}

void TfrmWelcome::showEvent(QShowEvent *event)
{
    const QString title = QString::fromLatin1(AppState::ApplicationTitle);
    setWindowTitle(TranslatedCaption(QStringLiteral("Welcome!")));
    m_lbText->setText(FillPercentS(Translate(QStringLiteral("Welcome to %s, free backup software for Windows.")), {title}) +
                      QLatin1Char('\n') + Translate(QStringLiteral("Please choose below what you want to do now:")));
    m_btNewJob->setText(Translate(QStringLiteral("Create new backup job in the wizard")));
    m_btRestore->setText(Translate(QStringLiteral("Restore your data from the storage")));
    m_btUserGuide->setText(Translate(QStringLiteral("Learn the Online User Guide")));
    m_chDontShowAgain->setText(Translate(QStringLiteral("Do not show this dialog again")));
    m_btClose->setText(Translate(QStringLiteral("Close")));
    m_focusTimer.start();
    QDialog::showEvent(event);
}

void TfrmWelcome::focusTick()
{
    if (!isVisible()) {
        m_focusTimer.stop();
        return;
    }
    if (!isActiveWindow()) {
        m_focusTimer.stop();
        raise();
        activateWindow();
    }
}

void TfrmWelcome::done(int result)
{
    m_focusTimer.stop();
    if (m_chDontShowAgain->isChecked()) {
        const QString marker = MarkerPath();
        // Not being able to keep the choice only brings the window back next time.
        if (!QFileInfo(marker).isDir() && !QDir().mkpath(marker))
            qWarning("Welcome window: cannot create %s", qPrintable(marker));
    }
    QDialog::done(result);
}
