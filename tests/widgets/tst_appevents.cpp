#include "components/appevents.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "testsupport.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// Lets the event loop wait once, so that the idle event comes.
void RunIdle()
{
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

// An object whose event handler raises, as a faulty form handler would.
class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw KorvelError(QStringLiteral("Chyba v obsluze"));
        return QObject::event(e);
    }
};

void RaiseInHandler()
{
    Thrower t;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&t, &e);
}

QString MessageOf(const std::exception& e)
{
    return static_cast<const KorvelError&>(e).message();
}

} // namespace

class TstAppEvents : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void walkGoesNewestFirstAndEndsAtAnUnchainedComponent();
    void removingTheLastComponentRestoresTheSavedHandlers();
    void exceptionsOfHandlersReachTheComponentsOrTheErrorBox();
    void messageAndHelpRules();
    void hintSettingsAreTheApplications();
    void hintsFollowTipsAndShowHint();
    void settingsChangedReachesEveryComponentNewestFirst();
    void activationMinimiseAndFocus();
};

void TstAppEvents::cleanup()
{
    static_cast<ApplicationEventHandlers&>(ApplicationEvents::instance()) = ApplicationEventHandlers();
    QVERIFY(!TAppEventList::instance().Installed());
}

void TstAppEvents::walkGoesNewestFirstAndEndsAtAnUnchainedComponent()
{
    QStringList log;
    ApplicationEvents& events = ApplicationEvents::instance();
    events.OnIdle = [&log](QObject*, bool&) { log << "saved"; };
    TAppEvents first;
    TAppEvents second;
    first.OnIdle = [&log](QObject* sender, bool&) {
        QCOMPARE(sender, qApp);
        log << "first";
    };
    second.OnIdle = [&log](QObject*, bool&) { log << "second"; };
    RunIdle();
    QCOMPARE(log.mid(0, 3), QStringList({ "second", "first", "saved" }));

    // An unchained component ends the walk even without a handler of its own.
    log.clear();
    TAppEvents third;
    third.SetChained(false);
    bool done = true;
    events.OnIdle(qApp, done);
    QCOMPARE(log, QStringList());
    third.OnIdle = [&log](QObject*, bool&) { log << "third"; };
    events.OnIdle(qApp, done);
    QCOMPARE(log, QStringList({ "third" }));

    // Done false asks for another idle round at once.
    int rounds = 0;
    third.OnIdle = [&rounds](QObject*, bool& done) { done = ++rounds >= 5; };
    RunIdle();
    QVERIFY(rounds >= 5);
}

void TstAppEvents::removingTheLastComponentRestoresTheSavedHandlers()
{
    QStringList log;
    ApplicationEvents& events = ApplicationEvents::instance();
    events.OnHint = [&log](QObject*) { log << "saved"; };
    events.OnRestore = [&log](QObject*) { log << "restore"; };
    {
        TAppEvents first;
        first.OnHint = [&log](QObject*) { log << "first"; };
        {
            TAppEvents second;
            QVERIFY(TAppEventList::instance().Installed());
        }
        events.OnHint(qApp);
        QCOMPARE(log, QStringList({ "first", "saved" }));
        log.clear();
    }
    QVERIFY(!TAppEventList::instance().Installed());
    events.OnHint(qApp);
    events.OnRestore(qApp);
    QCOMPARE(log, QStringList({ "saved", "restore" }));
    log.clear();

    // A handler the program puts in while components exist stays after them.
    {
        TAppEvents component;
        events.OnHint = [&log](QObject*) { log << "program"; };
    }
    events.OnHint(qApp);
    events.OnRestore(qApp);
    QCOMPARE(log, QStringList({ "program", "restore" }));
    QVERIFY(!events.OnActivate);
}

