// The program's message and query boxes: captions, buttons, answers, and the
// test hook every window test relies on.
#include "dialogtestutil.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/common/queryinput.h"

#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct CaptionCase {
    TMsgDlgType type;
    const char *language;
    const char *caption;
};

TEST(MessageDialog, CaptionFollowsTypeAndLanguage)
{
    const CaptionCase cases[] = {
        {mtWarning, "en", "Warning"},      {mtError, "en", "Error"},
        {mtInformation, "en", "Information"}, {mtConfirmation, "en", "Confirm"},
        {mtWarning, "de", "Warnung"},      {mtError, "fr", "Erreur"},
        {mtConfirmation, "es", "Confirmar"}, {mtConfirmation, "de", "Bestätigen"},
    };
    for (const CaptionCase &c : cases) {
        ScopedLanguage lang(QString::fromLatin1(c.language));
        ModalScript script;
        script.Answer(mrOk);
        ShowMessageDialog(QStringLiteral("text"), c.type, mbOK);
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].Caption, QString::fromUtf8(c.caption)) << c.language << " " << c.type;
    }
}

struct ButtonsCase {
    TMsgDlgButtons buttons;
    const char *language;
    QStringList texts; // sorted
};

TEST(MessageDialog, ShowsExactlyTheRequestedButtonsTranslated)
{
    const ButtonsCase cases[] = {
        {mbOK, "en", {"OK"}},
        {mbYesNo, "en", {"No", "Yes"}},
        {mbOKCancel, "en", {"Cancel", "OK"}},
        {mbYesNoCancel, "de", {"Abbrechen", "Ja", "Nein"}},
        {mbOKCancel, "es", {"Aceptar", "Cancelar"}},
        {mbYesNo, "fr", {"Non", "Oui"}},
    };
    for (const ButtonsCase &c : cases) {
        ScopedLanguage lang(QString::fromLatin1(c.language));
        ModalScript script;
        script.Answer(mrCancel);
        ShowMessageDialog(QStringLiteral("text"), mtConfirmation, c.buttons);
        ASSERT_EQ(script.Seen().size(), 1);
        QStringList shown = script.Seen()[0].Buttons;
        shown.sort();
        EXPECT_EQ(shown, c.texts) << c.language;
    }
}

TEST(MessageDialog, ReturnsThePressedButton)
{
    struct Case {
        TMsgDlgButtons buttons;
        int answer;
        int expected;
    } cases[] = {
        {mbYesNo, mrYes, mrYes},       {mbYesNo, mrNo, mrNo},
        {mbOKCancel, mrOk, mrOk},      {mbOKCancel, mrCancel, mrCancel},
        {mbYesNoCancel, mrCancel, mrCancel},
        // An answer the box has no button for counts as closing it: the
        // escape button's result.
        {mbYesNo, mrOk, mrNo},         {mbOK, mrYes, mrOk},
    };
    for (const Case &c : cases) {
        ModalScript script;
        script.Answer(c.answer);
        EXPECT_EQ(ShowMessageDialog(QStringLiteral("q"), mtConfirmation, c.buttons), c.expected)
            << c.buttons << " " << c.answer;
    }
}

TEST(MessageDialog, ClosingWithoutAButtonAnswersTheEscapeButton)
{
    struct Case {
        TMsgDlgButtons buttons;
        int expected;
    } cases[] = {{mbYesNoCancel, mrCancel}, {mbYesNo, mrNo}, {mbOK, mrOk}, {mbOKCancel, mrCancel}};
    for (const Case &c : cases) {
        ModalScript script;
        script.Then([](QDialog &) { return 0; });
        EXPECT_EQ(ShowMessageDialog(QStringLiteral("q"), mtWarning, c.buttons), c.expected);
    }
}

