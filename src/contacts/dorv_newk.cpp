#include "dorv_newk.h"

#include "dorv_okna.h"

#include "components/amedit.h"
#include "components/contexthelp.h"
#include "components/kitalign.h"
#include "components/kitctrls.h"
#include "components/kitstatusbar.h"
#include "components/proctrls.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/itemlist.h"
#include "shared/jbstr.h"
#include "shared/listviewtovi.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace {

constexpr int DesignWidth = 472;
constexpr int DesignHeight = 504;
constexpr int RowHeight = 38;
constexpr int LabelHeight = 14;
constexpr int ControlHeight = 21;
constexpr int GroupRowHeight = 28;
constexpr int MemoMaxLength = 1000;
// A 20-digit number shown in blocks of three takes six blanks more; an edit
// that cut it would lose digits on the next save.
constexpr int PhoneShownLength = 26;

const int PhoneCodes[] = { 15, 16, 17, 18, 19, 20 };

bool IsPhone(int code)
{
    return std::find(std::begin(PhoneCodes), std::end(PhoneCodes), code) != std::end(PhoneCodes);
}

QString ControlText(const QWidget* w)
{
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (const auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    if (const auto* m = qobject_cast<const QTextEdit*>(w))
        return m->toPlainText();
    return {};
}

void SetControlText(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(text);
    else if (auto* m = qobject_cast<QTextEdit*>(w))
        m->setPlainText(text);
}

// The classes a CSV value may be given to; a derived class is no match.
bool TakesImportedText(const QWidget* w)
{
    const QMetaObject* m = w->metaObject();
    return m == &TAMEdit::staticMetaObject || m == &QComboBox::staticMetaObject || m == &QTextEdit::staticMetaObject;
}

void SetHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

} // namespace

TFKNew::TFKNew(QWidget* parent)
    : TFKVychozi(parent)
{
    setObjectName(QStringLiteral("FKNew"));
    setWindowTitle(QStringLiteral("Nový kontakt"));
    SetHelpContext(this, 1100);
    PlacementSection = QStringLiteral("FKNew");
    MinTrackWidth = 480;
    MinTrackHeight = 550;
    DefaultClientWidth = DesignWidth;
    DefaultClientHeight = DesignHeight;
    resize(DesignWidth, DesignHeight);
    BuildControls();
    BuildMenus();
}

TFKNew::~TFKNew() = default;

QString TFKNew::PlacementFile() const
{
    return FKZaklad()->PlacementFile();
}

QString TFKNew::DataPath() const
{
    return FKZaklad()->ContactDataPath();
}

