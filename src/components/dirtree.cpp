#include "dirtree.h"

#include "platform/errors.h"
#include "platform/mounttable.h"
#include "platform/volumeprobe.h"
#include "shared/itemlist.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QSocketNotifier>
#include <QStyle>
#include <QTextStream>

#include <algorithm>
#include <numeric>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr int DirNodeType = QTreeWidgetItem::UserType + 104;

// A drive or folder node and what it knows of its folder.
class TDirNode : public QTreeWidgetItem {
public:
    TDirNode(const QString& path, void* extra)
        : QTreeWidgetItem(DirNodeType)
        , Path(path)
        , Extra(extra)
    {
    }

    QString Path;
    bool Read = false;
    void* Extra;
    int OverlayIndex = -1;
    // The icon without the share mark, while the mark is on.
    QIcon PlainIcon;
};

TDirNode* dirNode(QTreeWidgetItem* item)
{
    return item && item->type() == DirNodeType ? static_cast<TDirNode*>(item) : nullptr;
}

const TDirNode* dirNode(const QTreeWidgetItem* item)
{
    return item && item->type() == DirNodeType ? static_cast<const TDirNode*>(item) : nullptr;
}

QString WithSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

QString WithoutSlash(const QString& path)
{
    return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

QString LastComponent(const QString& path)
{
    const QString p = WithoutSlash(path);
    return p.mid(p.lastIndexOf(u'/') + 1);
}

// The hourglass, and the tree's painting held back, for one piece of work.
class BusyScope {
public:
    BusyScope(QWidget* tree, bool suspendUpdates)
        : m_tree(tree)
        , m_updates(tree->updatesEnabled())
        , m_suspend(suspendUpdates)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (m_suspend)
            m_tree->setUpdatesEnabled(false);
    }
    ~BusyScope()
    {
        if (m_suspend)
            m_tree->setUpdatesEnabled(m_updates);
        QApplication::restoreOverrideCursor();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QWidget* m_tree;
    bool m_updates;
    bool m_suspend;
};

// Volumes mounted or unmounted: the mount table signals a change as an
// exceptional condition on its file. Every top-level window is told, as the
// system told them all of a new drive.
class MountWatcher : public QObject {
public:
    explicit MountWatcher(QObject* parent)
        : QObject(parent)
        , m_mounts(QStringLiteral("/proc/self/mounts"))
    {
        if (!m_mounts.open(QIODevice::ReadOnly))
            return;
        auto* notifier = new QSocketNotifier(m_mounts.handle(), QSocketNotifier::Exception, this);
        connect(notifier, &QSocketNotifier::activated, this, [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows)
                QCoreApplication::postEvent(w, new QEvent(DeviceChangeEvent()));
        });
    }

private:
    QFile m_mounts;
};

void WatchMounts()
{
    static QPointer<MountWatcher> watcher;
    if (!watcher && qApp)
        watcher = new MountWatcher(qApp);
}

bool IsPseudoMount(const QString& root, const QString& type)
{
    if (IsKernelFileSystem(type) || type == QLatin1String("autofs"))
        return true;
    for (const char* system : { "/proc", "/sys", "/dev" })
        if (root == QLatin1String(system) || root.startsWith(QLatin1String(system) + u'/'))
            return true;
    // Removable media are mounted below /run/media; the rest of /run is the
    // system's.
    return (root == QLatin1String("/run") || root.startsWith(QLatin1String("/run/")))
        && !root.startsWith(QLatin1String("/run/media/"));
}

// The labels of block devices by device node, as udev names them in
// /dev/disk/by-label ("\x20" for a space): a look at the device nodes, not at
// the volumes.
QHash<QString, QString> VolumeLabels()
{
    QHash<QString, QString> labels;
    const QDir dir(QStringLiteral("/dev/disk/by-label"));
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray raw = QFile::encodeName(name);
        QByteArray label;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            bool hex = false;
            const int c = raw.mid(i + 2, 2).toInt(&hex, 16);
            if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x' && hex) {
                label += char(c);
                i += 3;
            } else {
                label += raw[i];
            }
        }
        labels.insert(QFileInfo(dir.filePath(name)).canonicalFilePath(), QString::fromUtf8(label));
    }
    return labels;
}

