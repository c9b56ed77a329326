#include "ruvo_nastav.h"

#include "ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "components/dirtree.h"
#include "components/fileutil.h"
#include "components/kitstatusbar.h"
#include "components/listpictures.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/cp1250.h"
#include "platform/errors.h"
#include "platform/filereplace.h"
#include "platform/hotkeys.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/tag.h"
#include "platform/volumeprobe.h"
#include "shared/commands.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/listviewtovi.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

#include <sys/stat.h>

namespace {

const QString Nastav = QStringLiteral("Nastav");
const QString Klaves = QStringLiteral("Klaves");
const QString Hodiny = QStringLiteral("Hodiny");
const QString ZvukAdr = QStringLiteral("ZvukAdr");
const QString ReminderData = QStringLiteral("korvel.da1");
const QString ContactData = QStringLiteral("korvel.db1");

constexpr int DesignClientWidth = 620;
// The controls' part of the client area, between the menu and the status bar.
constexpr int ControlsHeight = 396;

const QStringList ClockMinutes { QStringLiteral("00"), QStringLiteral("15"), QStringLiteral("30"),
    QStringLiteral("45") };

enum { KindMinutes = 1, KindSeconds = 2 };

void SetHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

// The clock buttons' glyphs: a loudspeaker that sounds ("HON") or is
// crossed out ("HNO").
QPixmap ClockGlyph(bool on)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(32, 32, 32), 1));
    p.setBrush(on ? QColor(60, 60, 60) : QColor(150, 150, 150));
    p.drawPolygon(QPolygon({ { 3, 9 }, { 7, 9 }, { 12, 4 }, { 12, 20 }, { 7, 15 }, { 3, 15 } }));
    p.setBrush(Qt::NoBrush);
    if (on) {
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawArc(QRect(10, 8, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRect(10, 4, 11, 16), -60 * 16, 120 * 16);
    } else {
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(15, 8, 21, 16);
        p.drawLine(21, 8, 15, 16);
    }
    return pm;
}

// A stored folder as a path of this file system; empty when it cannot be one
// (a Windows drive or share, or a relative path). Unless asWritten, a folder
// whose name differs only in letter case stands in for one that does not
// exist as written.
QString LocalFolder(const QString& stored, bool asWritten = false)
{
    const QString local = asWritten ? PathAsWritten(stored) : LocalPath(stored);
    if (local.isEmpty() || !QDir::isAbsolutePath(local))
        return {};
    return QDir::cleanPath(local);
}

// Whether two folders of this file system are one: the same spelling once
// cleaned, or the same folder reached another way (a link, a file system that
// ignores letter case). Names differing in letter case are two folders here.
bool SameFolder(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    struct stat sa { };
    struct stat sb { };
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The copy is kept only when it reads back exactly as the source: the
// source is removed on the strength of it.
void CopyVerified(const QString& source, const QString& target)
{
    CopyFileReplacing(source, target);
    bool whole = false;
    const auto removeUnlessWhole = qScopeGuard([&] {
        if (!whole)
            QFile::remove(target);
    });
    whole = ReadWholeFile(target) == ReadWholeFile(source);
    if (!whole)
        throw IoError(EIO, target);
}

} // namespace

// ---- THotKey ----

THotKey::THotKey(QWidget* parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetHotKey(QKeyCombination::fromCombined(0));
}

void THotKey::SetHotKey(QKeyCombination hotKey)
{
    m_hotKey = hotKey;
    const QString text = ShortCutToText(hotKey);
    setText(text.isEmpty() ? QStringLiteral("Žádná") : text);
}

bool THotKey::event(QEvent* event)
{
    // Every key but Tab belongs to the field, also those that are the
    // window's shortcuts ("Alt+Z" is a hotkey here, not the Cancel button).
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void THotKey::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers()
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier);
    const int key = event->key();
    if (key == Qt::Key_Escape && !(modifiers & ~Qt::KeypadModifier)) {
        event->ignore(); // the window's
        return;
    }
    if (key == Qt::Key_Backspace && !(modifiers & ~Qt::KeypadModifier)) {
        SetHotKey(QKeyCombination::fromCombined(0));
        emit HotKeyChanged();
        return;
    }
    const QKeyCombination combination(modifiers, Qt::Key(key));
    // Modifiers alone, and keys without a name in the settings file, are no
    // shortcut.
    if (ShortCutToText(combination).isEmpty())
        return;
    if (!IsGlobalHotKey(combination)) {
        emit HotKeyRefused(combination);
        return;
    }
    SetHotKey(combination);
    emit HotKeyChanged();
}

