#include "dorv_prehlsloup.h"

#include "components/kitctrls.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/contactfields.h"
#include "shared/f_p.h"
#include "shared/itemlist.h"
#include "shared/listviewtovi.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int ClientWidth = 411;
constexpr int ClientHeight = 326;

QTreeWidget* MakeList(QWidget* parent, const char* name, const QString& caption, const QString& hint, int left)
{
    auto* label = new QLabel(caption, parent);
    label->setGeometry(left, 6, 170, 16);
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(left, 24, 170, 222);
    list->setColumnCount(2);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setColumnWidth(0, 128);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setToolTip(hint);
    list->setStatusTip(hint);
    label->setBuddy(list);
    return list;
}

void AddField(QTreeWidget* list, int code)
{
    auto* row = new QTreeWidgetItem(list);
    row->setText(0, ContactFieldCaption(code));
    row->setText(1, QString::number(code));
}

} // namespace

TFKPrehlSloup::TFKPrehlSloup(QWidget* parent)
    : TFKVychZakl(parent)
{
    setObjectName(QStringLiteral("FKPrehlSloup"));
    setWindowTitle(QStringLiteral("Sloupce - nastavení"));
    resize(ClientWidth, ClientHeight);
    QWidget* client = Client();
    LVyber = MakeList(
        client, "LVyber", QStringLiteral("Výběr k zobrazení:"), QStringLiteral("seznam údajů k zobrazení"), 6);
    LPouz = MakeList(client, "LPouz", QStringLiteral("Zobrazeno:"), QStringLiteral("seznam zobrazených údajů"), 230);
    for (int code = 1; code <= TextFieldCount; ++code)
        AddField(LVyber, code);

    const auto button = [client](TKitSpeedButton*& b, const char* name, const QString& caption, int top) {
        b = new TKitSpeedButton(client);
        b->setObjectName(QLatin1String(name));
        b->SetCaption(caption);
        b->setGeometry(188, top, 34, 26);
        return b;
    };
    connect(button(SBPridej, "SBPridej", QStringLiteral(">"), 60), &TKitSpeedButton::OnClick, this,
        [this] { SBPridejClick(); });
    connect(button(SBOdeber, "SBOdeber", QStringLiteral("X"), 92), &TKitSpeedButton::OnClick, this,
        [this] { SBOdeberClick(); });
    connect(button(SBNahoru, "SBNahoru", QStringLiteral("/\\"), 156), &TKitSpeedButton::OnClick, this,
        [this] { SBPosunClick(tag(SBNahoru)); });
    connect(button(SBDolu, "SBDolu", QStringLiteral("\\/"), 188), &TKitSpeedButton::OnClick, this,
        [this] { SBPosunClick(tag(SBDolu)); });
    setTag(SBNahoru, -1);
    setTag(SBDolu, 1);

    BOK = new QPushButton(QStringLiteral("&OK"), client);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setGeometry(230, 252, 82, 25);
    BOK->setStatusTip(QStringLiteral("použije dané uspořádání"));
    BOK->setToolTip(BOK->statusTip());
    connect(BOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { BOKClick(); }); });
    BCancel = new QPushButton(QStringLiteral("&Storno"), client);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setGeometry(318, 252, 82, 25);
    BCancel->setStatusTip(QStringLiteral("nepoužije dané uspořádání"));
    BCancel->setToolTip(BCancel->statusTip());
    connect(BCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TFKPrehlSloup::SetListView(QTreeWidget* list, const QString& section)
{
    m_list = list;
    m_section = section;
}

void TFKPrehlSloup::showEvent(QShowEvent* event)
{
    TFKVychZakl::showEvent(event);
    if (m_shown || !m_list)
        return;
    m_shown = true;
    const QString layout = ColumnLayout(m_list);
    const int n = ItemCount(layout, u';');
    for (int i = 1; i <= n; ++i)
        if (const int code = ExtractItem(layout, u';', i).toInt(); code != 0)
            AddField(LPouz, code);
}

QString TFKPrehlSloup::Layout() const
{
    QStringList codes;
    for (int i = 0; i < LPouz->topLevelItemCount(); ++i)
        codes << LPouz->topLevelItem(i)->text(1);
    return codes.join(u';');
}

void TFKPrehlSloup::SBPridejClick()
{
    CopySelectedItems(LVyber, LPouz, false);
}

void TFKPrehlSloup::SBOdeberClick()
{
    const QList<QTreeWidgetItem*> selected = LPouz->selectedItems();
    if (selected.isEmpty())
        return;
    for (QTreeWidgetItem* row : selected)
        if (row->text(1).toInt() == NumberFieldCode) {
            row->setSelected(false);
            MessageDlgCentered(
                QStringLiteral("Položku číslo nelze odstranit."), MsgDlgType::Information, MsgBtn::OK, 0);
        }
    for (int i = 0; i < LPouz->topLevelItemCount(); ++i)
        if (LPouz->topLevelItem(i)->isSelected()) {
            delete LPouz->takeTopLevelItem(i);
            return;
        }
}

void TFKPrehlSloup::SBPosunClick(int delta)
{
    if (!LPouz->selectedItems().isEmpty())
        MoveSelected(LPouz, delta);
}

void TFKPrehlSloup::BOKClick()
{
    if (!m_section.isEmpty())
        IniWriteString(FKZaklad()->PlacementFile(), m_section, QStringLiteral("ListSeznam"), Layout());
    done(mrOk);
}