// The names of the folders in path (which ends in "/"). Mount points are
// taken for folders without a look: a volume that has stopped answering would
// hold the look for good.
QStringList SubfolderNames(const QString& path, const QSet<QString>& mountPoints)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        bool folder = entry->d_type == DT_DIR || mountPoints.contains(name);
        if (!folder && (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)) {
            struct stat st { };
            folder = ::stat(QFile::encodeName(path + name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (folder)
            names << name;
    }
    ::closedir(dir);
    return names;
}

// Volumes whose folders the tree looks into unasked: the machine's own disks
// and memory. Any other may hold no medium or not answer.
bool LooksInside(TDriveType type)
{
    return type == drtFixed || type == drtRamDisk;
}

} // namespace

TDriveType DriveTypeOf(const QString& fileSystemType, const QString& device, const QString& root)
{
    switch (ClassifyVolume(fileSystemType, device, root)) {
    case VolumeKind::Removable:
        return drtRemovable;
    case VolumeKind::Fixed:
        return drtFixed;
    case VolumeKind::Remote:
        return drtRemote;
    case VolumeKind::CDRom:
        return drtCDRom;
    case VolumeKind::RamDisk:
        return drtRamDisk;
    case VolumeKind::Unknown:
        break;
    }
    return drtUnknown;
}

QList<TDriveInfo> MountedDrives()
{
    // The mount table alone: asking each volume (statfs) would hang on one
    // that has stopped answering.
    const QList<MountEntry> table = ReadMountTable();
    const QHash<QString, QString> labels = VolumeLabels();
    QHash<QString, TDriveInfo> byRoot;
    for (const MountEntry& m : table) {
        if (IsPseudoMount(m.mountPoint, m.type))
            continue;
        TDriveInfo d;
        d.Root = WithSlash(m.mountPoint);
        d.Type = DriveTypeOf(m.type, m.source, m.mountPoint);
        if (m.source.startsWith(QLatin1String("/dev/")))
            d.Label = labels.value(QFileInfo(m.source).canonicalFilePath());
        d.DisplayName = d.Label.isEmpty() ? m.mountPoint : d.Label;
        // Another medium in the same place is another mount.
        d.Serial
            = qint32(qHash(QString::number(m.id) + u'\n' + m.device + u'\n' + m.source + u'\n' + m.type) & 0x7fffffff);
        // A later mount on the same point hides the earlier one.
        byRoot.insert(d.Root, d);
    }
    // The home folder is a drive of its own, of the kind of the volume that
    // holds it: the user's folders are one step away.
    const QString home = WithSlash(QDir::homePath());
    const MountEntry* holder = MountOf(table, WithoutSlash(home));
    const QString homeVolume = holder ? WithSlash(holder->mountPoint) : QString();
    if (!byRoot.contains(home) && byRoot.contains(homeVolume)) {
        TDriveInfo d = byRoot.value(homeVolume);
        d.Root = home;
        d.Label = HomeDriveLabel();
        d.DisplayName = HomeDriveLabel();
        byRoot.insert(d.Root, d);
    }
    QList<TDriveInfo> drives = byRoot.values();
    std::sort(drives.begin(), drives.end(), [](const TDriveInfo& a, const TDriveInfo& b) { return a.Root < b.Root; });
    return drives;
}

QString HomeDriveLabel()
{
    return QStringLiteral("domovský adresář");
}

QEvent::Type DeviceChangeEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool IsBelowRecycleBin(const QString& path)
{
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString name = parts[i].toLower();
        if (name == QLatin1String("recycled") || name == QLatin1String("recycler")
            || name == QLatin1String("$recycle.bin") || name == QLatin1String(".trash"))
            return true;
        if (name.startsWith(QLatin1String(".trash-"))) {
            bool number = false;
            name.mid(7).toUInt(&number);
            if (number)
                return true;
        }
        if (name == QLatin1String("trash") && i >= 2 && parts[i - 1] == QLatin1String("share")
            && parts[i - 2] == QLatin1String(".local"))
            return true;
    }
    return false;
}

