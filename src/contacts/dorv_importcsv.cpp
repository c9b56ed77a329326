#include "dorv_importcsv.h"

#include "dorv_newk.h"
#include "dorv_zaklad.h"

#include "components/amedit.h"
#include "components/kitctrls.h"
#include "components/proctrls.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/contactfields.h"
#include "shared/f_p.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int ClientWidth = 560;
constexpr int ClientHeight = 360;
constexpr int RowHeight = 22;

// LSloupce: the field, the assigned file column's name and number, the code.
constexpr int FieldColumn = 0;
constexpr int NameColumn = 1;
constexpr int NumberColumn = 2;
constexpr int CodeColumn = 3;

// The field that stands for "any field"; no form control shows it.
constexpr int AnyFieldCode = 35;

// The first cancelled contact asks at once, then every tenth.
constexpr int FirstCancelCount = 9;
constexpr int CancelsPerQuestion = 10;

} // namespace

TFKImportCSV::TFKImportCSV(QWidget* parent)
    : TFKCsvWizard(QStringLiteral("FKImportCSV"), QStringLiteral("Import kontaktů z CSV"),
        QStringLiteral("soubor CSV:"), ClientWidth, ClientHeight, parent)
{
    FileCSV->SetDialogKind(dkOpen);

    // Page 2: the file's columns on the left, the program's fields on the
    // right, the buttons between them.
    QWidget* second = AddPage();
    const int listTop = 28;
    const int listHeight = PageHeight() - listTop - Gap;
    auto* lCsv = new QLabel(QStringLiteral("seznam nalezených údajů"), second);
    lCsv->setGeometry(Gap, 8, 200, 18);
    LBCSV = new QListWidget(second);
    LBCSV->setObjectName(QStringLiteral("LBCSV"));
    LBCSV->setGeometry(Gap, listTop, 190, listHeight);
    lCsv->setBuddy(LBCSV);
    const auto speedButton = [&](const char* name, const QString& caption, const QString& hint, int top) {
        auto* b = new TKitSpeedButton(second);
        b->setObjectName(QLatin1String(name));
        b->SetCaption(caption);
        b->setGeometry(Gap + 196, top, 30, 26);
        b->setStatusTip(hint);
        return b;
    };
    SBPrirad = speedButton(
        "SBPrirad", QStringLiteral("<"), QStringLiteral("přiřadí vybraný údaj ze souboru CSV"), listTop + 60);
    SBZrus = speedButton("SBZrus", QStringLiteral("X"), QStringLiteral("zruší přiřazení údaje"), listTop + 92);
    connect(SBPrirad, &TKitSpeedButton::OnClick, this, [this] { SBPriradClick(); });
    connect(SBZrus, &TKitSpeedButton::OnClick, this, [this] { SBZrusClick(); });

    const int fieldsLeft = Gap + 232;
    auto* lFields = new QLabel(QStringLiteral("seznam údajů vedených v programu"), second);
    lFields->setGeometry(fieldsLeft, 8, 260, 18);
    LSloupce = new QTreeWidget(second);
    LSloupce->setObjectName(QStringLiteral("LSloupce"));
    LSloupce->setGeometry(fieldsLeft, listTop, ClientWidth - fieldsLeft - Gap, listHeight);
    LSloupce->setRootIsDecorated(false);
    LSloupce->setHeaderLabels(
        { QStringLiteral("údaj"), QStringLiteral("údaj ze souboru CSV"), QStringLiteral("č."), QStringLiteral("kód") });
    LSloupce->header()->resizeSection(FieldColumn, 110);
    LSloupce->header()->resizeSection(NameColumn, 130);
    LSloupce->header()->resizeSection(NumberColumn, 30);
    LSloupce->setColumnHidden(CodeColumn, true);
    lFields->setBuddy(LSloupce);
    const auto addRow = [this](int code) {
        new QTreeWidgetItem(LSloupce, { ContactFieldCaption(code), QString(), QString(), QString::number(code) });
    };
    for (int code = 1; code <= StoredFieldCount; ++code)
        addRow(code);
    addRow(AnyFieldCode);

    // Page 3: the default values.
    QWidget* third = AddPage();
    LVychozi = new QLabel(QStringLiteral("(budou použity jen pokud je importovaná hodnota prázdná, \r\nnebo není "
                                         "přiřazen údaj ze souboru CSV)"),
        third);
    LVychozi->setObjectName(QStringLiteral("LVychozi"));
    LVychozi->setGeometry(Gap, 4, ClientWidth - 2 * Gap, 34);
    LVychozi->setWordWrap(true);
    const auto label = [&](int code, int left, int top, int width, QWidget* buddy) {
        auto* l = new QLabel(ContactFieldCaption(code) + u':', third);
        l->setGeometry(left, top, width, 16);
        l->setBuddy(buddy);
    };
    const auto edit = [&](const char* name, int code, int maxLength, int left, int top, int width) {
        auto* e = new TAMEdit(third);
        e->setObjectName(QLatin1String(name));
        setTag(e, -code);
        e->setMaxLength(maxLength);
        e->setGeometry(left, top + 16, width, RowHeight);
        label(code, left, top, width, e);
        return e;
    };
    const auto combo = [&](const char* name, int code, int left, int top, int width) {
        auto* c = new QComboBox(third);
        c->setObjectName(QLatin1String(name));
        setTag(c, -code);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->lineEdit()->setMaxLength(50);
        c->setGeometry(left, top + 16, width, RowHeight);
        label(code, left, top, width, c);
        return c;
    };
    const int streetWidth = 250, postWidth = 80;
    const int postLeft = Gap + streetWidth + 6, townLeft = postLeft + postWidth + 6;
    const int townWidth = ClientWidth - Gap - townLeft;
    AMEUlice1 = edit("AMEUlice1", 21, 50, Gap, 42, streetWidth);
    AMEPSC1 = edit("AMEPSC1", 22, 10, postLeft, 42, postWidth);
    AMEMesto1 = edit("AMEMesto1", 23, 50, townLeft, 42, townWidth);
    AMEUlice2 = edit("AMEUlice2", 24, 50, Gap, 84, streetWidth);
    AMEPSC2 = edit("AMEPSC2", 25, 10, postLeft, 84, postWidth);
    AMEMesto2 = edit("AMEMesto2", 26, 50, townLeft, 84, townWidth);
    CBFirma = combo("CBFirma", 27, Gap, 126, streetWidth);
    CBFunkce = combo("CBFunkce", 28, postLeft, 126, ClientWidth - Gap - postLeft);

    const int groupTop = 176;
    LSkupina = new TProLabel(third);
    LSkupina->setObjectName(QStringLiteral("LSkupina"));
    LSkupina->SetAutoSize(false);
    LSkupina->SetAngle(90);
    LSkupina->SetCaption(QStringLiteral("SKUPINA"));
    LSkupina->setGeometry(Gap, groupTop, 18, 3 * 28 - 4);
    TAMEdit** lists[] = { &AMESkupina1, &AMESkupina2, &AMESkupina3 };
    QComboBox** pickers[] = { &CBSkupina1, &CBSkupina2, &CBSkupina3 };
    TKitSpeedButton** adders[] = { &SBSkupina1, &SBSkupina2, &SBSkupina3 };
    for (int level = 1; level <= 3; ++level) {
        const GroupLevelControls row = MakeGroupLevel(third, level, groupTop + (level - 1) * 28,
            { Gap + 24, 58, 16, Gap + 84, 250, Gap + 338, 28, Gap + 370, ClientWidth - 2 * Gap - 370, RowHeight });
        *lists[level - 1] = row.list;
        *adders[level - 1] = row.add;
        *pickers[level - 1] = row.picker;
        connect(row.add, &TKitSpeedButton::OnClick, this, [this, level] { SBSkupinaClick(level); });
    }

    BBImport = new QPushButton(QStringLiteral("Import"), third);
    BBImport->setObjectName(QStringLiteral("BBImport"));
    BBImport->setGeometry(ClientWidth - Gap - 110, PageHeight() - 28 - 4, 110, 28);
    BBImport->setAutoDefault(false);
    BBImport->setStatusTip(QStringLiteral("spustí import kontaktů ze souboru CSV"));
    connect(BBImport, &QPushButton::clicked, this, [this] { RunGuarded([this] { BBImportClick(); }); });
    SetPage(1);

    const QString data = FKZaklad()->ContactDataPath();
    for (int level = 1; level <= 3; ++level)
        FillGroupCombo(level, GroupPicker(level), data);
    FillFieldValueCombo(28, CBFunkce, data);
    FillFieldValueCombo(27, CBFirma, data);
}

