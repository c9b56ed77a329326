#include "dorv_csvwizard.h"

#include "dorv_zaklad.h"

#include "components/kitstatusbar.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "shared/f_p.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>

namespace {

const QString OddelovacKey = QStringLiteral("oddelovac");
const QString AdresarKey = QStringLiteral("adresar");
const QString DefaultSeparator = QStringLiteral(",");

constexpr int ButtonWidth = 110;
constexpr int ButtonHeight = 28;

QString SeparatorProblem(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("Není možné použít prázdný znak!");
    if (text.front() == u' ')
        return QStringLiteral("Není možné použít mezeru!");
    if (text.front() == u'|')
        return QStringLiteral("Není možné použít znak |\rpoužívá se jako náhrada za oddělovač v textových hodnotách");
    return {};
}

} // namespace

TFKCsvWizard::TFKCsvWizard(
    const QString& name, const QString& caption, const QString& fileLabel, int width, int height, QWidget* parent)
    : TFKVychZakl(parent)
    , PageC(new QStackedWidget(Client()))
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(width, Menu()->sizeHint().height() + height + SBar()->sizeHint().height());

    PageC->setObjectName(QStringLiteral("PageC"));
    PageC->setGeometry(0, 0, width, height - ButtonHeight - 2 * Gap);

    QWidget* first = AddPage();
    LFileCSV = new QLabel(fileLabel, first);
    LFileCSV->setObjectName(QStringLiteral("LFileCSV"));
    LFileCSV->setGeometry(Gap, 12, width - 2 * Gap, 18);
    FileCSV = new TFilenameEdit(first);
    FileCSV->setObjectName(QStringLiteral("FileCSV"));
    FileCSV->setGeometry(Gap, 32, width - 2 * Gap, 24);
    FileCSV->SetFilter(QStringLiteral("CSVfiles (*.csv)|*.csv|All files (*.*)|*.*"));
    LFileCSV->setBuddy(FileCSV);

    LOddel = new QLabel(QStringLiteral("oddělovač záznamů:"), first);
    LOddel->setObjectName(QStringLiteral("LOddel"));
    LOddel->setGeometry(Gap, 72, 130, 18);
    CBOddel = new QComboBox(first);
    CBOddel->setObjectName(QStringLiteral("CBOddel"));
    CBOddel->setEditable(true);
    CBOddel->setInsertPolicy(QComboBox::NoInsert);
    CBOddel->addItems({ QStringLiteral(";"), QStringLiteral(",") });
    CBOddel->lineEdit()->setMaxLength(1);
    CBOddel->setGeometry(Gap + 134, 68, 56, 24);
    LOddel->setBuddy(CBOddel);

    const int top = height - ButtonHeight - Gap;
    const auto button = [&](const char* objectName, const QString& text, int left) {
        auto* b = new QPushButton(text, Client());
        b->setObjectName(QLatin1String(objectName));
        b->setGeometry(left, top, ButtonWidth, ButtonHeight);
        b->setAutoDefault(false);
        return b;
    };
    BPrev = button("BPrev", QStringLiteral("< Předchozí"), Gap);
    BNext = button("BNext", QStringLiteral("Další >"), Gap + ButtonWidth + 4);
    BCancel = button("BCancel", QStringLiteral("Storno"), width - 2 * (ButtonWidth + 4) - 4);
    BBHelp = button("BBHelp", QStringLiteral("&Nápověda"), width - ButtonWidth - Gap);
    BBHelp->setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogHelpButton));
    BPrev->setStatusTip(QStringLiteral("předchozí krok"));
    BNext->setStatusTip(QStringLiteral("další krok"));
    BCancel->setStatusTip(QStringLiteral("zavře okno"));
    BBHelp->setStatusTip(QStringLiteral("nápověda o vybraném prvku"));
    connect(BPrev, &QPushButton::clicked, this, [this] { RunGuarded([this] { BPrevClick(); }); });
    connect(BNext, &QPushButton::clicked, this, [this] { RunGuarded([this] { BNextClick(); }); });
    connect(BCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(BBHelp, &QPushButton::clicked, this, [this] { BHelpClick(); });

    const QString ini = Ini();
    CBOddel->setEditText(IniReadString(ini, Section(), OddelovacKey, DefaultSeparator).left(1));
    FileCSV->SetInitialDir(IniReadString(ini, Section(), AdresarKey, QString()));
}

QWidget* TFKCsvWizard::AddPage()
{
    auto* page = new QWidget(PageC);
    page->setObjectName(QStringLiteral("Page%1").arg(PageC->count() + 1));
    PageC->addWidget(page);
    return page;
}

QWidget* TFKCsvWizard::PageWidget(int page) const
{
    return PageC->widget(page - 1);
}

int TFKCsvWizard::PageHeight() const
{
    return PageC->height();
}

int TFKCsvWizard::Page() const
{
    return PageC->currentIndex() + 1;
}

void TFKCsvWizard::SetPage(int page)
{
    PageC->setCurrentIndex(page - 1);
    EnableButtons();
}

void TFKCsvWizard::EnableButtons()
{
    BPrev->setEnabled(Page() > 1);
    BNext->setEnabled(Page() < PageC->count());
}

QChar TFKCsvWizard::Oddelovac() const
{
    const QString text = CBOddel->currentText();
    return text.isEmpty() ? QChar() : text.front();
}

bool TFKCsvWizard::CheckSeparator()
{
    const QString problem = SeparatorProblem(CBOddel->currentText());
    if (problem.isEmpty())
        return true;
    MessageDlgCentered(problem, MsgDlgType::Warning, MsgBtn::OK, 0);
    CBOddel->setFocus();
    return false;
}

void TFKCsvWizard::BPrevClick()
{
    if (Page() > 1)
        SetPage(Page() - 1);
}

QString TFKCsvWizard::Ini() const
{
    return FKZaklad()->PlacementFile();
}

QString TFKCsvWizard::Section() const
{
    return objectName();
}

void TFKCsvWizard::FormClose()
{
    IniWriteString(Ini(), Section(), OddelovacKey, CBOddel->currentText());
    // A folder the settings file cannot hold is not kept: it would come
    // back with "?" in place of its letters.
    if (StorablePathAccepted(FileCSV->InitialDir()))
        IniWriteString(Ini(), Section(), AdresarKey, FileCSV->InitialDir());
}

// A settings file that cannot be written is reported; the window closes all
// the same.
void TFKCsvWizard::closeEvent(QCloseEvent* event)
{
    if (FormCreated() && !m_closed) {
        m_closed = true;
        RunGuarded([this] { FormClose(); });
    }
    TFKVychZakl::closeEvent(event);
}

void TFKCsvWizard::done(int result)
{
    if (FormCreated() && !m_closed) {
        m_closed = true;
        RunGuarded([this] { FormClose(); });
    }
    TFKVychZakl::done(result);
}
