#pragma once
// The session of the screenshot tool (tests/screenshots, run by
// scripts/screenshots.sh) in the windowed program: once a job is busy
// copying, the main window is saved as a PNG in card view and in table
// view, then each page of the options window, the welcome window, the log
// viewer and the restore-point window of an idle job; then the program
// quits the way Quit does. Each file is named after the window it shows.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class TfrmMainQuorvane;
class QWidget;

class ScreenshotSession : public QObject {
    Q_OBJECT
public:
    // The switch "--screenshots=DIR": removed from `arguments`; its folder,
    // or empty when the switch is not there.
    static QString TakeSwitch(QStringList &arguments);

    ScreenshotSession(TfrmMainQuorvane &window, const QString &folder, QObject *parent = nullptr);
    void Start();

    // Saves `widget` as `<folder>/<name>.png`; false (and a message on the
    // standard error) on failure.
    bool Save(QWidget &widget, const QString &name);
    const QStringList &Saved() const { return m_saved; }

Q_SIGNALS:
    void Finished(bool ok);

private:
    void poll();
    void takeAll();

    TfrmMainQuorvane &m_window;
    QString m_folder;
    QTimer m_poll;
    int m_waitedMs = 0;
    bool m_ok = true;
    QStringList m_saved;
};
