#include "basewindow.h"

#include "components/captbtn.h"
#include "components/contexthelp.h"
#include "components/forms.h"
#include "components/kitstatusbar.h"
#include "platform/application.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "shared/scaleby.h"
#include "platform/inifile.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <cmath>

namespace {

// The caption help button's glyph: a question mark.
QPixmap HelpGlyph()
{
    QPixmap glyph(16, 14);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(glyph.rect(), Qt::AlignCenter, QStringLiteral("?"));
    return glyph;
}

int OrDefault(int value, int def)
{
    return value != 0 ? value : def;
}

} // namespace

TBaseWindow::TBaseWindow(BaseWindowHost& host, Frame frame, QWidget* parent)
    : QDialog(parent)
    , m_host(host)
    , m_frame(frame)
    , m_client(new QWidget(this))
    , m_menu(new QMenuBar(this))
    , m_bar(new TKitStatusBar(m_client))
    , m_helpMode(new ContextHelpMode(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint;
    if (frame == Frame::Sizeable)
        flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
    resize(312, 191);

    m_menu->setNativeMenuBar(false);
    m_info = m_menu->addMenu(QStringLiteral("&Info"));
    m_about = m_info->addAction(QStringLiteral("&about"));
    m_about->setObjectName(QStringLiteral("MAbout"));
    m_about->setStatusTip(QStringLiteral("zobrazí informace o programu"));
    connect(m_about, &QAction::triggered, this, &TBaseWindow::MAboutClick);
    m_menu->setObjectName(QStringLiteral("Menu"));

    m_bar->setObjectName(QStringLiteral("SBar"));
    m_bar->SetSizeGrip(frame == Frame::Sizeable);
    TKitStatusPanels* panels = m_bar->Panels();
    TKitStatusPanel* date = panels->Add();
    date->SetPanelType(sptDate);
    date->SetDateFormat(QStringLiteral("yyyy.mm.dd"));
    date->SetAutoFit(true);
    date->SetAlignment(taCenter);
    TKitStatusPanel* time = panels->Add();
    time->SetPanelType(sptTime);
    time->SetTimeFormat(QStringLiteral("hh:mm"));
    time->SetAutoFit(true);
    time->SetAlignment(taCenter);
    TKitStatusPanel* hint = panels->Add();
    hint->SetPanelType(sptNormal);
    hint->SetAlignment(taLeftJustify);
    m_bar->SetHintPanel(2);

    m_menuFont = m_menu->font();
    m_barFont = m_bar->font();
    m_menu->setFont(m_menuFont);
    m_bar->setFont(m_barFont);

    if (frame == Frame::Sizeable) {
        m_helpButton = new TCaptionButton(this);
        m_helpButton->setObjectName(QStringLiteral("BHelp"));
        m_helpButton->SetGlyph(HelpGlyph());
        m_helpButton->SetRightMargin(80);
        connect(m_helpButton, &TCaptionButton::OnClick, this, &TBaseWindow::BHelpClick);
    }
    AlignControls();
}

TBaseWindow::~TBaseWindow() = default;

bool TBaseWindow::InHelpMode() const
{
    return m_helpMode->Active();
}

void TBaseWindow::ShowStatusText(const QString& text)
{
    if (m_bar->Panels()->Count() > 2)
        m_bar->Panels()->Items(2)->SetText(text);
}

void TBaseWindow::MAboutClick()
{
    m_host.ShowAbout();
}

void TBaseWindow::BHelpClick()
{
    m_helpMode->Enter();
}

void TBaseWindow::setVisible(bool visible)
{
    if (visible && !m_created)
        FormCreate();
    if (visible && !m_shown) {
        const EventPump::Hold filling;
        QDialog::setVisible(visible);
        return;
    }
    QDialog::setVisible(visible);
}

bool TBaseWindow::event(QEvent* event)
{
    if (event->type() == QEvent::DeferredDelete && EventPump::Pumping()) {
        EventPump::DeleteAfterPumping(this);
        return true;
    }
    return QDialog::event(event);
}

void TBaseWindow::FormCreate()
{
    if (m_created)
        return;
    m_created = true;
    m_host.WindowOpened();

    const bool sizeable = m_frame == Frame::Sizeable;
    const bool byFrame = m_host.Placement() == BaseWindowHost::PlacementRule::ByFrame;
    if (byFrame || sizeable) {
        MinTrackWidth = OrDefault(MinTrackWidth, DefaultMinTrackWidth);
        MinTrackHeight = OrDefault(MinTrackHeight, DefaultMinTrackHeight);
        DefaultClientWidth = OrDefault(DefaultClientWidth, DefaultWidth);
        DefaultClientHeight = OrDefault(DefaultClientHeight, DefaultHeight);
    }
    if (PlacementSection.isEmpty())
        PlacementSection = objectName();

    ApplyMinTrackSize();
    const bool wholePlacement = byFrame ? sizeable : DefaultClientWidth != 0;
    if (wholePlacement)
        RestoreFormPlacement(
            this, m_host.PlacementFileName(), PlacementSection, DefaultClientWidth, DefaultClientHeight);
    else
        RestoreFormPosition(this, m_host.PlacementFileName(), PlacementSection);
    if (!sizeable)
        setFixedSize(size().expandedTo(minimumSize()));
    KeepFormOnScreen(this);

    // Without a taskbar button of its own the window stands for the hidden
    // main form, as the program's one button; the window manager decides.
    if (!ReadShowIconForm(IniFile(m_host.SettingsFile()))) {
        if (QWidget* main = m_host.MainForm()) {
            main->winId();
            winId();
            windowHandle()->setTransientParent(main->windowHandle());
        }
    }
}

void TBaseWindow::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TBaseWindow::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        FormClose();
}

