#pragma once

#include "errors.h"

#include <QString>
#include <QStringList>

// A settings file in the Windows profile format, shared by three processes:
// CP1250 text with CRLF line ends, sections and keys matched without regard
// to case, other lines and their order kept. Nothing is cached: every read
// reads the file and every write replaces it at once (written beside it and
// renamed, so a reader never sees half a file).
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& fileName() const { return m_path; }

    // At most 1023 characters; blanks around the value and one pair of
    // enclosing quotes are removed.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"; anything else gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // An integer other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Throw IniWriteError when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList readSection(const QString& section) const; // the keys, in file order
    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

    static constexpr int MaxValueLength = 1023;

private:
    QStringList load() const;
    void save(const QStringList& lines);

    QString m_path;
};

class IniWriteError : public KorvelError {
public:
    explicit IniWriteError(const QString& path);
};
