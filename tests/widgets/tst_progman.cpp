#include "platform/programicon.h"
#include "shared/mojepopredi.h"
#include "shared/progman.h"

#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>

namespace {

QString readText(const QString& path)
{
    return QString::fromUtf8(readFileBytes(path));
}

QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(root.size() + 1);
    files.sort();
    return files;
}

// The validator's whole output; a clean file gives none at all.
QString validatorOutput(const QString& path)
{
    QProcess p;
    p.start("desktop-file-validate", { path });
    if (!p.waitForFinished(10000))
        return "desktop-file-validate did not finish";
    QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        out += QStringLiteral(" exit code %1").arg(p.exitCode());
    return out;
}

QStringList menuFilenames(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return { "unreadable" };
    QXmlStreamReader xml(&f);
    QStringList names;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Filename")
            names << xml.readElementText();
    if (xml.hasError())
        names << "XML error: " + xml.errorString();
    return names;
}

} // namespace

class TestProgman : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    QString m_data;
    QString m_config;
    QString m_program;

private slots:
    void initTestCase()
    {
        QVERIFY(QProcess::execute("desktop-file-validate", { "--help" }) == 0);
        m_data = m_home.filePath("data");
        m_config = m_home.filePath("config");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
        m_program = m_home.filePath("program folder");
        QVERIFY(QDir().mkpath(m_program));
        writeFileBytes(m_program + "/korvel", "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(m_program + "/korvel", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        writeFileBytes(m_program + "/popis.txt", "popis");
    }

    void init()
    {
        QDir(m_data).removeRecursively();
        QDir(m_config).removeRecursively();
    }

    void emptyTextsWriteNothing()
    {
        ProgmanAddItem("Korvel", "", m_program + "/korvel");
        ProgmanAddItem("", "Korvel", m_program + "/korvel");
        ProgmanAddItem("Korvel", "Korvel", "");
        ProgmanAddItem("STARTUP", "", m_program + "/korvel");
        QVERIFY(!QFileInfo::exists(m_data));
        QVERIFY(!QFileInfo::exists(m_config));
    }

    void setupEntriesAsTheReminderProgramMakesThem()
    {
        ProgmanAddItem("STARTUP", "Korvel", m_program + "/korvel");
        ProgmanAddItem("Korvel", "Korvel", m_program + "/korvel");
        ProgmanAddItem("Korvel", "Popis", m_program + "/popis.txt");
        ProgmanAddItem("Korvel", "Nápověda", m_program + "/help/index.html");

        QCOMPARE(filesUnder(m_config), QStringList({ "autostart/korvel.desktop",
                                                     "menus/applications-merged/korvel.menu" }));
        QCOMPARE(filesUnder(m_data),
            QStringList({ "applications/korvel/korvel.desktop", "applications/korvel/napoveda.desktop",
                "applications/korvel/popis.desktop", "desktop-directories/korvel.directory",
                "icons/hicolor/16x16/apps/korvel.png", "icons/hicolor/32x32/apps/korvel.png",
                "icons/hicolor/48x48/apps/korvel.png", "icons/hicolor/64x64/apps/korvel.png" }));
        // The icon the entries name is the organiser's own, at the size of its folder.
        for (int size : { 16, 32, 48, 64 }) {
            const QImage icon(m_data + QStringLiteral("/icons/hicolor/%1x%1/apps/korvel.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            QCOMPARE(icon, ProgramIconPixmap(size).toImage().convertToFormat(icon.format()));
            QCOMPARE(icon.pixelColor(0, 0).alpha(), 0); // the corner is ground
        }

        const QString quotedProgram = "\"" + m_program + "/korvel\"";
        QCOMPARE(readText(m_config + "/autostart/korvel.desktop"),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Korvel\nExec=" + quotedProgram
                + "\nIcon=korvel\nTerminal=false\n");
        QVERIFY(readText(m_data + "/applications/korvel/korvel.desktop").contains("\nExec=" + quotedProgram + "\n"));
        QVERIFY(readText(m_data + "/applications/korvel/popis.desktop")
                    .contains("\nExec=xdg-open \"" + m_program + "/popis.txt\"\n"));
        QVERIFY(readText(m_data + "/applications/korvel/napoveda.desktop").contains("\nName=Nápověda\n"));
        QCOMPARE(readText(m_data + "/desktop-directories/korvel.directory"),
            QString("[Desktop Entry]\nType=Directory\nVersion=1.0\nName=Korvel\nIcon=korvel\n"));
        QCOMPARE(menuFilenames(m_config + "/menus/applications-merged/korvel.menu"),
                 QStringList({ "korvel-korvel.desktop", "korvel-napoveda.desktop", "korvel-popis.desktop" }));

        for (const QString& f : filesUnder(m_data).filter(QRegularExpression("\\.(desktop|directory)$"))
                + filesUnder(m_config).filter(".desktop")) {
            const QString path = (f.startsWith("autostart") ? m_config : m_data) + "/" + f;
            QCOMPARE(validatorOutput(path), QString());
        }
    }

    void addingAgainReplacesTheEntry()
    {
        ProgmanAddItem("Korvel", "Popis", m_program + "/popis.txt");
        ProgmanAddItem("korvel", "POPIS", m_program + "/korvel");
        QCOMPARE(filesUnder(m_data + "/applications"), QStringList({ "korvel/popis.desktop" }));
        QCOMPARE(menuFilenames(m_config + "/menus/applications-merged/korvel.menu"),
                 QStringList({ "korvel-popis.desktop" }));
        QVERIFY(readText(m_data + "/applications/korvel/popis.desktop").contains("Name=POPIS\n"));
        // The group "STARTUP" is known in any letter case.
        ProgmanAddItem("Startup", "Korvel", m_program + "/korvel");
        QVERIFY(QFileInfo::exists(m_config + "/autostart/korvel.desktop"));
    }

    void awkwardNamesAndPathsStayValid()
    {
        const QString dir = m_home.filePath("a b/100% \"q\" $v \\z`; <&>");
        ProgmanAddItem("R&D <Příruční> ", "Žluťoučký kůň / ✓", dir + "/nápověda.txt");
        const QStringList data = filesUnder(m_data).filter(QRegularExpression("^(applications|desktop-dir)"));
        QCOMPARE(data, QStringList({ "applications/r-d-prirucni/zlutoucky-kun.desktop",
                                     "desktop-directories/r-d-prirucni.directory" }));
        for (const QString& f : data)
            QCOMPARE(validatorOutput(m_data + "/" + f), QString());
        // Quoted for Exec ("\" before " ` $ \, "%" doubled), then "\" doubled as a value.
        const QString exec = "Exec=xdg-open \"" + m_home.path()
                             + "/a b/100%% \\\\\"q\\\\\" \\\\$v \\\\\\\\z\\\\`; <&>/nápověda.txt\"\n";
        QVERIFY2(readText(m_data + "/" + data[0]).contains(exec), qPrintable(readText(m_data + "/" + data[0])));
        QCOMPARE(menuFilenames(m_config + "/menus/applications-merged/r-d-prirucni.menu"),
                 QStringList({ "r-d-prirucni-zlutoucky-kun.desktop" }));
        QVERIFY(readText(m_data + "/desktop-directories/r-d-prirucni.directory")
                    .contains("\nName=R&D <Příruční> \n"));

        // A line break in a name stays inside its value.
        ProgmanAddItem("STARTUP", "a\nb\\c", m_program + "/korvel");
        QVERIFY(readText(m_config + "/autostart/a-b-c.desktop").contains("\nName=a\\nb\\\\c\n"));
        QCOMPARE(validatorOutput(m_config + "/autostart/a-b-c.desktop"), QString());
    }

    void bringToFrontRestoresAndActivates()
    {
        QWidget other;
        other.setGeometry(300, 300, 120, 80);
        other.show();
        QWidget window;
        window.setGeometry(10, 10, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());

        BringToFront(&window);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
        QTRY_VERIFY(window.isActiveWindow());
        QCOMPARE(window.geometry(), QRect(10, 10, 200, 100));
        QVERIFY(BringToFront(&window)); // already in front
        // The other window keeps its state and place.
        QCOMPARE(other.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        QCOMPARE(other.geometry(), QRect(300, 300, 120, 80));

        // A maximised window comes back maximised.
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        BringToFront(&window);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isMaximized());
    }
};

QTEST_MAIN(TestProgman)
#include "tst_progman.moc"
