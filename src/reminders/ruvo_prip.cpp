#include "ruvo_prip.h"

#include "ruvo_prip_nadp_edit.h"

#include "components/alabel.h"
#include "components/amedit.h"
#include "components/contexthelp.h"
#include "components/dateedit.h"
#include "components/formrgn.h"
#include "components/forms.h"
#include "components/kitspin.h"
#include "components/listpictures.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/soundservice.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/listviewtovi.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace {

const QString Section = QStringLiteral("FPrip");

// Controls the program sets are not the user's changes: while one of these
// lives, the change handlers wait.
class Quiet {
public:
    explicit Quiet(int& depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~Quiet() { --m_depth; }

private:
    int& m_depth;
};

QPalette YellowPalette(QPalette palette)
{
    palette.setColor(QPalette::Window, Qt::yellow);
    palette.setColor(QPalette::Base, Qt::yellow);
    return palette;
}

QFont ControlFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

// The slanted sides of the shape's inner outline run from its bottom corners
// to the top knob; a heading is centred along one of them, a little inside.
constexpr double SideDx = 250.0;
constexpr double SideDy = 350.0;
constexpr double HeadingCentreY = 200.0;
constexpr double HeadingInset = 13.0;

QPoint HeadingCentre(bool left)
{
    const double length = std::hypot(SideDx, SideDy);
    const double sideX = 267.0 - SideDx / SideDy * (HeadingCentreY - 27.0);
    const double x = sideX + HeadingInset * SideDy / length;
    const double y = HeadingCentreY + HeadingInset * SideDx / length;
    return QPoint(int(std::lround(left ? x : TFPrip::ClientWidth - x)), int(std::lround(y)));
}

} // namespace

const QString TFPrip::FormRegionScript = QStringLiteral("L259,21,9,371,50,450,550,450,591,371,341,21\r\n"
                                                        "O\r\nE250,0,350,100\r\n"
                                                        "O\r\nE0,350,100,450\r\n"
                                                        "O\r\nE500,350,600,450");

const QString TFPrip::CaptionRegionScript = QStringLiteral("{\r\n") + TFPrip::FormRegionScript
    + QStringLiteral("\r\n}\r\nX\r\n{\r\n"
                     "L267,27,17,377,50,440,550,440,583,377,332,27\r\n"
                     "O\r\nE260,10,340,90\r\n"
                     "O\r\nE10,360,90,440\r\n"
                     "O\r\nE510,360,590,440\r\n"
                     "}");

TFPrip::TFPrip(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("FPrip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Připomenutí"));
    setAutoFillBackground(true);
    setPalette(YellowPalette(palette()));
    setCursor(Qt::PointingHandCursor);
    setFont(ControlFont());
    SetHelpContext(this, 300);
    resize(ClientWidth, ClientHeight);
    BuildControls();

    m_formRegion = new TFormRegion(this);
    m_formRegion->setObjectName(QStringLiteral("FRegion"));
    m_formRegion->BeginLoading();
    m_formRegion->SetClientDrag(true);
    m_formRegion->SetRegion(FormRegionScript);
    m_formRegion->Loaded();

    m_captionRegion = new TCaptionRegion(this);
    m_captionRegion->setObjectName(QStringLiteral("CRegion1"));
    m_captionRegion->BeginLoading();
    m_captionRegion->SetActiveColor(FrameColorBefore);
    m_captionRegion->SetInactiveColor(FrameColorBefore);
    m_captionRegion->SetPopupMenu(PMNadpis);
    m_captionRegion->SysMenuPicture().SetVisible(true);
    m_captionRegion->SetRegion(CaptionRegionScript);
    m_captionRegion->Loaded();

    m_helpMode = new ContextHelpMode(this);

    m_timer->setObjectName(QStringLiteral("TDatum"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TFPrip::TDatumTimer);

    FormCreate();
}

TFPrip::~TFPrip() = default;

