#include "mabout.h"

#include "components/basewindow.h"
#include "components/forms.h"
#include "components/versinfo.h"
#include "shared/formplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace {

const QString PlacementSection = QStringLiteral("FAbout");

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The picture and value panel: a single line round a raised bevel 4 pixels
// wide.
class BevelPanel : public QFrame {
public:
    explicit BevelPanel(QWidget* parent)
        : QFrame(parent)
    {
        setFrameStyle(QFrame::NoFrame);
        setContentsMargins(Border, Border, Border, Border);
    }

    static constexpr int Bevel = 4;
    static constexpr int Border = Bevel + 1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        qDrawShadePanel(&p, rect().adjusted(1, 1, -1, -1), palette(), false, Bevel);
    }
};

} // namespace

TFMAbout::TFMAbout(BaseWindowHost* host, const QString& programFile, QWidget* parent)
    : QDialog(parent)
    , Panel1(new BevelPanel(this))
    , Image1(NewLabel("Image1", {}, Panel1))
    , Label1(NewLabel("Label1", QStringLiteral("- - -"), Panel1))
    , Label2(NewLabel("Label2", QStringLiteral("- - -"), Panel1))
    , Label3(NewLabel("Label3", QStringLiteral("- - -"), Panel1))
    , Label4(NewLabel("Label4", QStringLiteral("- - -"), Panel1))
    , Label5(NewLabel("Label5", QStringLiteral("- - -"), Panel1))
    , Label6(NewLabel("Label6", QStringLiteral("Název:"), Panel1))
    , Label7(NewLabel("Label7", QStringLiteral("Popis"), Panel1))
    , Label8(NewLabel("Label8", QStringLiteral("Verze:"), Panel1))
    , Label9(NewLabel("Label9", QStringLiteral("Výrobce:"), Panel1))
    , Label10(NewLabel("Label10", QStringLiteral("Autorské právo:"), Panel1))
    , Button1(new QPushButton(QStringLiteral("O.K."), this))
    , VersionInfo(new TVersionInfoResource(this))
    , m_host(host)
    , m_programFile(programFile)
{
    setObjectName(QStringLiteral("FMAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A dialog frame without buttons in its caption.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    VersionInfo->setObjectName(QStringLiteral("VersionInfo"));

    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* values = new QVBoxLayout;
    values->setSpacing(1);
    const std::pair<QLabel*, QLabel*> pairs[]
        = { { Label6, Label1 }, { Label7, Label2 }, { Label8, Label3 }, { Label9, Label4 }, { Label10, Label5 } };
    for (const auto& [caption, value] : pairs) {
        if (caption != Label6)
            values->addSpacing(6);
        values->addWidget(caption);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values->addWidget(value);
    }
    values->addStretch();
    Label2->setWordWrap(true);
    Label2->setFixedWidth(209);
    auto* panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(8, 8, 8, 8);
    panel->setSpacing(16);
    panel->addWidget(Image1, 0, Qt::AlignTop);
    panel->addLayout(values, 1);

    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFMAbout::ButtonOKClick);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addWidget(Panel1, 1);
    form->addWidget(Button1);
    // A program's box is laid out at the size it opens with.
    resize(DesignClientWidth, host ? DefaultClientHeight : DesignClientHeight);
    Button1->setFocus();
}

void TFMAbout::ButtonOKClick()
{
    close();
}

void TFMAbout::setVisible(bool visible)
{
    if (visible && !m_created)
        FormCreate();
    QDialog::setVisible(visible);
}

void TFMAbout::FormCreate()
{
    if (m_created)
        return;
    m_created = true;
    if (m_host)
        m_host->WindowOpened();

    VersionInfo->SetFilename(m_programFile.isEmpty() ? QCoreApplication::applicationFilePath() : m_programFile);
    Label1->setText(VersionInfo->ProductName());
    Label2->setText(VersionInfo->FileDescription());
    Label3->setText(VersionInfo->FileVersion().Text());
    Label4->setText(VersionInfo->CompanyName());
    Label5->setText(VersionInfo->LegalCopyright());

    // Over the main form, which sits centred on the screen; hidden, it has
    // no place of its own, so the screen stands in for it.
    QWidget* main = m_host ? m_host->MainForm() : nullptr;
    if (main && main->isVisible())
        CenterOnControl(this, main);
    else
        CenterOnScreen(this);
    ShowApplicationIcon();

    if (m_host) {
        RestoreFormPlacement(this, m_host->SettingsFile(), PlacementSection, DefaultClientWidth, DefaultClientHeight);
        KeepFormOnScreen(this);
    }
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

void TFMAbout::ShowApplicationIcon()
{
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        return;
    QPixmap bitmap(icon.actualSize(QSize(32, 32)));
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    icon.paint(&painter, bitmap.rect());
    painter.end();
    Image1->setPixmap(bitmap.scaled(bitmap.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void TFMAbout::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFMAbout::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        FormClose();
}

void TFMAbout::FormClose()
{
    if (!m_created || m_closed)
        return;
    m_closed = true;
    MarkFormClosed(this);
    if (m_host) {
        SaveFormPlacement(this, m_host->SettingsFile(), PlacementSection);
        m_host->WindowClosed();
    }
}
