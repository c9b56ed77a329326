#include "contactfields.h"

#include "listviewtovi.h"

#include "contactfile.h"
#include "itemlist.h"
#include "jbstr.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/inifile.h"
#include "platform/tag.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QSet>
#include <QTreeWidget>

#include <array>
#include <cmath>

namespace {

const QString kSloupce = QStringLiteral("Sloupce");
constexpr int kDefaultColumnWidth = 75;
constexpr int kNumberColumnWidth = 20;
// A stored width beyond any screen is damage, not a choice.
constexpr int kMaxColumnWidth = 10000;
constexpr int kDescriptionLength = 255;

// The codes that are no single stored text; the text fields carry their own
// names (ContactTextFields).
struct OtherField {
    int code;
    const char* key;
    const char16_t* caption;
};
// clang-format off
constexpr OtherField kOtherFields[] = {
    {5, "pohlavi", u"pohlaví"},
    {30, "skupina", u"skupina"},
    {31, "e-mail", u"e-mail"},
    {32, "telefon", u"telefon"},
    {33, "mobil", u"mobil"},
    {34, "popis", u"popis"},
    {35, "*", u"*"},
    {40, "vymazano", u"vymazáno"},
    {41, "prenos", u"přenos"},
    {42, "tajne", u"tajné"},
    {43, "cislo", u"číslo"},
    {44, "verze", u"verze"},
    {45, "unikat", u"unikat"},
    {46, "zmena", u"zmena"},
};
// clang-format on

struct FieldNames {
    QString key;
    QString caption;
    const ContactTextField* textField = nullptr;
};

// Names by code (index 0 and unknown codes: empty) and codes by name.
struct FieldTable {
    std::array<FieldNames, ContactFieldCodeCount + 1> byCode;
    QHash<QString, int> byName;

    FieldTable()
    {
        for (const ContactTextField& f : ContactTextFields())
            byCode[f.code] = { QString::fromLatin1(f.key), QString::fromUtf16(f.caption), &f };
        for (const OtherField& f : kOtherFields)
            byCode[f.code] = { QString::fromLatin1(f.key), QString::fromUtf16(f.caption) };
        // A name shared by two fields would name the lower code.
        for (int code = 1; code <= ContactFieldCodeCount; ++code)
            for (const QString& name : { byCode[code].key, byCode[code].caption })
                if (!byName.contains(name))
                    byName.insert(name, code);
    }
};

const FieldTable& fields()
{
    static const FieldTable table;
    return table;
}

const FieldNames* namesOf(int code)
{
    if (code < 1 || code > ContactFieldCodeCount)
        return nullptr;
    return &fields().byCode[code];
}

bool isPhone(int code)
{
    return code >= 15 && code <= 20;
}

QString dateTimeText(double dt)
{
    if (!IsValidDateTime(dt))
        return {};
    return DateToStr(dt) + u' ' + TimeToStr(dt);
}

int codeOfItem(const QString& item)
{
    bool ok = false;
    const int code = item.toInt(&ok);
    return ok ? code : 0;
}

QStringList layoutItems(const QString& layout)
{
    QStringList items;
    const int n = ItemCount(layout, u';');
    for (int i = 1; i <= n; ++i)
        items << ExtractItem(layout, u';', i);
    return items;
}

// Letter case folded, the Czech letters too, as group names are compared.
QString foldKey(const QString& s)
{
    return CzechLowerCase(s);
}

// Columns keep the widths given to them: none stretches, and narrow ones
// (the number column's 20) are not widened to the style's minimum.
void appendColumn(QTreeWidget* listView, const QString& caption, int width)
{
    QHeaderView* header = listView->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    ElideHeaderCaptions(listView);
    const int column = listView->columnCount();
    listView->setColumnCount(column + 1);
    listView->headerItem()->setText(column, caption);
    listView->setColumnWidth(column, width);
}

// Adds items to one combo unless an equal one (but for the letter case) is
// there. The keys of the items are kept aside, so a long list is not walked
// for every item; should the combo change under it (events are processed
// between records), they are taken again.
class ComboFiller {
public:
    explicit ComboFiller(QComboBox* combo)
        : m_combo(combo)
    {
        rescan();
    }

