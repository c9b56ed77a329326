#include "ruvo_newprip.h"

#include "ruvo_okna.h"
#include "ruvo_prip_pravidla.h"
#include "ruvo_zaklad.h"

#include "components/amedit.h"
#include "components/contexthelp.h"
#include "components/dateedit.h"
#include "components/fileutil.h"
#include "components/kitalign.h"
#include "components/kitctrls.h"
#include "components/kiterrors.h"
#include "components/kitspin.h"
#include "components/kitstatusbar.h"
#include "components/listpictures.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/soundservice.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/jbstr.h"
#include "shared/listviewtovi.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>
#include <functional>

namespace {

const QString Section = QStringLiteral("FNewPrip");

// The design size the controls are placed at. The width leaves room for the
// kind captions and the computed times in the fonts found on Linux desktops.
constexpr int DesignClientWidth = 560;
constexpr int DesignClientHeight = 382;
constexpr int RowHeight = 30;
constexpr int ControlTop = 4;
constexpr int ControlHeight = 22;
constexpr int LabelLeft = 4;
constexpr int LabelWidth = 120;
constexpr int AmountLeft = 126;
constexpr int AmountWidth = 56;
constexpr int KindLeft = 186;
constexpr int KindWidth = 184;
constexpr int ShownLeft = 374;
constexpr int ShownWidth = 182;
constexpr int TimeWidth = 50;
constexpr int DateWidth = 100;
constexpr int ButtonLeft = 532;
constexpr int PopisWidth = 400;

// First pop-up times are compared to the millisecond: an event start built
// from a date and a minute equals the same moment read from the clock.
qint64 Ms(double dt)
{
    return std::llround(dt * MSecsPerDay);
}

// The text as an integer; text that is no number gives def.
int IntOr(const QString& text, int def)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : def;
}

// A kind read from the settings or a record: outside 1..count it is the
// first kind, so that the combo always shows one.
int32_t KindOrFirst(int32_t value, int32_t count)
{
    return value < 1 || value > count ? 1 : value;
}

// A computed time shown from its start, however narrow the field.
void ShowText(QLineEdit* field, const QString& text)
{
    field->setText(text);
    field->setCursorPosition(0);
}

void SetHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

// The date calculator's glyph: a small calendar sheet.
QPixmap CalculatorGlyph()
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, Qt::darkRed);
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3)
            p.drawPoint(x, y);
    return glyph;
}

QString YesNoInfo(bool value)
{
    return value ? QStringLiteral("nastaveno na: ANO") : QStringLiteral("nastaveno na: NE");
}

} // namespace

TFNewPrip::TFNewPrip(QWidget* parent)
    : TFVychozi(parent)
{
    setObjectName(Section);
    setWindowTitle(QStringLiteral("Nové připomenutí"));
    SetHelpContext(this, 200);
    PlacementSection = Section;
    DefaultClientWidth = DesignClientWidth;
    DefaultClientHeight = DesignClientHeight;
    resize(DesignClientWidth, DesignClientHeight);

    BuildControls();
    BuildDefaultsMenu();
    LoadDefaults();
}

TFNewPrip::~TFNewPrip() = default;

QString TFNewPrip::SettingsFile() const
{
    return FZaklad()->SettingsFile();
}

QString TFNewPrip::ProgramDirectory() const
{
    return FZaklad()->ProgramDirectory();
}

QString TFNewPrip::DataPath() const
{
    return FZaklad()->ReminderDataPath();
}