void TstAppEvents::exceptionsOfHandlersReachTheComponentsOrTheErrorBox()
{
    ScriptedDialogs dialogs;
    RaiseInHandler();
    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Chyba v obsluze"));
    QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);
    QStringList log;
    {
        TAppEvents first;
        TAppEvents second;
        RaiseInHandler(); // components without a handler: the error box too
        QCOMPARE(Dialogs::shown().size(), 2);
        first.OnException = [&log](QObject* sender, const std::exception& e) {
            QCOMPARE(sender, qApp);
            log << "first: " + MessageOf(e);
        };
        second.OnException = [&log](QObject*, const std::exception& e) { log << "second: " + MessageOf(e); };
        RaiseInHandler();
        QCOMPARE(log, QStringList({ "second: Chyba v obsluze", "first: Chyba v obsluze" }));
        // A handler that raises itself gets the error box.
        second.OnException = [](QObject*, const std::exception&) { throw KorvelError(QStringLiteral("Druhotná")); };
        RaiseInHandler();
        QCOMPARE(Dialogs::shown().size(), 3);
        QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Druhotná"));
    }
    // The handler that stood there before the components gets it at the end.
    log.clear();
    ApplicationEvents::instance().OnException = [&log](QObject*, const std::exception& e) { log << MessageOf(e); };
    TAppEvents component;
    RaiseInHandler();
    QCOMPARE(log, QStringList({ "Chyba v obsluze" }));
    QCOMPARE(Dialogs::shown().size(), 3);
}

// OnMessage ends at the handler that handled it; OnHelp gives the last
// handler's result.
void TstAppEvents::messageAndHelpRules()
{
    QStringList log;
    ApplicationEvents& events = ApplicationEvents::instance();
    events.OnMessage = [&log](TMsg&, bool&) { log << "saved"; };
    TAppEvents first;
    TAppEvents second;
    first.OnMessage = [&log](TMsg&, bool&) { log << "first"; };
    second.OnMessage = [&log](TMsg& msg, bool& handled) {
        log << "second";
        handled = msg.EventType == "ours";
    };
    int payload = 0;
    qintptr result = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QVERIFY(dispatcher->filterNativeEvent("ours", &payload, &result));
    QCOMPARE(log, QStringList({ "second" }));
    QVERIFY(!dispatcher->filterNativeEvent("theirs", &payload, &result));
    QCOMPARE(log, QStringList({ "second", "second", "first", "saved" }));

    bool callHelp = false;
    QVERIFY(!events.HelpCommand(1, 42, callHelp));
    QVERIFY(callHelp);
    QList<qint32> seen;
    first.OnHelp = [&seen](quint16, qint32 data, bool& call) {
        seen << data;
        call = false;
        return true;
    };
    second.OnHelp = [&seen](quint16, qint32 data, bool&) {
        seen << -data;
        return false;
    };
    QVERIFY(events.HelpCommand(1, 42, callHelp));
    QCOMPARE(seen, QList<qint32>({ -42, 42 }));
    QVERIFY(!callHelp);
    second.SetChained(false);
    QVERIFY(!events.HelpCommand(1, 7, callHelp));
}

void TstAppEvents::hintSettingsAreTheApplications()
{
    TAppEvents first;
    first.SetHintPause(123);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 123);
    first.SetShowMainForm(false);
    // Another component reads the application's values; its Loaded writes
    // its own, the defaults, over them.
    TAppEvents second;
    QCOMPARE(second.HintPause(), 123);
    QVERIFY(!second.ShowMainForm());
    second.Loaded();
    QCOMPARE(first.HintPause(), 500);
    QCOMPARE(first.HintHidePause(), 2500);
    QVERIFY(first.ShowMainForm());
    QCOMPARE(first.HintColor(), ColorToRGB(clInfoBk));
    first.SetHintColor(clYellow);
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::yellow));
    second.Loaded();
}

