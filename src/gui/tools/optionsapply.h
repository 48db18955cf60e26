#pragma once
// What the main window does after the options window was accepted.
#include "gui/tools/optionswindow.h"

class QWidget;

// Applies the changes from `before` to `options` (the record that already
// holds the window's values) and saves it:
//  - RunProgramAtLogon changed: writes or removes the log-on entry; on
//    failure the option gets its old value back and an error box says the
//    autorun option could not be changed;
//  - ProcessPriority changed: applied at once (a failure becomes the event
//    "Unable to set the process priority:" with the reason);
//  - the options file is saved (a failure becomes an event).
// Returns whether the file was saved.
bool ApplyOptionsDialogResult(const TOptions &before, TOptions &options, QWidget *parent = nullptr);

// The main window's Options action on the process-wide record: shows
// `window` on `startPage` and, when it is accepted, copies its values into
// Options() and applies them as above. Returns whether it was accepted.
bool EditOptions(TfrmOptions &window, TfrmOptions::Page startPage = TfrmOptions::pgGeneral,
                 QWidget *parent = nullptr);