// Panels are stacked from the top as the class library aligned them; the
// description stands at the right of the buttons below them.
void TFNewPrip::BuildControls()
{
    QWidget* client = Client();
    SetAlign(SBar(), alBottom);
    int top = 0;
    const auto panel = [&](const char* name, int height) { return AddTopPanel(client, name, DesignClientWidth, height, top); };
    const auto make = [](auto* w, const char* name, const QRect& r) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(r);
        return w;
    };
    const auto row = [](int left, int width) { return QRect(left, ControlTop, width, ControlHeight); };
    const auto label = [&](QWidget* parent, const QString& text, QWidget* buddy, int width = LabelWidth) {
        auto* l = new QLabel(text, parent);
        l->setGeometry(row(LabelLeft, width));
        l->setBuddy(buddy);
        return l;
    };
    const auto spin = [&](QWidget* parent, const char* name, int min, int max, int value) {
        auto* s = make(new TKitSpinEdit(parent), name, row(AmountLeft, AmountWidth));
        s->SetMinValue(min);
        s->SetMaxValue(max);
        s->SetValue(value);
        return s;
    };
    const auto combo = [&](QWidget* parent, const char* name) {
        return make(new QComboBox(parent), name, row(KindLeft, KindWidth));
    };
    const auto date = [&](QWidget* parent, const char* name, int left) {
        auto* d = make(new TDateEdit(parent), name, row(left, DateWidth));
        d->setDate(DateTimeToQDate(Now()));
        return d;
    };
    const auto time = [&](QWidget* parent, const char* name, int left) {
        auto* t = make(new QLineEdit(parent), name, row(left, TimeWidth));
        t->setInputMask(TimeEditMask);
        return t;
    };
    const auto shown = [&](QWidget* parent, const char* name) {
        auto* e = make(new TAMEdit(parent), name, row(ShownLeft, ShownWidth));
        e->setReadOnly(true);
        e->setFrame(false);
        e->setFocusPolicy(Qt::ClickFocus);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        e->setPalette(pal);
        return e;
    };

    PDatumCas = panel("PDatumCas", RowHeight);
    EDate = date(PDatumCas, "EDate", 56);
    label(PDatumCas, QStringLiteral("&datum:"), EDate, 50);
    ECas = time(PDatumCas, "ECas", 194);
    label(PDatumCas, QStringLiteral("č&as:"), ECas, 30)->move(162, ControlTop);
    ChBPrenos = make(new QCheckBox(QStringLiteral("přenositelné"), PDatumCas), "ChBPrenos", row(256, 110));
    ChBPrenos->setChecked(true);
    ChBPouzeZvuk = make(new QCheckBox(QStringLiteral("pouze zvuk"), PDatumCas), "ChBPouzeZvuk", row(372, 104));
    SpeedButton1
        = make(new TKitSpeedButton(PDatumCas), "SpeedButton1", QRect(ButtonLeft, ControlTop, 24, ControlHeight));
    SpeedButton1->SetGlyph(CalculatorGlyph());
    SetHint(SpeedButton1, QStringLiteral("výpočet datumu a času"));

    PDalsi = panel("PDalsi", RowHeight);
    EDPKolik = spin(PDalsi, "EDPKolik", 0, 10000, 10);
    Label5 = label(PDalsi, QStringLiteral("připomenout:"), EDPKolik);
    Label5->setObjectName(QStringLiteral("Label5"));
    CBDP = combo(PDalsi, "CBDP");
    DTDP = date(PDalsi, "DTDP", ShownLeft);
    MEDP = time(PDalsi, "MEDP", ShownLeft + DateWidth + 2);
    DTDP->hide();
    MEDP->hide();
    ECasPred = shown(PDalsi, "ECasPred");
    SetHint(ECasPred, QStringLiteral("čas prvního připomenutí"));

    // Shown only for the chosen weekdays of a sound-only reminder, just below
    // PDalsi.
    PDny = panel("PDny", RowHeight * 2 / 3);
    PDny->hide();
    ChLDny = make(new QListWidget(PDny), "ChLDny", QRect(0, 0, DesignClientWidth, PDny->height()));
    ChLDny->setFlow(QListView::LeftToRight);
    ChLDny->setWrapping(true);
    ChLDny->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ChLDny->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ChLDny->setFrameShape(QFrame::NoFrame);
    for (int day = 1; day <= 7; ++day) {
        auto* item = new QListWidgetItem(WeekdayName(day), ChLDny);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    ChLDny->setGridSize(QSize(DesignClientWidth / 8, PDny->height()));
    SetAlign(ChLDny, alClient);

    PProsle = panel("PProsle", RowHeight);
    EProsleKolik = spin(PProsle, "EProsleKolik", 1, 10000, 1);
    CBProsle = combo(PProsle, "CBProsle");
    label(PProsle, QStringLiteral("&prošlé:"), CBProsle);
    SetHint(CBProsle, QStringLiteral("co se stane s prošlým připomenutím"));
    ECasProsle = shown(PProsle, "ECasProsle");
    SetHint(ECasProsle, QStringLiteral("nejzazší čas prošlého připomenutí"));

    PDelka = panel("PDelka", RowHeight);
    SEDelka = spin(PDelka, "SEDelka", 0, 10000, 10);
    label(PDelka, QStringLiteral("dél&ka akce:"), SEDelka);
    CBDelka = combo(PDelka, "CBDelka");
    DTPDelka = date(PDelka, "DTPDelka", ShownLeft);
    MEDelka = time(PDelka, "MEDelka", ShownLeft + DateWidth + 2);
    DTPDelka->hide();
    MEDelka->hide();
    AMEDelka = shown(PDelka, "AMEDelka");
    SetHint(AMEDelka, QStringLiteral("konec akce"));

    PZvuk = panel("PZvuk", 4 * (ControlHeight + 2) + 6);
    CBAdr = make(new QComboBox(PZvuk), "CBAdr", row(AmountLeft, ButtonLeft - 4 - AmountLeft));
    CBAdr->setEditable(true);
    SetHint(CBAdr, QStringLiteral("výběr adresářů pro vyhledání zvukových souborů"));
    label(PZvuk, QStringLiteral("ad&resář:"), CBAdr);
    TlPrehratDat = make(new TKitSpeedButton(PZvuk), "TlPrehratDat", QRect(ButtonLeft, ControlTop, 24, ControlHeight));
    TlPrehratDat->SetGlyph(QApplication::style()->standardIcon(QStyle::SP_MediaPlay).pixmap(16, 16));
    SetHint(TlPrehratDat, QStringLiteral("přehraje zvukové soubory (Ctrl+P)"));
    TFilenameEdit** sounds[] = { &EZvuk1, &EZvuk2, &EZvuk3 };
    for (int i = 0; i < 3; ++i) {
        auto* e = new TFilenameEdit(PZvuk);
        e->setObjectName(QStringLiteral("EZvuk%1").arg(i + 1));
        const QRect r(
            AmountLeft, ControlTop + (i + 1) * (ControlHeight + 2), ButtonLeft + 24 - AmountLeft, ControlHeight);
        e->setGeometry(r);
        e->SetFilter(QStringLiteral("zvukové soubory|*.wav"));
        e->SetDialogTitle(QStringLiteral("Vyhledání souboru"));
        e->SetDialogOptions(ofHideReadOnly | ofFileMustExist);
        auto* l = new QLabel(QStringLiteral("zvuk &%1:").arg(i + 1), PZvuk);
        l->setGeometry(LabelLeft, r.top(), LabelWidth, ControlHeight);
        l->setBuddy(e);
        *sounds[i] = e;
    }

    PNadpis = panel("PNadpis", RowHeight);
    ENadpis = make(new QLineEdit(PNadpis), "ENadpis", row(142, 220));
    ENadpis->setMaxLength(20);
    Label7 = label(PNadpis, QStringLiteral("téma připomenutí:"), ENadpis, 136);
    Label7->setObjectName(QStringLiteral("Label7"));
    BVelke = make(new QPushButton(QStringLiteral("&VELKÁ"), PNadpis), "BVelke", row(368, 92));
    BMale = make(new QPushButton(QStringLiteral("&malá"), PNadpis), "BMale", row(464, 92));
    SetHint(BVelke, QStringLiteral("převede nadpis na velká písmena"));
    SetHint(BMale, QStringLiteral("převede nadpis na malá písmena"));

    const int bottom = DesignClientHeight - Menu()->sizeHint().height() - SBar()->sizeHint().height();
    PPopis = new QWidget(client);
    PPopis->setObjectName(QStringLiteral("PPopis"));
    PPopis->setGeometry(DesignClientWidth - PopisWidth, top, PopisWidth, std::max(40, bottom - top));
    SetAlign(PPopis, alRight);
    MPopis = make(new QTextEdit(PPopis), "MPopis", QRect(2, 2, PopisWidth - 6, PPopis->height() - 4));
    MPopis->setAcceptRichText(false);
    MPopis->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MPopis->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    // Its size is kept in points: the memo menu and [Memo] "font" count them.
    QFont memoFont = MPopis->font();
    memoFont.setPointSize(10);
    MPopis->setFont(memoFont);
    SetHint(MPopis, QStringLiteral("popis připomínané akce"));
    SetAlign(MPopis, alClient);

    PButton = new QWidget(client);
    PButton->setObjectName(QStringLiteral("PButton"));
    PButton->setGeometry(0, top, DesignClientWidth - PopisWidth, std::max(40, bottom - top));
    SetAlign(PButton, alClient);
    BOK = make(new QPushButton(QStringLiteral("&OK"), PButton), "BOK", QRect(12, 8, 134, 28));
    BOK->setIcon(ListWindowPicture(QStringLiteral("BOK")));
    SetHint(BOK, QStringLiteral("uloží nové připomenutí"));
    BCancel = make(new QPushButton(QStringLiteral("&Zpět"), PButton), "BCancel", QRect(12, 42, 134, 28));
    BCancel->setIcon(ListWindowPicture(QStringLiteral("BCANCEL")));
    SetHint(BCancel, QStringLiteral("ukončí formulář bez uložení"));
    // Enter does not store the form by accident: only a click or a key on
    // the button itself does.
    for (QPushButton* b : { BOK, BCancel, BVelke, BMale })
        b->setAutoDefault(false);

    PMenuMemo = CreateMemoMenu(MPopis, this, [this] { return SettingsFile(); });
    LimitMemoToPieces(MPopis, 2);

    // The pop-up menu of the form never pops up; it carries the short cut.
    MPrehrat = new QAction(QStringLiteral("přehrát"), this);
    MPrehrat->setObjectName(QStringLiteral("MPrehrat"));
    MPrehrat->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    MPrehrat->setShortcutContext(Qt::WindowShortcut);
    addAction(MPrehrat);

    const auto guarded = [this](void (TFNewPrip::*handler)()) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(ChBPouzeZvuk, &QCheckBox::clicked, this, [this](bool on) { RunGuarded([this, on] { Nastavpanely(on); }); });
    connect(CBDP, &QComboBox::currentIndexChanged, this, guarded(&TFNewPrip::CBDPChange));
    OnExit(CBDP, [this] { CBDPChange(); });
    connect(CBProsle, &QComboBox::currentIndexChanged, this, guarded(&TFNewPrip::CBProsleChange));
    OnExit(CBProsle, [this] { CBProsleChange(); });
    connect(CBDelka, &QComboBox::activated, this, [this] { m_keptLength.reset(); });
    connect(CBDelka, &QComboBox::currentIndexChanged, this, guarded(&TFNewPrip::CBDelkaChange));
    OnExit(CBDelka, [this] { CBDelkaChange(); });
    connect(EDate, &QDateEdit::dateChanged, this, guarded(&TFNewPrip::ShowDerived));
    OnExit(EDate, [this] { ShowDerived(); });
    for (QLineEdit* t : { ECas, MEDP, MEDelka })
        OnExit(t, [this, t] { TimeEditExit(t); });
    connect(EDPKolik, &TKitSpinEdit::OnChange, this, &TFNewPrip::DopocetCasPred);
    connect(EProsleKolik, &TKitSpinEdit::OnChange, this, &TFNewPrip::DopocetCasProsle);
    connect(SEDelka, &QLineEdit::textEdited, this, [this] { m_keptLength.reset(); });
    connect(SEDelka, &TKitSpinEdit::OnTopClick, this, [this] { m_keptLength.reset(); });
    connect(SEDelka, &TKitSpinEdit::OnBottomClick, this, [this] { m_keptLength.reset(); });
    connect(SEDelka, &TKitSpinEdit::OnChange, this, &TFNewPrip::DopoctiDatumCasDelka);
    connect(CBAdr, &QComboBox::currentTextChanged, this, &TFNewPrip::NastavInitialDir);
    connect(BVelke, &QPushButton::clicked, this, &TFNewPrip::BVelkeClick);
    connect(BMale, &QPushButton::clicked, this, &TFNewPrip::BMaleClick);
    connect(TlPrehratDat, &TKitSpeedButton::OnClick, this, &TFNewPrip::TlPrehratDatClick);
    connect(MPrehrat, &QAction::triggered, this, &TFNewPrip::TlPrehratDatClick);
    connect(SpeedButton1, &TKitSpeedButton::OnClick, this, guarded(&TFNewPrip::SpeedButton1Click));
    connect(BOK, &QPushButton::clicked, this, [this] { BOKClick(); });
    connect(BCancel, &QPushButton::clicked, this, &TFNewPrip::BCancelClick);

    EDate->setFocus();
}