QStringList DesktopShares()
{
    QStringList paths;
    const auto take = [&paths](const QString& line) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed().compare(QLatin1String("path"), Qt::CaseInsensitive) == 0) {
            const QString value = line.mid(eq + 1).trimmed();
            if (value.startsWith(u'/'))
                paths << QDir::cleanPath(value);
        }
    };
    const auto readLines = [&take](const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return;
        QTextStream in(&f);
        while (!in.atEnd())
            take(in.readLine());
    };
    const QDir userShares(QStringLiteral("/var/lib/samba/usershares"));
    const QStringList files = userShares.entryList(QDir::Files);
    for (const QString& file : files)
        readLines(userShares.filePath(file));
    readLines(QStringLiteral("/etc/samba/smb.conf"));
    return paths;
}

// ---- TDirTree ----

TDirTree::TDirTree(QWidget* parent)
    : QTreeWidget(parent)
    , m_initialDirectory(QDir::currentPath())
    , m_driveSource(MountedDrives)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);

    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_folderIcon.addPixmap(m_icons.icon(QFileIconProvider::Folder).pixmap(size), QIcon::Normal);
    m_folderIcon.addPixmap(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size), QIcon::Selected);

    // Every drive starts at its root; the current folder's drive at the
    // current folder.
    m_lastFolder.insert(CurrentDriveRoot(), WithSlash(QDir::currentPath()));

    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { Change(current); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { CanExpand(node); });
    connect(this, &QTreeWidget::itemClicked, this, [this] { Click(); });
}

TDirTree::~TDirTree()
{
    m_destroying = true;
    m_changeLock = 0;
    UnhookOwner();
    ClearTree();
    disconnect(this, nullptr, this, nullptr);
}

void TDirTree::Loaded()
{
    if (m_created)
        return;
    m_created = true;
    HookOwner();
    if (m_readOnStart)
        LoadDriveNodes();
    SetSelectedPath(VolumeProbe::IsDir(m_initialDirectory) ? m_initialDirectory : QDir::currentPath());
}

void TDirTree::showEvent(QShowEvent* event)
{
    QTreeWidget::showEvent(event);
    Loaded();
}

void TDirTree::SetDirTypes(TDirTypes types)
{
    if (types == m_dirTypes)
        return;
    m_dirTypes = types;
    if (m_created)
        ReloadTree();
}

void TDirTree::SetGoBelowRecycleBin(bool on)
{
    if (on == m_goBelowRecycleBin)
        return;
    m_goBelowRecycleBin = on;
    if (m_created)
        ReloadTree();
}

void TDirTree::SetDriveTypes(TDriveTypes types)
{
    if (types == m_driveTypes)
        return;
    m_driveTypes = types;
    if (m_created)
        UpdateDriveNodes();
}

void TDirTree::SetShowShareOverlay(bool on)
{
    if (on == m_showShareOverlay)
        return;
    m_showShareOverlay = on;
    if (topLevelItemCount() == 0)
        return;
    const QStringList shared = on ? (m_shareSource ? m_shareSource() : DesktopShares()) : QStringList();
    for (int i = 0; i < topLevelItemCount(); ++i)
        UpdateOverlays(topLevelItem(i), shared);
}

void TDirTree::SetAcceptDropFiles(bool on)
{
    m_acceptDropFiles = on;
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
}

void TDirTree::SetDriveSource(TDriveSource source)
{
    m_driveSource = source ? std::move(source) : TDriveSource(MountedDrives);
}

void TDirTree::SetShareSource(TShareSource source)
{
    m_shareSource = std::move(source);
}

QString TDirTree::NodePath(const QTreeWidgetItem* node)
{
    const TDirNode* d = dirNode(node);
    return d ? d->Path : QString();
}

bool TDirTree::NodeRead(const QTreeWidgetItem* node)
{
    const TDirNode* d = dirNode(node);
    return d && d->Read;
}

void* TDirTree::NodeExtra(const QTreeWidgetItem* node)
{
    const TDirNode* d = dirNode(node);
    return d ? d->Extra : nullptr;
}

