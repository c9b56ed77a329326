#pragma once

#include "contactrecord.h"

#include <QString>

#include <functional>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

// Every window of the contacts program names contact fields by a code 1..46:
// a stored field, a text combined of several fields, or a header field. Each
// code has a key (its name in CSV files and settings) and a Czech caption
// (list columns, combo items). Any other code has empty names and text.
constexpr int ContactFieldCodeCount = 46;

// The code whose key or caption equals name exactly; 0 when none.
int ContactFieldCode(const QString& name);
QString ContactFieldKey(int code);
QString ContactFieldCaption(int code);
// The stored text field of that code, nullptr for any other code.
const ContactTextField* ContactTextFieldOf(int code);

// The text a list or an export shows for the field: phones in groups of
// three, flags as "ANO"/"NE", the gender in words, numbers in decimal, date-
// times as date and long time (empty for a value that is no date), the
// combined texts of codes 30..35.
QString ContactFieldText(int code, const ContactRecord& record);

QString GenderText(int pohlavi); // "žena" for 1, else "muž"
QString YesNoText(bool flag); // "ANO" / "NE"
// a, b and c joined by sep, leaving out the empty ones: no separator is
// doubled, leading or trailing.
QString JoinNonEmpty(const QString& sep, const QString& a, const QString& b, const QString& c);
// Every non-empty text of codes 1..34, each preceded by ";": a word searched
// in it is found in any field.
QString ContactText(const ContactRecord& record);
// Blanks between groups of three characters counted from the right; the
// leading group keeps 3 to 5 characters, so texts of up to 5 stay as they
// are ("123456789" -> "123 456 789", "1234567" -> "1234 567").
QString GroupBy3(const QString& s);

// The ";"-separated group list of a level: 2 and 3 are skupina2 and
// skupina3, any other level skupina1.
const QString& GroupLevel(const ContactRecord& record, int level);

// Contact lists are QTreeWidgets whose column captions are field captions.
// A column layout is the list of their field codes in column order, joined
// by ";"; column widths are kept in section "Sloupce" of the settings file,
// key = the code in decimal, default 75. Every contact list carries the
// record-number column "číslo" (NumberFieldCode).

// The codes of the list's column captions (0 for an unknown caption).
QString ColumnLayout(const QTreeWidget* listView);
// Whether one ";"-item of layout equals item exactly.
bool LayoutContains(const QString& layout, const QString& item);
// One row for the record, a text per column; a list without the number
// column gets it (width 20) first. Returns 1.
int AddContactRow(QTreeWidget* listView, const ContactRecord& record);
// Replaces the list's columns by those of layout, skipping items that name
// no field, each with its stored width.
void BuildColumns(const QString& iniPath, const QString& layout, QTreeWidget* listView);
void SaveColumnWidths(const QString& iniPath, const QTreeWidget* listView);
// 1-based index of the column captioned "číslo", 0 when none.
int NumberColumnIndex(const QTreeWidget* listView);
// The record number a row shows in the number column; 0 without that column
// or when the cell holds no number.
int RowContactNumber(const QTreeWidget* listView, const QTreeWidgetItem* row);

// Combos filled from the contact file. Items are compared ignoring letter
// case (Czech letters too), so a group is listed once, in the spelling met
// first; empty items are no groups and are never listed. Filling keeps the text the user typed.
// The application's events are processed every few milliseconds of the
// filling, so a window stays responsive while a large file is read; a combo destroyed meanwhile
// ends the filling.

// A filling of group combos also ends as soon as wanted (when given) says,
// after the events were let in, that it is wanted no more: a newer filling
// of the same combos has begun.

// Adds each ";"-item of list that the combo does not hold yet.
void AddListItems(const QString& list, QComboBox* combo);
// The groups of that level over every contact (deleted ones too), sorted.
void FillGroupCombo(int level, QComboBox* combo, const QString& path, const std::function<bool()>& wanted = {});
// Narrows the other levels' combos to the groups of the contacts that are in
// group at level (an item of their list, case-sensitive); nothing for an
// empty group. The lower levels lose their items and text and are refilled;
// a higher level only while its text is empty, else it stays as it is.
void FilterGroupCombos(int level, const QString& group, QComboBox* combo1, QComboBox* combo2, QComboBox* combo3,
    const QString& path, const std::function<bool()>& wanted = {});
// The captions of firstCode..lastCode; a selectedCode in that range becomes
// the combo's text and Tag, otherwise the combo shows no item.
void FillFieldNameCombo(int firstCode, int lastCode, int selectedCode, QComboBox* combo);
// The distinct ";"-items of the field's text over every contact, sorted.
void FillFieldValueCombo(int code, QComboBox* combo, const QString& path);
