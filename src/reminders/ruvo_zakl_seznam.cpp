#include "ruvo_zakl_seznam.h"

#include "ruvo_okna.h"
#include "ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "components/dateedit.h"
#include "components/forms.h"
#include "components/kitalign.h"
#include "components/kitsplit.h"
#include "components/kitstatusbar.h"
#include "components/listpictures.h"
#include "components/listsort.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/tag.h"
#include "platform/walltimer.h"
#include "shared/f_p.h"
#include "shared/listviewtovi.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "shared/reminderlists.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QList<int> ListShares { 135, 100, 80, 65, 55, 55, 55, 55, 40 };
const QList<int> WarnedShares { 145, 105, 105, 75, 55, 40 };
constexpr int ListTotal = 595;
constexpr int WarnedTotal = 500;
const QList<bool> ListCentred { false, true, false, false, true, true, true, true, true };
const QList<bool> WarnedCentred { false, true, true, false, true, true };

constexpr int MaxRefreshMs = 60000;

// The refresh waits for the next row change, at most a minute. The next
// change was found against the moment the refill began: an event that
// started while the file was read gives a moment already past, which must
// still arm the timer.
int RefreshInterval(double next)
{
    return int(std::clamp<qint64>(WallTimer::MsecsUntil(next), 1, MaxRefreshMs));
}

// Report columns keep the alignment of their column.
class ColumnAlignment : public QStyledItemDelegate {
public:
    ColumnAlignment(const QList<bool>& centred, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_centred(centred)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() < m_centred.size() && m_centred.at(index.column()))
            option->displayAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    }

private:
    QList<bool> m_centred;
};

QTreeWidget* MakeReportList(QWidget* parent, const QString& name, const QStringList& captions, const QList<int>& widths,
    const QList<bool>& centred, int listTag)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    setTag(list, listTag);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setColumnCount(captions.size());
    list->setHeaderLabels(captions);
    list->setItemDelegate(new ColumnAlignment(centred, list));
    ElideHeaderCaptions(list);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    for (int i = 0; i < captions.size(); ++i) {
        list->setColumnWidth(i, widths.value(i));
        if (centred.value(i))
            list->headerItem()->setTextAlignment(i, Qt::AlignCenter);
    }
    // The selection stays visible while another control has the focus.
    QPalette pal = list->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    list->setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    list->setFont(font);
    return list;
}

QLineEdit* MakeInfoEdit(QWidget* parent, const QString& name, const QRect& bounds)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setFocusPolicy(Qt::ClickFocus);
    QFont f = edit->font();
    f.setBold(true);
    edit->setFont(f);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    edit->setPalette(pal);
    edit->setGeometry(bounds);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QPoint& at)
{
    auto* label = new QLabel(text, parent);
    label->move(at);
    label->adjustSize();
    return label;
}

QAction* MakeAction(QObject* parent, const QString& name, const QString& caption, const QKeySequence& key = {})
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(name);
    if (!key.isEmpty())
        action->setShortcut(key);
    return action;
}

} // namespace

TFZSeznam::TFZSeznam(QWidget* parent)
    : TFVychozi(parent)
{
    setObjectName(QStringLiteral("FZSeznam"));
    setWindowTitle(QStringLiteral("Přehled připomenutí"));
    SetHelpContext(this, 100);
    MinTrackWidth = 480;
    BuildControls();
    BuildMenus();
}

TFZSeznam::~TFZSeznam() = default;

