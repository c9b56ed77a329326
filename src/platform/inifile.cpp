#include "inifile.h"

#include "cp1250.h"
#include "filereplace.h"

#include <climits>

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Name of a "[section]" line, or a null string for any other line.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return {};
    return t.mid(1, close - 1).trimmed();
}

bool isKeyLine(const QString& line, const QString& key)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    const QString t = line.trimmed();
    if (t.startsWith(u';') || t.startsWith(u'['))
        return false;
    return sameName(QStringView(line).left(eq), key);
}

// Range of a section's body: [begin, end) of line indices; begin < 0 when absent.
struct Range {
    qsizetype header = -1;
    qsizetype begin = -1;
    qsizetype end = -1;
};

Range findSection(const QStringList& lines, const QString& section)
{
    Range r;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (name.isNull())
            continue;
        if (r.begin >= 0) {
            r.end = i;
            return r;
        }
        if (sameName(name, section)) {
            r.header = i;
            r.begin = i + 1;
        }
    }
    if (r.begin >= 0)
        r.end = lines.size();
    return r;
}

qsizetype findKey(const QStringList& lines, const Range& r, const QString& key)
{
    if (r.begin < 0)
        return -1;
    for (qsizetype i = r.begin; i < r.end; ++i)
        if (isKeyLine(lines[i], key))
            return i;
    return -1;
}

QString cleanValue(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v.left(IniFile::MaxValueLength);
}

bool parseInteger(QString text, int& out)
{
    text = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toLongLong(&ok, 16);
    else if (text.startsWith(u'$'))
        v = text.mid(1).toLongLong(&ok, 16);
    else
        v = text.toLongLong(&ok, 10);
    if (!ok || v < INT_MIN || v > 0xFFFFFFFFLL)
        return false;
    out = static_cast<int>(static_cast<quint32>(v));
    return true;
}

QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = Cp1250::decode(bytes).split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// The lines of the file without their line ends; none when it cannot be read
// (a reader takes the defaults then).
QStringList readLines(const QString& path)
{
    try {
        return linesOf(ReadWholeFile(path).value_or(QByteArray()));
    } catch (const IoError&) {
        return {};
    }
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

QStringList IniFile::lines() const
{
    return readLines(m_path);
}

IniSnapshot::IniSnapshot(const QString& path)
    : m_lines(readLines(path))
{
}

void IniFile::update(const std::function<void(QStringList& lines)>& change)
{
    const auto changed = [&change](const QStringList& lines) {
        QStringList result = lines;
        change(result);
        return result;
    };
    const QStringList seen = lines();
    if (changed(seen) == seen)
        return;
    try {
        // Read again once no other program can replace the file before this
        // one does, so that what it wrote meanwhile is kept.
        ReplacementFile file(m_path, ReplacementFile::WhenBusy::Wait);
        const QStringList current = linesOf(ReadWholeFile(m_path).value_or(QByteArray()));
        const QStringList result = changed(current);
        if (result == current)
            return;
        QByteArray data;
        for (const QString& l : result) {
            data += Cp1250::encode(l);
            data += "\r\n";
        }
        file.write(data.constData(), data.size());
        file.commit();
    } catch (const IoError& e) {
        throw IniWriteError(e.code(), m_path);
    }
}

QString IniReader::readString(const QString& section, const QString& key, const QString& def) const
{
    const QStringList lines = this->lines();
    const qsizetype i = findKey(lines, findSection(lines, section), key);
    if (i < 0)
        return def.left(MaxValueLength);
    return cleanValue(lines[i].mid(lines[i].indexOf(u'=') + 1));
}

int IniReader::readInteger(const QString& section, const QString& key, int def) const
{
    int v = def;
    return parseInteger(readString(section, key, QString()), v) ? v : def;
}

bool IniReader::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString entry = key.trimmed() + u'=' + v;
    update([&](QStringList& lines) {
        const Range r = findSection(lines, section);
        if (r.begin < 0) {
            if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
                lines.append(QString());
            lines.append(u'[' + section.trimmed() + u']');
            lines.append(entry);
        } else if (const qsizetype i = findKey(lines, r, key); i >= 0) {
            lines[i] = lines[i].left(lines[i].indexOf(u'=') + 1) + v;
        } else {
            // After the last non-blank line of the section, so a blank line
            // before the next section stays where it was.
            qsizetype at = r.end;
            while (at > r.begin && lines[at - 1].trimmed().isEmpty())
                --at;
            lines.insert(at, entry);
        }
    });
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniReader::sectionExists(const QString& section) const
{
    return findSection(lines(), section).begin >= 0;
}

bool IniReader::valueExists(const QString& section, const QString& key) const
{
    const QStringList lines = this->lines();
    return findKey(lines, findSection(lines, section), key) >= 0;
}

QStringList IniReader::readSection(const QString& section) const
{
    const QStringList lines = this->lines();
    const Range r = findSection(lines, section);
    QStringList keys;
    for (qsizetype i = r.begin; i >= 0 && i < r.end; ++i) {
        const QString t = lines[i].trimmed();
        const qsizetype eq = lines[i].indexOf(u'=');
        if (eq > 0 && !t.startsWith(u';'))
            keys.append(lines[i].left(eq).trimmed());
    }
    return keys;
}

void IniFile::eraseSection(const QString& section)
{
    update([&](QStringList& lines) {
        const Range r = findSection(lines, section);
        if (r.begin >= 0)
            lines.erase(lines.begin() + r.header, lines.begin() + r.end);
    });
}

void IniFile::deleteKey(const QString& section, const QString& key)
{
    update([&](QStringList& lines) {
        const qsizetype i = findKey(lines, findSection(lines, section), key);
        if (i >= 0)
            lines.removeAt(i);
    });
}
