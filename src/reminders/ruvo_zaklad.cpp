#include "ruvo_zaklad.h"

#include "ruvo_okna.h"

#include "components/appevents.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/filereplace.h"
#include "platform/help.h"
#include "platform/programstarter.h"
#include "shared/commands.h"
#include "shared/exchangefiles.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/mojepopredi.h"
#include "shared/oldreminderfile.h"
#include "shared/progman.h"
#include "shared/reminderfile.h"

#include <QApplication>

#include <algorithm>

namespace {

TFZaklad* Instance = nullptr;

const QString Nastav = QStringLiteral("Nastav");

// How long an ending program waits for the tray resident's -10.
constexpr int ExportWaitMs = 5000;

} // namespace

QString PopupName(int position)
{
    return QStringLiteral("Pripomenuti") + QString::number(position);
}

QWidget* FindPopup(int position)
{
    QWidget* w = FindForm(PopupName(position));
    return dynamic_cast<ReminderPopup*>(w) ? w : nullptr;
}

TFZaklad* FZaklad()
{
    return Instance;
}

TFZaklad::TFZaklad(const QStringList& arguments)
    : TProgramHub(ReminderForms(), QStringLiteral("Fabout"))
    , m_appEvents(new TAppEvents(this))
{
    Instance = this;
    setObjectName(QStringLiteral("FZaklad"));
    setWindowTitle(QStringLiteral("Korvel-Pripomenuti"));
    m_appEvents->setObjectName(QStringLiteral("AppEvents1"));
    m_appEvents->SetShowMainForm(false);
    m_appEvents->Loaded();

    m_programDirectory = ProgramDir();
    m_settingsFileName = QStringLiteral("korvel.ini");
    const QString dataFolder = IniReadString(SettingsFile(), Nastav, QStringLiteral("adrdatabaze"), m_programDirectory);
    m_reminderDataPath = dataFolder + QStringLiteral("/korvel.da1");
    m_contactDataPath = dataFolder + QStringLiteral("/korvel.db1");

    if (arguments.size() == 2 && arguments.at(1) == QLatin1String("-setup")) {
        RunSetup();
        return;
    }

    // What a killed program left half written beside the files it replaces.
    for (const QString& path :
        { m_reminderDataPath, m_contactDataPath, SettingsFile(), m_programDirectory + u'/' + ReminderHomeBackupName,
            m_programDirectory + u'/' + ContactHomeBackupName, m_programDirectory + QStringLiteral("/korvel.tmp") })
        RemoveStaleReplacement(path);
    Help::setHelpFile(Help::helpFolderIn(m_programDirectory));
    CommandChannel::own().setHook([this](int32_t code, int32_t) { HandleReminderCommand(code); });
    SetReminderRenumberHook([this](int oldId, int newId) { RenamePopup(oldId, newId); });
}

TFZaklad::~TFZaklad()
{
    if (Instance != this)
        return;
    Instance = nullptr;
    if (!m_setupRun) {
        CommandChannel::own().setHook({});
        SetReminderRenumberHook({});
    }
}

QString TFZaklad::SettingsFile() const
{
    return m_programDirectory + u'/' + m_settingsFileName;
}

// Desktop entries for the tray resident (also started with every logon), the
// description and the help; the tray resident starts now.
void TFZaklad::RunSetup()
{
    m_setupRun = true;
    // Started unless it runs already (a second copy would only say so); the
    // tray resident ignores code 0. A failed start does not stop the set-up.
    PostOrStart(TrayAppTitle, QStringLiteral("korvel"), 0);
    const QString tray = m_programDirectory + QStringLiteral("/korvel");
    ProgmanAddItem(QStringLiteral("STARTUP"), QStringLiteral("Korvel"), tray);
    ProgmanAddItem(QStringLiteral("Korvel"), QStringLiteral("Korvel"), tray);
    ProgmanAddItem(
        QStringLiteral("Korvel"), QStringLiteral("Popis"), m_programDirectory + QStringLiteral("/popis.txt"));
    ProgmanAddItem(
        QStringLiteral("Korvel"), QStringLiteral("Nápověda"), Help::indexPath(Help::helpFolderIn(m_programDirectory)));
    RunGuarded([this] {
        const QString section = QStringLiteral("ZvukAdr");
        if (IniReadInteger(SettingsFile(), section, QStringLiteral("pocet"), 0) == 0) {
            IniWriteString(SettingsFile(), section, QStringLiteral("1"), m_programDirectory + QStringLiteral("/sound"));
            IniWriteInteger(SettingsFile(), section, QStringLiteral("pocet"), 1);
        }
    });
    Dialogs::messageBeep(MsgDlgType::Custom);
    Dialogs::messageDlg(
        QStringLiteral("Program vytvořil zástupce v nabídce start\ra spustil rezidentní část (korvel.exe)"),
        MsgDlgType::Information, MsgBtn::OK);
}