// Positions and sizes fit the shape: a triangle with round corners, narrow
// at the top, the headings along its slanted sides.
void TFPrip::BuildControls()
{
    const auto make = [](auto* w, const char* name, const QRect& r) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(r);
        return w;
    };
    const auto display = [&](const char* name, const QRect& r) {
        auto* e = make(new TAMEdit(this), name, r);
        e->setReadOnly(true);
        e->setFrame(false);
        e->setAlignment(Qt::AlignCenter);
        e->setPalette(YellowPalette(e->palette()));
        e->setFocusPolicy(Qt::ClickFocus);
        return e;
    };
    // A label stands right against the control it names.
    const auto label = [this](const QString& text, const QRect& r, QWidget* buddy = nullptr) {
        auto* l = new QLabel(text, this);
        l->setGeometry(r);
        l->setBuddy(buddy);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    const auto spin = [&](const char* name, const QRect& r, int min, int max, int value) {
        auto* s = make(new TKitSpinEdit(this), name, r);
        s->SetMinValue(min);
        s->SetMaxValue(max);
        s->SetValue(value);
        return s;
    };
    const auto date = [&](const char* name, const QRect& r) {
        auto* d = make(new TDateEdit(this), name, r);
        d->setDate(DateTimeToQDate(Now()));
        return d;
    };
    const auto time = [&](const char* name, const QRect& r) {
        auto* t = make(new QLineEdit(this), name, r);
        t->setInputMask(TimeEditMask);
        return t;
    };
    const auto combo = [&](const char* name, const QRect& r) { return make(new QComboBox(this), name, r); };

    // Made first, so that every control lies above them.
    QFont headingFont(QStringLiteral("Arial"));
    headingFont.setPixelSize(17);
    headingFont.setBold(true);
    QPalette red = palette();
    red.setColor(QPalette::WindowText, Qt::red);
    for (TALabel** heading : { &Nadpis1, &Nadpis2, &Nadpis3 }) {
        *heading = new TALabel(this);
        (*heading)->SetTransparent(true);
        (*heading)->setFont(headingFont);
        (*heading)->setPalette(red);
    }
    Nadpis1->setObjectName(QStringLiteral("Nadpis1"));
    Nadpis1->SetAngle(540);
    Nadpis2->setObjectName(QStringLiteral("Nadpis2"));
    Nadpis2->SetAngle(3060);
    Nadpis3->setObjectName(QStringLiteral("Nadpis3"));
    headingFont.setPixelSize(13);
    Nadpis3->setFont(headingFont);

    ECislo = display("ECislo", QRect(272, 30, 56, 17));
    EAktDatum = display("EAktDatum", QRect(238, 74, 124, 17));

    MPopis = make(new QTextEdit(this), "MPopis", QRect(222, 96, 156, 94));
    MPopis->setAcceptRichText(false);
    MPopis->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MPopis->setPalette(YellowPalette(MPopis->palette()));
    MPopis->setFrameShape(QFrame::NoFrame);
    MPopis->setFont(QFont(QStringLiteral("Arial"), 9));

    label(QStringLiteral("akce:"), QRect(180, 196, 32, 17));
    EDatum = display("EDatum", QRect(212, 196, 150, 17));
    MEDelka = display("MEDelka", QRect(166, 216, 268, 17));

    ChBVych = make(new QCheckBox(QStringLiteral("přepsat vých&ozí čas"), this), "ChBVych", QRect(150, 238, 150, 20));
    CBPrenos = make(new QCheckBox(QStringLiteral("pře&nos:"), this), "CBPrenos", QRect(340, 238, 90, 20));
    CBPrenos->setLayoutDirection(Qt::RightToLeft);

    CBZnovu = combo("CBZnovu", QRect(218, 262, 146, 20));
    Label5 = label(QStringLiteral("opět připomenout:"), QRect(100, 262, 114, 20), CBZnovu);
    Label5->setObjectName(QStringLiteral("Label5"));
    EZnovuKolik = spin("EZnovuKolik", QRect(368, 262, 56, 20), 1, 10000, 1);
    DTZnovu = date("DTZnovu", QRect(368, 262, 88, 20));
    ECasZnovu = time("ECasZnovu", QRect(458, 262, 42, 20));
    ECasZnovu->setText(QStringLiteral("10:00"));
    EDalsi = display("EDalsi", QRect(218, 285, 146, 17));

    CBDelka = combo("CBDelka", QRect(118, 308, 96, 20));
    label(QStringLiteral("dél&ka:"), QRect(80, 308, 36, 20), CBDelka);
    SEDelka = spin("SEDelka", QRect(218, 308, 56, 20), 0, 10000, 0);
    DTPDelka = date("DTPDelka", QRect(218, 308, 88, 20));
    MEDelka2 = time("MEDelka2", QRect(308, 308, 42, 20));
    AMEDelka = display("AMEDelka", QRect(278, 310, 150, 17));

    CBPred = combo("CBPred", QRect(140, 334, 126, 20));
    Label2 = label(QStringLiteral("připomenout:"), QRect(52, 334, 86, 20), CBPred);
    Label2->setObjectName(QStringLiteral("Label2"));
    EPredKolik = spin("EPredKolik", QRect(270, 334, 56, 20), 1, 10000, 1);
    DTDP = date("DTDP", QRect(270, 334, 88, 20));
    MEDP = time("MEDP", QRect(360, 334, 42, 20));
    ECasPred = display("ECasPred", QRect(330, 336, 150, 17));

    CBProsle = combo("CBProsle", QRect(160, 358, 160, 20));
    Label4 = label(QStringLiteral("prošlé připomenutí:"), QRect(38, 358, 120, 20), CBProsle);
    Label4->setObjectName(QStringLiteral("Label4"));
    EProsleKolik = spin("EProsleKolik", QRect(324, 358, 56, 20), 1, 10000, 1);
    ECasProsle = display("ECasProsle", QRect(384, 360, 150, 17));

    BOK = make(new QPushButton(QStringLiteral("OK"), this), "BOK", QRect(196, 392, 96, 28));
    BOK->setIcon(ListWindowPicture(QStringLiteral("BOK")));
    BOK->setToolTip(QStringLiteral("nastaví zadané další nebo opětovné připomenutí"));
    BOK->setStatusTip(BOK->toolTip());
    BCancel = make(new QPushButton(QStringLiteral("&Vymazat"), this), "BCancel", QRect(300, 392, 96, 28));
    BCancel->setIcon(ListWindowPicture(QStringLiteral("BODSTRAN")));
    BCancel->setToolTip(QStringLiteral("vymazání připomenutí"));
    BCancel->setStatusTip(BCancel->toolTip());
    BHelp = make(new QPushButton(QStringLiteral("?"), this), "BHelp", QRect(404, 392, 28, 28));
    // Enter presses the button that has the focus, elsewhere BOK.
    for (QPushButton* b : { BOK, BCancel, BHelp })
        b->setAutoDefault(true);

    PMNadpis = new QMenu(this);
    PMNadpis->setObjectName(QStringLiteral("PMNadpis"));
    QAction* nadpis = PMNadpis->addAction(QStringLiteral("změna nadpisu ..."));
    nadpis->setObjectName(QStringLiteral("MFNPE"));
    connect(nadpis, &QAction::triggered, this, [this] { RunGuarded([this] { MFNPEClick(); }); });

    PMenuMemo = CreateMemoMenu(MPopis, this, [this] { return SettingsFile(); });
    LimitMemoToPieces(MPopis, 2);

    // Further mode until the user switches.
    for (QWidget* w : std::initializer_list<QWidget*> { DTZnovu, ECasZnovu, CBPred, EPredKolik, DTDP, MEDP, ECasPred,
             Label2, Label4, CBProsle, EProsleKolik, ECasProsle, DTPDelka, MEDelka2 })
        w->hide();

    // Handlers of the user's changes; the program's own changes are quiet.
    const auto user = [this](void (TFPrip::*handler)()) {
        return [this, handler] {
            if (m_quiet == 0)
                RunGuarded([this, handler] { (this->*handler)(); });
        };
    };
    connect(BOK, &QPushButton::clicked, this, user(&TFPrip::BOKClick));
    connect(BCancel, &QPushButton::clicked, this, user(&TFPrip::BCancelClick));
    connect(BHelp, &QPushButton::clicked, this, user(&TFPrip::BHelpClick));
    connect(ChBVych, &QCheckBox::toggled, this, user(&TFPrip::ChBVychClick));
    connect(CBZnovu, &QComboBox::currentIndexChanged, this, user(&TFPrip::CBZnovuChange));
    connect(CBPred, &QComboBox::currentIndexChanged, this, user(&TFPrip::CBPredChange));
    connect(CBProsle, &QComboBox::currentIndexChanged, this, user(&TFPrip::CBProsleChange));
    connect(CBDelka, &QComboBox::currentIndexChanged, this, user(&TFPrip::LengthEdited));
    connect(CBDelka, &QComboBox::currentIndexChanged, this, user(&TFPrip::CBDelkaChange));
    OnExit(CBZnovu, [this] { CBZnovuChange(); });
    OnExit(CBPred, [this] { CBPredChange(); });
    OnExit(CBProsle, [this] { CBProsleChange(); });
    OnExit(CBDelka, [this] { CBDelkaChange(); });
    OnExit(ECasZnovu, [this] { ECasZnovuExit(); });
    OnExit(MEDelka2, [this] { MEDelka2Exit(); });

    connect(EZnovuKolik, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowNextTime));
    connect(EZnovuKolik, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowWarning));
    connect(EZnovuKolik, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowEnd));
    connect(EPredKolik, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowWarning));
    connect(EProsleKolik, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowWarning));
    connect(SEDelka, &TKitSpinEdit::OnChange, this, user(&TFPrip::LengthEdited));
    connect(SEDelka, &TKitSpinEdit::OnChange, this, user(&TFPrip::ShowEnd));
    connect(DTPDelka, &QDateEdit::dateChanged, this, user(&TFPrip::LengthEdited));
    connect(DTPDelka, &QDateEdit::dateChanged, this, user(&TFPrip::ShowEnd));
    connect(MEDelka2, &QLineEdit::textEdited, this, user(&TFPrip::LengthEdited));
    connect(DTZnovu, &QDateEdit::dateChanged, this, user(&TFPrip::ShowEnd));
    connect(DTZnovu, &QDateEdit::dateChanged, this, user(&TFPrip::ShowWarning));

    QWidget* const tabOrder[] = { BOK, BCancel, MPopis, ChBVych, CBZnovu, EZnovuKolik, DTZnovu, ECasZnovu, CBDelka,
        SEDelka, DTPDelka, MEDelka2, CBPred, EPredKolik, DTDP, MEDP, CBProsle, EProsleKolik, CBPrenos, BHelp };
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    BOK->setFocus();
}