void TFKNew::BuildControls()
{
    QWidget* client = Client();
    SetAlign(SBar(), alBottom);
    int top = 0;
    const auto panel
        = [&](const char* name, int height) { return AddTopPanel(client, name, DesignWidth, height, top); };
    // A field control under its label, in row `row` of its panel.
    const auto place = [](QWidget* w, const char* name, int code, int maxLength, int left, int row, int width,
                           const QString& label) {
        w->setObjectName(QLatin1String(name));
        setTag(w, -code);
        w->setGeometry(left, row * RowHeight + 2 + LabelHeight, width, ControlHeight);
        auto* l = new QLabel(label, w->parentWidget());
        l->setGeometry(left, row * RowHeight + 2, width, LabelHeight);
        l->setBuddy(w);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setMaxLength(maxLength);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            c->lineEdit()->setMaxLength(maxLength);
    };
    const auto edit = [&](QWidget* parent, const char* name, int code, int maxLength, int left, int row, int width,
                          const QString& label) {
        auto* e = new TAMEdit(parent);
        place(e, name, code, IsPhone(code) ? PhoneShownLength : maxLength, left, row, width, label);
        // A pasted text of several lines becomes one.
        connect(e, &QLineEdit::textChanged, e, [e](const QString& text) {
            if (text.contains(u'\n') || text.contains(u'\r'))
                e->setText(RemoveChar(u'\r', RemoveChar(u'\n', text)));
        });
        return e;
    };
    const auto combo = [&](QWidget* parent, const char* name, int code, int maxLength, int left, int row, int width,
                           const QString& label) {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        place(c, name, code, maxLength, left, row, width, label);
        return c;
    };

    PJmeno = panel("PJmeno", 2 * RowHeight + 2);
    CBTitul_pred = combo(PJmeno, "CBTitul_pred", 1, 10, 4, 0, 62, QStringLiteral("titul před"));
    AMEJmeno = edit(PJmeno, "AMEJmeno", 2, 25, 70, 0, 130, QStringLiteral("&jméno"));
    AMEPrijmeni = edit(PJmeno, "AMEPrijmeni", 3, 35, 204, 0, 186, QStringLiteral("&příjmení"));
    CBTitul_za = combo(PJmeno, "CBTitul_za", 4, 10, 394, 0, 74, QStringLiteral("titul za"));
    for (QComboBox* c : { CBTitul_pred, CBTitul_za })
        c->addItems({ QStringLiteral("Ing."), QStringLiteral("Doc.") });
    for (QComboBox* c : { CBTitul_pred, CBTitul_za })
        c->setEditText(QString());
    CBPohlavi = combo(PJmeno, "CBPohlavi", 5, 10, 4, 1, 62, QStringLiteral("pohlaví"));
    CBPohlavi->addItems({ QStringLiteral("muž"), QStringLiteral("žena") });
    CBPohlavi->setCurrentIndex(0);
    OnExit(CBPohlavi, [this] { CBPohlaviExit(); });
    AMEUlice1 = edit(PJmeno, "AMEUlice1", 21, 50, 70, 1, 190, QStringLiteral("ulice (domů)"));
    AMEPSC1 = edit(PJmeno, "AMEPSC1", 22, 10, 264, 1, 56, QStringLiteral("PSČ"));
    AMEMesto1 = edit(PJmeno, "AMEMesto1", 23, 50, 324, 1, 144, QStringLiteral("město"));

    PFirma = panel("PFirma", 2 * RowHeight + 2);
    // The field holds 150 characters: a longer stored name is shown whole.
    CBFirma = combo(PFirma, "CBFirma", 27, 150, 4, 0, 260, QStringLiteral("&firma"));
    CBFunkce = combo(PFirma, "CBFunkce", 28, 50, 268, 0, 200, QStringLiteral("funkce"));
    AMEUlice2 = edit(PFirma, "AMEUlice2", 24, 50, 4, 1, 256, QStringLiteral("ulice (firma)"));
    AMEPSC2 = edit(PFirma, "AMEPSC2", 25, 10, 264, 1, 56, QStringLiteral("PSČ"));
    AMEMesto2 = edit(PFirma, "AMEMesto2", 26, 50, 324, 1, 144, QStringLiteral("město"));

    PKontakt = panel("PKontakt", 3 * RowHeight + 2);
    AMEEmail1 = edit(PKontakt, "AMEEmail1", 9, 100, 4, 0, 152, QStringLiteral("&e-mail 1"));
    AMEEmail2 = edit(PKontakt, "AMEEmail2", 10, 100, 160, 0, 152, QStringLiteral("e-mail 2"));
    AMEEmail3 = edit(PKontakt, "AMEEmail3", 11, 100, 316, 0, 152, QStringLiteral("e-mail 3"));
    AMETel1 = edit(PKontakt, "AMETel1", 15, 20, 4, 1, 112, QStringLiteral("&telefon 1"));
    AMETel2 = edit(PKontakt, "AMETel2", 16, 20, 120, 1, 112, QStringLiteral("telefon 2"));
    AMEFax = edit(PKontakt, "AMEFax", 17, 20, 236, 1, 112, QStringLiteral("fax"));
    AMEICQ = edit(PKontakt, "AMEICQ", 29, 20, 352, 1, 116, QStringLiteral("ICQ"));
    AMEMobil1 = edit(PKontakt, "AMEMobil1", 18, 20, 4, 2, 112, QStringLiteral("&mobil 1"));
    AMEMobil2 = edit(PKontakt, "AMEMobil2", 19, 20, 120, 2, 112, QStringLiteral("mobil 2"));
    AMEMobil3 = edit(PKontakt, "AMEMobil3", 20, 20, 236, 2, 112, QStringLiteral("mobil 3"));
    AMEJine = edit(PKontakt, "AMEJine", 12, 150, 352, 2, 116, QStringLiteral("jiné"));

    PWww = panel("PWww", RowHeight + 2);
    AMEWWW1 = edit(PWww, "AMEWWW1", 13, 255, 4, 0, 230, QStringLiteral("adresa www 1"));
    AMEWWW2 = edit(PWww, "AMEWWW2", 14, 255, 238, 0, 230, QStringLiteral("adresa www 2"));

    PSkupina = panel("PSkupina", 3 * GroupRowHeight + 6);
    LSkupina = new TProLabel(PSkupina);
    LSkupina->setObjectName(QStringLiteral("LSkupina"));
    LSkupina->SetAutoSize(false);
    LSkupina->SetAngle(90);
    LSkupina->SetCaption(QStringLiteral("SKUPINA"));
    LSkupina->setGeometry(2, 2, 18, PSkupina->height() - 4);
    TAMEdit** lists[] = { &AMESkupina1, &AMESkupina2, &AMESkupina3 };
    QComboBox** pickers[] = { &CBSkupina1, &CBSkupina2, &CBSkupina3 };
    TKitSpeedButton** adders[] = { &SBSkupina1, &SBSkupina2, &SBSkupina3 };
    for (int level = 1; level <= 3; ++level) {
        const GroupLevelControls row = MakeGroupLevel(PSkupina, level, 4 + (level - 1) * GroupRowHeight,
            { 22, 56, LabelHeight, 80, 230, 312, 26, 340, 128, ControlHeight });
        *lists[level - 1] = row.list;
        *adders[level - 1] = row.add;
        QComboBox* picker = *pickers[level - 1] = row.picker;
        SetHint(row.add, row.add->statusTip());
        connect(row.add, &TKitSpeedButton::OnClick, this, [this, level] { SBSkupinaClick(level); });
        connect(picker->lineEdit(), &QLineEdit::returnPressed, this, [this, level] { SBSkupinaClick(level); });
        OnExit(picker, [this, level] { CBSkupinaExit(level); });
    }

    PButton = new QWidget(client);
    PButton->setObjectName(QStringLiteral("PButton"));
    PButton->setGeometry(DesignWidth - 118, top, 118, 90);
    SetAlign(PButton, alRight);
    BOK = new QPushButton(QStringLiteral("&OK"), PButton);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setGeometry(4, 4, 110, 25);
    SetHint(BOK, QStringLiteral("přidá nový kontakt do databáze"));
    connect(BOK, &QPushButton::clicked, this, [this] { BOKClick(); });
    BCancel = new QPushButton(QStringLiteral("&Storno"), PButton);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setGeometry(4, 32, 110, 25);
    connect(BCancel, &QPushButton::clicked, this, [this] { BCancelClick(); });
    // Enter belongs to the edits (the group pickers add with it), never to
    // a button.
    for (QPushButton* b : { BOK, BCancel })
        b->setAutoDefault(false);
    ChBPrenos = new QCheckBox(QStringLiteral("přenos"), PButton);
    ChBPrenos->setObjectName(QStringLiteral("ChBPrenos"));
    ChBPrenos->setGeometry(4, 62, 64, 20);
    SetHint(ChBPrenos, QStringLiteral("kontakt se přenáší exportem na jiný počítač"));
    ChBTajne = new QCheckBox(QStringLiteral("tajné"), PButton);
    ChBTajne->setObjectName(QStringLiteral("ChBTajne"));
    ChBTajne->setGeometry(68, 62, 50, 20);
    ChBTajne->hide();

    MPopis = new QTextEdit(client);
    MPopis->setObjectName(QStringLiteral("MPopis"));
    setTag(MPopis, -34);
    MPopis->setAcceptRichText(false);
    MPopis->setPlaceholderText(QStringLiteral("popis"));
    MPopis->setGeometry(0, top, DesignWidth - PButton->width(), 90);
    SetAlign(MPopis, alClient);
    LimitMemoLength(MPopis, MemoMaxLength);

    // Looked up for every field of every contact shown or saved: a search of
    // the form's children each time made thousands of contacts take minutes.
    for (QWidget* w : client->findChildren<QWidget*>())
        if (const int t = tag(w); t < 0)
            m_fieldControls[-t] << w;

    AMEJmeno->setFocus();
}

