#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QIODevice;

// An owned list of icons (the frames of an animated tray icon). An entry may
// be empty (a null icon). Every change ends with Changed, which announces it
// unless changes are locked; unlocking the last lock announces once.
//
// Stream format: int32 count, then per entry int32 size and size bytes of the
// icon in the ICO file format; size 0 is an empty entry. Little-endian.
class TIconList : public QObject {
    Q_OBJECT
public:
    explicit TIconList(QObject* parent = nullptr);

    virtual void Changed();
    // Raise EListError outside the list.
    virtual QIcon IconAt(int index) const;
    virtual int IconCount() const;
    // index = IconCount appends.
    virtual void PutIcon(int index, const QIcon& icon);
    virtual int AddIcon(const QIcon& icon);
    // An icon of the program's resources (":/…").
    virtual int AddIconResource(const QString& name);
    virtual void ClearIcons();
    virtual void DeleteIcon(int index);
    virtual void ExchangeIcons(int i, int j);
    // -1 when that icon is not in the list.
    virtual int IndexOfIcon(const QIcon& icon) const;
    virtual void InsertIcon(int index, const QIcon& icon);
    virtual void InsertIconResource(int index, const QString& name);
    // Raises EReadError for a stream that ends early or holds a negative
    // size; the list is then left as it was. Bytes that are no icon give an
    // empty entry.
    virtual void LoadIcons(QIODevice& stream);
    virtual void MoveIcon(int from, int to);
    virtual void SaveIcons(QIODevice& stream) const;

    void LockIconChanges();
    void UnlockIconChanges();

    // Copies all icons of source.
    void Assign(const TIconList& source);
    // The list becomes that one icon; a null icon empties it.
    void Assign(const QIcon& icon);

signals:
    void OnChange();

private:
    void checkIndex(int index) const;

    QList<QIcon> m_icons;
    int m_updateCount = 0;
};