void TFPrip::FormCreate()
{
    TFZaklad* main = FZaklad();
    const IniSnapshot settings(SettingsFile());
    RestoreFormPlacement(this, settings, Section, ClientWidth, ClientHeight);
    main->WindowOpened();
    const int cascade = main->NextPopupCascade();
    move(x() + 10 * cascade, y() + 10 * cascade);
    // After the cascade, so that many pop-ups in one run do not leave the screen.
    KeepFormOnScreen(this);
    LoadMemoLook(MPopis, settings);

    // Without a taskbar button of its own the pop-up stands with the hidden
    // main form, as the program's one button; the window manager decides.
    if (!ReadShowIconForm(settings)) {
        main->winId();
        winId();
        windowHandle()->setTransientParent(main->windowHandle());
    }
}

QString TFPrip::DataPath() const
{
    return FZaklad()->ReminderDataPath();
}

QString TFPrip::SettingsFile() const
{
    return FZaklad()->SettingsFile();
}

void TFPrip::setVisible(bool visible)
{
    const bool first = visible && !m_shown;
    if (first) {
        m_shown = true;
        // A file that cannot be read shows its error and no window: the
        // pop-up must not stay counted without one.
        bool loaded = false;
        RunGuarded([&] { loaded = FormShow(); });
        if (!loaded) {
            close();
            return;
        }
    }
    QWidget::setVisible(visible);
    if (first) {
        // The first tick once the record is loaded, then one per minute.
        m_timer->start(100);
        // The window paints before the sounds hold the program up.
        QTimer::singleShot(0, this, [this] { ZvukAkce(); });
    }
}

