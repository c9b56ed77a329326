#include "components/kitutils.h"
#include "tray/icolist.h"

#include "icons.h"

#include <QBuffer>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray int32le(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray saved(const TIconList& list)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    list.SaveIcons(buffer);
    return buffer.data();
}

void load(TIconList& list, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    list.LoadIcons(buffer);
}

} // namespace

class TestIconList : public QObject {
    Q_OBJECT
private slots:
    void streamLayoutAndRoundTripWithAnEmptyEntry()
    {
        TIconList list;
        list.AddIcon(solidIcon(Qt::red));
        list.AddIcon(QIcon());
        list.AddIcon(solidIcon(Qt::blue, 32));
        const QByteArray bytes = saved(list);
        // int32 count, then per entry int32 size + an ICO file; size 0 for the empty one.
        QCOMPARE(bytes.left(4), int32le(3));
        const qint32 first = qFromLittleEndian<qint32>(bytes.constData() + 4);
        QVERIFY(first > 6);
        QCOMPARE(bytes.mid(8, 4), QByteArray("\0\0\1\0", 4)); // ICO header: reserved 0, type 1
        QCOMPARE(bytes.mid(8 + first, 4), int32le(0));
        const qint32 third = qFromLittleEndian<qint32>(bytes.constData() + 12 + first);
        QCOMPARE(bytes.size(), 4 + 4 + first + 4 + 4 + third);

        TIconList back;
        QSignalSpy changed(&back, &TIconList::OnChange);
        load(back, bytes);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(back.IconCount(), 3);
        QCOMPARE(colourOf(back.IconAt(0)), QColor(Qt::red));
        QVERIFY(back.IconAt(1).isNull());
        QCOMPARE(back.IconAt(2).availableSizes().first(), QSize(32, 32));
        QCOMPARE(colourOf(back.IconAt(2)), QColor(Qt::blue));
        QCOMPARE(back.IconAt(0).pixmap(16, 16).toImage().pixelColor(3, 3).alpha(), 255);
        // Saved again, it reads back to the same pictures.
        TIconList again;
        load(again, saved(back));
        QCOMPARE(again.IconCount(), 3);
        QVERIFY(again.IconAt(1).isNull());
        for (int i : { 0, 2 })
            QCOMPARE(again.IconAt(i).pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                back.IconAt(i).pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));
    }

    void damagedStreamsLeaveTheListAsItWas()
    {
        TIconList source;
        source.AddIcon(solidIcon(Qt::green));
        source.AddIcon(solidIcon(Qt::yellow));
        const QByteArray good = saved(source);
        TIconList list;
        list.AddIcon(solidIcon(Qt::red));
        const QList<QByteArray> bad = {
            QByteArray(), // no count
            QByteArray("\2\0", 2), // half a count
            int32le(-1), // negative count
            good.left(good.size() - 1), // last icon cut short
            int32le(1) + int32le(-5), // negative size
            int32le(1) + int32le(100) + QByteArray(10, 'x'), // size beyond the stream
            int32le(2) + int32le(0), // second entry missing
            int32le(1) + int32le(0x7FFFFFFF), // absurd size
        };
        for (const QByteArray& b : bad) {
            QVERIFY_THROWS_EXCEPTION(EReadError, load(list, b));
            QCOMPARE(list.IconCount(), 1);
            QCOMPARE(colourOf(list.IconAt(0)), QColor(Qt::red));
        }
        // Bytes that are no icon give an empty entry; the rest is read.
        load(list, int32le(2) + int32le(3) + QByteArray("abc") + int32le(0));
        QCOMPARE(list.IconCount(), 2);
        QVERIFY(list.IconAt(0).isNull());
    }

    void editingOperations()
    {
        TIconList list;
        QSignalSpy changed(&list, &TIconList::OnChange);
        const QIcon red = solidIcon(Qt::red);
        const QIcon green = solidIcon(Qt::green);
        const QIcon blue = solidIcon(Qt::blue);
        QCOMPARE(list.AddIcon(red), 0);
        list.PutIcon(1, green); // at the count: appended
        list.InsertIcon(0, blue);
        QCOMPARE(list.IconCount(), 3);
        QCOMPARE(list.IndexOfIcon(blue), 0);
        QCOMPARE(list.IndexOfIcon(green), 2);
        QCOMPARE(list.IndexOfIcon(solidIcon(Qt::red)), -1); // another icon object, same look
        list.ExchangeIcons(0, 2);
        QCOMPARE(list.IndexOfIcon(green), 0);
        list.MoveIcon(0, 2);
        QCOMPARE(list.IndexOfIcon(green), 2);
        QCOMPARE(list.IndexOfIcon(red), 0);
        list.DeleteIcon(0);
        QCOMPARE(list.IndexOfIcon(red), -1);
        QCOMPARE(changed.count(), 6);
        QVERIFY_THROWS_EXCEPTION(EListError, list.IconAt(2));
        QVERIFY_THROWS_EXCEPTION(EListError, list.PutIcon(5, red));
        QVERIFY_THROWS_EXCEPTION(EListError, list.InsertIcon(-1, red));
        QVERIFY_THROWS_EXCEPTION(EListError, list.MoveIcon(0, 9));
        QCOMPARE(changed.count(), 6);
    }

    void lockedChangesAreAnnouncedOnce()
    {
        TIconList list;
        QSignalSpy changed(&list, &TIconList::OnChange);
        list.LockIconChanges();
        list.LockIconChanges();
        list.AddIcon(solidIcon(Qt::red));
        list.AddIcon(solidIcon(Qt::red));
        list.UnlockIconChanges();
        QCOMPARE(changed.count(), 0);
        list.UnlockIconChanges();
        QCOMPARE(changed.count(), 1);
        list.ClearIcons();
        QCOMPARE(changed.count(), 2);
        list.UnlockIconChanges(); // one too many: harmless
        QCOMPARE(changed.count(), 2);
    }

    void assignFromAListOneIconOrNothing()
    {
        TIconList a;
        a.AddIcon(solidIcon(Qt::red));
        a.AddIcon(solidIcon(Qt::green));
        TIconList b;
        b.Assign(a);
        QCOMPARE(b.IconCount(), 2);
        QCOMPARE(colourOf(b.IconAt(1)), QColor(Qt::green));
        QSignalSpy changed(&b, &TIconList::OnChange);
        b.Assign(solidIcon(Qt::blue));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(b.IconCount(), 1);
        QCOMPARE(colourOf(b.IconAt(0)), QColor(Qt::blue));
        b.Assign(QIcon());
        QCOMPARE(b.IconCount(), 0);
    }
};

QTEST_MAIN(TestIconList)
#include "tst_iconlist.moc"
