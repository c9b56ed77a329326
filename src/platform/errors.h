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

// A failed file operation; code is the operating system's error number.
class IoError : public KorvelError {
public:
    IoError(int code, const QString& path);
    int code() const { return m_code; }

private:
    int m_code;
};