bool TFPrip::FormShow()
{
    // A position past the end reads as the last record: the record is gone.
    int n = m_recordNumber;
    ReminderRecord r;
    if (n < 1 || !ReadReminder(n, DataPath(), r) || n != m_recordNumber)
        return false;
    m_created = r.Created;

    Quiet quiet(m_quiet);
    // An event date that does not read (another machine's format) stands at
    // the pop-up time, or now.
    m_eventStart
        = StoredDateTime(r.EventDate, r.EventTime).value_or(StoredDateTime(r.RemindDate, r.RemindTime).value_or(Now()));
    setWindowTitle((QStringLiteral("Připomenutí - ") + r.Title).left(34));
    for (TALabel* heading : { Nadpis1, Nadpis2, Nadpis3 })
        heading->SetCaption(r.Title);
    PlaceHeadings();

    MPopis->setPlainText(JoinMemoPieces({ r.Description1, r.Description2 }));
    MPopis->moveCursor(QTextCursor::Start);
    MPopis->document()->setModified(false);

    const QString sounds[] = { r.Sound1, r.Sound2, r.Sound3 };
    for (int i = 0; i < 3; ++i)
        m_sounds[i] = ExpandDataPath(sounds[i], FZaklad()->ProgramDirectory());

    ECislo->setText(QString::number(r.ID));
    EDatum->setText(WeekdayDateTimeText(m_eventStart));

    int32_t nextKind = nkMinutes;
    FillNextKindCombo(CBZnovu, nextKind, true);
    setTag(CBZnovu, nkMinutes);

    setTag(CBPred, r.AdvanceKind);
    if (r.AdvanceKind == akAbsolute)
        SetDateAndTime(DTDP, MEDP, r.AdvanceAmount);
    else
        EPredKolik->SetValue(std::trunc(r.AdvanceAmount));
    FillAdvanceKindCombo(CBPred, r.AdvanceKind);
    CBPredChange();

    EProsleKolik->SetValue(r.OverdueAmount);
    FillOverdueActionCombo(CBProsle, r.OverdueAction);
    CBProsleChange();
    EProsleKolik->hide();

    const QString end = EventEndText(r.EventDate, r.EventTime, r.Length) + u' ' + DurationText(r.Length);
    MEDelka->setText(end == QStringLiteral(" ") ? end : QStringLiteral("do: ") + end);

    m_loadedLength = r.Length;
    const int32_t lengthKind = LoadedLengthKind(r.LengthKind);
    FillLengthKindCombo(CBDelka, lengthKind);
    setTag(CBDelka, lengthKind);
    if (lengthKind == lkEndDateTime)
        SetDateAndTime(DTPDelka, MEDelka2, m_eventStart + r.Length);
    else
        SEDelka->SetValue(LengthAmount(lengthKind, r.Length));
    CBDelkaChange();

    CBPrenos->setChecked(r.Transferable);
    ShowNextTime();

    m_loadedNextKind = LoadedNextKind(r.NextKind);
    m_loadedNextAmount = LoadedNextAmount(r.NextAmount);
    return true;
}