void TFZSeznam::BuildControls()
{
    QWidget* client = Client();
    // The status bar keeps the bottom edge; the panels stack above it.
    SetAlign(SBar(), alBottom);

    PButton = new QWidget(client);
    PButton->setObjectName(QStringLiteral("PButton"));
    PButton->resize(DefaultWidth, 36);
    SetAlign(PButton, alTop);

    BCancel = new QPushButton(PButton);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setAutoDefault(false);
    BCancel->setIcon(ListWindowPicture(QStringLiteral("BCANCEL")));
    BCancel->setIconSize(QSize(24, 24));
    BCancel->setToolTip(QStringLiteral("ukončení přehledu"));
    BCancel->setStatusTip(BCancel->toolTip());
    BCancel->setGeometry(DefaultWidth - 32 - 6, 2, 32, 32);
    connect(BCancel, &QPushButton::clicked, this, [this] { BCancelClick(); });

    ChBOmez = new QCheckBox(QStringLiteral("om&ezit na:"), PButton);
    ChBOmez->setObjectName(QStringLiteral("ChBOmez"));
    ChBOmez->setGeometry(8, 9, 76, 18);
    ChBOmez->hide();
    connect(ChBOmez, &QCheckBox::toggled, this, [this] { ChBOmezClick(); });

    DTM = new TDateEdit(PButton);
    DTM->setObjectName(QStringLiteral("DTM"));
    DTM->setGeometry(86, 7, 92, 22);
    DTM->setContextMenuPolicy(Qt::NoContextMenu);
    DTM->hide();
    connect(DTM, &QDateEdit::dateChanged, this, [this] { DTMChange(); });

    LDen = new QLabel(PButton);
    LDen->setObjectName(QStringLiteral("LDen"));
    LDen->setGeometry(182, 10, 60, 16);

    ScrollBox1 = new QWidget(client);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    SetAlign(ScrollBox1, alClient);
    LView = MakeReportList(ScrollBox1, QStringLiteral("LView"), ReminderListCaptions(), ListShares, ListCentred, 0);
    SetAlign(LView, alClient);

    PInfo = new QWidget(client);
    PInfo->setObjectName(QStringLiteral("PInfo"));
    PInfo->resize(DefaultWidth, 20);
    // Each edit follows its label, as wide as the font makes the label and
    // the longest time text.
    const QLabel* from = MakeLabel(PInfo, QStringLiteral("Čas připomenutí od:"), QPoint(4, 2));
    EInfoCasPred = MakeInfoEdit(PInfo, QStringLiteral("EInfoCasPred"), QRect(from->x() + from->width() + 4, 2, 0, 17));
    int timeWidth = 0;
    for (int day = 1; day <= 7; ++day)
        timeWidth = std::max(timeWidth,
            EInfoCasPred->fontMetrics().horizontalAdvance(QStringLiteral("2026.12.31 23:59-") + WeekdayName(day)));
    EInfoCasPred->resize(timeWidth + 6, EInfoCasPred->height());
    const QLabel* to = MakeLabel(PInfo, QStringLiteral("do:"), QPoint(EInfoCasPred->geometry().right() + 5, 2));
    EInfoCasProsle = MakeInfoEdit(
        PInfo, QStringLiteral("EInfoCasProsle"), QRect(to->x() + to->width() + 4, 2, EInfoCasPred->width(), 17));

    PanelPlus = new QWidget(client);
    PanelPlus->setObjectName(QStringLiteral("PanelPlus"));
    PanelPlus->resize(DefaultWidth, 75);
    MakeLabel(PanelPlus, QStringLiteral("Konec připomínané akce a její délka:"), QPoint(4, 2));
    EInfoDelka = MakeInfoEdit(PanelPlus, QStringLiteral("EInfoDelka"), QRect(4, 18, 205, 17));
    MakeLabel(PanelPlus, QStringLiteral("Zapsání do databáze:"), QPoint(4, 38));
    EInfoZapis = MakeInfoEdit(PanelPlus, QStringLiteral("EInfoZapis"), QRect(4, 54, 205, 17));
    MInfoPopis = new QTextEdit(PanelPlus);
    MInfoPopis->setObjectName(QStringLiteral("MInfoPopis"));
    MInfoPopis->setReadOnly(true);
    MInfoPopis->setAcceptRichText(false);
    MInfoPopis->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MInfoPopis->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    MInfoPopis->resize(255, 75);
    SetAlign(MInfoPopis, alRight);
    PanelPlus->hide();

    PUpozor = new QWidget(client);
    PUpozor->setObjectName(QStringLiteral("PUpozor"));
    PUpozor->resize(DefaultWidth, 100);
    LUpozor = new QLabel(QStringLiteral("Upozorňované akce:"), PUpozor);
    LUpozor->setObjectName(QStringLiteral("LUpozor"));
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(13);
    bold.setBold(true);
    bold.setItalic(true);
    LUpozor->setFont(bold);
    LUpozor->move(4, 2);
    LUpozor->adjustSize();
    LViewU = MakeReportList(PUpozor, QStringLiteral("LViewU"), WarnedListCaptions(), WarnedShares, WarnedCentred, 1);
    LViewU->setFrameShape(QFrame::NoFrame);
    PUpozor->installEventFilter(this);
    PUpozor->hide();

    RSOddel = new TKitSplitter(client);
    RSOddel->setObjectName(QStringLiteral("RSOddel"));
    RSOddel->hide();
    RSOddel->SetControlFirst(PUpozor);
    RSOddel->SetAlign(alBottom);
    RSOddel->SetLimitOffset(50);
    RSOddel->Loaded();
    connect(RSOddel, &TKitSplitter::OnPosChanged, this, &TFZSeznam::RSOddelMoved);

    SetAlign(PInfo, alBottom);
    SetAlign(PanelPlus, alBottom);
    SetAlign(PUpozor, alBottom);
    StackBottomPanels();

    for (QTreeWidget* list : { LView, LViewU }) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        connect(list->header(), &QHeaderView::sectionClicked, this,
            [this, list](int column) { ColumnClick(list, column); });
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TFZSeznam::Timer1Timer);
    TPrepOmez = new QTimer(this);
    TPrepOmez->setObjectName(QStringLiteral("TPrepOmez"));
    TPrepOmez->setInterval(5000);
    connect(TPrepOmez, &QTimer::timeout, this, &TFZSeznam::TPrepOmezTimer);

    ColumnClick(LView, -1);
    ColumnClick(LViewU, -1);
}

