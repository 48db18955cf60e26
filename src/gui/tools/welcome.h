#pragma once
// The welcome window: offered to a new user at the end of start-up when the
// jobs list is empty and the welcome marker does not exist. Three ways to
// begin, each closing the window and then asking the main window for its
// action through a signal; "Do not show this dialog again" creates the
// marker whenever the window closes.
#include <QDialog>
#include <QTimer>

class QCheckBox;
class QLabel;
class QPushButton;

class TfrmWelcome : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWelcome(QWidget *parent = nullptr);

    // The marker folder DataFolder + "/~dsdd"; while it exists the window is
    // not offered again. The program never removes it.
    static QString MarkerPath();
    // Whether start-up shows the window: no jobs and no marker.
    static bool ShouldShow(bool jobsListEmpty);

    QCheckBox *chDontShowAgain() const { return m_chDontShowAgain; }
    QPushButton *btNewJob() const { return m_btNewJob; }
    QPushButton *btRestore() const { return m_btRestore; }
    QPushButton *btUserGuide() const { return m_btUserGuide; }
    QPushButton *btClose() const { return m_btClose; }

public Q_SLOTS:
    // Every way of closing ends here (buttons, Escape, the close button).
    void done(int result) override;

Q_SIGNALS:
    // "Create new backup job in the wizard": the main window's New Job action.
    void NewJobRequested();
    // "Restore your data from the storage": the Open action.
    void OpenRequested();
    // "Learn the Online User Guide": the User Guide action.
    void UserGuideRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void focusTick();

    QLabel *m_lbText;
    QPushButton *m_btNewJob;
    QPushButton *m_btRestore;
    QPushButton *m_btUserGuide;
    QCheckBox *m_chDontShowAgain;
    QPushButton *m_btClose;
    // Brings the window in front of the main window once after it appears.
    QTimer m_focusTimer;
};