void TFPrip::PlaceHeadings()
{
    const auto centre = [](TALabel* label, const QPoint& at) { label->move(at - label->rect().center()); };
    centre(Nadpis1, HeadingCentre(true));
    centre(Nadpis2, HeadingCentre(false));
    centre(Nadpis3, QPoint(ClientWidth / 2, 58));
}

void TFPrip::SetRecordNumber(int number)
{
    m_recordNumber = number;
    // Renumbering makes the ID the position.
    if (m_shown)
        ECislo->setText(QString::number(number));
}

void TFPrip::ZvukAkce()
{
    QCoreApplication::processEvents();
    // The sound service skips what is missing, bounded: a file on a share
    // that does not answer does not hold the pop-up.
    for (const QString& sound : m_sounds)
        SoundService::play(LocalPath(sound));
}

bool TFPrip::RepeatMode() const
{
    return ChBVych->isChecked();
}

double TFPrip::AbsoluteTime(const QDateEdit* date, QLineEdit* time, double& lastValid) const
{
    if (const auto t = TimeEditValue(time))
        lastValid = *t;
    return ComposeDateTime(QDateToDateTime(date->date()), lastValid);
}

NextTimeSetting TFPrip::NextTime() const
{
    NextTimeSetting s;
    s.Kind = tag(CBZnovu);
    s.Amount = EZnovuKolik->ValueAsInteger();
    s.RepeatMode = RepeatMode();
    s.EventStart = m_eventStart;
    if (s.Kind == nkAbsolute)
        s.Absolute = AbsoluteTime(DTZnovu, ECasZnovu, m_lastZnovuTime);
    return s;
}

double TFPrip::DejNewCas() const
{
    return ::DejNewCas(NextTime(), Now());
}

// What an end and a length count from: the moved event in repeat mode.
double TFPrip::EndReference() const
{
    return RepeatMode() ? DejNewCas() : m_eventStart;
}