void TFKNew::BuildMenus()
{
    MVychozi = new QMenu(QStringLiteral("&Výchozí"), Menu());
    MVychozi->setObjectName(QStringLiteral("MVychozi"));
    MMoznosti = new QMenu(QStringLiteral("&Možnosti"), Menu());
    MMoznosti->setObjectName(QStringLiteral("MMoznosti"));
    QAction* first = Menu()->actions().value(0);
    Menu()->insertMenu(first, MVychozi);
    Menu()->insertMenu(first, MMoznosti);

    struct Default {
        QMenu*& menu;
        QAction*& info;
        const char* name;
        QString caption;
        QString key;
        bool def;
        QCheckBox* box;
    };
    const Default defaults[] = {
        { MPrenos, MPrenosInfo, "MPrenos", QStringLiteral("&přenos"), QStringLiteral("implprenos"), true, ChBPrenos },
        { MTajne, MTajneInfo, "MTajne", QStringLiteral("&tajné"), QStringLiteral("impltajne"), false, ChBTajne },
    };
    for (const Default& d : defaults) {
        d.menu = MVychozi->addMenu(d.caption);
        d.menu->setObjectName(QLatin1String(d.name));
        QAction* set = d.menu->addAction(QStringLiteral("&nastav dle aktuálního"));
        d.info = d.menu->addAction(QStringLiteral("nastaveno na:"));
        QAction* info = d.info;
        const QString key = d.key;
        const bool def = d.def;
        QCheckBox* box = d.box;
        connect(d.menu, &QMenu::aboutToShow, this,
            [this, key, info, def] { RunGuarded([&] { InfoOVychBool(key, info, def); }); });
        connect(set, &QAction::triggered, this, [this, key, box] {
            RunGuarded([&] { IniWriteBool(PlacementFile(), PlacementSection, key, box->isChecked()); });
        });
    }
    MTajne->menuAction()->setVisible(false);

    MFiltrSkupin = MMoznosti->addAction(QStringLiteral("filtrovat výběr skupin"));
    MFiltrSkupin->setObjectName(QStringLiteral("MFiltrSkupin"));
    MFiltrSkupin->setCheckable(true);
    connect(MMoznosti, &QMenu::aboutToShow, this, [this] { MFiltrSkupin->setChecked(FiltrSkupin); });
    connect(MFiltrSkupin, &QAction::triggered, this, [this] { RunGuarded([this] { MFiltrSkupinClick(); }); });
}

