#include "versionblock.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qsizetype HeaderSize = 6;

qsizetype Aligned(qsizetype at)
{
    return (at + 3) & ~qsizetype(3);
}

struct Node {
    qsizetype End = 0;
    QString Key;
    qsizetype ValueStart = 0;
    qsizetype ValueSize = 0;
    qsizetype ChildrenStart = 0;
};

// The node at `at`, which must lie wholly before limit.
bool ReadNode(QByteArrayView b, qsizetype at, qsizetype limit, Node& n)
{
    if (at < 0 || at + HeaderSize > limit)
        return false;
    const qsizetype length = VersionBlock::Word(b, at);
    if (length < HeaderSize || at + length > limit)
        return false;
    n.End = at + length;
    const quint16 valueLength = VersionBlock::Word(b, at + 2);
    const bool text = VersionBlock::Word(b, at + 4) == 1;
    n.Key.clear();
    qsizetype p = at + HeaderSize;
    bool terminated = false;
    for (; p + 2 <= n.End; p += 2) {
        const char16_t c = VersionBlock::Word(b, p);
        if (c == 0) {
            terminated = true;
            p += 2;
            break;
        }
        n.Key.append(QChar(c));
    }
    if (!terminated)
        return false;
    n.ValueSize = text ? 2 * qsizetype(valueLength) : valueLength;
    // A node without value or children may end before the padding.
    n.ValueStart = std::min(Aligned(p), n.End);
    if (n.ValueStart + n.ValueSize > n.End)
        return false;
    n.ChildrenStart = std::min(Aligned(n.ValueStart + n.ValueSize), n.End);
    return true;
}

} // namespace

namespace VersionBlock {

quint16 Word(QByteArrayView bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

quint32 Dword(QByteArrayView bytes, qsizetype at)
{
    return Word(bytes, at) | quint32(Word(bytes, at + 2)) << 16;
}

ValueRef Query(QByteArrayView block, QStringView path)
{
    Node node;
    if (!ReadNode(block, 0, block.size(), node))
        return {};
    for (QStringView key : path.split(u'\\', Qt::SkipEmptyParts)) {
        bool found = false;
        Node child;
        // Each sibling is at least a header long, so the walk ends.
        for (qsizetype at = node.ChildrenStart; at < node.End; at = Aligned(child.End)) {
            if (!ReadNode(block, at, node.End, child))
                break;
            if (QStringView(child.Key).compare(key, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        }
        if (!found)
            return {};
        node = child;
    }
    return { node.ValueStart, node.ValueSize };
}

QString QueryText(QByteArrayView block, QStringView path)
{
    const ValueRef v = Query(block, path);
    QString text;
    for (qsizetype at = v.Offset; v.Found() && at + 2 <= v.Offset + v.Size; at += 2) {
        const char16_t c = Word(block, at);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
}

QByteArray Find(QByteArrayView bytes)
{
    // The root's key; built here, so that this code's own data holds no copy
    // to be found.
    QByteArray key;
    for (char c : QByteArrayView("VS_VERSION_INFO")) {
        key.append(c);
        key.append('\0');
    }
    key.append(2, '\0');
    // Header, key and padding: the fixed part starts 40 bytes into the block.
    constexpr qsizetype FixedAt = 40;
    for (qsizetype hit = bytes.indexOf(key); hit >= 0; hit = bytes.indexOf(key, hit + 1)) {
        const qsizetype start = hit - HeaderSize;
        if (start < 0 || start + FixedAt + FixedSize > bytes.size())
            continue;
        const qsizetype length = Word(bytes, start);
        if (Word(bytes, start + 2) != FixedSize || Word(bytes, start + 4) != 0
            || Dword(bytes, start + FixedAt) != FixedSignature || length < FixedAt + FixedSize
            || start + length > bytes.size())
            continue;
        return bytes.sliced(start, length).toByteArray();
    }
    return {};
}

QByteArray FromFile(const QString& fileName)
{
    // Only a regular file: opening a pipe or a device could wait for ever.
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return {};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return {};
    if (const uchar* data = file.map(0, file.size()))
        return Find(QByteArrayView(data, file.size()));
    return Find(file.readAll());
}

} // namespace VersionBlock