double TFPrip::DejDelku() const
{
    LengthSetting s;
    s.Kind = tag(CBDelka);
    s.Amount = SEDelka->ValueAsInteger();
    if (s.Kind == lkEndDateTime)
        s.AbsoluteEnd = AbsoluteTime(DTPDelka, MEDelka2, m_lastDelkaTime);
    return ::DejDelku(s, EndReference());
}

void TFPrip::SetDateAndTime(QDateEdit* date, QLineEdit* time, double dt)
{
    Quiet quiet(m_quiet);
    date->setDate(DateTimeToQDate(dt));
    time->setText(MinutesToTimeText(MinuteOfDay(dt)));
}

void TFPrip::ShowNextTime()
{
    EDalsi->setText(WeekdayDateTimeText(DejNewCas()));
}

void TFPrip::ShowWarning()
{
    if (!RepeatMode())
        return;
    const double next = DejNewCas();
    ECasPred->setText(WeekdayDateTimeText(WarnTimeBefore(tag(CBPred), EPredKolik->ValueAsInteger(), next)));
    const double deadline = AddUnits(tag(CBProsle), EProsleKolik->ValueAsInteger(), next);
    ECasProsle->setText(deadline == 0 ? QString() : WeekdayDateTimeText(deadline));
}

void TFPrip::ShowEnd()
{
    const int kind = tag(CBDelka);
    if (kind < lkMinutes || kind > lkDays)
        return;
    const double end = EndReference() + DejDelku();
    SetDateAndTime(DTPDelka, MEDelka2, end);
    AMEDelka->setText(WeekdayDateTimeText(end));
}

void TFPrip::TDatumTimer()
{
    m_timer->stop();
    // Re-armed whatever happens: a stopped timer would freeze the clock field
    // and the frame colour for good.
    const auto rearm = qScopeGuard([this] { m_timer->start(MinuteTickInterval(Now())); });
    RunGuarded([this] {
        const double now = Now();
        EAktDatum->setText(NormalizeDateTimeText(DateToStr(now) + u' ' + PadHourText(TimeToStr(now).left(5))));
        ShowNextTime();
        ShowWarning();
        const TColor frame = FrameColor(now, m_eventStart, m_captionRegion->ActiveColor());
        if (frame != m_captionRegion->ActiveColor()) {
            m_captionRegion->SetActiveColor(frame);
            m_captionRegion->SetInactiveColor(frame);
        }
    });
}

void TFPrip::ApplyModeVisibility()
{
    const bool repeat = RepeatMode();
    Nadpis3->setVisible(!repeat);
    for (QWidget* w : std::initializer_list<QWidget*> { Label4, Label2, CBProsle, EProsleKolik, CBPred, ECasProsle })
        w->setVisible(repeat);
}

void TFPrip::ChBVychClick()
{
    Quiet quiet(m_quiet);
    const bool repeat = RepeatMode();
    int32_t kind = tag(CBZnovu);
    if (repeat) {
        Label5->setText(QStringLiteral("další připomenutí:"));
        kind = m_loadedNextKind;
        if (kind >= nkMinutes && kind <= nkDays)
            EZnovuKolik->SetValue(std::trunc(m_loadedNextAmount));
        else
            SetDateAndTime(DTZnovu, ECasZnovu, m_eventStart + m_loadedNextAmount);
    } else {
        Label5->setText(QStringLiteral("opět připomenout:"));
    }

    ApplyModeVisibility();
    if (repeat)
        CBProsleChange();

    FillNextKindCombo(CBZnovu, kind, !repeat);
    CBZnovuChange();
    CBPredChange();
    setTag(CBZnovu, kind);

    ShowNextTime();
    ShowWarning();
    ShowEnd();
}

void TFPrip::CBZnovuChange()
{
    int index = 0;
    if (!ComboTextIndex(CBZnovu, index))
        return;
    Quiet quiet(m_quiet);
    setTag(CBZnovu, index);
    const bool absolute = index == nkAbsolute;
    if (absolute && DTZnovu->isHidden() && AbsoluteTime(DTZnovu, ECasZnovu, m_lastZnovuTime) < Now())
        SetDateAndTime(DTZnovu, ECasZnovu, Now());
    DTZnovu->setVisible(absolute);
    ECasZnovu->setVisible(absolute);
    EDalsi->setVisible(!absolute);
    EZnovuKolik->setVisible(!absolute);
    ShowNextTime();
    ShowWarning();
    ShowEnd();
}

