#include "f_skryto.h"

#include "autoexchange.h"
#include "clockannounce.h"
#include "components/kitdrawing.h"
#include "duereminders.h"
#include "kitmenus.h"
#include "picclip.h"
#include "tickinterval.h"
#include "trayresources.h"

#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/filereplace.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/programstarter.h"
#include "platform/screensaver.h"
#include "platform/soundservice.h"
#include "platform/tag.h"
#include "platform/useraction.h"
#include "platform/walltimer.h"
#include "shared/commands.h"
#include "shared/datafilelock.h"
#include "shared/formplacement.h"
#include "shared/reminderfile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPainter>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace {

const QString Nastav = QStringLiteral("Nastav");
const QString Klaves = QStringLiteral("Klaves");

constexpr int StartInterval = 10000;
constexpr int SoonInterval = 1000;
// A pass over the reminders lets codes, menu commands and the other timer in
// between two records, but asks the event loop only this often (ms): asking
// at every record cost more than the records.
constexpr int EventPumpInterval = 2;
// A pause for the reminders program's work ends by itself after this long
// when that program's 5 does not come.
constexpr int ResumeWaitInterval = 5 * 60 * 1000;
// The clock wakes at least hourly.
constexpr int MaxClockInterval = 3600000;
constexpr int HotKeyCount = 6;
// The screen-saver item's Tag while the tray resident has switched the saver off.
constexpr int SaverOffTag = 15;
constexpr int SaverOnTag = 14;
constexpr int PausedTag = 4;
constexpr int RunningTag = 3;

// [Nastav] "animtray" as last read; resuming animates the icon again by it.
bool animateIcon = true;

// A TTimer's Interval: a running timer starts again with a new interval, a
// stopped one stays stopped, the same value changes nothing.
void setTimerInterval(QTimer& timer, int ms)
{
    if (timer.interval() == ms)
        return;
    if (timer.isActive())
        WallTimer::Arm(timer, ms);
    else
        timer.setInterval(ms);
}

// A TTimer's Enabled := true.
void enableTimer(QTimer& timer)
{
    if (!timer.isActive())
        WallTimer::Arm(timer, timer.interval());
}

QString soundFailureKey(int position, const ReminderRecord& record)
{
    return QStringLiteral("%1|%2|%3|%4").arg(position).arg(record.ID).arg(record.EventDate, record.EventTime);
}

} // namespace

bool PostReminderCommand(int32_t code, uint32_t userTime)
{
    return PostOrStart(ReminderAppTitle, ReminderProgramName, code, 0, ProgramStartWaitMs, userTime);
}

void PostContactCommand(int32_t code, uint32_t userTime)
{
    PostOrStart(ContactAppTitle, ContactProgramName, code, 0, ProgramStartWaitMs, userTime);
}

void PostRecordChanged(int32_t code)
{
    CommandChannel::post(ReminderAppTitle, code);
}