void TBaseWindow::FormClose()
{
    if (!m_created || m_closed)
        return;
    m_closed = true;
    MarkFormClosed(this);
    SaveFormPlacement(this, m_host.PlacementFileName(), PlacementSection);
    m_host.WindowClosed();
}

void TBaseWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_created && m_frame == Frame::Sizeable)
        FormResize();
    AlignControls();
}

void TBaseWindow::FormResize()
{
    if (isMaximized() || isFullScreen())
        ScaleMaximized();
    else
        KeepAspectResize(this, DefaultClientWidth, DefaultClientHeight);
    m_menu->setFont(m_menuFont);
    m_bar->setFont(m_barFont);
}

// The window manager holds a maximised window's size, and a resize would take
// the window out of that state: the contents alone follow, by the smaller of
// the two ratios, and the reference size becomes the size they fill.
void TBaseWindow::ScaleMaximized()
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0 || DefaultClientWidth <= 0 || DefaultClientHeight <= 0)
        return;
    if (qint64(w) * DefaultClientHeight < qint64(h) * DefaultClientWidth) {
        ScaleBy(this, w, DefaultClientWidth);
        DefaultClientHeight = std::max(1, int(std::nearbyint(double(w) * DefaultClientHeight / DefaultClientWidth)));
        DefaultClientWidth = w;
    } else {
        ScaleBy(this, h, DefaultClientHeight);
        DefaultClientWidth = std::max(1, int(std::nearbyint(double(h) * DefaultClientWidth / DefaultClientHeight)));
        DefaultClientHeight = h;
    }
}

void TBaseWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // With its frame known the window may reach past the screen's edge.
        KeepFormOnScreen(this);
    }
    // The frame is known once the window is on the screen; a fixed window
    // has its size already.
    if (m_frame == Frame::Sizeable)
        ApplyMinTrackSize();
    // A size set while the window was hidden (a minimum the contents asked
    // for) reached it without a resize event of its own.
    AlignControls();
}

void TBaseWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()
        && !(static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized))
        MinimizeApplication();
}

void TBaseWindow::ApplyMinTrackSize()
{
    if (MinTrackWidth <= 0 && MinTrackHeight <= 0)
        return;
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(std::max(0, MinTrackWidth - frame.width()), std::max(0, MinTrackHeight - frame.height()));
}

// The menu along the top, the client area below it and the status bar along
// the client area's bottom, as the class library aligned them.
void TBaseWindow::AlignControls()
{
    const int menuHeight = m_menu->sizeHint().height();
    m_menu->setGeometry(0, 0, width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    const int barHeight = m_bar->sizeHint().height();
    m_bar->setGeometry(0, m_client->height() - barHeight, m_client->width(), barHeight);
    m_bar->raise();
}
