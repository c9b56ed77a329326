#include "errors.h"

#include <cerrno>
#include <cstring>

KorvelError::KorvelError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

IoError::IoError(int code, const QString& path)
    : KorvelError(QStringLiteral("I/O error %1: %2 (%3)")
                      .arg(code)
                      .arg(QString::fromLocal8Bit(std::strerror(code)), path))
    , m_code(code)
{
}

IoError::IoError(const QString& message, int code)
    : KorvelError(message)
    , m_code(code)
{
}

DataFileBusy::DataFileBusy(const QString& path)
    : IoError(QStringLiteral("Soubor %1 právě upravuje jiný program - nic nebylo zapsáno.\r"
                             "Zkuste to prosím za chvíli znovu.")
                  .arg(path),
        EBUSY)
{
}
