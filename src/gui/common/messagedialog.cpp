#include "gui/common/messagedialog.h"

#include "options/options.h"
#include "gui/common/modalrun.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

QString TranslatedCaption(const QString &englishTitle)
{
    return QLatin1Char(' ') + Translate(englishTitle);
}

QString MessageDialogCaption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return Translate(QStringLiteral("Warning"));
    case mtError: return Translate(QStringLiteral("Error"));
    case mtInformation: return Translate(QStringLiteral("Information"));
    case mtConfirmation: return Translate(QStringLiteral("Confirm"));
    }
    return QString();
}

namespace {
QMessageBox::Icon iconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct ButtonInfo {
    TMsgDlgBtn bit;
    const char *text;
    QMessageBox::ButtonRole role;
    TModalResult result;
    const char *objectName;
};

// In the order the program lists them.
constexpr ButtonInfo kButtons[] = {
    {mbYes, "Yes", QMessageBox::YesRole, mrYes, "btYes"},
    {mbNo, "No", QMessageBox::NoRole, mrNo, "btNo"},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk, "btOK"},
    {mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel, "btCancel"},
};

QString buttonText(TMsgDlgBtn bit)
{
    switch (bit) {
    case mbYes: return Translate(QStringLiteral("Yes"));
    case mbNo: return Translate(QStringLiteral("No"));
    case mbOK: return Translate(QStringLiteral("OK"));
    case mbCancel: return Translate(QStringLiteral("Cancel"));
    }
    return QString();
}
} // namespace

int ShowMessageDialog(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext, QWidget *parent)
{
    Q_UNUSED(helpContext);
    if (!(buttons & (mbYes | mbNo | mbOK | mbCancel)))
        buttons = mbOK; // a box without a button could not be closed
    if (!parent)
        parent = QApplication::activeWindow();

    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("MessageDialog"));
    box.setWindowTitle(MessageDialogCaption(type));
    box.setIcon(iconOf(type));
    box.setTextFormat(Qt::PlainText); // paths and names may hold '<' or '&'
    box.setText(text);

    QPushButton *escape = nullptr;
    QPushButton *fallback = nullptr;
    bool defaultSet = false;
    QList<std::pair<QAbstractButton *, TModalResult>> results;
    for (const ButtonInfo &info : kButtons) {
        if (!(buttons & info.bit))
            continue;
        QPushButton *b = box.addButton(buttonText(info.bit), info.role);
        b->setObjectName(QLatin1String(info.objectName));
        results.append({b, info.result});
        if (!defaultSet) {
            box.setDefaultButton(b);
            defaultSet = true;
        }
        if (info.bit == mbCancel)
            escape = b;
        else if (info.bit == mbNo && !escape)
            escape = b;
        if (info.bit == mbOK)
            fallback = b;
    }
    if (!escape)
        escape = fallback;
    box.setEscapeButton(escape);

    const int answer = ExecModal(box);
    if (QAbstractButton *clicked = box.clickedButton()) {
        for (const auto &[button, result] : results) {
            if (button == clicked)
                return result;
        }
    }
    // Closed without a button: a test hook's answer when the box has that
    // button, else the escape button's.
    for (const auto &[button, result] : results) {
        if (HasModalHook() && result == answer)
            return result;
    }
    for (const auto &[button, result] : results) {
        if (button == escape)
            return result;
    }
    return mrCancel;
}
