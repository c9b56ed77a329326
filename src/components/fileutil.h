#pragma once

#include <QObject>
#include <QString>

class QFileDialog;

enum TBrowseKind { bfFolders, bfComputers };
enum TDialogPosition { dpDefault, dpScreenCenter };

// The folder dialog of the file and directory edits: Qt's folder dialog,
// showing folders only, with the dialog text above the list, an optional
// help button and OK only while the selection is an existing folder.
// Network computers cannot be browsed here: bfComputers finds nothing.
class TBrowseFolderDlg : public QObject {
    Q_OBJECT
public:
    explicit TBrowseFolderDlg(QObject* owner = nullptr);

    TBrowseKind BrowseKind() const { return m_browseKind; }
    void SetBrowseKind(TBrowseKind kind) { m_browseKind = kind; }
    // True: the dialog starts at the home folder, else at "/" (when FolderName
    // is no existing folder).
    bool DesktopRoot() const { return m_desktopRoot; }
    void SetDesktopRoot(bool on) { m_desktopRoot = on; }
    QString DialogText() const { return m_dialogText; }
    void SetDialogText(const QString& text) { m_dialogText = text; }
    // The preset selection, and the result.
    QString FolderName() const { return m_folderName; }
    void SetFolderName(const QString& name) { m_folderName = name; }
    // Non-zero adds a help button that opens this topic of the program's help.
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int context) { m_helpContext = context; }
    TDialogPosition Position() const { return m_position; }
    void SetPosition(TDialogPosition position) { m_position = position; }

    // The folder selected while the dialog is open; empty while the selection
    // is no folder.
    QString Selection() const { return m_selection; }

    // True when the user chose a folder; FolderName then holds it without a
    // trailing separator.
    bool RunDialog();

signals:
    // The dialog window is ready.
    void OnInitialized();
    void OnSelChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Prepare(QFileDialog& dialog);

    TBrowseKind m_browseKind = bfFolders;
    bool m_desktopRoot = true;
    QString m_dialogText;
    QString m_folderName;
    int m_helpContext = 0;
    TDialogPosition m_position = dpScreenCenter;
    QString m_selection;
    QFileDialog* m_dialog = nullptr;
};

// Runs the folder dialog with path preselected; on success path takes the
// chosen folder.
bool PickDirectory(QString& path, const QString& dialogText, int helpContext);

// Adds a "&Help" button to a dialog of Qt's own (non-native) kind; it opens
// the help topic.
void AddHelpButton(QFileDialog& dialog, int helpContext);

// Paths as the edits hold them: "/" and "\" both separate; a stored Windows
// path ("C:\...") is kept as text but can never exist here, nor can a path on a
// volume that does not answer in time.

// One trailing separator removed, except from a one-character text or a drive
// root "X:\".
QString StripTrailingBackslash(const QString& path);
bool IsExistingDirectory(const QString& path);
// Whether any character of chars occurs in text.
bool ContainsAnyChar(const QString& text, const QString& chars);
// Non-empty and none of < > " [ ] |.
bool IsAcceptableFileName(const QString& name);
// The name of the last component as it stands on disk; empty when nothing of
// that name exists. There are no short names here: both give the same.
QString ToLongFileName(const QString& path);
QString ToShortFileName(const QString& path);
// The whole path converted component by component; a component that is not
// found contributes an empty name.
QString ToLongPath(const QString& path);
QString ToShortPath(const QString& path);
// The folder part with its trailing separator (or a drive "X:"), and the name
// after it.
QString ExtractFilePath(const QString& path);
QString ExtractFileName(const QString& path);