// ---- TFileListBox ----

TFileListBox::TFileListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TFileListBox::SetDirectory(const QString& directory)
{
    m_directory = directory;
    Update();
}

void TFileListBox::SetMask(const QString& mask)
{
    m_mask = mask;
    Update();
}

void TFileListBox::Update()
{
    clear();
    if (m_directory.isEmpty())
        return;
    // Name filters match without regard to letter case; hidden files are left
    // out. A folder whose volume does not answer lists nothing.
    const QString mask = m_mask == QLatin1String("*.*") ? QStringLiteral("*") : m_mask;
    addItems(VolumeProbe::Answer<QStringList>(m_directory, [directory = m_directory, mask] {
        return QDir(directory, mask, QDir::Name | QDir::IgnoreCase, QDir::Files).entryList();
    }).value_or(QStringList()));
}

// ---- moving the data files ----

QStringList CopyDataFiles(const QString& fromFolder, const QString& toFolder)
{
    const QDir from(fromFolder);
    const QDir to(toFolder);
    // A file not made yet (a fresh installation) has nothing to move.
    QStringList names;
    for (const QString& name : { ReminderData, ContactData })
        if (QFileInfo::exists(from.filePath(name)))
            names << name;
    for (const QString& name : std::as_const(names))
        if (QFileInfo::exists(to.filePath(name)))
            throw IoError(EEXIST, to.filePath(name));
    QStringList made;
    try {
        for (const QString& name : std::as_const(names)) {
            CopyVerified(from.filePath(name), to.filePath(name));
            made << name;
        }
    } catch (const IoError&) {
        for (const QString& copy : std::as_const(made))
            QFile::remove(to.filePath(copy));
        throw;
    }
    return made;
}

void RemoveOldDataFiles(const QString& fromFolder, const QString& toFolder)
{
    const QDir from(fromFolder);
    const QDir to(toFolder);
    // A file that cannot be removed stays behind as a stale copy; the data in
    // use is in the new folder either way.
    QFile::remove(from.filePath(ReminderData));
    QFile::remove(from.filePath(ContactData));
    for (const QString& name : { QStringLiteral("korvel.bak"), QStringLiteral("kkorvel.bak") }) {
        const QString old = from.filePath(name);
        if (!QFileInfo::exists(old) || QFileInfo::exists(to.filePath(name)))
            continue;
        // A backup that cannot be moved stays where it was.
        try {
            CopyVerified(old, to.filePath(name));
            QFile::remove(old);
        } catch (const IoError&) {
        }
    }
}

// ---- TFNastav ----

TFNastav::TFNastav(QWidget* parent)
    : TFVychoziZakl(parent)
{
    setObjectName(QStringLiteral("FNastav"));
    setWindowTitle(QStringLiteral("Nastavení programu"));
    SetHelpContext(this, 500);
    BuildControls();
    FormCreate();
    LoadSettings();
}

QString TFNastav::SettingsFile() const
{
    return FZaklad()->SettingsFile();
}

