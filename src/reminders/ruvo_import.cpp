#include "ruvo_import.h"

#include "ruvo_okna.h"
#include "ruvo_vymena.h"
#include "ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "components/forms.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "shared/commands.h"
#include "shared/exchangefiles.h"
#include "shared/f_p.h"
#include "shared/mojepopredi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

using namespace ExchangeLayoutRows;

namespace {

const QString Nastav = QStringLiteral("Nastav");
const QString NoTime = QStringLiteral("00:00");
constexpr int ContactColumn = 240;

QString Count(int n)
{
    return QString::number(n);
}

// One side of the exchange: its file, its [FImport] keys and its texts.
struct Side {
    QLatin1String file;
    const char* fileDateKey;
    const char* fileTimeKey;
    const char* importDateKey;
    const char* importTimeKey;
    const char16_t* what; // the closing word of the question
};

const Side Reminders { ReminderExchangeName, "autodatum", "autocas", "datum", "cas", u"připomenutí" };
const Side Contacts { ContactExchangeName, "kautodatum", "kautocas", "kdatum", "kcas", u"kontakty" };

bool ImportDue(const Side& side, const QString& folder, bool interactive)
{
    const std::optional<double> fileTime = ExchangeFileTime(folder + u'/' + side.file);
    if (!fileTime) {
        if (interactive) {
            Dialogs::messageBeep(MsgDlgType::Information);
            MessageDlgCentered(
                QStringLiteral("soubor pro import (") + side.file + QStringLiteral(") nenalezen - ukončuji"),
                MsgDlgType::Warning, MsgBtn::OK, 0);
        }
        return false;
    }
    const double last = StoredMoment(
        FZaklad()->SettingsFile(), QLatin1String(side.fileDateKey), QLatin1String(side.fileTimeKey), NoTime);
    if (LaterToTheSecond(*fileTime, last))
        return true;
    if (!interactive)
        return false;
    Dialogs::messageBeep(MsgDlgType::Warning);
    return MessageDlgCentered(QStringLiteral("Tento soubor byl již pravděpodobně importován\rnebo obsahuje poslední "
                                             "exportované ")
                   + QString::fromUtf16(side.what) + QStringLiteral("\rmám pokračovat v importu?"),
               MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0)
        == mrYes;
}

// Why an exchange file this version cannot read is not imported, and what
// the user can do about it; empty when it can be imported.
QString Refusal(const ExchangeCheck& check, const Side& side)
{
    QString why;
    switch (check.layout) {
    case ExchangeLayout::NewerLayout:
        why = QStringLiteral(") je uložen novější verzí programu\rnelze jej importovat.\r"
                             "Nainstalujte i zde novou verzi programu Korvel.");
        break;
    case ExchangeLayout::OldLayout:
        why = QStringLiteral(") je uložen starší verzí programu\rnelze jej importovat.\r"
                             "Nainstalujte na druhý počítač novou verzi programu Korvel a export tam zopakujte.");
        break;
    case ExchangeLayout::Damaged:
        why = QStringLiteral(") je poškozen nebo má jiný formát\rnelze jej importovat.\r"
                             "Zopakujte export na druhém počítači.");
        break;
    case ExchangeLayout::Missing:
    case ExchangeLayout::Current:
        return {};
    }
    return QStringLiteral("Soubor pro import (") + side.file + why
        + QStringLiteral("\rZ tohoto souboru nebylo nic importováno.");
}

// After an import of a file that was there (also an empty one): its time,
// and unless withheld the time of the import.
void RecordImport(const Side& side, const QString& path, bool withholdTime)
{
    const QString ini = FZaklad()->SettingsFile();
    if (const std::optional<double> fileTime = ExchangeFileTime(path))
        StoreMoment(ini, QLatin1String(side.fileDateKey), QLatin1String(side.fileTimeKey), *fileTime);
    if (!withholdTime)
        StoreMoment(ini, QLatin1String(side.importDateKey), QLatin1String(side.importTimeKey), Now());
}

} // namespace