void TFPrip::CBPredChange()
{
    int index = 0;
    if (!ComboTextIndex(CBPred, index))
        return;
    Quiet quiet(m_quiet);
    setTag(CBPred, index);
    const bool repeat = RepeatMode();
    const bool absolute = index == akAbsolute;
    DTDP->setVisible(repeat && absolute);
    MEDP->setVisible(repeat && absolute);
    EPredKolik->setVisible(repeat && !absolute);
    ECasPred->setVisible(repeat && !absolute);
    const double now = Now();
    if (absolute && AbsoluteTime(DTDP, MEDP, m_lastPredTime) < now)
        SetDateAndTime(DTDP, MEDP, now + OneMinute);
    ShowWarning();
}

void TFPrip::CBProsleChange()
{
    int index = 0;
    if (!ComboTextIndex(CBProsle, index))
        return;
    setTag(CBProsle, index);
    EProsleKolik->setVisible(RepeatMode() && index != oaNothing && index != oaAsSoonAsPossible);
    ShowWarning();
}

void TFPrip::CBDelkaChange()
{
    int index = 0;
    if (!ComboTextIndex(CBDelka, index))
        return;
    setTag(CBDelka, index);
    const bool absolute = index == lkEndDateTime;
    DTPDelka->setVisible(absolute);
    MEDelka2->setVisible(absolute);
    SEDelka->setVisible(!absolute);
    AMEDelka->setVisible(!absolute);
    ShowEnd();
}

void TFPrip::LengthEdited()
{
    m_lengthTouched = true;
}

void TFPrip::ECasZnovuExit()
{
    if (TimeEditInvalid(ECasZnovu))
        return;
    ShowEnd();
    ShowWarning();
}

void TFPrip::MEDelka2Exit()
{
    if (TimeEditInvalid(MEDelka2))
        return;
    ShowEnd();
}

bool TFPrip::ReadOwn(ReminderRecord& record) const
{
    const QString path = DataPath();
    int n = m_recordNumber;
    if (n < 1 || n > ReminderCount(path))
        return false;
    ReadReminder(n, path, record);
    return n == m_recordNumber && record.Created == m_created && (!record.Erased || ErasedByOverdueRule(record, Now()));
}

bool TFPrip::ReadOwnReminder(ReminderRecord& record)
{
    if (ReadOwn(record))
        return true;
    ReportGone();
    return false;
}

bool TFPrip::WriteOwnReminder(const ReminderRecord& seen, const ReminderRecord& changed)
{
    bool own;
    bool same;
    {
        const DataFileLock lock(DataPath());
        ReminderRecord now;
        own = ReadOwn(now);
        same = own && SameReminder(now, seen);
        if (same)
            WriteReminder(m_recordNumber, DataPath(), changed);
    }
    if (same)
        return true;
    if (own)
        MessageDlgBeep(QStringLiteral("Připomenutí mezitím změnil jiný program\rzkontroluj údaje a potvrď znovu"),
            MsgDlgType::Warning, MsgBtn::OK, 0);
    else
        ReportGone();
    return false;
}

void TFPrip::ReportGone()
{
    MessageDlgBeep(QStringLiteral("Připomenutí již není v seznamu (bylo mezitím vymazáno nebo přesunuto)\r"
                                  "okno se zavře bez uložení změn"),
        MsgDlgType::Warning, MsgBtn::OK, 0);
    close();
}

void TFPrip::Stop(PripMessage message, const QString& remindDate, const QString& remindTime)
{
    MessageDlgBeep(
        PripMessageText(message, RepeatMode(), remindDate, remindTime), PripMessageType(message), MsgBtn::OK, 0);
}

