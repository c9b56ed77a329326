// The directory tree on a real folder tree in a temporary folder, its drives
// standing in for mounted volumes: lazy reading and probing, Czech name
// order, hidden and recycle-bin folders, the selected path and its misuse,
// folders gone meanwhile, drives coming and going, another medium, share
// marks, dropped files; and the machine's own volumes with the root.
#include "components/dirtree.h"

#include "platform/errors.h"
#include "platform/mounttable.h"
#include "platform/volumeprobe.h"

#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

QStringList ChildTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList TopTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// A node whose only child is the placeholder of an unread folder.
bool HasOnlyPlaceholder(const QTreeWidgetItem* node)
{
    return node->childCount() == 1 && TDirTree::NodePath(node->child(0)).isEmpty();
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& text)
{
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    return nullptr;
}

// The events of one kind that reach an object it watches.
class EventCounter : public QObject {
public:
    QList<QEvent::Type> Seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::User || event->type() == DeviceChangeEvent())
            Seen << event->type();
        return false;
    }
};

} // namespace

class TestDirTree : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<QWidget> m_window;
    TDirTree* m_tree = nullptr;
    QList<TDriveInfo> m_drives;
    QString m_cwd;

    QString Path(const QString& relative) const { return m_tmp->filePath(relative); }
    QString A() const { return Path(QStringLiteral("A/")); }
    QString B() const { return Path(QStringLiteral("B/")); }
    void MakeDirs(const QStringList& dirs)
    {
        for (const QString& d : dirs)
            QVERIFY(QDir().mkpath(Path(d)));
    }
    // A fixed drive "A" and a removable one "B", both folders of the
    // temporary tree.
    TDriveInfo Drive(const QString& root, TDriveType type, const QString& label, qint32 serial)
    {
        TDriveInfo d;
        d.Root = root;
        d.Type = type;
        d.Label = label;
        d.DisplayName = label.isEmpty() ? root : label;
        d.Serial = serial;
        return d;
    }
    // A tree in a window, fed from m_drives, set up by prepare before it
    // loads.
    TDirTree* MakeTree(const std::function<void(TDirTree*)>& prepare = {})
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 400);
        m_tree = new TDirTree(m_window.get());
        m_tree->setGeometry(0, 0, 300, 400);
        m_tree->SetDriveSource([this] { return m_drives; });
        m_tree->SetInitialDirectory(A());
        if (prepare)
            prepare(m_tree);
        m_tree->Loaded();
        return m_tree;
    }
    QTreeWidgetItem* DriveA() const { return m_tree->FindPathNode(A()); }
    void ExpandA()
    {
        m_tree->expandItem(DriveA());
        QVERIFY(TDirTree::NodeRead(DriveA()));
    }
    QStringList LetterNames(const QTreeWidgetItem* node)
    {
        QStringList names;
        for (const QString& t : ChildTexts(node))
            if (!t.startsWith(u'.'))
                names << t;
        return names;
    }