void TFNewPrip::BuildDefaultsMenu()
{
    MVychozi = new QMenu(QStringLiteral("&Výchozí"), Menu());
    MVychozi->setObjectName(QStringLiteral("MVychozi"));
    Menu()->insertMenu(Menu()->actions().value(0), MVychozi);

    const auto submenu = [this](const QString& title, const QString& name, std::function<QString()> info,
                             std::function<void()> store) {
        QMenu* m = MVychozi->addMenu(title);
        m->setObjectName(name);
        QAction* infoItem = m->addAction(QString());
        QAction* set = m->addAction(QStringLiteral("&nastav dle aktuálního"));
        connect(m, &QMenu::aboutToShow, this, [infoItem, info] { RunGuarded([&] { infoItem->setText(info()); }); });
        connect(set, &QAction::triggered, this, [store] { RunGuarded(store); });
        return set;
    };
    const auto ini = [this] { return SettingsFile(); };

    submenu(
        QStringLiteral("přenos"), QStringLiteral("MPrenos"),
        [ini] { return YesNoInfo(IniReadBool(ini(), Section, QStringLiteral("implprenos"), true)); },
        [this, ini] { IniWriteBool(ini(), Section, QStringLiteral("implprenos"), ChBPrenos->isChecked()); });
    submenu(
        QStringLiteral("pouze zvuk"), QStringLiteral("MPouzeZvuk"),
        [ini] { return YesNoInfo(IniReadBool(ini(), Section, QStringLiteral("implzvuk"), false)); },
        [this, ini] { IniWriteBool(ini(), Section, QStringLiteral("implzvuk"), ChBPouzeZvuk->isChecked()); });
    MDelkaNastav = submenu(
        QStringLiteral("délka"), QStringLiteral("MDelka"),
        [ini] {
            const int kind
                = KindOrFirst(IniReadInteger(ini(), Section, QStringLiteral("EDelkaTyp"), 1), LengthKindCount());
            return QStringLiteral("nastaveno na: ")
                + QString::number(IniReadInteger(ini(), Section, QStringLiteral("EDelkaKolik"), 0)) + u' '
                + LengthKindText(kind);
        },
        [this, ini] {
            IniWriteInteger(ini(), Section, QStringLiteral("EDelkaTyp"), tag(CBDelka));
            IniWriteInteger(ini(), Section, QStringLiteral("EDelkaKolik"), SEDelka->ValueAsInteger());
        });
    const TFilenameEdit* sounds[] = { EZvuk1, EZvuk2, EZvuk3 };
    for (int n = 1; n <= 3; ++n) {
        const QString key = QStringLiteral("zvuk%1").arg(n);
        const TFilenameEdit* edit = sounds[n - 1];
        submenu(
            QStringLiteral("zvuk %1").arg(n), QStringLiteral("MZvuk%1").arg(n),
            [ini, key] { return QStringLiteral("nastaveno na: ") + IniReadString(ini(), Section, key, QString()); },
            [ini, key, edit] { IniWriteString(ini(), Section, key, edit->FileName()); });
    }
    submenu(
        QStringLiteral("předem/další"), QStringLiteral("MPredem"),
        [ini] {
            const int kind = IniReadInteger(ini(), Section, QStringLiteral("EDP"), 0);
            if (IniReadBool(ini(), Section, QStringLiteral("implzvuk"), false))
                return RepeatKindText(kind);
            const int amount = IniReadInteger(ini(), Section, QStringLiteral("EDPKolik"), 0);
            return QStringLiteral("nastaveno na: ") + (amount == 0 ? QString() : QString::number(amount)) + u' '
                + AdvanceKindText(kind);
        },
        [this, ini] {
            IniWriteInteger(ini(), Section, QStringLiteral("EDP"), tag(CBDP));
            IniWriteInteger(ini(), Section, QStringLiteral("EDPKolik"), EDPKolik->ValueAsInteger());
        });
    submenu(
        QStringLiteral("prošlé"), QStringLiteral("MProsle"),
        [ini] {
            const int action = IniReadInteger(ini(), Section, QStringLiteral("EProsle"), 0);
            const int amount = IniReadInteger(ini(), Section, QStringLiteral("EProsleKolik"), 0);
            const bool noAmount = amount == 0 || action < oaWithinMinutes;
            return QStringLiteral("nastaveno na: ") + (noAmount ? QString() : QString::number(amount)) + u' '
                + OverdueActionText(action);
        },
        [this, ini] {
            IniWriteInteger(ini(), Section, QStringLiteral("EProsle"), tag(CBProsle));
            IniWriteInteger(ini(), Section, QStringLiteral("EProsleKolik"), EProsleKolik->ValueAsInteger());
        });
}

