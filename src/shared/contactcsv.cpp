#include "contactcsv.h"

#include "jbstr.h"

#include "platform/cp1250.h"
#include "platform/errors.h"

#include <QFile>

#include <cerrno>
#include <utility>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

// Whether bytes are well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(QByteArrayView bytes, bool& nonAscii)
{
    nonAscii = false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int length;
        unsigned char low = 0x80, high = 0xBF; // range of the second byte
        if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else
            return false;
        if (i + length > n || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

QString ColumnPlaceholder(int n)
{
    return QStringLiteral("(sloupec %1)").arg(n);
}

} // namespace

CsvCharset DetectCsvCharset(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return CsvCharset::Utf8;
    bool nonAscii = false;
    return ValidUtf8(bytes, nonAscii) && nonAscii ? CsvCharset::Utf8 : CsvCharset::Cp1250;
}

void ForEachCsvTextLine(QByteArrayView bytes, CsvCharset charset, const std::function<bool(const QString& line)>& line)
{
    const bool utf8 = charset == CsvCharset::Utf8;
    if (utf8 && bytes.startsWith(Utf8Bom))
        bytes = bytes.sliced(3);
    // CR and LF are single bytes in both charsets and part of no other
    // character, so the bytes split before they are decoded.
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        while (end < n && p[end] != '\r' && p[end] != '\n')
            ++end;
        const QByteArrayView text(p + start, end - start);
        if (!line(utf8 ? QString::fromUtf8(text) : Cp1250::decode(text)))
            return;
        start = end + (end + 1 < n && p[end] == '\r' && p[end + 1] == '\n' ? 2 : 1);
    }
}

QString UpravSloupce(const QString& line, QChar sep)
{
    // One pass: a run of n separators gets its n - 1 blanks at once.
    QString r;
    r.reserve(line.size() + 8);
    if (line.startsWith(sep))
        r += u' ';
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (i > 0 && line[i] == sep && line[i - 1] == sep)
            r += u' ';
        r += line[i];
    }
    return r;
}

QStringList CsvFields(const QString& line, QChar sep)
{
    return UpravSloupce(line, sep).split(sep, Qt::SkipEmptyParts);
}

QStringList CsvColumnNames(const QString& header, QChar sep)
{
    QStringList names = CsvFields(header, sep);
    if (names.size() > MaxCsvColumns)
        names.resize(MaxCsvColumns);
    for (int i = 0; i < names.size(); ++i) {
        names[i] = RemoveChar(u'"', names[i]);
        if (CsvBlank(names[i]))
            names[i] = ColumnPlaceholder(i + 1);
    }
    return names;
}

CsvTable::CsvTable(QByteArray bytes, QChar sep)
    : m_bytes(std::move(bytes))
    , m_charset(DetectCsvCharset(m_bytes))
    , m_separator(sep)
{
    ForEachCsvTextLine(m_bytes, m_charset, [this](const QString& header) {
        m_columns = CsvColumnNames(header, m_separator);
        return false;
    });
}

void CsvTable::forEachLine(const std::function<bool(const QStringList& fields)>& fields) const
{
    bool header = true;
    bool any = false;
    ForEachCsvTextLine(m_bytes, m_charset, [&](const QString& line) {
        if (std::exchange(header, false) || line.isEmpty())
            return true;
        any = true;
        return fields(CsvFields(line, m_separator));
    });
    if (!any)
        fields({});
}

QByteArray ReadCsvFile(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(errno ? errno : EIO, path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IoError(EIO, path);
    return bytes;
}

bool CsvBlank(const QString& text)
{
    return text.isEmpty() || text == u' ';
}

QList<CsvValue> CsvLineValues(
    const QStringList& fields, const QList<CsvAssignment>& rows, const QHash<int, QString>& defaults)
{
    QList<CsvValue> values;
    for (const CsvAssignment& row : rows) {
        QString value
            = row.column >= 1 && row.column <= fields.size() ? RemoveChar(u'"', fields[row.column - 1]) : QString();
        if (CsvBlank(value))
            value = RemoveChar(u'"', defaults.value(row.code));
        if (!CsvBlank(value))
            values.append({ row.code, value });
    }
    return values;
}

QString CsvExportField(const QString& text, QChar sep)
{
    QString r = text;
    r.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    r.replace(u'\r', u' ');
    r.replace(u'\n', u' ');
    r.replace(sep, u'|');
    return r;
}

QString CsvExportLine(const QStringList& texts, QChar sep)
{
    QString line;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            line += sep;
        line += CsvExportField(texts[i], sep);
    }
    return line;
}

QByteArray CsvLineBytes(const QString& line)
{
    return Cp1250::encode(line) + QByteArrayLiteral("\r\n");
}
