#pragma once
// The lines of a run log, held as the text of the file they are saved to:
// UTF-8 after a byte-order mark, each line ended by CR LF. A run that copies
// a million files logs a million lines; one growing buffer costs the bytes
// of the text and an offset per line, where a string per line would cost
// about three times as much, and saving writes the buffer as it stands.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class LogLines {
public:
    LogLines();

    void Clear();
    void Append(QStringView line);

    qsizetype Size() const { return m_ends.size(); }
    bool IsEmpty() const { return m_ends.isEmpty(); }
    QString At(qsizetype i) const;
    QStringList ToStringList() const;

    // The content of the log file: the byte-order mark and every line with
    // its CR LF (the form EncodeTextLines gives).
    const QByteArray &FileContent() const { return m_text; }

private:
    qsizetype Start(qsizetype i) const;

    QByteArray m_text;
    QList<qsizetype> m_ends; // where each line's text ends (its CR LF follows)
};
