#include "dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace {

struct Script {
    bool on = false;
    QQueue<int> answers;
    QQueue<std::function<int(QDialog*)>> modals;
    QQueue<QString> files;
    QList<Dialogs::FileRequest> fileRequests;
    QList<Dialogs::Shown> shown;
    QStringList modalNames;
    QList<MsgDlgType> beeps;
};

Script& script()
{
    static Script s;
    return s;
}

// KORVEL_DIALOG_LOG names a file to which every message shown is appended,
// one line each, so end-to-end tests can wait for a message and check it.
void logMessage(MsgDlgType type, const QString& text)
{
    const QString path = qEnvironmentVariable("KORVEL_DIALOG_LOG");
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append | QIODevice::Text))
        return;
    QString line = Dialogs::typeCaption(type) + u'\t' + text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    f.write(line.toUtf8() + '\n');
}

constexpr struct {
    int button;
    int result;
    QMessageBox::ButtonRole role;
} kButtons[] = {
    {MsgBtn::Yes, mrYes, QMessageBox::YesRole},
    {MsgBtn::No, mrNo, QMessageBox::NoRole},
    {MsgBtn::OK, mrOk, QMessageBox::AcceptRole},
    {MsgBtn::Cancel, mrCancel, QMessageBox::RejectRole},
    {MsgBtn::Abort, mrAbort, QMessageBox::RejectRole},
    {MsgBtn::Retry, mrRetry, QMessageBox::AcceptRole},
    {MsgBtn::Ignore, mrIgnore, QMessageBox::AcceptRole},
    {MsgBtn::All, mrAll, QMessageBox::AcceptRole},
};

QMessageBox::Icon iconOf(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    case MsgDlgType::Custom:
        break;
    }
    return QMessageBox::NoIcon;
}

QString scriptedFile(const QString& caption, const QString& dir, const QString& filter,
                     const Dialogs::FileDialogSetup* setup)
{
    Script& s = script();
    s.fileRequests.append({caption, dir, filter, setup ? setup->selectedFilter : QString()});
    return s.files.isEmpty() ? QString() : s.files.dequeue();
}