void TFNastav::BuildControls()
{
    QWidget* client = Client();
    resize(DesignClientWidth, Menu()->sizeHint().height() + ControlsHeight + SBar()->sizeHint().height());

    auto* area = new QWidget(client);
    area->setGeometry(0, 0, DesignClientWidth, ControlsHeight);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(4, 4, 4, 4);

    PC = new QTabWidget(area);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setTabPosition(QTabWidget::South);
    PC->addTab(BuildFoldersTab(), QStringLiteral("adresáře"));
    PC->addTab(BuildExchangeTab(), QStringLiteral("export / import"));
    PC->addTab(BuildSettingsTab(), QStringLiteral("nastavení"));
    PC->addTab(BuildHotkeysTab(), QStringLiteral("klávesové zkratky"));
    PC->addTab(BuildClockTab(), QStringLiteral("informace o čase"));
    column->addWidget(PC, 1);

    auto* buttons = new QHBoxLayout;
    const QStyle* style = QApplication::style();
    const auto button = [&](const char* name, const QString& caption, const QIcon& icon) {
        auto* b = new QPushButton(icon, caption, area);
        b->setObjectName(QLatin1String(name));
        b->setIconSize(QSize(20, 20));
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    BOK = button("BOK", QStringLiteral("&OK"), ListWindowPicture(QStringLiteral("BOK")));
    SetHint(BOK, QStringLiteral("uloží změny v nastavení programu a ukončí formulář"));
    BCancel = button("BCancel", QStringLiteral("&Zpět"), ListWindowPicture(QStringLiteral("BCANCEL")));
    SetHint(BCancel, QStringLiteral("ukončí formulář nastavení programu"));
    BBHelp = button("BBHelp", QStringLiteral("&Nápověda"), style->standardIcon(QStyle::SP_DialogHelpButton));
    column->addLayout(buttons);

    const auto guarded = [](auto handler) { return [handler] { RunGuarded(handler); }; };
    connect(BOK, &QPushButton::clicked, this, guarded([this] { BOKClick(); }));
    connect(BCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(BBHelp, &QPushButton::clicked, this, guarded([this] { BBHelpClick(); }));
}

QWidget* TFNastav::BuildFoldersTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    DirTree = new TDirTree(page);
    DirTree->setObjectName(QStringLiteral("DirTree"));
    DirTree->SetReadOnStart(true);
    DirTree->SetFastLoad(false);
    DirTree->SetGoBelowRecycleBin(false);
    DirTree->SetDriveTypes(drtFixed);
    DirTree->SetDirTypes(dtReadOnly | dtSystem | dtArchive | dtNormal | dtAll);
    DirTree->SetShowShareOverlay(false);
    DirTree->SetAcceptDropFiles(false);
    DirTree->SetInitialDirectory(QStringLiteral("/"));
    grid->addWidget(DirTree, 0, 0);

    FileLB = new TFileListBox(page);
    FileLB->setObjectName(QStringLiteral("FileLB"));
    FileLB->SetMask(QStringLiteral("*.wav"));
    grid->addWidget(FileLB, 0, 1, 1, 2);

    LVAdr = new QTreeWidget(page);
    LVAdr->setObjectName(QStringLiteral("LVAdr"));
    LVAdr->setColumnCount(1);
    LVAdr->setHeaderLabels({ QStringLiteral("vybrané adresáře") });
    LVAdr->setRootIsDecorated(false);
    LVAdr->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(LVAdr, 1, 0, 1, 2);

    auto* side = new QVBoxLayout;
    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(QLatin1String(name));
        b->setFixedWidth(36);
        b->setAutoDefault(false);
        side->addWidget(b);
        return b;
    };
    BPlus = button("BPlus", QStringLiteral("+"));
    BPryc = button("BPryc", QStringLiteral("X"));
    BNahoru = button("BNahoru", QStringLiteral("/\\"));
    BDolu = button("BDolu", QStringLiteral("\\/"));
    side->addStretch(1);
    grid->addLayout(side, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 2);

    connect(BPlus, &QPushButton::clicked, this, [this] { RunGuarded([this] { BPlusClick(); }); });
    connect(BPryc, &QPushButton::clicked, this, [this] { BPrycClick(); });
    connect(BNahoru, &QPushButton::clicked, this, [this] { BNahoruClick(); });
    connect(BDolu, &QPushButton::clicked, this, [this] { BDoluClick(); });
    connect(LVAdr, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* item) { RunGuarded([this, item] { LVAdrClick(item); }); });
    connect(DirTree, &TDirTree::OnChange, this, [this](QTreeWidgetItem* node) { DirTreeChange(node); });
    return page;
}

