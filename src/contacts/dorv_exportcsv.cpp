#include "dorv_exportcsv.h"

#include "dorv_prehled.h"

#include "components/forms.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/filereplace.h"
#include "shared/contactcsv.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/f_p.h"
#include "shared/jbstr.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

constexpr int ClientWidth = 520;
constexpr int ClientHeight = 330;

// LSloupce: the column name (editable), the field's own name, its code.
constexpr int NameColumn = 0;
constexpr int DefaultNameColumn = 1;
constexpr int CodeColumn = 2;

// Only the column names can be edited.
class ReadOnlyColumn : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override { return nullptr; }
};

QString NameKey(int code)
{
    return QString::number(code) + QStringLiteral("_udaj");
}

QString StateKey(int code)
{
    return QString::number(code) + QStringLiteral("_stav");
}

} // namespace

TFKExportCSV::TFKExportCSV(QWidget* parent)
    : TFKCsvWizard(QStringLiteral("FKExportCSV"), QStringLiteral("Export od CSV"),
        QStringLiteral("název a složka výsledného souboru CSV:"), ClientWidth, ClientHeight, parent)
{
    FileCSV->SetDialogKind(dkSave);
    FileCSV->SetDefaultExt(QStringLiteral(".csv"));
    OnExit(CBOddel, [this] { CBOddelExit(); });

    QWidget* first = PageWidget(1);
    RGRozsah = new QGroupBox(QStringLiteral("Rozsah exportu"), first);
    RGRozsah->setObjectName(QStringLiteral("RGRozsah"));
    RGRozsah->setGeometry(Gap, 108, ClientWidth - 2 * Gap, 100);
    const QString items[] = { QStringLiteral("všechny kontakty v databázi (včetně vymazaných)"),
        QStringLiteral("všechny zobrazené v Přehledu"), QStringLiteral("všechny označené v Přehledu") };
    for (int i = 0; i < 3; ++i) {
        RGRozsahItems[i] = new QRadioButton(items[i], RGRozsah);
        RGRozsahItems[i]->setObjectName(QStringLiteral("RGRozsah%1").arg(i));
        RGRozsahItems[i]->setGeometry(12, 22 + 24 * i, RGRozsah->width() - 24, 22);
    }
    SetRange(1);

    QWidget* second = AddPage();
    const int buttonLeft = ClientWidth - Gap - 110;
    LSloupce = new QTreeWidget(second);
    LSloupce->setObjectName(QStringLiteral("LSloupce"));
    LSloupce->setGeometry(Gap, Gap, buttonLeft - 2 * Gap, PageHeight() - 2 * Gap);
    LSloupce->setRootIsDecorated(false);
    LSloupce->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LSloupce->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    LSloupce->setHeaderLabels({ QStringLiteral("název sloupce"), QStringLiteral("údaj"), QStringLiteral("kód") });
    LSloupce->setItemDelegateForColumn(DefaultNameColumn, new ReadOnlyColumn(LSloupce));
    LSloupce->setItemDelegateForColumn(CodeColumn, new ReadOnlyColumn(LSloupce));
    LSloupce->header()->resizeSection(NameColumn, 160);
    LSloupce->header()->resizeSection(DefaultNameColumn, 120);
    LSloupce->header()->resizeSection(CodeColumn, 40);
    LSloupce->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LSloupce->setStatusTip(QStringLiteral("zaškrtnuté údaje budou exportovány; název sloupce lze změnit"));
    const QString ini = Ini();
    for (int code = 1; code <= FilterFieldCount; ++code) {
        const QString caption = ContactFieldCaption(code);
        QString name = IniReadString(ini, Section(), NameKey(code), caption);
        if (name.trimmed().isEmpty())
            name = caption;
        auto* row = new QTreeWidgetItem(LSloupce, { name, caption, QString::number(code) });
        row->setFlags(row->flags() | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        row->setCheckState(NameColumn,
            IniReadBool(ini, Section(), StateKey(code), code <= StoredFieldCount) ? Qt::Checked : Qt::Unchecked);
    }
    connect(LSloupce, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == NameColumn)
            LSloupceChanged(LSloupce->indexOfTopLevelItem(item));
    });

    const auto button = [&](const char* name, const QString& text, const QString& hint, int top) {
        auto* b = new QPushButton(text, second);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(buttonLeft, top, 110, 28);
        b->setAutoDefault(false);
        b->setStatusTip(hint);
        return b;
    };
    BVse = button("BVse", QStringLiteral("vše"), QStringLiteral("označí všechny údaje"), Gap);
    BVybrane = button("BVybrane", QStringLiteral("vybrané"), QStringLiteral("označí jen vybrané údaje"), Gap + 32);
    BVychNazev = button(
        "BVychNazev", QStringLiteral("vých. název"), QStringLiteral("vrátí všem sloupcům výchozí názvy"), Gap + 64);
    BBExport = button("BBExport", QStringLiteral("Export"), QStringLiteral("spustí export"), PageHeight() - Gap - 28);
    connect(BVse, &QPushButton::clicked, this, [this] { BVseClick(); });
    connect(BVybrane, &QPushButton::clicked, this, [this] { BVybraneClick(); });
    connect(BVychNazev, &QPushButton::clicked, this, [this] { BVychNazevClick(); });
    connect(BBExport, &QPushButton::clicked, this, [this] { RunGuarded([this] { BBExportClick(); }); });
    SetPage(1);
}

