#include "itemlist.h"

#include "jbstr.h"

#include <QCollator>
#include <QComboBox>
#include <QListWidget>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Shell sort with the gaps halving, as the lists were always sorted: an item
// moves down while it is not greater than the one gap places before it, so
// equal items are exchanged too. Returns the original index of each place.
std::vector<int> sortedOrderNoCase(const QStringList& texts)
{
    QStringList keys;
    for (const QString& t : texts)
        keys << t.toLower();
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    const int count = int(order.size());
    for (int gap = count / 2; gap > 0; gap /= 2)
        for (int i = gap; i < count; ++i)
            for (int j = i; j >= gap && !StrLess(keys[order[j - gap]], keys[order[j]]); j -= gap)
                std::swap(order[j], order[j - gap]);
    return order;
}

} // namespace

int ItemCount(const QString& s, QChar sep)
{
    if (s.isEmpty())
        return 0;
    return 1 + int(QStringView(s).chopped(1).count(sep));
}

QString ExtractItem(const QString& s, QChar sep, int n)
{
    if (s.size() <= 1)
        return s;
    if (n < 1)
        return {};
    qsizetype start = 0;
    for (int item = 1; item < n; ++item) {
        const qsizetype next = s.indexOf(sep, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    const qsizetype end = s.indexOf(sep, start);
    return s.mid(start, end < 0 ? -1 : end - start);
}

QString TrimSeparators(const QString& s, QChar sep)
{
    if (s.size() <= 1)
        return s;
    QString t = s;
    if (t.startsWith(sep))
        t.remove(0, 1);
    if (t.endsWith(sep))
        t.chop(1);
    return t;
}

bool ListHasItem(const QString& list, const QString& item, QChar sep)
{
    const QString t = TrimSeparators(list, sep);
    if (t.isEmpty() || item.isEmpty())
        return false;
    const QString key = CzechLowerCase(item);
    const int n = ItemCount(t, sep);
    for (int i = 1; i <= n; ++i)
        if (CzechLowerCase(ExtractItem(t, sep, i)) == key)
            return true;
    return false;
}

QString RemoveListItem(const QString& list, const QString& item, QChar sep)
{
    const QString key = CzechLowerCase(item);
    QStringList kept;
    const int n = ItemCount(list, sep);
    for (int i = 1; i <= n; ++i) {
        const QString it = ExtractItem(list, sep, i);
        if (!it.isEmpty() && CzechLowerCase(it) != key)
            kept << it;
    }
    return kept.join(sep);
}

QString StripStar(const QString& s)
{
    return s.startsWith(u'*') ? s.mid(1) : s;
}

void SortItemsNoCase(QComboBox* combo)
{
    if (combo->count() < 2)
        return;
    QStringList texts;
    QVariantList data;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
        data << combo->itemData(i);
    }
    const QString editText = combo->currentText();
    const std::vector<int> order = sortedOrderNoCase(texts);
    for (int i = 0; i < int(order.size()); ++i) {
        combo->setItemText(i, texts[order[i]]);
        combo->setItemData(i, data[order[i]]);
    }
    // The items move under the typed text; the text itself stays.
    if (combo->isEditable())
        combo->setEditText(editText);
}

void SortItemsNoCase(QListWidget* list)
{
    if (list->count() < 2)
        return;
    QStringList texts;
    QList<QListWidgetItem*> items;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    while (list->count() > 0)
        items << list->takeItem(0);
    for (int index : sortedOrderNoCase(texts))
        list->addItem(items[index]);
}

namespace {

// The word sort: hyphens and apostrophes weigh nothing at first, so
// "e-mail" sorts with "email" and "d'Artagnan" with "dArtagnan".
QString withoutWordBreaks(const QString& s)
{
    QString r = s;
    r.remove(u'-');
    r.remove(u'\'');
    return r;
}

} // namespace

bool StrLess(const QString& a, const QString& b)
{
    static const QCollator collator(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    const QString wa = withoutWordBreaks(a);
    const QString wb = withoutWordBreaks(b);
    if (const int c = collator.compare(wa, wb); c != 0)
        return c < 0;
    // Equal but for the breaks: the word with fewer of them first.
    if (a.size() - wa.size() != b.size() - wb.size())
        return a.size() - wa.size() < b.size() - wb.size();
    return collator.compare(a, b) < 0;
}

bool CzechContainsText(const QString& part, const QString& text)
{
    if (part.isEmpty() || part.size() > text.size())
        return false;
    return CzechLowerCase(text).contains(CzechLowerCase(part));
}

QString ReplaceAll(const QString& s, const QString& old, const QString& replacement)
{
    if (old.isEmpty())
        return s;
    QString r = s;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = r.indexOf(old, from);
        if (p < 0)
            return r;
        r.replace(p, old.size(), replacement);
        from = std::max<qsizetype>(0, p + replacement.size() - old.size() + 1);
    }
}
