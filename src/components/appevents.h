#pragma once

// The application-event mirror: the program's events (idle, hints, activation,
// native messages, help, exceptions) handed on to any number of TAppEvents
// components.

#include "components/kitcolors.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <exception>
#include <functional>

class QHelpEvent;
class QTimer;
class QWidget;

// One message of the program's message loop: a native event of the window
// system.
struct TMsg {
    QByteArray EventType;
    void* Message = nullptr;
};

// What a handler of OnShowHint may change besides the text and whether it
// shows.
struct THintInfo {
    QPointer<QWidget> HintControl;
    QPoint CursorPos; // global
    QRect CursorRect; // in HintControl; the hint goes when the mouse leaves it
    int HideTimeout = 0; // milliseconds
};

// The application's ten events and the screen's two, one handler each.
struct ApplicationEventHandlers {
    using NotifyEvent = std::function<void(QObject* sender)>;
    using ExceptionEvent = std::function<void(QObject* sender, const std::exception& e)>;
    // done: false asks for another call before the program waits again.
    using IdleEvent = std::function<void(QObject* sender, bool& done)>;
    using HelpEvent = std::function<bool(quint16 command, qint32 data, bool& callHelp)>;
    using MessageEvent = std::function<void(TMsg& msg, bool& handled)>;
    using ShowHintEvent = std::function<void(QString& hintStr, bool& canShow, THintInfo& hintInfo)>;

    NotifyEvent OnActivate;
    NotifyEvent OnDeactivate;
    ExceptionEvent OnException;
    IdleEvent OnIdle;
    HelpEvent OnHelp;
    NotifyEvent OnHint;
    MessageEvent OnMessage;
    NotifyEvent OnMinimize;
    NotifyEvent OnRestore;
    ShowHintEvent OnShowHint;
    NotifyEvent OnActiveControlChange;
    NotifyEvent OnActiveFormChange;
};

// The application's events and hint settings, as the class library's
// application and screen objects had them. Qt feeds the events:
//   OnActivate, OnDeactivate     the application becomes active or inactive
//   OnException                  exceptions caught at event handlers (Application::handleException)
//   OnIdle                       the event loop is about to wait
//   OnHelp                       HelpCommand, called by the help routine
//   OnHint                       the status tip under the mouse changes (Hint)
//   OnMessage                    native events of the window system
//   OnMinimize, OnRestore        a window of the program is minimised or restored
//   OnShowHint                   a tooltip is about to show
//   OnActiveControlChange        the focus widget changes
//   OnActiveFormChange           the focus window changes
// A handler that raises goes to OnException, or to the error box. Made on
// first use; needs the application object.
class ApplicationEvents : public QObject, public QAbstractNativeEventFilter, public ApplicationEventHandlers {
    Q_OBJECT
public:
    static ApplicationEvents& instance();

    // The hint of the control under the mouse.
    const QString& Hint() const { return m_hint; }
    // Asks OnHelp before help is shown; callHelp comes back true when the
    // help itself should still be opened.
    bool HelpCommand(quint16 command, qint32 data, bool& callHelp);
    // OnException, or the error box when it has no handler.
    void HandleException(const std::exception& e);
    // The error box the application shows when nobody handles an exception.
    void ShowStandard(const std::exception& e);

    TColor HintColor() const;
    void SetHintColor(TColor color);
    // Milliseconds before a tooltip shows.
    int HintPause() const;
    void SetHintPause(int ms);
    int HintShortPause() const { return m_hintShortPause; }
    void SetHintShortPause(int ms) { m_hintShortPause = ms; }
    // How long a tooltip stays.
    int HintHidePause() const { return m_hintHidePause; }
    void SetHintHidePause(int ms) { m_hintHidePause = ms; }
    // Off: no tooltips anywhere in the program.
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool on) { m_showHint = on; }
    // Read by the start-up code: false keeps the main form hidden.
    bool ShowMainForm() const { return m_showMainForm; }
    void SetShowMainForm(bool on) { m_showMainForm = on; }
    bool UpdateFormatSettings() const { return m_updateFormatSettings; }
    void SetUpdateFormatSettings(bool on) { m_updateFormatSettings = on; }
    bool UpdateMetricSettings() const { return m_updateMetricSettings; }
    void SetUpdateMetricSettings(bool on) { m_updateMetricSettings = on; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ApplicationEvents(QObject* parent);
    void StateChanged(Qt::ApplicationState state);
    void Idle();
    bool ToolTip(QObject* watched, QHelpEvent* event);
    void Fire(const NotifyEvent& event);

    QString m_hint;
    Qt::ApplicationState m_state;
    bool m_inIdle = false;
    QTimer* m_idleAgain;
    QPointer<QObject> m_hintStyle;
    int m_hintShortPause = 50;
    int m_hintHidePause = 2500;
    bool m_showHint = true;
    bool m_showMainForm = true;
    bool m_updateFormatSettings = true;
    bool m_updateMetricSettings = true;
};

class TAppEvents;

// The program's one list of TAppEvents. While it holds a component, its
// dispatchers stand in ApplicationEvents' handlers: each event goes to the
// components from the newest to the oldest, and then to the handler that
// stood there before, until a component that is not Chained. When the last
// component goes, the handlers that stood there before come back.
class TAppEventList {
public:
    static TAppEventList& instance();

    void Add(TAppEvents* component);
    void Remove(TAppEvents* component);
    bool Installed() const { return m_installed; }

private:
    struct Dispatch;
    friend struct Dispatch;

    TAppEventList() = default;
    // Hands an event to the components, newest first. call returns true to
    // end the walk; the result tells whether the walk went past the oldest.
    bool Walk(const std::function<bool(TAppEvents&)>& call) const;

    QList<TAppEvents*> m_list;
    bool m_installed = false;
    // The handlers that stood in ApplicationEvents before the dispatchers.
    ApplicationEventHandlers m_saved;
};

// A component a form carries to receive the application's events as its own
// and to set the application's hint and start-up settings. Any number may
// exist; see TAppEventList for the order. The settings are the application's:
// reading one gives the application's current value, setting one changes it
// at once, and Loaded writes them all.
class TAppEvents : public QObject, public ApplicationEventHandlers {
    Q_OBJECT
public:
    explicit TAppEvents(QObject* owner = nullptr);
    ~TAppEvents() override;

    // Called at the end of the owner form's construction.
    void Loaded();

    // False: an event this component has seen goes no further.
    bool Chained() const { return m_chained; }
    void SetChained(bool on) { m_chained = on; }

    TColor HintColor() const;
    void SetHintColor(TColor color);
    int HintPause() const;
    void SetHintPause(int ms);
    bool ShowHint() const;
    void SetShowHint(bool on);
    bool UpdateFormatSettings() const;
    void SetUpdateFormatSettings(bool on);
    int HintShortPause() const;
    void SetHintShortPause(int ms);
    int HintHidePause() const;
    void SetHintHidePause(int ms);
    bool ShowMainForm() const;
    void SetShowMainForm(bool on);
    bool UpdateMetricSettings() const;
    void SetUpdateMetricSettings(bool on);

    // The desktop's colours, fonts or locale changed; the sender is the
    // component. Every component gets it, whatever Chained says.
    NotifyEvent OnSettingsChanged;

protected:
    virtual void SettingsChanged();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_chained = true;
    TColor m_hintColor = clInfoBk;
    int m_hintPause = 500;
    bool m_showHint = true;
    bool m_updateFormatSettings = true;
    int m_hintShortPause = 50;
    int m_hintHidePause = 2500;
    bool m_showMainForm = true;
    bool m_updateMetricSettings = true;
};