void TFZaklad::HandleReminderCommand(int32_t code)
{
    if (Ending()) {
        if (code == rcAutoExport)
            AutoExport();
        return;
    }
    const RuvoCodeClass kind = ClassifyRuvoCode(code);
    if (kind == RuvoCodeClass::Ignored)
        return;
    RestoreApplication();
    if (kind == RuvoCodeClass::RecordPosition) {
        ShowReminder(code);
        return;
    }
    switch (code) {
    case rcRestore:
        break;
    case rcNewReminder:
        OpenByName(QStringLiteral("FNewPrip"));
        break;
    case rcOverview:
        // The overview converts a file of the previous layout.
        if (StoredReminderCount(m_reminderDataPath) >= 1)
            OpenByName(QStringLiteral("FPrehled"));
        else
            EndIfNoWindow();
        break;
    case rcAbout:
        OpenByName(QStringLiteral("Fabout"));
        break;
    case rcSettings:
    case rcSettingsFromTray:
        OpenByName(QStringLiteral("FNastav"));
        break;
    case rcRefreshOverview:
        RefreshOverview();
        break;
    case rcExport:
        OpenByName(QStringLiteral("FExport"));
        break;
    case rcImport:
        OpenByName(QStringLiteral("FImport"));
        break;
    case rcAutoImport:
        AutoImport();
        break;
    case rcAutoExport:
        AutoExport();
        break;
    case rcConvertOldData:
        ReplaceWindow(QStringLiteral("FPrevod"), QStringLiteral("FPrevod"));
        break;
    case rcHotkeyFailures:
        ShowHotkeyFailures();
        break;
    case rcCalendar:
        ReplaceWindow(QStringLiteral("FKalendar"), QStringLiteral("FKalendar"));
        break;
    default:
        break;
    }
}

void TFZaklad::ReplaceWindow(const QString& oldName, const QString& newName, OpenMode mode)
{
    // The old window may be the last one open: its closing must not end the
    // program before the new one counts.
    WindowOpened();
    if (QWidget* old = FindForm(oldName)) {
        old->activateWindow();
        old->close();
    }
    if (QWidget* w = ReminderForms().Create(newName, mode))
        w->show();
    WindowClosed();
}

void TFZaklad::AutoImport()
{
    if (!AutoImportDue()) {
        NotifyTray(tnResume); // the program stays hidden, even with no window
        return;
    }
    if (QWidget* open = FindForm(QStringLiteral("FImport"))) {
        // The open window pauses the tray resident itself when it imports.
        BringToFront(open);
        NotifyTray(tnResume);
        return;
    }
    OpenByName(QStringLiteral("FImport"), OpenMode::Automatic);
}

void TFZaklad::AutoExport()
{
    if (Ending() && m_autoExportAsked)
        return;
    m_autoExportAsked = true;
    ReplaceWindow(QStringLiteral("FExport"), QStringLiteral("FExportAuto"), OpenMode::Automatic);
    NotifyTray(tnClose);
}

bool TFZaklad::HoldsEnd()
{
    // Its window, which runs the export before it lets itself be closed,
    // has closed.
    if (m_autoExportAsked)
        return false;
    if (!m_exportWait)
        m_exportWait = QDeadlineTimer(
            IniReadBool(SettingsFile(), Nastav, QStringLiteral("autoexpimp"), false) ? ExportWaitMs : 0);
    // A tray resident that ends without an export is gone at once.
    return !m_exportWait->hasExpired() && CommandChannel::answers(TrayAppTitle);
}

