#include "shared/contactfile.h"

#include "platform/datetime.h"
#include "platform/errors.h"

#include "testsupport.h"

#include <QTest>

namespace {

// The text fields as the record layout lists them: offset of the length
// byte, capacity, key.
struct Field {
    int offset;
    int capacity;
    const char* key;
};
// clang-format off
const Field kFields[] = {
    {24, 10, "titul_pred"}, {35, 25, "jmeno"},     {61, 35, "prijmeni"},   {97, 10, "titul_za"},
    {112, 250, "skupina1"}, {363, 250, "skupina2"}, {614, 250, "skupina3"}, {865, 100, "email1"},
    {966, 100, "email2"},   {1067, 100, "email3"},  {1168, 150, "ejine"},   {1319, 255, "www1"},
    {1575, 255, "www2"},    {1831, 20, "tel1"},     {1852, 20, "tel2"},     {1873, 20, "fax"},
    {1894, 20, "mobil1"},   {1915, 20, "mobil2"},   {1936, 20, "mobil3"},   {1957, 50, "adr1_ul"},
    {2008, 10, "adr1_psc"}, {2019, 50, "adr1_mesto"}, {2070, 50, "adr2_ul"}, {2121, 10, "adr2_psc"},
    {2132, 50, "adr2_mesto"}, {2183, 150, "firma"}, {2334, 50, "funkce"},   {2385, 20, "ICQ"},
    {2406, 255, "popis1"},  {2662, 255, "popis2"},  {2918, 255, "popis3"},  {3174, 255, "popis4"},
};
// clang-format on

QString& field(ContactRecord& r, const char* key)
{
    for (const ContactTextField& f : ContactTextFields())
        if (qstrcmp(f.key, key) == 0)
            return r.*f.member;
    qFatal("no field %s", key);
}

ContactRecord person(const QString& surname, int number)
{
    ContactRecord r;
    r.cislo = number;
    r.prijmeni = surname;
    return r;
}

QString fileWithNumbers(const TempProgramFolder& dir, const QList<int>& numbers)
{
    const QString path = dir.file("korvel.db1");
    QFile::remove(path);
    for (int i = 0; i < numbers.size(); ++i)
        WriteContact(i + 1, path, person(QString("n%1").arg(numbers[i]), numbers[i]));
    return path;
}

QList<QPair<int, QString>> contents(const QString& path)
{
    QList<QPair<int, QString>> out;
    ForEachContact(path, [&](int, const ContactRecord& r) { out.append({ r.cislo, r.prijmeni }); });
    return out;
}

} // namespace

class TestContactFile : public QObject {
    Q_OBJECT
private slots:
    void everyFieldLiesAtItsOffset()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.db1");
        ContactRecord r;
        r.cislo = 0x0102;
        r.unikat = 45123.125;
        r.zmena = 45124.875;
        r.pohlavi = 1;
        r.vymazano = true;
        r.prenos = false;
        r.tajne = true;
        // Each text field holds its key, so a field written at another's
        // offset shows.
        QCOMPARE(int(ContactTextFields().size()), int(std::size(kFields)));
        for (const Field& f : kFields)
            field(r, f.key) = QString::fromLatin1(f.key);
        WriteContact(1, path, r);

        const QByteArray b = readFileBytes(path);
        QCOMPARE(b.size(), 3436);
        QCOMPARE(b.mid(0, 4), QByteArray::fromHex("ffffffff"));
        QCOMPARE(b.mid(4, 4), QByteArray::fromHex("02010000"));
        QCOMPARE(b.mid(8, 8), QByteArray::fromHex("000000006408e640"));
        QCOMPARE(b.mid(16, 8), QByteArray::fromHex("000000009c08e640"));
        QCOMPARE(b.mid(108, 4), QByteArray::fromHex("01000000"));
        for (const Field& f : kFields) {
            const QByteArray key(f.key);
            QCOMPARE(int(uchar(b[f.offset])), int(key.size()));
            QCOMPARE(b.mid(f.offset + 1, key.size()), key);
            QCOMPARE(
                b.mid(f.offset + 1 + key.size(), f.capacity - key.size()), QByteArray(f.capacity - key.size(), '\0'));
        }
        QCOMPARE(b.mid(3430, 6), QByteArray::fromHex("010001000000"));

