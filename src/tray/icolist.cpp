#include "icolist.h"

#include "components/kitutils.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QImageWriter>
#include <QPixmap>
#include <QtEndian>

namespace {

// An entry larger than this is no icon of ours but a damaged stream.
constexpr qint32 MaxIconBytes = 16 * 1024 * 1024;

qint32 readInt32(QIODevice& stream)
{
    char bytes[4];
    if (stream.read(bytes, 4) != 4)
        throw EReadError();
    return qFromLittleEndian<qint32>(bytes);
}

void writeInt32(QIODevice& stream, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    stream.write(bytes, 4);
}

QIcon iconFromBytes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    // An icon file may hold the picture in several sizes.
    const int count = qMax(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QByteArray bytesOfIcon(const QIcon& icon)
{
    if (icon.isNull())
        return {};
    QSize size;
    for (const QSize& s : icon.availableSizes())
        if (s.width() * s.height() > size.width() * size.height())
            size = s;
    const QImage image = icon.pixmap(size.isValid() ? size : QSize(32, 32)).toImage();
    if (image.isNull())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        return {};
    return buffer.data();
}

} // namespace

TIconList::TIconList(QObject* parent)
    : QObject(parent)
{
}

void TIconList::Changed()
{
    if (m_updateCount == 0)
        emit OnChange();
}

void TIconList::checkIndex(int index) const
{
    if (index < 0 || index >= m_icons.size())
        throw EListError(index);
}

QIcon TIconList::IconAt(int index) const
{
    checkIndex(index);
    return m_icons.at(index);
}

int TIconList::IconCount() const
{
    return int(m_icons.size());
}

void TIconList::PutIcon(int index, const QIcon& icon)
{
    if (index == m_icons.size())
        m_icons.append(QIcon());
    checkIndex(index);
    m_icons[index] = icon;
    Changed();
}

int TIconList::AddIcon(const QIcon& icon)
{
    m_icons.append(icon);
    Changed();
    return IconCount() - 1;
}

int TIconList::AddIconResource(const QString& name)
{
    return AddIcon(QIcon(name));
}

void TIconList::ClearIcons()
{
    LockIconChanges();
    while (!m_icons.isEmpty())
        DeleteIcon(IconCount() - 1);
    UnlockIconChanges();
}

void TIconList::DeleteIcon(int index)
{
    checkIndex(index);
    m_icons.removeAt(index);
    Changed();
}

void TIconList::ExchangeIcons(int i, int j)
{
    checkIndex(i);
    checkIndex(j);
    m_icons.swapItemsAt(i, j);
    Changed();
}

int TIconList::IndexOfIcon(const QIcon& icon) const
{
    for (int i = 0; i < m_icons.size(); ++i)
        if (m_icons.at(i).cacheKey() == icon.cacheKey())
            return i;
    return -1;
}

void TIconList::InsertIcon(int index, const QIcon& icon)
{
    if (index < 0 || index > m_icons.size())
        throw EListError(index);
    m_icons.insert(index, icon);
    Changed();
}

void TIconList::InsertIconResource(int index, const QString& name)
{
    InsertIcon(index, QIcon(name));
}

void TIconList::LoadIcons(QIODevice& stream)
{
    const qint32 count = readInt32(stream);
    if (count < 0)
        throw EReadError();
    QList<QIcon> icons;
    for (qint32 i = 0; i < count; ++i) {
        const qint32 size = readInt32(stream);
        if (size < 0 || size > MaxIconBytes)
            throw EReadError();
        const QByteArray bytes = stream.read(size);
        if (bytes.size() != size)
            throw EReadError();
        icons.append(size == 0 ? QIcon() : iconFromBytes(bytes));
    }
    m_icons = icons;
    Changed();
}

void TIconList::MoveIcon(int from, int to)
{
    checkIndex(from);
    checkIndex(to);
    m_icons.move(from, to);
    Changed();
}

void TIconList::SaveIcons(QIODevice& stream) const
{
    writeInt32(stream, qint32(m_icons.size()));
    for (const QIcon& icon : m_icons) {
        const QByteArray bytes = bytesOfIcon(icon);
        writeInt32(stream, qint32(bytes.size()));
        stream.write(bytes);
    }
}

void TIconList::LockIconChanges()
{
    ++m_updateCount;
}

void TIconList::UnlockIconChanges()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        Changed();
}

void TIconList::Assign(const TIconList& source)
{
    if (&source == this)
        return;
    m_icons = source.m_icons;
    Changed();
}

void TIconList::Assign(const QIcon& icon)
{
    LockIconChanges();
    ClearIcons();
    if (!icon.isNull())
        AddIcon(icon);
    UnlockIconChanges();
}
