#include "dorv_prehled.h"

#include "dorv_okna.h"

#include "components/amedit.h"
#include "components/contexthelp.h"
#include "components/kitalign.h"
#include "components/kitctrls.h"
#include "components/kitstatusbar.h"
#include "components/listpictures.h"
#include "components/listsort.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "platform/shellopen.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/itemlist.h"
#include "shared/jbstr.h"
#include "shared/listviewtovi.h"
#include "shared/mojepopredi.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

// Named in the body of every message the overview sends.
const QString ProductWebAddress = QStringLiteral("https://korvel.cz");

const QString ListSeznam = QStringLiteral("ListSeznam");
const QString SortColumnKey = QStringLiteral("ser_vych_col");
const QString SortAscendingKey = QStringLiteral("ser_vych_AZ");
const QString OverviewLayout = QStringLiteral("2;3;27;31;32;33;6;7;8;");
const QString DeletedLayout = QStringLiteral("40;2;3;27;");

// The filter panel's boxes; the field boxes together are no wider than the
// name and group boxes, so a second row never needs more room than the first.
constexpr int ImageWidth = 42;
constexpr int BoxHeight = 46;
constexpr int NameBoxWidth = 150;
constexpr int GroupBoxWidth = 410;
constexpr int FieldBoxWidth = 186;
constexpr int ScrollBarMargin = 20;
constexpr int Margin = 2;
constexpr int ToolbarHeight = 35;
constexpr int MergePanelHeight = 26;

QAction* MakeAction(QObject* parent, const char* name, const QString& caption, const QKeySequence& key = {})
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    return action;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QRect& bounds, int helpContext)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Enter must not turn a typed text into an item.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(bounds);
    SetHelpContext(combo, helpContext);
    return combo;
}

TAMEdit* MakeEdit(QWidget* parent, const QString& name, const QRect& bounds, int helpContext)
{
    auto* edit = new TAMEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(bounds);
    SetHelpContext(edit, helpContext);
    return edit;
}

QGroupBox* MakeBox(QWidget* parent, const QString& name, const QString& caption, int width)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->resize(width, BoxHeight);
    return box;
}

QList<std::pair<int, double>> NumbersAndStamps(const QList<TFKPrehled::ListedContact>& listed)
{
    QList<std::pair<int, double>> pairs;
    pairs.reserve(listed.size());
    for (const TFKPrehled::ListedContact& l : listed)
        pairs.append({ l.number, l.unikat });
    return pairs;
}

// The group level a group combo stands for, by where it sits in its box.
int GroupLevelAt(int left)
{
    if (left >= 100 && left <= 200)
        return 2;
    if (left >= 201 && left <= 400)
        return 3;
    return 1;
}

} // namespace

TFKPrehled::TFKPrehled(QWidget* parent)
    : TFKVychozi(parent)
{
    setObjectName(QStringLiteral("FKPrehled"));
    setWindowTitle(QStringLiteral("Přehled kontaktů"));
    SetHelpContext(this, 1000);
    BuildToolbar();
    BuildFilter();
    BuildList();
    BuildMergePanels();
    BuildMenus();
    SetAlign(SBar(), alBottom);
    SetAlign(PIkon, alTop);
    SetAlign(PHled, alTop);
    SetAlign(List, alClient);
    StackMergePanels();
    DE();
    // The user starts with the name filter.
    EJmeno->setFocus();
}

TFKPrehled::~TFKPrehled() = default;

void TFKPrehled::BuildToolbar()
{
    PIkon = new QWidget(Client());
    PIkon->setObjectName(QStringLiteral("PIkon"));
    PIkon->resize(DefaultWidth, ToolbarHeight);
    SetHelpContext(PIkon, 100001);

    struct Button {
        TKitSpeedButton*& button;
        const char* name;
        const char* glyph;
        QString hint;
        void (TFKPrehled::*click)();
    };
    const Button buttons[] = {
        { BNew, "BNew", "BNEW", QStringLiteral("přidání nového kontaktu"), &TFKPrehled::BNewClick },
        { BEdit, "BEdit", "BEDIT", QStringLiteral("možnost změny vybraného kontaktu"), &TFKPrehled::BEditClick },
        { BOdstran, "BOdstran", "BVYMAZ", QStringLiteral("vymazání označeného kontaktu"), &TFKPrehled::BOdstranClick },
        { BFormOdstran, "BFormOdstran", "BODSTRAN", QStringLiteral("odstranění či obnovení vymazaného kontaktu"),
            &TFKPrehled::BFormOdstranClick },
        { BEmail, "BEmail", "BEMAIL", QStringLiteral("poslání e-mailu vybranému kontaktu"), &TFKPrehled::BEmailClick },
        { BImportCSV, "BImportCSV", "BIMPORT",
            QStringLiteral("import kontaktů ze souboru CSV (textový s oddělovačem dat pomocí čárky, nebo středníku)"),
            &TFKPrehled::BImportCSVClick },
        { BExportCSV, "BExportCSV", "BEXPORT",
            QStringLiteral("export kontaktů do souboru CSV (textový s oddělovačem dat pomocí čárky, nebo středníku)"),
            &TFKPrehled::BExportCSVClick },
    };
    int x = 2;
    for (const Button& b : buttons) {
        b.button = new TKitSpeedButton(PIkon);
        b.button->setObjectName(QLatin1String(b.name));
        b.button->setGeometry(x, 1, 33, 33);
        b.button->SetGlyph(ListWindowPicture(QLatin1String(b.glyph), QColor(255, 0, 255)));
        b.button->setToolTip(b.hint);
        b.button->setStatusTip(b.hint);
        const auto click = b.click;
        connect(b.button, &TKitSpeedButton::OnClick, this, [this, click] { (this->*click)(); });
        x += 33;
    }

    BCancel = new QPushButton(PIkon);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setAutoDefault(false);
    BCancel->setIcon(ListWindowPicture(QStringLiteral("BCANCEL")));
    BCancel->setIconSize(QSize(24, 24));
    BCancel->setToolTip(QStringLiteral("ukončení přehledu"));
    BCancel->setStatusTip(BCancel->toolTip());
    BCancel->resize(33, 33);
    BCancel->move(PIkon->width() - BCancel->width() - 2, 1);
    connect(BCancel, &QPushButton::clicked, this, &QWidget::close);
}

