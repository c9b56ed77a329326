#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

class QTextEdit;

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

// [Nastav] zobriconform: every window gets a taskbar button of its own.
bool ReadShowIconForm(const QString& iniPath);

// Long texts are stored in consecutive record strings of 255 characters.
// The text is counted as the Windows edit control held it: a line break is
// CR LF, two characters, and every character one CP1250 byte. MemoPiece gives
// piece n (1-based), empty past the end of the text.
constexpr int MemoPieceLength = 255;
QString MemoPiece(int n, const QTextEdit* memo);
// The memo text of its stored pieces, line breaks back to "\n". A line break
// cut between two pieces is whole again.
QString JoinMemoPieces(const QStringList& pieces);

// [Memo] zarov (1 left, 2 centred, 3 right) and font (size in points; 0
// keeps the form's size). The alignment applies to the whole text.
void SaveMemoLook(const QTextEdit* memo, const QString& iniPath);
void LoadMemoLook(QTextEdit* memo, const QString& iniPath);
