#include "ruvo_vypdc.h"

#include "components/contexthelp.h"
#include "components/dateedit.h"
#include "components/kitalign.h"
#include "components/kitspin.h"
#include "components/kitstatusbar.h"
#include "components/listpictures.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/tag.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/listviewtovi.h"
#include "shared/reminderdates.h"
#include "shared/reminderkinds.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int DesignClientWidth = 276;
// The controls' part of the client area, between the menu and the status bar.
constexpr int ControlsHeight = 222;
constexpr int GroupLeft = 4;
constexpr int GroupWidth = 268;
constexpr int GroupHeight = 50;
constexpr int RowTop = 19;
constexpr int RowHeight = 22;

enum { OperAdd = 1, OperSubtract = 2 };
enum { UnitDays = 1, UnitHours = 2, UnitMinutes = 3 };

void SetHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

} // namespace

TFVypDC::TFVypDC(QWidget* parent)
    : TFVychoziZakl(parent)
{
    setObjectName(QStringLiteral("FVypDC"));
    setWindowTitle(QStringLiteral("Výpočet datumu a času"));
    SetHelpContext(this, 1700);
    MinTrackWidth = 240;
    MinTrackHeight = 260;
    BuildControls();

    FormCreate();
    PlaceAtCursor();
    const double now = Now();
    EZDate->setDate(DateTimeToQDate(std::trunc(now)));
    EZCas->setText(MinutesToTimeText(MinuteOfDay(now)));
    Dopocti();
    CBOper->setFocus();
}

void TFVypDC::BuildControls()
{
    QWidget* client = Client();
    SetAlign(SBar(), alBottom);
    resize(DesignClientWidth, Menu()->sizeHint().height() + ControlsHeight + SBar()->sizeHint().height());

    const auto make = [](auto* w, const char* name, const QRect& r) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(r);
        return w;
    };
    const auto group = [&](const char* name, const QString& title, int top) {
        return make(new QGroupBox(title, client), name, QRect(GroupLeft, top, GroupWidth, GroupHeight));
    };
    const auto label = [](QWidget* parent, const QString& text, QWidget* buddy, int left) {
        auto* l = new QLabel(text, parent);
        l->setGeometry(left, RowTop, buddy->x() - left - 2, RowHeight);
        l->setBuddy(buddy);
    };
    const auto date = [&](QWidget* parent, const char* name) {
        auto* d = make(new TDateEdit(parent), name, QRect(54, RowTop, 108, RowHeight));
        label(parent, QStringLiteral("datum:"), d, 6);
        return d;
    };
    const auto time = [&](QWidget* parent, const char* name) {
        auto* t = make(new QLineEdit(parent), name, QRect(202, RowTop, 60, RowHeight));
        t->setInputMask(TimeEditMask);
        t->setMaxLength(5);
        label(parent, QStringLiteral("čas:"), t, 168);
        return t;
    };
    const auto combo = [&](QWidget* parent, const char* name, const QRect& r, const QStringList& items) {
        auto* c = make(new QComboBox(parent), name, r);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->addItems(items);
        return c;
    };

    GBZaklad = group("GBZaklad", QStringLiteral("Základní datum + čas"), 2);
    EZDate = date(GBZaklad, "EZDate");
    SetHint(EZDate, QStringLiteral("základní datum"));
    EZCas = time(GBZaklad, "EZCas");
    SetHint(EZCas, QStringLiteral("základní čas"));

    GBOperace = group("GBOperace", QStringLiteral("Operace"), 2 + GroupHeight + 2);
    CBOper = combo(GBOperace, "CBOper", QRect(6, RowTop, 50, RowHeight), { QStringLiteral("+"), QStringLiteral("-") });
    setTag(CBOper, OperAdd);
    RSEDelka = make(new TKitSpinEdit(GBOperace), "RSEDelka", QRect(60, RowTop, 84, RowHeight));
    SetHint(RSEDelka, QStringLiteral("zadej délku"));
    CBDelka = combo(GBOperace, "CBDelka", QRect(148, RowTop, 114, RowHeight),
        { QStringLiteral("den"), QStringLiteral("hodina"), QStringLiteral("minuta") });
    CBDelka->setCurrentIndex(UnitHours - 1);
    setTag(CBDelka, UnitHours);

    GBVysledek = group("GBVysledek", QStringLiteral("Výsledný datum + čas"), 2 + 2 * (GroupHeight + 2));
    EVDate = date(GBVysledek, "EVDate");
    SetHint(EVDate, QStringLiteral("výsledné datum"));
    EVCas = time(GBVysledek, "EVCas");
    SetHint(EVCas, QStringLiteral("výsledný čas"));

    const int buttonTop = 2 + 3 * (GroupHeight + 2) + 4;
    const QStyle* style = QApplication::style();
    BOK = make(new QPushButton(QStringLiteral("&OK"), client), "BOK", QRect(GroupLeft, buttonTop, 86, 28));
    BOK->setIcon(ListWindowPicture(QStringLiteral("BOK")));
    SetHint(BOK, QStringLiteral("použije výsledný datum a čas"));
    BCancel = make(new QPushButton(QStringLiteral("&Zpět"), client), "BCancel", QRect(94, buttonTop, 86, 28));
    BCancel->setIcon(ListWindowPicture(QStringLiteral("BCANCEL")));
    BBHelp = make(new QPushButton(QStringLiteral("&Nápověda"), client), "BBHelp", QRect(184, buttonTop, 88, 28));
    BBHelp->setIcon(style->standardIcon(QStyle::SP_DialogHelpButton));
    BVZ = make(new QPushButton(QStringLiteral("výsledek -> základ"), client), "BVZ",
        QRect(GroupLeft, buttonTop + 32, GroupWidth, 28));
    SetHint(BVZ, QStringLiteral("dosadí hodnoty z výsledku do základu"));
    // Enter in an edit uses no button by accident: the result may not be
    // computed yet.
    for (QPushButton* b : { BOK, BCancel, BBHelp, BVZ })
        b->setAutoDefault(false);

    const auto guarded = [this](void (TFVypDC::*handler)()) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    OnExit(CBOper, [this] { ComboExit(CBOper); });
    OnExit(CBDelka, [this] { ComboExit(CBDelka); });
    connect(RSEDelka, &TKitSpinEdit::OnChange, this, guarded(&TFVypDC::Dopocti));
    connect(EZDate, &QDateEdit::dateChanged, this, guarded(&TFVypDC::Dopocti));
    OnExit(EZCas, [this] { EZCasExit(); });
    OnExit(EVCas, [this] { EVCasExit(); });
    connect(BVZ, &QPushButton::clicked, this, guarded(&TFVypDC::BVZClick));
    connect(BOK, &QPushButton::clicked, this, guarded(&TFVypDC::BOKClick));
    connect(BCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(BBHelp, &QPushButton::clicked, this, guarded(&TFVypDC::BBHelpClick));
}