void TFKPrehled::BuildFilter()
{
    PHled = new QWidget(Client());
    PHled->setObjectName(QStringLiteral("PHled"));
    SetHelpContext(PHled, 100002);
    PHled->setAutoFillBackground(true);
    QPalette dark = PHled->palette();
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    PHled->setPalette(dark);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    PHled->setFont(arial);
    // Below the toolbar: aligned controls stack by where they stand.
    PHled->setGeometry(0, ToolbarHeight, DefaultWidth, 2 * BoxHeight + Margin);

    SBHled = new QScrollArea(PHled);
    SBHled->setObjectName(QStringLiteral("SBHled"));
    SBHled->setFrameShape(QFrame::NoFrame);
    SBHled->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SBHled->setWidgetResizable(false);
    SetAlign(SBHled, alClient);
    auto* boxes = new QWidget;
    boxes->setObjectName(QStringLiteral("SBHledBoxes"));
    boxes->setPalette(dark);
    boxes->setAutoFillBackground(true);
    SBHled->setWidget(boxes);
    SBHled->viewport()->setPalette(dark);
    SBHled->viewport()->setAutoFillBackground(true);

    IHled = new QLabel(boxes);
    IHled->setObjectName(QStringLiteral("IHled"));
    IHled->setPixmap(ListWindowPicture(QStringLiteral("HLEDANI")));
    IHled->setAlignment(Qt::AlignCenter);
    IHled->setGeometry(0, 0, ImageWidth, BoxHeight);

    GBJmeno = MakeBox(boxes, QStringLiteral("GBJmeno"), QStringLiteral("jméno+příjmení"), NameBoxWidth);
    EJmeno = new QLineEdit(GBJmeno);
    EJmeno->setObjectName(QStringLiteral("EJmeno"));
    EJmeno->setGeometry(8, 18, NameBoxWidth - 16, 22);
    SetHelpContext(EJmeno, 100003);
    connect(EJmeno, &QLineEdit::textChanged, this, [this] { Aktualizuj(); });

    GBSkup = MakeBox(boxes, QStringLiteral("GBSkup"), QStringLiteral("Skupina - úrovně"), GroupBoxWidth);
    const int lefts[] = { 20, 150, 280 };
    QComboBox** groups[] = { &CBSkupina1, &CBSkupina2, &CBSkupina3 };
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QStringLiteral("%1:").arg(i + 1), GBSkup);
        label->setGeometry(lefts[i] - 14, 21, 13, 16);
        QComboBox* combo
            = MakeCombo(GBSkup, QStringLiteral("CBSkupina%1").arg(i + 1), QRect(lefts[i], 18, 112, 22), 100004);
        *groups[i] = combo;
        OnExit(combo, [this, combo] { CBSkupinaExit(combo); });
    }

    QGroupBox** fieldBoxes[] = { &GBVyb1, &GBVyb2, &GBVyb3 };
    QComboBox** fields[] = { &CBPol1, &CBPol2, &CBPol3 };
    TAMEdit** edits[] = { &AMEData1, &AMEData2, &AMEData3 };
    for (int k = 1; k <= 3; ++k) {
        QGroupBox* box
            = MakeBox(boxes, QStringLiteral("GBVyb%1").arg(k), QStringLiteral("Výběr %1").arg(k), FieldBoxWidth);
        setTag(box, k);
        *fieldBoxes[k - 1] = box;
        QComboBox* combo = MakeCombo(box, QStringLiteral("CBPol%1").arg(k), QRect(6, 18, 84, 22), 100005);
        combo->lineEdit()->setMaxLength(50);
        *fields[k - 1] = combo;
        OnExit(combo, [this, combo] { CBPolExit(combo); });
        TAMEdit* edit = MakeEdit(box, QStringLiteral("AMEData%1").arg(k), QRect(94, 18, 86, 22), 100006);
        *edits[k - 1] = edit;
        connect(edit, &QLineEdit::textChanged, this, [this] { Aktualizuj(); });
    }
}

void TFKPrehled::BuildList()
{
    List = new QTreeWidget(Client());
    List->setObjectName(QStringLiteral("List"));
    SetHelpContext(List, 100007);
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setSortingEnabled(false);
    List->setDragEnabled(true);
    List->setDragDropMode(QAbstractItemView::DragOnly);
    List->setColumnCount(0);
    QHeaderView* header = List->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    // The selection stays visible while another control has the focus.
    QPalette pal = List->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    List->setPalette(pal);
    connect(header, &QHeaderView::sectionClicked, this, &TFKPrehled::ListColumnClick);
    // Enabling follows at once; the merge panels, which read the file, once
    // the click or key that changed the selection has been handled.
    connect(List, &QTreeWidget::itemSelectionChanged, this, [this] {
        DE();
        if (m_listClickPending)
            return;
        m_listClickPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_listClickPending = false;
                ListClick();
            },
            Qt::QueuedConnection);
    });
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { PMList->popup(List->viewport()->mapToGlobal(pos)); });
}

