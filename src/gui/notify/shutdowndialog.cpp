#include "gui/notify/shutdowndialog.h"

#include "app/applicationcore.h"
#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "jobs/jobtext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

ShutdownActions ShutdownActionsFor(ApplicationCore &core)
{
    ShutdownActions actions;
    actions.TurnComputerOff = [&core] { return core.TurnComputerOff(); };
    actions.CancelShutdown = [&core] { core.CancelShutdown(); };
    return actions;
}

TfrmPCshutdownDialog::TfrmPCshutdownDialog(ShutdownActions actions, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("TfrmPCshutdownDialog"));
    m_imWarning = new QLabel(this);
    m_imWarning->setObjectName(QStringLiteral("imWarning"));
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_imWarning->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    m_lbMessage = new QLabel(this);
    m_lbMessage->setObjectName(QStringLiteral("lbMessage"));
    m_lbMessage->setWordWrap(true);
    m_lbMessage->setMinimumWidth(360);
    m_btShutdown = new QPushButton(this);
    m_btShutdown->setObjectName(QStringLiteral("btShutdown"));
    m_btCancel = new QPushButton(this);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    m_btCancel->setDefault(true);
    connect(m_btShutdown, &QPushButton::clicked, this, &TfrmPCshutdownDialog::ShutdownNow);
    connect(m_btCancel, &QPushButton::clicked, this, &TfrmPCshutdownDialog::CancelShutdown);

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TfrmPCshutdownDialog::Tick);

    auto *top = new QHBoxLayout;
    top->addWidget(m_imWarning, 0, Qt::AlignTop);
    top->addWidget(m_lbMessage, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btShutdown);
    buttons->addWidget(m_btCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

QString TfrmPCshutdownDialog::MessageFor(int seconds)
{
    return FillPercentS(Translate(QStringLiteral("All backup tasks are done. According to the program settings, the "
                                                 "computer will be turned off after %s seconds.")),
                        {QString::number(seconds)});
}

void TfrmPCshutdownDialog::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Warning!")));
    m_btShutdown->setText(Translate(QStringLiteral("Shutdown")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    // A window restored by the window system (after being minimized) goes on
    // counting; only the program's own show starts a new minute.
    if (!event->spontaneous() || !m_counting) {
        m_remainingSeconds = CountdownSeconds;
        m_counting = true;
        m_timer.start();
    }
    // Until the first second has passed the message shows the full minute.
    m_lbMessage->setText(MessageFor(m_remainingSeconds));
    QDialog::showEvent(event);
}

void TfrmPCshutdownDialog::Tick()
{
    // A tick that was already queued when the window closed does nothing.
    if (!m_counting)
        return;
    if (m_remainingSeconds > 0) {
        --m_remainingSeconds;
        m_lbMessage->setText(MessageFor(m_remainingSeconds));
        // On top of every window, without moving or resizing it.
        raise();
        return;
    }
    m_timer.stop();
    m_counting = false;
    const bool off = m_actions.TurnComputerOff && m_actions.TurnComputerOff();
    if (off) {
        // The system ends the program now.
        QDialog::done(QDialog::Accepted);
        return;
    }
    // Refused: as if the user had cancelled, silently.
    CancelShutdown();
}

void TfrmPCshutdownDialog::ShutdownNow()
{
    m_remainingSeconds = 0;
}

void TfrmPCshutdownDialog::CancelShutdown()
{
    m_timer.stop();
    m_counting = false;
    if (m_actions.CancelShutdown)
        m_actions.CancelShutdown();
    QDialog::done(QDialog::Rejected);
}

void TfrmPCshutdownDialog::done(int result)
{
    m_timer.stop();
    m_counting = false;
    // Closing the window by Escape or its close button is Cancel.
    if (result == QDialog::Rejected && isVisible()) {
        CancelShutdown();
        return;
    }
    QDialog::done(result);
}
