#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& folderOverride()
{
    static QString dir;
    return dir;
}

bool isForeignPath(const QString& p)
{
    return (p.size() >= 2 && p[1] == u':' && p[0].isLetter()) || p.startsWith(QLatin1String("\\\\"));
}
} // namespace

QString ProgramFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolderForTests(const QString& dir)
{
    QString d = dir;
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    folderOverride() = d;
}

QString LocalPath(const QString& stored)
{
    if (stored.isEmpty() || isForeignPath(stored))
        return {};
    QString path = stored;
    path.replace(u'\\', u'/');
    if (QFileInfo::exists(path))
        return path;

    // Walk the components, matching each without regard to case.
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString built = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (const QString& part : parts) {
        QDir dir(built);
        QString match;
        if (QFileInfo::exists(dir.filePath(part)))
            match = part;
        else
            for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    match = entry;
                    break;
                }
        if (match.isEmpty())
            return path;
        built = dir.filePath(match);
    }
    return absolute ? built : QDir::cleanPath(built);
}

bool StoredFileExists(const QString& stored)
{
    const QString p = LocalPath(stored);
    return !p.isEmpty() && QFileInfo(p).isFile();
}
