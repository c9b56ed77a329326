#pragma once

#include <QString>

// The program folder: the folder of the running executable, without a
// trailing separator. Tests may point it elsewhere.
QString ProgramFolder();
void SetProgramFolderForTests(const QString& dir);

// Stored paths keep their Windows form ("\" separators, "\x" relative to the
// program folder after expansion). LocalPath turns such a text into a path of
// this file system: "\" becomes "/", and where the file does not exist as
// written, a file whose name differs only in letter case is taken (when its
// volume answers in time; else the path is kept as written). A path with a
// drive letter or a network share cannot exist here and gives "".
QString LocalPath(const QString& stored);

// The stored path with "/" separators, letter for letter; "" for a path with
// a drive letter or a network share.
QString PathAsWritten(const QString& stored);

// Whether the stored path names an existing file.
bool StoredFileExists(const QString& stored);
