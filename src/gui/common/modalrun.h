#pragma once
// Every modal window of the program runs through ExecModal, so that tests can
// answer it without a human.
//
// Test hook: a test installs a handler (SetModalHook, or the ModalScript of
// modalscript.h, which queues one handler per expected window). While a hook
// is installed ExecModal does not start a nested event loop: it shows the
// dialog (so its showEvent translates its texts and sets its controls, as for
// the user), calls the hook with it and returns:
//   - the dialog's own result when the hook closed it (it pressed a button
//     that calls accept(), reject() or done()), or
//   - the value the hook returned, after closing the dialog with done(value).
// The hook may fill fields and press buttons; a window opened by a pressed
// button (an error box of an OK check, say) runs through ExecModal again and
// reaches the hook from inside the first call.
#include <functional>

class QDialog;

using ModalHook = std::function<int(QDialog &dialog)>;

// Installs `hook` (an empty function removes it) and returns the previous one.
ModalHook SetModalHook(ModalHook hook);
bool HasModalHook();

// Runs `dialog` modally (QDialog::exec) and returns its result, or hands it to
// the installed test hook as described above.
int ExecModal(QDialog &dialog);
