#include "gui/common/modalrun.h"

#include <QDialog>
#include <utility>

namespace {
ModalHook &currentHook()
{
    static ModalHook hook;
    return hook;
}
} // namespace

ModalHook SetModalHook(ModalHook hook)
{
    return std::exchange(currentHook(), std::move(hook));
}

bool HasModalHook()
{
    return static_cast<bool>(currentHook());
}

int ExecModal(QDialog &dialog)
{
    if (!currentHook())
        return dialog.exec();
    // A copy: the hook may replace itself while it runs.
    const ModalHook hook = currentHook();
    dialog.setResult(0);
    dialog.show();
    const int answer = hook(dialog);
    if (!dialog.isVisible())
        return dialog.result();
    dialog.done(answer);
    return answer;
}
