#include "programhub.h"

#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "shared/mojepopredi.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QThread>

#include <cstdio>

TProgramHub::TProgramHub(FormFactory& forms, const QString& aboutName)
    : m_forms(forms)
    , m_aboutName(aboutName)
{
    resize(200, 100);
    m_endStep.setInterval(50);
    connect(&m_endStep, &QTimer::timeout, this, &TProgramHub::EndStep);
    connect(&m_endSignals, &EndSignals::received, this, &TProgramHub::EndSession);
}

void TProgramHub::WindowOpened()
{
    ++m_openWindows;
}

void TProgramHub::WindowClosed()
{
    if (--m_openWindows <= 0 && !m_ending)
        close();
}

void TProgramHub::EndIfNoWindow()
{
    if (m_openWindows <= 0 && !m_ending)
        close();
}

void TProgramHub::EndSession()
{
    if (m_ending)
        return;
    m_ending = true;
    m_endStep.start();
    EndStep();
}

// One step of the orderly end, repeated until the program ends. A window is
// closed only once no handler is waiting below in a loop of its own (a
// modal dialog's, a wait): freeing a window whose code still runs would
// pull the ground from under it.
void TProgramHub::EndStep()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        return;
    }
    if (QThread::currentThread()->loopLevel() > 1)
        return;
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowType() != Qt::ToolTip)
            windows.append(w);
    bool open = false;
    for (const QPointer<QWidget>& w : windows) {
        if (!w)
            continue;
        w->close();
        // A window finishing work it must not leave half done refuses.
        open = open || (w && w->isVisible());
    }
    if (open || HoldsEnd())
        return;
    m_endStep.stop();
    close();
}

QWidget* TProgramHub::OpenByName(const QString& name, OpenMode mode)
{
    if (QWidget* open = FindForm(name)) {
        BringToFront(open);
        return open;
    }
    QWidget* w = m_forms.Create(name, mode);
    if (!w) {
        EndIfNoWindow();
        return nullptr;
    }
    w->show();
    return w;
}

void TProgramHub::ShowAbout()
{
    if (QWidget* about = FindForm(m_aboutName)) {
        BringToFront(about);
        return;
    }
    QWidget* w = m_forms.Create(m_aboutName);
    if (auto* dialog = qobject_cast<QDialog*>(w))
        Dialogs::execModal(dialog);
    else if (w)
        w->show();
}

void TProgramHub::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit Closed();
    Application::terminate();
}

std::optional<int> ClaimProgramTitle(const QString& title)
{
    switch (CommandChannel::own().listen(title)) {
    case CommandChannel::ListenResult::Listening:
        return std::nullopt;
    case CommandChannel::ListenResult::AlreadyRunning:
        CommandChannel::post(title, 0);
        return 0;
    case CommandChannel::ListenResult::Failed:
        break;
    }
    return EndWithoutCommandFolder();
}

int EndWithoutCommandFolder()
{
    const QString folder = CommandChannel::socketFolder();
    std::fprintf(stderr, "%s: cannot receive commands (unusable folder %s)\n",
        qPrintable(QCoreApplication::applicationName()), qPrintable(folder));
    Dialogs::messageDlg(QStringLiteral("Složku pro příkazy mezi programy nelze použít:\n%1\n"
                                       "(patří jinému uživateli, je to odkaz, nebo v ní nelze vytvořit soubor)\n"
                                       "ukončuji aplikaci")
                            .arg(folder),
        MsgDlgType::Warning, MsgBtn::OK);
    return 1;
}
