#include "gui/editing/folderpicker.h"

#include "options/options.h"
#include "gui/common/modalrun.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

bool ChooseFolder(const QString &englishTitle, const QString &start, QString &folder, QWidget *parent)
{
    QFileDialog dialog(parent, Translate(englishTitle));
    dialog.setObjectName(QStringLiteral("FolderPicker"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::LookIn, Translate(englishTitle));
    dialog.setDirectory(start.isEmpty() || !QFileInfo(start).isDir() ? QDir::rootPath() : start);
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    const QString path = chosen.isEmpty() ? dialog.directory().absolutePath() : chosen.constFirst();
    // Only a folder that exists is a choice.
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return true;
}
