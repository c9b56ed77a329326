#include "ruvo_odstran.h"

#include "components/contexthelp.h"
#include "components/listpictures.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

TFOdstran::TFOdstran(QWidget* parent)
    : TFZSeznam(parent)
{
    setObjectName(QStringLiteral("FOdstran"));
    setWindowTitle(QStringLiteral("Odstranění připomenutí"));
    SetHelpContext(this, 800);
    LView->setSelectionMode(QAbstractItemView::ExtendedSelection);

    BOK = new QPushButton(PButton);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setAutoDefault(false);
    BOK->setIcon(ListWindowPicture(QStringLiteral("BOK")));
    BOK->setIconSize(BCancel->iconSize());
    BOK->setToolTip(QStringLiteral("odstranění vybraných připomenutí"));
    BOK->setStatusTip(BOK->toolTip());
    BOK->resize(BCancel->size());
    connect(BOK, &QPushButton::clicked, this, [this] { BOKClick(); });
    FormResize();

    ErasedOnly = true;
    FormCreate();
    NothingToRemove = LView->topLevelItemCount() == 0;
    LView->selectAll();
}

TFOdstran::~TFOdstran() = default;

QList<int32_t> TFOdstran::SelectedIds() const
{
    QList<int32_t> ids;
    const int column = LView->columnCount() - 1;
    for (int i = 0; i < LView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = LView->topLevelItem(i);
        bool number = false;
        const int32_t id = item->text(column).toInt(&number);
        if (item->isSelected() && number)
            ids << id;
    }
    return ids;
}

void TFOdstran::BOKClick()
{
    RunGuarded([this] {
        if (LView->selectedItems().isEmpty())
            return;
        const QList<int32_t> ids = SelectedIds();
        NotifyTray(tnPause);
        // Whatever happens from here on, the tray resident takes up the file
        // again.
        const auto resume = qScopeGuard([] { NotifyTray(tnResume); });
        QCoreApplication::processEvents();
        // One pass removes the listed reminders and renumbers the rest; open
        // pop-ups follow their reminders through the hub's renumber hook, and
        // one whose reminder is gone loses its name and writes nothing.
        DeleteReminders(ids, DataPath());
        Removed = true;
        qDeleteAll(LView->selectedItems());
        // The rows left get their new numbers: an old number would now name
        // another reminder. A file left empty closes the window.
        Aktualizuj();
    });
}

// Closing by Cancel, Escape or the frame ends in a reject after the closing
// handler has run, so the result is set here, where every closing ends.
void TFOdstran::done(int result)
{
    TFZSeznam::done(Removed ? int(mrOk) : result);
}

void TFOdstran::FormResize()
{
    TFZSeznam::FormResize();
    if (BOK)
        BOK->move(BCancel->x() - BOK->width() - 2, BCancel->y());
}
