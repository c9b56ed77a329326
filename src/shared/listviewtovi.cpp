#include "listviewtovi.h"

#include "jbstr.h"
#include "platform/inifile.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionHeader>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace {

int firstSelectedIndex(const QTreeWidget* listView)
{
    for (int i = 0; i < listView->topLevelItemCount(); ++i)
        if (listView->topLevelItem(i)->isSelected())
            return i;
    return -1;
}

// Reads the items "1".."n" of a numbered list; empty when the count is 0.
QStringList readNumberedList(const QString& iniPath, const QString& section, const QString& countKey)
{
    const IniFile ini(iniPath);
    const int n = ini.readInteger(section, countKey, 0);
    QStringList items;
    for (int i = 1; i <= n; ++i)
        items << ini.readString(section, QString::number(i), QString());
    return items;
}

} // namespace

bool ComboTextIndex(QComboBox* combo, int& index)
{
    index = 0;
    const QString text = combo->currentText();
    if (!text.isEmpty())
        for (int i = 0; i < combo->count(); ++i)
            if (SameText(combo->itemText(i), text))
                index = i + 1;
    if (index != 0)
        return true;
    FocusAfterwards(combo);
    return false;
}

void FocusAfterwards(QWidget* control)
{
    QMetaObject::invokeMethod(
        control, [control] { control->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

bool ComboIndexOf(const QString& text, const QComboBox* combo, int& index)
{
    for (int i = 0; i < combo->count(); ++i)
        if (SameText(combo->itemText(i), text)) {
            index = i;
            return true;
        }
    index = -1;
    return false;
}

bool ComboIndexOfCzech(const QString& text, const QComboBox* combo, int& index)
{
    const QString key = CzechLowerCase(text);
    for (int i = 0; i < combo->count(); ++i)
        if (CzechLowerCase(combo->itemText(i)) == key) {
            index = i;
            return true;
        }
    index = -1;
    return false;
}

bool ItemsContain(const QString& text, const QComboBox* combo)
{
    int index;
    return ComboIndexOf(text, combo, index);
}

bool ItemsContain(const QString& text, const QListWidget* list)
{
    for (int i = 0; i < list->count(); ++i)
        if (SameText(list->item(i)->text(), text))
            return true;
    return false;
}

bool ListViewContainsCaption(const QString& caption, const QTreeWidget* listView)
{
    for (int i = 0; i < listView->topLevelItemCount(); ++i)
        if (SameText(listView->topLevelItem(i)->text(0), caption))
            return true;
    return false;
}

namespace {

// Cuts a header caption to the room its section leaves after the picture
// and the margins, before the style draws it: a style that measures the
// whole section would centre an uncut text and clip both of its ends.
class HeaderCaptionStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(
        ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override
    {
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        if (element != CE_HeaderLabel || !header) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionHeader cut(*header);
        const int margin = pixelMetric(PM_HeaderMargin, option, widget);
        int room = header->rect.width() - 2 * margin;
        // A header picture takes its own width (the sort arrows are 9
        // pixels), not the style's icon size.
        const QList<QSize> sizes = header->icon.availableSizes();
        m_pictureWidth = sizes.isEmpty() ? 0 : sizes.constFirst().width();
        if (!header->icon.isNull())
            room -= pixelMetric(PM_SmallIconSize, option, widget) + margin;
        cut.text = header->fontMetrics.elidedText(header->text, Qt::ElideRight, std::max(0, room));
        QProxyStyle::drawControl(element, &cut, painter, widget);
        m_pictureWidth = 0;
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_SmallIconSize && m_pictureWidth > 0)
            return m_pictureWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    mutable int m_pictureWidth = 0;
};

} // namespace

void ElideHeaderCaptions(QTreeWidget* listView)
{
    QHeaderView* header = listView->header();
    if (header->property("captionsElided").toBool())
        return;
    header->setProperty("captionsElided", true);
    header->setTextElideMode(Qt::ElideRight);
    auto* style = new HeaderCaptionStyle;
    style->setParent(header);
    header->setStyle(style);
}

void SetColumnWidths(QTreeWidget* listView, int total, const QList<int>& shares)
{
    if (listView->columnCount() == 0 || total == 0)
        return;
    const int columns = std::min<int>(shares.size(), listView->columnCount());
    for (int i = 0; i < columns; ++i)
        listView->setColumnWidth(i, static_cast<int>(std::trunc(double(shares[i]) / total * listView->width())));
}

void MoveSelected(QTreeWidget* listView, int delta)
{
    const int count = listView->topLevelItemCount();
    if (delta == 0 || count == 0)
        return;
    const int d = firstSelectedIndex(listView);
    if (d < 0)
        return;
    const int target = std::clamp(d + delta, 0, count - 1);
    // Taken out first, so that target counts in the list without it: the item
    // lands exactly where it was asked to, downwards as well as upwards.
    QTreeWidgetItem* item = listView->takeTopLevelItem(d);
    listView->insertTopLevelItem(target, item);
    listView->clearSelection();
    listView->setCurrentItem(item);
    item->setSelected(true);
}

void CopySelectedItems(QTreeWidget* source, QTreeWidget* target, bool remove)
{
    int i = 0;
    while (i < source->topLevelItemCount()) {
        QTreeWidgetItem* item = source->topLevelItem(i);
        if (!item->isSelected()) {
            ++i;
            continue;
        }
        QTreeWidgetItem* copy = item->clone();
        copy->setSelected(false);
        target->addTopLevelItem(copy);
        if (remove)
            delete source->takeTopLevelItem(i);
        else
            ++i;
    }
}

void LoadComboFromIni(const QString& iniPath, const QString& section, const QString& countKey, bool setText,
                      bool clearFirst, QComboBox* combo)
{
    const QStringList items = readNumberedList(iniPath, section, countKey);
    if (items.isEmpty())
        return;
    if (clearFirst)
        combo->clear();
    combo->addItems(items);
    if (!setText)
        return;
    const QString text = IniFile(iniPath).readString(section, QStringLiteral("text"), QString());
    if (combo->isEditable())
        combo->setEditText(text);
    else
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

void LoadListFromIni(const QString& iniPath, const QString& section, const QString& countKey, bool clearFirst,
                     QTreeWidget* listView)
{
    const QStringList items = readNumberedList(iniPath, section, countKey);
    if (items.isEmpty())
        return;
    if (clearFirst)
        listView->clear();
    for (const QString& caption : items)
        listView->addTopLevelItem(new QTreeWidgetItem(QStringList { caption }));
}

void SaveListToIni(const QString& iniPath, const QString& section, const QString& countKey,
                   const QTreeWidget* listView)
{
    IniFile ini(iniPath);
    const int n = listView->topLevelItemCount();
    ini.writeInteger(section, countKey, n);
    for (int i = 0; i < n; ++i)
        ini.writeString(section, QString::number(i + 1), listView->topLevelItem(i)->text(0));
}