void TFKPrehled::BuildMergePanels()
{
    QWidget** panels[] = { &PSluc1, &PSluc2, &PSluc3 };
    QComboBox** combos[] = { &CBSluc1, &CBSluc2, &CBSluc3 };
    TAMEdit** edits[] = { &AMESluc1, &AMESluc2, &AMESluc3 };
    for (int k = 1; k <= 3; ++k) {
        auto* panel = new QWidget(Client());
        panel->setObjectName(QStringLiteral("PSluc%1").arg(k));
        setTag(panel, k);
        panel->resize(DefaultWidth, MergePanelHeight);
        *panels[k - 1] = panel;
        QComboBox* combo = MakeCombo(panel, QStringLiteral("CBSluc%1").arg(k), QRect(2, 2, 130, 22), 100008);
        combo->lineEdit()->setMaxLength(50);
        *combos[k - 1] = combo;
        OnExit(combo, [this, combo] { CBSlucExit(combo); });
        *edits[k - 1]
            = MakeEdit(panel, QStringLiteral("AMESluc%1").arg(k), QRect(136, 2, DefaultWidth - 138, 22), 100009);
        // The addresses of thousands of contacts exceed an edit's usual
        // 32,767 characters; a panel shows its merge whole.
        (*edits[k - 1])->setMaxLength(std::numeric_limits<int>::max());
        SetAlign(panel, alBottom);
        if (k > 1)
            panel->hide();
    }
}