    bool alive() const { return !m_combo.isNull(); }
    QComboBox* combo() const { return m_combo; }

    void addList(const QString& list)
    {
        if (!m_combo)
            return;
        if (m_combo->count() != m_count)
            rescan();
        const int n = ItemCount(list, u';');
        for (int i = 1; i <= n; ++i) {
            const QString item = ExtractItem(list, u';', i);
            if (item.isEmpty() || m_keys.contains(foldKey(item)))
                continue;
            add(item);
        }
    }

    // Items and, unless keepText, the text.
    void clear(bool keepText)
    {
        if (!m_combo)
            return;
        const QString text = m_combo->currentText();
        m_combo->clear();
        if (m_combo->isEditable())
            m_combo->setEditText(keepText ? text : QString());
        rescan();
    }

private:
    void rescan()
    {
        m_keys.clear();
        if (!m_combo)
            return;
        m_count = m_combo->count();
        for (int i = 0; i < m_count; ++i)
            m_keys.insert(foldKey(m_combo->itemText(i)));
    }

    void add(const QString& item)
    {
        // Qt selects the first item put into an empty combo; the combo keeps
        // the text it had instead.
        const bool wasEmpty = m_combo->count() == 0;
        const QString text = m_combo->currentText();
        m_combo->addItem(item);
        if (wasEmpty) {
            m_combo->setCurrentIndex(-1);
            if (m_combo->isEditable())
                m_combo->setEditText(text);
        }
        m_keys.insert(foldKey(item));
        m_count = m_combo->count();
    }

    QPointer<QComboBox> m_combo;
    QSet<QString> m_keys;
    int m_count = 0;
};

// The records are read in one pass before any event is processed, so no
// handler runs while the file is open; the combos are filled record by
// record afterwards.
QList<ContactRecord> allContacts(const QString& path)
{
    QList<ContactRecord> records;
    ForEachContact(path, [&](int, const ContactRecord& r) { records.append(r); });
    return records;
}

// Fills the combo with the items that text gives for every record.
void fillFromFile(QComboBox* combo, const QString& path, const std::function<QString(const ContactRecord&)>& text,
    const std::function<bool()>& wanted = {})
{
    // Only the texts are kept from the one pass over the file.
    QStringList texts;
    ForEachContact(path, [&](int, const ContactRecord& r) { texts << text(r); });
    ComboFiller filler(combo);
    filler.clear(true);
    EventPump pump;
    for (const QString& t : texts) {
        filler.addList(t);
        if (pump() && (!filler.alive() || (wanted && !wanted())))
            return;
    }
    SortItemsNoCase(filler.combo());
}

bool hasItemExactly(const QString& list, const QString& item)
{
    const int n = ItemCount(list, u';');
    for (int i = 1; i <= n; ++i)
        if (ExtractItem(list, u';', i) == item)
            return true;
    return false;
}

} // namespace

int ContactFieldCode(const QString& name)
{
    return fields().byName.value(name, 0);
}

QString ContactFieldKey(int code)
{
    const FieldNames* f = namesOf(code);
    return f ? f->key : QString();
}

QString ContactFieldCaption(int code)
{
    const FieldNames* f = namesOf(code);
    return f ? f->caption : QString();
}

const ContactTextField* ContactTextFieldOf(int code)
{
    const FieldNames* f = namesOf(code);
    return f ? f->textField : nullptr;
}

