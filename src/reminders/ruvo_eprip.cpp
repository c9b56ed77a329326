#include "ruvo_eprip.h"

#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "shared/datafilelock.h"
#include "shared/f_p.h"
#include "shared/reminderdates.h"
#include "shared/reminderfile.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

const QString Section = QStringLiteral("FEditPrip");

} // namespace

TFEditPrip::TFEditPrip(QWidget* parent)
    : TFNewPrip(parent)
{
    setObjectName(Section);
    setWindowTitle(QStringLiteral("Editace připomenutí"));
    PlacementSection = Section;
    BOK->setToolTip(QStringLiteral("použije změny v připomenutí"));
    BCancel->setToolTip(QStringLiteral("ukončí editaci připomenutí bez použití změn"));
    for (QPushButton* b : { BOK, BCancel })
        b->setStatusTip(b->toolTip());
    MVychozi->menuAction()->setVisible(false);
}

TFEditPrip::~TFEditPrip() = default;

// The record is loaded before the window first shows; the form closes again
// at once when it cannot be.
void TFEditPrip::setVisible(bool visible)
{
    const bool first = visible && !m_shown;
    if (first) {
        m_shown = true;
        bool loaded = false;
        const bool read = RunGuarded([&] { loaded = FormShow(); });
        if (!loaded) {
            // After the modal loop has started, which the closing ends.
            QTimer::singleShot(0, this, [this, read] {
                if (read)
                    ReminderGone();
                else
                    done(mrCancel);
            });
        }
    }
    TFNewPrip::setVisible(visible);
}

bool TFEditPrip::FormShow()
{
    const QString path = DataPath();
    int position = EditedRecordNumber;
    if (position < 1 || position > ReminderCount(path))
        return false;
    ReminderRecord r;
    ReadReminder(position, path, r);
    LoadRecord(r);
    m_keptNextKind = r.NextKind;
    m_keptNextAmount = r.NextAmount;
    m_keptCreated = r.Created;
    return true;
}

bool TFEditPrip::StillTheLoadedReminder() const
{
    const QString path = DataPath();
    int position = EditedRecordNumber;
    if (position < 1 || position > ReminderCount(path))
        return false;
    ReminderRecord r;
    ReadReminder(position, path, r);
    return r.Created == m_keptCreated;
}

void TFEditPrip::ReminderGone()
{
    MessageDlgBeep(QStringLiteral("Připomenutí již není v seznamu (bylo mezitím vymazáno nebo přesunuto)\r"
                                  "formulář se zavře bez uložení změn"),
        MsgDlgType::Warning, MsgBtn::OK, 0);
    done(mrCancel);
}

void TFEditPrip::BOKClick()
{
    RunGuarded([this] {
        if (!TimesValid())
            return;
        ReminderRecord r = ControlsRecord();
        const double firstPopup = WarnTimeBefore(r.AdvanceKind, r.AdvanceAmount, Start().value_or(0));
        // Compared to the millisecond, as the clock is read.
        if (DateTimeToQDateTime(Now()) >= DateTimeToQDateTime(firstPopup)) {
            MessageDlgBeep(QStringLiteral("Již mělo být připomenuto,\rnelze!"), MsgDlgType::Information, MsgBtn::OK, 0);
            return;
        }
        if (!LengthAcceptable(r.Length))
            return;
        r.ID = EditedRecordNumber;
        r.Created = m_keptCreated;
        r.LastChange = Now();
        r.NextKind = m_keptNextKind;
        r.NextAmount = m_keptNextAmount;
        // A renumbering since the form opened may have put another reminder
        // at the position: that one is never written over. The lock keeps
        // the position checked until the write.
        bool ours;
        {
            const DataFileLock lock(DataPath());
            ours = StillTheLoadedReminder();
            if (ours)
                WriteReminder(EditedRecordNumber, DataPath(), r);
        }
        if (!ours) {
            ReminderGone();
            return;
        }
        Stored();
    });
}
