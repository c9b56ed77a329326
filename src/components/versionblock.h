#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

// A program's version information in the layout of a Windows version
// resource (VS_VERSIONINFO), which is what a version reader expects and what
// other tools can read. Every node is
//   uint16 length (of the node with its children), uint16 value length
//   (bytes for binary values, UTF-16 characters for texts), uint16 type
//   (0 binary, 1 text), the key in UTF-16 with its terminating zero,
//   padding to 4 bytes, the value, padding to 4 bytes, the children,
// all little-endian, every node starting on a 4-byte boundary of the block.
// The root "VS_VERSION_INFO" holds the fixed part (VS_FIXEDFILEINFO, 52
// bytes) and the children "StringFileInfo" (one table of strings per
// translation, e.g. "040504E2") and "VarFileInfo" with "Translation" (an
// array of uint16 language, uint16 code page).
namespace VersionBlock {

constexpr std::uint32_t FixedSignature = 0xFEEF04BD;
constexpr std::uint32_t FixedStructVersion = 0x00010000;
constexpr int FixedSize = 52;
// Byte offsets of the fixed part's version halves and build flags.
enum FixedField {
    AtFileVersionMS = 8,
    AtFileVersionLS = 12,
    AtProductVersionMS = 16,
    AtProductVersionLS = 20,
    AtFileFlags = 28,
};
constexpr std::uint32_t VftApp = 1;

struct Fixed {
    std::uint32_t FileVersionMS = 0;
    std::uint32_t FileVersionLS = 0;
    std::uint32_t ProductVersionMS = 0;
    std::uint32_t ProductVersionLS = 0;
    std::uint32_t FileFlagsMask = 0x3F;
    std::uint32_t FileFlags = 0;
    std::uint32_t FileOS = 0;
    std::uint32_t FileType = VftApp;
};

struct StringEntry {
    std::u16string_view Key;
    std::u16string_view Value;
};

struct Translation {
    std::uint16_t Language = 0;
    std::uint16_t CodePage = 0;
};

struct Content {
    Fixed FixedInfo;
    // The string table's translation key, e.g. u"040504E2"; empty: no
    // "StringFileInfo".
    std::u16string_view TableKey;
    std::span<const StringEntry> Strings;
    // Empty: no "VarFileInfo".
    std::span<const Translation> Translations;
};

// Lays nodes out one after another; a node's length is filled in when it
// ends.
class Writer {
public:
    std::vector<unsigned char> Bytes;

    constexpr void PutWord(std::uint32_t w)
    {
        Bytes.push_back(static_cast<unsigned char>(w & 0xFF));
        Bytes.push_back(static_cast<unsigned char>((w >> 8) & 0xFF));
    }

    constexpr void PutDword(std::uint32_t d)
    {
        PutWord(d & 0xFFFF);
        PutWord(d >> 16);
    }

    // The header and key of a node; returns where it starts, for EndNode.
    constexpr std::size_t BeginNode(std::u16string_view key, std::size_t valueLength, std::uint16_t type)
    {
        if (valueLength > 0xFFFF)
            throw std::length_error("version block value too long");
        Align();
        const std::size_t start = Bytes.size();
        PutWord(0);
        PutWord(static_cast<std::uint32_t>(valueLength));
        PutWord(type);
        for (char16_t c : key)
            PutWord(c);
        PutWord(0);
        Align();
        return start;
    }

    constexpr void EndNode(std::size_t start)
    {
        const std::size_t length = Bytes.size() - start;
        if (length > 0xFFFF)
            throw std::length_error("version block too long");
        Bytes[start] = static_cast<unsigned char>(length & 0xFF);
        Bytes[start + 1] = static_cast<unsigned char>(length >> 8);
    }

private:
    constexpr void Align()
    {
        while (Bytes.size() % 4 != 0)
            Bytes.push_back(0);
    }
};

// The block for content; usable at compile time, so that a program can carry
// its block in its read-only data. Throws std::length_error beyond 64 KB.
constexpr std::vector<unsigned char> Write(const Content& c)
{
    Writer w;
    const std::size_t root = w.BeginNode(u"VS_VERSION_INFO", FixedSize, 0);
    const Fixed& f = c.FixedInfo;
    for (std::uint32_t d : { FixedSignature, FixedStructVersion, f.FileVersionMS, f.FileVersionLS, f.ProductVersionMS,
             f.ProductVersionLS, f.FileFlagsMask, f.FileFlags, f.FileOS, f.FileType, 0u, 0u, 0u })
        w.PutDword(d);
    if (!c.TableKey.empty()) {
        const std::size_t info = w.BeginNode(u"StringFileInfo", 0, 1);
        const std::size_t table = w.BeginNode(c.TableKey, 0, 1);
        for (const StringEntry& s : c.Strings) {
            const std::size_t node = w.BeginNode(s.Key, s.Value.size() + 1, 1);
            for (char16_t ch : s.Value)
                w.PutWord(ch);
            w.PutWord(0);
            w.EndNode(node);
        }
        w.EndNode(table);
        w.EndNode(info);
    }
    if (!c.Translations.empty()) {
        const std::size_t info = w.BeginNode(u"VarFileInfo", 0, 1);
        const std::size_t var = w.BeginNode(u"Translation", c.Translations.size() * 4, 0);
        for (const Translation& t : c.Translations) {
            w.PutWord(t.Language);
            w.PutWord(t.CodePage);
        }
        w.EndNode(var);
        w.EndNode(info);
    }
    w.EndNode(root);
    return w.Bytes;
}

// Where a value lies in its block.
struct ValueRef {
    qsizetype Offset = -1;
    qsizetype Size = 0;
    bool Found() const { return Offset >= 0; }
};

// The value under path ("\" the root, "\VarFileInfo\Translation",
// "\StringFileInfo\040904E4\CompanyName"), keys compared without regard to
// case, as VerQueryValue finds it. Nothing is trusted: a node whose length or
// value runs outside its parent, or whose key has no end, ends the search
// among its siblings; not found then.
ValueRef Query(QByteArrayView block, QStringView path);
// A text value, up to its terminating zero; empty when not found.
QString QueryText(QByteArrayView block, QStringView path);

quint16 Word(QByteArrayView bytes, qsizetype at);
quint32 Dword(QByteArrayView bytes, qsizetype at);

// The first whole version block within bytes (its root, the fixed part's
// signature and its length checked), as a copy; empty when there is none.
QByteArray Find(QByteArrayView bytes);
// GetFileVersionInfo: the version block that a regular file carries; empty
// when the file cannot be read or holds none.
QByteArray FromFile(const QString& fileName);

} // namespace VersionBlock
