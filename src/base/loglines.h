#pragma once
// The lines of a run log, held as the text of the file they are saved to:
// UTF-8 after a byte-order mark, each line ended by CR LF. A run that copies
// a million files logs a million lines, so only the newest lines stay in
// memory: the older text moves to a temporary file in pieces, and memory
// keeps an offset per line. Saving copies that text as it stands.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

class QIODevice;
class QTemporaryFile;

class LogLines {
public:
    LogLines();
    ~LogLines();
    LogLines(const LogLines &) = delete;
    LogLines &operator=(const LogLines &) = delete;

    void Clear();
    // Control characters and undecodable bytes of file names are stored as
    // the escapes of VisibleText.
    void Append(QStringView line);

    qsizetype Size() const { return m_ends.size(); }
    bool IsEmpty() const { return m_ends.isEmpty(); }
    QString At(qsizetype i) const;
    QStringList ToStringList() const;

    // Writes the content of the log file: the byte-order mark and every line
    // with its CR LF (the form EncodeTextLines gives). False when `out`
    // refuses it or the moved-out text cannot be read back.
    bool WriteTo(QIODevice &out) const;

    // How much text stays in memory before it is moved out.
    static constexpr qsizetype kTailBytes = 256 * 1024;

private:
    void MoveTailOut();
    QByteArray Bytes(qint64 from, qint64 to) const;

    std::unique_ptr<QTemporaryFile> m_spool; // the text before m_spooled
    qint64 m_spooled = 0;
    bool m_spoolFailed = false; // then everything stays in memory
    QByteArray m_tail;          // the text from m_spooled on
    QList<qint64> m_ends;       // where each line's text ends (its CR LF follows)
};