void TFKNew::InfoOVychBool(const QString& key, QAction* item, bool def)
{
    item->setText(IniReadBool(PlacementFile(), PlacementSection, key, def) ? QStringLiteral("nastaveno na: ANO")
                                                                           : QStringLiteral("nastaveno na: NE"));
}

QList<QWidget*> TFKNew::FieldControls(int code) const
{
    return code == 0 ? QList<QWidget*>() : m_fieldControls.value(code);
}

QComboBox* TFKNew::GroupPicker(int level) const
{
    return level == 2 ? CBSkupina2 : level == 3 ? CBSkupina3 : CBSkupina1;
}

TAMEdit* TFKNew::GroupList(int level) const
{
    return level == 2 ? AMESkupina2 : level == 3 ? AMESkupina3 : AMESkupina1;
}

void SetFieldByTag(TFKNew* form, int code, const QString& text)
{
    if (code == 0)
        return;
    const QString t = RemoveChar(u'"', text);
    if (code == 5) {
        if (CzechLowerCase(t) == QStringLiteral("žena")) {
            form->CBPohlavi->setEditText(QStringLiteral("žena"));
            form->Gender = 1;
        }
        return;
    }
    for (QWidget* w : form->FieldControls(code))
        if (TakesImportedText(w))
            SetControlText(w, t);
}

void TFKNew::ZapisZazDoForm(const ContactRecord& r)
{
    for (const ContactTextField& f : ContactTextFields()) {
        const QString& value = r.*f.member;
        for (QWidget* w : FieldControls(f.code))
            SetControlText(w, IsPhone(f.code) ? GroupBy3(value) : value);
    }
    Gender = r.pohlavi;
    CBPohlavi->setEditText(GenderText(r.pohlavi));
    MPopis->setPlainText(JoinMemoPieces({ r.popis1, r.popis2, r.popis3, r.popis4 }));
    ChBPrenos->setChecked(r.prenos);
    ChBTajne->setChecked(r.tajne);
}

