#pragma once

#include <QString>

#include <functional>

class QWidget;

// The programs' help: a folder of pages shipped in the program folder, one
// page per context number ("<number>.html") and "index.html" as the contents.
// A topic opens in the desktop's browser; a popup topic shows its page in a
// small window at the mouse. A topic without a page is answered with a Czech
// message, so a missing or partial help never leaves the user without a word.
namespace Help {

enum class Command {
    Context, // the topic as a page of its own
    ContextPopup, // the topic in a small window at the mouse
};

// The help folder of the running program; empty until set.
void setHelpFile(const QString& folder);
QString helpFile();

// The folder of the help beside the programs.
QString helpFolderIn(const QString& programFolder);
QString indexPath(const QString& helpFolder);
QString pagePath(const QString& helpFolder, int context);

// Opens topic context of the help file for window (which may be null).
// Returns whether a page was there to show.
bool winHelp(QWidget* window, Command command, int context);

// The message that stands in for a topic without a page.
QString missingTopicText(int context);

// --- tests ---
// Pages go to opener instead of the browser or the popup window; an empty
// function brings those back.
void setPageOpener(std::function<void(const QString& path, Command command)> opener);

} // namespace Help
