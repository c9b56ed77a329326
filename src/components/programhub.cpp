#include "programhub.h"

#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "shared/mojepopredi.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>

#include <cstdio>

TProgramHub::TProgramHub(FormFactory& forms, const QString& aboutName)
    : m_forms(forms)
    , m_aboutName(aboutName)
{
    resize(200, 100);
}

void TProgramHub::WindowOpened()
{
    ++m_openWindows;
}

void TProgramHub::WindowClosed()
{
    if (--m_openWindows <= 0)
        close();
}

void TProgramHub::EndIfNoWindow()
{
    if (m_openWindows <= 0)
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
