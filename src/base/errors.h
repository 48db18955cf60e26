#pragma once
// The error type of the core. Library, file and network failures arrive as
// exceptions of this type and are caught at the boundary of a job operation
// or a user action, where they become run-log lines or events.
#include <QString>
#include <stdexcept>

class QvError : public std::runtime_error {
public:
    explicit QvError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Raised by the binary and text readers for truncated or malformed content.
class DecodeError : public QvError {
public:
    using QvError::QvError;
};
