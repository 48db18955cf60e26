#pragma once
// The restore-point window: the run folders of a backup set, oldest first,
// as the user chooses among them. While the list is read from the
// destination the window shows (not modal) with a loading panel over the
// list and the busy cursor; hiding it takes both away again.
#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;

class TfrmRestoreList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRestoreList(QWidget *parent = nullptr);
    ~TfrmRestoreList() override;

    // Shows the window (not modal) with the loading panel, busy cursor on.
    void ShowLoading();
    bool IsLoading() const;
    // Fills the list (display names, oldest first); nothing is selected.
    void SetPoints(const QStringList &names);
    // The selected index, or -1.
    int SelectedIndex() const;

    QListWidget *ListBox1() const { return m_list; }
    QPushButton *btOK() const { return m_btOK; }
    QPushButton *btCancel() const { return m_btCancel; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void endLoading();
    void updateOk();

    QLabel *m_lbPrompt;
    QStackedWidget *m_stack;
    QListWidget *m_list;
    QLabel *m_pnLoading;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
    bool m_busyCursor = false;
};