        int position = 1;
        ContactRecord back;
        ReadContact(position, path, back);
        QCOMPARE(back, r);
    }

    void fullFieldsStayWithinTheirCapacity()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.db1");
        ContactRecord r;
        for (const Field& f : kFields)
            field(r, f.key) = QString(300, u'č');
        r.vymazano = false;
        WriteContact(1, path, r);
        const QByteArray b = readFileBytes(path);
        for (const Field& f : kFields) {
            QCOMPARE(int(uchar(b[f.offset])), f.capacity);
            QCOMPARE(b.mid(f.offset + 1, f.capacity), QByteArray(f.capacity, '\xe8'));
        }
        QCOMPARE(b.mid(3430, 6), QByteArray(6, '\0'));
        QCOMPARE(b.mid(108, 4), QByteArray(4, '\0'));
    }

    void hostileLengthBytesStopAtTheCapacity()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.db1");
        QByteArray b(3436, '\0');
        for (const Field& f : kFields) {
            b[f.offset] = char(255);
            b.replace(f.offset + 1, f.capacity, QByteArray(f.capacity, 'q'));
        }
        b[108] = char(255); // pohlavi follows titul_za
        b[3430] = 1; // vymazano follows popis4
        writeFileBytes(path, b);
        int position = 1;
        ContactRecord r;
        ReadContact(position, path, r);
        for (const Field& f : kFields)
            QCOMPARE(field(r, f.key), QString(f.capacity, u'q'));
        QCOMPARE(r.pohlavi, 255);
        QVERIFY(r.vymazano);
        QVERIFY(AnyDeleted(path));
    }

    void emptyFileZeroesOnlyNumberAndCreation()
    {
        TempProgramFolder dir;
        ContactRecord kept = person("kept", 8);
        kept.unikat = 4.5;
        kept.zmena = 6.5;
        int position = 2;
        ReadContact(position, dir.file("none.db1"), kept);
        QCOMPARE(position, 1);
        QCOMPARE(kept.cislo, 0);
        QCOMPARE(kept.unikat, 0.0);
        QCOMPARE(kept.zmena, 6.5);
        QCOMPARE(kept.prijmeni, QString("kept"));
    }

    void writeAndAppendOnAMissingFile()
    {
        TempProgramFolder dir;
        const QString path = dir.file("new.db1");
        WriteContact(1, path, person("a", 1));
        QCOMPARE(QFileInfo(path).size(), 3436);
        QVERIFY_THROWS_EXCEPTION(KorvelError, WriteContact(3, path, person("gap", 3)));
        ContactRecord b = person("b", 0);
        QCOMPARE(AppendContact(path, b), 2);
        QCOMPARE(b.cislo, 2);
        QCOMPARE(NextContactId(fileWithNumbers(dir, { 1, 3 })), 2);
        QCOMPARE(NextContactId(fileWithNumbers(dir, { 3, 2 })), 1);
        QVERIFY(ContactIdExists(path, 2, 2));
        QVERIFY(!ContactIdExists(path, 2, 1));
    }

    void deleteRenumbersTheRecordsBehind()
    {
        TempProgramFolder dir;
        const QString path = fileWithNumbers(dir, { 1, 2, 3, 4 });
        DeleteContact(2, path);
        QCOMPARE(contents(path), (QList<QPair<int, QString>> { { 1, "n1" }, { 2, "n3" }, { 3, "n4" } }));
        QCOMPARE(QFileInfo(path).size(), 3 * 3436);

        const QByteArray before = readFileBytes(path);
        DeleteContact(9, path);
        QCOMPARE(readFileBytes(path), before);

        DeleteContact(3, path);
        DeleteContact(1, path);
        QCOMPARE(contents(path), (QList<QPair<int, QString>> { { 1, "n3" } }));

        const QString missing = dir.file("none.db1");
        DeleteContact(1, missing);
        QVERIFY(!QFile::exists(missing));
    }

    void deleteNeverLeavesANumberTwice()
    {
        // Numbers not by position (a file from elsewhere): renumbering only
        // the records behind the deleted one would give 2 twice.
        TempProgramFolder dir;
        const QString path = fileWithNumbers(dir, { 2, 9, 1 });
        DeleteContact(9, path);
        QCOMPARE(contents(path), (QList<QPair<int, QString>> { { 1, "n2" }, { 2, "n1" } }));
    }

    // Stamps 10, 20, 30, 20 (a copy made elsewhere shares 20).
    void locateFindsTheContactWhereverItMoved_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("unikat");
        QTest::addColumn<int>("position");
        QTest::newRow("in its place") << 3 << 30.0 << 3;
        QTest::newRow("moved down") << 4 << 30.0 << 3;
        QTest::newRow("moved up") << 1 << 30.0 << 3;
        QTest::newRow("past the end") << 9 << 10.0 << 1;
        QTest::newRow("twice: its own place first") << 4 << 20.0 << 4;
        QTest::newRow("twice: else the nearest below") << 3 << 20.0 << 2;
        QTest::newRow("twice: past the end") << 7 << 20.0 << 4;
        QTest::newRow("gone") << 2 << 25.0 << 0;
        QTest::newRow("no number") << 0 << 10.0 << 1;
    }

    void locateFindsTheContactWhereverItMoved()
    {
        QFETCH(int, number);
        QFETCH(double, unikat);
        QFETCH(int, position);
        TempProgramFolder dir;
        const QString path = fileWithNumbers(dir, { 1, 2, 3, 4 });
        const double stamps[] = { 10, 20, 30, 20 };
        for (int i = 1; i <= 4; ++i) {
            ContactRecord r = person("x", i);
            r.unikat = stamps[i - 1];
            WriteContact(i, path, r);
        }
        QCOMPARE(LocateContacts(path, { { number, unikat } }), QList<int> { position });
        QCOMPARE(LocateContacts(dir.file("none.db1"), { { number, unikat } }), QList<int> { 0 });
        // Many at once, in one pass, each as alone; read as well, in one more.
        QCOMPARE(
            LocateContacts(path, { { 2, 25.0 }, { number, unikat }, { 1, 10.0 } }), QList<int>({ 0, position, 1 }));
        const QList<LocatedContact> read = ReadLocatedContacts(path, { { 2, 25.0 }, { number, unikat } });
        QCOMPARE(read[0].position, 0);
        QCOMPARE(read[1].position, position);
        QCOMPARE(read[1].record.cislo, position);
        QCOMPARE(read[1].record.unikat, position == 0 ? 0.0 : unikat);
    }

    // Positions asked for in any order, twice, outside the file: read in
    // one pass (or one read for one), each as ReadContact reads it.
    void readContactsAtManyPositions_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QList<int>>("held");
        QTest::newRow("several") << QList<int> { 4, 2, 4, 9, 0, -1 } << QList<int> { 2, 4 };
        QTest::newRow("one") << QList<int> { 3 } << QList<int> { 3 };
        QTest::newRow("one past the end") << QList<int> { 5 } << QList<int>();
        QTest::newRow("none") << QList<int>() << QList<int>();
    }

    void readContactsAtManyPositions()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QList<int>, held);
        TempProgramFolder dir;
        const QString path = fileWithNumbers(dir, { 1, 2, 3, 4 });
        const QHash<int, ContactRecord> read = ReadContactsAt(path, positions);
        QCOMPARE(read.size(), held.size());
        for (int position : held) {
            int at = position;
            ContactRecord one;
            ReadContact(at, path, one);
            QCOMPARE(read.value(position), one);
        }
        QVERIFY(ReadContactsAt(dir.file("none.db1"), positions).isEmpty());
    }

    // The clock stands still; each stamp is new to the file and later than
    // the one before, a millisecond apart.
    void newStampsAreNeverShared()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.db1");
        const FixedClock clock(QDateTime(QDate(2024, 10, 27), QTime(2, 30)));
        const auto ms = [](double dt) { return qRound64(dt * 86400000.0); };
        const qint64 now = ms(Now());
        ContactRecord r = person("taken", 1);
        r.unikat = double(now + 1) / 86400000.0;
        WriteContact(1, path, r);
        qint64 previous = 0;
        for (int i = 0; i < 3; ++i) {
            const double stamp = NewContactStamp(path);
            QVERIFY(ms(stamp) >= now);
            QVERIFY(ms(stamp) != now + 1);
            QVERIFY(ms(stamp) > previous);
            previous = ms(stamp);
            ContactRecord n = person("new", i + 2);
            n.unikat = stamp;
            WriteContact(i + 2, path, n);
        }
    }

    void anyDeleted()
    {
        TempProgramFolder dir;
        const QString path = fileWithNumbers(dir, { 1, 2, 3 });
        QVERIFY(!AnyDeleted(path));
        QVERIFY(!AnyDeleted(dir.file("none.db1")));
        ContactRecord r = person("gone", 3);
        r.vymazano = true;
        WriteContact(3, path, r);
        QVERIFY(AnyDeleted(path));
        // Only 1 marks a deletion.
        QByteArray b = readFileBytes(path);
        b[2 * 3436 + 3430] = 2;
        writeFileBytes(path, b);
        QVERIFY(!AnyDeleted(path));
    }

    void cleanPhoneNumber()
    {
        QCOMPARE(CleanPhoneNumber("+420 (777) 123-456 *1#"), QString("+420777123456*1"));
        QCOMPARE(CleanPhoneNumber("tel. ٣٤"), QString()); // other digits do not count
        QCOMPARE(CleanPhoneNumber(""), QString());
    }
};

QTEST_GUILESS_MAIN(TestContactFile)
#include "tst_contactfile.moc"
