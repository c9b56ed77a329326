#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QFileDialog;
class QWidget;

// The class library's modal results.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons of a message dialog, combined with |.
namespace MsgBtn {
enum : int {
    Yes = 0x01,
    No = 0x02,
    OK = 0x04,
    Cancel = 0x08,
    Abort = 0x10,
    Retry = 0x20,
    Ignore = 0x40,
    All = 0x80,
};
}

// Every modal dialog of the programs goes through here, so tests can answer
// them. In scripted mode nothing is shown: a message takes the next queued
// answer (or its first button), a modal form the next queued handler (or
// Cancel), a file dialog the next queued path (or none).
namespace Dialogs {

int messageDlg(const QString& text, MsgDlgType type, int buttons, int helpContext = 0);
void showMessage(const QString& text);
void messageBeep(MsgDlgType type);
int execModal(QDialog* dialog);

// What a file or folder dialog is given beyond its caption, its folder (or a
// file to preselect) and its filter.
struct FileDialogSetup {
    // In: the filter shown first; out: the one the user left chosen.
    QString selectedFilter;
    // Given to a typed name that has none (no leading dot).
    QString defaultSuffix;
    QStringList history;
    // QFileDialog::Option flags.
    int options = 0;
    // Last touches on the real dialog before it shows (labels, buttons,
    // signals). Not called when scripted: nothing is shown then.
    std::function<void(QFileDialog&)> prepare;
};

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                        FileDialogSetup* setup = nullptr);
// Scripted, the next queued answer gives one file per line.
QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                             FileDialogSetup* setup = nullptr);
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                        FileDialogSetup* setup = nullptr);
QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir,
                             FileDialogSetup* setup = nullptr);

// Top-left corner that centres a dialog of the given size over a window's
// frame: integer division toward zero, no clamping to the screen.
QPoint centredOver(const QSize& dialog, const QPoint& ownerPos, const QSize& ownerSize);

QString buttonCaption(int button);
QString typeCaption(MsgDlgType type);

// --- tests ---
struct Shown {
    QString text;
    MsgDlgType type;
    int buttons;
    int helpContext;
};
void setScripted(bool on);
bool isScripted();
void queueAnswer(int modalResult);
void queueModal(std::function<int(QDialog*)> handler);
void queueFileAnswer(const QString& path);
// The file and folder dialogs asked for while scripted, in order.
struct FileRequest {
    QString caption;
    QString dir;
    QString filter;
    QString selectedFilter;
};
QList<FileRequest> fileRequests();
QList<Shown> shown();
QStringList shownModals(); // object names of the modal forms run
QList<MsgDlgType> beeps();
void clearScript();

} // namespace Dialogs
