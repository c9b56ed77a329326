#include "ruvo_export.h"

#include "ruvo_vymena.h"
#include "ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "components/gradtext.h"
#include "components/kitstatusbar.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "shared/commands.h"
#include "shared/contactfile.h"
#include "shared/datafilelock.h"
#include "shared/exchangefiles.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/oldreminderfile.h"
#include "shared/reminderfile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include <optional>

using namespace ExchangeLayoutRows;

namespace {

const QString Nastav = QStringLiteral("Nastav");
const QString NoTime = QStringLiteral("00:00");

// Left edge of the contacts' half of the top row.
constexpr int ContactColumn = 240;
constexpr int AutoClientHeight = 316;

QString Count(int n)
{
    return QString::number(n);
}

} // namespace

bool ExchangeFolderReady()
{
    return ExchangeFolderUsable(StoredExchangeFolder(FZaklad()->SettingsFile(), FZaklad()->ProgramDirectory()));
}

TFExport::TFExport(QWidget* parent)
    : TExchangeWindow(parent)
{
    setObjectName(QStringLiteral("FExport"));
    setWindowTitle(QStringLiteral("Export pripomenutí a kontaktů"));
    SetHelpContext(this, 600);
    DefaultClientHeight = 204;
    MinTrackHeight = 250;
    resize(ClientWidth, Menu()->sizeHint().height() + DefaultClientHeight);

    QWidget* client = Client();
    ChBPrip = ExchangeCheckBox(client, "ChBPrip", QStringLiteral("Připomenutí"),
        QStringLiteral("ne/exportovat připomenutí"), true, { 8, TopRow });
    ChBKont = ExchangeCheckBox(client, "ChBKont", QStringLiteral("Kontakty"), QStringLiteral("ne/exportovat kontakty"),
        true, { ContactColumn, TopRow });
    ExchangeProgressRow(client, "LAkce", QStringLiteral("Připomenutí - export:"), "Prubeh", { 8, TopRow },
        ContactColumn - 8 - 6, LAkce, Prubeh);
    ExchangeProgressRow(client, "LKAkce", QStringLiteral("Kontakty - export:"), "KPrubeh", { ContactColumn, TopRow },
        ClientWidth - ContactColumn - 4, LKAkce, KPrubeh);

    ExchangeGroups(client,
        { QStringLiteral(" Jen změněné od posledního importu:"), QStringLiteral(" Vymazané odstranit:") }, GBPrip,
        GBKont);
    ChBZmena = ExchangeRowBox(
        GBPrip, "ChBZmena", 0, QStringLiteral("exportovat jen připomenutí změněné od posledního importu"), true);
    ChBOdstranit = ExchangeRowBox(
        GBPrip, "ChBOdstranit", 1, QStringLiteral("odstraní/neodstraní po exportu vymazané připomenutí"), false);
    ChBKZmena = ExchangeRowBox(
        GBKont, "ChBKZmena", 0, QStringLiteral("exportovat jen kontakty změněné od posledního importu"), true);
    ChBKOdstranit = ExchangeRowBox(
        GBKont, "ChBKOdstranit", 1, QStringLiteral("odstraní/neodstraní po exportu vymazané kontakty"), false);

    const int row = GroupTop + GBPrip->height() + 4;
    ChBZaloha = ExchangeCheckBox(client, "ChBZaloha", QStringLiteral("Vytvářet zálohu"),
        QStringLiteral("vytvářet záložní soubor s exportovanými daty"), true, { 8, row });
    ChBPoz = ExchangeCheckBox(client, "ChBPoz", QStringLiteral("Po exportu vypnout"),
        QStringLiteral("vypnout/nevypnout po exportu"), true, { ContactColumn, row });
    Dir = ExchangeDirEdit(client, QStringLiteral("adresář pro export"), row + 24, StoredExchangeFolderText());
    Dir->SetDialogOptions(sdAllowCreate);
    ExchangeButtons(this, client, row + 52, QStringLiteral("spustí export připomenutí"),
        QStringLiteral("ukončí export připomenutí"), BOK, BCancel, BBHelp);
    connect(BOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { BOKClick(); }); });
}

