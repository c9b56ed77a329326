#pragma once

#include <QString>

// Start-menu groups and shortcuts as freedesktop menu entries, in the user's
// data and configuration folders (XDG_DATA_HOME, XDG_CONFIG_HOME):
// - a group is a menu folder: the entries lie in applications/<group>/, the
//   folder's name and title in desktop-directories/<group>.directory, and the
//   submenu in menus/applications-merged/<group>.menu;
// - the group "STARTUP" is the autostart folder: the entry starts the program
//   when the user logs in.
// File names are the names in lower-case ASCII ("Nápověda" → napoveda), so
// adding an item again replaces it. A path that is no executable file is
// opened with the desktop's default program. Nothing at all happens when a
// text is empty, and a failure is not reported: the menu is a convenience.
void ProgmanAddItem(const QString& group, const QString& itemName, const QString& exePath);