void TFKNew::ControlsToRecord(ContactRecord& r) const
{
    for (const ContactTextField& f : ContactTextFields()) {
        const QList<QWidget*> controls = FieldControls(f.code);
        if (controls.isEmpty())
            continue; // the description's pieces come from the memo
        const QString text = ControlText(controls.first());
        r.*f.member = IsPhone(f.code) ? CleanPhoneNumber(text) : text;
    }
    r.pohlavi = Gender;
    r.popis1 = MemoPiece(1, MPopis);
    r.popis2 = MemoPiece(2, MPopis);
    r.popis3 = MemoPiece(3, MPopis);
    r.popis4 = MemoPiece(4, MPopis);
    r.vymazano = false;
    r.prenos = ChBPrenos->checkState() == Qt::Checked;
    r.tajne = ChBTajne->checkState() == Qt::Checked;
}

void TFKNew::NactiSkupiny()
{
    const QPointer<TFKNew> self(this);
    for (int level = 1; level <= 3 && self; ++level)
        FillGroupCombo(level, GroupPicker(level), DataPath());
}

void TFKNew::showEvent(QShowEvent* event)
{
    TFKVychozi::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    RunGuarded([this] { FormShow(); });
}

void TFKNew::FormShow()
{
    const QString ini = PlacementFile();
    ChBPrenos->setChecked(IniReadBool(ini, PlacementSection, QStringLiteral("implprenos"), true));
    ChBTajne->setChecked(IniReadBool(ini, PlacementSection, QStringLiteral("impltajne"), false));
    FiltrSkupin = IniReadBool(ini, PlacementSection, QStringLiteral("filtrskupin"), false);

    // The first showing lets no event in (the base window holds them), so
    // the form is whole before the user can act on it.
    NactiSkupiny();
    const std::pair<int, QComboBox*> valueLists[]
        = { { 28, CBFunkce }, { 27, CBFirma }, { 1, CBTitul_pred }, { 4, CBTitul_za } };
    for (const auto& [code, combo] : valueLists)
        FillFieldValueCombo(code, combo, DataPath());
    if (CopySource == 0)
        return;
    int position = CopySource;
    ContactRecord r;
    ReadContact(position, DataPath(), r);
    ZapisZazDoForm(r);
    for (QWidget* w : { static_cast<QWidget*>(CBTitul_pred), static_cast<QWidget*>(AMEJmeno),
             static_cast<QWidget*>(AMEPrijmeni), static_cast<QWidget*>(CBTitul_za) })
        SetControlText(w, QString());
}

int RunNewContactForm(const std::function<void(TFKNew* form)>& fill)
{
    QPointer<TFKNew> form = dynamic_cast<TFKNew*>(ContactForms().Create(QStringLiteral("FKNew")));
    if (!form)
        return mrCancel;
    fill(form);
    const int result = Dialogs::execModal(form);
    // A form that was not closed (its run ended otherwise) goes as well.
    if (form)
        form->deleteLater();
    return result;
}

void AddPickedGroup(const QComboBox* picker, TAMEdit* list)
{
    const QString group = picker->currentText();
    if (group.isEmpty() || ListHasItem(list->text(), group, u';'))
        return;
    list->setText(list->text().isEmpty() ? group : list->text() + u';' + group);
}

GroupLevelControls MakeGroupLevel(QWidget* parent, int level, int y, const GroupLevelColumns& c)
{
    auto* label = new QLabel(QStringLiteral("úroveň %1:").arg(level), parent);
    label->setGeometry(c.labelX, y + 3, c.labelWidth, c.labelHeight);
    auto* list = new TAMEdit(parent);
    list->setObjectName(QStringLiteral("AMESkupina%1").arg(level));
    setTag(list, -(5 + level));
    list->setMaxLength(250);
    list->setGeometry(c.listX, y, c.listWidth, c.height);
    label->setBuddy(list);
    auto* add = new TKitSpeedButton(parent);
    add->setObjectName(QStringLiteral("SBSkupina%1").arg(level));
    setTag(add, level);
    add->SetCaption(QStringLiteral("<+"));
    add->setGeometry(c.addX, y, c.addWidth, c.height);
    add->setStatusTip(QStringLiteral("přidá vybranou skupinu do seznamu"));
    auto* picker = new QComboBox(parent);
    picker->setObjectName(QStringLiteral("CBSkupina%1").arg(level));
    setTag(picker, level);
    picker->setEditable(true);
    picker->setInsertPolicy(QComboBox::NoInsert);
    picker->lineEdit()->setMaxLength(250);
    picker->setGeometry(c.pickerX, y, c.pickerWidth, c.height);
    return { list, add, picker };
}