QWidget* TFNastav::BuildExchangeTab()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);

    auto* dirRow = new QHBoxLayout;
    Dir = new TDirectoryEdit(page);
    Dir->setObjectName(QStringLiteral("Dir"));
    Dir->SetDialogKind(dkWin32);
    Dir->SetDialogText(QStringLiteral("Vyber nebo vytvoř adresář"));
    Dir->SetDialogOptions(sdAllowCreate);
    auto* dirLabel = new QLabel(QStringLiteral("Implicitní adresář:"), page);
    dirLabel->setBuddy(Dir);
    dirRow->addWidget(dirLabel);
    dirRow->addWidget(Dir, 1);
    column->addLayout(dirRow);

    const auto check = [page](const char* name) {
        auto* c = new QCheckBox(page);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    auto* autoRow = new QHBoxLayout;
    const auto autoGroup = [&](const QString& title, QCheckBox*& box, const char* name) {
        auto* g = new QGroupBox(title, page);
        auto* row = new QHBoxLayout(g);
        box = check(name);
        box->setParent(g);
        row->addWidget(new QLabel(QStringLiteral("spouštět automaticky:"), g));
        row->addWidget(box);
        row->addStretch(1);
        autoRow->addWidget(g);
    };
    autoGroup(QStringLiteral("Připomenutí"), ChBAuto, "ChBAuto");
    autoGroup(QStringLiteral("Kontakty"), ChBKAuto, "ChBKAuto");
    column->addLayout(autoRow);

    auto* automatika = new QGroupBox(QStringLiteral("Automatika:"), page);
    auto* grid = new QGridLayout(automatika);
    grid->addWidget(new QLabel(QStringLiteral("Připomenutí"), automatika), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Kontakty"), automatika), 0, 2, Qt::AlignCenter);
    const auto row = [&](int r, const QString& caption, QCheckBox*& reminders, const char* rName, QCheckBox** contacts,
                         const char* cName) {
        grid->addWidget(new QLabel(caption, automatika), r, 0);
        reminders = check(rName);
        reminders->setParent(automatika);
        grid->addWidget(reminders, r, 1, Qt::AlignCenter);
        if (contacts) {
            *contacts = check(cName);
            (*contacts)->setParent(automatika);
            grid->addWidget(*contacts, r, 2, Qt::AlignCenter);
        }
    };
    row(1, QStringLiteral(" Import - odstranit vymazané:"), ChBImpDel, "ChBImpDel", &ChBKImpDel, "ChBKImpDel");
    row(2, QStringLiteral(" Import - spustit přehled:"), ChBPrehled, "ChBPrehled", &ChBKPrehled, "ChBKPrehled");
    row(3, QStringLiteral(" Export - odstranit vymazané:"), ChBExpDel, "ChBExpDel", &ChBKExpDel, "ChBKExpDel");
    row(4, QStringLiteral(" Export - jen změn. od posl. importu:"), ChBExpZmen, "ChBExpZmen", &ChBKExpZmen,
        "ChBKExpZmen");
    row(5, QStringLiteral("Export - vytvářet zálohu:"), ChBExpZal, "ChBExpZal", nullptr, nullptr);
    // The contacts program opens no overview after its import.
    ChBKPrehled->hide();
    grid->setColumnStretch(0, 1);
    column->addWidget(automatika);
    column->addStretch(1);
    return page;
}

QWidget* TFNastav::BuildSettingsTab()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);

    const auto trackRow = [&](const QString& caption, QSlider*& bar, const char* barName, QLineEdit*& edit,
                              const char* editName, int min, int max, int kindTag) {
        column->addWidget(new QLabel(caption, page));
        auto* row = new QHBoxLayout;
        bar = new QSlider(Qt::Horizontal, page);
        bar->setObjectName(QLatin1String(barName));
        bar->setRange(min, max);
        bar->setPageStep(1);
        bar->setTickPosition(QSlider::TicksBelow);
        bar->setTickInterval(max - min > 20 ? 5 : 1);
        setTag(bar, kindTag);
        edit = new QLineEdit(page);
        edit->setObjectName(QLatin1String(editName));
        edit->setReadOnly(true);
        edit->setFixedWidth(70);
        edit->setFocusPolicy(Qt::NoFocus);
        row->addWidget(bar, 1);
        row->addWidget(edit);
        column->addLayout(row);
        QSlider* const handled = bar;
        connect(bar, &QSlider::valueChanged, this, [this, handled] { TrackBarChange(handled); });
    };
    trackRow(QStringLiteral("Perioda připomenutí zobrazeného připomenutí:"), TBPripOpak, "TBPripOpak", EPripOpak,
        "EPripOpak", 1, 10, 0);
    trackRow(QStringLiteral("Perioda přepínání omezení dnů v přehledu:"), TAutoOmez, "TAutoOmez", EAutoOmez,
        "EAutoOmez", 3, 60, 1);

    ChBAnim = new QCheckBox(QStringLiteral("Používat animovanou ikonu v pruhu úloh"), page);
    ChBAnim->setObjectName(QStringLiteral("ChBAnim"));
    column->addWidget(ChBAnim);
    ChBZobrIconForm = new QCheckBox(QStringLiteral("Ikony a názvy fomulářů na hlavním panelu"), page);
    ChBZobrIconForm->setObjectName(QStringLiteral("ChBZobrIconForm"));
    column->addWidget(ChBZobrIconForm);

    DEDatabaze = new TDirectoryEdit(page);
    DEDatabaze->setObjectName(QStringLiteral("DEDatabaze"));
    DEDatabaze->SetDialogOptions(sdAllowCreate);
    SetHint(DEDatabaze, QStringLiteral("adresář kde budou umístěny databáze (soubory: korvel.da1, korvel.db1)"));
    auto* label = new QLabel(QStringLiteral("Adresář umístění databází připomenutí a kontaktů:"), page);
    label->setBuddy(DEDatabaze);
    column->addSpacing(6);
    column->addWidget(label);
    column->addWidget(DEDatabaze);
    column->addStretch(1);
    return page;
}

