#include "gui/editing/restorelist.h"

#include "options/options.h"
#include "gui/common/messagedialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TfrmRestoreList::TfrmRestoreList(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRestoreList"));
    resize(460, 380);
    m_lbPrompt = new QLabel(this);
    m_lbPrompt->setObjectName(QStringLiteral("lbPrompt"));
    m_stack = new QStackedWidget(this);
    m_list = new QListWidget(m_stack);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pnLoading = new QLabel(m_stack);
    m_pnLoading->setObjectName(QStringLiteral("pnLoading"));
    m_pnLoading->setAlignment(Qt::AlignCenter);
    m_pnLoading->setFrameShape(QFrame::StyledPanel);
    m_pnLoading->setAutoFillBackground(true);
    m_stack->addWidget(m_list);
    m_stack->addWidget(m_pnLoading);

    m_btOK = new QPushButton(this);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btCancel = new QPushButton(this);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btOK);
    buttons->addWidget(m_btCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbPrompt);
    layout->addWidget(m_stack, 1);
    layout->addLayout(buttons);

    connect(m_btOK, &QPushButton::clicked, this, [this] {
        if (SelectedIndex() >= 0)
            done(1);
    });
    connect(m_btCancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_list, &QListWidget::itemSelectionChanged, this, &TfrmRestoreList::updateOk);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (SelectedIndex() >= 0)
            done(1);
    });
    updateOk();
}

TfrmRestoreList::~TfrmRestoreList()
{
    endLoading();
}

void TfrmRestoreList::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Restore")));
    m_lbPrompt->setText(Translate(QStringLiteral("Please choose a restore point:")));
    m_pnLoading->setText(Translate(QStringLiteral("Loading the list of backups...")));
    m_btOK->setText(Translate(QStringLiteral("OK")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    QDialog::showEvent(event);
}

void TfrmRestoreList::hideEvent(QHideEvent *event)
{
    endLoading();
    QDialog::hideEvent(event);
}

void TfrmRestoreList::ShowLoading()
{
    m_list->clear();
    m_stack->setCurrentWidget(m_pnLoading);
    updateOk();
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
    setModal(false);
    show();
    raise();
    repaint();
    // Paint the panel now: the main thread is blocked while the list is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TfrmRestoreList::IsLoading() const
{
    return m_stack->currentWidget() == m_pnLoading;
}

void TfrmRestoreList::endLoading()
{
    m_stack->setCurrentWidget(m_list);
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
}

void TfrmRestoreList::SetPoints(const QStringList &names)
{
    m_list->clear();
    m_list->addItems(names);
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    updateOk();
}

int TfrmRestoreList::SelectedIndex() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.constFirst());
}

void TfrmRestoreList::updateOk()
{
    m_btOK->setEnabled(!IsLoading() && SelectedIndex() >= 0);
}