void TstAppEvents::hintsFollowTipsAndShowHint()
{
    QWidget w;
    w.resize(100, 50);
    w.setToolTip(QStringLiteral("Nápověda"));
    w.show();
    const auto ask = [&w] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), w.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&w, &help);
    };
    ApplicationEvents& events = ApplicationEvents::instance();
    events.SetShowHint(false);
    ask();
    QVERIFY(!QToolTip::isVisible());

    events.SetShowHint(true);
    TAppEvents component;
    bool show = true;
    component.OnShowHint = [&show](QString& text, bool& canShow, THintInfo& info) {
        text += QStringLiteral(" (upraveno)");
        canShow = show;
        QCOMPARE(info.HideTimeout, 2500);
    };
    component.SetHintHidePause(2500);
    ask();
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Nápověda (upraveno)"));
    show = false;
    ask();
    QTRY_VERIFY(!QToolTip::isVisible()); // it fades out

    // OnHint: the status tip under the mouse changed.
    int hints = 0;
    component.OnHint = [&hints](QObject*) { ++hints; };
    QWidget form;
    auto* child = new QWidget(&form);
    QStatusTipEvent tip(QStringLiteral("Uloží změny"));
    // The tip travels from the child up to the form: one change.
    QCoreApplication::sendEvent(child, &tip);
    QCOMPARE(hints, 1);
    QCOMPARE(ApplicationEvents::instance().Hint(), QStringLiteral("Uloží změny"));
    QCoreApplication::sendEvent(child, &tip);
    QCOMPARE(hints, 1);
    QStatusTipEvent none { QString() };
    QCoreApplication::sendEvent(&form, &none);
    QCOMPARE(hints, 2);
    QVERIFY(ApplicationEvents::instance().Hint().isEmpty());
}

void TstAppEvents::settingsChangedReachesEveryComponentNewestFirst()
{
    ScriptedDialogs dialogs;
    QStringList log;
    TAppEvents first;
    TAppEvents second;
    first.OnSettingsChanged = [&log, &first](QObject* sender) {
        QCOMPARE(sender, &first);
        log << "first";
    };
    second.OnSettingsChanged = [&log](QObject*) { log << "second"; };
    second.SetChained(false);
    QEvent fonts(QEvent::ApplicationFontChange);
    QCoreApplication::sendEvent(qApp, &fonts);
    QCOMPARE(log, QStringList({ "second", "first" }));

    log.clear();
    second.OnSettingsChanged = [](QObject*) { throw KorvelError(QStringLiteral("Nastavení")); };
    first.OnException = [&log](QObject*, const std::exception& e) { log << "caught " + MessageOf(e); };
    QEvent palette(QEvent::ApplicationPaletteChange);
    QCoreApplication::sendEvent(qApp, &palette);
    // The unchained second has no exception handler, yet ends that walk.
    QCOMPARE(log, QStringList({ "first" }));
    QCOMPARE(Dialogs::shown().size(), 1);
    second.SetChained(true);
    log.clear();
    QCoreApplication::sendEvent(qApp, &palette);
    QCOMPARE(log, QStringList({ "caught Nastavení", "first" }));
}

void TstAppEvents::activationMinimiseAndFocus()
{
    QStringList log;
    TAppEvents component;
    for (auto [event, name] :
        { std::pair { &TAppEvents::OnActivate, "activate" }, { &TAppEvents::OnDeactivate, "deactivate" },
            { &TAppEvents::OnMinimize, "minimize" }, { &TAppEvents::OnRestore, "restore" } }) {
        // clang 14 cannot capture a structured binding.
        const char* const text = name;
        component.*event = [&log, text](QObject*) { log << text; };
    }
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    log.clear();
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    emit qApp->applicationStateChanged(Qt::ApplicationHidden);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QCOMPARE(log, QStringList({ "activate", "deactivate" }));

    log.clear();
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* one = new QLineEdit(&w);
    auto* two = new QLineEdit(&w);
    layout->addWidget(one);
    layout->addWidget(two);
    w.show();
    w.setWindowState(Qt::WindowMinimized);
    w.setWindowState(Qt::WindowNoState);
    QCOMPARE(log, QStringList({ "minimize", "restore" }));

    int focusChanges = 0;
    component.OnActiveControlChange = [&focusChanges](QObject*) { ++focusChanges; };
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    one->setFocus();
    two->setFocus();
    QVERIFY(focusChanges >= 2);
}

int main(int argc, char** argv)
{
    Application app(argc, argv, QStringLiteral("tst_appevents"));
    TstAppEvents test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appevents.moc"
