#pragma once
// The log viewer: one run log or a job's backup history, read-only, with
// the counts of its error and warning lines and buttons that step through
// them, a font choice and "Save As...". The font and save dialogs run
// through ExecModal, so tests answer them like any other modal window.
#include "gui/editing/logscan.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

class TfrmLog : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLog(QWidget *parent = nullptr);

    // Loads `path` and shows it modally. A file that cannot be read is
    // reported in an error box instead.
    void OpenReport(const QString &path, bool ShowErrorsWarningsControls);
    // The loading half of OpenReport: false with `error` when the file
    // cannot be read.
    bool LoadReport(const QString &path, bool ShowErrorsWarningsControls, QString *error);

    QString LogFileName() const { return m_logFileName; }
    LogLineCounts Counts() const { return m_counts; }
    // The line holding the caret (0-based).
    int CurrentLine() const;
    // The selected text (a whole line after a jump).
    QString SelectedText() const;

    void NextError() { jump(LogLineKind::Error, true); }
    void NextWarning() { jump(LogLineKind::Warning, true); }
    void PreviousError() { jump(LogLineKind::Error, false); }
    void PreviousWarning() { jump(LogLineKind::Warning, false); }
    void ChooseFont();
    void SaveCopy();

    QPlainTextEdit *memLog() const { return m_memLog; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void jump(LogLineKind kind, bool forward);
    void translateTexts();
    void selectLine(int line);

    QString m_logFileName;
    QStringList m_lines;
    LogMarkers m_markers;
    LogLineCounts m_counts;
    bool m_showControls = true;

    QPlainTextEdit *m_memLog;
    QWidget *m_pnErrorsWarnings;
    QLabel *m_lbErrors;
    QLabel *m_lbWarnings;
    QPushButton *m_btNextError;
    QPushButton *m_btPreviousError;
    QPushButton *m_btNextWarning;
    QPushButton *m_btPreviousWarning;
    QPushButton *m_btFind;
    QPushButton *m_btFont;
    QPushButton *m_btSaveAs;
    QPushButton *m_btClose;
};