void TFZSeznam::BuildMenus()
{
    QMenuBar* bar = Menu();
    QAction* info = bar->actions().value(0);
    MZobraz = new QMenu(QStringLiteral("&Zobrazení"), bar);
    MZobraz->setObjectName(QStringLiteral("MZobraz"));
    bar->insertMenu(info, MZobraz);
    connect(MZobraz, &QMenu::aboutToShow, this, [this] { MZAutoJenDen->setChecked(TPrepOmez->isActive()); });

    MZFontV = MakeAction(this, QStringLiteral("MZFontV"), QStringLiteral("vel&ikost fontu +1"));
    setTag(MZFontV, 1);
    MZFontM = MakeAction(this, QStringLiteral("MZFontM"), QStringLiteral("veli&kost fontu  -1"));
    setTag(MZFontM, -1);
    for (QAction* a : { MZFontV, MZFontM }) {
        MZobraz->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { MZFontClick(tag(a)); });
    }
    MZAutoJenDenSep = MZobraz->addSeparator();
    MZAutoJenDenSep->setVisible(false);
    MZAutoJenDen = MakeAction(this, QStringLiteral("MZAutoJenDen"), QStringLiteral("&přep. omez. den"));
    MZAutoJenDen->setCheckable(true);
    MZAutoJenDen->setVisible(false);
    MZobraz->addAction(MZAutoJenDen);
    connect(MZAutoJenDen, &QAction::triggered, this, &TFZSeznam::MZAutoJenDenClick);
    MZobraz->addSeparator();
    MZobrazObnov = MakeAction(this, QStringLiteral("MZobrazObnov"), QStringLiteral("&obnovit"), Qt::Key_F5);
    MZobraz->addAction(MZobrazObnov);
    connect(MZobrazObnov, &QAction::triggered, this, [this] { Aktualizuj(); });
    MZVychTrid = MZobraz->addMenu(QStringLiteral("&výchozí třídění"));
    MZVychTrid->setObjectName(QStringLiteral("MZVychTrid"));
    MISAkt = MakeAction(this, QStringLiteral("MISAkt"), QStringLiteral("jako &aktuální"));
    MISNic = MakeAction(this, QStringLiteral("MISNic"), QStringLiteral("žád&né"));
    MZVychTrid->addAction(MISAkt);
    MZVychTrid->addAction(MISNic);
    connect(MISAkt, &QAction::triggered, this, [this] { MISAktClick(); });
    connect(MISNic, &QAction::triggered, this, [this] { MISNicClick(); });

    // Keys of the window; the menu itself never pops up.
    PMenu = new QMenu(this);
    PMenu->setObjectName(QStringLiteral("PMenu"));
    MCancel = MakeAction(this, QStringLiteral("MCancel"), QStringLiteral("Cancel"), Qt::Key_Escape);
    MOmez = MakeAction(this, QStringLiteral("MOmez"), QStringLiteral("omezit"), QKeySequence(Qt::CTRL | Qt::Key_D));
    MDalsi = MakeAction(this, QStringLiteral("MDalsi"), QStringLiteral("další"), QKeySequence(Qt::CTRL | Qt::Key_Up));
    setTag(MDalsi, 1);
    MPredch = MakeAction(
        this, QStringLiteral("MPredch"), QStringLiteral("předchozí"), QKeySequence(Qt::CTRL | Qt::Key_Down));
    setTag(MPredch, -1);
    PMenu->addActions({ MCancel, MOmez, MDalsi, MPredch });
    addActions(PMenu->actions());
    connect(MCancel, &QAction::triggered, this, &QWidget::close);
    connect(MOmez, &QAction::triggered, ChBOmez, &QCheckBox::toggle);
    connect(MDalsi, &QAction::triggered, this, [this] { MDalsiClick(tag(MDalsi)); });
    connect(MPredch, &QAction::triggered, this, [this] { MDalsiClick(tag(MPredch)); });

    PMenuDatum = new QMenu(this);
    PMenuDatum->setObjectName(QStringLiteral("PMenuDatum"));
    MDNejblizsiDalsi = MakeAction(this, QStringLiteral("MDNejblizsiDalsi"), QStringLiteral("přejít na &nejbližší ->"));
    MDNejblizsiPredch
        = MakeAction(this, QStringLiteral("MDNejblizsiPredch"), QStringLiteral("přejít na nej&bližší <-"));
    setTag(MDNejblizsiPredch, 1);
    MDDnes = MakeAction(this, QStringLiteral("MDDnes"), QStringLiteral("&dnes"));
    MDZitra = MakeAction(this, QStringLiteral("MDZitra"), QStringLiteral("&zítra"));
    setTag(MDZitra, 1);
    PMenuDatum->addActions({ MDNejblizsiDalsi, MDNejblizsiPredch, MDDnes, MDZitra });
    for (QAction* a : { MDNejblizsiDalsi, MDNejblizsiPredch })
        connect(a, &QAction::triggered, this, [this, a] { MDNejblizsiClick(tag(a)); });
    for (QAction* a : { MDDnes, MDZitra })
        connect(a, &QAction::triggered, this, [this, a] { MDDnesClick(tag(a)); });
    connect(DTM, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { PMenuDatum->popup(DTM->mapToGlobal(pos)); });
}

