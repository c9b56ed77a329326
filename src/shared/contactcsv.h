#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Contacts in separated text files: a header line of column names, then one
// line per contact, fields separated by one character. There is no quoting:
// the export puts "|" where a value holds the separator, and the import drops
// every double quote, so a quoted value that holds the separator splits there.

// Reading. Other programs on this desktop write UTF-8, the organiser and its
// Windows peers CP1250: a file that begins with the UTF-8 byte-order mark, or
// that is valid UTF-8 and holds bytes above 0x7F, is UTF-8; any other file is
// CP1250 (which reads every byte).
enum class CsvCharset { Cp1250, Utf8 };
CsvCharset DetectCsvCharset(QByteArrayView bytes);
// The lines of the file as text, one by one until line returns false: split
// at CR LF, LF or CR alone alike (Windows, Unix and old Mac files); a line
// break at the very end starts no further line. Each line is decoded only
// when its turn comes.
void ForEachCsvTextLine(QByteArrayView bytes, CsvCharset charset, const std::function<bool(const QString& line)>& line);

// An empty field made countable: a blank between every two adjacent
// separators, also inside longer runs, and one in front of a separator that
// begins the line.
QString UpravSloupce(const QString& line, QChar sep);
// The fields of a line as the words of UpravSloupce give them: an empty field
// is " ", and a separator at the end of the line starts no field.
QStringList CsvFields(const QString& line, QChar sep);

// The header's column names as the wizard lists them: each field without its
// double quotes, a blank or empty name as "(sloupec n)", so that the n-th name
// stands for the n-th field of every data line. A header of more columns
// lists the first MaxCsvColumns only.
constexpr int MaxCsvColumns = 1000;
QStringList CsvColumnNames(const QString& header, QChar sep);

// The file as the import reads it, read once: the header's column names, and
// the fields of each data line split from the kept bytes as they are asked
// for, so a large file takes little more memory than its own size. Empty
// lines hold no contact and are left out; a file without any data line still
// gives one empty line, so the import shows one form (of default values
// only).
class CsvTable {
public:
    CsvTable() = default;
    CsvTable(QByteArray bytes, QChar sep);

    const QStringList& columns() const { return m_columns; }
    // The fields of each data line in order, until fields returns false.
    void forEachLine(const std::function<bool(const QStringList& fields)>& fields) const;

private:
    QByteArray m_bytes;
    CsvCharset m_charset = CsvCharset::Cp1250;
    QChar m_separator;
    QStringList m_columns;
};
// The whole file; throws IoError.
QByteArray ReadCsvFile(const QString& path);

// One field of the wizard's list: the contact field code and the 1-based file
// column assigned to it, 0 for none.
struct CsvAssignment {
    int code = 0;
    int column = 0;
};
struct CsvValue {
    int code = 0;
    QString text;
    bool operator==(const CsvValue&) const = default;
};
// A text that counts as no value: empty, or the blank of an empty field.
bool CsvBlank(const QString& text);
// What one line gives the new-contact form, field by field in the list's
// order: the assigned column's field without its double quotes; when that is
// blank (or nothing is assigned) the field's default value; a field whose
// value stays blank gives nothing.
QList<CsvValue> CsvLineValues(
    const QStringList& fields, const QList<CsvAssignment>& rows, const QHash<int, QString>& defaults);

// Writing: CP1250 lines ended by CR LF, as the organiser's Windows peers
// write them.

// One field's text as it is written: each separator as "|", each line break
// (CR LF, CR or LF) as one blank.
QString CsvExportField(const QString& text, QChar sep);
// The fields joined by the separator, each as CsvExportField gives it.
QString CsvExportLine(const QStringList& texts, QChar sep);
// The line in the file's bytes, its line break included.
QByteArray CsvLineBytes(const QString& line);
