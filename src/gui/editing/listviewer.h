#pragma once
// The list viewer: the wizard's source items one per line (folders without
// their "/*"), read-only, with "OK".
#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfrmListViewer : public QDialog {
    Q_OBJECT
public:
    TfrmListViewer(const QStringList &items, QWidget *parent = nullptr);
    QString ListText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_label;
    QPlainTextEdit *m_text;
    QPushButton *m_btOK;
};

void ShowSourceList(const QStringList &items, QWidget *parent = nullptr);