QWidget* TFNastav::BuildHotkeysTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    const auto hotKey = [&](const char* name, const QString& caption) {
        auto* h = new THotKey(page);
        h->setObjectName(QLatin1String(name));
        auto* label = new QLabel(caption, page);
        label->setBuddy(h);
        grid->addWidget(label, row, 0);
        grid->addWidget(h, row, 1);
        ++row;
        return h;
    };
    NKNew = hotKey("NKNew", QStringLiteral("Nové připomenutí:"));
    HKPrehled = hotKey("HKPrehled", QStringLiteral("Přehled připomenutí:"));
    HKAktCas = hotKey("HKAktCas", QStringLiteral("Aktuální čas:"));
    HKNewK = hotKey("HKNewK", QStringLiteral("Nový kontakt:"));
    HKPrehledK = hotKey("HKPrehledK", QStringLiteral("Přehled kontaktů:"));
    HKKalendar = hotKey("HKKalendar", QStringLiteral("Kalendář:"));
    LHotKeyHint = new QLabel(page);
    LHotKeyHint->setObjectName(QStringLiteral("LHotKeyHint"));
    LHotKeyHint->setWordWrap(true);
    QPalette red = LHotKeyHint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LHotKeyHint->setPalette(red);
    grid->addWidget(LHotKeyHint, row++, 0, 1, 2);
    for (THotKey* h : { NKNew, HKPrehled, HKAktCas, HKNewK, HKPrehledK, HKKalendar }) {
        connect(h, &THotKey::HotKeyRefused, this, &TFNastav::ShowHotKeyHint);
        connect(h, &THotKey::HotKeyChanged, LHotKeyHint, &QLabel::clear);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return page;
}

void TFNastav::ShowHotKeyHint(QKeyCombination refused)
{
    LHotKeyHint->setText(QStringLiteral("Zkratku „%1“ nelze použít: potřebuje Ctrl, Alt nebo klávesu Windows "
                                        "(samotné mohou být jen klávesy F1 až F24).")
                             .arg(ShortCutToText(refused)));
}

QWidget* TFNastav::BuildClockTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < ClockMinutes.size(); ++i) {
        const QString& mm = ClockMinutes[i];
        auto* group = new QGroupBox(QStringLiteral("XX : ") + mm, page);
        auto* layout = new QGridLayout(group);
        auto* anoNe = new QToolButton(group);
        anoNe->setObjectName(QStringLiteral("AnoNe") + mm);
        anoNe->setIconSize(QSize(24, 24));
        anoNe->setAutoRaise(false);
        SetAnoNe(anoNe, false);
        connect(anoNe, &QToolButton::clicked, this, [this, anoNe] { AnoNeClick(anoNe); });
        auto* gong = new QCheckBox(QStringLiteral("spustit gong"), group);
        gong->setObjectName(QStringLiteral("Gong") + mm);
        auto* slova = new QCheckBox(mm == QLatin1String("00") ? QStringLiteral("slovní vyjádření XX hodin")
                                                              : QStringLiteral("slovní vyjádření XX hodin XX minut"),
            group);
        slova->setObjectName(QStringLiteral("Slova") + mm);
        layout->addWidget(anoNe, 0, 0);
        layout->addWidget(gong, 0, 1);
        layout->addWidget(slova, 1, 0, 1, 2);
        layout->setColumnStretch(1, 1);
        grid->addWidget(group, i / 2, i % 2);
    }

    RCyklus = new QGroupBox(QStringLiteral("Cyklus:"), page);
    RCyklus->setObjectName(QStringLiteral("RCyklus"));
    auto* cycle = new QVBoxLayout(RCyklus);
    m_cyklus = new QButtonGroup(RCyklus);
    for (const QString& caption : { QStringLiteral("12 hodin"), QStringLiteral("24 hodin") }) {
        auto* radio = new QRadioButton(caption, RCyklus);
        m_cyklus->addButton(radio, m_cyklus->buttons().size());
        cycle->addWidget(radio);
    }
    SetRCyklusIndex(1);
    grid->addWidget(RCyklus, 2, 0);

    auto* now = new QGroupBox(QStringLiteral("aktuální čas"), page);
    auto* nowLayout = new QVBoxLayout(now);
    SlovaAC = new QCheckBox(QStringLiteral("slovní vyjádření"), now);
    SlovaAC->setObjectName(QStringLiteral("SlovaAC"));
    nowLayout->addWidget(SlovaAC);
    grid->addWidget(now, 2, 1);
    grid->setRowStretch(3, 1);
    return page;
}

