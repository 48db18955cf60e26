#include "gui/tools/passwordset.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

void MakePasswordEdit(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    // The mask character is '*' whatever the style would choose.
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

TfrmPassword::TfrmPassword(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmPassword"));
    m_lbPassword = new QLabel(this);
    m_lbConfirm = new QLabel(this);
    m_edPassword = new QLineEdit(this);
    m_edPassword->setObjectName(QStringLiteral("edPassword"));
    m_edConfirm = new QLineEdit(this);
    m_edConfirm->setObjectName(QStringLiteral("edConfirmPassword"));
    MakePasswordEdit(m_edPassword);
    MakePasswordEdit(m_edConfirm);
    m_edPassword->setMinimumWidth(240);
    m_lbPassword->setBuddy(m_edPassword);
    m_lbConfirm->setBuddy(m_edConfirm);
    m_chShow = new QCheckBox(this);
    m_chShow->setObjectName(QStringLiteral("chShowPassword"));

    auto *buttons = new QDialogButtonBox(this);
    m_btOK = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btOK->setAutoDefault(true);
    m_btCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    m_btCancel->setAutoDefault(false);
    // OK checks the fields first; the button box's accepted signal would close at once.
    connect(m_btOK, &QPushButton::clicked, this, &TfrmPassword::tryAccept);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_chShow, &QCheckBox::toggled, this, &TfrmPassword::updateMask);

    auto *form = new QFormLayout;
    form->addRow(m_lbPassword, m_edPassword);
    form->addRow(m_lbConfirm, m_edConfirm);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_chShow);
    layout->addWidget(buttons);
}

void TfrmPassword::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Set Password")));
    m_lbPassword->setText(Translate(QStringLiteral("Password:")));
    m_lbConfirm->setText(Translate(QStringLiteral("Confirm password")));
    m_chShow->setText(Translate(QStringLiteral("Show password")));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    m_edPassword->setFocus();
    QDialog::showEvent(event);
}

void TfrmPassword::updateMask()
{
    const auto mode = m_chShow->isChecked() ? QLineEdit::Normal : QLineEdit::Password;
    m_edPassword->setEchoMode(mode);
    m_edConfirm->setEchoMode(mode);
}

void TfrmPassword::tryAccept()
{
    if (m_edPassword->text().trimmed() != m_edConfirm->text().trimmed()) {
        ShowMessageDialog(Translate(QStringLiteral("Passwords do not match.")), mtError, mbOK, 0, this);
        return;
    }
    accept();
}

bool TfrmPassword::ChangePassword(QString &password, QWidget *parent)
{
    TfrmPassword dialog(parent ? parent : QApplication::activeWindow());
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    password = dialog.m_edPassword->text().trimmed();
    return true;
}

QString TfrmPassword::StatusText(const QString &password)
{
    return password.isEmpty() ? Translate(QStringLiteral("Password is not set"))
                              : Translate(QStringLiteral("Password is set"));
}
