#include "contexthelp.h"

#include "components/alabel.h"
#include "platform/application.h"
#include "platform/help.h"

#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr char HelpContextProperty[] = "helpContext";

// What the class library called a window control: a control with a window of
// its own, which the help looks for. Labels are drawn on their parent and
// never were; the menu bar stood outside the client area; Qt's inner parts of
// a control (named "qt_…" or not at all) are no components of the form.
bool IsWindowControl(const QWidget* c, const QWidget* form)
{
    if (c->isWindow() || c->window() != form)
        return false;
    const QString name = c->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        return false;
    return !qobject_cast<const QLabel*>(c) && !qobject_cast<const TALabel*>(c) && !qobject_cast<const QMenuBar*>(c);
}

} // namespace

int HelpContext(const QWidget* w)
{
    return w->property(HelpContextProperty).toInt();
}

void SetHelpContext(QWidget* w, int context)
{
    w->setProperty(HelpContextProperty, context);
}

bool AllParentsVisible(const QWidget* control)
{
    for (const QWidget* p = control->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (!p->isVisible())
            return false;
    return true;
}

void ShowHelpContext(QWidget* window, int context)
{
    const bool topic = context >= 1 && context <= 9999;
    Help::winHelp(window, topic ? Help::Command::Context : Help::Command::ContextPopup, context);
}

HelpTarget FindHelpTarget(QWidget* form, const QPoint& globalPos)
{
    HelpTarget result;
    int bestWidth = form->width();
    int bestHeight = form->height();
    const QPoint local = form->mapFromGlobal(globalPos);
    if (local.x() > 0 && local.x() < form->width() && local.y() > 0 && local.y() < form->height())
        result.Context = HelpContext(form);
    // From the last made to the first, a control no larger than the best so
    // far replaces it: the smallest wins, among equals the one made first.
    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        QWidget* c = *it;
        if (!IsWindowControl(c, form))
            continue;
        const QPoint p = c->mapFromGlobal(globalPos);
        if (p.x() < 0 || p.x() > c->width() || p.y() < 0 || p.y() > c->height())
            continue;
        if (!c->isVisible() || c->width() > bestWidth || c->height() > bestHeight || !AllParentsVisible(c))
            continue;
        bestWidth = c->width();
        bestHeight = c->height();
        result.Target = c;
        result.Context = HelpContext(c);
    }
    return result;
}

ContextHelpMode::ContextHelpMode(QWidget* form)
    : QObject(form)
    , m_form(form)
{
    form->installEventFilter(this);
}

ContextHelpMode::~ContextHelpMode()
{
    Leave();
}

void ContextHelpMode::Enter()
{
    if (!m_form)
        return;
    m_active = true;
    m_form->setCursor(Qt::WhatsThisCursor);
    // Every press, on the form or anywhere else, comes to the form now.
    m_form->grabMouse(Qt::WhatsThisCursor);
}

void ContextHelpMode::Leave()
{
    if (!m_active)
        return;
    m_active = false;
    if (!m_form)
        return;
    m_form->releaseMouse();
    m_form->unsetCursor();
}

bool ContextHelpMode::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_active || watched != m_form)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPoint globalPos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        Leave();
        const HelpTarget target = FindHelpTarget(m_form, globalPos);
        QWidget* window = target.Target ? target.Target : m_form.data();
        RunGuarded([&] { ShowHelpContext(window, target.Context); });
        return true;
    }
    case QEvent::Close:
    case QEvent::Hide:
        Leave();
        break;
    default:
        break;
    }
    return false;
}
