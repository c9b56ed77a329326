#include "progman.h"

#include "jbstr.h"

#include "platform/errors.h"
#include "platform/filereplace.h"
#include "platform/programicon.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QXmlStreamWriter>

namespace {

const QString kStartupGroup = QStringLiteral("STARTUP");
const QString kIconName = QStringLiteral("korvel");

// Lower-case ASCII letters and digits, anything else one "-".
QString fileNameOf(const QString& name)
{
    QString slug;
    for (QChar c : name.normalized(QString::NormalizationForm_KD)) {
        if (c.isMark())
            continue;
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            slug += c;
        else if (c >= u'A' && c <= u'Z')
            slug += QChar(c.unicode() + (u'a' - u'A'));
        else if (!slug.endsWith(u'-'))
            slug += u'-';
    }
    while (slug.endsWith(u'-'))
        slug.chop(1);
    while (slug.startsWith(u'-'))
        slug.remove(0, 1);
    return slug.isEmpty() ? QStringLiteral("item") : slug;
}

// A value of a desktop entry: backslashes and line breaks escaped.
QString entryValue(const QString& text)
{
    QString v;
    for (QChar c : text) {
        if (c == u'\\')
            v += QStringLiteral("\\\\");
        else if (c == u'\n')
            v += QStringLiteral("\\n");
        else if (c == u'\r')
            v += QStringLiteral("\\r");
        else if (c == u'\t')
            v += QStringLiteral("\\t");
        else
            v += c;
    }
    return v;
}

// One argument of an Exec line: quoted, with the characters quoting reserves
// escaped and "%" doubled so it is no field code.
QString execArgument(const QString& arg)
{
    QString q = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            q += u'\\';
        if (c == u'%')
            q += u'%';
        q += c;
    }
    return q + u'"';
}

bool writeFile(const QString& path, const QByteArray& content)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    try {
        ReplacementFile f(path);
        f.write(content.constData(), content.size());
        f.commit();
        return true;
    } catch (const IoError&) {
        return false;
    }
}

QByteArray desktopEntry(const QStringList& keys)
{
    return (QStringLiteral("[Desktop Entry]\n") + keys.join(u'\n') + u'\n').toUtf8();
}

QString execLine(const QString& path)
{
    const QFileInfo info(path);
    const bool program = info.isFile() && info.isExecutable();
    return program ? execArgument(path) : QStringLiteral("xdg-open ") + execArgument(path);
}

// The submenu lists the entries of the group's folder by their desktop IDs
// ("<group>-<item>.desktop"), so they appear there and nowhere else.
QByteArray menuFile(const QString& groupId, const QString& entriesFolder)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeDTD(QStringLiteral("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">"));
    w.writeStartElement(QStringLiteral("Menu"));
    w.writeTextElement(QStringLiteral("Name"), QStringLiteral("Applications"));
    w.writeStartElement(QStringLiteral("Menu"));
    w.writeTextElement(QStringLiteral("Name"), groupId);
    w.writeTextElement(QStringLiteral("Directory"), groupId + QStringLiteral(".directory"));
    w.writeStartElement(QStringLiteral("Include"));
    const QStringList entries = QDir(entriesFolder).entryList({ QStringLiteral("*.desktop") }, QDir::Files, QDir::Name);
    for (const QString& entry : entries)
        w.writeTextElement(QStringLiteral("Filename"), groupId + u'-' + entry);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

// The organiser's icon in the user's icon theme folder, where desktops look
// up an entry's Icon= name.
void installIcon(const QString& dataFolder)
{
    for (int size : { 16, 32, 48, 64 }) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ProgramIconPixmap(size).save(&buffer, "PNG");
        writeFile(QStringLiteral("%1/icons/hicolor/%2x%2/apps/%3.png").arg(dataFolder).arg(size).arg(kIconName), png);
    }
}

} // namespace

void ProgmanAddItem(const QString& group, const QString& itemName, const QString& exePath)
{
    if (group.isEmpty() || itemName.isEmpty() || exePath.isEmpty())
        return;
    const QString item = fileNameOf(itemName) + QStringLiteral(".desktop");
    const QByteArray entry = desktopEntry({
        QStringLiteral("Type=Application"),
        QStringLiteral("Version=1.0"),
        QStringLiteral("Name=") + entryValue(itemName),
        QStringLiteral("Exec=") + entryValue(execLine(exePath)),
        QStringLiteral("Icon=") + kIconName,
        QStringLiteral("Terminal=false"),
    });
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (config.isEmpty() || data.isEmpty())
        return;
    installIcon(data);

    if (SameText(group, kStartupGroup)) {
        writeFile(config + QStringLiteral("/autostart/") + item, entry);
        return;
    }

    const QString groupId = fileNameOf(group);
    const QString folder = data + QStringLiteral("/applications/") + groupId;
    writeFile(data + QStringLiteral("/desktop-directories/") + groupId + QStringLiteral(".directory"),
        desktopEntry({ QStringLiteral("Type=Directory"), QStringLiteral("Version=1.0"),
            QStringLiteral("Name=") + entryValue(group), QStringLiteral("Icon=") + kIconName }));
    if (writeFile(folder + u'/' + item, entry))
        writeFile(config + QStringLiteral("/menus/applications-merged/") + groupId + QStringLiteral(".menu"),
                  menuFile(groupId, folder));
}
