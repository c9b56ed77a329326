#include "kitsrmgr.h"

#include "components/kiterrors.h"
#include "components/kitutil.h"

#include <QHash>
#include <QPair>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr qint64 HeaderSize = 8;
constexpr qint64 EntrySize = 12;

QByteArray KitSrMgrTable()
{
    return BuildStringTable({
        { SKitStringNotFound, QStringLiteral("String not found: %d") },
        { SKitCannotLock, QStringLiteral("Cannot lock resource") },
        { SKitResourceNotFound, QStringLiteral("String resource not found: %s") },
        { SKitCannotOpen, QStringLiteral("Unable to open string resource: %s") },
        { SKitInvalidResource, QStringLiteral("Invalid string resource") },
    });
}

using ResourceKey = QPair<QString, QString>;

ResourceKey Key(const QString& module, const QString& name)
{
    return { module.toUpper(), name.toUpper() };
}

QHash<ResourceKey, QByteArray>& Resources()
{
    static QHash<ResourceKey, QByteArray> resources {
        { Key(QString(), QStringLiteral("KITSRMGR_STRINGS")), KitSrMgrTable() },
        { Key(QString(), QStringLiteral("KIT_STRINGS_ENGLISH")), KitStringsEnglishTable() },
    };
    return resources;
}

ETpsStringResourceError ResourceError(qint32 id, const QString& argument = QString())
{
    QString text = KitSrMgrStrings().GetString(id);
    text.replace(QStringLiteral("%s"), argument);
    return ETpsStringResourceError(text);
}

qint32 ReadInt32(const QByteArray& data, qint64 offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

} // namespace

namespace RcData {

void Register(const QString& module, const QString& name, const QByteArray& data)
{
    Resources().insert(Key(module, name), data);
}

std::optional<QByteArray> Find(const QString& module, const QString& name)
{
    const auto it = Resources().constFind(Key(module, name));
    if (it == Resources().cend())
        return std::nullopt;
    return *it;
}

} // namespace RcData

QByteArray BuildStringTable(QList<StringTableEntry> entries)
{
    std::stable_sort(entries.begin(), entries.end(),
        [](const StringTableEntry& a, const StringTableEntry& b) { return a.id < b.id; });
    QByteArray out("STR0");
    const auto put = [&out](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    put(qint32(entries.size()));
    qint32 offset = qint32(HeaderSize + EntrySize * entries.size());
    for (const StringTableEntry& e : entries) {
        put(e.id);
        put(offset);
        put(qint32(e.text.size()));
        offset += qint32(e.text.size() * 2);
    }
    for (const StringTableEntry& e : entries)
        for (QChar c : e.text) {
            char b[2];
            qToLittleEndian(c.unicode(), b);
            out.append(b, 2);
        }
    return out;
}

TKitStringResource::TKitStringResource(const QString& module, const QString& name)
{
    if (!name.isEmpty())
        OpenTable(module, name);
}

void TKitStringResource::OpenTable(const QString& module, const QString& name)
{
    CloseTable();
    // Resource names were limited to a buffer of 255 characters.
    const QString shortName = name.left(255);
    std::optional<QByteArray> found = RcData::Find(module, shortName);
    if (!found && !module.isEmpty())
        found = RcData::Find(QString(), shortName);
    if (!found)
        throw ResourceError(SKitResourceNotFound, shortName);
    const QByteArray& data = *found;
    // The entry table must lie inside the resource: a count read from a
    // damaged table would send the search past its end.
    if (data.size() < HeaderSize || !data.startsWith("STR0")
        || HeaderSize + EntrySize * qint64(qFromLittleEndian<quint32>(data.constData() + 4)) > data.size())
        throw ResourceError(SKitInvalidResource);
    m_resource = std::move(found);
}

void TKitStringResource::CloseTable()
{
    m_resource.reset();
}

QString TKitStringResource::GetString(qint32 id) const
{
    if (!m_resource)
        throw ResourceError(SKitCannotLock);
    const QByteArray& data = *m_resource;
    const qint64 count = qFromLittleEndian<quint32>(data.constData() + 4);
    qint64 lo = 0;
    qint64 hi = count - 1;
    while (hi >= lo) {
        const qint64 mid = (lo + hi) / 2;
        const qint64 entry = HeaderSize + EntrySize * mid;
        const qint32 entryId = ReadInt32(data, entry);
        if (entryId == id) {
            const qint64 offset = ReadInt32(data, entry + 4);
            const qint64 length = ReadInt32(data, entry + 8);
            if (offset < 0 || length < 0 || offset + 2 * length > data.size())
                throw ResourceError(SKitInvalidResource);
            QString text(length, Qt::Uninitialized);
            for (qint64 i = 0; i < length; ++i)
                text[i] = QChar(qFromLittleEndian<quint16>(data.constData() + offset + 2 * i));
            return text;
        }
        if (entryId < id)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    if (m_raiseOnMissing) {
        QString text = KitSrMgrStrings().GetString(SKitStringNotFound);
        throw ETpsStringResourceError(text.replace(QStringLiteral("%d"), QString::number(id)));
    }
    return QString();
}

const TKitStringResource& KitSrMgrStrings()
{
    static const TKitStringResource table(QString(), QStringLiteral("KITSRMGR_STRINGS"));
    return table;
}
