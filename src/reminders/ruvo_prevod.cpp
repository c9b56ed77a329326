#include "ruvo_prevod.h"

#include "ruvo_zaklad.h"

#include "platform/application.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/oldreminderfile.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

TFPrevod::TFPrevod(QWidget* parent)
    : TFVychoziZakl(parent)
    , Label1(new QLabel(QStringLiteral("Převod:"), Client()))
    , Prubeh(new QProgressBar(Client()))
{
    setObjectName(QStringLiteral("FPrevod"));
    setWindowTitle(QStringLiteral("Převod databáze na novou verzi"));
    // Single border, the system menu only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    DefaultClientHeight = 72;
    MinTrackHeight = 72;
    resize(DefaultWidth, DefaultClientHeight);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 50, 16);
    Label1->hide();
    Prubeh->setObjectName(QStringLiteral("Prubeh"));
    Prubeh->setGeometry(8, 6, width() - 16, 18);
    Prubeh->setTextVisible(false);
    Prubeh->setRange(0, 100);
}

void TFPrevod::showEvent(QShowEvent* event)
{
    TFVychoziZakl::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - frameGeometry().center() + pos());
    // The window is on the screen before the work starts.
    QTimer::singleShot(0, this, &TFPrevod::FormShow);
}

void TFPrevod::FormShow()
{
    const QString data = FZaklad()->ReminderDataPath();
    const QString work = FZaklad()->ProgramDirectory() + QStringLiteral("/korvel.tmp");
    // A message box runs the event loop, where a second request to convert
    // may close (and free) this window.
    const QPointer<TFPrevod> self(this);
    bool done = false;
    {
        const TrayPause pause(!FromImport);
        try {
            const OldDataConversion result = ConvertOldReminderFile(data, work, [this](int n, int count) {
                Prubeh->setMaximum(count);
                Prubeh->setValue(n); // repaints at once when the bar grows visibly
            });
            switch (result.outcome) {
            case OldDataConversion::WorkCopyFailed:
                MessageDlgCentered(
                    QStringLiteral("Chyba při prevodu dat\r") + result.failure, MsgDlgType::Information, MsgBtn::OK, 0);
                break;
            case OldDataConversion::NotOldLayout:
                done = true;
                break;
            case OldDataConversion::Converted:
                // Old data without one whole record leaves the window open, as
                // a missing file does: there was nothing to convert.
                done = result.count > 0;
                break;
            case OldDataConversion::NoData:
                break;
            }
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    if (done && self)
        close();
}
