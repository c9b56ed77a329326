// The version-information reader: the block layout it writes, the block it
// finds in a file, every entry, translations, version numbers, build flags,
// linked controls, and damaged or hostile blocks and files.
#include "components/korvelversion.h"
#include "components/versinfo.h"
#include "components/versionblock.h"

#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <sys/stat.h>

namespace {

using VersionBlock::Content;
using VersionBlock::StringEntry;
using VersionBlock::Translation;

QString Text(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

QByteArray Block(const Content& c)
{
    const std::vector<unsigned char> bytes = VersionBlock::Write(c);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

void PutWord(QByteArray& b, qsizetype at, quint16 w)
{
    b[at] = char(w & 0xFF);
    b[at + 1] = char(w >> 8);
}

const StringEntry AllStrings[] = {
    { u"CompanyName", u"Firma s.r.o." },
    { u"FileDescription", u"Připomínky a kontakty" },
    { u"FileVersion", u"verze jako text" },
    { u"InternalName", u"ruvo" },
    { u"LegalCopyright", u"© 2024 Žluťoučký kůň" },
    { u"LegalTrademarks", u"Korvel™" },
    { u"OriginalFilename", u"ruvo.exe" },
    { u"ProductName", u"Korvel" },
    { u"ProductVersion", u"1.2 beta" },
    { u"Comments", u"úpěl ďábelské ódy" },
    { u"BuildFlags", u"soukromé sestavení" },
};

const Translation Czech[] = { { 0x0405, 0x04E2 } };
const Translation English[] = { { 0x0409, 0x04E4 } };
const Translation Zeros[] = { { 0, 0 } };

// Version 1.2.3.4, product 5.6.7.8.
Content Sample(std::u16string_view table = u"040504E2", std::span<const Translation> translations = Czech,
    std::span<const StringEntry> strings = AllStrings)
{
    Content c;
    c.FixedInfo.FileVersionMS = 1 << 16 | 2;
    c.FixedInfo.FileVersionLS = 3 << 16 | 4;
    c.FixedInfo.ProductVersionMS = 5 << 16 | 6;
    c.FixedInfo.ProductVersionLS = 7 << 16 | 8;
    c.TableKey = table;
    c.Strings = strings;
    c.Translations = translations;
    return c;
}

} // namespace

class TestVersionInfo : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // A file holding bytes; its path.
    QString File(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1").arg(++m_files));
        writeFileBytes(path, bytes);
        return path;
    }

    // Every value found must lie inside the block.
    static void CheckInside(QByteArrayView block, QStringView path)
    {
        const VersionBlock::ValueRef v = VersionBlock::Query(block, path);
        if (v.Found())
            QVERIFY2(v.Offset >= 0 && v.Size >= 0 && v.Offset + v.Size <= block.size(), qPrintable(path.toString()));
        VersionBlock::QueryText(block, path);
    }

private slots:
    void writerLaysOutTheBlockAtTheKnownOffsets()
    {
        const StringEntry one[] = { { u"CompanyName", u"A" } };
        const QByteArray b = Block(Sample(u"040904E4", English, one));
        // Root: header 6 + "VS_VERSION_INFO\0" 32 = 38, padded to 40; fixed
        // part 52 → 92.
        QCOMPARE(b.size(), 256);
        QCOMPARE(VersionBlock::Word(b, 0), 256);
        QCOMPARE(VersionBlock::Word(b, 2), 52);
        QCOMPARE(VersionBlock::Word(b, 4), 0);
        QCOMPARE(b.mid(6, 4), QByteArray("V\0S\0", 4));
        QCOMPARE(VersionBlock::Word(b, 36), 0); // the key's zero
        QCOMPARE(VersionBlock::Dword(b, 40), 0xFEEF04BDu);
        QCOMPARE(VersionBlock::Dword(b, 44), 0x00010000u);
        QCOMPARE(VersionBlock::Dword(b, 48), 0x00010002u);
        QCOMPARE(VersionBlock::Dword(b, 52), 0x00030004u);
        QCOMPARE(VersionBlock::Dword(b, 56), 0x00050006u);
        QCOMPARE(VersionBlock::Dword(b, 60), 0x00070008u);
        QCOMPARE(VersionBlock::Dword(b, 64), 0x3Fu); // flags mask
        QCOMPARE(VersionBlock::Dword(b, 76), 1u); // an application
        // "StringFileInfo" at 92: 6 + 30 = 36 → its table at 128: 6 + 18 = 24
        // → the string at 152: 6 + 24 = 30, padded to 32 → "A\0" at 184.
        QCOMPARE(VersionBlock::Word(b, 92), 96);
        QCOMPARE(VersionBlock::Word(b, 94), 0);
        QCOMPARE(VersionBlock::Word(b, 96), 1);
        QCOMPARE(VersionBlock::Word(b, 98), u'S');
        QCOMPARE(VersionBlock::Word(b, 128), 60);
        QCOMPARE(VersionBlock::Word(b, 134), u'0');
        QCOMPARE(VersionBlock::Word(b, 152), 36);
        QCOMPARE(VersionBlock::Word(b, 154), 2); // characters with the zero
        QCOMPARE(VersionBlock::Word(b, 156), 1);
        QCOMPARE(VersionBlock::Word(b, 184), u'A');
        QCOMPARE(VersionBlock::Word(b, 186), 0);
        // "VarFileInfo" at 188: 6 + 24 = 30 → 32; "Translation" at 220, its
        // value at 252.
        QCOMPARE(VersionBlock::Word(b, 188), 68);
        QCOMPARE(VersionBlock::Word(b, 220), 36);
        QCOMPARE(VersionBlock::Word(b, 222), 4); // bytes
        QCOMPARE(VersionBlock::Word(b, 224), 0);
        QCOMPARE(VersionBlock::Word(b, 252), 0x0409);
        QCOMPARE(VersionBlock::Word(b, 254), 0x04E4);

        // Without a string table and translations only the root remains.
        const QByteArray bare = Block(Sample({}, {}, {}));
        QCOMPARE(bare.size(), 92);
        QCOMPARE(VersionBlock::Word(bare, 0), 92);

        // Lengths have 16 bits: a longer block is refused, not cut.
        const std::u16string longText(40000, u'x');
        const StringEntry huge[] = { { u"Comments", longText } };
        QVERIFY_THROWS_EXCEPTION(std::length_error, Block(Sample(u"040504E2", Czech, huge)));
    }

    void queriesFindValuesByPathWithoutRegardToCase()
    {
        const QByteArray b = Block(Sample());
        const VersionBlock::ValueRef root = VersionBlock::Query(b, u"\\");
        QCOMPARE(root.Offset, 40);
        QCOMPARE(root.Size, 52);
        QCOMPARE(VersionBlock::QueryText(b, u"\\StringFileInfo\\040504e2\\legalcopyright"),
            QStringLiteral("© 2024 Žluťoučký kůň"));
        QCOMPARE(VersionBlock::Query(b, u"\\VarFileInfo\\Translation").Size, 4);
        QVERIFY(!VersionBlock::Query(b, u"\\StringFileInfo\\040504E2\\Nothing").Found());
        QVERIFY(!VersionBlock::Query(b, u"\\StringFileInfo\\040904E4\\CompanyName").Found());
        // A string has no children.
        QVERIFY(!VersionBlock::Query(b, u"\\StringFileInfo\\040504E2\\CompanyName\\x").Found());
        QVERIFY(!VersionBlock::Query(QByteArrayView(), u"\\").Found());
    }

    void everyEntryIsReadFromTheSelectedTranslation()
    {
        TVersionInfoResource info;
        info.SetFilename(File(Block(Sample())));
        QCOMPARE(info.Translations(), QStringList { "040504E2" });
        for (int i = 0; i < PreDefCount; ++i)
            QCOMPARE(info.GetInfoString(i), Text(AllStrings[i].Value));
        QCOMPARE(info.CompanyName(), QStringLiteral("Firma s.r.o."));
        QCOMPARE(info.FileDescription(), QStringLiteral("Připomínky a kontakty"));
        QCOMPARE(info.InternalName(), QStringLiteral("ruvo"));
        QCOMPARE(info.LegalCopyright(), QStringLiteral("© 2024 Žluťoučký kůň"));
        QCOMPARE(info.LegalTrademarks(), QStringLiteral("Korvel™"));
        QCOMPARE(info.OriginalFilename(), QStringLiteral("ruvo.exe"));
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));
        QCOMPARE(info.Comments(), QStringLiteral("úpěl ďábelské ódy"));
        QCOMPARE(info.GetInfoString(-1), QString());
        QCOMPARE(info.GetInfoString(PreDefCount), QString());
        // The numbers come from the fixed part, not from the strings.
        QCOMPARE(info.FileVersion().Text(), QStringLiteral("1.2.3.4"));
        QCOMPARE(info.ProductVersion().Text(), QStringLiteral("5.6.7.8"));
        QCOMPARE(info.SelectedTranslation(), 0);
    }

    void missingEntriesAreEmpty()
    {
        const StringEntry some[] = { { u"ProductName", u"Korvel" }, { u"Comments", u"" } };
        TVersionInfoResource info;
        info.SetFilename(File(Block(Sample(u"040504E2", Czech, some))));
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));
        QCOMPARE(info.Comments(), QString());
        for (int i : { pdCompanyName, pdFileDescription, pdFileVersion, pdLegalCopyright, pdBuildFlags })
            QCOMPARE(info.GetInfoString(i), QString());
        QCOMPARE(info.FileVersion().Text(), QStringLiteral("1.2.3.4"));
    }

    void translationsAreNamedAndDefaulted()
    {
        TVersionInfoResource info;
        // Language 0 is read as 1033, code page 0 as 1252: "040904E4".
        info.SetFilename(File(Block(Sample(u"040904E4", Zeros))));
        QCOMPARE(info.Translations(), QStringList { "040904E4" });
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));

        // Without a translation table the strings of "040904E4" are read …
        info.SetFilename(File(Block(Sample(u"040904E4", {}))));
        QVERIFY(info.Translations().isEmpty());
        QCOMPARE(info.CompanyName(), QStringLiteral("Firma s.r.o."));
        // … and no other table.
        info.SetFilename(File(Block(Sample(u"040504E2", {}))));
        QCOMPARE(info.CompanyName(), QString());

        // Upper-case hexadecimal, language first; the first is read.
        const Translation two[] = { { 0x0405, 0x04e2 }, { 0x0c0a, 0x04b0 } };
        info.SetFilename(File(Block(Sample(u"040504E2", two))));
        QCOMPARE(info.Translations(), QStringList({ "040504E2", "0C0A04B0" }));
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));

        // Only whole entries count.
        QByteArray b = Block(Sample(u"040504E2", two));
        const qsizetype var = VersionBlock::Query(b, u"\\VarFileInfo\\Translation").Offset - 32;
        QCOMPARE(VersionBlock::Word(b, var + 2), 8);
        PutWord(b, var + 2, 6);
        info.SetFilename(File(b));
        QCOMPARE(info.Translations(), QStringList { "040504E2" });
    }

    void versionNumbersSplitIntoFourParts()
    {
        TVersionNumberInformation n;
        QVERIFY(!n.Valid());
        QCOMPARE(n.Text(), QString());
        QCOMPARE(n.Part(0), 0);
        n.Set(0xFFFF0001, 0x00020003);
        QCOMPARE(n.Text(), QStringLiteral("65535.1.2.3"));
        QCOMPARE(n.Part(0), 65535);
        QCOMPARE(n.Part(3), 3);
        QCOMPARE(n.Part(4), 0);
        QCOMPARE(n.Part(-1), 0);
        n.Invalidate();
        QCOMPARE(n.Part(0), 0);
        QCOMPARE(n.Text(), QString());
    }

    void buildFlagsAreNamedInBitOrder_data()
    {
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0u << QString();
        QTest::newRow("debug, pre-release") << 0x03u << QStringLiteral("Debug, Pre-Release");
        QTest::newRow("inferred before patched") << 0x14u << QStringLiteral("Info Inferred, Patched");
        QTest::newRow("all") << 0x3Fu << QStringLiteral("Debug, Info Inferred, Patched, Pre-Release, Private, Special");
        // The mask is not applied, and bits beyond the six are no flags.
        QTest::newRow("beyond") << 0xFFC8u << QStringLiteral("Private");
    }

    void buildFlagsAreNamedInBitOrder()
    {
        QFETCH(quint32, flags);
        QFETCH(QString, text);
        Content c = Sample();
        c.FixedInfo.FileFlags = flags;
        c.FixedInfo.FileFlagsMask = 0;
        TVersionInfoResource info;
        info.SetFilename(File(Block(c)));
        QCOMPARE(info.BuildFlagsText(), text);
    }

    void aFileWithoutABlockGivesNothing()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QByteArray noise(5000, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char(i * 7 + 3);
        const QStringList files { File({}), File(noise), m_dir.filePath("missing"), dir.path(), fifo };

        TVersionInfoResource info;
        auto* label = new QLabel("x");
        info.SetVersionLabel(label);
        for (const QString& f : files) {
            info.SetFilename(File(Block(Sample())));
            QCOMPARE(label->text(), QStringLiteral("1.2.3.4"));
            QElapsedTimer t;
            t.start();
            info.SetFilename(f); // a pipe must not keep it waiting
            QVERIFY(t.elapsed() < 5000);
            QVERIFY2(!info.FileVersion().Valid(), qPrintable(f));
            QVERIFY(!info.ProductVersion().Valid());
            QCOMPARE(info.FileVersion().Text(), QString());
            QCOMPARE(info.BuildFlagsText(), QString());
            QVERIFY(info.Translations().isEmpty());
            QVERIFY(!info.FixedFileInfo().Present());
            QCOMPARE(info.FixedFileInfo().FileVersionMS(), 0u);
            for (int i = 0; i < PreDefCount; ++i)
                QCOMPARE(info.GetInfoString(i), QString());
            QCOMPARE(label->text(), QString());
        }
        delete label;
    }

    void theBlockIsFoundAnywhereInAFile()
    {
        // A program file carries its block among other data, at any offset;
        // a copy of the root key alone is no block.
        QByteArray key;
        for (char c : QByteArrayView("VS_VERSION_INFO")) {
            key.append(c);
            key.append('\0');
        }
        const QByteArray file = QByteArray(13, 'x') + key + QByteArray(7, '\0') + Block(Sample()) + QByteArray(9, 'y');
        TVersionInfoResource info;
        info.SetFilename(File(file));
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));
        QCOMPARE(info.FileVersion().Text(), QStringLiteral("1.2.3.4"));
        QCOMPARE(VersionBlock::Find(file), Block(Sample()));
    }

    void theRunningProgramCarriesTheBuildsVersion()
    {
        TVersionInfoResource info;
        QCOMPARE(info.ModuleFileName(), QCoreApplication::applicationFilePath());
        info.Loaded();
        QCOMPARE(info.Translations(), QStringList { Text(KorvelVersion::TableKey) });
        QCOMPARE(info.ProductName(), Text(KorvelVersion::ProductName));
        QCOMPARE(info.FileDescription(), Text(KorvelVersion::FileDescription));
        QCOMPARE(info.CompanyName(), Text(KorvelVersion::CompanyName));
        QCOMPARE(info.LegalCopyright(), Text(KorvelVersion::LegalCopyright));
        QCOMPARE(info.Comments(), Text(KorvelVersion::Comments));
        QCOMPARE(info.GetInfoString(pdProductVersion), Text(KorvelVersion::ProductVersion));
        QCOMPARE(info.GetInfoString(pdFileVersion), Text(KorvelVersion::FileVersion));
        // The string and the numbers tell the same version.
        QCOMPARE(info.FileVersion().Text(), Text(KorvelVersion::FileVersion));
        QCOMPARE(info.FileVersion().Part(0), int(KorvelVersion::Major));
        QCOMPARE(info.OriginalFilename(), QString());
        QCOMPARE(info.BuildFlagsText(), KorvelVersion::FileFlags & 1 ? QStringLiteral("Debug") : QString());

        // Another program file of the build carries the same block.
        const QString ruvo = qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/src/reminders/ruvo");
        if (QFileInfo::exists(ruvo)) {
            TVersionInfoResource other;
            other.SetFilename(ruvo);
            QCOMPARE(other.ProductName(), Text(KorvelVersion::ProductName));
        }
    }

    void aLongPathIsReadWhole()
    {
        QString folder = m_dir.path();
        while (folder.size() < 300)
            folder += QStringLiteral("/slozka-s-dlouhym-jmenem");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/program");
        writeFileBytes(path, Block(Sample()));
        TVersionInfoResource info;
        info.SetFilename(path);
        QCOMPARE(info.ModuleFileName(), path);
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));
    }

    void forceExeRereadsOnlyWhenChanged()
    {
        const QString path = File(Block(Sample()));
        TVersionInfoResource info;
        info.SetFilename(path);
        const StringEntry renamed[] = { { u"ProductName", u"Jiný" } };
        writeFileBytes(path, Block(Sample(u"040504E2", Czech, renamed)));
        info.SetForceEXE(false);
        QCOMPARE(info.ProductName(), QStringLiteral("Korvel"));
        info.SetForceEXE(true);
        QCOMPARE(info.ProductName(), QStringLiteral("Jiný"));
        QCOMPARE(info.ModuleFileName(), path);
        QCOMPARE(TVersionInfoResource::Version(), QStringLiteral("TVersionInfoResource v2.30"));
    }

    void linkedControlsShowTheirEntries()
    {
        TVersionInfoResource info;
        info.SetFilename(File(Block(Sample())));
        QTreeWidget view;
        info.SetVersionListView(&view);
        QCOMPARE(view.columnCount(), 2);
        QCOMPARE(view.headerItem()->text(0), QStringLiteral("Resource"));
        QCOMPARE(view.headerItem()->text(1), QStringLiteral("Value"));
        QVERIFY(view.editTriggers() == QAbstractItemView::NoEditTriggers);
        QVERIFY(!view.header()->sectionsClickable());
        auto rows = [&view] {
            QStringList r;
            for (int i = 0; i < view.topLevelItemCount(); ++i)
                r << view.topLevelItem(i)->text(0) + u'=' + view.topLevelItem(i)->text(1);
            return r;
        };
        QCOMPARE(rows(),
            QStringList({ "Product Name=Korvel", "Product Version=5.6.7.8", "Company Name=Firma s.r.o.",
                "Legal Copyright=© 2024 Žluťoučký kůň", "Legal Trademarks=Korvel™",
                "File Description=Připomínky a kontakty", "File Version=1.2.3.4", "Internal Name=ruvo",
                "Original Filename=ruvo.exe", "Comments=úpěl ďábelské ódy" }));

        // A linked label takes its row away; unlinking keeps it away.
        auto* copyright = new QLabel;
        info.SetCopyrightLabel(copyright);
        QCOMPARE(copyright->text(), QStringLiteral("© 2024 Žluťoučký kůň"));
        QVERIFY(!info.ShowResource().test(pdLegalCopyright));
        QVERIFY(!rows().join('|').contains("Legal Copyright"));
        QCOMPARE(rows().size(), 9);
        info.SetCopyrightLabel(nullptr);
        QVERIFY(!info.ShowResource().test(pdLegalCopyright));

        QLabel version, product, description;
        info.SetVersionLabel(&version);
        info.SetProductLabel(&product);
        info.SetDescriptionLabel(&description);
        QCOMPARE(version.text(), QStringLiteral("1.2.3.4"));
        QCOMPARE(product.text(), QStringLiteral("Korvel"));
        QCOMPARE(description.text(), QStringLiteral("Připomínky a kontakty"));
        QCOMPARE(rows(),
            QStringList({ "Product Version=5.6.7.8", "Company Name=Firma s.r.o.", "Legal Trademarks=Korvel™",
                "Internal Name=ruvo", "Original Filename=ruvo.exe", "Comments=úpěl ďábelské ódy" }));

        // The build flags have a row when set; ShowResource filters.
        Content c = Sample();
        c.FixedInfo.FileFlags = 0x08;
        info.SetFilename(File(Block(c)));
        QVERIFY(rows().contains("Build Flags=Private"));
        TPreDefs only;
        only.set(pdComments).set(pdBuildFlags);
        info.SetShowResource(only);
        QCOMPARE(rows(), QStringList({ "Build Flags=Private", "Comments=úpěl ďábelské ódy" }));

        // A destroyed control is forgotten.
        delete copyright;
        info.SetCopyrightLabel(nullptr);
        auto* gone = new QLabel;
        info.SetProductLabel(gone);
        delete gone;
        QCOMPARE(info.ProductLabel(), nullptr);
        info.SetFilename(File(Block(Sample())));
        QCOMPARE(version.text(), QStringLiteral("1.2.3.4"));
        info.SetVersionLabel(nullptr);
        info.SetProductLabel(nullptr);
        info.SetDescriptionLabel(nullptr);
        info.SetVersionListView(nullptr);
    }

    void damagedBlocksAreRefusedOrReadSafely()
    {
        const QByteArray good = Block(Sample());
        // Cut anywhere: the root's length no longer fits, so there is no block.
        for (qsizetype n = 0; n < good.size(); ++n)
            QVERIFY2(VersionBlock::Find(good.left(n)).isEmpty(), qPrintable(QString::number(n)));

        // A root too short for its fixed part.
        QByteArray b = good;
        PutWord(b, 0, 91);
        QVERIFY(VersionBlock::Find(b).isEmpty());

        const qsizetype info = 92; // "StringFileInfo"
        const QString company = QStringLiteral("\\StringFileInfo\\040504E2\\CompanyName");
        // A child longer than its parent, or shorter than a header: the
        // strings are lost, the fixed part is not, and the walk ends.
        for (quint16 length : { quint16(0), quint16(1), quint16(5), quint16(good.size()), quint16(0xFFFF) }) {
            b = good;
            PutWord(b, info, length);
            TVersionInfoResource r;
            r.SetFilename(File(b));
            QCOMPARE(r.CompanyName(), QString());
            QCOMPARE(r.FileVersion().Text(), QStringLiteral("1.2.3.4"));
            QVERIFY(r.Translations().isEmpty()); // a later sibling
        }

        // A key without its zero.
        b = good;
        for (qsizetype at = info + 6; at < info + VersionBlock::Word(good, info); at += 2)
            PutWord(b, at, u'x');
        QCOMPARE(VersionBlock::QueryText(b, company), QString());

        // A string whose value runs past its node.
        b = good;
        const qsizetype value = VersionBlock::Query(good, company).Offset;
        const qsizetype node = value - 32; // header 6 + "CompanyName\0" 24, padded
        QCOMPARE(VersionBlock::Word(good, node + 6), u'C');
        PutWord(b, node + 2, 0x7FFF);
        QCOMPARE(VersionBlock::QueryText(b, company), QString());
        QCOMPARE(VersionBlock::QueryText(b, u"\\StringFileInfo\\040504E2\\ProductName"), QString());
        // A text without its zero ends with its value.
        b = good;
        PutWord(b, value + 2 * 12, u'!');
        QCOMPARE(VersionBlock::QueryText(b, company), QStringLiteral("Firma s.r.o.!"));
    }

    void randomDamageNeverReadsOutsideTheBlock()
    {
        const QByteArray good = Block(Sample());
        const QString paths[] = {
            QStringLiteral("\\"),
            QStringLiteral("\\VarFileInfo\\Translation"),
            QStringLiteral("\\StringFileInfo\\040504E2\\CompanyName"),
            QStringLiteral("\\StringFileInfo\\040504E2\\Comments"),
            QStringLiteral("\\StringFileInfo\\040504E2\\BuildFlags"),
            QStringLiteral("\\StringFileInfo\\040504E2"),
        };
        QRandomGenerator random(20240305);
        for (int round = 0; round < 20000; ++round) {
            QByteArray b = good;
            const int changes = 1 + int(random.bounded(6));
            for (int i = 0; i < changes; ++i) {
                const qsizetype at = random.bounded(int(b.size()));
                b[at] = char(random.bounded(4) == 0 ? 0 : random.bounded(256));
            }
            if (random.bounded(8) == 0)
                b.truncate(random.bounded(int(b.size())));
            for (const QString& p : paths)
                CheckInside(b, p);
            if (QTest::currentTestFailed())
                return;
            const QByteArray found = VersionBlock::Find(b);
            QVERIFY(found.size() <= b.size());
        }
    }
};

QTEST_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