void TFExport::FormShow()
{
    if (!AutoMode)
        return;
    const QString ini = FZaklad()->SettingsFile();
    const auto setting = [&](QCheckBox* box, const char* key, bool def) {
        box->setChecked(IniReadBool(ini, Nastav, QLatin1String(key), def));
    };
    setting(ChBZaloha, "autoexpzal", true);
    setting(ChBOdstranit, "autoexpdel", false);
    setting(ChBZmena, "autoexpzmen", true);
    setting(ChBKOdstranit, "kautoexpdel", false);
    setting(ChBKZmena, "kautoexpzmen", true);
    setting(ChBPrip, "autopripanone", true);
    setting(ChBKont, "autokontanone", true);
    // Without a usable folder the window waits for the user to fix it.
    BOK->setEnabled(false);
    if (ExchangeFolderReady())
        TAuto->start();
    else
        BOK->setEnabled(true);
}

void TFExport::TAutoTimer()
{
    TAuto->stop();
    const auto closeTray = qScopeGuard([] { NotifyTray(tnClose); });
    try {
        Exp(false);
    } catch (const IoError& e) {
        ShowExchangeFailure(QStringLiteral("Export"), e);
    }
}

void TFExport::BOKClick()
{
    if (!ExchangeFolderUsable(LocalPath(Dir->text()))) {
        Dialogs::messageBeep(MsgDlgType::Information);
        MessageDlgCentered(QStringLiteral("Zadaný adresář neexistuje - ukončuji"), MsgDlgType::Warning, MsgBtn::OK, 0);
        return;
    }
    try {
        Exp(true);
    } catch (const IoError& e) {
        ShowExchangeFailure(QStringLiteral("Export"), e);
        return;
    }
    close();
}

void TFExport::Exp(bool interactive)
{
    const auto running = Running();
    BOK->setEnabled(false);
    const auto enable = qScopeGuard([this] { BOK->setEnabled(true); });

    const QString ini = FZaklad()->SettingsFile();
    const QString reminders = FZaklad()->ReminderDataPath();
    const QString contacts = FZaklad()->ContactDataPath();
    const QString folder = LocalPath(Dir->text()) + u'/';
    // A home file of the previous layout is converted by the pass.
    const int reminderCount = StoredReminderCount(reminders);
    const int contactCount = ContactCount(contacts);
    int exported = 0;
    int deleted = 0;
    int exportedContacts = 0;
    int deletedContacts = 0;
    // From the pause on the tray resident is resumed, whatever happens.
    bool trayPaused = false;
    bool trayTold = false;
    const auto resumeTray = qScopeGuard([&] {
        if (trayPaused && !trayTold)
            NotifyTray(tnResume);
    });

    if (reminderCount >= 1 && ChBPrip->isChecked()) {
        if (!ReminderFileReady())
            return;
        const auto pass = ShowPass(this, ChBPrip, LAkce, Prubeh, reminderCount);
        PauseTray();
        trayPaused = true;
        const double threshold = StoredMoment(ini, QStringLiteral("datum"), QStringLiteral("cas"), NoTime);
        const QString target = folder + ReminderExchangeName;
        // The erased reminders removed are the ones exported: no other
        // program changes the file between the two passes.
        std::optional<DataFileLock> lock;
        if (ChBOdstranit->isChecked())
            lock.emplace(reminders);
        exported = ExportReminders(reminders, target,
            ChBZaloha->isChecked() ? folder + ReminderExchangeBackupName : QString(),
            ChBZmena->isChecked() ? std::optional(threshold) : std::nullopt, [&](int n, int total) {
                Prubeh->setValue(n);
                if (total != exported) {
                    exported = total;
                    ShowStatusText(QStringLiteral("Připomenutí - exportováno: ") + Count(exported));
                }
            });
        if (ChBOdstranit->isChecked()) {
            Prubeh->setValue(0);
            LAkce->setText(QStringLiteral("Připomenutí - odstranění:"));
            const auto label = qScopeGuard([this] { LAkce->setText(QStringLiteral("Připomenutí - export:")); });
            DeletedAny = true;
            deleted = RemoveTransferredErasedReminders(reminders, [&](int k, int total) {
                Prubeh->setValue(k);
                if (total != deleted) {
                    deleted = total;
                    ShowStatusText(QStringLiteral("Připomenutí - exportováno: ") + Count(exported)
                        + QStringLiteral(" vymazáno: ") + Count(deleted));
                }
            });
        }
        if (const std::optional<double> written = ExchangeFileTime(target))
            StoreMoment(ini, QStringLiteral("autodatum"), QStringLiteral("autocas"), *written);
    }

    if (contactCount >= 1 && ChBKont->isChecked()) {
        const auto pass = ShowPass(this, ChBKont, LKAkce, KPrubeh, contactCount);
        const double threshold = StoredMoment(ini, QStringLiteral("kdatum"), QStringLiteral("kcas"), NoTime);
        const QString target = folder + ContactExchangeName;
        std::optional<DataFileLock> lock;
        if (ChBKOdstranit->isChecked())
            lock.emplace(contacts);
        exportedContacts = ExportContacts(contacts, target,
            ChBZaloha->isChecked() ? folder + ContactExchangeBackupName : QString(),
            ChBKZmena->isChecked() ? std::optional(threshold) : std::nullopt, [&](int n, int total) {
                KPrubeh->setValue(n);
                if (total != exportedContacts) {
                    exportedContacts = total;
                    ShowStatusText(QStringLiteral("Kontakty - exportováno: ") + Count(exportedContacts));
                }
            });
        if (ChBKOdstranit->isChecked()) {
            KPrubeh->setValue(0);
            LKAkce->setText(QStringLiteral("Kontakty-odstranění:"));
            const auto label = qScopeGuard([this] { LKAkce->setText(QStringLiteral("Kontakty - export:")); });
            deletedContacts = RemoveTransferredErasedContacts(contacts, [&](int k, int total) {
                KPrubeh->setValue(k);
                if (total != deletedContacts) {
                    deletedContacts = total;
                    ShowStatusText(QStringLiteral("Kontakty - exportováno: ") + Count(exportedContacts)
                        + QStringLiteral(" vymazáno: ") + Count(deletedContacts));
                }
            });
            // An open contact list would name contacts by numbers that are
            // now other contacts'.
            if (deletedContacts > 0)
                NotifyContacts(dcReloadList);
        }
        if (const std::optional<double> written = ExchangeFileTime(target))
            StoreMoment(ini, QStringLiteral("kautodatum"), QStringLiteral("kautocas"), *written);
    }

    ShowStatusText(QStringLiteral("Připomenutí export: ") + Count(exported) + QStringLiteral(" vymazáno: ")
        + Count(deleted) + QStringLiteral(" |Kontakty export: ") + Count(exportedContacts)
        + QStringLiteral(" vymazáno: ") + Count(deletedContacts));
    if (reminderCount >= 1 || contactCount >= 1) {
        NotifyTray(ChBPoz->isChecked() ? tnPauseAndClose : tnResume);
        trayTold = true;
    }
    if (interactive)
        MessageDlgBeep(QStringLiteral("Export proveden\rPřipomenutí:  - exportováno: ") + Count(exported)
                + QStringLiteral("\r  - vymazáno: ") + Count(deleted) + QStringLiteral("\rKontakty:  - exportováno: ")
                + Count(exportedContacts) + QStringLiteral("\r  - vymazáno: ") + Count(deletedContacts),
            MsgDlgType::Information, MsgBtn::OK, 0);
}

