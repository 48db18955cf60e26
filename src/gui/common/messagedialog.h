#pragma once
// The program's message box and one-line query box.
//
// Texts: ShowMessageDialog shows `text` as it stands, because callers insert
// values into translated format strings; its caption ("Warning", "Error",
// "Information", "Confirm" by type) and its buttons ("OK", "Cancel", "Yes",
// "No") are translated here. ShowQueryInput takes English caption and prompt
// and translates them itself.
//
// Both run through ExecModal (modalrun.h): tests answer them with a
// ModalScript (modalscript.h), e.g.
//     ModalScript script;
//     script.Answer(mrYes);                     // the next message box
//     script.EnterText(QStringLiteral("Docs")); // the next query box
#include <QString>

class QWidget;

// The kinds of message box; the values are the program's (0 to 3).
enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

// A set of buttons: any combination of these bits.
enum TMsgDlgBtn : unsigned { mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8 };
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;

// The modal result of a message box: the button that closed it.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// The result tags of the program's windows.
enum TWindowResult { wrCancelled = 0, wrAccepted = 1, wrSaveAndRun = 2 };

// Shows the modal message box and returns the button pressed. Closing the box
// without a button (Escape, the window's close button) answers Cancel when
// there is one, else No, else OK. `helpContext` is kept for callers that pass
// one; the program has no context help pages. Without a parent the active
// window is the parent.
int ShowMessageDialog(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0,
                      QWidget *parent = nullptr);

// The two forms the program uses most.
inline void ShowErrorDialog(const QString &text, QWidget *parent = nullptr)
{
    ShowMessageDialog(text, mtError, mbOK, 0, parent);
}
inline bool ShowConfirmation(const QString &text, QWidget *parent = nullptr)
{
    return ShowMessageDialog(text, mtConfirmation, mbYesNo, 0, parent) == mrYes;
}

// The translated caption of a message box type ("Warning", "Error",
// "Information", "Confirm").
QString MessageDialogCaption(TMsgDlgType type);

// The modal one-line query: caption (a blank and the translated caption),
// the translated prompt, an edit field holding `text`, OK and Cancel. OK or
// Enter confirms and hands the field's text back in `text`; otherwise `text`
// is unchanged and the result is false.
bool ShowQueryInput(const QString &caption, const QString &prompt, QString &text, QWidget *parent = nullptr);

// A window caption: a blank followed by the translated title.
QString TranslatedCaption(const QString &englishTitle);
