#include "contactfile.h"

#include "recordfile.h"

#include "platform/datetime.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

enum Offset : int {
    Overze = 0,
    Ocislo = 4,
    Ounikat = 8,
    Ozmena = 16,
    Opohlavi = 108,
    Ovymazano = 3430,
    Oprenos = 3431,
    Otajne = 3432,
    OReserved = 3433, // three bytes, written as zero
};

struct ContactCodec {
    using Record = ContactRecord;
    static constexpr int Size = ContactRecord::Size;
    static constexpr int IdOffset = Ocislo;
    static constexpr int32_t ContactRecord::*Id = &ContactRecord::cislo;

    static void encode(const ContactRecord& r, char* b)
    {
        using namespace RecordBytes;
        putInt32(b, Overze, r.verze);
        putInt32(b, Ocislo, r.cislo);
        putDouble(b, Ounikat, r.unikat);
        putDouble(b, Ozmena, r.zmena);
        putInt32(b, Opohlavi, r.pohlavi);
        for (const ContactTextField& f : ContactTextFields())
            putString(b, f.offset, f.capacity, r.*f.member);
        putFlag(b, Ovymazano, r.vymazano);
        putFlag(b, Oprenos, r.prenos);
        putFlag(b, Otajne, r.tajne);
        b[OReserved] = b[OReserved + 1] = b[OReserved + 2] = 0;
    }

    static void decode(const char* b, ContactRecord& r)
    {
        using namespace RecordBytes;
        r.verze = getInt32(b, Overze);
        r.cislo = getInt32(b, Ocislo);
        r.unikat = getDouble(b, Ounikat);
        r.zmena = getDouble(b, Ozmena);
        r.pohlavi = getInt32(b, Opohlavi);
        for (const ContactTextField& f : ContactTextFields())
            r.*f.member = getString(b, f.offset, f.capacity);
        r.vymazano = getFlag(b, Ovymazano);
        r.prenos = getFlag(b, Oprenos);
        r.tajne = getFlag(b, Otajne);
    }
};

static_assert(OReserved + 3 == ContactRecord::Size);

constexpr double MsPerDay = 86400000.0;

using ContactFile = RecordFileOf<ContactCodec>;

} // namespace

int ContactCount(const QString& path)
{
    return ContactFile(path).count();
}

void ReadContact(int& position, const QString& path, ContactRecord& record)
{
    if (!ContactFile(path).read(position, record)) {
        record.cislo = 0;
        record.unikat = 0;
    }
}

void WriteContact(int position, const QString& path, const ContactRecord& record)
{
    ContactFile(path).write(position, record);
}

int AppendContact(const QString& path, ContactRecord& record)
{
    return ContactFile(path).append(record);
}

int NextContactId(const QString& path)
{
    return ContactFile(path).raw().nextId();
}

bool ContactIdExists(const QString& path, int number, int count)
{
    return ContactFile(path).raw().idExists(number, count);
}

void DeleteContact(int number, const QString& path)
{
    ContactFile(path).raw().remove(number, RecordFile::Ids::RenumberIfRemoved);
}

int RemoveContactsWhere(const QString& path, const std::function<bool(int position, const ContactRecord& record)>& drop)
{
    return ContactFile(path).removeWhere(drop, RecordFile::Ids::RenumberIfRemoved);
}

QList<int> LocateContacts(const QString& path, const QList<std::pair<int, double>>& listed)
{
    // One contact is mostly where it was listed: one read settles it.
    if (listed.size() == 1) {
        const auto [number, unikat] = listed.first();
        ContactRecord there;
        int at = number;
        if (number >= 1 && ContactFile(path).read(at, there) && at == number && there.unikat == unikat)
            return { number };
    }
    QHash<double, QList<int>> held; // the positions of each stamp asked for, ascending
    for (const auto& [number, unikat] : listed)
        held.insert(unikat, {});
    ContactFile(path).raw().scan([&](int position, const char* bytes) {
        const auto found = held.find(RecordBytes::getDouble(bytes, Ounikat));
        if (found != held.end())
            found->append(position);
        return true;
    });
    // Deletions move contacts down the file: of several holding the stamp
    // (copies from elsewhere) the nearest at or below the number is the one
    // that moved there, else the first above it.
    QList<int> positions;
    positions.reserve(listed.size());
    for (const auto& [number, unikat] : listed) {
        const QList<int>& at = held[unikat];
        const auto above = std::upper_bound(at.begin(), at.end(), number);
        positions << (above != at.begin() ? *(above - 1) : above != at.end() ? *above : 0);
    }
    return positions;
}

QHash<int, ContactRecord> ReadContactsAt(const QString& path, const QList<int>& positions)
{
    QHash<int, ContactRecord> records;
    const QSet<int> wanted(positions.begin(), positions.end());
    if (wanted.isEmpty())
        return records;
    // One record is read alone.
    if (wanted.size() == 1) {
        int at = *wanted.begin();
        ContactRecord record;
        if (at >= 1 && ContactFile(path).read(at, record) && at == *wanted.begin())
            records.insert(at, record);
        return records;
    }
    const int last = *std::max_element(wanted.begin(), wanted.end());
    ContactFile(path).raw().scan([&](int position, const char* bytes) {
        if (wanted.contains(position))
            ContactCodec::decode(bytes, records[position]);
        return position < last;
    });
    return records;
}

QList<LocatedContact> ReadLocatedContacts(const QString& path, const QList<std::pair<int, double>>& listed)
{
    const QList<int> positions = LocateContacts(path, listed);
    const QHash<int, ContactRecord> records = ReadContactsAt(path, positions);
    QList<LocatedContact> located;
    located.reserve(listed.size());
    for (qsizetype i = 0; i < listed.size(); ++i) {
        const auto found = records.constFind(positions[i]);
        if (found != records.constEnd() && found->unikat == listed[i].second)
            located.append({ positions[i], *found });
        else
            located.append(LocatedContact {});
    }
    return located;
}

double NewContactStamp(const QString& path)
{
    static qint64 lastGiven = 0;
    QSet<qint64> taken;
    ContactFile(path).raw().scan([&](int, const char* bytes) {
        const double stamp = RecordBytes::getDouble(bytes, Ounikat);
        if (std::isfinite(stamp) && std::abs(stamp) < 3e6)
            taken.insert(std::llround(stamp * MsPerDay));
        return true;
    });
    qint64 ms = std::max(std::llround(Now() * MsPerDay), lastGiven + 1);
    while (taken.contains(ms))
        ++ms;
    lastGiven = ms;
    return double(ms) / MsPerDay;
}

bool AnyDeleted(const QString& path)
{
    bool found = false;
    ContactFile(path).raw().scan([&](int, const char* bytes) {
        found = RecordBytes::getFlag(bytes, Ovymazano);
        return !found;
    });
    return found;
}

QByteArray ContactBytes(const ContactRecord& record)
{
    QByteArray bytes(ContactRecord::Size, '\0');
    ContactCodec::encode(record, bytes.data());
    return bytes;
}

void ForEachContact(const QString& path, const std::function<void(int position, const ContactRecord& record)>& visit)
{
    ContactFile(path).forEach(visit);
}

QString CleanPhoneNumber(const QString& text)
{
    QString out;
    for (const QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'*')
            out.append(c);
    return out;
}