TFSkryt::TFSkryt(QWidget* parent)
    : QWidget(parent)
    , TrayIcon(new TKitTrayIcon(this))
    , Menu(new TKitPopupMenu(this))
    , Clip(new TPicClip(this))
{
    setObjectName(QStringLiteral("FSkryt"));
    setWindowTitle(TrayAppTitle);
    resize(200, 100);

    Clip->setObjectName(QStringLiteral("Clip"));
    Clip->SetPicture(TrayMenuPictures());
    Clip->SetCols(TrayMenuPictureCells);

    Menu->setObjectName(QStringLiteral("Menu"));
    Menu->SetStyle(msOwnerDraw);
    Menu->SetLeftMargin(35);
    MKonec = addItem("MKonec", 7, QStringLiteral("&Konec"), &TFSkryt::MKonecClick);
    MN6 = addItem("MN6", 0, QStringLiteral("-"), nullptr);
    MSMSpustit = addItem("MSMSpustit", 16, QStringLiteral("Spořič - spustit"), &TFSkryt::MSMSpustitClick);
    MSMSPovZak = addItem("MSMSPovZak", SaverOnTag, QStringLiteral("Spořič - zakázat"), &TFSkryt::MSMSPovZakClick);
    MN2 = addItem("MN2", 0, QStringLiteral("-"), nullptr);
    MOptions = addItem("MOptions", 5, QStringLiteral("&Nastavení"), &TFSkryt::MOptionsClick);
    MPoz = addItem("MPoz", RunningTag, QStringLiteral("Pozastavi&t"), &TFSkryt::MPozClick);
    MN5 = addItem("MN5", 0, QStringLiteral("-"), nullptr);
    MKalendar = addItem("MKalendar", 13, QStringLiteral("Kalen&dář"), &TFSkryt::MKalendarClick);
    MAktCas = addItem("MAktCas", 8, QStringLiteral("&Aktuální čas"), &TFSkryt::MAktCasClick);
    MN3 = addItem("MN3", 0, QStringLiteral("-"), nullptr);
    MImport = addItem("MImport", 10, QStringLiteral("&Import"), &TFSkryt::MImportClick);
    MImport->setStatusTip(QStringLiteral("Import připomenutí a kontaktů"));
    MExport = addItem("MExport", 9, QStringLiteral("&Export"), &TFSkryt::MExportClick);
    MExport->setStatusTip(QStringLiteral("Export připomenutí a kontaktů"));
    MN4 = addItem("MN4", 0, QStringLiteral("-"), nullptr);
    MPrehledK = addItem("MPrehledK", 12, QStringLiteral("Pře&hled kontaktů"), &TFSkryt::MPrehledKClick);
    MNewK = addItem("MNewK", 11, QStringLiteral("Nový &kontakt"), &TFSkryt::MNewKClick);
    MN1 = addItem("MN1", 0, QStringLiteral("-"), nullptr);
    MPrehled = addItem("MPrehled", 2, QStringLiteral("&Přehled připomenutí"), &TFSkryt::MPrehledClick);
    MNew = addItem("MNew", 1, QStringLiteral("&Nové připomenutí"), &TFSkryt::MNewClick);
    Menu->setDefaultAction(MPrehled);
    Menu->OnPopup = [this](TKitPopupMenu*) { MenuPopup(); };
    Menu->OnGetItemParams = [this](TKitPopupMenu*, QAction* item, TOwnerDrawState, TMenuItemParams& params) {
        MenuGetItemParams(item, params);
    };
    Menu->OnDrawMargin = [this](TKitPopupMenu*, QPainter& canvas, const QRect& rect) { MenuDrawMargin(canvas, rect); };

    LoadTrayAnimation(TrayIcon->Icons());
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->SetInterval(200);
    TrayIcon->SetPopupMenu(Menu);
    TrayIcon->OnClick = [this](TKitTrayIcon* sender, Qt::MouseButton button, TShiftState shift, int x, int y) {
        TrayIconClick(sender, button, shift, x, y);
    };
    TrayIcon->SetHint(QStringLiteral("Korvel-Selvantrix"));
    TrayIcon->SetIcon(TrayIconResource(QStringLiteral("IOK")));

    const struct {
        QTimer* timer;
        const char* name;
        void (TFSkryt::*onTimer)();
    } timers[] = {
        { &TPrip, "TPrip", &TFSkryt::TPripTimer },
        { &TPripZvuk, "TPripZvuk", &TFSkryt::TPripZvukTimer },
        { &THodiny, "THodiny", &TFSkryt::THodinyTimer },
    };
    for (const auto& t : timers) {
        t.timer->setObjectName(QLatin1String(t.name));
        connect(t.timer, &QTimer::timeout, this, t.onTimer);
        WallTimer::Arm(*t.timer, StartInterval);
    }

    TAkceKonec.setObjectName(QStringLiteral("TAkceKonec"));
    TAkceKonec.setInterval(100);
    connect(&TAkceKonec, &QTimer::timeout, this, &TFSkryt::TAkceKonecTimer);
    TKonecLimit.setObjectName(QStringLiteral("TKonecLimit"));
    TKonecLimit.setInterval(20000);
    TKonecLimit.setSingleShot(true);
    connect(&TKonecLimit, &QTimer::timeout, this, &TFSkryt::TKonecLimitTimer);
    TPauzaLimit.setObjectName(QStringLiteral("TPauzaLimit"));
    TPauzaLimit.setInterval(ResumeWaitInterval);
    TPauzaLimit.setSingleShot(true);
    connect(&TPauzaLimit, &QTimer::timeout, this, &TFSkryt::TPauzaLimitTimer);

    connect(&m_hotKeys, &HotKeys::hotKey, this, &TFSkryt::HandleHotKey);
    connect(&m_timeChange, &TimeChange::timeChanged, this, &TFSkryt::HandleTimeChange);
    m_sessionEnd.setHandler([this](const SessionEndRequest& request) { return HandleQueryEndSession(request); });

    FormCreate();
}

