#pragma once

// The tray resident's hidden main form.

#include "platform/hotkeys.h"
#include "platform/timechange.h"
#include "tray/kitmenus.h"
#include "tray/kitshell.h"
#include "tray/sessionend.h"

#include <QHash>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

class QAction;
class TPicClip;
struct ReminderRecord;

// The tray resident's hidden main form: the icon in the notification area
// with its menu, the timers that post due reminders, play sound-only
// reminders and announce the time, the hotkeys, and the codes the other
// programs post. It is never shown; closing it ends the program.
class TFSkryt : public QWidget {
    Q_OBJECT
public:
    explicit TFSkryt(QWidget* parent = nullptr);
    ~TFSkryt() override;

    TKitTrayIcon* TrayIcon;
    TKitPopupMenu* Menu;
    TPicClip* Clip;
    QTimer TPrip; // due reminders
    QTimer TPripZvuk; // sound-only reminders
    QTimer THodiny; // the clock
    // The export at the end of the session, asked for outside the request
    // that it answers; 100 ms, off until such a request comes.
    QTimer TAkceKonec;
    // How long an end of the session that cannot be refused waits for the
    // export: 20 s, then the program ends all the same.
    QTimer TKonecLimit;
    // How long a pause waits for the reminders program's resume (code 5):
    // 5 minutes, then the program resumes by itself. A reminders program that
    // hangs or never started must not leave every reminder stopped.
    QTimer TPauzaLimit;

    // The menu, top to bottom.
    QAction* MKonec;
    QAction* MN6;
    QAction* MSMSpustit;
    QAction* MSMSPovZak;
    QAction* MN2;
    QAction* MOptions;
    QAction* MPoz;
    QAction* MN5;
    QAction* MKalendar;
    QAction* MAktCas;
    QAction* MN3;
    QAction* MImport;
    QAction* MExport;
    QAction* MN4;
    QAction* MPrehledK;
    QAction* MNewK;
    QAction* MN1;
    QAction* MPrehled;
    QAction* MNew;

    QString programDirectory;
    QString settingsFileName;
    QString reminderDataPath;
    quint8 paused = 0;
    // hour x 60 + minute of the quarter hour the clock handled last; -1 none.
    int32_t lastAnnouncedMinute = -1;
    // Minutes after which a reminder that stays due is posted again.
    int32_t repeatMinutes = 1;
    bool autoExchange = false;
    bool closingByRequest = false;

    // Whether the form has closed: the program is to end.
    bool Closed() const { return m_closing; }

    void NactiIni(const QString& path);
    void Pozastavit(bool pause);
    bool KontrolaVerze();
    void RegKlavesZkr();
    void OdregKlavesZkr();

    void HandleAppMessage(int32_t code, int32_t arg);
    void HandleTimeChange();
    // The session is ending. With the automatic exchange on, the first such
    // request is refused (false) where the session manager lets it be, and
    // the export asked for; where nothing can refuse it, the export is asked
    // for at once and the program ends once it has run (a session manager's
    // request is answered only then). Without the exchange, and once the
    // export has been asked for, the session may end (true); a signal then
    // closes the program.
    bool HandleQueryEndSession(const SessionEndRequest& request);
    void HandleHotKey(int id);

    void TPripTimer();
    void TPripZvukTimer();
    void THodinyTimer();
    void TAkceKonecTimer();
    void TKonecLimitTimer();
    void TPauzaLimitTimer();

    void TrayIconClick(TKitTrayIcon* sender, Qt::MouseButton button, TShiftState shift, int x, int y);
    void MenuPopup();
    void MenuGetItemParams(QAction* item, TMenuItemParams& params);
    void MenuDrawMargin(QPainter& canvas, const QRect& rect);

    void MKonecClick();
    void MSMSpustitClick();
    void MSMSPovZakClick();
    void MOptionsClick();
    void MPozClick();
    void MKalendarClick();
    void MAktCasClick();
    void MImportClick();
    void MExportClick();
    void MPrehledKClick();
    void MNewKClick();
    void MPrehledClick();
    void MNewClick();

signals:
    // The form has closed: the program is to end.
    void formClosed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A reminder timer's tick in progress, and whether something asked for a
    // new look while it ran.
    struct Tick {
        bool running = false;
        bool recheck = false;
    };

    void FormCreate();
    void FormClose();
    // Paused until the reminders program posts 5, at most TPauzaLimit.
    void PauseForRemindersProgram();
    QString settingsPath() const;
    QAction* addItem(const char* name, int tagValue, const QString& caption, void (TFSkryt::*onClick)());
    void shortenTimer(QTimer& timer, Tick* tick);
    void passOverReminders(QTimer& timer, Tick& state, const std::function<bool(int, const ReminderRecord&)>& visit,
        const std::function<int()>& interval);
    bool rewriteReminder(int position, const ReminderRecord& seen, ReminderRecord changed);

    HotKeys m_hotKeys;
    TimeChange m_timeChange;
    SessionEnd m_sessionEnd;
    Tick m_prip;
    Tick m_pripZvuk;
    bool m_checkingVersion = false;
    bool m_closing = false;
    // The export was asked for at an end that cannot be refused, and the
    // reminders program has not yet said that its window is open (code 7).
    bool m_exportWindowPending = false;
    // Ticks in a row in which a sound-only reminder's sounds failed, by record.
    QHash<QString, int> m_soundFailures;
};

// Post a code to the reminders or the contacts program, starting it when it
// does not run; a program that cannot be started loses the code (false).
// userTime: the user's hotkey or menu click the code opens a window for.
bool PostReminderCommand(int32_t code, uint32_t userTime = 0);
void PostContactCommand(int32_t code, uint32_t userTime = 0);
// Posts a code to the reminders program only when it runs.
void PostRecordChanged(int32_t code);
