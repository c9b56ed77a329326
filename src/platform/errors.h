#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Root of every exception the organiser raises. The message is what the user
// sees when the exception reaches the application's handler.
class KorvelError : public std::exception {
public:
    explicit KorvelError(QString message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failed file operation; code is the operating system's error number. The
// message names the file and says in Czech words what went wrong.
class IoError : public KorvelError {
public:
    IoError(int code, const QString& path);
    int code() const { return m_code; }
    const QString& path() const { return m_path; }

protected:
    // For a failure the subclass words itself.
    IoError(const QString& message, int code, const QString& path);

private:
    int m_code;
    QString m_path;
};

// Another program kept a data file locked for longer than a writer waits;
// nothing was written.
class DataFileBusy : public IoError {
public:
    explicit DataFileBusy(const QString& path);
};

// Why a file operation failed, in words for the user (an errno value).
QString IoFailureReason(int code);
