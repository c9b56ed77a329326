#include "components/kitutils.h"
#include "icons.h"
#include "platform/dialogs.h"
#include "testsupport.h"
#include "tray/icolist.h"
#include "tray/kitmenus.h"
#include "tray/kitshell.h"
#include "tray/trayresources.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>
#include <QtEndian>

namespace {

// Records where and on which thread the shown icon changes.
class WatchedTrayIcon : public TKitTrayIcon {
public:
    QList<QColor> shown;
    bool offMainThread = false;

protected:
    void UpdateNotifyData() override
    {
        TKitTrayIcon::UpdateNotifyData();
        shown << colourOf(CurrentIcon());
        offMainThread |= QThread::currentThread() != qApp->thread();
    }
};

struct Click {
    Qt::MouseButton button;
    TShiftState shift;
};

using Msg = TKitTrayIcon::MouseMessage;

} // namespace

class TestKitTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The offscreen desktop has no notification area: everything here runs
        // the way a session without a tray host does.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    }

    void withoutATrayHostTheIconWaitsToDock()
    {
        TKitTrayIcon icon;
        QVERIFY(icon.Active());
        QVERIFY(!icon.IconAdded()); // nothing to show yet
        icon.SetIcon(TrayIconResource("IOK"));
        QVERIFY(icon.IconAdded());
        QVERIFY(!icon.Docked());
        QVERIFY(icon.Geometry().isEmpty());
        // It keeps waiting while the program goes on.
        QTest::qWait(1200);
        QVERIFY(icon.IconAdded());
        QVERIFY(!icon.Docked());
        icon.SetActive(false);
        QVERIFY(!icon.IconAdded());
        icon.SetActive(true);
        QVERIFY(icon.IconAdded());
        icon.SetIcon(QIcon()); // no picture: taken out
        QVERIFY(!icon.IconAdded());
    }

    void tipIsTheShortHintCutTo63Characters()
    {
        TKitTrayIcon icon;
        icon.SetHint("Korvel-Selvantrix|dlouhý popis za svislou čarou");
        QCOMPARE(icon.TipText(), QString("Korvel-Selvantrix"));
        icon.SetHint(QString(70, u'ž'));
        QCOMPARE(icon.TipText(), QString(63, u'ž'));
        QCOMPARE(icon.Hint().size(), 70);
        icon.SetHint("|jen dlouhá část");
        QCOMPARE(icon.TipText(), QString());
    }

    void animationNeedsFrames()
    {
        TKitTrayIcon icon;
        icon.SetIcon(solidIcon(Qt::red));
        icon.SetAnimated(true);
        QVERIFY(!icon.Animated());
        QCOMPARE(colourOf(icon.CurrentIcon()), QColor(Qt::red));
        icon.Icons().AddIcon(solidIcon(Qt::blue));
        icon.SetAnimated(true);
        QVERIFY(icon.Animated());
        QCOMPARE(colourOf(icon.CurrentIcon()), QColor(Qt::blue));
        icon.Icons().ClearIcons(); // the last frame gone: the still icon again
        QVERIFY(!icon.Animated());
        QCOMPARE(colourOf(icon.CurrentIcon()), QColor(Qt::red));
    }

    void framesAdvanceOnTheMainThread()
    {
        WatchedTrayIcon icon;
        icon.SetInterval(200);
        icon.SetIcon(solidIcon(Qt::red));
        const QColor frames[] = { Qt::blue, Qt::green, Qt::yellow };
        for (const QColor& c : frames)
            icon.Icons().AddIcon(solidIcon(c));
        QElapsedTimer clock;
        clock.start();
        icon.SetAnimated(true);
        QCOMPARE(icon.FrameIndex(), 0);
        QCOMPARE(icon.shown.last(), QColor(Qt::blue));
        QTRY_COMPARE_WITH_TIMEOUT(icon.FrameIndex(), 1, 5000);
        QVERIFY(clock.elapsed() >= 190); // one interval, not sooner
        QTRY_COMPARE_WITH_TIMEOUT(icon.FrameIndex(), 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(icon.FrameIndex(), 0, 5000); // round again
        QVERIFY(clock.elapsed() >= 3 * 190);
        QVERIFY(!icon.offMainThread);
        const QList<QColor> cycle = icon.shown.mid(icon.shown.indexOf(QColor(Qt::blue)), 4);
        QCOMPARE(cycle, (QList<QColor> { Qt::blue, Qt::green, Qt::yellow, Qt::blue }));
        // Off: the still icon again; on again: from the first frame.
        icon.SetAnimated(false);
        QCOMPARE(icon.shown.last(), QColor(Qt::red));
        QTest::qWait(300);
        QCOMPARE(icon.shown.last(), QColor(Qt::red));
        icon.SetAnimated(true);
        QCOMPARE(icon.FrameIndex(), 0);
        QCOMPARE(icon.shown.last(), QColor(Qt::blue));
    }

    void framesChangeSafelyWhileAnimating()
    {
        // The list may change between two frames; the next frame is taken
        // from the list as it is then.
        WatchedTrayIcon icon;
        icon.SetInterval(20);
        icon.SetIcon(solidIcon(Qt::red));
        for (int i = 0; i < 5; ++i)
            icon.Icons().AddIcon(solidIcon(QColor(i * 40, 0, 0)));
        icon.SetAnimated(true);
        QTRY_VERIFY_WITH_TIMEOUT(icon.FrameIndex() >= 3, 5000);
        icon.Icons().DeleteIcon(4);
        icon.Icons().DeleteIcon(3);
        icon.Icons().DeleteIcon(2);
        QVERIFY(icon.FrameIndex() < 5);
        QCOMPARE(icon.CurrentIcon().isNull(), false);
        QTest::qWait(100);
        QVERIFY(icon.FrameIndex() < 2);
        icon.Icons().ClearIcons();
        QVERIFY(!icon.Animated());
        QTest::qWait(60);
        QCOMPARE(icon.shown.last(), QColor(Qt::red));
    }

    void clicksNeedTheButtonToGoDownOnTheIcon()
    {
        TKitTrayIcon icon;
        QList<Click> clicks;
        QStringList order;
        icon.OnClick = [&](TKitTrayIcon*, Qt::MouseButton b, TShiftState s, int, int) {
            clicks << Click { b, s };
            order << "click";
        };
        icon.OnMouseDown = [&](TKitTrayIcon*, Qt::MouseButton, TShiftState, int, int) { order << "down"; };
        icon.OnMouseUp = [&](TKitTrayIcon*, Qt::MouseButton, TShiftState, int x, int y) {
            order << QString("up %1,%2").arg(x).arg(y);
        };
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(5, 6), Qt::NoModifier);
        QCOMPARE(clicks.size(), 0);
        QCOMPARE(order, QStringList { "up 5,6" });
        order.clear();
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(5, 6), Qt::ControlModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(5, 6), Qt::ControlModifier);
        QCOMPARE(order, (QStringList { "down", "click", "up 5,6" }));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0].button, Qt::LeftButton);
        QCOMPARE(clicks[0].shift, TShiftState(ssCtrl | ssLeft));
        // Hiding the icon forgets a button that went down.
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(), Qt::NoModifier);
        icon.HideTrayIcon();
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        QCOMPARE(clicks.size(), 1);
        // Disabled: nothing at all.
        icon.SetEnabled(false);
        order.clear();
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        QCOMPARE(order, QStringList());
    }

    void rightClickOpensTheMenuAtTheCursor()
    {
        TKitTrayIcon icon;
        icon.SetIcon(solidIcon(Qt::red));
        TKitPopupMenu menu;
        menu.addAction("&Konec");
        int popups = 0;
        menu.OnPopup = [&](TKitPopupMenu*) { ++popups; };
        icon.SetPopupMenu(&menu);
        QList<Click> clicks;
        icon.OnClick = [&](TKitTrayIcon*, Qt::MouseButton b, TShiftState s, int, int) { clicks << Click { b, s }; };
        icon.HandleMouseMessage(Msg::RButtonDown, QPoint(120, 90), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::RButtonUp, QPoint(120, 90), Qt::NoModifier);
        QCOMPARE(popups, 1);
        QVERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), QPoint(120, 90));
        QCOMPARE(clicks.size(), 0);
        menu.hide();
        // A menu that does not pop up by itself: the right click is a click.
        menu.AutoPopup = false;
        icon.HandleMouseMessage(Msg::RButtonDown, QPoint(120, 90), Qt::ShiftModifier);
        icon.HandleMouseMessage(Msg::RButtonUp, QPoint(120, 90), Qt::ShiftModifier);
        QVERIFY(!menu.isVisible());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0].button, Qt::RightButton);
        QCOMPARE(clicks[0].shift, TShiftState(ssShift | ssRight));
    }

    void doubleClickClicksOnceThenRunsTheDefaultItem()
    {
        TKitTrayIcon icon;
        icon.SetIcon(solidIcon(Qt::red));
        auto* menu = new TKitPopupMenu;
        QAction* overview = menu->addAction("&Přehled připomenutí");
        menu->addAction("&Nové připomenutí");
        menu->setDefaultAction(overview);
        icon.SetPopupMenu(menu);
        QStringList order;
        connect(overview, &QAction::triggered, [&] { order << "default item"; });
        icon.OnClick = [&](TKitTrayIcon*, Qt::MouseButton, TShiftState, int, int) { order << "click"; };
        icon.OnDblClick = [&](TKitTrayIcon*) { order << "double click"; };
        QList<TShiftState> downs;
        icon.OnMouseDown = [&](TKitTrayIcon*, Qt::MouseButton, TShiftState s, int, int) { downs << s; };
        // What a double click over the icon reports: down, up, double, up.
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonDblClk, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        QCOMPARE(order, (QStringList { "click", "default item" }));
        QCOMPARE(downs, (QList<TShiftState> { ssLeft, ssDouble }));
        // Without a usable default item the double click is reported instead.
        overview->setEnabled(false);
        order.clear();
        icon.HandleMouseMessage(Msg::LButtonDblClk, QPoint(), Qt::NoModifier);
        QCOMPARE(order, QStringList { "double click" });
        // The menu destroyed: the icon lets go of it.
        delete menu;
        QCOMPARE(icon.PopupMenu(), nullptr);
        QVERIFY(!icon.RunDefaultItem());
        QVERIFY(!icon.PopupAtCursor(0, 0));
    }

    void anExceptionInAHandlerIsShownAndTheIconGoesOn()
    {
        ScriptedDialogs dialogs;
        TKitTrayIcon icon;
        icon.OnClick = [](TKitTrayIcon*, Qt::MouseButton, TShiftState, int, int) { throw EListError(3); };
        int ups = 0;
        icon.OnMouseUp = [&](TKitTrayIcon*, Qt::MouseButton, TShiftState, int, int) { ++ups; };
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().text, QString("List index out of bounds (3)"));
        QCOMPARE(ups, 0); // the message's handling ended where the exception was raised
        icon.OnClick = nullptr;
        icon.HandleMouseMessage(Msg::LButtonDown, QPoint(), Qt::NoModifier);
        icon.HandleMouseMessage(Msg::LButtonUp, QPoint(), Qt::NoModifier);
        QCOMPARE(ups, 1);
    }

    void trayPicturesAreReady()
    {
        const QPixmap pictures = TrayMenuPictures();
        QCOMPARE(pictures.size(), QSize(400, 25));
        QCOMPARE(pictures.toImage().pixelColor(0, 24), QColor(255, 0, 255));
        // Every cell holds a picture.
        for (int cell = 0; cell < TrayMenuPictureCells; ++cell) {
            const QImage img = pictures.copy(cell * 25, 0, 25, 25).toImage();
            int drawn = 0;
            for (int y = 0; y < 25; ++y)
                for (int x = 0; x < 25; ++x)
                    drawn += img.pixelColor(x, y) != QColor(255, 0, 255);
            QVERIFY2(drawn > 40, qPrintable(QString("cell %1").arg(cell)));
        }
        TIconList frames;
        LoadTrayAnimation(frames);
        QCOMPARE(frames.IconCount(), TrayAnimationFrames);
        QCOMPARE(frames.IconAt(0).availableSizes().first(), QSize(32, 32));
        QVERIFY(frames.IconAt(0).pixmap(32, 32).toImage() != frames.IconAt(5).pixmap(32, 32).toImage());
        QVERIFY(frames.IconAt(0).pixmap(32, 32).toImage() == frames.IconAt(0).pixmap(32, 32).toImage());
        const QImage ok = TrayIconResource("IOK").pixmap(32, 32).toImage();
        const QImage stop = TrayIconResource("ISTOP").pixmap(32, 32).toImage();
        QVERIFY(!ok.isNull() && !stop.isNull());
        QVERIFY(ok != stop);
        QVERIFY(TrayIconResource("IXX").isNull());
    }
};

QTEST_MAIN(TestKitTrayIcon)
#include "tst_kittrayicon.moc"
