#pragma once
// The folder picker of the program: a folder dialog that accepts only a
// folder that exists. It runs through ExecModal, so tests answer it (select
// the folder with QFileDialog::setDirectory or selectFile, then accept()).
#include <QString>

class QWidget;

// Shows the picker titled `englishTitle` (translated here) starting at
// `start`; true with `folder` set to the chosen, existing folder.
bool ChooseFolder(const QString &englishTitle, const QString &start, QString &folder, QWidget *parent = nullptr);
