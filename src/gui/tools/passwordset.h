#pragma once
// The set-password dialog: two masked fields "Password:" and "Confirm
// password", "Show password", OK and Cancel. It serves every password the
// program keeps (program password, SMTP, proxy, FTP accounts, network shares,
// ZIP archives); each keeps its password in its own settings.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget *parent = nullptr);

    // Shows the dialog modally with both fields empty. When it is accepted,
    // `password` receives the first field with leading and trailing blanks
    // removed (it may become empty); Cancel leaves it unchanged. Returns
    // whether it was accepted.
    static bool ChangePassword(QString &password, QWidget *parent = nullptr);

    // "Password is set" or "Password is not set" (translated) for a password.
    static QString StatusText(const QString &password);

    QLineEdit *edPassword() const { return m_edPassword; }
    QLineEdit *edConfirmPassword() const { return m_edConfirm; }
    QCheckBox *chShowPassword() const { return m_chShow; }
    QPushButton *btOK() const { return m_btOK; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateMask();
    void tryAccept();

    QLabel *m_lbPassword;
    QLabel *m_lbConfirm;
    QLineEdit *m_edPassword;
    QLineEdit *m_edConfirm;
    QCheckBox *m_chShow;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
};

// The password edits of both password dialogs: masked with '*'.
void MakePasswordEdit(QLineEdit *edit);