QString TFZSeznam::SettingsFile() const
{
    return FZaklad()->SettingsFile();
}

QString TFZSeznam::DataPath() const
{
    return FZaklad()->ReminderDataPath();
}

QString TFZSeznam::Section() const
{
    return objectName();
}

bool TFZSeznam::ReadListed(int32_t id, ReminderRecord& record) const
{
    if (id == 0)
        return false;
    int position = id;
    ReadReminder(position, DataPath(), record);
    return position == id && ReminderCount(DataPath()) >= id;
}

void TFZSeznam::FormCreate()
{
    TFVychozi::FormCreate();
    m_created = true;
    // The panels follow the window's size by their alignment; nothing is
    // scaled to keep the window's proportions.
    DefaultClientWidth = 0;
    DefaultClientHeight = 0;

    const QString ini = SettingsFile();
    const QString section = Section();
    SortColumn = uint8_t(IniReadInteger(ini, section, QStringLiteral("vych_col"), 1));
    SortAscending = IniReadBool(ini, section, QStringLiteral("vych_AZ"), true);
    SortColumnU = uint8_t(IniReadInteger(ini, section, QStringLiteral("vych_colU"), 1));
    SortAscendingU = IniReadBool(ini, section, QStringLiteral("vych_AZU"), true);
    const int fontSize = IniReadInteger(ini, section, QStringLiteral("fontsize"), 9);
    // The warned list's height is read when the day limit goes on and saved
    // at closing; starting from the saved value keeps it when the limit was
    // never switched on.
    PUpozor->resize(PUpozor->width(), std::max(1, IniReadInteger(ini, section, QStringLiteral("velpupozor"), 100)));

    SetDTMDate(Now());
    DTMChange();

    switch (CheckDataVersion(DataPath())) {
    case DataVersionCheck::OldLayout:
        WaitForConversion();
        break;
    case DataVersionCheck::NewerLayout:
        return; // the program ends; the file is left alone
    case DataVersionCheck::Current:
        break;
    }

    SetTPrepOmezInterval(IniReadInteger(ini, QStringLiteral("Nastav"), QStringLiteral("autoprepomezvel"), 5));
    if (IniReadBool(ini, section, QStringLiteral("autoprepomez"), false))
        TPrepOmez->start();
    MZAutoJenDen->setChecked(TPrepOmez->isActive());

    Aktualizuj();
    QFont f = LView->font();
    f.setPointSize(std::max(1, fontSize));
    LView->setFont(f);
}

