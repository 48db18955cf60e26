#pragma once
// What a console program needs from the terminal: whether a stream is one,
// its width, and Ctrl-C (or a termination request) delivered as a signal of
// the event loop instead of ending the process.
#include <QObject>

namespace Terminal {
// True when standard error is a terminal (a progress line can be redrawn).
bool StderrIsTerminal();
// The terminal's width in columns (80 when it cannot be learnt).
int Columns();
} // namespace Terminal

// While an instance exists, SIGINT and SIGTERM no longer end the process:
// each one emits Interrupted on the thread that owns the watcher. Only one
// watcher may exist at a time; the previous handlers come back when it goes.
class InterruptWatcher : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;
    bool IsActive() const { return m_active; }
    int Count() const { return m_count; }

Q_SIGNALS:
    void Interrupted();

private:
    void onReadable();
    bool m_active = false;
    int m_count = 0;
    class QSocketNotifier *m_notifier = nullptr;
};
