#include "ruvo_kalendar.h"

#include "components/contexthelp.h"
#include "components/kitalign.h"
#include "components/kitcal.h"
#include "components/kitstatusbar.h"

#include <QAction>
#include <QMenu>

TFKalendar::TFKalendar(QWidget* parent)
    : TFVychozi(parent)
{
    setObjectName(QStringLiteral("FKalendar"));
    setWindowTitle(QStringLiteral("Kalendář"));
    SetHelpContext(this, 900);
    MinTrackWidth = 200;
    MinTrackHeight = 200;
    DefaultClientWidth = 242;
    DefaultClientHeight = 200;
    resize(DefaultClientWidth, DefaultClientHeight);

    SetAlign(SBar(), alBottom);
    KitCalendar1 = new TKitCalendar(Client());
    KitCalendar1->setObjectName(QStringLiteral("KitCalendar1"));
    TKitCalColors& colors = KitCalendar1->Colors();
    colors.SetActiveDay(clRed);
    colors.SetDayNames(clMaroon);
    colors.SetDays(clBlack);
    colors.SetInactiveDays(clGray);
    colors.SetMonthAndYear(clBlue);
    colors.SetWeekend(clRed);
    colors.SetColorScheme(TKitCalColorScheme::csCustom);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    KitCalendar1->setFont(font);
    KitCalendar1->SetFontColor(clBlack);
    KitCalendar1->SetWeekStarts(dtMonday);
    SetAlign(KitCalendar1, alClient);
    KitCalendar1->setFocus();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    MKonec = PopupMenu1->addAction(QStringLiteral("konec"));
    MKonec->setObjectName(QStringLiteral("MKonec"));
    MKonec->setShortcut(QKeySequence(Qt::Key_Escape));
    MKonec->setShortcutContext(Qt::WindowShortcut);
    addAction(MKonec);
    connect(MKonec, &QAction::triggered, this, &QWidget::close);
}