TFSkryt::~TFSkryt()
{
    CommandChannel::own().setHook(nullptr);
}

QAction* TFSkryt::addItem(const char* name, int tagValue, const QString& caption, void (TFSkryt::*onClick)())
{
    auto* item = new QAction(caption, Menu);
    item->setObjectName(QLatin1String(name));
    setTag(item, tagValue);
    if (onClick)
        connect(item, &QAction::triggered, this, onClick);
    Menu->addAction(item);
    return item;
}

QString TFSkryt::settingsPath() const
{
    return programDirectory + u'/' + settingsFileName;
}

void TFSkryt::FormCreate()
{
    lastAnnouncedMinute = -1;
    closingByRequest = false;
    programDirectory = ProgramDir();
    settingsFileName = QStringLiteral("korvel.ini");
    paused = 0;
    NactiIni(settingsPath());
    // What a killed program left half written beside the files it replaces.
    RemoveStaleReplacement(reminderDataPath);
    RemoveStaleReplacement(settingsPath());
    CommandChannel::own().setHook([this](int32_t code, int32_t arg) { HandleAppMessage(code, arg); });
    if (autoExchange && AutoExpImpDue(programDirectory + QStringLiteral("/korvel.ini"))) {
        // The reminder timers must not read the file while the import replaces
        // it; the reminders program's code 5 resumes.
        PauseForRemindersProgram();
        PostReminderCommand(rcAutoImport);
    }
    RegKlavesZkr();
}

void TFSkryt::NactiIni(const QString& path)
{
    const IniFile ini(path);
    reminderDataPath = LocalPath(
        ini.readString(Nastav, QStringLiteral("adrdatabaze"), programDirectory) + QStringLiteral("\\korvel.da1"));
    repeatMinutes = ini.readInteger(Nastav, QStringLiteral("pripopak"), 1);
    autoExchange = ini.readBool(Nastav, QStringLiteral("autoexpimp"), false);
    animateIcon = ini.readBool(Nastav, QStringLiteral("animtray"), true);
    TrayIcon->SetAnimated(animateIcon);
}

void TFSkryt::Pozastavit(bool pause)
{
    if (pause) {
        for (QTimer* timer : { &TPrip, &TPripZvuk, &THodiny })
            timer->stop();
        TrayIcon->SetIcon(TrayIconResource(QStringLiteral("ISTOP")));
        TrayIcon->SetAnimated(false);
        paused = 1;
    } else {
        for (QTimer* timer : { &TPrip, &TPripZvuk, &THodiny }) {
            setTimerInterval(*timer, StartInterval);
            enableTimer(*timer);
        }
        TrayIcon->SetIcon(TrayIconResource(QStringLiteral("IOK")));
        TrayIcon->SetAnimated(animateIcon);
        paused = 0;
        TPauzaLimit.stop();
    }
}

void TFSkryt::PauseForRemindersProgram()
{
    Pozastavit(true);
    TPauzaLimit.start();
}

void TFSkryt::TPauzaLimitTimer()
{
    TPauzaLimit.stop();
    Pozastavit(false);
}

// A running timer looks again within a second. A reminder tick in progress
// has stopped its timer; it remembers the request and keeps it at its end.
void TFSkryt::shortenTimer(QTimer& timer, Tick* tick)
{
    setTimerInterval(timer, SoonInterval);
    if (tick && tick->running)
        tick->recheck = true;
}

