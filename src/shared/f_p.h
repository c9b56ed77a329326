#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <functional>

class IniReader;
class QMenu;
class QTextEdit;
class QWidget;

// One settings value per call: the file is read or written at once and no
// settings object outlives the call. A failed write throws IniWriteError.
QString IniReadString(const QString& iniPath, const QString& section, const QString& key, const QString& def);
void IniWriteString(const QString& iniPath, const QString& section, const QString& key, const QString& value);
int IniReadInteger(const QString& iniPath, const QString& section, const QString& key, int def);
void IniWriteInteger(const QString& iniPath, const QString& section, const QString& key, int value);
bool IniReadBool(const QString& iniPath, const QString& section, const QString& key, bool def);
void IniWriteBool(const QString& iniPath, const QString& section, const QString& key, bool value);

// A modal message centred over the window the user works in; returns the
// modal result (mrYes, mrNo, mrOk …).
int MessageDlgCentered(const QString& text, MsgDlgType type, int buttons, int helpContext);
// The same after the system sound of the dialog type.
int MessageDlgBeep(const QString& text, MsgDlgType type, int buttons, int helpContext);

// A path the user picked for storage (a sound file, a folder) must survive
// the settings and record files, which hold CP1250 only: a character they
// lack would come back as "?" and the path would lead nowhere. Such a path
// is refused with a message naming it; the result tells whether to go on.
bool StorablePathAccepted(const QString& path);

// Runs handler whenever the focus moves from control to another control of
// its window; a switch to another window or a menu is no exit, nor is the
// destruction of the control or its window. No event is let in while it
// runs (EventPump::Hold): the user's next key or click waits for its end.
// An exception from handler is shown and swallowed.
void OnExit(QWidget* control, std::function<void()> handler);

// [Nastav] zobriconform: every window gets a taskbar button of its own.
bool ReadShowIconForm(const IniReader& ini);

// Long texts are stored in consecutive record strings of 255 characters.
// The text is counted as the Windows edit control held it: a line break is
// CR LF, two characters, and every character one CP1250 byte. MemoPiece gives
// piece n (1-based), empty past the end of the text.
constexpr int MemoPieceLength = 255;
QString MemoPiece(int n, const QTextEdit* memo);
// The same of a text as a memo shows it (line breaks "\n").
QString MemoPiece(int n, const QString& text);
// The memo text of its stored pieces, line breaks back to "\n". A line break
// cut between two pieces is whole again.
QString JoinMemoPieces(const QStringList& pieces);

// [Memo] zarov (1 left, 2 centred, 3 right) and font (size in points; 0
// keeps the form's size). The alignment applies to the whole text.
void SaveMemoLook(const QTextEdit* memo, const QString& iniPath);
void LoadMemoLook(QTextEdit* memo, const IniReader& ini);

// The memo's look as its pop-up menu changes it. The alignment (zarov as in
// [Memo]) covers the whole text, text set later too; it is no change of the
// text, so the modified state stays. The font size steps by delta points and
// never goes below 1.
void SetMemoAlignment(QTextEdit* memo, int zarov);
void StepMemoFontSize(QTextEdit* memo, int delta);
// The memo's pop-up menu "PMenuMemo", a child of owner: "&zarovnání",
// "&font velikost" and "ulož jako výchozí", which saves the look into the
// settings file settingsFile names at that moment.
QMenu* CreateMemoMenu(QTextEdit* memo, QWidget* owner, std::function<QString()> settingsFile);
// The memo holds no more text than the given number of stored pieces take
// (counted as MemoPiece counts): what goes beyond is taken back from before
// the cursor, where it was typed or pasted.
void LimitMemoToPieces(QTextEdit* memo, int pieces);
// The same for a limit of maxLength characters.
void LimitMemoLength(QTextEdit* memo, int maxLength);