int TDirTree::NodeOverlayIndex(const QTreeWidgetItem* node)
{
    const TDirNode* d = dirNode(node);
    return d ? d->OverlayIndex : -1;
}

QString TDirTree::LastFolderOf(const QString& driveRoot) const
{
    return m_lastFolder.value(driveRoot, driveRoot);
}

// ---- folders ----

bool TDirTree::IsFolderAccepted(const QString& path)
{
    if (!m_goBelowRecycleBin && IsBelowRecycleBin(path))
        return false;
    bool doAdd = true;
    if (OnAddDir)
        OnAddDir(this, path, doAdd);
    return doAdd;
}

bool TDirTree::FolderAttributesMatch(int attributes) const
{
    if (m_dirTypes & dtAll)
        return true;
    if ((attributes & faHidden) && !(m_dirTypes & dtHidden))
        return false;
    if ((attributes & faSysFile) && !(m_dirTypes & dtSystem))
        return false;
    if ((attributes & faArchive) && !(m_dirTypes & dtArchive))
        return false;
    return (m_dirTypes & dtNormal) || (attributes & (faHidden | faSysFile | faArchive));
}

std::optional<QList<QString>> TDirTree::Enumerate(const QString& path, bool firstOnly)
{
    QList<QString> found;
    const auto counts = [&](const TDirRec& rec) {
        if (!(rec.Attr & faDirectory) || rec.Name.isEmpty() || rec.Name == QLatin1String(".")
            || rec.Name == QLatin1String(".."))
            return false;
        const QString folder = path + rec.Name + u'/';
        // A tree that does not list a kind of volume does not lead into one
        // mounted below a folder either.
        const auto mount = m_mounts.constFind(folder);
        if (mount != m_mounts.cend() && !LooksInside(*mount) && !(m_driveTypes & *mount))
            return false;
        if (!IsFolderAccepted(folder) || !FolderAttributesMatch(rec.Attr))
            return false;
        found << folder;
        return true;
    };
    if (OnFindDir) {
        TDirRec rec;
        int result = -1;
        OnFindDir(this, path, rec, result, true);
        while (result == 0) {
            if (counts(rec) && firstOnly)
                break;
            rec = TDirRec();
            result = -1;
            OnFindDir(this, path, rec, result, false);
        }
        return found;
    }
    QSet<QString> mountNames;
    for (auto it = m_mounts.cbegin(); it != m_mounts.cend(); ++it)
        if (it.key().size() > path.size() && it.key().startsWith(path)
            && it.key().indexOf(u'/', path.size()) == it.key().size() - 1)
            mountNames << it.key().mid(path.size()).chopped(1);
    const std::optional<QStringList> names
        = VolumeProbe::Answer<QStringList>(path, [path, mountNames] { return SubfolderNames(path, mountNames); });
    if (!names)
        return std::nullopt;
    for (const QString& name : *names) {
        TDirRec rec;
        rec.Name = name;
        rec.Attr = faDirectory | (name.startsWith(u'.') ? faHidden : 0);
        if (counts(rec) && firstOnly)
            break;
    }
    return found;
}

void TDirTree::ReadFolderChildren(QTreeWidgetItem* node)
{
    TDirNode* d = dirNode(node);
    if (!d || d->Read)
        return;
    DeleteChildren(node);
    // A volume that does not answer leaves the node unread and empty.
    const std::optional<QList<QString>> found = Enumerate(d->Path, false);
    if (!found)
        return;
    d->Read = true;
    // A drive read for the first time (a removable one, named without a look
    // at its medium) knows its medium from now on: a folder selected on it is
    // not taken for one of another medium.
    if (!node->parent() && !m_serial.contains(d->Path))
        m_serial.insert(d->Path, DriveInfoOf(d->Path).Serial);
    const QList<QString>& paths = *found;
    QStringList keys;
    for (const QString& p : paths)
        keys << LastComponent(p).toLower();
    std::vector<int> order(paths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return StrLess(keys[a], keys[b]); });
    const QStringList shared = m_showShareOverlay ? (m_shareSource ? m_shareSource() : DesktopShares()) : QStringList();
    for (int i : order) {
        QTreeWidgetItem* child = AddFolderNode(node, paths[i], d->Extra);
        if (m_showShareOverlay)
            ApplyShareMark(child, shared);
    }
}