int TFNastav::RCyklusIndex() const
{
    return m_cyklus->checkedId();
}

void TFNastav::SetRCyklusIndex(int index)
{
    if (QAbstractButton* b = m_cyklus->button(index))
        b->setChecked(true);
}

void TFNastav::LoadSettings()
{
    const IniFile ini(SettingsFile());
    LoadListFromIni(ini.fileName(), ZvukAdr, QStringLiteral("pocet"), true, LVAdr);

    const QString programDir = FZaklad()->ProgramDirectory();
    Dir->setText(ini.readString(Nastav, QStringLiteral("expimpdir"), programDir));
    const auto readBool = [&ini](const char* key, bool def) { return ini.readBool(Nastav, QLatin1String(key), def); };
    ChBAuto->setChecked(readBool("autoexpimp", false));
    ChBImpDel->setChecked(readBool("autoimpdel", true));
    ChBPrehled->setChecked(readBool("autoimpprehled", true));
    ChBExpDel->setChecked(readBool("autoexpdel", true));
    ChBExpZmen->setChecked(readBool("autoexpzmen", true));
    ChBKAuto->setChecked(readBool("kautoexpimp", false));
    ChBKImpDel->setChecked(readBool("kautoimpdel", true));
    ChBKPrehled->setChecked(readBool("kautoimpprehled", true));
    ChBKExpDel->setChecked(readBool("kautoexpdel", true));
    ChBKExpZmen->setChecked(readBool("kautoexpzmen", true));
    ChBExpZal->setChecked(readBool("autoexpzal", true));
    // Values outside a track bar's range are taken to its nearest end.
    TBPripOpak->setValue(ini.readInteger(Nastav, QStringLiteral("pripopak"), 1));
    ChBAnim->setChecked(readBool("animtray", true));
    ChBZobrIconForm->setChecked(readBool("zobriconform", true));
    TAutoOmez->setValue(ini.readInteger(Nastav, QStringLiteral("autoprepomezvel"), 5));

    THotKey* const hotKeys[] = { NKNew, HKPrehled, HKAktCas, HKNewK, HKPrehledK, HKKalendar };
    for (int i = 0; i < 6; ++i) {
        const QKeyCombination stored = TextToShortCut(ini.readString(Klaves, QString::number(i + 1), QString()));
        hotKeys[i]->SetHotKey(stored);
        // Kept as stored, but the tray will not take it.
        if (stored.toCombined() != 0 && !IsGlobalHotKey(stored))
            ShowHotKeyHint(stored);
    }

    OldDataFolder = ini.readString(Nastav, QStringLiteral("adrdatabaze"), programDir);
    DEDatabaze->setText(OldDataFolder);
    TrackBarChange(TBPripOpak);
    TrackBarChange(TAutoOmez);
    HodinyDleIni();

    DirTree->Loaded();
}

void TFNastav::HodinyDleIni()
{
    const IniFile ini(SettingsFile());
    for (const QString& mm : ClockMinutes) {
        if (auto* anoNe = findChild<QToolButton*>(QStringLiteral("AnoNe") + mm))
            SetAnoNe(anoNe, ini.readBool(Hodiny, mm + QStringLiteral("anone"), false));
        if (auto* gong = findChild<QCheckBox*>(QStringLiteral("Gong") + mm))
            gong->setChecked(ini.readBool(Hodiny, mm + QStringLiteral("gong"), false));
        if (auto* slova = findChild<QCheckBox*>(QStringLiteral("Slova") + mm))
            slova->setChecked(ini.readBool(Hodiny, mm + QStringLiteral("slova"), false));
    }
    // The tray resident takes any number but 0 for the 24-hour cycle.
    SetRCyklusIndex(ini.readInteger(Hodiny, QStringLiteral("cyklus24"), 1) != 0 ? 1 : 0);
    SlovaAC->setChecked(ini.readBool(Hodiny, QStringLiteral("ACslova"), false));
}

