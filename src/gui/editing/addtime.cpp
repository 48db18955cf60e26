#include "gui/editing/addtime.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimeEdit>

TfrmAddTime::TfrmAddTime(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddTime"));
    m_picker = new QTimeEdit(QTime(0, 0, 0), this);
    m_picker->setObjectName(QStringLiteral("DateTimePicker1"));
    m_picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_btOK = new QPushButton(this);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    connect(m_btOK, &QPushButton::clicked, this, [this] { done(1); });
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picker);
    layout->addWidget(m_btOK);
}

QTime TfrmAddTime::Time() const
{
    return m_picker->time();
}

void TfrmAddTime::SetTime(const QTime &time)
{
    m_picker->setTime(time);
}

void TfrmAddTime::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Add...")));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    QDialog::showEvent(event);
}
