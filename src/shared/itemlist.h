#pragma once

#include <QString>

class QComboBox;
class QListWidget;

// Lists kept in one text, items separated by one character (";" for the
// contact groups), and the text comparisons the contact windows sort and
// filter with.

// 0 for an empty text; a separator in the last place starts no item.
int ItemCount(const QString& s, QChar sep);
// The n-th item (1-based, empty items counted), "" past the last one. A text
// of at most one character is its own item.
QString ExtractItem(const QString& s, QChar sep, int n);
// Removes one leading and then one trailing separator.
QString TrimSeparators(const QString& s, QChar sep);
// Whether some item of list equals item, ignoring letter case (the Czech
// letters too, so "Práce" and "PRÁCE" are one group).
bool ListHasItem(const QString& list, const QString& item, QChar sep);
// list without every item equal to item (letter case ignored as above); the
// other items keep their order and no separator is left doubled or at an end.
QString RemoveListItem(const QString& list, const QString& item, QChar sep);
// s without one leading "*" (the multi-edit's mark of values that differ).
QString StripStar(const QString& s);

// Sorts the items by their lower-cased texts in Czech order.
void SortItemsNoCase(QComboBox* combo);
void SortItemsNoCase(QListWidget* list);

// Czech word sort ("ch" after "h", "č" after "c"), whatever the locale;
// hyphens and apostrophes count only between words otherwise equal.
bool StrLess(const QString& a, const QString& b);

// Whether part occurs in text, both lower-cased by the Czech letter pairs.
// An empty part is never contained.
bool CzechContainsText(const QString& part, const QString& text);

// Replaces every match of old, case-sensitive, left to right. After each
// replacement the search goes on over the last length(old) - 1 characters of
// the inserted text together with what follows, so a run of separators is
// treated whole: ";;" by "; ;" turns ";;;" into "; ; ;".
QString ReplaceAll(const QString& s, const QString& old, const QString& replacement);