// One dialog for every kind: Qt's static helpers cannot take a preselected
// filter back, a default suffix, a history or extra controls.
QStringList runFileDialog(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                          QFileDialog::FileMode mode, QFileDialog::AcceptMode accept,
                          Dialogs::FileDialogSetup* setup)
{
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    if (setup) {
        dialog.setOptions(dialog.options() | QFileDialog::Options(setup->options));
        if (!setup->selectedFilter.isEmpty())
            dialog.selectNameFilter(setup->selectedFilter);
        dialog.setDefaultSuffix(setup->defaultSuffix);
        if (!setup->history.isEmpty())
            dialog.setHistory(setup->history);
        if (setup->prepare)
            setup->prepare(dialog);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (setup)
        setup->selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles();
}

QString firstOf(const QStringList& files)
{
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

namespace Dialogs {

QString buttonCaption(int button)
{
    switch (button) {
    case MsgBtn::Yes:
        return QStringLiteral("&Ano");
    case MsgBtn::No:
        return QStringLiteral("&Ne");
    case MsgBtn::OK:
        return QStringLiteral("OK");
    case MsgBtn::Cancel:
        return QStringLiteral("Zrušit");
    case MsgBtn::Abort:
        return QStringLiteral("&Přerušit");
    case MsgBtn::Retry:
        return QStringLiteral("&Opakovat");
    case MsgBtn::Ignore:
        return QStringLiteral("&Ignorovat");
    case MsgBtn::All:
        return QStringLiteral("&Vše");
    }
    return {};
}

QString typeCaption(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return QStringLiteral("Varování");
    case MsgDlgType::Error:
        return QStringLiteral("Chyba");
    case MsgDlgType::Information:
        return QStringLiteral("Informace");
    case MsgDlgType::Confirmation:
        return QStringLiteral("Potvrzení");
    case MsgDlgType::Custom:
        break;
    }
    return QApplication::applicationDisplayName();
}

QPoint centredOver(const QSize& dialog, const QPoint& ownerPos, const QSize& ownerSize)
{
    // C++ integer division truncates toward zero, as the original's div did.
    return {ownerPos.x() + ownerSize.width() / 2 - dialog.width() / 2,
            ownerPos.y() + ownerSize.height() / 2 - dialog.height() / 2};
}

int messageDlg(const QString& text, MsgDlgType type, int buttons, int helpContext)
{
    logMessage(type, text);
    Script& s = script();
    if (s.on) {
        s.shown.append({text, type, buttons, helpContext});
        if (!s.answers.isEmpty())
            return s.answers.dequeue();
        for (const auto& b : kButtons)
            if (buttons & b.button)
                return b.result;
        return mrCancel;
    }

    // Messages break their lines with "\r" as the original's did; Qt breaks only at "\n".
    QString shownText = text;
    shownText.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QMessageBox box(iconOf(type), typeCaption(type), shownText, QMessageBox::NoButton, QApplication::activeWindow());
    // Escape answers Cancel, or else No, or else OK, as the class library's dialog did.
    const int escape = (buttons & MsgBtn::Cancel) ? MsgBtn::Cancel : (buttons & MsgBtn::No) ? MsgBtn::No : MsgBtn::OK;
    QHash<QAbstractButton*, int> results;
    for (const auto& b : kButtons) {
        if (buttons & b.button) {
            QPushButton* pb = box.addButton(buttonCaption(b.button), b.role);
            results.insert(pb, b.result);
            if (!box.defaultButton())
                box.setDefaultButton(pb);
            if (b.button == escape)
                box.setEscapeButton(pb);
        }
    }
    box.adjustSize();
    if (QWidget* active = QApplication::activeWindow())
        box.move(centredOver(box.frameGeometry().size(), active->frameGeometry().topLeft(),
                             active->frameGeometry().size()));
    box.exec();
    return results.value(box.clickedButton(), mrCancel);
}

void showMessage(const QString& text)
{
    messageDlg(text, MsgDlgType::Custom, MsgBtn::OK);
}

void messageBeep(MsgDlgType type)
{
    Script& s = script();
    if (s.on) {
        s.beeps.append(type);
        return;
    }
    QApplication::beep();
}

int execModal(QDialog* dialog)
{
    Script& s = script();
    if (!s.on)
        return dialog->exec();
    s.modalNames.append(dialog->objectName());
    if (s.modals.isEmpty())
        return mrCancel;
    return s.modals.dequeue()(dialog);
}

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                        FileDialogSetup* setup)
{
    if (script().on)
        return scriptedFile(caption, dir, filter, setup);
    return firstOf(
        runFileDialog(parent, caption, dir, filter, QFileDialog::ExistingFile, QFileDialog::AcceptOpen, setup));
}

QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                             FileDialogSetup* setup)
{
    if (script().on)
        return scriptedFile(caption, dir, filter, setup).split(u'\n', Qt::SkipEmptyParts);
    return runFileDialog(parent, caption, dir, filter, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, setup);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                        FileDialogSetup* setup)
{
    if (script().on)
        return scriptedFile(caption, dir, filter, setup);
    return firstOf(runFileDialog(parent, caption, dir, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave, setup));
}

QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir, FileDialogSetup* setup)
{
    if (script().on)
        return scriptedFile(caption, dir, QString(), setup);
    return firstOf(
        runFileDialog(parent, caption, dir, QString(), QFileDialog::Directory, QFileDialog::AcceptOpen, setup));
}

void setScripted(bool on)
{
    script().on = on;
}

bool isScripted()
{
    return script().on;
}

void queueAnswer(int modalResult)
{
    script().answers.enqueue(modalResult);
}

void queueModal(std::function<int(QDialog*)> handler)
{
    script().modals.enqueue(std::move(handler));
}

void queueFileAnswer(const QString& path)
{
    script().files.enqueue(path);
}

QList<FileRequest> fileRequests()
{
    return script().fileRequests;
}

QList<Shown> shown()
{
    return script().shown;
}

QStringList shownModals()
{
    return script().modalNames;
}

QList<MsgDlgType> beeps()
{
    return script().beeps;
}

void clearScript()
{
    const bool on = script().on;
    script() = Script();
    script().on = on;
}

} // namespace Dialogs
