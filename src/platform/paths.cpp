#include "paths.h"

#include "volumeprobe.h"

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

namespace {

// The path as it is spelt on disk, each component matched without regard to
// case where it does not exist as written.
QString MatchLetterCase(const QString& path)
{
    if (QFileInfo::exists(path))
        return path;
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

} // namespace

QString PathAsWritten(const QString& stored)
{
    if (isForeignPath(stored))
        return {};
    QString path = stored;
    return path.replace(u'\\', u'/');
}

QString LocalPath(const QString& stored)
{
    const QString path = PathAsWritten(stored);
    if (path.isEmpty())
        return {};
    // A volume that does not answer leaves the path as written.
    return VolumeProbe::Answer<QString>(path, [path] { return MatchLetterCase(path); }).value_or(path);
}

bool StoredFileExists(const QString& stored)
{
    const QString p = LocalPath(stored);
    return VolumeProbe::IsFile(p);
}