void TFZSeznam::WaitForConversion()
{
    if (QWidget* old = FindForm(QStringLiteral("FPrevod"))) {
        old->activateWindow();
        old->close();
    }
    QWidget* prevod = ReminderForms().Create(QStringLiteral("FPrevod"));
    if (!prevod)
        return;
    prevod->show();
    // The conversion closes its window when it is done; meanwhile the
    // program goes on handling its events (another request to convert may
    // replace the window, so the wait is for every one of that name). An
    // ending program closes a window left open after a failure.
    const auto waiting = [] { return FZaklad()->Ending() ? nullptr : FindForm(QStringLiteral("FPrevod")); };
    while (QWidget* w = waiting()) {
        QEventLoop loop;
        connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&loop, &waiting] {
            if (!waiting())
                loop.quit();
        });
        poll.start(100);
        loop.exec();
    }
}

void TFZSeznam::SetTPrepOmezInterval(int seconds)
{
    // A timer of no interval never fires, as the class library's did not.
    const qint64 ms = qint64(seconds) * 1000;
    TPrepOmez->setInterval(ms > 0 ? int(std::min<qint64>(ms, INT_MAX)) : INT_MAX);
}

void TFZSeznam::Aktualizuj()
{
    const int32_t id = SelectedItemId(LView);
    double next = 0;
    if (!FillReminderList(LView, DataPath(), ErasedOnly, next, DTMDate(), ChBOmez->isChecked()) && !m_closed)
        close();
    SelectItemById(LView, id);
    ReapplySort(LView);
    if (!m_closed)
        WallTimer::Arm(*Timer1, RefreshInterval(next));
    AktualizujU();
    InfoOVybrane();
}

void TFZSeznam::AktualizujU()
{
    if (FillWarnedList(LViewU, DataPath(), DTMDate()))
        ReapplySort(LViewU);
}

void TFZSeznam::Timer1Timer()
{
    Timer1->stop();
    Aktualizuj();
}

QTreeWidget* TFZSeznam::DejAktivList() const
{
    if (PUpozor->isHidden())
        return LView;
    return ActiveList == 2 ? LViewU : LView;
}

void TFZSeznam::ReapplySort(QTreeWidget* list)
{
    const bool warned = tag(list) == 1;
    bool& ascending = warned ? SortAscendingU : SortAscending;
    const int column = warned ? SortColumnU : SortColumn;
    ascending = !ascending;
    ColumnClick(list, column >= 1 && column < list->columnCount() ? column : -1);
}

void TFZSeznam::ColumnClick(QTreeWidget* list, int column)
{
    const bool warned = tag(list) == 1;
    uint8_t& sortColumn = warned ? SortColumnU : SortColumn;
    bool& ascending = warned ? SortAscendingU : SortAscending;
    if (column >= 0) {
        if (column == sortColumn)
            ascending = !ascending;
        else
            sortColumn = uint8_t(column);
        SortListByColumn(list, column, ascending);
    }
    ShowSortArrows(list, column, ascending);
}

QString TFZSeznam::HeaderBitmap(const QTreeWidget* list, int column)
{
    return SortArrow(list, column);
}

void TFZSeznam::MISAktClick()
{
    const QString ini = SettingsFile();
    IniWriteInteger(ini, Section(), QStringLiteral("vych_col"), SortColumn);
    IniWriteBool(ini, Section(), QStringLiteral("vych_AZ"), SortAscending);
    IniWriteInteger(ini, Section(), QStringLiteral("vych_colU"), SortColumnU);
    IniWriteBool(ini, Section(), QStringLiteral("vych_AZU"), SortAscendingU);
}

void TFZSeznam::MISNicClick()
{
    IniWriteInteger(SettingsFile(), Section(), QStringLiteral("vych_col"), -1);
    IniWriteInteger(SettingsFile(), Section(), QStringLiteral("vych_colU"), -1);
}

