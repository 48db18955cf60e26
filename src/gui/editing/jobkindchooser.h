#pragma once
// The job kind chooser: three large buttons, one per job kind, and "Close".
// A kind button closes the window with the kind's code (1 files and
// folders, 2 drive image, 3 application data); "Close" leaves 0. The prompt
// describes the kind under the mouse.
#include <QDialog>

class QEvent;
class QLabel;
class QPushButton;

class TfrmSourceType : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSourceType(QWidget *parent = nullptr);

    QPushButton *btFilesAndFolders() const { return m_buttons[0]; }
    QPushButton *btDriveImage() const { return m_buttons[1]; }
    QPushButton *btAppsData() const { return m_buttons[2]; }
    QPushButton *btClose() const { return m_btClose; }
    QString PromptText() const;

    // The description the prompt shows while the mouse is over kind `kind` (1..3).
    static QString KindDescription(int kind);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_lbPrompt;
    QPushButton *m_buttons[3];
    QPushButton *m_btClose;
};

// Shows the chooser modally: 0 when closed, else the kind's code.
int ChooseJobKindWindow(QWidget *parent = nullptr);
