#include "gui/editing/listviewer.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/editing/wizardchecks.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmListViewer::TfrmListViewer(const QStringList &items, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmListViewer"));
    resize(560, 360);
    m_label = new QLabel(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("memList"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (const QString &item : items)
        lines.append(SourceItemPath(item));
    m_text->setPlainText(lines.join(QLatin1Char('\n')));
    m_btOK = new QPushButton(this);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    connect(m_btOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_btOK, 0, Qt::AlignRight);
}

QString TfrmListViewer::ListText() const
{
    return m_text->toPlainText();
}

void TfrmListViewer::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("View as list")));
    m_label->setText(Translate(QStringLiteral("View as list")) + QLatin1Char(':'));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    QDialog::showEvent(event);
}

void ShowSourceList(const QStringList &items, QWidget *parent)
{
    TfrmListViewer viewer(items, parent);
    ExecModal(viewer);
}
