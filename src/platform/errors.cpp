#include "errors.h"

#include <QDir>

#include <cerrno>

KorvelError::KorvelError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

IoError::IoError(int code, const QString& path)
    : KorvelError(QStringLiteral("Chyba při práci se souborem %1: %2.")
                      .arg(QDir::toNativeSeparators(path), IoFailureReason(code)))
    , m_code(code)
    , m_path(path)
{
}

IoError::IoError(const QString& message, int code, const QString& path)
    : KorvelError(message)
    , m_code(code)
    , m_path(path)
{
}

DataFileBusy::DataFileBusy(const QString& path)
    : IoError(QStringLiteral("Soubor %1 právě upravuje jiný program - nic nebylo zapsáno.\r"
                             "Zkuste to prosím za chvíli znovu.")
                  .arg(path),
        EBUSY, path)
{
}

QString IoFailureReason(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return QStringLiteral("přístup odepřen (adresář nebo soubor je jen pro čtení)");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("adresář nebo soubor neexistuje");
    case EISDIR:
        return QStringLiteral("na místě souboru je adresář");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku není dost místa");
    case EFBIG:
        return QStringLiteral("soubor by byl příliš velký");
    case EIO:
        return QStringLiteral("chyba při čtení nebo zápisu na disk");
    case EBUSY:
        return QStringLiteral("soubor právě přepisuje jiný program");
    case EEXIST:
        return QStringLiteral("soubor tohoto jména už existuje");
    case ENAMETOOLONG:
        return QStringLiteral("název je příliš dlouhý");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("otevřeno příliš mnoho souborů");
    case ESTALE:
    case ETIMEDOUT:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
        return QStringLiteral("síťový disk není dostupný");
    default:
        return QStringLiteral("chyba systému %1").arg(code);
    }
}
