#pragma once

#include "contactrecord.h"
#include "reminderrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class QTreeWidget;

// The reminder list windows show the reminder file in two report lists: the
// main list and the list of reminders that warn on a chosen day. A row is its
// texts, caption first; the record ID is always the last one, which the
// selection helpers rely on. Date-times are written zero-padded as
// year.month.day hour:minute, so plain text order is time order.
//
// A record whose stored date or time does not parse is still listed where it
// can be placed, with empty time cells; it never stops a refill.

QStringList ReminderListCaptions();
QStringList WarnedListCaptions();

// The rows of the main list, in file order, read in one pass.
struct ReminderListRows {
    QList<QStringList> rows;
    // The earliest event start after now among the listed records, at most
    // one hour ahead: when the list must be refilled.
    double nextChange = 0;
    bool anyRecord = false; // the file holds at least one record
};
ReminderListRows BuildReminderList(const QString& path, bool onlyErased, double now, double day, bool limitToDay);

// The rows of the reminders that warn on day about an event on a later day.
QList<QStringList> BuildWarnedList(const QString& path, double day, bool& anyRecord);

// Both fillers replace the list's items (setting its columns when it has
// other ones) and return false when the file holds no record.
bool FillReminderList(
    QTreeWidget* listView, const QString& path, bool onlyErased, double& nextChange, double day, bool limitToDay);
bool FillWarnedList(QTreeWidget* listView, const QString& path, double day);

// The ID in the last column of the selected row; 0 when nothing is selected
// or the cell is no number.
int32_t SelectedItemId(const QTreeWidget* listView);
// Selects the first row whose last column holds id; with no such row (or id
// 0) the selection stays as it was.
void SelectItemById(QTreeWidget* listView, int32_t id);

// Stores an imported record over the first one whose creation stamp equals
// key exactly, keeping that record's ID (or number), else appends it with a
// new one. Returns the ID (number) the record has in the file.
int32_t ImportReminder(const QString& path, const ReminderRecord& record, double key);
int32_t ImportContact(const QString& path, const ContactRecord& record, double key);
