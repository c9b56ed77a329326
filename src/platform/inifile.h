#pragma once

#include "errors.h"

#include <QString>
#include <QStringList>

#include <functional>

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
// kept. Nothing is cached: every read reads the file and every write that
// changes it replaces it at once (ReplacementFile: a reader never sees half a
// file, and a write that fails leaves the file as it was).
class IniFile : public IniReader {
public:
    explicit IniFile(QString path);

    const QString& fileName() const { return m_path; }

    // Throw IniWriteError when the file cannot be written, or exists but
    // cannot be read (its other keys would be lost).
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

protected:
    QStringList lines() const override;

private:
    // Writes the lines as change leaves them, unless it leaves them as they
    // were.
    void update(const std::function<void(QStringList& lines)>& change);

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

class IniWriteError : public IoError {
public:
    using IoError::IoError;
};
