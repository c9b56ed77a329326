#pragma once

#include "contactrecord.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

// The contact file ("korvel.db1" and the exchange and backup files of the
// same layout): ContactRecords without a header, addressed by 1-based
// position, numbered (cislo) by position. Each operation opens and closes the
// file; failures throw IoError.

int ContactCount(const QString& path);

// Clamps position to 1..count and writes it back, then reads that record. On
// an empty or missing file only cislo and unikat of the record are zeroed.
void ReadContact(int& position, const QString& path, ContactRecord& record);

// Position 1..count + 1 (count + 1 appends); creates the file. A position
// beyond count + 1 is refused with a KorvelError.
void WriteContact(int position, const QString& path, const ContactRecord& record);

// The record as the file holds it (ContactRecord::Size bytes), for a whole
// file written through one open.
QByteArray ContactBytes(const ContactRecord& record);

// cislo := the next free number (stored in record.cislo as well); the record
// is written after the last one. Returns the number.
int AppendContact(const QString& path, ContactRecord& record);

int NextContactId(const QString& path);
bool ContactIdExists(const QString& path, int number, int count);

// Removes the contact with that number for good; afterwards every record
// carries its position as number. The file is written anew beside the old
// one and put in place in one step.
void DeleteContact(int number, const QString& path);

// Removes every contact for which drop(position, record) holds, in one pass
// and one replacement of the file; when any went, the rest are numbered by
// position. Returns how many went.
int RemoveContactsWhere(
    const QString& path, const std::function<bool(int position, const ContactRecord& record)>& drop);

// Where each contact (number, unikat) stands now: at number when it is
// still there, else the nearest position below it that holds unikat, else
// the first above; 0 when the file holds it no more. Another program may
// have renumbered the file since the number was taken. One pass over the
// file finds them all; one contact still in its place takes one read.
QList<int> LocateContacts(const QString& path, const QList<std::pair<int, double>>& listed);

// The records at the positions, in one pass over the file; a position the
// file does not hold has no entry.
QHash<int, ContactRecord> ReadContactsAt(const QString& path, const QList<int>& positions);

// Contacts (number, unikat) found as LocateContacts finds them and read, in
// a pass each: their positions and records in their order, position 0 for
// each the file holds no more (or that moved again between the passes).
struct LocatedContact {
    int position = 0;
    ContactRecord record;
};
QList<LocatedContact> ReadLocatedContacts(const QString& path, const QList<std::pair<int, double>>& listed);

// The creation time of a new contact, the key other machines know it by: now
// to the millisecond, but later than every stamp this process gave before and
// held by no contact of the file, so that two quick saves never share one.
double NewContactStamp(const QString& path);

// Whether some contact is marked deleted by the user.
bool AnyDeleted(const QString& path);

// Every record in position order, in one pass over one open of the file.
void ForEachContact(const QString& path, const std::function<void(int position, const ContactRecord& record)>& visit);

// Only the characters "0".."9", "+" and "*" of text, in their order.
QString CleanPhoneNumber(const QString& text);
