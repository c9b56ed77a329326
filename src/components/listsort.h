#pragma once

#include <QString>

class QTreeWidget;

// Report lists sorted by a clicked column, as the list windows of both
// programs sort them.

// The rows in the Czech order of the column's texts (column 0 is the
// caption), reversed when descending; rows of equal texts keep their order,
// and the current row and the selection stay.
void SortListByColumn(QTreeWidget* list, int column, bool ascending);

// The header pictures of a sorted list: the sort column shows "ARROWDOWN"
// when ascending and "ARROWUP" when descending, every other column
// "NOARROW". Column -1: no column is sorted.
void ShowSortArrows(QTreeWidget* list, int column, bool ascending);
// The name of the picture a column's header shows; empty before any.
QString SortArrow(const QTreeWidget* list, int column);
