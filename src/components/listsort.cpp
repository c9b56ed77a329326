#include "listsort.h"

#include "listpictures.h"

#include "shared/itemlist.h"

#include <QIcon>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

void SortListByColumn(QTreeWidget* list, int column, bool ascending)
{
    QTreeWidgetItem* current = list->currentItem();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    QList<QTreeWidgetItem*> items = list->invisibleRootItem()->takeChildren();
    struct Row {
        QString key;
        QTreeWidgetItem* item;
    };
    std::vector<Row> rows;
    rows.reserve(items.size());
    for (QTreeWidgetItem* item : items)
        rows.push_back({ item->text(column), item });
    std::stable_sort(rows.begin(), rows.end(),
        [ascending](const Row& a, const Row& b) { return ascending ? StrLess(a.key, b.key) : StrLess(b.key, a.key); });
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i] = rows[size_t(i)].item;
    list->addTopLevelItems(items);
    if (current)
        list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        item->setSelected(true);
}

void ShowSortArrows(QTreeWidget* list, int column, bool ascending)
{
    QTreeWidgetItem* header = list->headerItem();
    for (int i = 0; i < list->columnCount(); ++i) {
        const QString name = i != column ? QStringLiteral("NOARROW")
            : ascending                  ? QStringLiteral("ARROWDOWN")
                                         : QStringLiteral("ARROWUP");
        if (header->data(i, Qt::UserRole).toString() == name)
            continue;
        header->setData(i, Qt::UserRole, name);
        header->setIcon(i, QIcon(ListWindowPicture(name)));
    }
}

QString SortArrow(const QTreeWidget* list, int column)
{
    return list->headerItem()->data(column, Qt::UserRole).toString();
}