QComboBox* TFKImportCSV::GroupPicker(int level) const
{
    return level == 2 ? CBSkupina2 : level == 3 ? CBSkupina3 : CBSkupina1;
}

TAMEdit* TFKImportCSV::GroupList(int level) const
{
    return level == 2 ? AMESkupina2 : level == 3 ? AMESkupina3 : AMESkupina1;
}

void TFKImportCSV::BNextClick()
{
    if (Page() == 1) {
        const QString path = FileCSV->FileName();
        if (!QFileInfo(path).isFile())
            return;
        // Any one character splits a file; without one nothing can be read.
        if (Oddelovac().isNull()) {
            CheckSeparator();
            return;
        }
        m_table = CsvTable(ReadCsvFile(path), Oddelovac());
        LBCSV->clear();
        LBCSV->addItems(m_table.columns());
        SetPage(2);
    } else if (Page() == 2)
        SetPage(3);
}

void TFKImportCSV::BPrevClick()
{
    if (Page() == 2) {
        if (MessageDlgCentered(QStringLiteral("Vrácením ztratíte provedené úpravy - chtete provést?"),
                MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
            != mrYes)
            return;
        LBCSV->clear();
        m_table = {};
        for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
            LSloupce->topLevelItem(i)->setText(NameColumn, QString());
            LSloupce->topLevelItem(i)->setText(NumberColumn, QString());
        }
    }
    TFKCsvWizard::BPrevClick();
}

