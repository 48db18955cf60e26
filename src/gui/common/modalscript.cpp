#include "gui/common/modalscript.h"

#include "gui/common/messagedialog.h"
#include "gui/common/queryinput.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>

ModalScript::ModalScript()
{
    m_previous = SetModalHook([this](QDialog &dialog) { return run(dialog); });
}

ModalScript::~ModalScript()
{
    SetModalHook(std::move(m_previous));
}

ModalScript &ModalScript::Then(ModalHook step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

ModalScript &ModalScript::Answer(int modalResult)
{
    return Then([modalResult](QDialog &dialog) {
        const char *name = nullptr;
        switch (modalResult) {
        case mrOk: name = "btOK"; break;
        case mrCancel: name = "btCancel"; break;
        case mrYes: name = "btYes"; break;
        case mrNo: name = "btNo"; break;
        default: break;
        }
        if (name)
            Press(dialog, QLatin1String(name));
        return modalResult;
    });
}

ModalScript &ModalScript::EnterText(const QString &text)
{
    return Then([text](QDialog &dialog) {
        if (auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("edText")))
            edit->setText(text);
        Press(dialog, QStringLiteral("btOK"));
        return int(QDialog::Accepted);
    });
}

ModalScript &ModalScript::Cancel()
{
    return Then([](QDialog &dialog) {
        Press(dialog, QStringLiteral("btCancel"));
        return int(QDialog::Rejected);
    });
}

QStringList ModalScript::Messages() const
{
    QStringList list;
    for (const Window &w : m_seen) {
        if (w.ObjectName == QLatin1String("MessageDialog"))
            list << w.Text;
    }
    return list;
}

ModalScript::Window ModalScript::Describe(QDialog &dialog)
{
    Window w;
    w.ClassName = QString::fromLatin1(dialog.metaObject()->className());
    w.ObjectName = dialog.objectName();
    w.Caption = dialog.windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(&dialog))
        w.Text = box->text();
    for (QAbstractButton *b : dialog.findChildren<QAbstractButton *>()) {
        if (b->isVisibleTo(&dialog) && !b->text().isEmpty() && b->inherits("QPushButton"))
            w.Buttons << QString(b->text()).remove(QLatin1Char('&'));
    }
    return w;
}

bool ModalScript::Press(QDialog &dialog, const QString &textOrName)
{
    for (QAbstractButton *b : dialog.findChildren<QAbstractButton *>()) {
        if (!b->isVisibleTo(&dialog) || !b->isEnabled())
            continue;
        if (b->objectName() == textOrName || QString(b->text()).remove(QLatin1Char('&')) == textOrName) {
            b->click();
            return true;
        }
    }
    return false;
}

int ModalScript::run(QDialog &dialog)
{
    m_seen.append(Describe(dialog));
    if (m_steps.empty()) {
        ++m_unexpected;
        return 0;
    }
    ModalHook step = std::move(m_steps.front());
    m_steps.pop_front();
    return step(dialog);
}
