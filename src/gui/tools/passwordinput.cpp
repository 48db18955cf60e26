#include "gui/tools/passwordinput.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/tools/passwordset.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmEnterPassword::TfrmEnterPassword(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmEnterPassword"));
    m_lbPassword = new QLabel(this);
    m_edPassword = new QLineEdit(this);
    m_edPassword->setObjectName(QStringLiteral("edPassword"));
    m_edPassword->setMinimumWidth(240);
    MakePasswordEdit(m_edPassword);
    m_lbPassword->setBuddy(m_edPassword);
    m_chShow = new QCheckBox(this);
    m_chShow->setObjectName(QStringLiteral("chShowPassword"));

    auto *buttons = new QDialogButtonBox(this);
    m_btOK = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    m_btCancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_chShow, &QCheckBox::toggled, this, [this](bool show) {
        m_edPassword->setEchoMode(show ? QLineEdit::Normal : QLineEdit::Password);
    });

    auto *row = new QHBoxLayout;
    row->addWidget(m_lbPassword);
    row->addWidget(m_edPassword, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_chShow);
    layout->addWidget(buttons);
}

QString TfrmEnterPassword::Password() const
{
    return m_edPassword->text();
}

void TfrmEnterPassword::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Enter Password")));
    m_lbPassword->setText(Translate(QStringLiteral("Password:")));
    m_chShow->setText(Translate(QStringLiteral("Show password")));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    // A window restored by the window system keeps what was typed.
    if (!event->spontaneous()) {
        m_edPassword->clear();
        m_chShow->setChecked(false);
        m_edPassword->setEchoMode(QLineEdit::Password);
        m_edPassword->setFocus();
    }
    QDialog::showEvent(event);
}

namespace {
bool g_promptShowing = false;
} // namespace

bool IsProgramPasswordPromptShowing()
{
    return g_promptShowing;
}

bool CheckProgramPassword(QWidget *parent)
{
    const TGeneralOptions &general = Options().General;
    if (!general.ProtectConfigurationbyPassword)
        return true;
    if (g_promptShowing)
        return false;

    TfrmEnterPassword dialog(parent ? parent : QApplication::activeWindow());
    g_promptShowing = true;
    const int result = ExecModal(dialog);
    g_promptShowing = false;
    if (result != QDialog::Accepted)
        return false;
    if (dialog.Password().trimmed() != Options().General.strProtectConfiguration_Password) {
        ShowMessageDialog(Translate(QStringLiteral("Invalid password")), mtError, mbOK, 0, parent);
        return false;
    }
    return true;
}
