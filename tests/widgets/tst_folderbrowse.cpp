#include "components/fileutil.h"
#include "platform/dialogs.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

class TestFolderBrowse : public QObject {
    Q_OBJECT

private slots:
    void stripTrailingBackslash_data();
    void stripTrailingBackslash();
    void acceptableNames_data();
    void acceptableNames();
    void existingDirectory();
    void longNamesFollowTheDisk();
    void longPathOfMissingFolders();
    void filePathParts_data();
    void filePathParts();
    void pickDirectoryScripted();
    void computersCannotBeBrowsed();
    void realDialogControls();
    void realDialogReturnsChosenFolder();

private:
    // Runs check on the folder dialog once it is up, then closes it.
    static void whenDialogShown(const std::function<void(QFileDialog*)>& check);
};

void TestFolderBrowse::whenDialogShown(const std::function<void(QFileDialog*)>& check)
{
    QTimer::singleShot(0, qApp, [check] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        check(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

void TestFolderBrowse::stripTrailingBackslash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("lone backslash") << "\\"
                                    << "\\";
    QTest::newRow("folder") << "/home/a/"
                            << "/home/a";
    QTest::newRow("only one removed") << "/home/a//"
                                      << "/home/a/";
    QTest::newRow("no separator") << "/home/a"
                                  << "/home/a";
    QTest::newRow("drive root") << "C:\\"
                                << "C:\\";
    QTest::newRow("drive root lower, slash") << "c:/"
                                             << "c:/";
    QTest::newRow("windows folder") << "C:\\Data\\"
                                    << "C:\\Data";
    QTest::newRow("digit is no drive") << "1:\\"
                                       << "1:";
    QTest::newRow("two characters") << "a/"
                                    << "a";
}

void TestFolderBrowse::stripTrailingBackslash()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(StripTrailingBackslash(path), expected);
}

void TestFolderBrowse::acceptableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("vertical bar") << "a|b.wav" << false;
    QTest::newRow("left bracket") << "take[1].wav" << false;
    QTest::newRow("right bracket") << "take].wav" << false;
    QTest::newRow("less than") << "a<b" << false;
    QTest::newRow("greater than") << "a>b" << false;
    QTest::newRow("double quote") << "\"a b\"" << false;
    QTest::newRow("full linux path with blank") << "/home/jan/Hudba/zvuk 1.wav" << true;
    QTest::newRow("full windows path") << "C:\\Program Files\\Korvel\\korvel.ini" << true;
    QTest::newRow("czech letters") << "připomínka.wav" << true;
}

void TestFolderBrowse::acceptableNames()
{
    QFETCH(QString, name);
    QFETCH(bool, acceptable);
    QCOMPARE(IsAcceptableFileName(name), acceptable);
}

void TestFolderBrowse::existingDirectory()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Zvuky/Staré")));
    QFile file(tmp.filePath(QStringLiteral("a.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QVERIFY(IsExistingDirectory(tmp.path()));
    QVERIFY(IsExistingDirectory(tmp.path() + QStringLiteral("/Zvuky/")));
    QVERIFY(IsExistingDirectory(QStringLiteral("/")));
    // Stored paths: backslashes and another letter case still find the folder.
    QVERIFY(IsExistingDirectory(tmp.path() + QStringLiteral("\\zvuky\\staré")));
    QVERIFY(!IsExistingDirectory(tmp.filePath(QStringLiteral("a.wav"))));
    QVERIFY(!IsExistingDirectory(tmp.filePath(QStringLiteral("missing"))));
    QVERIFY(!IsExistingDirectory(QString()));
    QVERIFY(!IsExistingDirectory(QStringLiteral("C:\\Windows")));
    QVERIFY(!IsExistingDirectory(QStringLiteral("\\\\server\\share")));
}

void TestFolderBrowse::longNamesFollowTheDisk()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Zvuky")));
    QFile file(tmp.filePath(QStringLiteral("Zvuky/Gong.WAV")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QString typed = tmp.path() + QStringLiteral("/zvuky/gong.wav");
    QCOMPARE(ToLongFileName(typed), QStringLiteral("Gong.WAV"));
    QCOMPARE(ToShortFileName(typed), QStringLiteral("Gong.WAV"));
    QCOMPARE(ToLongPath(typed), tmp.path() + QStringLiteral("/Zvuky/Gong.WAV"));
    QCOMPARE(ToShortPath(typed), tmp.path() + QStringLiteral("/Zvuky/Gong.WAV"));
    // The separators stay as typed.
    QCOMPARE(ToLongPath(tmp.path() + QStringLiteral("\\ZVUKY")), tmp.path() + QStringLiteral("\\Zvuky"));
    QCOMPARE(ToLongFileName(tmp.filePath(QStringLiteral("nothing.wav"))), QString());
    QCOMPARE(ToLongFileName(QStringLiteral("/")), QString());
    QCOMPARE(ToLongFileName(QString()), QString());
    QCOMPARE(ToLongFileName(QStringLiteral("C:\\korvel.ini")), QString());
}

void TestFolderBrowse::longPathOfMissingFolders()
{
    QTemporaryDir tmp;
    // Components that are not found contribute empty names.
    QCOMPARE(ToLongPath(tmp.path() + QStringLiteral("/nic/dal/x.wav")), tmp.path() + QStringLiteral("///"));
    QCOMPARE(ToLongPath(QStringLiteral("C:\\nic\\x")), QStringLiteral("C:\\\\"));
    QCOMPARE(ToLongPath(QStringLiteral("/")), QStringLiteral("/"));
    QCOMPARE(ToLongPath(QStringLiteral("relative")), QStringLiteral("relative"));
    QCOMPARE(ToLongPath(QString()), QString());
}

void TestFolderBrowse::filePathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("linux") << "/home/a/b.wav"
                           << "/home/a/"
                           << "b.wav";
    QTest::newRow("windows") << "C:\\Zvuky\\b.wav"
                             << "C:\\Zvuky\\"
                             << "b.wav";
    QTest::newRow("drive only") << "C:b.wav"
                                << "C:"
                                << "b.wav";
    QTest::newRow("bare name") << "b.wav"
                               << ""
                               << "b.wav";
    QTest::newRow("folder with separator") << "/home/a/"
                                           << "/home/a/"
                                           << "";
    QTest::newRow("root") << "/"
                          << "/"
                          << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("relative stored") << "\\sound\\a b.wav"
                                     << "\\sound\\"
                                     << "a b.wav";
}

void TestFolderBrowse::filePathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QCOMPARE(ExtractFilePath(path), folder);
    QCOMPARE(ExtractFileName(path), name);
}

void TestFolderBrowse::pickDirectoryScripted()
{
    ScriptedDialogs scripted;
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("cil")));

    // Cancelled: false, the path as it was.
    QString path = tmp.path();
    QVERIFY(!PickDirectory(path, QStringLiteral("Vyber nebo vytvoř adresář"), 0));
    QCOMPARE(path, tmp.path());
    QCOMPARE(Dialogs::fileRequests().size(), 1);
    QCOMPARE(Dialogs::fileRequests().last().dir, tmp.path());

    // Chosen: the folder without its trailing separator.
    Dialogs::queueFileAnswer(tmp.path() + QStringLiteral("/cil/"));
    QVERIFY(PickDirectory(path, QString(), 0));
    QCOMPARE(path, tmp.path() + QStringLiteral("/cil"));

    // A preset that is no folder starts at the home folder.
    path = tmp.filePath(QStringLiteral("neni"));
    QVERIFY(!PickDirectory(path, QString(), 0));
    QCOMPARE(Dialogs::fileRequests().last().dir, QDir::homePath());
    QCOMPARE(path, tmp.filePath(QStringLiteral("neni")));

    TBrowseFolderDlg fromRoot;
    fromRoot.SetDesktopRoot(false);
    QVERIFY(!fromRoot.RunDialog());
    QCOMPARE(Dialogs::fileRequests().last().dir, QStringLiteral("/"));
}