void TFKPrehled::BuildMenus()
{
    QMenuBar* bar = Menu();
    QAction* info = bar->actions().value(0);

    MKontakt = new QMenu(QStringLiteral("&Kontakt"), bar);
    MKontakt->setObjectName(QStringLiteral("MKontakt"));
    bar->insertMenu(info, MKontakt);
    MKNew = MakeAction(this, "MKNew", QStringLiteral("&nový"), QKeySequence(Qt::CTRL | Qt::Key_N));
    MKNewKopie = MakeAction(
        this, "MKNewKopie", QStringLiteral("nový - &kopie vybraného"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    MKEdit = MakeAction(this, "MKEdit", QStringLiteral("&editace"), QKeySequence(Qt::CTRL | Qt::Key_E));
    MKVymaz = MakeAction(this, "MKVymaz", QStringLiteral("&vymaž"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    MKOdstran
        = MakeAction(this, "MKOdstran", QStringLiteral("&odstranění/obnovení"), QKeySequence(Qt::ALT | Qt::Key_Delete));
    MKEmail = MakeAction(this, "MKEmail", QStringLiteral("pošli e-&mail"), QKeySequence(Qt::CTRL | Qt::Key_M));
    MKImportCSV = MakeAction(this, "MKImportCSV", QStringLiteral("&import CSV"));
    MKExportCSV = MakeAction(this, "MKExportCSV", QStringLiteral("e&xport CSV"));
    MKontakt->addActions({ MKNew, MKNewKopie, MKEdit });
    MKontakt->addSeparator()->setObjectName(QStringLiteral("MKN1"));
    MKontakt->addActions({ MKVymaz, MKOdstran });
    MKontakt->addSeparator()->setObjectName(QStringLiteral("MKN2"));
    MKontakt->addActions({ MKEmail, MKImportCSV, MKExportCSV });
    const std::pair<QAction*, void (TFKPrehled::*)()> commands[] = {
        { MKNew, &TFKPrehled::BNewClick },
        { MKNewKopie, &TFKPrehled::MKNewKopieClick },
        { MKEdit, &TFKPrehled::BEditClick },
        { MKVymaz, &TFKPrehled::BOdstranClick },
        { MKOdstran, &TFKPrehled::BFormOdstranClick },
        { MKEmail, &TFKPrehled::BEmailClick },
        { MKImportCSV, &TFKPrehled::BImportCSVClick },
        { MKExportCSV, &TFKPrehled::BExportCSVClick },
    };
    for (const auto& [item, click] : commands) {
        const auto handler = click; // clang 14 cannot capture a structured binding
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    connect(MKontakt, &QMenu::aboutToShow, this, [this] { MKNewKopie->setEnabled(List->selectedItems().size() == 1); });

    MZobraz = new QMenu(QStringLiteral("&Zobrazení"), bar);
    MZobraz->setObjectName(QStringLiteral("MZobraz"));
    bar->insertMenu(info, MZobraz);
    MZPanel = MakeAction(this, "MZPanel", QStringLiteral("&panel nástrojů"));
    MZPanel->setCheckable(true);
    MZPanel->setChecked(true);
    MZSluc2 = MakeAction(this, "MZSluc2", QStringLiteral("pa&nel sloučení 2"));
    setTag(MZSluc2, 2);
    MZSluc3 = MakeAction(this, "MZSluc3", QStringLiteral("pan&el sloučení 3"));
    setTag(MZSluc3, 3);
    MZAktualizuj = MakeAction(this, "MZAktualizuj", QStringLiteral("&aktualizuj"), QKeySequence(Qt::Key_F5));
    MZobraz->addAction(MZPanel);
    MZobraz->addSeparator();
    for (QAction* item : { MZSluc2, MZSluc3 }) {
        item->setCheckable(true);
        MZobraz->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { MZSlucClick(item); });
    }
    MZobraz->addSeparator();
    MZobraz->addAction(MZAktualizuj);
    connect(MZPanel, &QAction::triggered, this, &TFKPrehled::MZPanelClick);
    connect(MZAktualizuj, &QAction::triggered, this, &TFKPrehled::Aktualizuj);
    connect(MZobraz, &QMenu::aboutToShow, this, [this] {
        MZPanel->setChecked(!PIkon->isHidden());
        MZSluc2->setChecked(!PSluc2->isHidden());
        MZSluc3->setChecked(!PSluc3->isHidden());
    });

    MIPocet = MakeAction(this, "MIPocet", QStringLiteral("&počet kontaktů"));
    if (QMenu* infoMenu = info ? info->menu() : nullptr) {
        infoMenu->addSeparator();
        infoMenu->addAction(MIPocet);
    }
    connect(MIPocet, &QAction::triggered, this, &TFKPrehled::MIPocetClick);

    PMList = new QMenu(this);
    PMList->setObjectName(QStringLiteral("PMList"));
    MPolozky = MakeAction(this, "MPolozky", QStringLiteral("&položky ..."));
    PMList->addAction(MPolozky);
    connect(MPolozky, &QAction::triggered, this, &TFKPrehled::MPolozkyClick);
    MKNewKopiePM = MakeAction(this, "MKNewKopiePM", MKNewKopie->text());
    connect(MKNewKopiePM, &QAction::triggered, this, &TFKPrehled::MKNewKopieClick);
}

QString TFKPrehled::PlacementFile() const
{
    return FKZaklad()->PlacementFile();
}

QString TFKPrehled::DataPath() const
{
    return FKZaklad()->ContactDataPath();
}

QString TFKPrehled::Section() const
{
    return objectName();
}

void TFKPrehled::setVisible(bool visible)
{
    if (visible && !FormCreated()) {
        // The window opens at a size that shows the filter's first row
        // whole; from then on it lays itself out instead of scaling.
        DefaultClientWidth = 640;
        DefaultClientHeight = 440;
        FormCreate();
        DefaultClientWidth = 0;
        DefaultClientHeight = 0;
    }
    TFKVychozi::setVisible(visible);
}

void TFKPrehled::showEvent(QShowEvent* event)
{
    TFKVychozi::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormResize();
    FormShow();
}

void TFKPrehled::FormShow()
{
    const QString ini = PlacementFile();
    const QString section = Section();
    SortColumn = IniReadInteger(ini, section, SortColumnKey, Mode == 1 ? 2 : 1);
    SortAscending = IniReadBool(ini, section, SortAscendingKey, true);
    if (Mode == 0) {
        QPointer<TFKPrehled> self(this);
        VsechnySkupDoCombo();
        if (!self)
            return;
        for (int k = 1; k <= 3; ++k) {
            const int code = IniReadInteger(ini, section, QStringLiteral("fvyber%1").arg(k), 0);
            m_recordedChoice[k - 1] = code;
            FillFieldNameCombo(1, FilterFieldCount, code, FieldCombo(k));
        }
        PIkon->setVisible(IniReadBool(ini, section, QStringLiteral("panel"), true));
        {
            const AlignSuspension suspended(Client());
            PSluc2->setVisible(IniReadBool(ini, section, QStringLiteral("sluc_vis2"), false));
            PSluc3->setVisible(IniReadBool(ini, section, QStringLiteral("sluc_vis3"), false));
            StackMergePanels();
        }
        const QString keys[] = { QStringLiteral("sluc_pol"), QStringLiteral("sluc_pol2"), QStringLiteral("sluc_pol3") };
        for (int k = 1; k <= 3; ++k)
            FillFieldNameCombo(1, TextFieldCount, IniReadInteger(ini, section, keys[k - 1], 0), MergeCombo(k));
    } else {
        PHled->hide();
    }
    ZmenaSloupce();
}

void TFKPrehled::ZmenaSloupce()
{
    const QString layout = IniReadString(PlacementFile(), Section(), ListSeznam,
        (Mode == 1 ? DeletedLayout : OverviewLayout) + QString::number(NumberFieldCode));
    BuildColumns(PlacementFile(), layout, List);
    Aktualizuj();
}

bool TFKPrehled::FiltrovatCislo(int slot) const
{
    switch (slot) {
    case 1:
        return !EJmeno->text().isEmpty();
    case 2:
    case 3:
    case 4:
        return !GroupCombo(slot - 1)->currentText().isEmpty();
    case 5:
    case 6:
    case 7:
        return !FieldEdit(slot - 4)->text().isEmpty();
    default:
        return false;
    }
}

int TFKPrehled::Filtrovat() const
{
    int n = 0;
    for (int slot = 1; slot <= 7; ++slot)
        n += FiltrovatCislo(slot);
    return n;
}

bool TFKPrehled::NameMatches(const QString& filter, const QString& name)
{
    const int alternatives = ItemCount(filter, u';');
    for (int a = 1; a <= alternatives; ++a) {
        const QString alternative = ExtractItem(filter, u';', a).trimmed();
        // Two blanks in a row make an empty word, which no name contains.
        const QStringList words = alternative.isEmpty() ? QStringList() : alternative.split(u' ');
        if (std::all_of(words.begin(), words.end(), [&](const QString& w) { return CzechContainsText(w, name); }))
            return true;
    }
    return false;
}

int TFKPrehled::MatchingSlots(const ContactRecord& record, const QList<bool>& active) const
{
    int matches = 0;
    if (active[1] && NameMatches(EJmeno->text(), record.jmeno + u' ' + record.prijmeni))
        ++matches;
    for (int level = 1; level <= 3; ++level)
        if (active[1 + level] && ListHasItem(GroupLevel(record, level), GroupCombo(level)->currentText(), u';'))
            ++matches;
    for (int k = 1; k <= 3; ++k)
        if (active[4 + k] && CzechContainsText(FieldEdit(k)->text(), ContactFieldText(tag(FieldCombo(k)), record)))
            ++matches;
    return matches;
}

// The file is read in one pass before any event is handled, so no handler
// runs while it is open; the rows are added with the events processed
// every few milliseconds, and a reload started meanwhile ends this one.
void TFKPrehled::Aktualizuj()
{
    List->clear();
    const int run = m_reloadRun.start();
    QList<bool> active(8, false);
    int activeCount = 0;
    for (int slot = 1; slot <= 7; ++slot) {
        active[slot] = FiltrovatCislo(slot);
        activeCount += active[slot];
    }

    // No event is processed during the pass, so the filter texts stand
    // still while the matching contacts are picked out.
    QList<ContactRecord> records;
    ForEachContact(DataPath(), [&](int, const ContactRecord& r) {
        const int matches = r.vymazano || activeCount == 0 ? 0 : MatchingSlots(r, active);
        if (int(r.vymazano) == Mode && matches == activeCount)
            records.append(r);
    });

    const QPointer<TFKPrehled> self(this);
    EventPump pump;
    for (const ContactRecord& r : records) {
        AddContactRow(List, r);
        // The key the row's contact is found again by, should another
        // program renumber the file.
        List->topLevelItem(List->topLevelItemCount() - 1)->setData(0, Qt::UserRole, r.unikat);
        if (pump() && (!self || !m_reloadRun.current(run)))
            return;
    }
    DE();
    ReapplySort();
}

void TFKPrehled::ReapplySort()
{
    if (SortColumn >= 0 && SortColumn < List->columnCount()) {
        SortAscending = !SortAscending;
        ListColumnClick(SortColumn);
    } else {
        ShowSortArrows(List, -1, SortAscending);
    }
}

void TFKPrehled::ListColumnClick(int column)
{
    if (column < 0 || column >= List->columnCount())
        return;
    if (column == SortColumn)
        SortAscending = !SortAscending;
    else
        SortColumn = column;
    SortListByColumn(List, column, SortAscending);
    ShowSortArrows(List, column, SortAscending);
}

// The group boxes are filled with the events let in, so a box left or a
// command meanwhile starts another filling: the newest one wins and the
// older ones stop where they are, as reloads of the list do.
void TFKPrehled::VsechnySkupDoCombo()
{
    FillGroupBoxes(m_groupRun.start());
}

void TFKPrehled::CBSkupinaExit(QComboBox* combo)
{
    LeaveGroupBox(combo, m_groupRun.start());
}

std::function<bool()> TFKPrehled::GroupRun(int run)
{
    return [self = QPointer<TFKPrehled>(this), run] { return self && self->m_groupRun.current(run); };
}

bool TFKPrehled::FillGroupBoxes(int run)
{
    const auto current = GroupRun(run);
    for (int level = 1; level <= 3; ++level) {
        FillGroupCombo(level, GroupCombo(level), DataPath(), current);
        if (!current())
            return false;
    }
    if (m_lastGroupLevel >= 1 && m_lastGroupLevel <= 3)
        return LeaveGroupBox(GroupCombo(m_lastGroupLevel), run);
    return true;
}

bool TFKPrehled::LeaveGroupBox(QComboBox* combo, int run)
{
    // A group typed in other letters is the listed group, Czech ones too;
    // the box then shows it as listed, which the narrowing looks for.
    if (const QString text = combo->currentText(); !text.isEmpty()) {
        int index = -1;
        if (!ComboIndexOfCzech(text, combo, index)) {
            FocusAfterwards(combo);
            return m_groupRun.current(run);
        }
        if (combo->itemText(index) != text)
            combo->setEditText(combo->itemText(index));
    }
    const int level = GroupLevelAt(combo->x());
    const auto current = GroupRun(run);
    FilterGroupCombos(level, combo->currentText(), CBSkupina1, CBSkupina2, CBSkupina3, DataPath(), current);
    if (!current())
        return false;
    if (!FiltrovatCislo(1) && !FiltrovatCislo(2) && !FiltrovatCislo(3) && level != m_lastGroupLevel
        && !FillGroupBoxes(run))
        return false;
    const QPointer<TFKPrehled> self(this);
    Aktualizuj();
    if (!self)
        return false;
    m_lastGroupLevel = level;
    return current();
}

void TFKPrehled::CBPolExit(QComboBox* combo)
{
    const int box = tag(combo->parentWidget());
    if (box < 1 || box > 3)
        return;
    int code = -1;
    if (!combo->currentText().isEmpty()) {
        if (!ComboTextIndex(combo, code))
            return; // the focus goes back to the combo
        setTag(combo, code);
    }
    const int previous = m_recordedChoice[box - 1];
    m_recordedChoice[box - 1] = code;
    if (code != previous && !FieldEdit(box)->text().isEmpty())
        Aktualizuj();
}

void TFKPrehled::CBSlucExit(QComboBox* combo)
{
    const int panel = tag(combo->parentWidget());
    int code = 0;
    if (panel < 1 || panel > 3 || !ComboTextIndex(combo, code))
        return; // no field named: the focus goes back to the combo
    setTag(combo, code);
    AktualSluc(panel);
}

// The selected contacts are read in two passes over the file, and the
// panel gets its text once.
void TFKPrehled::AktualSluc(int panel)
{
    if (panel < 1 || panel > 3)
        return;
    TAMEdit* edit = MergeEdit(panel);
    edit->clear();
    const int code = tag(MergeCombo(panel));
    if (code == 0 || NumberColumnIndex(List) == 0 || List->selectedItems().isEmpty())
        return;
    const int run = m_mergeRun.start();
    const QPointer<TFKPrehled> self(this);
    // Clicks and keys already queued change the selection first; the run
    // each of them starts ends this one. Through the pump: not while the
    // focus leaves a merge box.
    EventPump pump;
    pump();
    if (!self || !m_mergeRun.current(run))
        return;
    QStringList texts;
    for (const LocatedContact& contact : ReadListedContacts(SelectedContacts()))
        if (contact.position != 0)
            texts << ContactFieldText(code, contact.record);
    edit->setText(MergedItems(texts));
}

QString TFKPrehled::MergedItems(const QStringList& texts)
{
    QStringList items;
    QSet<QString> held;
    for (const QString& text : texts)
        for (const QString& item : text.split(u';', Qt::SkipEmptyParts))
            if (const QString key = CzechLowerCase(item); !held.contains(key)) {
                held.insert(key);
                items << item;
            }
    return items.join(u';');
}

void TFKPrehled::ListClick()
{
    const QPointer<TFKPrehled> self(this);
    DE();
    for (int panel = 1; panel <= 3 && self; ++panel)
        if (panel == 1 || !MergePanel(panel)->isHidden())
            AktualSluc(panel);
}

void TFKPrehled::DE()
{
    const int selected = int(List->selectedItems().size());
    for (QWidget* w : { static_cast<QWidget*>(BOdstran), static_cast<QWidget*>(BEdit), static_cast<QWidget*>(BEmail) })
        w->setEnabled(selected > 0);
    for (QAction* a : { MKEdit, MKVymaz, MKEmail })
        a->setEnabled(selected > 0);
    MKNewKopie->setEnabled(selected == 1);
    if (selected == 1)
        PMList->addAction(MKNewKopiePM);
    else
        PMList->removeAction(MKNewKopiePM);
}

QList<TFKPrehled::ListedContact> TFKPrehled::ListedContacts(bool selectedOnly) const
{
    QList<ListedContact> listed;
    if (NumberColumnIndex(List) == 0)
        return listed;
    // The selected rows from the selection at once: a row asked whether it
    // is selected searches the whole selection, which made thousands of
    // rows chosen one by one take seconds.
    QList<int> rows;
    if (selectedOnly) {
        for (const QModelIndex& index : List->selectionModel()->selectedIndexes())
            if (index.column() == 0 && !index.parent().isValid())
                rows << index.row();
        std::sort(rows.begin(), rows.end());
    } else {
        rows.resize(List->topLevelItemCount());
        std::iota(rows.begin(), rows.end(), 0);
    }
    for (int i : rows) {
        const QTreeWidgetItem* row = List->topLevelItem(i);
        listed << ListedContact { RowContactNumber(List, row), row->data(0, Qt::UserRole).toDouble() };
    }
    return listed;
}

QList<int> TFKPrehled::LocateListedContacts(const QList<ListedContact>& listed) const
{
    QList<int> positions = LocateContacts(DataPath(), NumbersAndStamps(listed));
    for (qsizetype i = 0; i < listed.size(); ++i)
        if (listed[i].number < 1)
            positions[i] = 0;
    return positions;
}

QList<LocatedContact> TFKPrehled::ReadListedContacts(const QList<ListedContact>& listed) const
{
    QList<LocatedContact> located = ReadLocatedContacts(DataPath(), NumbersAndStamps(listed));
    for (qsizetype i = 0; i < listed.size(); ++i)
        if (listed[i].number < 1)
            located[i] = {};
    return located;
}

int TFKPrehled::ReadListedContact(const ListedContact& listed, ContactRecord& record) const
{
    const LocatedContact found = ReadListedContacts({ listed }).value(0);
    if (found.position != 0)
        record = found.record;
    return found.position;
}

QList<int> TFKPrehled::SelectedPositions(int& gone) const
{
    QList<int> positions = LocateListedContacts(SelectedContacts());
    gone = int(positions.removeAll(0));
    return positions;
}

void TFKPrehled::BNewClick()
{
    CommandChannel::own().postToSelf(dcNewContact, 0);
}

void TFKPrehled::MKNewKopieClick()
{
    const QList<ListedContact> listed = SelectedContacts();
    if (listed.isEmpty() || listed.first().number < 1)
        return;
    ContactRecord record;
    const int position = ReadListedContact(listed.first(), record);
    if (position == 0) {
        ReportContactsGone(1);
        Aktualizuj();
        return;
    }
    OpenCopy(position);
}

void TFKPrehled::OpenCopy(int position)
{
    CommandChannel::own().postToSelf(dcNewContact, position);
}

void TFKPrehled::BEditClick()
{
    int gone = 0;
    QStringList numbers;
    for (int position : SelectedPositions(gone))
        numbers << QString::number(position);
    if (gone > 0) {
        ReportContactsGone(gone);
        Aktualizuj();
    }
    if (numbers.isEmpty())
        return;
    QWidget* w = ContactForms().Create(QStringLiteral("FKEdit"));
    if (!w)
        return;
    if (auto* form = dynamic_cast<ContactEditForm*>(w)) {
        if (numbers.size() == 1)
            form->SetRecordNumber(numbers.first().toInt());
        else
            form->SetMultiEdit(numbers.join(u';'));
    }
    w->show();
}

void TFKPrehled::BOdstranClick()
{
    const int selected = int(List->selectedItems().size());
    if (selected == 0 || NumberColumnIndex(List) == 0)
        return;
    // Taken before the question: a reload while it is open must not change
    // which contacts the answer applies to.
    const QList<ListedContact> listed = SelectedContacts();
    if (Dialogs::messageDlg(QStringLiteral("Opravdu vymazat vybrané kontakty?\r\nPočet:") + QString::number(selected),
            MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No)
        != mrYes)
        return;
    const QPointer<TFKPrehled> self(this);
    int gone = 0;
    // Each contact is found and written with no other program's change in
    // between.
    DataFileLock lock(DataPath());
    const QList<LocatedContact> located = ReadListedContacts(listed);
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (located[i].position == 0) {
            gone += listed[i].number >= 1;
            continue;
        }
        ContactRecord record = located[i].record;
        record.vymazano = true;
        WriteContact(located[i].position, DataPath(), record);
    }
    lock.release();
    ReportContactsGone(gone);
    if (self)
        Aktualizuj();
}

void TFKPrehled::BFormOdstranClick()
{
    if (!AnyDeleted(DataPath())) {
        Dialogs::messageDlg(QStringLiteral("Žádné kontakty nejsou vymazány."), MsgDlgType::Information, MsgBtn::OK);
        return;
    }
    if (FKZaklad()->OpenEditFormCount() > 0) {
        Dialogs::messageDlg(
            QStringLiteral("Některé kontakty jsou editovány - nelze spustit."), MsgDlgType::Information, MsgBtn::OK);
        return;
    }
    // Each window opened from here is its own: one opened from the deleted
    // contacts' own menu does not replace this one.
    auto* window = qobject_cast<QDialog*>(ContactForms().Create(QStringLiteral("FKOdstran")));
    if (!window)
        return;
    const QPointer<TFKPrehled> self(this);
    if (Dialogs::execModal(window) == mrOk && self)
        ZmenaSloupce();
}

QUrl TFKPrehled::MailLink(const QString& addresses)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    // Set as a decoded path, an address holding "?", "#" or "%" stays an
    // address and cannot add fields of its own to the message.
    url.setPath(addresses, QUrl::DecodedMode);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral(" "));
    query.addQueryItem(
        QStringLiteral("body"), QStringLiteral("Kontakty vedeny v programu Korvel - ") + ProductWebAddress);
    url.setQuery(query);
    return url;
}

void TFKPrehled::BEmailClick()
{
    QString addresses;
    int gone = 0;
    for (const ListedContact& listed : SelectedContacts()) {
        ContactRecord record;
        if (listed.number < 1)
            continue;
        if (ReadListedContact(listed, record) == 0) {
            ++gone;
            continue;
        }
        if (!addresses.isEmpty())
            addresses += u';';
        for (const QString* email : { &record.email1, &record.email2, &record.email3 })
            if (!email->isEmpty()) {
                addresses += *email;
                break;
            }
    }
    ReportContactsGone(gone);
    if (!addresses.isEmpty() && !ShellOpen(MailLink(addresses)))
        Dialogs::messageDlg(QStringLiteral("Není nastaven žádný program pro e-mail, zprávu nelze otevřít."),
            MsgDlgType::Warning, MsgBtn::OK);
}

void TFKPrehled::BImportCSVClick()
{
    FKZaklad()->OpenByName(QStringLiteral("FKImportCSV"));
}

void TFKPrehled::BExportCSVClick()
{
    if (QWidget* open = FindForm(QStringLiteral("FKExportCSV"))) {
        BringToFront(open);
        return;
    }
    QWidget* w = ContactForms().Create(QStringLiteral("FKExportCSV"));
    if (!w)
        return;
    if (auto* wizard = dynamic_cast<ContactExport*>(w); wizard && List->selectedItems().size() > 1)
        wizard->SetRange(2);
    if (auto* dialog = qobject_cast<QDialog*>(w))
        Dialogs::execModal(dialog);
    else
        w->show();
}

void TFKPrehled::MPolozkyClick()
{
    QWidget* w = ContactForms().Create(QStringLiteral("FKPrehlSloup"));
    auto* dialog = qobject_cast<QDialog*>(w);
    if (!dialog) {
        delete w;
        return;
    }
    if (auto* chooser = dynamic_cast<ColumnChooser*>(w))
        chooser->SetListView(List, Section());
    const QPointer<TFKPrehled> self(this);
    if (Dialogs::execModal(dialog) == mrOk && self)
        ZmenaSloupce();
}

void TFKPrehled::MZPanelClick()
{
    PIkon->setVisible(PIkon->isHidden());
    MZPanel->setChecked(!PIkon->isHidden());
}

void TFKPrehled::MZSlucClick(QAction* item)
{
    const int panel = tag(item);
    QWidget* p = MergePanel(panel);
    if (!p)
        return;
    const bool show = p->isHidden();
    {
        const AlignSuspension suspended(Client());
        p->setVisible(show);
        StackMergePanels();
    }
    item->setChecked(show);
    if (show)
        AktualSluc(panel);
}

void TFKPrehled::MIPocetClick()
{
    Dialogs::messageDlg(QStringLiteral("Počet kontaktů: ") + QString::number(ContactCount(DataPath())),
        MsgDlgType::Information, MsgBtn::OK);
}

// From the bottom edge: the status bar, merge panels 3, 2 and 1; hidden ones
// take no room but keep their place for when they are shown.
void TFKPrehled::StackMergePanels()
{
    QWidget* client = Client();
    const AlignSuspension suspended(client);
    int bottom = client->height();
    for (QWidget* w : { static_cast<QWidget*>(SBar()), PSluc3, PSluc2, PSluc1 }) {
        w->move(0, bottom - w->height());
        if (!w->isHidden())
            bottom -= w->height();
    }
}

void TFKPrehled::resizeEvent(QResizeEvent* event)
{
    TFKVychozi::resizeEvent(event);
    FormResize();
}

// The filter boxes in one row when they fit, else the three field boxes in
// a second row; the panel takes their height, with room for the scroll
// bar when the boxes are wider than the panel.
void TFKPrehled::FormResize()
{
    ::AlignControls(Client());
    const int w = SBHled->width();
    GBJmeno->move(ImageWidth, 0);
    GBSkup->move(GBJmeno->geometry().right() + 1, GBJmeno->y());
    const int firstRow = ImageWidth + GBJmeno->width() + GBSkup->width();
    const int oneRow = firstRow + GBVyb1->width() + GBVyb2->width() + GBVyb3->width();
    if (oneRow > w)
        GBVyb1->move(GBJmeno->x(), GBJmeno->height());
    else
        GBVyb1->move(GBSkup->geometry().right() + 1, GBJmeno->y());
    GBVyb2->move(GBVyb1->geometry().right() + 1, GBVyb1->y());
    GBVyb3->move(GBVyb2->geometry().right() + 1, GBVyb1->y());
    QWidget* boxes = SBHled->widget();
    const int contentWidth = std::max(GBSkup->geometry().right(), GBVyb3->geometry().right()) + 1;
    const int contentHeight = GBVyb1->y() + GBVyb1->height();
    boxes->resize(contentWidth, contentHeight);
    IHled->resize(ImageWidth, contentHeight);
    const int margin = contentWidth > w ? ScrollBarMargin : Margin;
    if (PHled->height() != contentHeight + margin) {
        PHled->resize(PHled->width(), contentHeight + margin);
        ::AlignControls(Client(), PHled);
    }
    BCancel->move(PIkon->width() - BCancel->width() - 2, BCancel->y());
    // Hidden panels too, for when they are shown.
    for (int k = 1; k <= 3; ++k) {
        TAMEdit* edit = MergeEdit(k);
        edit->resize(std::max(0, Client()->width() - 2 - edit->x()), edit->height());
    }
}

void TFKPrehled::StopRuns()
{
    for (LatestRun* run : { &m_reloadRun, &m_mergeRun, &m_groupRun })
        run->stop();
}

void TFKPrehled::closeEvent(QCloseEvent* event)
{
    if (FormCreated() && !m_closed) {
        m_closed = true;
        StopRuns();
        FormClose();
    }
    TFKVychozi::closeEvent(event);
}

void TFKPrehled::done(int result)
{
    if (FormCreated() && !m_closed) {
        m_closed = true;
        StopRuns();
        setResult(result);
        FormClose();
        result = this->result();
    }
    TFKVychozi::done(result);
}

// A settings file that cannot be written is reported; the window closes all
// the same.
void TFKPrehled::FormClose()
{
    RunGuarded([this] {
        const QString ini = PlacementFile();
        const QString section = Section();
        if (Mode == 0) {
            for (int k = 1; k <= 3; ++k)
                IniWriteInteger(ini, section, QStringLiteral("fvyber%1").arg(k), tag(FieldCombo(k)));
            IniWriteBool(ini, section, QStringLiteral("panel"), !PIkon->isHidden());
            IniWriteBool(ini, section, QStringLiteral("sluc_vis2"), !PSluc2->isHidden());
            IniWriteBool(ini, section, QStringLiteral("sluc_vis3"), !PSluc3->isHidden());
            const QString keys[]
                = { QStringLiteral("sluc_pol"), QStringLiteral("sluc_pol2"), QStringLiteral("sluc_pol3") };
            for (int k = 1; k <= 3; ++k)
                IniWriteInteger(ini, section, keys[k - 1], tag(MergeCombo(k)));
        }
        SaveColumnWidths(ini, List);
        IniWriteString(ini, section, ListSeznam, ColumnLayout(List));
        IniWriteInteger(ini, section, SortColumnKey, SortColumn);
        IniWriteBool(ini, section, SortAscendingKey, SortAscending);
    });
}

QComboBox* TFKPrehled::MergeCombo(int panel) const
{
    return panel == 2 ? CBSluc2 : panel == 3 ? CBSluc3 : CBSluc1;
}

TAMEdit* TFKPrehled::MergeEdit(int panel) const
{
    return panel == 2 ? AMESluc2 : panel == 3 ? AMESluc3 : AMESluc1;
}

QWidget* TFKPrehled::MergePanel(int panel) const
{
    return panel == 1 ? PSluc1 : panel == 2 ? PSluc2 : panel == 3 ? PSluc3 : nullptr;
}

QComboBox* TFKPrehled::GroupCombo(int level) const
{
    return level == 2 ? CBSkupina2 : level == 3 ? CBSkupina3 : CBSkupina1;
}

QComboBox* TFKPrehled::FieldCombo(int box) const
{
    return box == 2 ? CBPol2 : box == 3 ? CBPol3 : CBPol1;
}

TAMEdit* TFKPrehled::FieldEdit(int box) const
{
    return box == 2 ? AMEData2 : box == 3 ? AMEData3 : AMEData1;
}