QString ContactFieldText(int code, const ContactRecord& r)
{
    if (const ContactTextField* f = ContactTextFieldOf(code))
        return isPhone(code) ? GroupBy3(r.*f->member) : r.*f->member;
    const QString sep = QStringLiteral(";");
    switch (code) {
    case 5:
        return GenderText(r.pohlavi);
    case 30:
        return JoinNonEmpty(sep, r.skupina1, r.skupina2, r.skupina3);
    case 31:
        return JoinNonEmpty(sep, r.email1, r.email2, r.email3);
    case 32:
        return JoinNonEmpty(sep, GroupBy3(r.tel1), GroupBy3(r.tel2), QString());
    case 33:
        return JoinNonEmpty(sep, GroupBy3(r.mobil1), GroupBy3(r.mobil2), GroupBy3(r.mobil3));
    case 34:
        return (r.popis1 + r.popis2 + r.popis3 + r.popis4).left(kDescriptionLength);
    case 35:
        return ContactText(r);
    case 40:
        return YesNoText(r.vymazano);
    case 41:
        return YesNoText(r.prenos);
    case 42:
        return YesNoText(r.tajne);
    case 43:
        return QString::number(r.cislo);
    case 44:
        return QString::number(r.verze);
    case 45:
        return dateTimeText(r.unikat);
    case 46:
        return dateTimeText(r.zmena);
    default:
        return {};
    }
}

QString GenderText(int pohlavi)
{
    return pohlavi == 1 ? QStringLiteral("žena") : QStringLiteral("muž");
}

QString YesNoText(bool flag)
{
    return flag ? QStringLiteral("ANO") : QStringLiteral("NE");
}

QString JoinNonEmpty(const QString& sep, const QString& a, const QString& b, const QString& c)
{
    QString r = a;
    for (const QString* next : { &b, &c }) {
        if (!r.isEmpty() && !next->isEmpty())
            r += sep;
        r += *next;
    }
    return r;
}

QString ContactText(const ContactRecord& record)
{
    QString r;
    for (int code = 1; code <= TextFieldCount; ++code) {
        const QString text = ContactFieldText(code, record);
        if (!text.isEmpty())
            r += u';' + text;
    }
    return r;
}

QString GroupBy3(const QString& s)
{
    QString r;
    r.reserve(s.size() + s.size() / 3);
    int placed = 0;
    for (qsizetype i = s.size(); i >= 1; --i) {
        if (placed > 0 && placed % 3 == 0 && i > 2)
            r.prepend(u' ');
        r.prepend(s[i - 1]);
        ++placed;
    }
    return r;
}

const QString& GroupLevel(const ContactRecord& record, int level)
{
    switch (level) {
    case 2:
        return record.skupina2;
    case 3:
        return record.skupina3;
    default:
        return record.skupina1;
    }
}

QString ColumnLayout(const QTreeWidget* listView)
{
    QStringList codes;
    const QTreeWidgetItem* header = listView->headerItem();
    for (int i = 0; i < listView->columnCount(); ++i)
        codes << QString::number(ContactFieldCode(header->text(i)));
    return codes.join(u';');
}

bool LayoutContains(const QString& layout, const QString& item)
{
    return layoutItems(layout).contains(item);
}

int AddContactRow(QTreeWidget* listView, const ContactRecord& record)
{
    QString layout = ColumnLayout(listView);
    const QString number = QString::number(NumberFieldCode);
    if (!LayoutContains(layout, number)) {
        appendColumn(listView, ContactFieldCaption(NumberFieldCode), kNumberColumnWidth);
        // A list without columns has the number column alone; a leading
        // separator would put the number in a column that is not there.
        layout = JoinNonEmpty(QStringLiteral(";"), layout, number, QString());
    }
    auto* row = new QTreeWidgetItem;
    const QStringList codes = layoutItems(layout);
    for (int column = 0; column < codes.size(); ++column)
        row->setText(column, ContactFieldText(codeOfItem(codes[column]), record));
    listView->addTopLevelItem(row);
    return 1;
}

