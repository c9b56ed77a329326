// The tray icon in a real notification area: Xvfb with the tray host trayer,
// clicks sent by xdotool. Run by scripts/xsession.sh.
#include "tray/kitmenus.h"
#include "tray/kitshell.h"
#include "tray/trayresources.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

void xdotool(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

QString scriptsFolder()
{
    // The source folder as the build names it: __FILE__ is relative where
    // the compiler cache rewrites paths.
    return QDir(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../scripts")).absolutePath();
}

// Started in a session without a tray host ("--dock-later"): shows the icon,
// then starts a tray host itself and waits for the icon to dock there.
int dockLater(int argc, char** argv)
{
    QApplication app(argc, argv);
    TKitTrayIcon icon;
    icon.SetIcon(TrayIconResource("IOK"));
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return 2;
    if (!icon.IconAdded() || icon.Docked())
        return 3;
    // Some time without a host, as a session whose panel comes up late.
    QTest::qWait(1500);
    QProcess trayer;
    trayer.start(
        QStringLiteral("trayer"), { "--edge", "top", "--widthtype", "pixel", "--width", "100", "--height", "32" });
    if (!trayer.waitForStarted(5000))
        return 4;
    const QDeadlineTimer deadline(20000);
    while (!(icon.Docked() && !icon.Geometry().isEmpty()) && !deadline.hasExpired())
        QTest::qWait(50);
    const int result = icon.Docked() && !icon.Geometry().isEmpty() ? 0 : 5;
    trayer.terminate();
    trayer.waitForFinished(5000);
    return result;
}

} // namespace

class TestTrayIconX11 : public QObject {
    Q_OBJECT
private:
    TKitTrayIcon* m_icon = nullptr;
    TKitPopupMenu* m_menu = nullptr;
    QList<Qt::MouseButton> m_clicks;
    int m_defaultRuns = 0;

    QPoint iconCentre() const { return m_icon->Geometry().center(); }

    void clickIcon(const QString& button, const QStringList& extra = {})
    {
        const QPoint c = iconCentre();
        xdotool(QStringList { "mousemove", QString::number(c.x()), QString::number(c.y()), "click" } + extra << button);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_menu = new TKitPopupMenu;
        m_menu->SetStyle(msOwnerDraw);
        m_menu->SetLeftMargin(35);
        QAction* overview = m_menu->addAction("&Přehled připomenutí");
        m_menu->setDefaultAction(overview);
        connect(overview, &QAction::triggered, [this] { ++m_defaultRuns; });
        m_menu->addAction("-");
        m_menu->addAction("&Konec");
        m_icon = new TKitTrayIcon;
        m_icon->SetHint("Korvel-Selvantrix");
        m_icon->SetIcon(TrayIconResource("IOK"));
        m_icon->SetPopupMenu(m_menu);
        m_icon->OnClick = [this](TKitTrayIcon*, Qt::MouseButton b, TShiftState, int, int) { m_clicks << b; };
    }

    void cleanupTestCase()
    {
        delete m_icon;
        delete m_menu;
    }

    void theIconDocksAndAnimates()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_icon->Docked() && !m_icon->Geometry().isEmpty(), 15000);
        QVERIFY(m_icon->Geometry().width() <= 64);
        LoadTrayAnimation(m_icon->Icons());
        m_icon->SetInterval(200);
        m_icon->SetAnimated(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_icon->FrameIndex() >= 2, 5000);
        QVERIFY(m_icon->Docked());
        m_icon->SetAnimated(false);
    }

    void aRightClickOpensOurMenu()
    {
        QVERIFY(!m_menu->isVisible());
        clickIcon("3");
        QTRY_VERIFY_WITH_TIMEOUT(m_menu->isVisible(), 10000);
        TKitPopupMenu* found = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<TKitPopupMenu*>(w); m && m->isVisible())
                found = m;
        QCOMPARE(found, m_menu);
        // At the cursor, kept on the screen (the icon sits in a panel at the bottom).
        const QPoint c = iconCentre();
        QVERIFY(qAbs(m_menu->geometry().left() - c.x()) <= m_menu->width());
        QVERIFY(m_menu->geometry().top() <= c.y());
        QVERIFY(m_clicks.isEmpty());
        if (const QString dir = qEnvironmentVariable("KORVEL_ARTIFACTS"); !dir.isEmpty()) {
            QDir().mkpath(dir);
            QVERIFY(QTest::qWaitForWindowExposed(m_menu));
            QTest::qWait(300);
            QGuiApplication::primaryScreen()->grabWindow(0).save(dir + "/trayicon-menu.png");
        }
        xdotool({ "key", "Escape" });
        QTRY_VERIFY_WITH_TIMEOUT(!m_menu->isVisible(), 5000);
        if (m_menu->isVisible())
            m_menu->hide();
    }

    void aLeftClickIsReported()
    {
        m_clicks.clear();
        clickIcon("1");
        QTRY_COMPARE_WITH_TIMEOUT(m_clicks.size(), 1, 10000);
        QCOMPARE(m_clicks.first(), Qt::LeftButton);
        QVERIFY(!m_menu->isVisible());
    }

    void aDoubleClickClicksOnceAndRunsTheDefaultItem()
    {
        m_clicks.clear();
        m_defaultRuns = 0;
        QTest::qWait(600); // apart from the click before
        clickIcon("1", { "--repeat", "2", "--delay", "80" });
        QTRY_COMPARE_WITH_TIMEOUT(m_defaultRuns, 1, 10000);
        QCOMPARE(m_clicks, QList<Qt::MouseButton> { Qt::LeftButton });
    }

    void docksWhenATrayHostAppearsLater()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(
            scriptsFolder() + "/xsession.sh", { "--no-tray", QCoreApplication::applicationFilePath(), "--dock-later" });
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--dock-later") == 0)
        return dockLater(argc, argv);
    QApplication app(argc, argv);
    TestTrayIconX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_trayicon.moc"
