#pragma once

#include <QUrl>

#include <functional>

// Opens a link with the desktop's program for it, as the shell's "open" verb
// did: a "mailto:" link in the mail program, a web address in the browser.
// Returns whether the desktop took it.
bool ShellOpen(const QUrl& url);

// --- tests ---
// Links go to opener instead of the desktop; an empty function brings the
// desktop back.
void SetShellOpener(std::function<bool(const QUrl& url)> opener);