void TFPrip::BOKClick()
{
    // A half-typed time is not confirmed with the last valid one in its place.
    const bool repeat = RepeatMode();
    if ((tag(CBZnovu) == nkAbsolute && TimeEditInvalid(ECasZnovu))
        || (tag(CBDelka) == lkEndDateTime && TimeEditInvalid(MEDelka2))
        || (repeat && tag(CBPred) == akAbsolute && TimeEditInvalid(MEDP)))
        return;
    ReminderRecord seen;
    if (!ReadOwnReminder(seen))
        return;
    ReminderRecord r = seen;
    const double now = Now();
    const double next = DejNewCas();

    r.OverdueAmount = EProsleKolik->ValueAsInteger();
    r.OverdueAction = tag(CBProsle);

    ConfirmSetting check;
    check.RepeatMode = repeat;
    check.NewTime = next;
    check.StoredEventStart = StoredDateTime(r.EventDate, r.EventTime).value_or(m_eventStart);
    check.Lapsed = r.Erased;
    if (repeat) {
        r.AdvanceKind = tag(CBPred);
        r.AdvanceAmount
            = r.AdvanceKind == akAbsolute ? AbsoluteTime(DTDP, MEDP, m_lastPredTime) : EPredKolik->ValueAsInteger();
        check.AdvanceKind = r.AdvanceKind;
        check.AdvanceAmount = r.AdvanceAmount;
    }

    r.Transferable = CBPrenos->isChecked();
    r.RemindDate = RemindDateText(next);
    r.RemindTime = RemindTimeText(next);

    switch (const PripMessage fault = ConfirmCheck(check, now)) {
    case pmAccepted:
        break;
    case pmWarnAfterNew:
        SetDateAndTime(DTDP, MEDP, next);
        Stop(fault);
        return;
    case pmWarnPassed:
        SetDateAndTime(DTDP, MEDP, now + OneMinute);
        Stop(fault);
        return;
    default:
        Stop(fault, r.RemindDate, r.RemindTime);
        return;
    }
    if (repeat) {
        r.EventDate = r.RemindDate;
        r.EventTime = r.RemindTime;
        // The user's new event outweighs the lapse of the old one.
        r.Erased = false;
        if (CheckCollisions(m_recordNumber, DataPath(), next, m_loadedLength) != mrYes)
            return;
    }

    if (MPopis->document()->isModified()) {
        r.Description1 = MemoPiece(1, MPopis);
        r.Description2 = MemoPiece(2, MPopis);
    }
    if (m_headingChanged)
        r.Title = Nadpis1->Caption().left(20);

    r.Version = DataVersion;
    r.LengthKind = tag(CBDelka);
    // A length the user left alone stays as stored, to the second.
    const double length = m_lengthTouched ? DejDelku() : m_loadedLength;
    if (length < 0) {
        Stop(pmNegativeLength);
        return;
    }
    r.Length = length;
    if (repeat) {
        r.NextKind = tag(CBZnovu);
        r.NextAmount
            = r.NextKind >= nkMinutes && r.NextKind <= nkDays ? EZnovuKolik->ValueAsInteger() : next - m_eventStart;
    } else {
        r.NextKind = m_loadedNextKind;
        r.NextAmount = m_loadedNextAmount;
    }
    r.LastChange = Now();
    if (!WriteOwnReminder(seen, r))
        return;
    NotifyTray(tnPopupConfirmed);
    if (repeat)
        PostRefreshOverview();
    close();
}

void TFPrip::BCancelClick()
{
    if (MessageDlgBeep(
            QStringLiteral("Opravdu připomenutí vymazat?"), MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
        != mrYes)
        return;
    ReminderRecord seen;
    if (!ReadOwnReminder(seen))
        return;
    ReminderRecord r = seen;
    r.Erased = true;
    r.LastChange = Now();
    if (!WriteOwnReminder(seen, r))
        return;
    PostRefreshOverview();
    close();
}

void TFPrip::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        FormClose();
}

void TFPrip::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    MarkFormClosed(this);
    m_timer->stop();
    TFZaklad* main = FZaklad();
    SaveFormPlacement(this, main->SettingsFileName(), Section);
    main->WindowClosed();
}

void TFPrip::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && BOK->isEnabled()) {
        BOK->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFPrip::MFNPEClick()
{
    TFNPE editor(this);
    CenterOnControl(&editor, this);
    Dialogs::execModal(&editor);
}

QString TFPrip::Heading() const
{
    return Nadpis1->Caption();
}

void TFPrip::SetHeading(const QString& heading)
{
    for (TALabel* label : { Nadpis1, Nadpis2, Nadpis3 })
        label->SetCaption(heading);
    PlaceHeadings();
    m_headingChanged = true;
}

void TFPrip::BHelpClick()
{
    m_helpMode->Enter();
}
