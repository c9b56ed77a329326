#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// Field access inside one record's bytes. Integers and doubles are stored
// little-endian; a record string is a length byte followed by a fixed
// capacity of CP1250 bytes.
namespace RecordBytes {

void putInt32(char* record, int offset, int32_t value);
int32_t getInt32(const char* record, int offset);
void putDouble(char* record, int offset, double value);
double getDouble(const char* record, int offset);
// A flag byte is 1 for true, 0 for false; on reading only 1 is true.
void putFlag(char* record, int offset, bool value);
bool getFlag(const char* record, int offset);
// Cut to the capacity; the unused bytes are zeroed so that equal records
// give equal files.
void putString(char* record, int offset, int capacity, const QString& text);
// A length byte above the capacity (a damaged or foreign file) reads the
// capacity only, never the next field.
QString getString(const char* record, int offset, int capacity);

} // namespace RecordBytes

// A file of fixed-size records without a header, addressed by 1-based
// position; every record carries an int32 number (its ID) at a fixed offset.
// Each operation opens the file, does its work in as few passes as it can and
// closes it again; nothing is cached between calls, because the other
// programs write the same file. Every operation that writes holds the file's
// DataFileLock while it works (and throws DataFileBusy when another program
// holds it too long). Every failed file operation throws IoError.
class RecordFile {
public:
    RecordFile(QString path, int recordSize, int idOffset);

    const QString& path() const { return m_path; }

    // Whole records; a trailing partial record is not counted. 0 when the
    // file does not exist.
    int count() const;

    // Clamps position to 1..count and writes it back, then reads that record.
    // false, with record untouched, when the file is empty or missing.
    bool read(int& position, char* record) const;

    // Position 1..count + 1 (count + 1 appends); creates the file. A position
    // outside that range would leave a gap of zero bytes and is refused.
    void write(int position, const char* record) const;

    // Gives the record the next free ID, writes it after the last whole
    // record and returns the ID.
    int append(char* record) const;

    // An ID no record has: count + 1 while the IDs are the positions, else
    // the smallest unused ID.
    int nextId() const;

    // Whether one of the records at positions 1..count has the ID.
    bool idExists(int id, int count) const;

    // What becomes of the IDs when records move: Keep leaves them as they
    // were; Renumber gives every record its position as ID afterwards;
    // RenumberIfRemoved does so only when a record went.
    enum class Ids { Keep, Renumber, RenumberIfRemoved };
    // renamed(old, new) for each record whose ID changed, in position order,
    // once the new file is in place.
    using Renamed = std::function<void(int oldId, int newId)>;

    // Every change that moves records writes the file anew beside the old
    // one, in one pass over it, and puts the new file in its place in one
    // step (ReplacementFile): whenever the work stops, the file is all old or
    // all new. A change that changes nothing leaves the file as it was.

    // Removes every record for which drop(position, record) holds (asked in
    // position order, once each); returns how many went.
    int removeWhere(
        const std::function<bool(int position, const char* record)>& drop, Ids ids, const Renamed& renamed = {}) const;

    // Removes the first record with each listed ID, as removing them one
    // after the other would (an ID listed twice takes two records). Returns
    // how many went.
    int remove(const std::vector<int>& idList, Ids ids, const Renamed& renamed = {}) const;

    // Removes the first record with the ID; false when no record has it.
    bool remove(int id, Ids ids) const;

    // ID := position for every record.
    void renumber(const Renamed& renamed) const;

    // Visits the records in position order until visit returns false.
    void scan(const std::function<bool(int position, const char* record)>& visit) const;

    // The first length bytes of the file, whole record or not; false when
    // the file is shorter or missing.
    bool readHead(char* bytes, int length) const;

private:
    QString m_path;
    int m_size;
    int m_idOffset;
};

// The same file seen through a record type. Codec gives
//   using Record; static constexpr int Size, IdOffset;
//   static constexpr int32_t Record::* Id;
//   static void encode(const Record&, char*); static void decode(const char*, Record&);
template <class Codec> class RecordFileOf {
public:
    using Record = typename Codec::Record;

    explicit RecordFileOf(const QString& path)
        : m_file(path, Codec::Size, Codec::IdOffset)
    {
    }

    const RecordFile& raw() const { return m_file; }
    int count() const { return m_file.count(); }

    bool read(int& position, Record& record) const
    {
        std::array<char, Codec::Size> bytes;
        if (!m_file.read(position, bytes.data()))
            return false;
        Codec::decode(bytes.data(), record);
        return true;
    }

    void write(int position, const Record& record) const
    {
        std::array<char, Codec::Size> bytes {};
        Codec::encode(record, bytes.data());
        m_file.write(position, bytes.data());
    }

    int append(Record& record) const
    {
        std::array<char, Codec::Size> bytes {};
        Codec::encode(record, bytes.data());
        record.*Codec::Id = m_file.append(bytes.data());
        return record.*Codec::Id;
    }

    int removeWhere(const std::function<bool(int position, const Record& record)>& drop, RecordFile::Ids ids,
        const RecordFile::Renamed& renamed = {}) const
    {
        Record record;
        return m_file.removeWhere(
            [&](int position, const char* bytes) {
                Codec::decode(bytes, record);
                return drop(position, record);
            },
            ids, renamed);
    }

    void forEach(const std::function<void(int position, const Record& record)>& visit) const
    {
        Record record;
        m_file.scan([&](int position, const char* bytes) {
            Codec::decode(bytes, record);
            visit(position, record);
            return true;
        });
    }

private:
    RecordFile m_file;
};
