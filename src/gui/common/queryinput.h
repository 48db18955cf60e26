#pragma once
// The one-line query dialog behind ShowQueryInput (messagedialog.h): created
// for each use; caption a blank and the translated caption, the translated
// prompt as its label, an edit field, OK and Cancel. Enter in the field is OK.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmQueryInput : public QDialog {
    Q_OBJECT
public:
    TfrmQueryInput(const QString &caption, const QString &prompt, const QString &text, QWidget *parent = nullptr);

    QString Text() const;
    QLineEdit *edText() const { return m_edText; }
    QPushButton *btOK() const { return m_btOK; }
    QPushButton *btCancel() const { return m_btCancel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_caption;
    QString m_prompt;
    QLabel *m_lbPrompt;
    QLineEdit *m_edText;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
};
