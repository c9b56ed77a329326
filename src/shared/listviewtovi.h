#pragma once

#include <QList>
#include <QString>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QWidget;

// Helpers shared by the list views (QTreeWidget: caption = column 0, the
// sub-items in the further columns), list boxes and combo boxes of the forms.
// Every text match ignores the case of A-Z only.

// index := 1-based position of the last item equal to the combo's text; when
// none is, the combo gets the focus (once the current handler has returned,
// as it is called when the focus leaves) and the result is false.
bool ComboTextIndex(QComboBox* combo, int& index);
// index := 0-based position of the first item equal to text, or -1.
bool ComboIndexOf(const QString& text, const QComboBox* combo, int& index);
// The same with the Czech letters' case folded too (CzechLowerCase).
bool ComboIndexOfCzech(const QString& text, const QComboBox* combo, int& index);
// The control gets the focus back once the current handler has returned: a
// handler that runs as the focus leaves it would fight the control that is
// receiving it.
void FocusAfterwards(QWidget* control);

bool ItemsContain(const QString& text, const QComboBox* combo);
bool ItemsContain(const QString& text, const QListWidget* list);
bool ListViewContainsCaption(const QString& caption, const QTreeWidget* listView);

// Header captions wider than their column end in "…" in the room the
// column leaves beside its picture, as a list view cuts them; never cut at
// the start.
void ElideHeaderCaptions(QTreeWidget* listView);

// Column i := shares[i] / total of the list view's width, truncated.
void SetColumnWidths(QTreeWidget* listView, int total, const QList<int>& shares);
// Moves the first selected item by delta places (clamped to the list), so
// that it ends at its old index + delta, and selects it.
void MoveSelected(QTreeWidget* listView, int delta);
// Appends a copy of every selected item of source to target, in list order;
// with remove, takes them out of source.
void CopySelectedItems(QTreeWidget* source, QTreeWidget* target, bool remove);

// Numbered lists in a settings file: countKey holds n, keys "1".."n" the
// items, a combo's current text may stand under "text". A count of 0 (or
// none) leaves the control as it is.
void LoadComboFromIni(const QString& iniPath, const QString& section, const QString& countKey, bool setText,
                      bool clearFirst, QComboBox* combo);
void LoadListFromIni(const QString& iniPath, const QString& section, const QString& countKey, bool clearFirst,
                     QTreeWidget* listView);
// Keys above the new count from a longer list stay; the count rules.
void SaveListToIni(const QString& iniPath, const QString& section, const QString& countKey,
                   const QTreeWidget* listView);