void TFKExportCSV::SetRange(int item)
{
    if (item >= 0 && item < 3)
        RGRozsahItems[item]->setChecked(true);
}

int TFKExportCSV::Range() const
{
    for (int i = 0; i < 3; ++i)
        if (RGRozsahItems[i]->isChecked())
            return i;
    return 1;
}

void TFKExportCSV::CBOddelExit()
{
    CheckSeparator();
}

bool TFKExportCSV::OtherThanCsv(const QString& fileName)
{
    const QStringList items = fileName.split(u'.');
    return items.size() != 2 || CzechLowerCase(items[1]) != QStringLiteral("csv");
}

void TFKExportCSV::BNextClick()
{
    if (Page() != 1)
        return;
    if (!CheckSeparator())
        return;
    const QString path = FileCSV->FileName();
    const QString name = QFileInfo(path).fileName();
    if (path.endsWith(u'/') || name.isEmpty()) {
        MessageDlgCentered(QStringLiteral("Není zadán název výsledného souboru"), MsgDlgType::Warning, MsgBtn::OK, 0);
        return;
    }
    if (QFileInfo::exists(path)
        && MessageDlgCentered(QStringLiteral("Výsledný souboru existuje a exportem bude přepsán,\rmám pokračovat?"),
               MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
            != mrYes)
        return;
    if (OtherThanCsv(name)
        && MessageDlgCentered(QStringLiteral("Výchozí typ výsledného souboru je změněn,\rmám pokračovat?"),
               MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
            != mrYes)
        return;
    SetPage(2);
}

void TFKExportCSV::BVseClick()
{
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i)
        LSloupce->topLevelItem(i)->setCheckState(NameColumn, Qt::Checked);
}

void TFKExportCSV::BVybraneClick()
{
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = LSloupce->topLevelItem(i);
        row->setCheckState(NameColumn, row->isSelected() ? Qt::Checked : Qt::Unchecked);
    }
}

void TFKExportCSV::BVychNazevClick()
{
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = LSloupce->topLevelItem(i);
        row->setText(NameColumn, row->text(DefaultNameColumn));
    }
}

// A column needs a name: an empty or blank one gives the field's own back.
void TFKExportCSV::LSloupceChanged(int row)
{
    QTreeWidgetItem* item = LSloupce->topLevelItem(row);
    if (item && item->text(NameColumn).trimmed().isEmpty())
        item->setText(NameColumn, item->text(DefaultNameColumn));
}