// The form's creation: the defaults, then the controls that follow from them.
void TFNewPrip::LoadDefaults()
{
    const QString ini = SettingsFile();
    ChBPrenos->setChecked(IniReadBool(ini, Section, QStringLiteral("implprenos"), true));
    TFilenameEdit* sounds[] = { EZvuk1, EZvuk2, EZvuk3 };
    for (int n = 1; n <= 3; ++n) {
        try {
            sounds[n - 1]->SetFileName(IniReadString(ini, Section, QStringLiteral("zvuk%1").arg(n), QString()));
        } catch (const EComboEditError&) {
            // A name no file can have stays out of the form.
        }
    }
    EDPKolik->SetValue(IniReadInteger(ini, Section, QStringLiteral("EDPKolik"), 10));
    EProsleKolik->SetValue(IniReadInteger(ini, Section, QStringLiteral("EProsleKolik"), 0));
    SEDelka->SetValue(IniReadInteger(ini, Section, QStringLiteral("EDelkaKolik"), 0));
    LoadMemoLook(MPopis, IniFile(ini));

    // One hour from now, on the next day after 23:00.
    const double now = Now();
    const int32_t minute = MinuteOfDay(now) + 60;
    EDate->setDate(DateTimeToQDate(std::trunc(now) + (minute >= 1440 ? 1 : 0)));
    ECas->setText(MinutesToTimeText(minute));

    const bool soundOnly = IniReadBool(ini, Section, QStringLiteral("implzvuk"), false);
    ChBPouzeZvuk->setChecked(soundOnly);
    Nastavpanely(soundOnly);
    const int32_t edp = IniReadInteger(ini, Section, QStringLiteral("EDP"), 1);
    if (soundOnly)
        FillRepeatKindCombo(CBDP, KindOrFirst(edp, RepeatKindCount()));
    else
        FillAdvanceKindCombo(CBDP, KindOrFirst(edp, AdvanceKindCount()));
    CBDPChange();

    FillOverdueActionCombo(
        CBProsle, KindOrFirst(IniReadInteger(ini, Section, QStringLiteral("EProsle"), 1), OverdueActionCount()));
    CBProsleChange();
    FillLengthKindCombo(
        CBDelka, KindOrFirst(IniReadInteger(ini, Section, QStringLiteral("EDelkaTyp"), 1), LengthKindCount()));
    CBDelkaChange();

    LoadComboFromIni(ini, QStringLiteral("ZvukAdr"), QStringLiteral("pocet"), false, true, CBAdr);
    if (CBAdr->count() > 0)
        CBAdr->setCurrentIndex(0);
    NastavInitialDir(CBAdr->currentText());
}