void TDirTree::ProbeFolderChildren(QTreeWidgetItem* node)
{
    TDirNode* d = dirNode(node);
    if (!d || d->Read)
        return;
    // An unread node holds at most its placeholder: look again.
    DeleteChildren(node);
    if (!Enumerate(d->Path, true).value_or(QList<QString>()).isEmpty())
        new QTreeWidgetItem(node);
}

QTreeWidgetItem* TDirTree::AddFolderNode(QTreeWidgetItem* parent, const QString& path, void* extra, int index)
{
    auto* node = new TDirNode(path, extra);
    node->setText(0, LastComponent(path));
    if (index < 0)
        parent->addChild(node);
    else
        parent->insertChild(index, node);
    // Told by the mount table alone: the file system is not asked for icons.
    const auto mount = m_mounts.constFind(path);
    node->setIcon(0, mount == m_mounts.cend() ? m_folderIcon : DriveIcon(*mount));
    emit OnGetIcon(node);
    return node;
}

void TDirTree::ApplyShareMark(QTreeWidgetItem* node, const QStringList& shared)
{
    TDirNode* d = dirNode(node);
    if (!d)
        return;
    d->OverlayIndex = shared.contains(WithoutSlash(d->Path)) ? 0 : -1;
    ApplyOverlay(node);
}

void TDirTree::UpdateOverlays(QTreeWidgetItem* node, const QStringList& shared)
{
    TDirNode* d = dirNode(node);
    if (!d)
        return;
    if (m_showShareOverlay) {
        ApplyShareMark(node, shared);
    } else {
        d->OverlayIndex = -1;
        ApplyOverlay(node);
    }
    // Below a node that was never read there are only placeholders.
    if (d->Read || !m_showShareOverlay)
        for (int i = 0; i < node->childCount(); ++i)
            UpdateOverlays(node->child(i), shared);
}

void TDirTree::ApplyOverlay(QTreeWidgetItem* node)
{
    TDirNode* d = dirNode(node);
    if (d->OverlayIndex != 0) {
        if (!d->PlainIcon.isNull()) {
            node->setIcon(0, d->PlainIcon);
            d->PlainIcon = QIcon();
        }
        return;
    }
    if (d->PlainIcon.isNull())
        d->PlainIcon = node->icon(0);
    // The share mark: a blue disc with an arrow leaving it, at the bottom left.
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    QIcon marked;
    for (QIcon::Mode mode : { QIcon::Normal, QIcon::Selected }) {
        QPixmap pm = d->PlainIcon.pixmap(size, mode);
        if (pm.isNull()) {
            pm = QPixmap(size, size);
            pm.fill(Qt::transparent);
        }
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF disc(0, size * 0.5, size * 0.5, size * 0.5);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(QColor(0, 90, 200));
        p.drawEllipse(disc);
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(disc.center(), disc.topRight() + QPointF(-1, 1));
        p.end();
        marked.addPixmap(pm, mode);
    }
    node->setIcon(0, marked);
}

// ---- drives ----

QList<TDriveInfo> TDirTree::AvailableDrives() const
{
    QList<TDriveInfo> drives;
    const QList<TDriveInfo> all = m_driveSource();
    for (const TDriveInfo& d : all)
        if (m_driveTypes & d.Type)
            drives << d;
    std::sort(drives.begin(), drives.end(), [](const TDriveInfo& a, const TDriveInfo& b) { return a.Root < b.Root; });
    return drives;
}

TDriveInfo TDirTree::DriveInfoOf(const QString& root) const
{
    const QList<TDriveInfo> all = m_driveSource();
    for (const TDriveInfo& d : all)
        if (d.Root == root)
            return d;
    TDriveInfo none;
    none.Root = root;
    return none;
}