QList<int> TFKExportCSV::OverviewPositions(int range, int& gone) const
{
    gone = 0;
    const auto* overview = dynamic_cast<const TFKPrehled*>(FindForm(QStringLiteral("FKPrehled")));
    if (!overview)
        return {};
    QList<std::pair<int, double>> listed;
    for (const TFKPrehled::ListedContact& row : overview->ListedContacts(range == 2))
        listed.append({ row.number, row.unikat });
    QList<int> positions = LocateContacts(FKZaklad()->ContactDataPath(), listed);
    gone = int(positions.removeAll(0));
    return positions;
}

TFKExportCSV::Result TFKExportCSV::Export(const QString& path, QChar sep)
{
    QList<int> codes;
    QStringList names;
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = LSloupce->topLevelItem(i);
        if (row->checkState(NameColumn) == Qt::Checked) {
            codes << row->text(CodeColumn).toInt();
            names << row->text(NameColumn);
        }
    }
    const auto line = [&](const ContactRecord& record) {
        QStringList texts;
        texts.reserve(codes.size());
        for (int code : codes)
            texts << ContactFieldText(code, record);
        return CsvLineBytes(CsvExportLine(texts, sep));
    };

    Result result;
    ReplacementFile file(path);
    const QByteArray header = CsvLineBytes(CsvExportLine(names, sep));
    file.write(header.constData(), header.size());
    const QString data = FKZaklad()->ContactDataPath();
    const int range = Range();
    if (range == 0) {
        // Every record in file order, in one pass over the file.
        ForEachContact(data, [&](int, const ContactRecord& record) {
            const QByteArray bytes = line(record);
            file.write(bytes.constData(), bytes.size());
            ++result.written;
        });
    } else {
        // The list may be older than the file: each row's contact is found
        // where it stands now, and one the file no longer holds is left out
        // and counted, never taken for the end of the list.
        const QList<int> positions = OverviewPositions(range, result.skipped);
        const QHash<int, ContactRecord> records = ReadContactsAt(data, positions);
        for (int position : positions) {
            const auto found = records.constFind(position);
            if (found == records.constEnd()) { // the file shrank meanwhile
                ++result.skipped;
                continue;
            }
            const QByteArray bytes = line(*found);
            file.write(bytes.constData(), bytes.size());
            ++result.written;
        }
    }
    file.commit();
    return result;
}

void TFKExportCSV::BBExportClick()
{
    if (!CheckSeparator())
        return;
    bool any = false;
    for (int i = 0; i < LSloupce->topLevelItemCount() && !any; ++i)
        any = LSloupce->topLevelItem(i)->checkState(NameColumn) == Qt::Checked;
    if (!any) {
        MessageDlgCentered(
            QStringLiteral("Není vybrán žádný údaj k exportu - nelze."), MsgDlgType::Information, MsgBtn::OK, 0);
        return;
    }
    const Result result = Export(FileCSV->FileName(), Oddelovac());
    QString text = QStringLiteral("Počet exportovaných kontaktů: ") + QString::number(result.written);
    if (result.skipped > 0)
        text += QStringLiteral("\r\nVynecháno kontaktů, které už v databázi nejsou (Přehled není aktuální): ")
            + QString::number(result.skipped);
    MessageDlgCentered(text, MsgDlgType::Information, MsgBtn::OK, 0);
}

void TFKExportCSV::FormClose()
{
    TFKCsvWizard::FormClose();
    const QString ini = Ini();
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = LSloupce->topLevelItem(i);
        const int code = row->text(CodeColumn).toInt();
        IniWriteString(ini, Section(), NameKey(code), row->text(NameColumn));
        IniWriteBool(ini, Section(), StateKey(code), row->checkState(NameColumn) == Qt::Checked);
    }
}