bool TFNewPrip::SoundOnly() const
{
    return ChBPouzeZvuk->isChecked();
}

void TFNewPrip::Nastavpanely(bool soundOnly)
{
    PPopis->setVisible(!soundOnly);
    SetHint(CBDP, soundOnly ? QStringLiteral("kdy další připomenutí") : QStringLiteral("kdy připomenout předem"));
    Label7->setText(soundOnly ? QStringLiteral("nadpis připomenutí:") : QStringLiteral("téma připomenutí:"));
    Label5->setText(soundOnly ? QStringLiteral("další připomenutí:") : QStringLiteral("připomenout:"));
    if (soundOnly)
        FillRepeatKindCombo(CBDP, 1);
    else
        FillAdvanceKindCombo(CBDP, 1);
    CBDP->resize(CBProsle->width() * (soundOnly ? 2 : 1), CBDP->height());
    PDelka->setVisible(!soundOnly);
    ECasPred->setVisible(!soundOnly);
    CBDPChange();
}

void TFNewPrip::NastavInitialDir(const QString& folder)
{
    const QString dir = LocalPath(folder);
    if (dir.isEmpty() || !IsExistingDirectory(dir))
        return;
    for (TFilenameEdit* e : { EZvuk1, EZvuk2, EZvuk3 })
        e->SetInitialDir(dir);
}

