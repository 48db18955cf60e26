#pragma once
// The enter-password dialog and the program-password check made with it.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmEnterPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEnterPassword(QWidget *parent = nullptr);

    // The field as typed.
    QString Password() const;

    QLineEdit *edPassword() const { return m_edPassword; }
    QCheckBox *chShowPassword() const { return m_chShow; }

protected:
    // Every show starts with an empty field and the mask on.
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_lbPassword;
    QLineEdit *m_edPassword;
    QCheckBox *m_chShow;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
};

// The program-password check of the start and of showing the hidden main
// window. True at once when ProtectConfigurationbyPassword is off. Otherwise
// it asks with the enter-password dialog: cancelled fails without a message;
// the entered text, with leading and trailing blanks removed, must equal the
// stored password exactly (letter case counts), else the error "Invalid
// password" is shown and the check fails. While the prompt is showing, a
// second call fails at once without asking (the caller does nothing then).
bool CheckProgramPassword(QWidget *parent = nullptr);

// Whether the prompt of CheckProgramPassword is showing.
bool IsProgramPasswordPromptShowing();
