#include "platform/inifile.h"

#include "testsupport.h"

#include <QFile>
#include <QTest>

#include <thread>

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void readsValuesAsTheProfileApiDid()
    {
        TempProgramFolder dir;
        writeFileBytes(dir.iniPath(),
                       "; comment\r\n[Nastav]\r\n  Pripopak = 5  \r\nquoted=\"  a b  \"\r\nsingle='x'\r\n"
                       "hex=0x10\r\nHEX2=0XfF\r\nbad=12a\r\nbool2=2\r\nbool0=0\r\nneg=-7\r\nempty=\r\n"
                       "[Jin\xe1]\r\nkl\xed\xe8=\xe8\xe1st\r\n");
        const IniFile ini(dir.iniPath());
        QCOMPARE(ini.readInteger("NASTAV", "pripopak", 1), 5);
        QCOMPARE(ini.readString("nastav", "quoted", "d"), QString("  a b  "));
        QCOMPARE(ini.readString("nastav", "single", "d"), QString("x"));
        QCOMPARE(ini.readInteger("nastav", "hex", 0), 16);
        QCOMPARE(ini.readInteger("nastav", "hex2", 0), 255);
        QCOMPARE(ini.readInteger("nastav", "bad", 42), 42);
        QCOMPARE(ini.readInteger("nastav", "empty", 42), 42);
        QCOMPARE(ini.readInteger("nastav", "neg", 0), -7);
        QCOMPARE(ini.readBool("nastav", "bool2", false), true);
        QCOMPARE(ini.readBool("nastav", "bool0", true), false);
        QCOMPARE(ini.readBool("nastav", "missing", true), true);
        QCOMPARE(ini.readString("nastav", "empty", "d"), QString());
        QCOMPARE(ini.readString("nastav", "missing", "d"), QString("d"));
        QCOMPARE(ini.readString("Jiná", "klíč", ""), QString("část"));
        QCOMPARE(ini.readString("nowhere", "pripopak", "d"), QString("d"));
        QCOMPARE(ini.readSection("nastav").first(), QString("Pripopak"));
        // A snapshot reads the same, from the file as it was when it was taken.
        const IniSnapshot snapshot(dir.iniPath());
        writeFileBytes(dir.iniPath(), "[Nastav]\r\npripopak=9\r\n");
        QCOMPARE(snapshot.readInteger("NASTAV", "pripopak", 1), 5);
        QCOMPARE(snapshot.readString("Jiná", "klíč", ""), QString("část"));
        QCOMPARE(ini.readInteger("NASTAV", "pripopak", 1), 9);
    }
    void readIsLimitedTo1023Characters()
    {
        TempProgramFolder dir;
        IniFile ini(dir.iniPath());
        ini.writeString("S", "long", QString(2000, u'x'));
        QCOMPARE(ini.readString("S", "long", "").size(), 1023);
        // The file itself keeps the whole value.
        QVERIFY(readFileBytes(dir.iniPath()).contains(QByteArray(2000, 'x')));
    }
    void writesKeepOtherLinesAndUseCp1250Crlf()
    {
        TempProgramFolder dir;
        writeFileBytes(dir.iniPath(), "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
        IniFile ini(dir.iniPath());
        ini.writeInteger("a", "X", 3);       // existing key, other case
        ini.writeString("a", "z", "žluť");   // new key in an existing section
        ini.writeBool("C", "on", true);      // new section
        ini.writeBool("C", "off", false);
        QCOMPARE(readFileBytes(dir.iniPath()),
                 QByteArray("; keep me\r\n[A]\r\nx=3\r\nz=\x9elu\x9d\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\non=1\r\noff=0\r\n"));
        ini.deleteKey("A", "z");
        ini.eraseSection("b");
        QCOMPARE(readFileBytes(dir.iniPath()), QByteArray("; keep me\r\n[A]\r\nx=3\r\n\r\n[C]\r\non=1\r\noff=0\r\n"));
        QVERIFY(ini.sectionExists("c"));
        QVERIFY(!ini.sectionExists("b"));
        QVERIFY(ini.valueExists("A", "X"));
    }
    void lineBreaksInAValueCannotSplitTheFile()
    {
        TempProgramFolder dir;
        IniFile ini(dir.iniPath());
        ini.writeString("S", "k", "a\r\n[T]\nb=c");
        QVERIFY(!ini.sectionExists("T"));
        QCOMPARE(ini.readString("S", "k", ""), QString("a  [T] b=c"));
    }
    void failedWriteRaisesAndKeepsTheFile()
    {
        TempProgramFolder dir;
        IniFile missingFolder(dir.file("no/such/folder/korvel.ini"));
        QVERIFY_THROWS_EXCEPTION(IniWriteError, missingFolder.writeString("S", "k", "v"));
        try {
            missingFolder.writeInteger("S", "k", 1);
        } catch (const IniWriteError& e) {
            QCOMPARE(e.message(), "Chyba při práci se souborem " + e.path() + ": adresář nebo soubor neexistuje.");
        }
        // A read-only file: root may write anyway, so only check when it refuses.
        writeFileBytes(dir.iniPath(), "[S]\r\nk=old\r\n");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        IniFile ro(dir.iniPath());
        bool threw = false;
        try {
            ro.writeString("S", "k", "new");
        } catch (const IniWriteError&) {
            threw = true;
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ro.readString("S", "k", ""), threw ? QString("old") : QString("new"));
    }

    // Two programs writing at once: each write waits for the other's and
    // starts from what it left, so no key is lost.
    void writersAtTheSameTimeLoseNothing()
    {
        TempProgramFolder dir;
        IniFile ini(dir.iniPath());
        const auto write = [&](const QString& section) {
            for (int i = 0; i < 40; ++i)
                ini.writeInteger(section, QString::number(i), i);
        };
        std::thread other(write, QStringLiteral("A"));
        write(QStringLiteral("B"));
        other.join();
        QCOMPARE(ini.readSection("A").size() + ini.readSection("B").size(), 80);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
