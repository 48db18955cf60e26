#pragma once
#include <QByteArray>

class QFile;

// Reads the rest of an open file into `data`, one buffer of the file's size
// (readAll() grows its buffer step by step past it). A file that shrank
// meanwhile gives what was there. False when a read fails (see errorString()).
bool ReadWholeFile(QFile &file, QByteArray &data);