QString TDirTree::DriveCaption(const QString& root)
{
    const TDriveInfo info = DriveInfoOf(root);
    const QString where = WithoutSlash(root);
    QString caption = QLatin1Char('(') + where + QLatin1Char(')');
    if (info.Serial != -1 && !info.Label.isEmpty())
        caption = info.Label + QLatin1Char(' ') + caption;
    m_serial.insert(root, info.Serial);
    if ((info.Type == drtRemovable || info.Type == drtRemote) && !info.DisplayName.isEmpty())
        caption = info.DisplayName;
    return caption;
}

QTreeWidgetItem* TDirTree::AddDriveNode(const TDriveInfo& drive, int index)
{
    auto* node = new TDirNode(drive.Root, nullptr);
    if (drive.Type == drtRemovable) {
        // Named without reading the medium; the first selection reads it.
        node->setText(0, drive.DisplayName.isEmpty() ? drive.Root : drive.DisplayName);
        m_serial.remove(drive.Root);
    } else {
        node->setText(0, DriveCaption(drive.Root));
    }
    if (index < 0)
        addTopLevelItem(node);
    else
        insertTopLevelItem(index, node);
    node->setIcon(0, DriveIcon(drive.Type));
    emit OnGetIcon(node);
    if (m_showShareOverlay)
        ApplyShareMark(node, m_shareSource ? m_shareSource() : DesktopShares());
    // Drives that may hold no medium or not answer, and all of them with
    // FastLoad, get their expand button without a look inside.
    if (!m_fastLoad && LooksInside(drive.Type))
        ProbeFolderChildren(node);
    else
        new QTreeWidgetItem(node);
    return node;
}

