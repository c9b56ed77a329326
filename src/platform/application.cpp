#include "application.h"

#include "dialogs.h"
#include "errors.h"

#include "programicon.h"
#include "useraction.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTranslator>

#include <utility>

Application::Application(int& argc, char** argv, const QString& title)
    : QApplication(argc, argv)
    , m_title(title)
    // Reading the font configuration costs a window more than anything else
    // before it shows: it is read beside the start-up and the wait for the
    // first code, so that the first window finds it done.
    , m_fontSetUp([] { QFontDatabase::families(); })
{
    // The name only: a display name would be appended to every caption on
    // X11 ("Nové připomenutí — Korvel-Pripomenuti").
    setApplicationName(title);
    setWindowIcon(ProgramIcon());
    LoadQtTranslations(*this);
}

Application::~Application()
{
    m_fontSetUp.join();
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    UserAction::NoteEvent(event);
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        handleException(e);
    }
    return false;
}

void Application::handleException(const std::exception& e)
{
    if (m_onException) {
        m_onException(e);
        return;
    }
    const auto* k = dynamic_cast<const KorvelError*>(&e);
    const QString text = k ? k->message() : QString::fromUtf8(e.what());
    Dialogs::messageDlg(text, MsgDlgType::Error, MsgBtn::OK);
}

bool LoadQtTranslations(QCoreApplication& app)
{
    // Qt's own dialogs and calendars speak Czech whatever the desktop's
    // language, as the rest of the program does.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void Application::terminate()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void ShowException(const std::exception& e)
{
    if (auto* app = qobject_cast<Application*>(QCoreApplication::instance())) {
        app->handleException(e);
        return;
    }
    const auto* k = dynamic_cast<const KorvelError*>(&e);
    Dialogs::messageDlg(k ? k->message() : QString::fromUtf8(e.what()), MsgDlgType::Error, MsgBtn::OK);
}

bool RunGuarded(const std::function<void()>& f)
{
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return false;
}

namespace {

struct PumpState {
    int depth = 0;
    int holds = 0;
    QList<QPointer<QObject>> deleteAfter;
};

PumpState& pumpState()
{
    static PumpState state;
    return state;
}

} // namespace

EventPump::EventPump(int intervalMs)
    : m_interval(intervalMs)
{
}

bool EventPump::operator()()
{
    PumpState& state = pumpState();
    if (state.holds > 0 || (m_since.isValid() && m_since.elapsed() < m_interval))
        return false;
    {
        const QScopedValueRollback<int> pumping(state.depth, state.depth + 1);
        QCoreApplication::processEvents();
    }
    m_since.start();
    // Posted from here, the deletions wait for the next processing of
    // events; one by another pump is put off again.
    if (state.depth == 0)
        for (const QPointer<QObject>& object : std::exchange(state.deleteAfter, {}))
            if (object)
                object->deleteLater();
    return true;
}

EventPump::Hold::Hold()
{
    ++pumpState().holds;
}

EventPump::Hold::~Hold()
{
    --pumpState().holds;
}

bool EventPump::Pumping()
{
    return pumpState().depth > 0;
}

void EventPump::DeleteAfterPumping(QObject* object)
{
    pumpState().deleteAfter.append(object);
}
