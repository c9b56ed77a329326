#include "appevents.h"

#include "platform/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

using H = ApplicationEventHandlers;

// Answers the tooltip wake-up delay with the application's HintPause; Qt
// asks the style for it.
class HintStyle : public QProxyStyle {
public:
    explicit HintStyle(const QString& key)
        : QProxyStyle(key)
    {
    }

    int styleHint(
        StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* data) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return wakeUpDelay;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

    int wakeUpDelay = 0;
};

void ForwardException(const std::exception& e)
{
    ApplicationEvents::instance().HandleException(e);
}

// A handler may assign its own event while it runs, so it runs from a copy.
template <typename F, typename... Args> bool Call(const F& handler, Args&&... args)
{
    const F h = handler;
    if (!h)
        return false;
    h(std::forward<Args>(args)...);
    return true;
}

} // namespace

// ---------------------------------------------------------------- ApplicationEvents

ApplicationEvents& ApplicationEvents::instance()
{
    static QPointer<ApplicationEvents> events;
    if (!events)
        events = new ApplicationEvents(QCoreApplication::instance());
    return *events;
}

ApplicationEvents::ApplicationEvents(QObject* parent)
    : QObject(parent)
    , m_state(QGuiApplication::applicationState())
    , m_idleAgain(new QTimer(this))
{
    m_idleAgain->setSingleShot(true);
    m_idleAgain->setInterval(0);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &ApplicationEvents::StateChanged);
    connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, &ApplicationEvents::Idle);
    connect(qApp, &QApplication::focusChanged, this, [this] { Fire(OnActiveControlChange); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { Fire(OnActiveFormChange); });
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
    // Exceptions caught at event handlers come here from now on.
    if (auto* app = qobject_cast<Application*>(qApp))
        app->setOnException(ForwardException);
}

void ApplicationEvents::HandleException(const std::exception& e)
{
    try {
        if (!Call(OnException, qApp, e))
            ShowStandard(e);
    } catch (const std::exception& inner) {
        ShowStandard(inner);
    }
}

void ApplicationEvents::ShowStandard(const std::exception& e)
{
    auto* app = qobject_cast<Application*>(qApp);
    if (!app) {
        ShowException(e);
        return;
    }
    // The application shows its error box when no handler is set.
    app->setOnException({});
    app->handleException(e);
    app->setOnException(ForwardException);
}

void ApplicationEvents::Fire(const NotifyEvent& event)
{
    try {
        Call(event, qApp);
    } catch (const std::exception& e) {
        HandleException(e);
    }
}

void ApplicationEvents::StateChanged(Qt::ApplicationState state)
{
    const bool was = m_state == Qt::ApplicationActive;
    const bool is = state == Qt::ApplicationActive;
    m_state = state;
    if (is && !was)
        Fire(OnActivate);
    else if (was && !is)
        Fire(OnDeactivate);
}

void ApplicationEvents::Idle()
{
    // A handler that runs a dialog makes the loop wait inside it.
    if (m_inIdle || !OnIdle)
        return;
    QScopedValueRollback<bool> guard(m_inIdle, true);
    bool done = true;
    try {
        Call(OnIdle, qApp, done);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    if (!done)
        m_idleAgain->start();
}

bool ApplicationEvents::HelpCommand(quint16 command, qint32 data, bool& callHelp)
{
    callHelp = true;
    const HelpEvent handler = OnHelp;
    if (!handler)
        return false;
    try {
        return handler(command, data, callHelp);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return false;
}

bool ApplicationEvents::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!OnMessage)
        return false;
    TMsg msg { eventType, message };
    bool handled = false;
    try {
        Call(OnMessage, msg, handled);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return handled;
}

bool ApplicationEvents::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::StatusTip: {
        // The tip travels up from the widget to its window; it is one change.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip != m_hint) {
            m_hint = tip;
            Fire(OnHint);
        }
        break;
    }
    case QEvent::ToolTip:
        return ToolTip(watched, static_cast<QHelpEvent*>(event));
    case QEvent::WindowStateChange: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->isWindow())
            break;
        const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool is = w->windowState() & Qt::WindowMinimized;
        if (is && !was)
            Fire(OnMinimize);
        else if (was && !is)
            Fire(OnRestore);
        break;
    }
    default:
        break;
    }
    return false;
}

