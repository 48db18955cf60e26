// The set-password and enter-password dialogs and the program-password check.
#include "options/options.h"
#include "dialogtestutil.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/tools/passwordinput.h"
#include "gui/tools/passwordset.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {

// A step that types into both fields of the set-password dialog and presses OK.
ModalHook typeTwice(const QString &first, const QString &second, bool *stayedOpen = nullptr)
{
    return [=](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("edPassword"))->setText(first);
        d.findChild<QLineEdit *>(QStringLiteral("edConfirmPassword"))->setText(second);
        ModalScript::Press(d, QStringLiteral("btOK"));
        if (stayedOpen)
            *stayedOpen = d.isVisible();
        return d.result();
    };
}

TEST(SetPassword, AcceptedPasswordIsTrimmedAndCaseKept)
{
    struct Case {
        const char *first;
        const char *second;
        const char *stored;
    } cases[] = {
        {"Secret", "Secret", "Secret"},
        {"  Secret \t", "Secret", "Secret"},   // blanks around either field do not count
        {"a b", " a b ", "a b"},               // inner blanks stay
        {"", "", ""},                          // an empty password clears it
        {"   ", "", ""},
    };
    for (const Case &c : cases) {
        ModalScript script;
        script.Then(typeTwice(QString::fromUtf8(c.first), QString::fromUtf8(c.second)));
        QString password = QStringLiteral("old");
        EXPECT_TRUE(TfrmPassword::ChangePassword(password)) << c.first;
        EXPECT_EQ(password, QString::fromUtf8(c.stored)) << c.first;
        EXPECT_TRUE(script.Messages().isEmpty()) << c.first;
        EXPECT_EQ(TfrmPassword::StatusText(password),
                  QString::fromUtf8(*c.stored ? "Password is set" : "Password is not set"));
    }
}

TEST(SetPassword, MismatchKeepsTheDialogOpenAndChangesNothing)
{
    for (const char *second : {"secret", "Secret!", ""}) {
        ModalScript script;
        bool stayedOpen = false;
        script.Then([&](QDialog &d) {
            typeTwice(QStringLiteral("Secret"), QString::fromUtf8(second), &stayedOpen)(d);
            ModalScript::Press(d, QStringLiteral("btCancel"));
            return d.result();
        });
        script.Answer(mrOk);
        QString password = QStringLiteral("old");
        EXPECT_FALSE(TfrmPassword::ChangePassword(password));
        EXPECT_TRUE(stayedOpen) << second;
        EXPECT_EQ(password, QStringLiteral("old"));
        ASSERT_EQ(script.Seen().size(), 2);
        EXPECT_EQ(script.Seen()[1].Caption, QStringLiteral("Error"));
        EXPECT_EQ(script.Seen()[1].Text, QStringLiteral("Passwords do not match."));
    }
}

TEST(SetPassword, CorrectedAfterAMismatchIsAccepted)
{
    ModalScript script;
    script.Then([](QDialog &d) {
        typeTwice(QStringLiteral("one"), QStringLiteral("two"))(d);
        return typeTwice(QStringLiteral("one"), QStringLiteral("one"))(d);
    });
    script.Answer(mrOk);
    QString password;
    EXPECT_TRUE(TfrmPassword::ChangePassword(password));
    EXPECT_EQ(password, QStringLiteral("one"));
    EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Passwords do not match.")});
}

TEST(SetPassword, FieldsStartEmptyMaskedAndShowPasswordUnmasksBoth)
{
    ScopedLanguage lang(QStringLiteral("fr"));
    TfrmPassword dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral(" ") + Translate(QStringLiteral("Set Password")));
    EXPECT_TRUE(dialog.edPassword()->text().isEmpty());
    EXPECT_EQ(dialog.edPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.edConfirmPassword()->echoMode(), QLineEdit::Password);
    dialog.chShowPassword()->setChecked(true);
    EXPECT_EQ(dialog.edPassword()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(dialog.edConfirmPassword()->echoMode(), QLineEdit::Normal);
    dialog.chShowPassword()->setChecked(false);
    EXPECT_EQ(dialog.edConfirmPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.chShowPassword()->text(), QStringLiteral("Afficher le mot de passe"));
}