TEST(MessageDialog, ShowsTheTextAsPlainTextUnchanged)
{
    ScopedLanguage lang(QStringLiteral("de"));
    ModalScript script;
    script.Answer(mrOk);
    // Not translated again, and markup is not interpreted.
    const QString text = QStringLiteral("Cancel <b>C:\\a&b</b>");
    ShowMessageDialog(text, mtError, mbOK);
    ASSERT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Seen()[0].Text, text);
    EXPECT_EQ(script.Messages(), QStringList{text});
}

TEST(MessageDialog, ErrorAndConfirmationShortcuts)
{
    ModalScript script;
    script.Answer(mrOk).Answer(mrYes).Answer(mrNo);
    ShowErrorDialog(QStringLiteral("bad"));
    EXPECT_TRUE(ShowConfirmation(QStringLiteral("sure?")));
    EXPECT_FALSE(ShowConfirmation(QStringLiteral("sure?")));
    ASSERT_EQ(script.Seen().size(), 3);
    EXPECT_EQ(script.Seen()[0].Caption, QStringLiteral("Error"));
    EXPECT_EQ(script.Seen()[0].Buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(script.Seen()[1].Caption, QStringLiteral("Confirm"));
    EXPECT_EQ(script.Pending(), 0);
}

TEST(ModalScript, CountsWindowsWithoutAStep)
{
    ModalScript script;
    EXPECT_EQ(ShowMessageDialog(QStringLiteral("a"), mtError, mbOK), mrOk);
    EXPECT_EQ(script.Unexpected(), 1);
}

TEST(ModalScript, RestoresThePreviousHook)
{
    EXPECT_FALSE(HasModalHook());
    {
        ModalScript outer;
        {
            ModalScript inner;
            inner.Answer(mrYes);
            EXPECT_EQ(ShowMessageDialog(QStringLiteral("a"), mtConfirmation, mbYesNo), mrYes);
        }
        outer.Answer(mrNo);
        EXPECT_EQ(ShowMessageDialog(QStringLiteral("a"), mtConfirmation, mbYesNo), mrNo);
        EXPECT_EQ(outer.Seen().size(), 1);
    }
    EXPECT_FALSE(HasModalHook());
}

TEST(QueryInput, ConfirmedHandsTheTextBack)
{
    ModalScript script;
    script.EnterText(QStringLiteral("Docs"));
    QString text = QStringLiteral("old");
    EXPECT_TRUE(ShowQueryInput(QStringLiteral("New Job"), QStringLiteral("New job name:"), text));
    EXPECT_EQ(text, QStringLiteral("Docs"));
    ASSERT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Seen()[0].ClassName, QStringLiteral("TfrmQueryInput"));
    EXPECT_EQ(script.Seen()[0].Caption, QStringLiteral(" New Job"));
}

TEST(QueryInput, CancelledKeepsTheText)
{
    ModalScript script;
    script.Then([](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("edText"))->setText(QStringLiteral("typed"));
        ModalScript::Press(d, QStringLiteral("btCancel"));
        return 0;
    });
    QString text = QStringLiteral("Docs");
    EXPECT_FALSE(ShowQueryInput(QStringLiteral("Rename Job"), QStringLiteral("New job name:"), text));
    EXPECT_EQ(text, QStringLiteral("Docs"));
}

TEST(QueryInput, StartsWithTheGivenTextAndEnterConfirms)
{
    ScopedLanguage lang(QStringLiteral("de"));
    ModalScript script;
    QString seenText, prompt;
    QStringList buttons;
    script.Then([&](QDialog &d) {
        auto *edit = d.findChild<QLineEdit *>(QStringLiteral("edText"));
        seenText = edit->text();
        buttons = ModalScript::Describe(d).Buttons;
        edit->setText(QStringLiteral("Docs 2"));
        emit edit->returnPressed();
        return 0;
    });
    QString text = QStringLiteral("Docs");
    EXPECT_TRUE(ShowQueryInput(QStringLiteral("Rename Job"), QStringLiteral("New job name:"), text));
    EXPECT_EQ(seenText, QStringLiteral("Docs"));
    EXPECT_EQ(text, QStringLiteral("Docs 2"));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
}
} // namespace