void TFVypDC::PlaceAtCursor()
{
    const QPoint cursor = QCursor::pos();
    move(cursor.x() - frameGeometry().width() / 2, cursor.y() - 10);
    // Near a screen edge the buttons stay within reach.
    KeepFormOnScreen(this);
}

void TFVypDC::SetTargets(QDateEdit* targetDate, QLineEdit* targetTime)
{
    TargetDate = targetDate;
    TargetTime = targetTime;
}

void TFVypDC::Dopocti()
{
    const std::optional<double> time = TimeEditValue(EZCas);
    if (!time)
        return;
    const double base = QDateToDateTime(EZDate->date()) + *time;
    const int value = RSEDelka->ValueAsInteger();
    double span = 0;
    switch (tag(CBDelka)) {
    case UnitDays:
        span = value;
        break;
    case UnitHours:
        span = value / HoursPerDay;
        break;
    case UnitMinutes:
        span = value / MinsPerDay;
        break;
    default:
        break;
    }
    const double result = tag(CBOper) == OperSubtract ? base - span : base + span;
    // Day and minute from one decoding of the whole result: a sum that lands
    // a hair below midnight is midnight of the next day, not 00:00 of this one.
    EVDate->setDate(DateTimeToQDate(result));
    EVCas->setText(MinutesToTimeText(MinuteOfDay(result)));
}

void TFVypDC::ComboExit(QComboBox* combo)
{
    int index = 0;
    if (!ComboTextIndex(combo, index))
        return;
    setTag(combo, index);
    Dopocti();
}

void TFVypDC::EZCasExit()
{
    if (!TimeEditInvalid(EZCas))
        Dopocti();
}

void TFVypDC::EVCasExit()
{
    TimeEditInvalid(EVCas);
}

void TFVypDC::BVZClick()
{
    EZDate->setDate(EVDate->date());
    EZCas->setText(EVCas->text());
    Dopocti();
}

void TFVypDC::BOKClick()
{
    if (TargetDate)
        TargetDate->setDate(EVDate->date());
    if (TargetTime)
        TargetTime->setText(EVCas->text());
    done(mrOk);
}

void TFVypDC::BBHelpClick()
{
    ShowHelpContext(this, HelpContext(this));
}