TFImport::TFImport(QWidget* parent)
    : TExchangeWindow(parent)
{
    setObjectName(QStringLiteral("FImport"));
    setWindowTitle(QStringLiteral("Import připomenutí, kontaktů"));
    SetHelpContext(this, 700);
    DefaultClientHeight = 194;
    MinTrackHeight = 240;
    resize(ClientWidth, Menu()->sizeHint().height() + DefaultClientHeight);

    QWidget* client = Client();
    ChBPrip = ExchangeCheckBox(client, "ChBPrip", QStringLiteral("Připomenutí"),
        QStringLiteral("ne/importovat připomenutí"), true, { 8, TopRow });
    ChBKont = ExchangeCheckBox(client, "ChBKont", QStringLiteral("Kontakty"), QStringLiteral("ne/importovat kontakty"),
        true, { ContactColumn, TopRow });
    ExchangeProgressRow(client, "PLAkce", QStringLiteral(" Připomenutí - import:"), "PPrubeh", { 8, TopRow },
        ContactColumn - 8 - 6, PLAkce, PPrubeh);
    ExchangeProgressRow(client, "KLAkce", QStringLiteral(" Kontakty - import:"), "KPrubeh", { ContactColumn, TopRow },
        ClientWidth - ContactColumn - 4, KLAkce, KPrubeh);

    ExchangeGroups(client,
        { QStringLiteral(" Vymazané odstranit:"), QStringLiteral(" Spustit přehled:"),
            QStringLiteral(" Nezapsání času importu:") },
        GBPrip, GBKont);
    ChBOdstranit = ExchangeRowBox(
        GBPrip, "ChBOdstranit", 0, QStringLiteral("odstraní/neodstraní po importu vymazané připomenutí"), false);
    ChBPrehled
        = ExchangeRowBox(GBPrip, "ChBPrehled", 1, QStringLiteral("spustit přehled připomenutí po importu"), true);
    ChBNeCas = ExchangeRowBox(
        GBPrip, "ChBNeCas", 2, QStringLiteral("možnost nezapsání datumu a času importu připomenutí"), false);
    ChBKOdstranit = ExchangeRowBox(GBKont, "ChBKOdstranit", 0, QString(), false);
    ChBKPrehled = ExchangeRowBox(GBKont, "ChBKPrehled", 1, QStringLiteral("spustit přehled kontaktů po importu"), true);
    ChBKPrehled->hide();
    ChBKNeCas = ExchangeRowBox(
        GBKont, "ChBKNeCas", 2, QStringLiteral("možnost nezapsání datumu a času importu kontaktů"), false);

    const int row = GroupTop + GBPrip->height() + 4;
    Dir = ExchangeDirEdit(client, QStringLiteral("adresář pro import"), row, StoredExchangeFolderText());
    ExchangeButtons(this, client, row + 28, QStringLiteral("spustí import připomenutí"),
        QStringLiteral("ukončí import připomenutí"), BOK, BCancel, BBHelp);
    connect(BOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { BOKClick(); }); });
}

bool TFImport::ImportFolderReady(const QString& folder, bool interactive)
{
    if (ExchangeFolderUsable(folder))
        return true;
    if (interactive) {
        Dialogs::messageBeep(MsgDlgType::Information);
        MessageDlgCentered(
            QStringLiteral("Disk, nebo adresář není přístupný - ukončuji"), MsgDlgType::Warning, MsgBtn::OK, 0);
    }
    return false;
}

bool TFImport::ReminderImportDue(const QString& folder, bool interactive)
{
    return ImportDue(Reminders, folder, interactive);
}

bool TFImport::ContactImportDue(const QString& folder, bool interactive)
{
    return ImportDue(Contacts, folder, interactive);
}

bool TFImport::AutoImportDue()
{
    const QString ini = FZaklad()->SettingsFile();
    const QString folder = StoredExchangeFolder(ini, FZaklad()->ProgramDirectory());
    bool due = ImportFolderReady(folder, false);
    if (due && IniReadBool(ini, Nastav, QStringLiteral("autoexpimp"), false))
        due = ReminderImportDue(folder, false);
    if (due && IniReadBool(ini, Nastav, QStringLiteral("kautoexpimp"), false))
        due = ContactImportDue(folder, false);
    return due;
}

void TFImport::FormShow()
{
    if (!AutoMode)
        return;
    const QString ini = FZaklad()->SettingsFile();
    const auto setting = [&](QCheckBox* box, const char* key, bool def) {
        box->setChecked(IniReadBool(ini, Nastav, QLatin1String(key), def));
    };
    setting(ChBOdstranit, "autoimpdel", false);
    setting(ChBPrehled, "autoimpprehled", true);
    setting(ChBKOdstranit, "kautoimpdel", false);
    setting(ChBKPrehled, "kautoimpprehled", true);
    // Only the sides whose automatic exchange is on and whose file is newer:
    // an exchange file that is not newer would overwrite newer edits here.
    const QString folder = LocalPath(Dir->text());
    ChBPrip->setChecked(
        IniReadBool(ini, Nastav, QStringLiteral("autoexpimp"), false) && ReminderImportDue(folder, false));
    ChBKont->setChecked(
        IniReadBool(ini, Nastav, QStringLiteral("kautoexpimp"), false) && ContactImportDue(folder, false));
    BOK->setEnabled(false);
    TAuto->start();
}

void TFImport::TAutoTimer()
{
    TAuto->stop();
    try {
        Import(false);
    } catch (const IoError& e) {
        ShowExchangeFailure(QStringLiteral("Import"), e);
    }
    close();
}

void TFImport::BOKClick()
{
    const QString folder = LocalPath(Dir->text());
    if (!ImportFolderReady(folder, true))
        return;
    // A side the user declines stays unchecked.
    if (ChBPrip->isChecked())
        ChBPrip->setChecked(ReminderImportDue(folder, true));
    if (ChBKont->isChecked())
        ChBKont->setChecked(ContactImportDue(folder, true));
    if (!ChBPrip->isChecked() && !ChBKont->isChecked())
        return;
    try {
        Import(true);
    } catch (const IoError& e) {
        ShowExchangeFailure(QStringLiteral("Import"), e);
        return;
    }
    close();
}