void TDirTree::LoadDriveNodes()
{
    if (!m_created)
        return;
    BusyScope busy(this, true);
    Lock();
    try {
        ClearTree();
        RefreshMounts();
        const QList<TDriveInfo> drives = AvailableDrives();
        m_driveRoots.clear();
        for (const TDriveInfo& d : drives) {
            m_driveRoots << d.Root;
            if (IsFolderAccepted(d.Root))
                AddDriveNode(d, -1);
        }
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    if (currentItem())
        scrollToItem(currentItem());
}

bool TDirTree::UpdateDriveNodes()
{
    BusyScope busy(this, true);
    bool changed = false;
    Lock();
    try {
        RefreshMounts();
        const QList<TDriveInfo> drives = AvailableDrives();
        QStringList roots;
        for (const TDriveInfo& d : drives)
            roots << d.Root;
        for (const QString& root : std::as_const(m_driveRoots))
            if (!roots.contains(root))
                if (QTreeWidgetItem* node = TopLevelNode(root)) {
                    DeleteNode(node);
                    changed = true;
                }
        for (const TDriveInfo& d : drives) {
            if (m_driveRoots.contains(d.Root) || !IsFolderAccepted(d.Root))
                continue;
            int index = 0;
            while (index < topLevelItemCount() && NodePath(topLevelItem(index)) < d.Root)
                ++index;
            AddDriveNode(d, index < topLevelItemCount() ? index : -1);
            changed = true;
        }
        m_driveRoots = roots;
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    viewport()->update();
    return changed;
}

void TDirTree::RebuildDriveNode(QTreeWidgetItem* driveNode)
{
    TDirNode* d = dirNode(driveNode);
    if (!d)
        return;
    // The selection may be in the part that goes: the caller reports the
    // change once the drive is whole again.
    --m_changeLock;
    // Shut, so that opening it reads the new medium.
    driveNode->setExpanded(false);
    DeleteChildren(driveNode);
    d->Read = false;
    ProbeFolderChildren(driveNode);
    driveNode->setText(0, DriveCaption(d->Path));
    if (m_serial.value(d->Path, -1) != -1 && driveNode->childCount() == 0)
        new QTreeWidgetItem(driveNode);
    ++m_changeLock;
}

// Whether the drive holds another medium than when it was last read (or was
// never read); the serial number kept stays as it was.
bool TDirTree::MediumChanged(const QString& root) const
{
    const auto known = m_serial.constFind(root);
    return known == m_serial.cend() || *known != DriveInfoOf(root).Serial;
}

// The first drive, from the last, whose medium has changed is rebuilt.
bool TDirTree::CheckMedia()
{
    for (int i = topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* drive = topLevelItem(i);
        const QString root = NodePath(drive);
        if (!root.isEmpty() && MediumChanged(root)) {
            RebuildDriveNode(drive);
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* TDirTree::DriveNodeOf(QTreeWidgetItem* node) const
{
    while (node && node->parent())
        node = node->parent();
    return node;
}

QTreeWidgetItem* TDirTree::DriveNodeForPath(const QString& path) const
{
    QTreeWidgetItem* best = nullptr;
    qsizetype bestLength = -1;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QString root = NodePath(topLevelItem(i));
        if (!root.isEmpty() && path.startsWith(root) && root.size() > bestLength) {
            best = topLevelItem(i);
            bestLength = root.size();
        }
    }
    return best;
}

QTreeWidgetItem* TDirTree::TopLevelNode(const QString& root) const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (NodePath(topLevelItem(i)) == root)
            return topLevelItem(i);
    return nullptr;
}

QString TDirTree::CurrentDriveRoot() const
{
    const QString current = WithSlash(QDir::currentPath());
    QString best = QStringLiteral("/");
    const QList<TDriveInfo> all = m_driveSource();
    for (const TDriveInfo& d : all)
        if (current.startsWith(d.Root) && d.Root.size() > best.size())
            best = d.Root;
    return best;
}

void TDirTree::RefreshMounts()
{
    m_mounts.clear();
    const QList<MountEntry> table = ReadMountTable();
    for (const MountEntry& m : table)
        if (!IsKernelFileSystem(m.type))
            m_mounts.insert(WithSlash(m.mountPoint), DriveTypeOf(m.type, m.source, m.mountPoint));
    const QList<TDriveInfo> drives = m_driveSource();
    for (const TDriveInfo& d : drives)
        m_mounts.insert(d.Root, d.Type);
}

QIcon TDirTree::DriveIcon(TDriveType type) const
{
    return m_icons.icon(type == drtRemote ? QFileIconProvider::Network : QFileIconProvider::Drive);
}

// ---- selection ----

QString TDirTree::SelectedPath() const
{
    const TDirNode* d = dirNode(currentItem());
    return d ? d->Path : QStringLiteral("?");
}

QTreeWidgetItem* TDirTree::WalkPath(const QString& path, bool read)
{
    QTreeWidgetItem* node = DriveNodeForPath(path);
    if (!node)
        return nullptr;
    const QStringList rest = path.mid(NodePath(node).size()).split(u'/', Qt::SkipEmptyParts);
    if (read)
        ReadFolderChildren(node);
    for (const QString& name : rest) {
        const QString prefix = NodePath(node) + name + u'/';
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i)
            if (NodePath(node->child(i)) == prefix)
                next = node->child(i);
        if (!next)
            return nullptr;
        node = next;
        if (read)
            ReadFolderChildren(node);
    }
    return node;
}

void TDirTree::SetSelectedPath(const QString& path)
{
    if (path.isEmpty())
        throw KorvelError(QStringLiteral("Invalid Path Name"));
    if (path == QLatin1String("?"))
        return;
    QString p = path.startsWith(u'/') ? WithSlash(QDir::cleanPath(path)) : WithSlash(path);
    if (!VolumeProbe::Exists(WithoutSlash(p)))
        p = CurrentDriveRoot();
    BusyScope busy(this, true);
    RefreshMounts();
    if (QTreeWidgetItem* node = WalkPath(p, true)) {
        setCurrentItem(node);
        scrollToItem(node);
    }
}

QTreeWidgetItem* TDirTree::FindPathNode(const QString& path) const
{
    return const_cast<TDirTree*>(this)->WalkPath(WithSlash(path), false);
}

void TDirTree::ReloadTree()
{
    const QString remembered = SelectedPath();
    LoadDriveNodes();
    try {
        SetSelectedPath(remembered);
        if (!currentItem() && remembered != QLatin1String("?"))
            if (QTreeWidgetItem* drive = DriveNodeForPath(remembered))
                SetSelectedPath(NodePath(drive));
        if (currentItem() || topLevelItemCount() == 0)
            return;
        QTreeWidgetItem* drive = nullptr;
        for (int i = 0; i < topLevelItemCount() && !drive; ++i) {
            QTreeWidgetItem* d = topLevelItem(i);
            if (d->childCount() == 0 || NodeRead(d->child(0)))
                drive = d;
        }
        if (!drive)
            drive = topLevelItem(topLevelItemCount() - 1);
        const QString last = LastFolderOf(NodePath(drive));
        SetSelectedPath(last);
        if (SelectedPath() != last) {
            setCurrentItem(drive);
            Change(drive);
        }
    } catch (const std::exception&) {
        // A selection that cannot be restored leaves the tree without one.
    }
}

// ---- deletion ----

void TDirTree::NotifyDeleted(QTreeWidgetItem* node)
{
    if (m_destroying)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        NotifyDeleted(node->child(i));
    emit OnDeleteItem(node);
}

void TDirTree::DeleteNode(QTreeWidgetItem* node)
{
    NotifyDeleted(node);
    delete node;
}

void TDirTree::DeleteChildren(QTreeWidgetItem* node)
{
    for (int i = 0; i < node->childCount(); ++i)
        NotifyDeleted(node->child(i));
    qDeleteAll(node->takeChildren());
}

void TDirTree::ClearTree()
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        NotifyDeleted(topLevelItem(i));
    clear();
}

// ---- events ----

void TDirTree::Unlock()
{
    m_changeLock = std::min(m_changeLock + 1, 0);
    if (m_changeLock == 0)
        Change(currentItem());
}

void TDirTree::Change(QTreeWidgetItem* node)
{
    if (m_destroying || m_changeLock != 0)
        return;
    if (dirNode(node)) {
        QTreeWidgetItem* drive = DriveNodeOf(node);
        const QString root = NodePath(drive);
        if (MediumChanged(root)) {
            // Another medium: what was below the drive is gone.
            RebuildDriveNode(drive);
            node = drive;
            --m_changeLock;
            setCurrentItem(drive);
            ++m_changeLock;
        }
        m_lastFolder.insert(root, NodePath(node));
    }
    emit OnChange(node);
}

void TDirTree::Click()
{
    QTreeWidgetItem* node = currentItem();
    if (!dirNode(node))
        return;
    if (!MediumChanged(NodePath(DriveNodeOf(node))))
        emit OnClick();
    else
        Change(node);
}

void TDirTree::CanExpand(QTreeWidgetItem* node)
{
    BusyScope busy(this, false);
    RefreshMounts();
    ReadFolderChildren(node);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const auto mount = m_mounts.constFind(NodePath(child));
        if (mount == m_mounts.cend() || LooksInside(*mount))
            ProbeFolderChildren(child);
        else if (child->childCount() == 0)
            new QTreeWidgetItem(child);
    }
}

void TDirTree::DeviceChange()
{
    Lock();
    try {
        if (!UpdateDriveNodes())
            CheckMedia();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

void TDirTree::HookOwner()
{
    QWidget* owner = window();
    if (owner == this || owner == m_owner)
        return;
    UnhookOwner();
    m_owner = owner;
    m_owner->installEventFilter(this);
    WatchMounts();
}

void TDirTree::UnhookOwner()
{
    if (m_owner)
        m_owner->removeEventFilter(this);
    m_owner = nullptr;
}

bool TDirTree::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && event->type() == DeviceChangeEvent()) {
        DeviceChange();
        return true;
    }
    return QTreeWidget::eventFilter(watched, event);
}

void TDirTree::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_acceptDropFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirTree::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_acceptDropFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirTree::dropEvent(QDropEvent* event)
{
    if (!m_acceptDropFiles) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const TDirNode* target = viewport()->rect().contains(pos) ? dirNode(itemAt(pos)) : nullptr;
    if (!target)
        return;
    m_dropList.clear();
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            m_dropList << url.toLocalFile();
    if (m_dropList.isEmpty())
        return;
    event->acceptProposedAction();
    emit OnDropFiles(pos.x(), pos.y(), target->Path, m_dropList, event->modifiers());
}