void TFNastav::HodinyDoIni()
{
    IniFile ini(SettingsFile());
    for (const QString& mm : ClockMinutes) {
        if (auto* anoNe = findChild<QToolButton*>(QStringLiteral("AnoNe") + mm))
            ini.writeBool(Hodiny, mm + QStringLiteral("anone"), tag(anoNe) == 1);
        if (auto* gong = findChild<QCheckBox*>(QStringLiteral("Gong") + mm))
            ini.writeBool(Hodiny, mm + QStringLiteral("gong"), gong->isChecked());
        if (auto* slova = findChild<QCheckBox*>(QStringLiteral("Slova") + mm))
            ini.writeBool(Hodiny, mm + QStringLiteral("slova"), slova->isChecked());
    }
    ini.writeInteger(Hodiny, QStringLiteral("cyklus24"), RCyklusIndex());
    ini.writeBool(Hodiny, QStringLiteral("ACslova"), SlovaAC->isChecked());
}

void TFNastav::InfopripOpak(int value, int kind, QLineEdit* edit)
{
    edit->setText(QString::number(value) + (kind == KindMinutes ? QStringLiteral(" min.") : QStringLiteral(" sec.")));
}

void TFNastav::SetAnoNe(QToolButton* button, bool on)
{
    button->setIcon(ClockGlyph(on));
    SetHint(button, on ? QStringLiteral("hlasové oznámení zapnuto") : QStringLiteral("hlasové oznámení vypnuto"));
    setTag(button, on ? 1 : 0);
}

void TFNastav::TrackBarChange(QSlider* trackBar)
{
    InfopripOpak(trackBar->value(), tag(trackBar) + 1, trackBar == TBPripOpak ? EPripOpak : EAutoOmez);
}

void TFNastav::AnoNeClick(QToolButton* button)
{
    SetAnoNe(button, tag(button) != 1);
}

void TFNastav::BPlusClick()
{
    const QString path = DirTree->SelectedPath();
    if (path == QLatin1String("?"))
        return;
    // Stored without the trailing separator, as the folders seeded at set-up.
    const QString folder = StripTrailingBackslash(path);
    if (ListViewContainsCaption(folder, LVAdr) || ListViewContainsCaption(path, LVAdr) || !StorablePathAccepted(folder))
        return;
    LVAdr->addTopLevelItem(new QTreeWidgetItem(QStringList { folder }));
}

void TFNastav::BPrycClick()
{
    const QList<QTreeWidgetItem*> selected = LVAdr->selectedItems();
    if (selected.size() == 1)
        delete selected.first();
}

void TFNastav::BNahoruClick()
{
    MoveSelected(LVAdr, -1);
}

void TFNastav::BDoluClick()
{
    MoveSelected(LVAdr, 1);
}

void TFNastav::LVAdrClick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString folder = LocalFolder(item->text(0));
    if (VolumeProbe::IsDir(folder))
        DirTree->SetSelectedPath(folder);
}

void TFNastav::DirTreeChange(QTreeWidgetItem* node)
{
    const QString path = TDirTree::NodePath(node);
    if (!path.isEmpty())
        FileLB->SetDirectory(path);
}

void TFNastav::BOKClick()
{
    // Nothing is saved while a folder cannot be; the window stays open.
    QStringList folders { Dir->text(), DEDatabaze->text() };
    for (int i = 0; i < LVAdr->topLevelItemCount(); ++i)
        folders << LVAdr->topLevelItem(i)->text(0);
    for (const QString& folder : std::as_const(folders))
        if (!StorablePathAccepted(folder))
            return;
    try {
        SaveSettings();
    } catch (const IniWriteError& e) {
        // Nothing is moved nor announced until the settings are saved; the
        // window stays open so that the user can try again or cancel.
        MessageDlgBeep(QStringLiteral("Nastavení nelze uložit.\r") + e.message(), MsgDlgType::Error, MsgBtn::OK, 0);
        return;
    }
    MoveDatabases();
    NotifyTray(tnReloadSettings);
    NotifyTray(tnClockChanged);
    done(mrOk);
}