void TestFolderBrowse::computersCannotBeBrowsed()
{
    ScriptedDialogs scripted;
    Dialogs::queueFileAnswer(QStringLiteral("/tmp"));
    TBrowseFolderDlg dialog;
    dialog.SetBrowseKind(bfComputers);
    dialog.SetFolderName(QStringLiteral("PC1"));
    QVERIFY(!dialog.RunDialog());
    QCOMPARE(dialog.FolderName(), QStringLiteral("PC1"));
    QVERIFY(Dialogs::fileRequests().isEmpty());
}

void TestFolderBrowse::realDialogControls()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("sub")));

    TBrowseFolderDlg plain;
    plain.SetFolderName(tmp.path());
    QSignalSpy initialized(&plain, &TBrowseFolderDlg::OnInitialized);
    bool checked = false;
    whenDialogShown([&](QFileDialog* dialog) {
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("HelpButton")));
        QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("DialogText")));
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(tmp.path()).canonicalPath());
        // Centred on the screen.
        const QRect screen = dialog->screen()->availableGeometry();
        QVERIFY(qAbs(dialog->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(dialog->frameGeometry().center().y() - screen.center().y()) <= 1);
        // OK only for an existing folder.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
        QVERIFY(name && ok);
        name->setText(QStringLiteral("neexistuje"));
        QVERIFY(!ok->isEnabled());
        name->setText(QStringLiteral("sub"));
        QVERIFY(ok->isEnabled());
        checked = true;
    });
    QVERIFY(!plain.RunDialog());
    QVERIFY(checked);
    QCOMPARE(initialized.size(), 1);

    TBrowseFolderDlg helped;
    helped.SetHelpContext(510);
    helped.SetDialogText(QStringLiteral("Vyber nebo vytvoř adresář"));
    checked = false;
    whenDialogShown([&](QFileDialog* dialog) {
        auto* help = dialog->findChild<QPushButton*>(QStringLiteral("HelpButton"));
        QVERIFY(help);
        QCOMPARE(help->text(), QStringLiteral("&Help"));
        auto* text = dialog->findChild<QLabel*>(QStringLiteral("DialogText"));
        QVERIFY(text);
        QCOMPARE(text->text(), QStringLiteral("Vyber nebo vytvoř adresář"));
        checked = true;
    });
    QVERIFY(!helped.RunDialog());
    QVERIFY(checked);
}

void TestFolderBrowse::realDialogReturnsChosenFolder()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("sub")));
    TBrowseFolderDlg dialog;
    dialog.SetFolderName(tmp.path());
    whenDialogShown([](QFileDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("sub"));
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    QVERIFY(dialog.RunDialog());
    QCOMPARE(QDir(dialog.FolderName()).canonicalPath(), QDir(tmp.filePath(QStringLiteral("sub"))).canonicalPath());
    QVERIFY(!dialog.FolderName().endsWith(u'/'));
    QCOMPARE(dialog.Selection(), dialog.FolderName());
}

QTEST_MAIN(TestFolderBrowse)
#include "tst_folderbrowse.moc"
