#pragma once
// The About window: the application title, the version of this build, a
// legal notice with the current year, and Close. Filled when shown.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // "Version: 1.0.0 (Build 0)": the translated format with the version of
    // the build (the project version; the build number is QV_VERSION_BUILD
    // when the build defines it, else 0).
    static QString VersionText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_lbTitle;
    QLabel *m_lbVersion;
    QLabel *m_lbLegal;
    QLabel *m_lbCopyright;
    QPushButton *m_btClose;
};