void TFKImportCSV::SBPriradClick()
{
    QTreeWidgetItem* row = LSloupce->currentItem();
    if (!row || !row->isSelected())
        return;
    int column = -1;
    for (int i = 0; i < LBCSV->count() && column < 0; ++i)
        if (LBCSV->item(i)->isSelected())
            column = i;
    if (column < 0)
        return;
    row->setText(NameColumn, LBCSV->item(column)->text());
    row->setText(NumberColumn, QString::number(column + 1));
    if (QTreeWidgetItem* next = LSloupce->itemBelow(row))
        LSloupce->setCurrentItem(next);
}

void TFKImportCSV::SBZrusClick()
{
    QTreeWidgetItem* row = LSloupce->currentItem();
    if (!row || !row->isSelected())
        return;
    row->setText(NameColumn, QString());
    row->setText(NumberColumn, QString());
}

void TFKImportCSV::SBSkupinaClick(int level)
{
    AddPickedGroup(GroupPicker(level), GroupList(level));
}

QString TFKImportCSV::DejVychHodnotu(int code) const
{
    if (code == 0)
        return {};
    for (QWidget* w : PageWidget(3)->findChildren<QWidget*>()) {
        if (tag(w) != -code)
            continue;
        if (auto* e = qobject_cast<TAMEdit*>(w))
            return e->text();
        if (auto* c = qobject_cast<QComboBox*>(w))
            return c->currentText();
    }
    return {};
}

QList<CsvAssignment> TFKImportCSV::Assignments() const
{
    QList<CsvAssignment> rows;
    for (int i = 0; i < LSloupce->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = LSloupce->topLevelItem(i);
        rows.append({ row->text(CodeColumn).toInt(), row->text(NumberColumn).toInt() });
    }
    return rows;
}

int TFKImportCSV::ImportLines(const CsvTable& table, const Confirmation& confirm)
{
    const QList<CsvAssignment> rows = Assignments();
    QHash<int, QString> defaults;
    for (const CsvAssignment& row : rows)
        defaults.insert(row.code, DejVychHodnotu(row.code));
    int saved = 0;
    int cancelled = FirstCancelCount;
    table.forEachLine([&](const QStringList& fields) {
        if (confirm(CsvLineValues(fields, rows, defaults))) {
            ++saved;
            return true;
        }
        if (++cancelled < CancelsPerQuestion)
            return true;
        if (MessageDlgCentered(QStringLiteral("Mám ukončit import?\r\n(další případný dotaz na ukončení po 10-ti "
                                              "neimportovaných kontaktech)"),
                MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
            == mrYes)
            return false;
        cancelled = 0;
        return true;
    });
    return saved;
}

bool TFKImportCSV::ConfirmInForm(const QList<CsvValue>& values)
{
    const int result = RunNewContactForm([&values](TFKNew* form) {
        for (const CsvValue& v : values)
            SetFieldByTag(form, v.code, v.text);
    });
    return result == mrOk;
}

void TFKImportCSV::BBImportClick()
{
    ImportLines(m_table, &TFKImportCSV::ConfirmInForm);
}
