#pragma once

#include "components/basewindow.h"
#include "components/forms.h"

#include <QString>
#include <QWidget>

#include <optional>

// The hidden main form of a program whose windows come and go at the other
// programs' request (the reminders and the contacts program): it is never
// shown, counts the program's open windows and closes with the last one,
// which ends the program; it opens windows by name through the program's
// window table, or brings an open one forward.
class TProgramHub : public QWidget, public BaseWindowHost {
    Q_OBJECT
public:
    int OpenWindowCount() const { return m_openWindows; }

    // BaseWindowHost
    QWidget* MainForm() override { return this; }
    void WindowOpened() override;
    void WindowClosed() override;
    // The about box, modal; an open one comes forward instead.
    void ShowAbout() override;

    // An open window of that name comes forward; otherwise a new one is made
    // and shown (not modal). Returns the window; null when none could be
    // made, and then a program without an open window ends.
    QWidget* OpenByName(const QString& name, OpenMode mode = OpenMode::Interactive);

signals:
    // The main form has closed: the program ends.
    void Closed();

protected:
    // forms: the program's windows by component name; aboutName: the name
    // its about box is registered and found under.
    TProgramHub(FormFactory& forms, const QString& aboutName);

    FormFactory& Forms() const { return m_forms; }
    // A code that showed nothing ends a program that has no window open.
    void EndIfNoWindow();

    void closeEvent(QCloseEvent* event) override;

private:
    FormFactory& m_forms;
    QString m_aboutName;
    int m_openWindows = 0;
};

// Claims the program's application title for the codes the other programs
// post. Empty: claimed, the program goes on. Otherwise the program is to end
// at once with the exit code given: a copy that runs already holds the title
// and has been sent code 0, which brings it forward (0); or the program
// cannot receive codes at all (1, see EndWithoutCommandFolder).
std::optional<int> ClaimProgramTitle(const QString& title);

// The command folder cannot be used (it belongs to another user, it is a
// link, or no socket can be made in it): a program that ran on would take no
// codes, and a second copy would start beside it. Tells the user, and the
// standard error output, and gives the exit code (1) the program ends with.
int EndWithoutCommandFolder();
