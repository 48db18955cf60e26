#include "gui/editing/logviewer.h"

#include "options/options.h"
#include "base/errors.h"
#include "base/runlog.h"
#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/editing/busycursor.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {
QPushButton *makeButton(QWidget *parent, const char *name)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

TfrmLog::TfrmLog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLog"));
    resize(820, 560);

    m_memLog = new QPlainTextEdit(this);
    m_memLog->setObjectName(QStringLiteral("memLog"));
    m_memLog->setReadOnly(true);
    m_memLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memLog->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_memLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_pnErrorsWarnings = new QWidget(this);
    m_pnErrorsWarnings->setObjectName(QStringLiteral("pnErrorsWarnings"));
    m_lbErrors = new QLabel(m_pnErrorsWarnings);
    m_lbErrors->setObjectName(QStringLiteral("lbErrors"));
    m_lbWarnings = new QLabel(m_pnErrorsWarnings);
    m_lbWarnings->setObjectName(QStringLiteral("lbWarnings"));
    m_btPreviousError = makeButton(m_pnErrorsWarnings, "btPreviousError");
    m_btNextError = makeButton(m_pnErrorsWarnings, "btNextError");
    m_btPreviousWarning = makeButton(m_pnErrorsWarnings, "btPreviousWarning");
    m_btNextWarning = makeButton(m_pnErrorsWarnings, "btNextWarning");
    auto *panel = new QHBoxLayout(m_pnErrorsWarnings);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(m_lbErrors);
    panel->addWidget(m_btPreviousError);
    panel->addWidget(m_btNextError);
    panel->addSpacing(24);
    panel->addWidget(m_lbWarnings);
    panel->addWidget(m_btPreviousWarning);
    panel->addWidget(m_btNextWarning);
    panel->addStretch(1);

    m_btFind = makeButton(this, "btFind");
    m_btFind->setVisible(false); // searching is not offered
    m_btFont = makeButton(this, "btFont");
    m_btSaveAs = makeButton(this, "btSaveAs");
    m_btClose = makeButton(this, "btClose");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_pnErrorsWarnings, 1);
    buttons->addWidget(m_btFind);
    buttons->addWidget(m_btFont);
    buttons->addWidget(m_btSaveAs);
    buttons->addWidget(m_btClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_memLog, 1);
    layout->addLayout(buttons);

    connect(m_btNextError, &QPushButton::clicked, this, &TfrmLog::NextError);
    connect(m_btPreviousError, &QPushButton::clicked, this, &TfrmLog::PreviousError);
    connect(m_btNextWarning, &QPushButton::clicked, this, &TfrmLog::NextWarning);
    connect(m_btPreviousWarning, &QPushButton::clicked, this, &TfrmLog::PreviousWarning);
    connect(m_btFont, &QPushButton::clicked, this, &TfrmLog::ChooseFont);
    connect(m_btSaveAs, &QPushButton::clicked, this, &TfrmLog::SaveCopy);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::accept);
    translateTexts();
}

bool TfrmLog::LoadReport(const QString &path, bool ShowErrorsWarningsControls, QString *error)
{
    BusyCursor busy;
    QStringList lines;
    try {
        lines = ReadTextLines(path);
    } catch (const QvError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    // A log written before file names were escaped may still hold their
    // control characters raw.
    for (QString &line : lines)
        line = VisibleText(line);
    m_lines = lines;
    m_logFileName = QFileInfo(path).fileName();
    m_showControls = ShowErrorsWarningsControls;
    m_markers = LogMarkers::Current();
    m_counts = CountLogLines(m_lines, m_markers);
    m_memLog->setPlainText(m_lines.join(QLatin1Char('\n')));
    QTextCursor start(m_memLog->document());
    start.movePosition(QTextCursor::Start);
    m_memLog->setTextCursor(start);
    translateTexts();
    return true;
}

void TfrmLog::OpenReport(const QString &path, bool ShowErrorsWarningsControls)
{
    QString error;
    if (!LoadReport(path, ShowErrorsWarningsControls, &error)) {
        ShowErrorDialog(error, parentWidget());
        return;
    }
    ExecModal(*this);
}

void TfrmLog::showEvent(QShowEvent *event)
{
    translateTexts();
    QDialog::showEvent(event);
}

void TfrmLog::translateTexts()
{
    m_lbErrors->setText(Translate(QStringLiteral("Errors")) + QStringLiteral(": ") + QString::number(m_counts.errors));
    m_lbWarnings->setText(Translate(QStringLiteral("Warnings")) + QStringLiteral(": ")
                          + QString::number(m_counts.warnings));
    m_btNextError->setEnabled(m_counts.errors > 0);
    m_btPreviousError->setEnabled(m_counts.errors > 0);
    m_btNextWarning->setEnabled(m_counts.warnings > 0);
    m_btPreviousWarning->setEnabled(m_counts.warnings > 0);
    m_btNextError->setText(Translate(QStringLiteral("Next")));
    m_btPreviousError->setText(Translate(QStringLiteral("Previous")));
    m_btNextWarning->setText(Translate(QStringLiteral("Next")));
    m_btPreviousWarning->setText(Translate(QStringLiteral("Previous")));
    m_btFind->setText(Translate(QStringLiteral("Find...")));
    m_btFont->setText(Translate(QStringLiteral("Font...")));
    m_btSaveAs->setText(Translate(QStringLiteral("Save As...")));
    m_btClose->setText(Translate(QStringLiteral("Close")));

    // The caption: the file name without its extension; a run log's name
    // carries the time with ";" for ":".
    QString name = m_logFileName;
    name.chop(qMin<qsizetype>(4, name.size()));
    if (m_showControls) {
        name.replace(QLatin1Char(';'), QLatin1Char(':'));
        setWindowTitle(QLatin1Char(' ') + Translate(QStringLiteral("Log")) + QStringLiteral(": ") + name);
    } else {
        setWindowTitle(QLatin1Char(' ') + Translate(QStringLiteral("History")));
    }
    m_pnErrorsWarnings->setVisible(m_showControls);
}

int TfrmLog::CurrentLine() const
{
    return m_memLog->textCursor().blockNumber();
}

QString TfrmLog::SelectedText() const
{
    return m_memLog->textCursor().selectedText();
}

void TfrmLog::selectLine(int line)
{
    const QTextBlock block = m_memLog->document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor c(block);
    c.movePosition(QTextCursor::StartOfBlock);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_memLog->setTextCursor(c);
    m_memLog->ensureCursorVisible();
}

void TfrmLog::jump(LogLineKind kind, bool forward)
{
    BusyCursor busy;
    const int current = CurrentLine();
    const int found = forward ? FindNextLogLine(m_lines, current, kind, m_markers)
                              : FindPreviousLogLine(m_lines, current, kind, m_markers);
    if (found >= 0)
        selectLine(found);
}

void TfrmLog::ChooseFont()
{
    QFontDialog dialog(m_memLog->font(), this);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (ExecModal(dialog) == QDialog::Accepted)
        m_memLog->setFont(dialog.selectedFont());
}

void TfrmLog::SaveCopy()
{
    QFileDialog dialog(this, Translate(QStringLiteral("Save As...")));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Translate(QStringLiteral("Text Files (*.txt)")));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(m_logFileName);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString target = dialog.selectedFiles().constFirst();
    QString error;
    if (!WriteTextLines(target, m_memLog->toPlainText().split(QLatin1Char('\n')), &error))
        ShowErrorDialog(error, this);
}