std::optional<double> TFNewPrip::DateAndTime(const QDateEdit* date, const QLineEdit* time)
{
    const auto t = TimeEditValue(time);
    if (!t)
        return std::nullopt;
    return ComposeDateTime(QDateToDateTime(date->date()), *t);
}

void TFNewPrip::SetDateAndTime(QDateEdit* date, QLineEdit* time, double dt)
{
    date->setDate(DateTimeToQDate(dt));
    time->setText(MinutesToTimeText(MinuteOfDay(dt)));
}

std::optional<double> TFNewPrip::Start() const
{
    return DateAndTime(EDate, ECas);
}

double TFNewPrip::DejPredKolik() const
{
    if (tag(CBDP) == akAbsolute)
        return DateAndTime(DTDP, MEDP).value_or(0);
    return EDPKolik->ValueAsInteger();
}

double TFNewPrip::DejDelku() const
{
    if (SoundOnly())
        return 0;
    if (m_keptLength)
        return *m_keptLength;
    LengthSetting setting;
    setting.Kind = tag(CBDelka);
    setting.Amount = SEDelka->ValueAsInteger();
    const auto start = Start();
    if (setting.Kind == lkEndDateTime) {
        const auto end = DateAndTime(DTPDelka, MEDelka);
        if (!start || !end)
            return 0;
        setting.AbsoluteEnd = *end;
    }
    return ::DejDelku(setting, start.value_or(0));
}

void TFNewPrip::DopocetCasPred()
{
    if (SoundOnly()) {
        ECasPred->clear();
        return;
    }
    if (const auto start = Start())
        ShowText(ECasPred, WeekdayDateTimeText(WarnTimeBefore(tag(CBDP), IntOr(EDPKolik->text(), 1), *start)));
}

void TFNewPrip::DopocetCasProsle()
{
    const auto start = Start();
    if (!start)
        return;
    const double d = AddUnits(tag(CBProsle), IntOr(EProsleKolik->text(), 1), *start);
    ShowText(ECasProsle, d == 0 ? QString() : WeekdayDateTimeText(d));
}

void TFNewPrip::DopoctiDatumCasDelka()
{
    const int kind = tag(CBDelka);
    if (kind < lkMinutes || kind > lkDays)
        return;
    if (const auto start = Start())
        ShowText(AMEDelka, WeekdayDateTimeText(*start + DejDelku()));
}

void TFNewPrip::ShowDerived()
{
    DopocetCasPred();
    DopocetCasProsle();
    DopoctiDatumCasDelka();
}

void TFNewPrip::CBDPChange()
{
    int index = 0;
    if (!ComboTextIndex(CBDP, index))
        return;
    setTag(CBDP, index);
    if (SoundOnly()) {
        DTDP->hide();
        MEDP->hide();
        EDPKolik->hide();
        if (index == rkWeekdays) {
            // Just below PDalsi, before the panels that follow it.
            PDny->setGeometry(PDny->x(), PDalsi->y() + 1, PDny->width(), PDalsi->height() * 20 / 30);
            PDny->show();
            ::AlignControls(Client(), PDny);
            FitDayColumns();
        } else {
            PDny->hide();
        }
    } else {
        const bool absolute = index == akAbsolute;
        // The first pop-up starts at the event start when it is chosen.
        if (absolute && !DTDP->isVisibleTo(PDalsi)) {
            if (const auto start = Start())
                SetDateAndTime(DTDP, MEDP, *start);
        }
        DTDP->setVisible(absolute);
        MEDP->setVisible(absolute);
        EDPKolik->setVisible(!absolute);
        ECasPred->setVisible(!absolute);
        PDny->hide();
    }
    DopocetCasPred();
}

void TFNewPrip::CBProsleChange()
{
    int index = 0;
    if (!ComboTextIndex(CBProsle, index))
        return;
    setTag(CBProsle, index);
    EProsleKolik->setVisible(index != oaNothing && index != oaAsSoonAsPossible);
    DopocetCasProsle();
}

void TFNewPrip::CBDelkaChange()
{
    int index = 0;
    if (!ComboTextIndex(CBDelka, index))
        return;
    const bool wasEnd = DTPDelka->isVisibleTo(PDelka);
    setTag(CBDelka, index);
    const bool end = index == lkEndDateTime;
    MEDelka->setVisible(end);
    DTPDelka->setVisible(end);
    SEDelka->setVisible(!end);
    AMEDelka->setVisible(!end);
    MDelkaNastav->setEnabled(!end);
    // The end is set when it is chosen, not each time the combo is left: at
    // the event start, or after a stored length.
    if (end && !wasEnd) {
        if (const auto start = Start())
            SetDateAndTime(DTPDelka, MEDelka, *start + m_keptLength.value_or(0));
    }
    DopoctiDatumCasDelka();
}

void TFNewPrip::TimeEditExit(QLineEdit* edit)
{
    if (!TimeEditInvalid(edit))
        ShowDerived();
}

void TFNewPrip::BVelkeClick()
{
    ENadpis->setText(CzechUpperCase(ENadpis->text()));
}

void TFNewPrip::BMaleClick()
{
    ENadpis->setText(CzechLowerCase(ENadpis->text()));
}