void TFNastav::SaveSettings()
{
    const QString ini = SettingsFile();
    SaveListToIni(ini, ZvukAdr, QStringLiteral("pocet"), LVAdr);

    IniFile file(ini);
    const auto writeBool = [&file](const char* key, const QCheckBox* box) {
        file.writeBool(Nastav, QLatin1String(key), box->isChecked());
    };
    file.writeString(Nastav, QStringLiteral("expimpdir"), Dir->text());
    writeBool("autoexpimp", ChBAuto);
    writeBool("autoimpdel", ChBImpDel);
    writeBool("autoimpprehled", ChBPrehled);
    writeBool("autoexpdel", ChBExpDel);
    writeBool("autoexpzmen", ChBExpZmen);
    file.writeString(Nastav, QStringLiteral("kexpimpdir"), Dir->text());
    writeBool("kautoexpimp", ChBKAuto);
    writeBool("kautoimpdel", ChBKImpDel);
    writeBool("kautoimpprehled", ChBKPrehled);
    writeBool("kautoexpdel", ChBKExpDel);
    writeBool("kautoexpzmen", ChBKExpZmen);
    writeBool("autoexpzal", ChBExpZal);
    file.writeInteger(Nastav, QStringLiteral("pripopak"), TBPripOpak->value());
    writeBool("animtray", ChBAnim);
    writeBool("zobriconform", ChBZobrIconForm);
    file.writeInteger(Nastav, QStringLiteral("autoprepomezvel"), TAutoOmez->value());

    const std::pair<const char*, const THotKey*> hotKeys[] = { { "1", NKNew }, { "2", HKPrehled }, { "3", HKAktCas },
        { "6", HKKalendar }, { "4", HKNewK }, { "5", HKPrehledK } };
    for (const auto& [key, hotKey] : hotKeys)
        file.writeString(Klaves, QLatin1String(key), ShortCutToText(hotKey->HotKey()));

    HodinyDoIni();
}

void TFNastav::MoveDatabases()
{
    const QString oldFolder = LocalFolder(OldDataFolder);
    const QString typed = DEDatabaze->text().trimmed();
    // Letter for letter: "DATA" beside "data" is another folder here.
    const QString newFolder = LocalFolder(typed, true);
    if (newFolder.isEmpty() ? typed == OldDataFolder : SameFolder(oldFolder, newFolder))
        return;

    QString text = QStringLiteral("Nelze provést změnu umístění databází z těchto důvodů:");
    bool ok = true;
    if (FZaklad()->OpenWindowCount() >= 2) {
        text += QStringLiteral("\r - spuštěny jiné formuláře s připomenutími");
        ok = false;
    }
    if (CommandChannel::answers(ContactAppTitle)) {
        text += QStringLiteral("\r - spuštěny jiné formuláře s kontakty");
        ok = false;
    }
    // Only a whole path of this system can be made; a Windows path or a
    // relative one cannot.
    if (newFolder.isEmpty() || !QDir().mkpath(newFolder) || !QFileInfo(newFolder).isDir()) {
        text += QStringLiteral("\r - vybraný adresář neexistuje a nelze vytvořit");
        ok = false;
    }
    if (ok) {
        // The tray resident does not read the reminder file while it moves.
        const TrayPause pause;
        try {
            // No program may change the files between the copy and the
            // removal of the originals: its change would be lost.
            std::optional<DataFileLock> reminders;
            std::optional<DataFileLock> contacts;
            if (!oldFolder.isEmpty()) {
                reminders.emplace(QDir(oldFolder).filePath(ReminderData));
                contacts.emplace(QDir(oldFolder).filePath(ContactData));
            }
            // An old folder that is no path of this system holds no files
            // here.
            const QStringList copied = oldFolder.isEmpty() ? QStringList() : CopyDataFiles(oldFolder, newFolder);
            try {
                IniWriteString(SettingsFile(), Nastav, QStringLiteral("adrdatabaze"), newFolder);
            } catch (const IoError&) {
                // The old folder stays in use: the copies must not linger.
                for (const QString& name : copied)
                    QFile::remove(QDir(newFolder).filePath(name));
                throw;
            }
            if (!oldFolder.isEmpty())
                RemoveOldDataFiles(oldFolder, newFolder);
        } catch (const IoError& e) {
            ok = false;
            text += QStringLiteral("\r - stávající soubory databáze nelze přesunout\r") + e.message();
        }
    }
    if (!ok)
        MessageDlgBeep(text, MsgDlgType::Warning, MsgBtn::OK, 0);
}

void TFNastav::BBHelpClick()
{
    ShowHelpContext(this, HelpContext(this));
}
