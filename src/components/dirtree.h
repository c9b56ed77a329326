#pragma once

#include <QEvent>
#include <QFileIconProvider>
#include <QFlags>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <QTreeWidget>

#include <functional>
#include <optional>

// What the tree lists as drives: the mounted volumes, each shown at its mount
// point ("/" first, then "/boot", "/home", "/media/..." in path order).
enum TDriveType {
    drtUnknown = 1 << 0,
    drtRemovable = 1 << 1,
    drtFixed = 1 << 2,
    drtRemote = 1 << 3,
    drtCDRom = 1 << 4,
    drtRamDisk = 1 << 5,
};
Q_DECLARE_FLAGS(TDriveTypes, TDriveType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDriveTypes)
inline constexpr TDriveTypes AllDriveTypes
    = TDriveTypes::fromInt(drtUnknown | drtRemovable | drtFixed | drtRemote | drtCDRom | drtRamDisk);

// Which folders are listed by their attributes (see FolderAttributesMatch).
enum TDirType {
    dtReadOnly = 1 << 0,
    dtHidden = 1 << 1,
    dtSystem = 1 << 2,
    dtArchive = 1 << 3,
    dtNormal = 1 << 4,
    dtAll = 1 << 5,
};
Q_DECLARE_FLAGS(TDirTypes, TDirType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDirTypes)

// File attributes of a folder entry, as the class library numbered them. Here
// a name beginning with "." is hidden; nothing is read-only, a system or an
// archive entry unless OnFindDir says so.
enum : int {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faDirectory = 0x10,
    faArchive = 0x20,
};

// One entry of a folder search, as OnFindDir fills it.
struct TDirRec {
    int Attr = 0;
    QString Name;
};

// One mounted volume.
struct TDriveInfo {
    QString Root; // the mount point with a trailing "/"
    TDriveType Type = drtUnknown;
    QString Label; // the volume label; may be empty
    QString DisplayName; // what the desktop calls the volume
    // Tells one medium from another in the same place; -1 when the volume
    // cannot be read.
    qint32 Serial = -1;
};

// The mounted volumes of the machine, in path order, and the home folder as a
// volume of its own (labelled HomeDriveLabel, of the type of the volume that
// holds it). Pseudo file systems (/proc, /sys, /dev, /run) are not volumes.
// Told by the mount table alone: no volume is asked anything.
QList<TDriveInfo> MountedDrives();
QString HomeDriveLabel();
TDriveType DriveTypeOf(const QString& fileSystemType, const QString& device, const QString& root);

// The message the system sends every top-level window when a volume is
// mounted or unmounted (the owner of a tree receives it; a tree that watches
// its owner handles it).
QEvent::Type DeviceChangeEvent();

// Whether a folder path (parent path + name + "/") lies below a recycle-bin
// folder: the desktop trash ("~/.local/share/Trash", ".Trash", ".Trash-1000"
// at a volume's root) or a Windows volume's "RECYCLED", "RECYCLER",
// "$RECYCLE.BIN". The bin folder itself does not lie below one.
bool IsBelowRecycleBin(const QString& path);

// The folders the desktop shares over the network (Samba user shares and the
// shares of the Samba configuration).
QStringList DesktopShares();

// A tree of the drives and their folders. The drives form the top level;
// folders appear below them sorted by name, read when their node is first
// expanded. Each folder node knows its path (true spelling, trailing "/");
// placeholder children, which only give an unread node its expand button,
// know none.
//
// The tree looks into fixed disks and RAM disks unasked; other volumes
// (removable, network, CD, FUSE) only when the user opens them, and a volume
// mounted below a folder shows there only when the tree lists its type or it
// is one of those. Every look at a folder is bounded (VolumeProbe): one that
// does not answer stays unread.
//
// Setting properties before Loaded() (or the first show) only stores them;
// Loaded() watches the owner window for device changes, lists the drives
// when ReadOnStart is set and selects InitialDirectory.
class TDirTree : public QTreeWidget {
    Q_OBJECT
public:
    using TAddFileEvent = std::function<void(TDirTree* sender, const QString& fileName, bool& doAdd)>;
    using TFindDirEvent
        = std::function<void(TDirTree* sender, const QString& path, TDirRec& rec, int& result, bool first)>;
    using TDriveSource = std::function<QList<TDriveInfo>()>;
    using TShareSource = std::function<QStringList()>;

    explicit TDirTree(QWidget* parent = nullptr);
    ~TDirTree() override;

    void Loaded();

    bool ReadOnStart() const { return m_readOnStart; }
    void SetReadOnStart(bool on) { m_readOnStart = on; }
    TDirTypes DirTypes() const { return m_dirTypes; }
    void SetDirTypes(TDirTypes types);
    bool GoBelowRecycleBin() const { return m_goBelowRecycleBin; }
    void SetGoBelowRecycleBin(bool on);
    // Drives are listed without looking for their folders first.
    bool FastLoad() const { return m_fastLoad; }
    void SetFastLoad(bool on) { m_fastLoad = on; }
    QString InitialDirectory() const { return m_initialDirectory; }
    void SetInitialDirectory(const QString& dir) { m_initialDirectory = dir; }
    TDriveTypes DriveTypes() const { return m_driveTypes; }
    void SetDriveTypes(TDriveTypes types);
    // Shared folders carry the share mark on their icon.
    bool ShowShareOverlay() const { return m_showShareOverlay; }
    void SetShowShareOverlay(bool on);
    bool AcceptDropFiles() const { return m_acceptDropFiles; }
    void SetAcceptDropFiles(bool on);

