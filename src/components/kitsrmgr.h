#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The program's binary resources (RCDATA on Windows), by module and name;
// names compare without regard to case. The empty module is the program's
// own, where the kit's two string tables are from the start.
namespace RcData {
// A resource of that name in that module is replaced.
void Register(const QString& module, const QString& name, const QByteArray& data);
std::optional<QByteArray> Find(const QString& module, const QString& name);
} // namespace RcData

// A string table in the "STR0" layout, little-endian:
//   0  "STR0"
//   4  uint32 count
//   8  count entries of 12 bytes, by id ascending: int32 id, int32 offset of
//      the text from the start of the table, int32 length in UTF-16 units
//   …  the texts, UTF-16LE, back to back, without terminators
struct StringTableEntry {
    qint32 id;
    QString text;
};
// The entries are sorted by id here.
QByteArray BuildStringTable(QList<StringTableEntry> entries);

// Reads texts by id from a "STR0" string table among the program's resources.
// A table whose header or entries point outside it is refused as invalid
// instead of being read past its end.
class TKitStringResource {
public:
    // An empty name opens nothing.
    TKitStringResource(const QString& module, const QString& name);

    // Closes any open table, then opens the named one: looked for in module
    // first, then in the program's own module.
    void OpenTable(const QString& module, const QString& name);
    void CloseTable();

    // The text of id; empty when the table has none, unless RaiseOnMissing.
    QString GetString(qint32 id) const;

    bool RaiseOnMissing() const { return m_raiseOnMissing; }
    void SetRaiseOnMissing(bool on) { m_raiseOnMissing = on; }

private:
    bool m_raiseOnMissing = false;
    std::optional<QByteArray> m_resource;
};

// Ids of the reader's own messages ("KITSRMGR_STRINGS").
enum : qint32 {
    SKitStringNotFound = 1,
    SKitCannotLock = 2,
    SKitResourceNotFound = 3,
    SKitCannotOpen = 4,
    SKitInvalidResource = 5,
};

// The reader's message table.
const TKitStringResource& KitSrMgrStrings();
