#include "reminderlists.h"

#include "contactfile.h"
#include "datafilelock.h"
#include "reminderdates.h"
#include "reminderfile.h"
#include "reminderkinds.h"

#include "platform/datetime.h"

#include <QTreeWidget>

#include <functional>
#include <optional>

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("ANO") : QStringLiteral("NE");
}

QString eventStartText(const ReminderRecord& r)
{
    return NormalizeDateTimeText(r.EventDate + u' ' + r.EventTime);
}

void putRows(QTreeWidget* listView, const QStringList& captions, const QList<QStringList>& rows)
{
    if (listView->columnCount() != captions.size()) {
        listView->setColumnCount(captions.size());
        listView->setHeaderLabels(captions);
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const QStringList& texts : rows)
        items.append(new QTreeWidgetItem(texts));
    listView->addTopLevelItems(items);
}

// One pass finds the first record with the key; it is overwritten in place
// keeping its number, or the record is appended with a new one. The lock
// keeps the position found valid until the write.
template <class Record>
int32_t importByKey(const QString& path, const Record& record, double key, double Record::*stamp, int32_t Record::*id,
    void (*forEach)(const QString&, const std::function<void(int, const Record&)>&),
    void (*write)(int, const QString&, const Record&), int (*append)(const QString&, Record&))
{
    int position = 0;
    int32_t foundId = 0;
    forEach(path, [&](int p, const Record& r) {
        if (position == 0 && r.*stamp == key) {
            position = p;
            foundId = r.*id;
        }
    });
    Record stored = record;
    if (position == 0)
        return append(path, stored);
    stored.*id = foundId;
    write(position, path, stored);
    return foundId;
}

} // namespace

QStringList ReminderListCaptions()
{
    return { QStringLiteral("nadpis"), QStringLiteral("datum čas"), QStringLiteral("akce do"), QStringLiteral("zbývá"),
        QStringLiteral("jen zvuk"), QStringLiteral("vymazán"), QStringLiteral("přenos"), QStringLiteral("prošlé"),
        QStringLiteral("číslo") };
}

QStringList WarnedListCaptions()
{
    return { QStringLiteral("nadpis"), QStringLiteral("čas připomenutí"), QStringLiteral("datum čas"),
        QStringLiteral("akce do"), QStringLiteral("přenos"), QStringLiteral("číslo") };
}

ReminderListRows BuildReminderList(const QString& path, bool onlyErased, double now, double day, bool limitToDay)
{
    ReminderListRows list;
    list.nextChange = now + OneHour;
    ForEachReminder(path, [&](int, const ReminderRecord& r) {
        list.anyRecord = true;
        if (onlyErased && !r.Erased)
            return;
        if (limitToDay) {
            const auto date = TryStrToDate(r.EventDate);
            if (!date || DateOf(*date) != DateOf(day))
                return;
        }
        const std::optional<double> start = StoredDateTime(r.EventDate, r.EventTime);
        QString passed;
        if (r.Erased)
            passed = QStringLiteral("-");
        else if (start)
            passed = yesNo(*start < now);
        list.rows.append({ r.Title, limitToDay ? r.EventTime : eventStartText(r),
            EventEndText(r.EventDate, r.EventTime, r.Length), start ? RemainingText(*start - now) : QString(),
            yesNo(r.SoundOnly), yesNo(r.Erased), yesNo(r.Transferable), passed, QString::number(r.ID) });
        if (start && *start > now && *start < list.nextChange)
            list.nextChange = *start;
    });
    return list;
}

QList<QStringList> BuildWarnedList(const QString& path, double day, bool& anyRecord)
{
    anyRecord = false;
    QList<QStringList> rows;
    ForEachReminder(path, [&](int, const ReminderRecord& r) {
        anyRecord = true;
        if (r.Erased)
            return;
        // Where the event itself cannot be placed, neither can its warning.
        const std::optional<double> start = StoredDateTime(r.EventDate, r.EventTime);
        if (!start || DateOf(*start) <= DateOf(day))
            return;
        // The stored next pop-up stands when it lies at least a minute before
        // the event; otherwise (or when it is unreadable) the advance gives
        // the warning.
        const std::optional<double> remind = StoredDateTime(r.RemindDate, r.RemindTime);
        double warn;
        QString warnText;
        if (!remind || *start - *remind < OneMinute) {
            warn = WarnTimeBefore(r.AdvanceKind, r.AdvanceAmount, *start);
            if (!IsValidDateTime(warn))
                return;
            warnText = MinutesToTimeText(MinuteOfDay(warn));
        } else {
            warn = *remind;
            warnText = r.RemindTime;
        }
        if (DateOf(warn) != DateOf(day))
            return;
        rows.append({ r.Title, warnText, eventStartText(r), EventEndText(r.EventDate, r.EventTime, r.Length),
            yesNo(r.Transferable), QString::number(r.ID) });
    });
    return rows;
}

bool FillReminderList(
    QTreeWidget* listView, const QString& path, bool onlyErased, double& nextChange, double day, bool limitToDay)
{
    listView->clear();
    const double now = Now();
    nextChange = now + OneHour;
    const ReminderListRows list = BuildReminderList(path, onlyErased, now, day, limitToDay);
    nextChange = list.nextChange;
    putRows(listView, ReminderListCaptions(), list.rows);
    return list.anyRecord;
}

bool FillWarnedList(QTreeWidget* listView, const QString& path, double day)
{
    listView->clear();
    bool anyRecord = false;
    putRows(listView, WarnedListCaptions(), BuildWarnedList(path, day, anyRecord));
    return anyRecord;
}

int32_t SelectedItemId(const QTreeWidget* listView)
{
    // The first selected row in list order, as a multi-selection list gives it.
    QTreeWidgetItem* selected = nullptr;
    int selectedIndex = 0;
    for (QTreeWidgetItem* item : listView->selectedItems()) {
        const int index = listView->indexOfTopLevelItem(item);
        if (!selected || index < selectedIndex) {
            selected = item;
            selectedIndex = index;
        }
    }
    if (!selected || listView->columnCount() < 1)
        return 0;
    bool ok = false;
    const int32_t id = selected->text(listView->columnCount() - 1).toInt(&ok);
    return ok ? id : 0;
}

void SelectItemById(QTreeWidget* listView, int32_t id)
{
    if (id == 0 || listView->columnCount() < 1)
        return;
    const int column = listView->columnCount() - 1;
    const QString text = QString::number(id);
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = listView->topLevelItem(i);
        if (item->text(column) == text) {
            listView->setCurrentItem(item);
            return;
        }
    }
}

int32_t ImportReminder(const QString& path, const ReminderRecord& record, double key)
{
    return importByKey<ReminderRecord>(path, record, key, &ReminderRecord::Created, &ReminderRecord::ID,
        ForEachReminder, WriteReminder, AppendReminder);
}

int32_t ImportContact(const QString& path, const ContactRecord& record, double key)
{
    return importByKey<ContactRecord>(
        path, record, key, &ContactRecord::unikat, &ContactRecord::cislo, ForEachContact, WriteContact, AppendContact);
}