void TFZSeznam::LViewClick(QTreeWidget* list, bool asClick)
{
    OdpocetAutPrepNaDenOdZac();
    ActiveList = tag(list) + 1;
    InfoOCase(SelectedItemId(list), tag(list));
}

void TFZSeznam::InfoOCase(int32_t id, int listTag)
{
    ReminderRecord r;
    const bool found = ReadListed(id, r);
    if (!found)
        ClearInfo();
    if (listTag == 0 && id != 0) {
        // A date that does not parse leaves the day as it is.
        if (const auto date = TryStrToDate(r.EventDate); date && DateOf(*date) != DTMDate()) {
            SetDTMDate(*date);
            DTMChange();
        }
    }
    if (found)
        ShowInfo(r);
}

// After a refresh the panels show the selected reminder as the file now
// holds it (edited, moved on by its pop-up), or nothing when it is gone.
// The day stays: the user chose it.
void TFZSeznam::InfoOVybrane()
{
    ReminderRecord r;
    if (ReadListed(SelectedItemId(DejAktivList()), r))
        ShowInfo(r);
    else
        ClearInfo();
}

void TFZSeznam::ClearInfo()
{
    for (QLineEdit* e : { EInfoCasPred, EInfoCasProsle, EInfoDelka, EInfoZapis })
        e->clear();
    MInfoPopis->clear();
}

void TFZSeznam::ShowInfo(const ReminderRecord& r)
{
    EInfoCasPred->clear();
    EInfoCasProsle->clear();
    const std::optional<double> start = StoredDateTime(r.EventDate, r.EventTime);
    if (!r.Erased && start) {
        std::optional<double> first = WarnTimeBefore(r.AdvanceKind, r.AdvanceAmount, *start);
        const double last = AddUnits(r.OverdueAction, r.OverdueAmount, *start);
        if (r.RemindDate != r.EventDate || r.RemindTime != r.EventTime)
            first = StoredDateTime(r.RemindDate, r.RemindTime);
        if (first && IsValidDateTime(*first))
            EInfoCasPred->setText(WeekdayDateTimeText(*first));
        if (r.OverdueAction == oaNothing)
            EInfoCasProsle->setText(WeekdayDateTimeText(*start));
        else if (r.OverdueAction == oaAsSoonAsPossible)
            EInfoCasProsle->setText(QStringLiteral("kdykoliv"));
        else if (IsValidDateTime(last))
            EInfoCasProsle->setText(WeekdayDateTimeText(last));
    }
    EInfoCasPred->setCursorPosition(0);
    EInfoCasProsle->setCursorPosition(0);

    if (PanelPlus->isHidden())
        return;
    const double length = IsValidDateTime(r.Length) ? r.Length : 0;
    EInfoDelka->setText(DurationText(length) + u' ' + EventEndText(r.EventDate, r.EventTime, length));
    EInfoZapis->setText(IsValidDateTime(r.Created) ? WeekdayDateTimeText(r.Created) : QString());
    EInfoDelka->setCursorPosition(0);
    EInfoZapis->setCursorPosition(0);
    MInfoPopis->setPlainText(JoinMemoPieces({ r.Description1, r.Description2 }));
}

void TFZSeznam::OdpocetAutPrepNaDenOdZac()
{
    if (TPrepOmez->isActive())
        TPrepOmez->start();
}

void TFZSeznam::ChBOmezClick()
{
    const int32_t id = SelectedItemId(LView);
    Aktualizuj();
    SelectItemById(LView, id);
    const bool checked = ChBOmez->isChecked();
    if (checked) {
        const int height = IniReadInteger(SettingsFile(), Section(), QStringLiteral("velpupozor"), 100);
        PUpozor->resize(PUpozor->width(), std::max(1, height));
    } else {
        IniWriteInteger(SettingsFile(), Section(), QStringLiteral("velpupozor"), PUpozor->height());
        LViewClick(LView, true);
    }
    {
        const AlignSuspension suspended(Client());
        PUpozor->setVisible(checked);
        RSOddel->setVisible(checked);
        StackBottomPanels();
    }
    PUpozorResize();
    if (checked) {
        SetColumnWidths(LViewU, WarnedTotal, WarnedShares);
        AktualizujU();
    }
}

void TFZSeznam::DTMChange()
{
    LDen->setText(WeekdayName(DayOfWeek(DTMDate())));
    OdpocetAutPrepNaDenOdZac();
    if (ChBOmez->isChecked())
        Aktualizuj();
}