    // The selected node's path, or "?" when nothing is selected.
    QString SelectedPath() const;
    // Selects the folder's node, reading the folders on the way. "?" does
    // nothing; a path that does not exist selects the root of the current
    // folder's drive instead; a path whose folders are not listed leaves the
    // selection as it was. An empty path throws KorvelError.
    void SetSelectedPath(const QString& path);
    // The listed node of that path, without reading anything; null when none.
    QTreeWidgetItem* FindPathNode(const QString& path) const;

    // The path of a drive or folder node; empty for a placeholder.
    static QString NodePath(const QTreeWidgetItem* node);
    static bool NodeRead(const QTreeWidgetItem* node);
    static void* NodeExtra(const QTreeWidgetItem* node);
    // 0: the share mark; -1: none.
    static int NodeOverlayIndex(const QTreeWidgetItem* node);

    // The drives anew, the selection kept where it can be.
    void ReloadTree();
    // Drives that appeared are inserted in path order, drives gone are
    // removed; true when anything changed.
    bool UpdateDriveNodes();

    // The last folder selected on each drive, by the drive's root.
    QString LastFolderOf(const QString& driveRoot) const;

    TAddFileEvent OnAddDir;
    TFindDirEvent OnFindDir;

    // Where the drives come from (MountedDrives unless set) and which folders
    // are shared (the desktop's file shares unless set).
    void SetDriveSource(TDriveSource source);
    void SetShareSource(TShareSource source);

signals:
    // The selected node changed (not while the tree is being rebuilt).
    void OnChange(QTreeWidgetItem* node);
    void OnClick();
    // A node has its icons; a handler may change them.
    void OnGetIcon(QTreeWidgetItem* node);
    // A node is about to be deleted.
    void OnDeleteItem(QTreeWidgetItem* node);
    void OnDropFiles(int x, int y, const QString& dropDir, const QStringList& dropFiles, Qt::KeyboardModifiers shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool IsFolderAccepted(const QString& path);
    bool FolderAttributesMatch(int attributes) const;
    // Folders of path that count, in the order found; with firstOnly the
    // search stops at the first.
    // Nothing when the volume did not answer in time.
    std::optional<QList<QString>> Enumerate(const QString& path, bool firstOnly);
    void ReadFolderChildren(QTreeWidgetItem* node);
    void ProbeFolderChildren(QTreeWidgetItem* node);
    QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, const QString& path, void* extra, int index = -1);
    void ApplyOverlay(QTreeWidgetItem* node);
    void UpdateOverlays(QTreeWidgetItem* node, const QStringList& shared);
    void ApplyShareMark(QTreeWidgetItem* node, const QStringList& shared);

    QList<TDriveInfo> AvailableDrives() const;
    // Which folders are mount points, and of what, from the mount table and
    // the drives.
    void RefreshMounts();
    QIcon DriveIcon(TDriveType type) const;
    TDriveInfo DriveInfoOf(const QString& root) const;
    // The caption of a drive; stores its serial number.
    QString DriveCaption(const QString& root);
    QTreeWidgetItem* AddDriveNode(const TDriveInfo& drive, int index);
    void LoadDriveNodes();
    void RebuildDriveNode(QTreeWidgetItem* driveNode);
    bool MediumChanged(const QString& root) const;
    bool CheckMedia();
    QTreeWidgetItem* DriveNodeOf(QTreeWidgetItem* node) const;
    QTreeWidgetItem* DriveNodeForPath(const QString& path) const;
    QTreeWidgetItem* TopLevelNode(const QString& root) const;
    QString CurrentDriveRoot() const;
    QTreeWidgetItem* WalkPath(const QString& path, bool read);

    void DeleteNode(QTreeWidgetItem* node);
    void DeleteChildren(QTreeWidgetItem* node);
    void ClearTree();
    void NotifyDeleted(QTreeWidgetItem* node);

    void Lock() { --m_changeLock; }
    void Unlock();
    void Change(QTreeWidgetItem* node);
    void Click();
    void CanExpand(QTreeWidgetItem* node);
    void DeviceChange();

    void HookOwner();
    void UnhookOwner();

    QPointer<QWidget> m_owner;
    bool m_created = false;
    bool m_destroying = false;
    bool m_fastLoad = false;
    bool m_readOnStart = true;
    int m_changeLock = 0;
    TDirTypes m_dirTypes = dtNormal | dtAll;
    bool m_goBelowRecycleBin = false;
    QString m_initialDirectory;
    TDriveTypes m_driveTypes = AllDriveTypes;
    bool m_showShareOverlay = false;
    bool m_acceptDropFiles = false;
    // By drive root.
    QHash<QString, QString> m_lastFolder;
    QHash<QString, qint32> m_serial;
    // The drive roots last listed.
    QStringList m_driveRoots;
    // By mount point (trailing "/").
    QHash<QString, TDriveType> m_mounts;
    QFileIconProvider m_icons;
    // Closed, and open while selected.
    QIcon m_folderIcon;
    TDriveSource m_driveSource;
    TShareSource m_shareSource;
    QStringList m_dropList;
};