private slots:
    void init()
    {
        m_cwd = QDir::currentPath();
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        MakeDirs({ "A/zeta", "A/Alfa/sub/deep", "A/beta", "A/hrad", "A/chata", "A/.hidden/inner",
            "A/.Trash-1000/files/old", "B/x" });
        m_drives = { Drive(A(), drtFixed, QStringLiteral("Data"), 11), Drive(B(), drtRemovable, "STICK", 5) };
    }

    void cleanup()
    {
        m_window.reset();
        m_tree = nullptr;
        QDir::setCurrent(m_cwd);
        m_tmp.reset();
    }

    void drivesAreListedInPathOrderWithTheirCaptions()
    {
        // Nothing selected on them, so nothing read.
        MakeTree([this](TDirTree* t) { t->SetInitialDirectory(m_tmp->path()); });
        QCOMPARE(m_tree->SelectedPath(), QStringLiteral("?"));
        QCOMPARE(TopTexts(m_tree), QStringList({ "Data (" + Path("A") + ")", "STICK" }));
        QCOMPARE(TDirTree::NodePath(m_tree->topLevelItem(0)), A());
        // The fixed drive was probed; the removable one only has its button.
        QVERIFY(HasOnlyPlaceholder(m_tree->topLevelItem(0)));
        QVERIFY(HasOnlyPlaceholder(m_tree->topLevelItem(1)));
        QVERIFY(!TDirTree::NodeRead(m_tree->topLevelItem(1)));
        // A fixed drive without folders has no button.
        MakeDirs({ "E" });
        m_drives << Drive(Path("E/"), drtFixed, QString(), 3);
        m_tree->ReloadTree();
        QCOMPARE(m_tree->topLevelItem(2)->text(0), "(" + Path("E") + ")");
        QCOMPARE(m_tree->topLevelItem(2)->childCount(), 0);
    }

    void expandingReadsTheFoldersInCzechOrderAndProbesThem()
    {
        MakeTree();
        ExpandA();
        // "ch" comes after "h"; letter case does not count.
        QCOMPARE(LetterNames(DriveA()), QStringList({ "Alfa", "beta", "hrad", "chata", "zeta" }));
        QTreeWidgetItem* alfa = Child(DriveA(), "Alfa");
        QCOMPARE(TDirTree::NodePath(alfa), Path("A/Alfa/"));
        QVERIFY(HasOnlyPlaceholder(alfa));
        QCOMPARE(Child(DriveA(), "beta")->childCount(), 0);
        // Expanding again reads nothing twice and keeps one placeholder each.
        m_tree->collapseItem(DriveA());
        m_tree->expandItem(DriveA());
        QVERIFY(HasOnlyPlaceholder(Child(DriveA(), "Alfa")));
        m_tree->expandItem(alfa);
        QCOMPARE(ChildTexts(alfa), QStringList({ "sub" }));
        QVERIFY(HasOnlyPlaceholder(alfa->child(0)));
    }

    void hiddenFoldersFollowDirTypes()
    {
        MakeTree();
        ExpandA();
        QVERIFY(Child(DriveA(), ".hidden"));
        m_tree->SetDirTypes(dtNormal);
        ExpandA();
        QVERIFY(!Child(DriveA(), ".hidden"));
        QVERIFY(!Child(DriveA(), ".Trash-1000"));
        QCOMPARE(LetterNames(DriveA()).size(), 5);
        m_tree->SetDirTypes(dtNormal | dtHidden);
        ExpandA();
        QVERIFY(Child(DriveA(), ".hidden"));
        // Hidden alone: only the hidden ones.
        m_tree->SetDirTypes(dtHidden);
        ExpandA();
        QCOMPARE(ChildTexts(DriveA()).size(), 2);
        QVERIFY(LetterNames(DriveA()).isEmpty());
    }

    void nothingBelowTheRecycleBinUnlessAsked()
    {
        MakeTree();
        ExpandA();
        QTreeWidgetItem* bin = Child(DriveA(), ".Trash-1000");
        QVERIFY(bin); // the bin itself is listed
        QCOMPARE(bin->childCount(), 0); // "files" below it counts for nothing
        m_tree->expandItem(bin);
        QCOMPARE(bin->childCount(), 0);
        m_tree->SetGoBelowRecycleBin(true);
        ExpandA();
        bin = Child(DriveA(), ".Trash-1000");
        QVERIFY(HasOnlyPlaceholder(bin));
        m_tree->expandItem(bin);
        QCOMPARE(ChildTexts(bin), QStringList({ "files" }));
    }

    void recycleBinPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("below");
        QTest::newRow("desktop trash itself") << "/home/u/.local/share/Trash/" << false;
        QTest::newRow("inside the desktop trash") << "/home/u/.local/share/Trash/files/" << true;
        QTest::newRow("volume trash itself") << "/mnt/d/.Trash-1000/" << false;
        QTest::newRow("inside a volume trash") << "/mnt/d/.Trash-1000/files/x/" << true;
        QTest::newRow("not a user number") << "/mnt/d/.Trash-abc/x/" << false;
        QTest::newRow("shared trash") << "/mnt/d/.Trash/1000/" << true;
        QTest::newRow("windows recycler") << "/mnt/win/RECYCLER/S-1-5-21/" << true;
        QTest::newRow("windows recycle bin") << "/mnt/win/$Recycle.Bin/S-1/" << true;
        QTest::newRow("old windows bin itself") << "/mnt/win/recycled/" << false;
        QTest::newRow("a folder merely named trash") << "/data/trash/x/" << false;
        QTest::newRow("a longer name") << "/data/recycledstuff/x/" << false;
    }
    void recycleBinPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, below);
        QCOMPARE(IsBelowRecycleBin(path), below);
    }

    void selectedPathWalksAndReads()
    {
        MakeTree([this](TDirTree* t) { t->SetInitialDirectory(Path("A/beta")); });
        QCOMPARE(m_tree->SelectedPath(), Path("A/beta/"));
        // Alfa has not been read: its folders are found only by reading.
        QVERIFY(!TDirTree::NodeRead(Child(DriveA(), "Alfa")));
        QVERIFY(!m_tree->FindPathNode(Path("A/Alfa/sub/")));
        m_tree->SetSelectedPath(Path("A/Alfa/sub/deep"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/Alfa/sub/deep/"));
        QVERIFY(TDirTree::NodeRead(Child(DriveA(), "Alfa")));
        QTreeWidgetItem* sub = m_tree->FindPathNode(Path("A/Alfa/sub"));
        QVERIFY(sub);
        QCOMPARE(sub, m_tree->FindPathNode(Path("A/Alfa/sub/")));
        QCOMPARE(m_tree->currentItem()->parent(), sub);
        QCOMPARE(m_tree->LastFolderOf(A()), Path("A/Alfa/sub/deep/"));
        QCOMPARE(m_tree->LastFolderOf(B()), B());
        // Doubled separators and no trailing one: the same folder.
        m_tree->SetSelectedPath(Path("A//zeta"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
        // Names are matched as they are spelt.
        m_tree->SetSelectedPath(Path("A/ALFA"));
        QCOMPARE(m_tree->SelectedPath() == Path("A/Alfa/"), QFileInfo::exists(Path("A/ALFA")));
    }

    void selectedPathMisuse()
    {
        MakeTree([](TDirTree* t) { t->SetReadOnStart(false); });
        QCOMPARE(m_tree->SelectedPath(), QStringLiteral("?"));
        m_tree->SetSelectedPath(QStringLiteral("?"));
        QCOMPARE(m_tree->SelectedPath(), QStringLiteral("?"));
        QVERIFY_THROWS_EXCEPTION(KorvelError, m_tree->SetSelectedPath(QString()));
        try {
            m_tree->SetSelectedPath(QString());
        } catch (const KorvelError& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid Path Name"));
        }
        // Writing "?" over a selection keeps it.
        MakeTree();
        m_tree->SetSelectedPath(Path("A/zeta"));
        m_tree->SetSelectedPath(QStringLiteral("?"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
    }

    void aPathThatDoesNotExistSelectsTheCurrentDrive()
    {
        MakeTree();
        m_tree->SetSelectedPath(Path("A/zeta"));
        QVERIFY(QDir::setCurrent(Path("A/beta")));
        m_tree->SetSelectedPath(Path("A/nowhere/deeper"));
        QCOMPARE(m_tree->SelectedPath(), A());
        // The current folder on no listed drive: nothing changes.
        QVERIFY(QDir::setCurrent(m_cwd));
        m_tree->SetSelectedPath(Path("A/zeta"));
        m_tree->SetSelectedPath(Path("A/nowhere"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
    }

    void aPathOnADriveNotListedLeavesTheSelection()
    {
        MakeTree();
        m_tree->SetSelectedPath(Path("A/zeta"));
        m_tree->SetDriveTypes(drtFixed);
        QCOMPARE(TopTexts(m_tree).size(), 1); // the fixed disk only
        m_tree->SetSelectedPath(Path("B/x"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
        // Filtered-out folders likewise.
        m_tree->SetDirTypes(dtNormal);
        m_tree->SetSelectedPath(Path("A/.hidden/inner"));
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
    }

    void aFolderRemovedMeanwhile()
    {
        MakeTree();
        ExpandA();
        QTreeWidgetItem* alfa = Child(DriveA(), "Alfa");
        QVERIFY(HasOnlyPlaceholder(alfa));
        QVERIFY(QDir(Path("A/Alfa/sub")).removeRecursively());
        // The placeholder promised a folder that is gone: expanding shows none.
        m_tree->expandItem(alfa);
        QCOMPARE(alfa->childCount(), 0);
        // A node whose folder went away still selects and reports its path.
        QTreeWidgetItem* zeta = Child(DriveA(), "zeta");
        QVERIFY(QDir(Path("A/zeta")).removeRecursively());
        QSignalSpy changes(m_tree, &TDirTree::OnChange);
        m_tree->setCurrentItem(zeta);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
        m_tree->expandItem(zeta);
        QCOMPARE(zeta->childCount(), 0);
        // Asked for by path it no longer exists: the selection goes elsewhere,
        // never to the stale node by accident.
        QVERIFY(QDir::setCurrent(Path("A/beta")));
        m_tree->SetSelectedPath(Path("A/zeta"));
        QCOMPARE(m_tree->SelectedPath(), A());
    }

    void addAndFindEventsDecide()
    {
        MakeTree([](TDirTree* t) {
            t->OnAddDir
                = [](TDirTree*, const QString& path, bool& doAdd) { doAdd = !path.endsWith(QLatin1String("/beta/")); };
        });
        ExpandA();
        QVERIFY(!Child(DriveA(), "beta"));
        QVERIFY(Child(DriveA(), "zeta"));

        // A search of one's own: entries that are no folders, "." and ".."
        // do not count; the path is the parent's.
        QStringList asked;
        MakeTree([&asked](TDirTree* t) {
            t->OnFindDir = [&asked](TDirTree*, const QString& path, TDirRec& rec, int& result, bool first) {
                static int next = 0;
                const QList<TDirRec> entries { { faDirectory, "." }, { faDirectory, "virtual" }, { 0, "file.txt" },
                    { faDirectory | faHidden, "shy" } };
                if (first) {
                    next = 0;
                    asked << path;
                }
                if (next >= entries.size()) {
                    result = 18;
                    return;
                }
                rec = entries[next++];
                result = 0;
            };
            t->SetDirTypes(dtNormal);
        });
        ExpandA();
        QCOMPARE(ChildTexts(DriveA()), QStringList({ "virtual" }));
        QVERIFY(asked.contains(A()));
        QCOMPARE(TDirTree::NodePath(DriveA()->child(0)), Path("A/virtual/"));
    }

    void drivesComingAndGoingChangeOnce()
    {
        // Watches the owner from before the tree does, so it sees what the
        // tree passes on.
        EventCounter owner;
        MakeTree([&owner](TDirTree* t) { t->window()->installEventFilter(&owner); });
        m_tree->SetSelectedPath(Path("A/zeta"));
        QSignalSpy changes(m_tree, &TDirTree::OnChange);
        QSignalSpy deleted(m_tree, &TDirTree::OnDeleteItem);
        MakeDirs({ "AB/y" });
        m_drives.insert(1, Drive(Path("AB/"), drtFixed, QStringLiteral("Mid"), 7));
        QEvent device(DeviceChangeEvent());
        QVERIFY(QApplication::sendEvent(m_window.get(), &device)); // consumed by the tree
        QCOMPARE(TopTexts(m_tree), QStringList({ "Data (" + Path("A") + ")", "Mid (" + Path("AB") + ")", "STICK" }));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(m_tree->SelectedPath(), Path("A/zeta/"));
        QVERIFY(deleted.isEmpty());

        // The selected drive goes away: the selection moves, one change.
        m_drives.removeFirst();
        QEvent gone(DeviceChangeEvent());
        QApplication::sendEvent(m_window.get(), &gone);
        QCOMPARE(TopTexts(m_tree), QStringList({ "Mid (" + Path("AB") + ")", "STICK" }));
        QCOMPARE(changes.size(), 2);
        QVERIFY(!m_tree->SelectedPath().startsWith(A()));
        QVERIFY(deleted.size() >= 2); // the drive and what was read below it

        // The tree takes its own message; every other event goes on.
        QEvent other(QEvent::User);
        QApplication::sendEvent(m_window.get(), &other);
        QCOMPARE(owner.Seen, QList<QEvent::Type>({ QEvent::User }));
        QCOMPARE(changes.size(), 2);
    }

    void anotherMediumRebuildsTheDrive()
    {
        MakeTree();
        // Selected by path on the removable drive: read there, so no
        // rebuild of its own.
        m_tree->SetSelectedPath(Path("B/x"));
        QCOMPARE(m_tree->SelectedPath(), Path("B/x/"));
        QSignalSpy changes(m_tree, &TDirTree::OnChange);
        QSignalSpy clicks(m_tree, &TDirTree::OnClick);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTest::mouseClick(
            m_tree->viewport(), Qt::LeftButton, {}, m_tree->visualItemRect(m_tree->currentItem()).center());
        QCOMPARE(clicks.size(), 1);
        QVERIFY(changes.isEmpty());

        // A new medium with other folders and another label.
        MakeDirs({ "B/y" });
        m_drives[1].Serial = 6;
        m_drives[1].Label = m_drives[1].DisplayName = QStringLiteral("PHOTOS");
        QTest::mouseClick(
            m_tree->viewport(), Qt::LeftButton, {}, m_tree->visualItemRect(m_tree->currentItem()).center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(m_tree->SelectedPath(), B());
        QTreeWidgetItem* drive = m_tree->currentItem();
        QCOMPARE(drive->text(0), QStringLiteral("PHOTOS"));
        QVERIFY(!TDirTree::NodeRead(drive));
        m_tree->expandItem(drive);
        QCOMPARE(ChildTexts(drive), QStringList({ "x", "y" }));

        // The medium taken out while the tree runs: found at the next device
        // change, the drive left without folders.
        m_drives[1].Serial = -1;
        QEvent device(DeviceChangeEvent());
        QApplication::sendEvent(m_window.get(), &device);
        QCOMPARE(m_tree->topLevelItem(1)->childCount(), 1); // probed: x and y still there on disk
        QCOMPARE(changes.size(), 2);
    }

    void shareMarks()
    {
        MakeTree([this](TDirTree* t) { t->SetShareSource([this] { return QStringList { Path("A/beta") }; }); });
        ExpandA();
        QCOMPARE(TDirTree::NodeOverlayIndex(Child(DriveA(), "beta")), -1);
        const qint64 plain = Child(DriveA(), "beta")->icon(0).cacheKey();
        m_tree->SetShowShareOverlay(true);
        QCOMPARE(TDirTree::NodeOverlayIndex(Child(DriveA(), "beta")), 0);
        QCOMPARE(TDirTree::NodeOverlayIndex(Child(DriveA(), "zeta")), -1);
        QCOMPARE(TDirTree::NodeOverlayIndex(DriveA()), -1);
        QVERIFY(Child(DriveA(), "beta")->icon(0).cacheKey() != plain);
        m_tree->SetShowShareOverlay(false);
        QCOMPARE(TDirTree::NodeOverlayIndex(Child(DriveA(), "beta")), -1);
        QCOMPARE(Child(DriveA(), "beta")->icon(0).cacheKey(), plain);
        // Folders read while the marks are on get theirs at once.
        m_tree->SetShowShareOverlay(true);
        m_tree->SetDirTypes(dtNormal);
        ExpandA();
        QCOMPARE(TDirTree::NodeOverlayIndex(Child(DriveA(), "beta")), 0);
    }

    void droppedFilesGoToTheFolderUnderThem()
    {
        MakeTree();
        ExpandA();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QSignalSpy drops(m_tree, &TDirTree::OnDropFiles);
        const QPoint at = m_tree->visualItemRect(Child(DriveA(), "beta")).center();
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(Path("one.wav")), QUrl(QStringLiteral("https://example.org/x")),
            QUrl::fromLocalFile(Path("two three.wav")) });
        QDropEvent refused(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_tree->viewport(), &refused);
        QVERIFY(drops.isEmpty()); // not accepting files

        m_tree->SetAcceptDropFiles(true);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_tree->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(m_tree->viewport(), &drop);
        QCOMPARE(drops.size(), 1);
        QCOMPARE(drops[0][0].toInt(), at.x());
        QCOMPARE(drops[0][2].toString(), Path("A/beta/"));
        QCOMPARE(drops[0][3].toStringList(), QStringList({ Path("one.wav"), Path("two three.wav") }));
        QCOMPARE(drops[0][4].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

        // Below the last node: no target.
        QDropEvent nowhere(QPoint(5, 390), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_tree->viewport(), &nowhere);
        QCOMPARE(drops.size(), 1);
    }

    void driveTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("root");
        QTest::addColumn<int>("expected");
        QTest::newRow("disk") << "ext4"
                              << "/dev/vda"
                              << "/" << int(drtFixed);
        QTest::newRow("container root") << "overlay"
                                        << "overlay"
                                        << "/" << int(drtFixed);
        QTest::newRow("other overlay") << "overlay"
                                       << "overlay"
                                       << "/var/lib/x" << int(drtUnknown);
        QTest::newRow("ram") << "tmpfs"
                             << "tmpfs"
                             << "/tmp" << int(drtRamDisk);
        QTest::newRow("nfs") << "nfs4"
                             << "server:/export"
                             << "/mnt/n" << int(drtRemote);
        QTest::newRow("windows share") << "cifs"
                                       << "//server/share"
                                       << "/mnt/s" << int(drtRemote);
        QTest::newRow("cd") << "iso9660"
                            << "/dev/sr0"
                            << "/media/u/CD" << int(drtCDRom);
        QTest::newRow("stick") << "vfat"
                               << "/dev/sdz9"
                               << "/media/u/STICK" << int(drtRemovable);
        QTest::newRow("udisks") << "exfat"
                                << "/dev/sdz1"
                                << "/run/media/u/X" << int(drtRemovable);
        QTest::newRow("snap") << "squashfs"
                              << "/dev/loop3"
                              << "/snap/core/1" << int(drtUnknown);
        QTest::newRow("sshfs") << "fuse.sshfs"
                               << "u@host:/home/u"
                               << "/mnt/h" << int(drtRemote);
        QTest::newRow("fuse") << "fuse.korveldead"
                              << "korveldead"
                              << "/tmp/x/share" << int(drtUnknown);
        QTest::newRow("fuse on media") << "fuse.gvfsd-fuse"
                                       << "gvfsd-fuse"
                                       << "/media/u/gvfs" << int(drtUnknown);
        QTest::newRow("ntfs disk") << "fuseblk"
                                   << "/dev/vda"
                                   << "/mnt/win" << int(drtFixed);
    }
    void driveTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, device);
        QFETCH(QString, root);
        QFETCH(int, expected);
        QCOMPARE(int(DriveTypeOf(type, device, root)), expected);
    }

    void mountTable_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("entry"); // mount point, type, source; empty when skipped
        QTest::newRow("plain") << QByteArray("28 1 254:0 / / rw,relatime - ext4 /dev/vda rw")
                               << QStringList { "/", "ext4", "/dev/vda" };
        QTest::newRow("optional fields") << QByteArray("36 35 98:0 /x /mnt/a rw shared:1 master:2 - nfs4 s:/e rw")
                                         << QStringList { "/mnt/a", "nfs4", "s:/e" };
        QTest::newRow("escapes") << QByteArray("40 28 0:41 / /mnt/my\\040disk\\134x rw - cifs //s/a\\040b rw")
                                 << QStringList { "/mnt/my disk\\x", "cifs", "//s/a b" };
        QTest::newRow("no separator") << QByteArray("40 28 0:41 / /mnt/a rw ext4 /dev/vdb rw") << QStringList();
        QTest::newRow("cut short") << QByteArray("40 28 0:41 / /mnt/a rw - ext4") << QStringList();
        QTest::newRow("no number") << QByteArray("x 28 0:41 / /mnt/a rw - ext4 /dev/vdb rw") << QStringList();
        QTest::newRow("empty") << QByteArray() << QStringList();
    }
    void mountTable()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, entry);
        const QList<MountEntry> table = ParseMountInfo(line + "\n");
        QCOMPARE(table.size(), entry.isEmpty() ? 0 : 1);
        if (!entry.isEmpty())
            QCOMPARE(QStringList({ table[0].mountPoint, table[0].type, table[0].source }), entry);
        // A path belongs to the longest mount point that holds it, by whole names.
        const QList<MountEntry> two = ParseMountInfo("1 0 0:1 / / rw - ext4 /dev/a rw\n"
                                                     "2 1 0:2 / /mnt/a rw - nfs s:/ rw\n");
        QCOMPARE(MountOf(two, "/mnt/a/b")->mountPoint, QStringLiteral("/mnt/a"));
        QCOMPARE(MountOf(two, "/mnt/ab")->mountPoint, QStringLiteral("/"));
    }

    // A share that has stopped answering holds nothing: the drives come from
    // the mount table, a folder holding it lists without a look at it, and
    // it is opened only with a bound.
    void aDeadShareHoldsNothing()
    {
        DeadMount share;
        if (!share.unavailable().isEmpty())
            QSKIP(qPrintable(share.unavailable()));
        QVERIFY(QDir().mkpath(share.parent() + "/live/inner"));
        QElapsedTimer took;
        took.start();
        const QList<TDriveInfo> drives = MountedDrives();
        QVERIFY(std::any_of(drives.begin(), drives.end(),
            [&](const TDriveInfo& d) { return d.Root == share.path() + u'/' && d.Type == drtUnknown; }));

        m_window = std::make_unique<QWidget>();
        m_tree = new TDirTree(m_window.get());
        m_tree->SetDriveTypes(drtFixed);
        m_tree->SetInitialDirectory(share.parent());
        m_tree->Loaded();
        QTreeWidgetItem* parent = m_tree->currentItem();
        QCOMPARE(TDirTree::NodePath(parent), share.parent() + u'/');
        m_tree->expandItem(parent);
        QCOMPARE(ChildTexts(parent), QStringList({ "live" })); // a fixed-drive tree does not lead into it
        QTest::keyClick(m_tree, Qt::Key_Down);
        QCOMPARE(m_tree->SelectedPath(), share.parent() + "/live/");

        m_tree->SetDriveTypes(AllDriveTypes);
        m_tree->ReloadTree();
        parent = m_tree->FindPathNode(share.parent());
        m_tree->expandItem(parent);
        QTreeWidgetItem* dead = Child(parent, "share");
        QVERIFY(dead && HasOnlyPlaceholder(dead)); // not looked into
        m_tree->expandItem(dead);
        QVERIFY(!TDirTree::NodeRead(dead));
        QCOMPARE(dead->childCount(), 0);
        m_tree->SetSelectedPath(share.path() + "/x");
        QVERIFY(!m_tree->SelectedPath().startsWith(share.path()));
        // Bounded looks, not the server giving up after two minutes.
        QVERIFY2(took.elapsed() < 10 * VolumeProbe::AnswerMs, qPrintable(QString::number(took.elapsed())));
    }

    void theMachinesRootIsADrive()
    {
        const QList<TDriveInfo> drives = MountedDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first().Root, QStringLiteral("/"));
        QVERIFY(drives.first().Serial != -1);
        for (const TDriveInfo& d : drives) {
            QVERIFY(d.Root.endsWith(u'/'));
            QVERIFY(!d.Root.startsWith(QLatin1String("/proc/")) && !d.Root.startsWith(QLatin1String("/sys/")));
        }
        // The home folder is listed as a drive, of the kind of its volume.
        const QString home = QDir::homePath() + u'/';
        const auto drive = [&drives](const QString& root) {
            const auto it
                = std::find_if(drives.begin(), drives.end(), [&root](const TDriveInfo& d) { return d.Root == root; });
            return it == drives.end() ? TDriveInfo() : *it;
        };
        QCOMPARE(drive(home).Root, home);
        QString volumeRoot = QStorageInfo(home).rootPath();
        if (!volumeRoot.endsWith(u'/'))
            volumeRoot += u'/';
        if (volumeRoot != home) {
            const TDriveInfo volume = drive(volumeRoot);
            QCOMPARE(drive(home).Type, volume.Type);
            QCOMPARE(drive(home).Serial, volume.Serial);
            QCOMPARE(drive(home).Label, HomeDriveLabel());
        }
        // The real tree: the root first, and a temporary folder reached
        // through it (or through the volume that holds it).
        m_window = std::make_unique<QWidget>();
        auto* tree = new TDirTree(m_window.get());
        tree->SetInitialDirectory(Path("A/Alfa"));
        tree->Loaded();
        QCOMPARE(TDirTree::NodePath(tree->topLevelItem(0)), QStringLiteral("/"));
        QCOMPARE(tree->SelectedPath(), Path("A/Alfa/"));
        tree->SetSelectedPath(QStringLiteral("/"));
        QCOMPARE(tree->SelectedPath(), QStringLiteral("/"));
        QVERIFY(tree->currentItem()->parent() == nullptr);
    }
};

QTEST_MAIN(TestDirTree)
#include "tst_dirtree.moc"