void TFZaklad::ShowHotkeyFailures()
{
    const int failures = IniReadInteger(SettingsFile(), QStringLiteral("Klaves"), QStringLiteral("chyba"), 0);
    Dialogs::messageDlg(QStringLiteral("Počet nezaregistrovaných klávesových zkratek: ") + QString::number(failures)
            + QStringLiteral("\r(již používá jiný program)"),
        MsgDlgType::Information, MsgBtn::OK);
    EndIfNoWindow();
}

void TFZaklad::RefreshOverview()
{
    if (auto* overview = dynamic_cast<ReminderOverview*>(FindForm(QStringLiteral("FPrehled"))))
        overview->Aktualizuj();
}

void TFZaklad::ShowReminder(int position)
{
    // A position beyond the file opens nothing: the tray names positions of
    // the file as it was, and the last record is another reminder.
    if (position > ReminderCount(m_reminderDataPath)) {
        EndIfNoWindow();
        return;
    }
    ReminderRecord record;
    int n = position;
    ReadReminder(n, m_reminderDataPath, record);
    if (record.Erased) {
        EndIfNoWindow();
        return;
    }

    QWidget* open = FindPopup(position);
    if (open && dynamic_cast<ReminderPopup*>(open)->ReminderCreated() != record.Created) {
        // Its reminder has left this position; it must not stand in for the
        // one there now.
        open->setObjectName(QString());
        open = nullptr;
    }

    if (!open) {
        QWidget* w = ReminderForms().Create(QStringLiteral("FPrip"));
        if (!w) {
            EndIfNoWindow();
            return;
        }
        if (auto* p = dynamic_cast<ReminderPopup*>(w))
            p->SetRecordNumber(position);
        w->setObjectName(PopupName(position));
        m_lastPopupTime = Now();
        w->show();
        return;
    }

    // The tray posts a due reminder again every "pripopak" minutes; the
    // pop-up comes back only when it has waited half of that.
    const int minutes = std::max(1, IniReadInteger(SettingsFile(), Nastav, QStringLiteral("pripopak"), 1));
    if (Now() - minutes / 2.0 * OneMinute > m_lastPopupTime) {
        BringToFront(open);
        m_lastPopupTime = Now();
        dynamic_cast<ReminderPopup*>(open)->ZvukAkce();
    }
}

// Renumbering reports each changed ID in position order; a pop-up renamed in
// this run is not looked up again, so IDs in any order reach the right
// windows, as if every old name were looked up before any is changed.
void TFZaklad::RenamePopup(int oldId, int newId)
{
    if (!m_renumbering) {
        m_renumbering = true;
        QMetaObject::invokeMethod(this, &TFZaklad::EndRenumbering, Qt::QueuedConnection);
    }
    const QString oldName = PopupName(oldId);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        auto* popup = dynamic_cast<ReminderPopup*>(w);
        if (!popup || m_renamed.contains(w) || w->objectName().compare(oldName, Qt::CaseInsensitive) != 0)
            continue;
        w->setObjectName(PopupName(newId));
        popup->SetRecordNumber(newId);
        m_renamed.append(w);
        return;
    }
}

// A pop-up whose reminder is no longer at its position (deleted, or an older
// pop-up that now shares the name of a renamed one) keeps its window but
// loses its name: the hub never finds it for another reminder.
void TFZaklad::EndRenumbering()
{
    m_renumbering = false;
    m_renamed.clear();
    RunGuarded([this] {
        const int count = ReminderCount(m_reminderDataPath);
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            auto* popup = dynamic_cast<ReminderPopup*>(w);
            if (!popup || w->objectName().isEmpty())
                continue;
            int n = popup->RecordNumber();
            bool stale = n < 1 || n > count;
            if (!stale) {
                ReminderRecord record;
                ReadReminder(n, m_reminderDataPath, record);
                stale = record.Created != popup->ReminderCreated();
            }
            if (stale)
                w->setObjectName(QString());
        }
    });
}
