#include "forms.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QWidget>

namespace {
constexpr const char* ClosedProperty = "korvelFormClosed";
}

void MarkFormClosed(QWidget* form)
{
    form->setProperty(ClosedProperty, true);
}

QWidget* FindForm(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        // A closed window waits only to be freed.
        if (w->property(ClosedProperty).toBool())
            continue;
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return w;
    }
    return nullptr;
}

void MinimizeApplication()
{
    // Each minimised window asks for the others again.
    static bool minimizing = false;
    if (minimizing)
        return;
    QScopedValueRollback<bool> guard(minimizing, true);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->isVisible() && !w->isMinimized())
            w->setWindowState(w->windowState() | Qt::WindowMinimized);
}

void RestoreApplication()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->isVisible() && w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized); // a maximised one stays maximised
}

void FormFactory::Register(const QString& name, Creator creator)
{
    m_creators.insert(name.toLower(), std::move(creator));
}

bool FormFactory::Has(const QString& name) const
{
    return m_creators.contains(name.toLower());
}

QWidget* FormFactory::Create(const QString& name, OpenMode mode) const
{
    const auto it = m_creators.constFind(name.toLower());
    if (it == m_creators.constEnd() || !*it) {
        Dialogs::messageDlg(NotAvailableText(name), MsgDlgType::Information, MsgBtn::OK);
        return nullptr;
    }
    return (*it)(mode);
}

QString FormFactory::NotAvailableText(const QString& name)
{
    return QStringLiteral("Okno %1 zatím není v této verzi programu k dispozici.").arg(name);
}
