#include "gui/common/queryinput.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmQueryInput::TfrmQueryInput(const QString &caption, const QString &prompt, const QString &text, QWidget *parent)
    : QDialog(parent), m_caption(caption), m_prompt(prompt)
{
    setObjectName(QStringLiteral("TfrmQueryInput"));
    m_lbPrompt = new QLabel(this);
    m_lbPrompt->setObjectName(QStringLiteral("lbPrompt"));
    m_edText = new QLineEdit(text, this);
    m_edText->setObjectName(QStringLiteral("edText"));
    m_edText->setMinimumWidth(320);
    m_lbPrompt->setBuddy(m_edText);

    auto *buttons = new QDialogButtonBox(this);
    m_btOK = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_edText, &QLineEdit::returnPressed, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbPrompt);
    layout->addWidget(m_edText);
    layout->addWidget(buttons);
}

QString TfrmQueryInput::Text() const
{
    return m_edText->text();
}

void TfrmQueryInput::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(m_caption));
    m_lbPrompt->setText(Translate(m_prompt));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    m_edText->selectAll();
    m_edText->setFocus();
    QDialog::showEvent(event);
}

bool ShowQueryInput(const QString &caption, const QString &prompt, QString &text, QWidget *parent)
{
    TfrmQueryInput dialog(caption, prompt, text, parent ? parent : QApplication::activeWindow());
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    text = dialog.Text();
    return true;
}
