#pragma once
// Answers the program's modal windows in tests, one scripted step per window,
// in the order they open. Install one on the stack; it removes itself (and
// restores the previous hook) when it goes out of scope.
//
//     ModalScript script;
//     script.Answer(mrYes)                        // a message box: press Yes
//           .EnterText(QStringLiteral("Docs"))    // a query box: type, OK
//           .Then([](QDialog &d) { ...; return int(QDialog::Accepted); });
//     window.someAction();
//     EXPECT_EQ(script.Pending(), 0);
//     EXPECT_EQ(script.Seen()[0].Text, ...);
//
// A window that opens when no step is left is closed with result 0 and
// counted in Unexpected(). Every window is recorded in Seen() before its step
// runs, so the caption and text read are the ones the user would see.
#include "gui/common/modalrun.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

class QAbstractButton;
class QDialog;

class ModalScript {
public:
    struct Window {
        QString ClassName;  // e.g. "QMessageBox", "TfrmPassword"
        QString ObjectName; // "MessageDialog" for ShowMessageDialog
        QString Caption;
        QString Text;          // a message box's text
        QStringList Buttons;   // the visible buttons' texts (without '&')
    };

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    // A step of its own.
    ModalScript &Then(ModalHook step);
    // A message box: answer with this modal result (mrOk, mrYes, ...), pressing
    // the matching button.
    ModalScript &Answer(int modalResult);
    // A query box: replace the text and press OK.
    ModalScript &EnterText(const QString &text);
    // Press Cancel (or close the window with result 0).
    ModalScript &Cancel();

    int Pending() const { return static_cast<int>(m_steps.size()); }
    int Unexpected() const { return m_unexpected; }
    const QList<Window> &Seen() const { return m_seen; }
    // The texts of the message boxes seen, in order.
    QStringList Messages() const;

    // Helpers for steps.
    static Window Describe(QDialog &dialog);
    // Clicks the visible button whose text (without '&') or object name is
    // `textOrName`; false when there is none.
    static bool Press(QDialog &dialog, const QString &textOrName);

private:
    int run(QDialog &dialog);

    std::deque<ModalHook> m_steps;
    QList<Window> m_seen;
    int m_unexpected = 0;
    ModalHook m_previous;
};
