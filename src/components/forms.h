#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QWidget;

// The program's windows as the class library's application object knew them:
// found by their component name, made by name, minimised and restored as one.

// The window of the program whose objectName is name, compared without
// regard to case; null when none is open. A closed window, waiting to be
// freed, is not found.
QWidget* FindForm(const QString& name);
// A window's close handler marks it closed once the close is accepted.
void MarkFormClosed(QWidget* form);

// Every visible window of the program goes to the taskbar, and comes back.
void MinimizeApplication();
void RestoreApplication();

// How a window is asked for: by the user, or by the tray resident for a run
// without the user (the automatic import and export).
enum class OpenMode { Interactive, Automatic };

// Makes the windows a program opens by name. Each window's unit registers its
// class under its component name; the hubs ask for names only, so they need
// no window class. A name nobody registered yet is answered with a message
// saying that the window is not available.
class FormFactory {
public:
    using Creator = std::function<QWidget*(OpenMode mode)>;

    // An empty creator takes the window back out.
    void Register(const QString& name, Creator creator);
    bool Has(const QString& name) const;
    // A new window, not shown; null (after the message) for an unknown name.
    QWidget* Create(const QString& name, OpenMode mode = OpenMode::Interactive) const;

    static QString NotAvailableText(const QString& name);

private:
    QHash<QString, Creator> m_creators; // by the lower-case name
};