void TFNewPrip::TlPrehratDatClick()
{
    for (const TFilenameEdit* e : { EZvuk1, EZvuk2, EZvuk3 }) {
        const QString stored = ExpandDataPath(e->FileName(), ProgramDirectory());
        if (StoredFileExists(stored))
            SoundService::play(LocalPath(stored));
    }
}

void TFNewPrip::SpeedButton1Click()
{
    QPointer<QWidget> calculator = ReminderForms().Create(QStringLiteral("FVypDC"));
    if (!calculator)
        return;
    if (auto* targets = dynamic_cast<DateCalculatorTargets*>(calculator.data()))
        targets->SetTargets(EDate, ECas);
    if (auto* dialog = qobject_cast<QDialog*>(calculator.data()))
        Dialogs::execModal(dialog);
    ShowDerived();
}

bool TFNewPrip::TimesValid()
{
    if (TimeEditInvalid(ECas))
        return false;
    if (SoundOnly())
        return true;
    if (tag(CBDP) == akAbsolute && TimeEditInvalid(MEDP))
        return false;
    return tag(CBDelka) != lkEndDateTime || !TimeEditInvalid(MEDelka);
}

ReminderRecord TFNewPrip::ControlsRecord() const
{
    ReminderRecord r;
    const double start = Start().value_or(0);
    r.Version = DataVersion;
    r.Transferable = ChBPrenos->isChecked();
    r.RemindDate = RemindDateText(start);
    r.RemindTime = RemindTimeText(start);
    r.EventDate = r.RemindDate;
    r.EventTime = r.RemindTime;
    r.SoundOnly = SoundOnly();
    if (r.SoundOnly) {
        r.RepeatKind = tag(CBDP);
        r.Weekdays = WeekdaysToText(ChLDny).left(7);
    } else {
        r.AdvanceKind = tag(CBDP);
        r.AdvanceAmount = DejPredKolik();
    }
    r.OverdueAction = tag(CBProsle);
    r.OverdueAmount = IntOr(EProsleKolik->text(), 1);
    r.Sound1 = StoredSoundPath(EZvuk1->FileName(), ProgramDirectory());
    r.Sound2 = StoredSoundPath(EZvuk2->FileName(), ProgramDirectory());
    r.Sound3 = StoredSoundPath(EZvuk3->FileName(), ProgramDirectory());
    r.Description1 = MemoPiece(1, MPopis);
    r.Description2 = MemoPiece(2, MPopis);
    r.Title = ENadpis->text().left(20);
    r.Erased = false;
    r.LengthKind = tag(CBDelka);
    r.Length = DejDelku();
    return r;
}

bool TFNewPrip::LengthAcceptable(double length)
{
    if (length >= 0)
        return true;
    MessageDlgBeep(QStringLiteral("Délka připomínané akce je chybně zadána,\rzadej znovu!"), MsgDlgType::Information,
        MsgBtn::OK, 0);
    return false;
}

void TFNewPrip::Stored()
{
    NotifyTray(tnRemindersChanged);
    Dialogs::messageBeep(MsgDlgType::Custom);
    PostRefreshOverview();
    done(mrOk);
}

