#pragma once
// The checks of the options window's OK button, without the window, in their
// order. The first failure is the message the window shows in an error box.
#include <QString>

struct OptionsCheckInput {
    bool ProtectConfigurationbyPassword = false;
    QString ProgramPassword;
    QString PathForTempFiles;
    QString PathForLogFiles;
};

struct OptionsCheckResult {
    bool Ok = false;
    // The translated message of the first failed check (empty when Ok).
    QString Message;
    // The temporary-files path to use: the subfolder "QuorvaneTmp" inside the
    // chosen folder unless the chosen path already names it (in any letter
    // case). Set once check 3 has run, also when a later check fails.
    QString PathForTempFiles;
};

// The name of the temporary-files subfolder: the application title without
// blanks followed by "Tmp".
QString TempSubfolderName();

// Runs the checks in order:
//  1. protection on without a password;
//  2. the temporary-files path is empty or not an existing folder;
//  3. the temporary-files subfolder is created when the path does not name it
//     (and becomes the path), or the error that it cannot be created;
//  4. the log path is empty or not an existing folder;
//  5. the two paths are the same (equal after trimming, or the same folder).
OptionsCheckResult CheckOptionsForOk(const OptionsCheckInput &input);
