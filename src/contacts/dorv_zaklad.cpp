#include "dorv_zaklad.h"

#include "dorv_okna.h"

#include "components/appevents.h"
#include "platform/commandchannel.h"
#include "platform/filereplace.h"
#include "platform/help.h"
#include "platform/paths.h"
#include "shared/commands.h"
#include "shared/contactfile.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/mojepopredi.h"

#include <QTimer>

namespace {

TFKZaklad* Instance = nullptr;

const QString Overview = QStringLiteral("FKPrehled");

} // namespace

TFKZaklad* FKZaklad()
{
    return Instance;
}

void ReportContactsGone(int count)
{
    if (count <= 0)
        return;
    const QString text = count == 1
        ? QStringLiteral("Kontakt již v databázi není (mezitím jej odstranil jiný program) - změna nebyla zapsána.")
        : QStringLiteral("Některé kontakty již v databázi nejsou (mezitím je odstranil jiný program) - jejich "
                         "změna nebyla zapsána.\nPočet: ")
            + QString::number(count);
    MessageDlgCentered(text, MsgDlgType::Warning, MsgBtn::OK, 0);
}

TFKZaklad::TFKZaklad()
    : TProgramHub(ContactForms(), QStringLiteral("FKAbout"))
    , m_appEvents(new TAppEvents(this))
{
    Instance = this;
    setObjectName(QStringLiteral("FKZaklad"));
    setWindowTitle(ContactAppTitle);
    m_appEvents->setObjectName(QStringLiteral("AppEvents1"));
    m_appEvents->SetShowMainForm(false);
    m_appEvents->Loaded();

    m_programDirectory = ProgramDir();
    m_settingsFileName = QStringLiteral("korvel.ini");
    m_placementFileName = QStringLiteral("korvelk.ini");
    // A stored folder keeps the form it was written in; the file is found
    // here whatever its separators. No check that it exists: a missing file
    // reads as an empty one.
    const QString dataFolder
        = IniReadString(SettingsFile(), QStringLiteral("Nastav"), QStringLiteral("adrdatabaze"), m_programDirectory);
    m_contactDataPath = LocalPath(dataFolder + QStringLiteral("\\korvel.db1"));
    // What a killed program left half written beside the files it replaces.
    for (const QString& path : { m_contactDataPath, SettingsFile(), PlacementFile() })
        RemoveStaleReplacement(path);

    CommandChannel::own().setHook([this](int32_t code, int32_t arg) { HandleContactCommand(code, arg); });
    Help::setHelpFile(Help::helpFolderIn(m_programDirectory));
}

TFKZaklad::~TFKZaklad()
{
    if (Instance != this)
        return;
    Instance = nullptr;
    CommandChannel::own().setHook({});
}

QString TFKZaklad::SettingsFile() const
{
    return m_programDirectory + u'/' + m_settingsFileName;
}

QString TFKZaklad::PlacementFile() const
{
    return m_programDirectory + u'/' + m_placementFileName;
}

void TFKZaklad::EditFormOpened()
{
    ++m_openEditForms;
}

void TFKZaklad::EditFormClosed()
{
    if (m_openEditForms > 0)
        --m_openEditForms;
}

void TFKZaklad::EndWhenIdle(int ms)
{
    if (!m_idle) {
        m_idle = new QTimer(this);
        m_idle->setSingleShot(true);
        connect(m_idle, &QTimer::timeout, this, [this] { EndIfNoWindow(); });
    }
    m_idle->start(ms);
}

void TFKZaklad::HandleContactCommand(int32_t code, int32_t arg)
{
    if (m_idle)
        m_idle->start();
    RestoreApplication();
    switch (code) {
    case dcRestore:
        break;
    case dcNewContact:
        NewContact(arg);
        break;
    case dcOverview:
        OpenByName(Overview);
        break;
    case dcReloadList:
        if (ContactOverview* overview = OverviewToFront())
            overview->Aktualizuj();
        break;
    case dcReloadGroups:
        if (ContactOverview* overview = OverviewToFront())
            overview->VsechnySkupDoCombo();
        break;
    default:
        break;
    }
}

// Every code opens one more form. The argument comes from another program
// or a list that may be out of date: a number that names no contact of the
// file gives an empty form, never a copy of another contact.
void TFKZaklad::NewContact(int32_t copySource)
{
    const int source = copySource >= 1 && copySource <= ContactCount(m_contactDataPath) ? copySource : 0;
    QWidget* form = Forms().Create(QStringLiteral("FKNew"));
    if (!form) {
        EndIfNoWindow();
        return;
    }
    if (auto* f = dynamic_cast<NewContactForm*>(form))
        f->SetCopySource(source);
    form->show();
}

ContactOverview* TFKZaklad::OverviewToFront()
{
    QWidget* w = FindForm(Overview);
    auto* overview = dynamic_cast<ContactOverview*>(w);
    if (overview)
        BringToFront(w);
    return overview;
}