int TFExport::Finished(int result)
{
    return DeletedAny ? int(mrOk) : result;
}

TFExportAuto::TFExportAuto(QWidget* parent)
    : TFExport(parent)
    , Panel(new QWidget(Client()))
    , GradText(new TGradText(Panel))
{
    setObjectName(QStringLiteral("FExportAuto"));
    setWindowTitle(QStringLiteral("Automatický export pripomenutí"));
    DefaultClientHeight = AutoClientHeight;
    MinTrackHeight = 360;
    resize(ClientWidth, Menu()->sizeHint().height() + DefaultClientHeight);

    Panel->setObjectName(QStringLiteral("Panel1"));
    GradText->setObjectName(QStringLiteral("GradText1"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(32);
    GradText->setFont(font);
    GradText->SetBeginColor(clPurple);
    GradText->SetGradientStyle(gsVertCenter);
    GradText->SetLines(
        { QStringLiteral("ukončení Windows bylo "), QStringLiteral("zastaveno,"), QStringLiteral("prosím o opakování") });
    PlacePanel();
}

// The panel takes the client area between the controls and the status bar,
// the text in its middle.
void TFExportAuto::PlacePanel()
{
    const int top = BOK->geometry().bottom() + 6;
    const int bottom = SBar()->geometry().top();
    Panel->setGeometry(0, top, Client()->width(), std::max(0, bottom - top));
    constexpr int Margin = 6;
    GradText->resize(std::max(0, Panel->width() - 2 * Margin), GradText->height());
    GradText->move(Margin, std::max(0, (Panel->height() - GradText->height()) / 2));
}

void TFExportAuto::resizeEvent(QResizeEvent* event)
{
    TFExport::resizeEvent(event);
    PlacePanel();
}

void TFExportAuto::showEvent(QShowEvent* event)
{
    TFExport::showEvent(event);
    // Centred over its stored placement, once its frame is known.
    if (!m_centred) {
        m_centred = true;
        CenterOnScreen(this);
    }
}