bool ApplicationEvents::ToolTip(QObject* watched, QHelpEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return false;
    if (!m_showHint)
        return true;
    // Widgets without a tooltip of their own pass the event to their parent
    // or show tips of their own parts.
    if (w->toolTip().isEmpty())
        return false;
    QString text = w->toolTip();
    bool canShow = true;
    THintInfo info { w, event->globalPos(), w->rect(), m_hintHidePause };
    try {
        Call(OnShowHint, text, canShow, info);
    } catch (const std::exception& e) {
        canShow = false;
        HandleException(e);
    }
    if (canShow && !text.isEmpty() && info.HintControl)
        QToolTip::showText(info.CursorPos, text, info.HintControl, info.CursorRect, info.HideTimeout);
    else
        QToolTip::hideText();
    return true;
}

TColor ApplicationEvents::HintColor() const
{
    return QColorToColor(QToolTip::palette().color(QPalette::Active, QPalette::ToolTipBase));
}

void ApplicationEvents::SetHintColor(TColor color)
{
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, ColorToQColor(color));
    QToolTip::setPalette(palette);
}

int ApplicationEvents::HintPause() const
{
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

void ApplicationEvents::SetHintPause(int ms)
{
    if (ms == HintPause())
        return;
    if (!m_hintStyle) {
        auto* style = new HintStyle(QApplication::style()->name());
        QApplication::setStyle(style);
        m_hintStyle = style;
    }
    static_cast<HintStyle*>(m_hintStyle.data())->wakeUpDelay = ms;
}

// ---------------------------------------------------------------- TAppEventList

struct TAppEventList::Dispatch {
    template <H::NotifyEvent H::*Event> static void Notify(QObject* sender) { Each(Event, sender); }

    static void Idle(QObject* sender, bool& done) { Each(&H::OnIdle, sender, done); }

    static void ShowHint(QString& hintStr, bool& canShow, THintInfo& info)
    {
        Each(&H::OnShowHint, hintStr, canShow, info);
    }

    static void Exception(QObject* sender, const std::exception& e)
    {
        const TAppEventList& list = TAppEventList::instance();
        bool called = false;
        if (list.Walk([&](TAppEvents& c) {
                called |= Call(c.OnException, sender, e);
                return false;
            }))
            called |= Call(list.m_saved.OnException, sender, e);
        if (!called)
            ApplicationEvents::instance().ShowStandard(e);
    }

    // The last handler called gives the result.
    static bool Help(quint16 command, qint32 data, bool& callHelp)
    {
        const TAppEventList& list = TAppEventList::instance();
        bool result = false;
        const auto callOne = [&](const H::HelpEvent& handler) {
            const H::HelpEvent h = handler;
            if (h)
                result = h(command, data, callHelp);
        };
        if (list.Walk([&](TAppEvents& c) {
                callOne(c.OnHelp);
                return false;
            }))
            callOne(list.m_saved.OnHelp);
        return result;
    }

    // Ends as soon as a handler has handled the message.
    static void Message(TMsg& msg, bool& handled)
    {
        const TAppEventList& list = TAppEventList::instance();
        if (list.Walk([&](TAppEvents& c) {
                Call(c.OnMessage, msg, handled);
                return handled;
            }))
            Call(list.m_saved.OnMessage, msg, handled);
    }

    template <typename F, typename... Args> static void Each(F H::*event, Args&... args)
    {
        const TAppEventList& list = TAppEventList::instance();
        if (list.Walk([&](TAppEvents& c) {
                Call(c.*event, args...);
                return false;
            }))
            Call(list.m_saved.*event, args...);
    }

    // Each of the twelve events with its dispatcher.
    template <typename V> static void ForEachEvent(V&& v)
    {
        v(&H::OnActivate, &Notify<&H::OnActivate>);
        v(&H::OnDeactivate, &Notify<&H::OnDeactivate>);
        v(&H::OnException, &Exception);
        v(&H::OnIdle, &Idle);
        v(&H::OnHelp, &Help);
        v(&H::OnHint, &Notify<&H::OnHint>);
        v(&H::OnMessage, &Message);
        v(&H::OnMinimize, &Notify<&H::OnMinimize>);
        v(&H::OnRestore, &Notify<&H::OnRestore>);
        v(&H::OnShowHint, &ShowHint);
        v(&H::OnActiveControlChange, &Notify<&H::OnActiveControlChange>);
        v(&H::OnActiveFormChange, &Notify<&H::OnActiveFormChange>);
    }
};

TAppEventList& TAppEventList::instance()
{
    static TAppEventList list;
    return list;
}

void TAppEventList::Add(TAppEvents* component)
{
    if (m_list.contains(component))
        return;
    m_list.append(component);
    if (m_list.size() != 1 || m_installed)
        return;
    ApplicationEvents& events = ApplicationEvents::instance();
    Dispatch::ForEachEvent([&](auto slot, auto dispatcher) {
        m_saved.*slot = events.*slot;
        events.*slot = dispatcher;
    });
    m_installed = true;
}

void TAppEventList::Remove(TAppEvents* component)
{
    if (!m_list.removeOne(component) || !m_list.isEmpty() || !m_installed)
        return;
    m_installed = false;
    if (!QCoreApplication::instance())
        return;
    // What stood there before comes back, unless the program has meanwhile
    // put a handler of its own in a dispatcher's place.
    ApplicationEvents& events = ApplicationEvents::instance();
    Dispatch::ForEachEvent([&](auto slot, auto dispatcher) {
        auto& current = events.*slot;
        const auto* target = current.template target<decltype(dispatcher)>();
        if (target && *target == dispatcher)
            current = m_saved.*slot;
        m_saved.*slot = nullptr;
    });
}

bool TAppEventList::Walk(const std::function<bool(TAppEvents&)>& call) const
{
    // Handlers may create and free components while the walk goes on.
    QList<QPointer<TAppEvents>> newestFirst;
    for (auto it = m_list.crbegin(); it != m_list.crend(); ++it)
        newestFirst.append(*it);
    for (const QPointer<TAppEvents>& c : newestFirst) {
        if (!c)
            continue;
        if (call(*c))
            return false;
        if (c && !c->Chained())
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- TAppEvents

TAppEvents::TAppEvents(QObject* owner)
    : QObject(owner)
{
    // The settings-changed hook: application filters installed last see an
    // event first.
    qApp->installEventFilter(this);
    TAppEventList::instance().Add(this);
}

TAppEvents::~TAppEvents()
{
    TAppEventList::instance().Remove(this);
}

void TAppEvents::Loaded()
{
    ApplicationEvents& a = ApplicationEvents::instance();
    a.SetHintColor(m_hintColor);
    a.SetHintPause(m_hintPause);
    a.SetShowHint(m_showHint);
    a.SetUpdateFormatSettings(m_updateFormatSettings);
    a.SetHintShortPause(m_hintShortPause);
    a.SetHintHidePause(m_hintHidePause);
    a.SetShowMainForm(m_showMainForm);
    a.SetUpdateMetricSettings(m_updateMetricSettings);
}

TColor TAppEvents::HintColor() const
{
    return ApplicationEvents::instance().HintColor();
}

void TAppEvents::SetHintColor(TColor color)
{
    m_hintColor = color;
    ApplicationEvents::instance().SetHintColor(color);
}

int TAppEvents::HintPause() const
{
    return ApplicationEvents::instance().HintPause();
}

void TAppEvents::SetHintPause(int ms)
{
    m_hintPause = ms;
    ApplicationEvents::instance().SetHintPause(ms);
}

bool TAppEvents::ShowHint() const
{
    return ApplicationEvents::instance().ShowHint();
}

void TAppEvents::SetShowHint(bool on)
{
    m_showHint = on;
    ApplicationEvents::instance().SetShowHint(on);
}

bool TAppEvents::UpdateFormatSettings() const
{
    return ApplicationEvents::instance().UpdateFormatSettings();
}

void TAppEvents::SetUpdateFormatSettings(bool on)
{
    m_updateFormatSettings = on;
    ApplicationEvents::instance().SetUpdateFormatSettings(on);
}

int TAppEvents::HintShortPause() const
{
    return ApplicationEvents::instance().HintShortPause();
}

void TAppEvents::SetHintShortPause(int ms)
{
    m_hintShortPause = ms;
    ApplicationEvents::instance().SetHintShortPause(ms);
}

int TAppEvents::HintHidePause() const
{
    return ApplicationEvents::instance().HintHidePause();
}

void TAppEvents::SetHintHidePause(int ms)
{
    m_hintHidePause = ms;
    ApplicationEvents::instance().SetHintHidePause(ms);
}

bool TAppEvents::ShowMainForm() const
{
    return ApplicationEvents::instance().ShowMainForm();
}

void TAppEvents::SetShowMainForm(bool on)
{
    m_showMainForm = on;
    ApplicationEvents::instance().SetShowMainForm(on);
}

bool TAppEvents::UpdateMetricSettings() const
{
    return ApplicationEvents::instance().UpdateMetricSettings();
}

void TAppEvents::SetUpdateMetricSettings(bool on)
{
    m_updateMetricSettings = on;
    ApplicationEvents::instance().SetUpdateMetricSettings(on);
}

void TAppEvents::SettingsChanged()
{
    Call(OnSettingsChanged, this);
}

bool TAppEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != QCoreApplication::instance())
        return false;
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
    case QEvent::ApplicationFontChange:
    case QEvent::LocaleChange:
        try {
            SettingsChanged();
        } catch (const std::exception& e) {
            ShowException(e);
        }
        break;
    default:
        break;
    }
    return false;
}