void TFSkryt::HandleAppMessage(int32_t code, int32_t)
{
    switch (code) {
    case tnRemindersChanged:
        shortenTimer(TPrip, &m_prip);
        shortenTimer(TPripZvuk, &m_pripZvuk);
        break;
    case tnPopupConfirmed:
        shortenTimer(TPrip, &m_prip);
        break;
    case tnClockChanged:
        shortenTimer(THodiny, nullptr);
        break;
    case tnPause:
        PauseForRemindersProgram();
        break;
    case tnResume:
        Pozastavit(false);
        break;
    case tnReloadSettings:
        NactiIni(settingsPath());
        OdregKlavesZkr();
        RegKlavesZkr();
        break;
    case tnClose:
        closingByRequest = true;
        // The export's own 7 (or its 8) says that it has run.
        if (std::exchange(m_exportWindowPending, false))
            break;
        close();
        break;
    case tnPauseAndClose:
        Pozastavit(true);
        close();
        break;
    default:
        break;
    }
}

void TFSkryt::HandleTimeChange()
{
    lastAnnouncedMinute = -1;
    shortenTimer(TPrip, &m_prip);
    shortenTimer(TPripZvuk, &m_pripZvuk);
    shortenTimer(THodiny, nullptr);
}

bool TFSkryt::HandleQueryEndSession(const SessionEndRequest& request)
{
    if (!autoExchange || closingByRequest) {
        // The session manager ends the program itself once the session ends.
        if (request.fromSignal)
            close();
        return true;
    }
    if (!request.fromSignal && request.mayRefuse()) {
        TAkceKonec.start();
        return false;
    }
    // Nothing stops this end: the export runs now, and the program waits
    // for it, bounded.
    closingByRequest = true;
    Pozastavit(true);
    m_exportWindowPending = true;
    if (!PostReminderCommand(rcAutoExport)) {
        close();
        return true;
    }
    TKonecLimit.start();
    if (!request.fromSignal && !m_closing) {
        // The session manager goes on once this returns.
        QEventLoop wait;
        connect(this, &TFSkryt::formClosed, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return true;
}

void TFSkryt::TAkceKonecTimer()
{
    closingByRequest = true;
    TAkceKonec.stop();
    // The reminder timers must not read the file while it is exported; the
    // reminders program closes this program once its export window is open.
    Pozastavit(true);
    PostReminderCommand(rcAutoExport);
}

void TFSkryt::TKonecLimitTimer()
{
    TKonecLimit.stop();
    close();
}

void TFSkryt::TrayIconClick(TKitTrayIcon*, Qt::MouseButton button, TShiftState, int, int)
{
    if (button == Qt::LeftButton)
        Pozastavit(paused == 0);
}

void TFSkryt::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TFSkryt::FormClose()
{
    OdregKlavesZkr();
    if (tag(MSMSPovZak) == SaverOffTag)
        MSMSPovZakClick();
    // A tick running below this call ends at its next record.
    m_closing = true;
    for (QTimer* timer : { &TPrip, &TPripZvuk, &THodiny, &TAkceKonec, &TKonecLimit, &TPauzaLimit })
        timer->stop();
    emit formClosed();
}

// ---- reminders ----

bool TFSkryt::KontrolaVerze()
{
    // The other timer's tick may come while the message about a newer
    // version is shown; it stops there, as the program is ending.
    if (m_checkingVersion)
        return false;
    const QScopedValueRollback checking(m_checkingVersion, true);
    switch (CheckDataVersion(reminderDataPath)) {
    case DataVersionCheck::Current:
        return true;
    case DataVersionCheck::OldLayout:
        PostReminderCommand(rcConvertOldData);
        PauseForRemindersProgram();
        return false;
    case DataVersionCheck::NewerLayout:
        break;
    }
    return false;
}

// Writes back a record a tick has changed. False when the record changed in
// the file since the tick read it (the other program's change stands), or
// when another program holds the file longer than a tick waits: the record
// is looked at again soon. A file that cannot be written keeps the record as
// it was for a later tick; the tick goes on with the others.
bool TFSkryt::rewriteReminder(int position, const ReminderRecord& seen, ReminderRecord changed)
{
    try {
        const DataFileLock lock(reminderDataPath, DataFileLock::TickWaitMs);
        int at = position;
        ReminderRecord current;
        ReadReminder(at, reminderDataPath, current);
        if (at != position || !SameReminder(current, seen))
            return false;
        changed.LastChange = Now();
        WriteReminder(position, reminderDataPath, changed);
    } catch (const DataFileBusy&) {
        return false;
    } catch (const IoError&) {
        return true;
    }
    PostRecordChanged(rcRefreshOverview);
    return true;
}

// One pass of a reminder timer over the data file. visit sees each record
// and is false when a rewrite failed; interval is the timer's next interval.
// A pass does not start inside one of the same timer that processes events;
// that one looks again at its end. A pause or the closing ends the pass and
// leaves the timer stopped.
void TFSkryt::passOverReminders(QTimer& timer, Tick& state,
    const std::function<bool(int, const ReminderRecord&)>& visit, const std::function<int()>& interval)
{
    timer.stop();
    if (state.running) {
        state.recheck = true;
        return;
    }
    QScopedValueRollback running(state.running, true);
    state.recheck = false;
    bool stopped = false;
    bool recheck = false;
    try {
        if (!KontrolaVerze())
            return;
        EventPump letIn(EventPumpInterval);
        ForEachReminder(reminderDataPath, [&](int position, const ReminderRecord& record) {
            if (stopped)
                return;
            letIn();
            if (paused == 1 || m_closing) {
                stopped = true;
                return;
            }
            recheck |= !visit(position, record);
        });
    } catch (const IoError&) {
        recheck = true; // the file shrank or went away under the tick
    }
    if (stopped)
        return;
    int ms = interval();
    if (recheck || state.recheck)
        ms = std::min(ms, SoonInterval);
    WallTimer::Arm(timer, ms);
}

void TFSkryt::TPripTimer()
{
    DueReminderTick tick(repeatMinutes);
    passOverReminders(
        TPrip, m_prip,
        [&](int position, const ReminderRecord& record) {
            switch (tick.visit(record, Now())) {
            case DueVerdict::Due:
                PostReminderCommand(position);
                break;
            case DueVerdict::Lapsed: {
                ReminderRecord erased = record;
                erased.Erased = true;
                return rewriteReminder(position, record, erased);
            }
            case DueVerdict::NotDue:
                break;
            }
            return true;
        },
        [&] { return tick.interval(); });
}

void TFSkryt::TPripZvukTimer()
{
    SoundReminderTick tick(Now());
    passOverReminders(
        TPripZvuk, m_pripZvuk,
        [&](int position, const ReminderRecord& record) {
            const QString key = soundFailureKey(position, record);
            ReminderRecord changed = record;
            const SoundCheck check
                = tick.visit(changed, programDirectory, &SoundService::play, m_soundFailures.value(key));
            if (check.failed)
                ++m_soundFailures[key];
            else
                m_soundFailures.remove(key);
            return !check.changed || rewriteReminder(position, record, changed);
        },
        [&] { return tick.interval(); });
}

// ---- clock ----

void TFSkryt::THodinyTimer()
{
    THodiny.stop();
    if (paused == 1)
        return;
    AnnounceTime(settingsFileName, programDirectory, lastAnnouncedMinute);
    WallTimer::Arm(THodiny, IntervalUntil(NextAnnouncementTime(settingsPath()), MaxClockInterval));
}

// ---- menu ----

// The items that open a window of another program send the time of the
// click, or of the hotkey's press, that chose them: the window comes to the
// front with the focus even where the window manager keeps new windows from
// taking it.

void TFSkryt::MenuPopup()
{
    MSMSPovZak->setText(
        tag(MSMSPovZak) == SaverOffTag ? QStringLiteral("Spořič - povolit") : QStringLiteral("Spořič - zakázat"));
    if (paused == 1) {
        setTag(MPoz, PausedTag);
        MPoz->setText(QStringLiteral("Povoli&t"));
    } else {
        setTag(MPoz, RunningTag);
        MPoz->setText(QStringLiteral("Pozastavi&t"));
    }
}

void TFSkryt::MenuGetItemParams(QAction* item, TMenuItemParams& params)
{
    const int t = tag(item);
    if (t >= 1 && t <= 20)
        params.Graphic = Clip->GraphicCell(t - 1);
}

void TFSkryt::MenuDrawMargin(QPainter& canvas, const QRect& rect)
{
    QFont font(QStringLiteral("Courier New"), 18, QFont::Bold);
    font.setStyleHint(QFont::TypeWriter);
    const RotatedFont upwards = CreateRotatedFont(font, 90);
    const TColor c = clTeal;
    const TColor halved = RGB(qRound(GetRValue(c) / 2.0), qRound(GetGValue(c) / 2.0), qRound(GetBValue(c) / 2.0));
    TKitPopupMenu::DrawDefaultMargin(canvas, rect, c, halved);
    canvas.setPen(ColorToQColor(clWhite));
    canvas.setBackgroundMode(Qt::TransparentMode);
    TextOutRotated(
        canvas, upwards, rect.left(), rect.top() + rect.height() - 5, QStringLiteral("Korvel - Selvantrix"), rect);
}

void TFSkryt::MKonecClick()
{
    close();
}

void TFSkryt::MSMSpustitClick()
{
    if (ScreenSaver::IsEnabled().value_or(false))
        ScreenSaver::Activate();
}

void TFSkryt::MSMSPovZakClick()
{
    if (tag(MSMSPovZak) == SaverOffTag) {
        ScreenSaver::SetEnabled(true);
        setTag(MSMSPovZak, SaverOnTag);
    } else {
        ScreenSaver::SetEnabled(false);
        setTag(MSMSPovZak, SaverOffTag);
    }
}

void TFSkryt::MOptionsClick()
{
    PostReminderCommand(rcSettingsFromTray, UserAction::LastTime());
}

void TFSkryt::MPozClick()
{
    Pozastavit(paused == 0);
}

void TFSkryt::MKalendarClick()
{
    PostReminderCommand(rcCalendar, UserAction::LastTime());
}

void TFSkryt::MAktCasClick()
{
    SpeakCurrentTime(settingsFileName, programDirectory);
}

void TFSkryt::MImportClick()
{
    PostReminderCommand(rcImport, UserAction::LastTime());
}

void TFSkryt::MExportClick()
{
    PostReminderCommand(rcExport, UserAction::LastTime());
}

void TFSkryt::MPrehledKClick()
{
    PostContactCommand(dcOverview, UserAction::LastTime());
}

void TFSkryt::MNewKClick()
{
    PostContactCommand(dcNewContact, UserAction::LastTime());
}

void TFSkryt::MPrehledClick()
{
    PostReminderCommand(rcOverview, UserAction::LastTime());
}

void TFSkryt::MNewClick()
{
    PostReminderCommand(rcNewReminder, UserAction::LastTime());
}

// ---- hotkeys ----

void TFSkryt::RegKlavesZkr()
{
    IniFile ini(settingsPath());
    int failures = 0;
    for (int id = 1; id <= HotKeyCount; ++id) {
        const QKeyCombination shortCut = TextToShortCut(ini.readString(Klaves, QString::number(id), QString()));
        if (shortCut.toCombined() != 0 && !m_hotKeys.registerHotKey(id, shortCut))
            ++failures;
    }
    RunGuarded([&] { ini.writeInteger(Klaves, QStringLiteral("chyba"), failures); });
    if (failures > 0)
        PostReminderCommand(rcHotkeyFailures);
}

void TFSkryt::OdregKlavesZkr()
{
    for (int id = 1; id <= HotKeyCount; ++id)
        m_hotKeys.unregisterHotKey(id);
}

void TFSkryt::HandleHotKey(int id)
{
    MenuPopup();
    QAction* const items[HotKeyCount] = { MNew, MPrehled, MAktCas, MNewK, MPrehledK, MKalendar };
    if (id >= 1 && id <= HotKeyCount)
        items[id - 1]->trigger();
}