void TFImport::Import(bool interactive)
{
    const auto running = Running();
    m_ran = true;
    BOK->setEnabled(false);
    const auto enable = qScopeGuard([this] { BOK->setEnabled(!AutoMode); });

    const QString programDir = FZaklad()->ProgramDirectory();
    const QString folder = LocalPath(Dir->text()) + u'/';
    int reminderCount = 0;
    int contactCount = 0;
    int skipped = 0;
    // Told after the passes, once the tray resident runs again; also in an
    // automatic run, which would otherwise refuse the file at every logon
    // without a word.
    QStringList refusals;

    if (ChBPrip->isChecked()) {
        // Paused by this pass or by the tray resident itself for an automatic
        // import, the tray resident resumes however the pass ends.
        const auto resumeTray = qScopeGuard([] { NotifyTray(tnResume); });
        if (!ReminderFileReady())
            return;
        const QString source = folder + ReminderExchangeName;
        const ExchangeCheck check = CheckReminderExchange(source);
        refusals << Refusal(check, Reminders);
        if (refusals.last().isEmpty()) {
            reminderCount = check.count;
            if (reminderCount < 1) {
                ShowStatusText(QStringLiteral("počet importovaných připomenutí: 0"));
            } else {
                BackUpHomeFile(FZaklad()->ReminderDataPath(), programDir + u'/' + ReminderHomeBackupName);
                const auto pass = ShowPass(this, ChBPrip, PLAkce, PPrubeh, reminderCount);
                PauseTray();
                const ExchangeImport result = ImportReminders(
                    source, FZaklad()->ReminderDataPath(), ChBOdstranit->isChecked(), [&](int n, int) {
                        ShowStatusText(QStringLiteral("importováno: ") + Count(n) + u'/' + Count(reminderCount));
                        PPrubeh->setValue(n);
                    });
                skipped += result.skipped;
                ImportedAny = true;
            }
            if (check.layout != ExchangeLayout::Missing)
                RecordImport(Reminders, source, ChBNeCas->isChecked());
        }
    } else if (AutoMode) {
        NotifyTray(tnResume); // it paused itself for this run
    }

    if (ChBKont->isChecked()) {
        const QString source = folder + ContactExchangeName;
        const ExchangeCheck check = CheckContactExchange(source);
        refusals << Refusal(check, Contacts);
        if (refusals.last().isEmpty()) {
            contactCount = check.count;
            if (contactCount < 1) {
                ShowStatusText(QStringLiteral("počet importovaných kontaktů: 0"));
            } else {
                BackUpHomeFile(FZaklad()->ContactDataPath(), programDir + u'/' + ContactHomeBackupName);
                const auto pass = ShowPass(this, ChBKont, KLAkce, KPrubeh, contactCount);
                const ExchangeImport result
                    = ImportContacts(source, FZaklad()->ContactDataPath(), ChBKOdstranit->isChecked(), [&](int n, int) {
                          ShowStatusText(
                              QStringLiteral("kontakty - importováno: ") + Count(n) + u'/' + Count(contactCount));
                          KPrubeh->setValue(n);
                      });
                skipped += result.skipped;
                NotifyContacts(dcReloadList);
            }
            if (check.layout != ExchangeLayout::Missing)
                RecordImport(Contacts, source, ChBKNeCas->isChecked());
        }
    }

    for (const QString& refusal : std::as_const(refusals))
        if (!refusal.isEmpty())
            MessageDlgBeep(refusal, MsgDlgType::Warning, MsgBtn::OK, 0);
    ShowStatusText(QStringLiteral("počet importovaných připomenutí: ") + Count(reminderCount)
        + QStringLiteral(" kontaktů: ") + Count(contactCount));
    Dialogs::messageBeep(MsgDlgType::Custom);
    if (interactive) {
        QString text = QStringLiteral("Import proveden - zpracováno\r  - ") + Count(reminderCount)
            + QStringLiteral(" připomenutí\r  - ") + Count(contactCount) + QStringLiteral(" kontaktů");
        if (skipped > 0)
            text += QStringLiteral("\r  - vynecháno poškozených záznamů: ") + Count(skipped);
        MessageDlgCentered(text, MsgDlgType::Information, MsgBtn::OK, 0);
    }

    if (ChBPrip->isChecked() && ChBPrehled->isChecked()) {
        if (QWidget* overview = FindForm(QStringLiteral("FPrehled")))
            BringToFront(overview);
        else if (QWidget* w = ReminderForms().Create(QStringLiteral("FPrehled")))
            w->show();
    }
}

int TFImport::Finished(int result)
{
    // The tray resident paused itself for an automatic import that never ran.
    if (AutoMode && !m_ran) {
        m_ran = true;
        NotifyTray(tnResume);
    }
    return ImportedAny ? int(mrOk) : result;
}