double TFZSeznam::DTMDate() const
{
    return QDateToDateTime(DTM->date());
}

void TFZSeznam::SetDTMDate(double date)
{
    const QSignalBlocker quiet(DTM);
    DTM->setDate(DateTimeToQDate(date));
}

void TFZSeznam::MZFontClick(int step)
{
    QFont f = LView->font();
    f.setPointSize(std::max(1, f.pointSize() + step));
    LView->setFont(f);
}

void TFZSeznam::MZAutoJenDenClick()
{
    if (MZAutoJenDen->isChecked())
        TPrepOmez->start();
    else
        TPrepOmez->stop();
}

void TFZSeznam::MDalsiClick(int step)
{
    SetDTMDate(DTMDate() + step);
    DTMChange();
}

void TFZSeznam::MDNejblizsiClick(int backward)
{
    SetDTMDate(NearestEventDate(DataPath(), backward == 0, DTMDate()));
    DTMChange();
}

void TFZSeznam::MDDnesClick(int days)
{
    SetDTMDate(DateOf(Now()) + days);
    DTMChange();
}

void TFZSeznam::TPrepOmezTimer()
{
    ChBOmez->toggle();
}

void TFZSeznam::BCancelClick()
{
    close();
}

void TFZSeznam::FormResize()
{
    QWidget* client = Client();
    ::AlignControls(client);
    ::AlignControls(ScrollBox1);
    BCancel->move(PButton->width() - BCancel->width() - 6, BCancel->y());
    SetColumnWidths(LView, ListTotal, ListShares);
    SetColumnWidths(LViewU, WarnedTotal, WarnedShares);
    MInfoPopis->resize(int(std::trunc(PanelPlus->width() * 255.0 / 472)), MInfoPopis->height());
    ::AlignControls(PanelPlus);
    PUpozorResize();
}

void TFZSeznam::PUpozorResize()
{
    const int top = LUpozor->height() + 4;
    LViewU->setGeometry(0, top, PUpozor->width(), std::max(0, PUpozor->height() - top));
}

void TFZSeznam::RSOddelMoved()
{
    StackBottomPanels();
    PUpozorResize();
}

void TFZSeznam::StackBottomPanels()
{
    QWidget* client = Client();
    const AlignSuspension suspended(client);
    int bottom = client->height();
    for (QWidget* w : { static_cast<QWidget*>(SBar()), PanelPlus, PInfo, PUpozor, static_cast<QWidget*>(RSOddel) }) {
        w->move(0, bottom - w->height());
        if (!w->isHidden())
            bottom -= w->height();
    }
}

bool TFZSeznam::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PUpozor) {
        if (event->type() == QEvent::Resize)
            PUpozorResize();
        return false;
    }
    for (QTreeWidget* list : { LView, LViewU }) {
        if (watched == list->viewport() && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // After the list's own handling, which selects the row clicked.
            QTimer::singleShot(0, this, [this, list = QPointer<QTreeWidget>(list)] {
                if (list)
                    LViewClick(list, true);
            });
        } else if (watched == list && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
            LViewClick(list, false);
        }
    }
    return TFVychozi::eventFilter(watched, event);
}

void TFZSeznam::resizeEvent(QResizeEvent* event)
{
    TFVychozi::resizeEvent(event);
    FormResize();
}

void TFZSeznam::FormClose()
{
    RunGuarded([this] {
        const QString ini = SettingsFile();
        IniWriteInteger(ini, Section(), QStringLiteral("fontsize"), LView->font().pointSize());
        IniWriteInteger(ini, Section(), QStringLiteral("velpupozor"), PUpozor->height());
        IniWriteBool(ini, Section(), QStringLiteral("autoprepomez"), TPrepOmez->isActive());
    });
    Timer1->stop();
    TPrepOmez->stop();
}

void TFZSeznam::closeEvent(QCloseEvent* event)
{
    if (m_created && !m_closed) {
        m_closed = true;
        FormClose();
    }
    TFVychozi::closeEvent(event);
}

void TFZSeznam::done(int result)
{
    if (m_created && !m_closed) {
        m_closed = true;
        setResult(result);
        FormClose();
        result = this->result();
    }
    TFVychozi::done(result);
}