void TFNewPrip::BOKClick()
{
    RunGuarded([this] {
        if (!TimesValid())
            return;
        ReminderRecord r = ControlsRecord();

        QString missing;
        TFilenameEdit* sounds[] = { EZvuk1, EZvuk2, EZvuk3 };
        bool anySound = false;
        for (int n = 1; n <= 3; ++n) {
            const QString name = sounds[n - 1]->FileName();
            if (name.isEmpty())
                continue;
            if (!StorablePathAccepted(name)) {
                sounds[n - 1]->setFocus();
                return;
            }
            anySound = true;
            if (!StoredFileExists(ExpandDataPath(name, ProgramDirectory())))
                missing += QString::number(n) + u',';
        }
        if (!missing.isEmpty()
            && MessageDlgBeep(QStringLiteral("Tento zvukový soubor neexistuje: číslo ") + missing
                       + QStringLiteral("\rmám pokračovat?"),
                   MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
                == mrNo)
            return;
        if (r.SoundOnly && !anySound) {
            MessageDlgBeep(
                QStringLiteral("Nebyl zadán žádný zvukový soubor, nelze použít!"), MsgDlgType::Warning, MsgBtn::OK, 0);
            return;
        }
        const double start = Start().value_or(0);
        if (Ms(WarnTimeBefore(r.AdvanceKind, r.AdvanceAmount, start)) <= Ms(Now())) {
            MessageDlgBeep(
                QStringLiteral("Čas připomenutí již uplynul,\rzadej znovu!"), MsgDlgType::Information, MsgBtn::OK, 0);
            return;
        }
        if (!LengthAcceptable(r.Length))
            return;

        r.Created = Now();
        r.LastChange = r.Created;
        r.NextKind = nkDays;
        r.NextAmount = 1.0;
        AppendReminder(DataPath(), r);
        Stored();
    });
}

void TFNewPrip::BCancelClick()
{
    if (MessageDlgBeep(
            QStringLiteral("Opravdu ukončit formulář?"), MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
        != mrNo)
        done(mrCancel);
}

void TFNewPrip::LoadRecord(const ReminderRecord& r)
{
    m_keptLength.reset();
    const auto start = StoredDateTime(r.EventDate, r.EventTime);
    // An unreadable event time leaves the date and time as they are.
    if (start)
        SetDateAndTime(EDate, ECas, *start);
    ChBPrenos->setChecked(r.Transferable);
    ChBPouzeZvuk->setChecked(r.SoundOnly);
    Nastavpanely(r.SoundOnly);

    TFilenameEdit* sounds[] = { EZvuk1, EZvuk2, EZvuk3 };
    const QString stored[] = { r.Sound1, r.Sound2, r.Sound3 };
    for (int i = 0; i < 3; ++i) {
        try {
            sounds[i]->SetFileName(FileNameOfStoredSound(stored[i], ProgramDirectory()));
        } catch (const EComboEditError&) {
            sounds[i]->setText(stored[i]);
        }
    }

    if (r.SoundOnly) {
        FillRepeatKindCombo(CBDP, KindOrFirst(r.RepeatKind, RepeatKindCount()));
        TextToWeekdays(ChLDny, r.Weekdays);
        CBDPChange();
    } else {
        const int32_t kind = KindOrFirst(r.AdvanceKind, AdvanceKindCount());
        FillAdvanceKindCombo(CBDP, kind);
        CBDPChange();
        if (kind != akAbsolute)
            EDPKolik->SetValue(std::isfinite(r.AdvanceAmount) ? std::trunc(r.AdvanceAmount) : 0);
        else if (IsValidDateTime(r.AdvanceAmount))
            SetDateAndTime(DTDP, MEDP, r.AdvanceAmount);
    }

    const int32_t lengthKind = LoadedLengthKind(r.LengthKind);
    FillLengthKindCombo(CBDelka, lengthKind);
    CBDelkaChange();
    if (lengthKind == lkEndDateTime) {
        // An end no edit can show becomes the start.
        if (start)
            SetDateAndTime(DTPDelka, MEDelka, IsValidDateTime(*start + r.Length) ? *start + r.Length : *start);
    } else {
        SEDelka->SetValue(LengthAmount(lengthKind, r.Length));
        if (std::isfinite(r.Length))
            m_keptLength = r.Length;
    }

    FillOverdueActionCombo(CBProsle, KindOrFirst(r.OverdueAction, OverdueActionCount()));
    EProsleKolik->SetValue(r.OverdueAmount);
    CBProsleChange();

    ENadpis->setText(r.Title);
    MPopis->setPlainText(JoinMemoPieces({ r.Description1, r.Description2 }));
    MPopis->moveCursor(QTextCursor::Start);
    ShowDerived();
}

QString TFNewPrip::StoredSoundPath(const QString& fileName, const QString& programDir)
{
    const QString rest = StripPathPrefix(fileName, programDir);
    // Only what lies inside the folder: "/prog2/x.wav" is not in "/prog".
    if (rest.size() == fileName.size() || !(rest.startsWith(u'/') || rest.startsWith(u'\\')))
        return fileName;
    QString stored = rest;
    stored.replace(u'/', u'\\');
    return stored;
}

QString TFNewPrip::FileNameOfStoredSound(const QString& stored, const QString& programDir)
{
    if (!stored.startsWith(u'\\'))
        return stored;
    const QString local = LocalPath(ExpandDataPath(stored, programDir));
    return local.isEmpty() ? stored : local;
}

void TFNewPrip::keyPressEvent(QKeyEvent* event)
{
    // Escape anywhere is the cancel button, with its question.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        RunGuarded([this] { BCancelClick(); });
        event->accept();
        return;
    }
    TFVychozi::keyPressEvent(event);
}

// The window keeps the height the user gives it, and the width too unless it
// was made wider than its proportion: the contents scale with the smaller
// ratio, as in every sizeable window, and a change of the height alone only
// gives the description and the buttons more room.
void TFNewPrip::resizeEvent(QResizeEvent* event)
{
    if (!FormCreated() || isMaximized() || isFullScreen() || m_resizeDepth > 1) {
        TFVychozi::resizeEvent(event);
        return;
    }
    ++m_resizeDepth;
    const int h0 = height();
    const int w0 = width();
    bool restoreHeight = true;
    if (w0 == DefaultClientWidth) {
        DefaultClientHeight = h0;
        restoreHeight = false;
    }
    const bool referenceWider = qint64(DefaultClientWidth) * h0 > qint64(w0) * DefaultClientHeight;
    TFVychozi::resizeEvent(event);

    const int cancelBottom = BCancel->y() + BCancel->height();
    if (cancelBottom + 5 > PButton->height()) {
        MinTrackHeight = PButton->y() + cancelBottom + 85;
        setMinimumHeight(std::max(0, MinTrackHeight - (frameGeometry().height() - height())));
        restoreHeight = true;
    }
    if (restoreHeight && height() != h0)
        resize(width(), h0);
    if (referenceWider && width() != w0)
        resize(w0, height());
    FitDayColumns();
    --m_resizeDepth;
}

// The seven days stand in eight equal columns.
void TFNewPrip::FitDayColumns()
{
    if (PDny->isVisible() && ChLDny->width() >= 8)
        ChLDny->setGridSize(QSize(ChLDny->width() / 8, ChLDny->height()));
}