TEST(SetPassword, EnterKeyIsOk)
{
    ModalScript script;
    script.Then([](QDialog &d) {
        auto *edit = d.findChild<QLineEdit *>(QStringLiteral("edConfirmPassword"));
        d.findChild<QLineEdit *>(QStringLiteral("edPassword"))->setText(QStringLiteral("k"));
        edit->setText(QStringLiteral("k"));
        QTest::keyClick(edit, Qt::Key_Return);
        return d.result();
    });
    QString password;
    EXPECT_TRUE(TfrmPassword::ChangePassword(password));
    EXPECT_EQ(password, QStringLiteral("k"));
}

class ProgramPasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = Options().General;
        Options().General.ProtectConfigurationbyPassword = true;
        Options().General.strProtectConfiguration_Password = QStringLiteral("Open Sesame");
    }
    void TearDown() override { Options().General = saved; }

    static ModalHook enter(const QString &text)
    {
        return [text](QDialog &d) {
            d.findChild<QLineEdit *>(QStringLiteral("edPassword"))->setText(text);
            ModalScript::Press(d, QStringLiteral("btOK"));
            return d.result();
        };
    }

    TGeneralOptions saved;
};

TEST_F(ProgramPasswordTest, ComparesTrimmedAndCaseSensitive)
{
    struct Case {
        const char *entered;
        bool ok;
    } cases[] = {
        {"Open Sesame", true},
        {"  Open Sesame  ", true},
        {"open sesame", false},
        {"OPEN SESAME", false},
        {"Open  Sesame", false},
        {"", false},
    };
    for (const Case &c : cases) {
        ModalScript script;
        script.Then(enter(QString::fromUtf8(c.entered)));
        if (!c.ok)
            script.Answer(mrOk);
        EXPECT_EQ(CheckProgramPassword(), c.ok) << c.entered;
        ASSERT_GE(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].ClassName, QStringLiteral("TfrmEnterPassword"));
        EXPECT_EQ(script.Seen()[0].Caption, QStringLiteral(" Enter Password"));
        if (c.ok) {
            EXPECT_EQ(script.Seen().size(), 1) << c.entered;
        } else {
            EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Invalid password")}) << c.entered;
            EXPECT_EQ(script.Seen()[1].Caption, QStringLiteral("Error"));
        }
        EXPECT_EQ(script.Pending(), 0);
    }
}

TEST_F(ProgramPasswordTest, CancelFailsSilently)
{
    ModalScript script;
    script.Then([](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("edPassword"))->setText(QStringLiteral("Open Sesame"));
        ModalScript::Press(d, QStringLiteral("btCancel"));
        return d.result();
    });
    EXPECT_FALSE(CheckProgramPassword());
    EXPECT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(ProgramPasswordTest, NothingIsAskedWithoutProtection)
{
    Options().General.ProtectConfigurationbyPassword = false;
    ModalScript script;
    EXPECT_TRUE(CheckProgramPassword());
    EXPECT_TRUE(script.Seen().isEmpty());
}

TEST_F(ProgramPasswordTest, PromptStartsEmptyAndMaskedEveryTime)
{
    ModalScript script;
    QStringList shownTexts;
    QList<bool> masked;
    auto look = [&](QDialog &d) {
        auto *edit = d.findChild<QLineEdit *>(QStringLiteral("edPassword"));
        shownTexts << edit->text();
        masked << (edit->echoMode() == QLineEdit::Password);
        d.findChild<QCheckBox *>(QStringLiteral("chShowPassword"))->setChecked(true);
        edit->setText(QStringLiteral("typed"));
        return 0;
    };
    TfrmEnterPassword dialog;
    script.Then(look).Then(look);
    ExecModal(dialog);
    ExecModal(dialog);
    EXPECT_EQ(shownTexts, (QStringList{QString(), QString()}));
    EXPECT_EQ(masked, (QList<bool>{true, true}));
}

TEST_F(ProgramPasswordTest, SecondCheckWhilePromptIsShowingAsksNothing)
{
    ModalScript script;
    bool inner = true;
    bool showing = false;
    script.Then([&](QDialog &d) {
        showing = IsProgramPasswordPromptShowing();
        inner = CheckProgramPassword(); // a tray click while the prompt is up
        return enter(QStringLiteral("Open Sesame"))(d);
    });
    EXPECT_TRUE(CheckProgramPassword());
    EXPECT_TRUE(showing);
    EXPECT_FALSE(inner);
    EXPECT_EQ(script.Seen().size(), 1);
    EXPECT_FALSE(IsProgramPasswordPromptShowing());
}
} // namespace
