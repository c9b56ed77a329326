#pragma once

#include "errors.h"

#include <QString>
#include <QStringList>

// The reads of a settings file in the Windows profile format: CP1250 text
// with CRLF line ends, sections and keys matched without regard to case.
class IniReader {
public:
    virtual ~IniReader() = default;

    // At most 1023 characters; blanks around the value and one pair of
    // enclosing quotes are removed.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"; anything else gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // An integer other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList readSection(const QString& section) const; // the keys, in file order

    static constexpr int MaxValueLength = 1023;

protected:
    // The file's lines, without their line ends.
    virtual QStringList lines() const = 0;
};

// A settings file shared by three processes: other lines and their order are
// kept. Nothing is cached: every read reads the file and every write replaces
// it at once (written beside it and renamed, so a reader never sees half a
// file).
class IniFile : public IniReader {
public:
    explicit IniFile(QString path);

    const QString& fileName() const { return m_path; }

    // Throw IniWriteError when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

protected:
    QStringList lines() const override;

private:
    void save(const QStringList& lines);

    QString m_path;
};

// A settings file read once, for one piece of work that takes several values
// from it (a window's placement and look as it opens).
class IniSnapshot : public IniReader {
public:
    explicit IniSnapshot(const QString& path);

protected:
    QStringList lines() const override { return m_lines; }

private:
    QStringList m_lines;
};

class IniWriteError : public KorvelError {
public:
    explicit IniWriteError(const QString& path);
};