void TFKNew::SBSkupinaClick(int level)
{
    AddPickedGroup(GroupPicker(level), GroupList(level));
}

void TFKNew::CBSkupinaExit(int level)
{
    if (FiltrSkupin)
        FilterGroupCombos(level, GroupPicker(level)->currentText(), CBSkupina1, CBSkupina2, CBSkupina3, DataPath());
}

void TFKNew::CBPohlaviExit()
{
    const QString text = CBPohlavi->currentText();
    if (GenderMayDiffer && text == u'*')
        return;
    if (int index; ComboIndexOfCzech(text, CBPohlavi, index)) {
        Gender = index;
        return;
    }
    MessageDlgCentered(
        QStringLiteral("Chybná hodnota, nutno použít pouze předvolené."), MsgDlgType::Warning, MsgBtn::OK, 0);
    FocusAfterwards(CBPohlavi);
}

void TFKNew::MFiltrSkupinClick()
{
    FiltrSkupin = !FiltrSkupin;
    MFiltrSkupin->setChecked(FiltrSkupin);
    if (!FiltrSkupin)
        NactiSkupiny();
}

void TFKNew::BOKClick()
{
    RunGuarded([this] {
        ContactRecord r;
        ControlsToRecord(r);
        r.verze = DataVersion;
        // The stamp is one no contact of the file has when the contact joins it.
        const DataFileLock lock(DataPath());
        r.unikat = NewContactStamp(DataPath());
        r.zmena = r.unikat;
        AppendContact(DataPath(), r);
        CommandChannel::own().postToSelf(dcReloadList, 0);
        CommandChannel::own().postToSelf(dcReloadGroups, 0);
        Saved = true;
        done(mrOk);
    });
}

void TFKNew::BCancelClick()
{
    close();
}

bool TFKNew::AcceptClose()
{
    if (m_closeAccepted)
        return true;
    // An ending program asks nobody: input never saved is not stored.
    if (!Saved && !FKZaklad()->Ending()
        && MessageDlgCentered(
               QStringLiteral("Opravdu ukončit formulář?"), MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
            != mrYes)
        return false;
    m_closeAccepted = true;
    RunGuarded([this] { FormClose(); });
    return true;
}

void TFKNew::FormClose()
{
    IniWriteBool(PlacementFile(), PlacementSection, QStringLiteral("filtrskupin"), FiltrSkupin);
}

void TFKNew::closeEvent(QCloseEvent* event)
{
    if (!AcceptClose()) {
        event->ignore();
        return;
    }
    TFKVychozi::closeEvent(event);
}

// Escape, the close box and the buttons all end here; a saved form reports
// OK to a modal caller, any other Cancel.
void TFKNew::done(int result)
{
    Q_UNUSED(result);
    if (!AcceptClose())
        return;
    TFKVychozi::done(Saved ? mrOk : mrCancel);
}

// The window keeps the height the user gives it, and the width too unless it
// was made wider than its proportion; the panels stay stacked from the top
// and the description takes what is left below them.
void TFKNew::resizeEvent(QResizeEvent* event)
{
    if (!FormCreated() || isMaximized() || isFullScreen() || m_resizeDepth > 0) {
        TFKVychozi::resizeEvent(event);
        return;
    }
    ++m_resizeDepth;
    const int w0 = width();
    const int h0 = height();
    bool restoreHeight = true;
    if (w0 == DefaultClientWidth) {
        DefaultClientHeight = h0;
        restoreHeight = false;
    }
    const bool referenceWider = qint64(DefaultClientWidth) * h0 > qint64(w0) * DefaultClientHeight;
    TFKVychozi::resizeEvent(event);

    const int frame = frameGeometry().height() - height();
    MinTrackHeight = std::max(550, Client()->y() + PSkupina->y() + 2 * PSkupina->height() + frame);
    setMinimumHeight(std::max(0, MinTrackHeight - frame));
    if (restoreHeight && height() != h0)
        resize(width(), std::max(h0, minimumHeight()));
    if (referenceWider && width() != w0)
        resize(w0, height());
    --m_resizeDepth;
}
