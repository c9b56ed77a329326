#pragma once

#include "components/basewindow.h"
#include "components/forms.h"
#include "platform/endsignals.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

// The hidden main form of a program whose windows come and go at the other
// programs' request (the reminders and the contacts program): it is never
// shown, counts the program's open windows and closes with the last one,
// which ends the program; it opens windows by name through the program's
// window table, or brings an open one forward.
//
// SIGTERM and SIGHUP (the end of the user's session) end the program in an
// orderly way: open dialogs are answered as Escape answers them, then every
// window closes as its close box closes it (what it keeps on closing is
// kept; input never confirmed is not stored), and the program ends once no
// window stays open and nothing holds the end (HoldsEnd).
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

    // The orderly end that SIGTERM and SIGHUP start; a second request
    // changes nothing.
    void EndSession();
    // The program is ending: windows close without asking the user.
    bool Ending() const { return m_ending; }

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
    // Asked while the program is ending, once its windows are closed: true
    // keeps it running a while longer (asked again shortly).
    virtual bool HoldsEnd() { return false; }

    void closeEvent(QCloseEvent* event) override;

private:
    void EndStep();

    FormFactory& m_forms;
    QString m_aboutName;
    int m_openWindows = 0;
    EndSignals m_endSignals;
    bool m_ending = false;
    QTimer m_endStep;
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