void BuildColumns(const QString& iniPath, const QString& layout, QTreeWidget* listView)
{
    listView->setColumnCount(0);
    if (layout.isEmpty())
        return;
    const IniFile ini(iniPath);
    for (const QString& item : layoutItems(layout)) {
        const int code = codeOfItem(item);
        const QString caption = ContactFieldCaption(code);
        if (caption.isEmpty())
            continue;
        int width = ini.readInteger(kSloupce, QString::number(code), kDefaultColumnWidth);
        if (width < 0)
            width = kDefaultColumnWidth;
        appendColumn(listView, caption, qMin(width, kMaxColumnWidth));
    }
}

void SaveColumnWidths(const QString& iniPath, const QTreeWidget* listView)
{
    const int n = listView->columnCount();
    if (n == 0)
        return;
    IniFile ini(iniPath);
    const QTreeWidgetItem* header = listView->headerItem();
    for (int i = 0; i < n; ++i)
        ini.writeInteger(kSloupce, QString::number(ContactFieldCode(header->text(i))), listView->columnWidth(i));
}

int NumberColumnIndex(const QTreeWidget* listView)
{
    const QString caption = ContactFieldCaption(NumberFieldCode);
    const QTreeWidgetItem* header = listView->headerItem();
    for (int i = 0; i < listView->columnCount(); ++i)
        if (header->text(i) == caption)
            return i + 1;
    return 0;
}

int RowContactNumber(const QTreeWidget* listView, const QTreeWidgetItem* row)
{
    const int column = NumberColumnIndex(listView);
    return column == 0 || !row ? 0 : codeOfItem(row->text(column - 1));
}

void AddListItems(const QString& list, QComboBox* combo)
{
    ComboFiller(combo).addList(list);
}

void FillGroupCombo(int level, QComboBox* combo, const QString& path, const std::function<bool()>& wanted)
{
    fillFromFile(
        combo, path, [level](const ContactRecord& r) { return GroupLevel(r, level); }, wanted);
}

void FilterGroupCombos(int level, const QString& group, QComboBox* combo1, QComboBox* combo2, QComboBox* combo3,
    const QString& path, const std::function<bool()>& wanted)
{
    if (group.isEmpty())
        return;
    if (level != 2 && level != 3)
        level = 1;
    ComboFiller c1(combo1);
    ComboFiller c2(combo2);
    ComboFiller c3(combo3);
    const auto textEmpty = [](const ComboFiller& c) { return c.combo()->currentText().isEmpty(); };
    switch (level) {
    case 1:
        c2.clear(false);
        c3.clear(false);
        break;
    case 2:
        c3.clear(false);
        if (textEmpty(c1))
            c1.clear(false);
        break;
    case 3:
        if (textEmpty(c1))
            c1.clear(false);
        if (textEmpty(c2))
            c2.clear(false);
        break;
    }
    EventPump pump;
    for (const ContactRecord& r : allContacts(path)) {
        if (hasItemExactly(GroupLevel(r, level), group)) {
            if (level != 1 && textEmpty(c1))
                c1.addList(r.skupina1);
            if (level == 1 || (level == 3 && textEmpty(c2)))
                c2.addList(r.skupina2);
            if (level != 3)
                c3.addList(r.skupina3);
        }
        if (pump() && (!c1.alive() || !c2.alive() || !c3.alive() || (wanted && !wanted())))
            return;
    }
    for (const ComboFiller* c : { &c1, &c2, &c3 })
        SortItemsNoCase(c->combo());
}

void FillFieldNameCombo(int firstCode, int lastCode, int selectedCode, QComboBox* combo)
{
    combo->clear();
    if (lastCode < firstCode)
        return;
    for (int code = firstCode; code <= lastCode; ++code)
        combo->addItem(ContactFieldCaption(code));
    if (selectedCode != 0 && selectedCode >= firstCode && selectedCode <= lastCode) {
        combo->setCurrentIndex(selectedCode - firstCode);
        setTag(combo, selectedCode);
    } else {
        combo->setCurrentIndex(-1);
    }
}

void FillFieldValueCombo(int code, QComboBox* combo, const QString& path)
{
    fillFromFile(combo, path, [code](const ContactRecord& r) { return ContactFieldText(code, r); });
}
