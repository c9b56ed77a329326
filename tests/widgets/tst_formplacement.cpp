#include "shared/formplacement.h"
#include "shared/scaleby.h"

#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "testsupport.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {

// A sizeable window as the base windows are: its resize handler keeps the
// proportions; it counts the sizes the handler saw.
class AspectForm : public QWidget {
public:
    AspectForm()
    {
        child = new QLabel("Jméno", this);
        child->setGeometry(10, 20, 100, 50);
        setMinimumSize(0, 0);
    }
    int lastW = 400;
    int lastH = 300;
    QLabel* child;
    QList<QSize> seen;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        seen << size();
        KeepAspectResize(this, lastW, lastH);
    }
};

// Saves its placement when it closes, as every base window does first.
class ClosingForm : public QWidget {
public:
    bool saved = true;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        saved = SaveFormPlacement(this, "korvel.ini", "FPrehled");
        e->accept();
    }
};

QSize screenSize()
{
    return QGuiApplication::primaryScreen()->geometry().size();
}

} // namespace

class TestFormPlacement : public QObject {
    Q_OBJECT
private slots:
    void programDirIsTheProgramFolder()
    {
        TempProgramFolder dir;
        QCOMPARE(ProgramDir(), dir.path());
        QVERIFY(!ProgramDir().endsWith(u'/'));
    }

    void normalPlacementRoundTrip()
    {
        TempProgramFolder dir;
        QWidget form;
        form.move(30, 40);
        form.resize(300, 200);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(SaveFormPlacement(&form, "korvelk.ini", "FKPrehled"));

        const IniFile ini(dir.file("korvelk.ini"));
        QCOMPARE(ini.readInteger("FKPrehled", "State", 0), 2);
        QCOMPARE(ini.readInteger("FKPrehled", "Left", 0), form.x());
        QCOMPARE(ini.readInteger("FKPrehled", "Top", 0), form.y());
        QCOMPARE(ini.readInteger("FKPrehled", "Width", 0), 300);
        QCOMPARE(ini.readInteger("FKPrehled", "Height", 0), 200);

        QWidget again;
        RestoreFormPlacement(&again, "korvelk.ini", "fkprehled", 472, 352);
        QCOMPARE(again.pos(), form.pos());
        QCOMPARE(again.size(), QSize(300, 200));
        QVERIFY(!(again.windowState() & Qt::WindowMaximized));

        // A default width of 0 leaves the width alone.
        QWidget fixedWidth;
        fixedWidth.resize(123, 50);
        RestoreFormPlacement(&fixedWidth, "korvelk.ini", "FKPrehled", 0, 352);
        QCOMPARE(fixedWidth.size(), QSize(123, 200));
    }

    void maximisedWindowKeepsItsNormalPlacement()
    {
        TempProgramFolder dir;
        QWidget form;
        form.move(25, 35);
        form.resize(320, 240);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(SaveFormPlacement(&form, "korvel.ini", "FPrehled"));
        const QByteArray normal = readFileBytes(dir.iniPath());

        form.showMaximized();
        QTRY_VERIFY(form.isMaximized());
        QTRY_VERIFY(form.size() != QSize(320, 240));
        QVERIFY(SaveFormPlacement(&form, "korvel.ini", "FPrehled"));
        // Only State changes.
        QByteArray expected = normal;
        expected.replace("State=2", "State=1");
        QCOMPARE(readFileBytes(dir.iniPath()), expected);

        // Minimised: nothing at all is written.
        form.showMinimized();
        QTRY_VERIFY(form.isMinimized());
        QVERIFY(SaveFormPlacement(&form, "korvel.ini", "FPrehled"));
        QCOMPARE(readFileBytes(dir.iniPath()), expected);

        QWidget again;
        RestoreFormPlacement(&again, "korvel.ini", "FPrehled", 472, 352);
        QVERIFY(again.windowState() & Qt::WindowMaximized);
        again.show();
        QTRY_VERIFY(again.isMaximized());
        QCOMPARE(again.normalGeometry().size(), QSize(320, 240));
        again.showNormal();
        QTRY_COMPARE(again.size(), QSize(320, 240));
        QCOMPARE(again.pos(), QPoint(25, 35));

        // Position only: the state comes back, the size stays.
        QWidget positioned;
        positioned.resize(99, 77);
        RestoreFormPosition(&positioned, "korvel.ini", "FPrehled");
        QVERIFY(positioned.windowState() & Qt::WindowMaximized);
        positioned.setWindowState(Qt::WindowNoState);
        QCOMPARE(positioned.size(), QSize(99, 77));
        QCOMPARE(positioned.pos(), QPoint(25, 35));
    }

    void storedValuesOutOfRange()
    {
        TempProgramFolder dir;
        writeFileBytes(dir.iniPath(), "[FA]\r\nState=2\r\nLeft=-20\r\nTop=-1\r\nWidth=0\r\nHeight=-5\r\n"
                                      "[FB]\r\nState=7\r\n"
                                      "[FC]\r\nLeft=300\r\nTop=300\r\nWidth=10\r\nHeight=10\r\n");
        QWidget a;
        RestoreFormPlacement(&a, "korvel.ini", "FA", 352, 299);
        QCOMPARE(a.pos(), QPoint(0, 0));
        QCOMPARE(a.size(), QSize(352, 299)); // a vanishing size gives the default
        QVERIFY(!(a.windowState() & Qt::WindowMaximized));

        // A state other than 1 is normal; missing coordinates are 1.
        QWidget b;
        RestoreFormPlacement(&b, "korvel.ini", "FB", 352, 299);
        QCOMPARE(b.pos(), QPoint(1, 1));
        QCOMPARE(b.size(), QSize(352, 299));

        // No State: only the default size, the stored placement is ignored.
        QWidget c;
        c.move(5, 6);
        RestoreFormPlacement(&c, "korvel.ini", "FC", 352, 299);
        QCOMPARE(c.pos(), QPoint(5, 6));
        QCOMPARE(c.size(), QSize(352, 299));
        RestoreFormPosition(&c, "korvel.ini", "FC");
        QCOMPARE(c.pos(), QPoint(5, 6));
        RestoreFormPosition(&c, "korvel.ini", "FA");
        QCOMPARE(c.pos(), QPoint(0, 0));
    }

    void restoreRunsTheResizeHandlerOnceWithTheWholeSize()
    {
        TempProgramFolder dir;
        writeFileBytes(dir.iniPath(), "[FPrehled]\r\nState=2\r\nLeft=10\r\nTop=10\r\nWidth=800\r\nHeight=600\r\n");
        AspectForm form;
        form.resize(400, 300);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.seen.clear();
        RestoreFormPlacement(&form, "korvel.ini", "FPrehled", 400, 300);
        QTRY_VERIFY(!form.seen.isEmpty());
        QTest::qWait(20);
        // Never a step with only the width in place, which the handler would undo.
        QCOMPARE(form.seen, QList<QSize>({ QSize(800, 600) }));
        QCOMPARE(form.size(), QSize(800, 600));
        QCOMPARE(form.child->geometry(), QRect(20, 40, 200, 100));
        QCOMPARE(form.lastW, 800);
        QCOMPARE(form.lastH, 600);
    }

    void keepAspectResizeScalesBySmallerRatio()
    {
        AspectForm form;
        QFont big = form.child->font();
        big.setPointSize(9);
        form.child->setFont(big);
        auto* inner = new QLabel("x", form.child); // inherits the child's font
        inner->setGeometry(1, 3, 5, 7);
        const int formFont = form.font().pointSize();

        form.resize(800, 700); // width doubles, height less than the aspect
        KeepAspectResize(&form, form.lastW, form.lastH);
        QCOMPARE(form.size(), QSize(800, 600));
        QCOMPARE(form.lastW, 800);
        QCOMPARE(form.lastH, 600);
        QCOMPARE(form.child->geometry(), QRect(20, 40, 200, 100));
        QCOMPARE(inner->geometry(), QRect(2, 6, 10, 14));
        QCOMPARE(form.child->font().pointSize(), 18);
        QCOMPARE(inner->font().pointSize(), 18);
        QCOMPARE(form.font().pointSize(), formFont * 2);

        // The height rules: width follows.
        form.resize(2000, 300);
        KeepAspectResize(&form, form.lastW, form.lastH);
        QCOMPARE(form.size(), QSize(400, 300));
        QCOMPARE(form.child->geometry(), QRect(10, 20, 100, 50));
        QCOMPARE(form.child->font().pointSize(), 9);
    }

    void scalingRoundsHalvesToEven()
    {
        QWidget form;
        auto* a = new QWidget(&form);
        a->setGeometry(100, 300, 200, 2);
        QFont f = a->font();
        f.setPixelSize(10);
        a->setFont(f);
        ScaleBy(&form, 402, 400); // × 1.005
        // Edges: 100.5 → 100, 301.5 → 302, 301.5 → 302, 303.51 → 304; font 10.05 → 10.
        QCOMPARE(a->geometry(), QRect(100, 302, 202, 2));
        QCOMPARE(a->font().pixelSize(), 10);
        ScaleBy(&form, 3, 2);
        QCOMPARE(a->geometry().topLeft(), QPoint(150, 453));
        ScaleBy(&form, 1, 2);
        QCOMPARE(a->geometry().topLeft(), QPoint(75, 226)); // 226.5 → 226
        QCOMPARE(a->font().pixelSize(), 8); // 15 / 2 = 7.5 → 8

        const QRect before = a->geometry();
        ScaleBy(&form, 0, 5);
        ScaleBy(&form, 5, 0);
        QCOMPARE(a->geometry(), before);
    }

    void emptyOrMinimisedWindowChangesNothing()
    {
        AspectForm form;
        form.resize(0, 0);
        QCOMPARE(form.size(), QSize(0, 0));
        KeepAspectResize(&form, form.lastW, form.lastH);
        form.resize(400, 0);
        KeepAspectResize(&form, form.lastW, form.lastH);
        QCOMPARE(form.child->geometry(), QRect(10, 20, 100, 50));
        QCOMPARE(form.lastW, 400);
        QCOMPARE(form.lastH, 300);

        // Shown, then minimised and brought back: the controls are where they were.
        form.resize(400, 300);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const int font = form.font().pointSize();
        form.showMinimized();
        QTRY_VERIFY(form.isMinimized());
        form.resize(0, 0);
        KeepAspectResize(&form, form.lastW, form.lastH);
        form.showNormal();
        form.resize(400, 300);
        QTest::qWait(20);
        QCOMPARE(form.child->geometry(), QRect(10, 20, 100, 50));
        QCOMPARE(form.font().pointSize(), font);
        QCOMPARE(form.lastW, 400);
        QCOMPARE(form.lastH, 300);

        // Unusable last sizes are never divided by.
        int w = 0;
        int h = 300;
        KeepAspectResize(&form, w, h);
        QCOMPARE(w, 0);
        QCOMPARE(form.child->geometry(), QRect(10, 20, 100, 50));
    }

    void keepFormOnScreen()
    {
        const QSize screen = screenSize();
        QWidget form;
        form.setGeometry(-20, -30, 100, 50);
        KeepFormOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(0, 0));

        form.move(screen.width() - 50, screen.height() - 20);
        KeepFormOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(screen.width() - 100, screen.height() - 50));

        form.move(10, 20);
        KeepFormOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(10, 20));

        // Larger than the screen: the caption stays on it.
        form.setGeometry(50, 60, screen.width() + 200, screen.height() + 100);
        KeepFormOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(0, 0));
        form.move(-300, -300);
        KeepFormOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(0, 0));
    }

    void centringTruncates()
    {
        const QSize screen = screenSize();
        QWidget form;
        form.resize(301, 201);
        CenterOnScreen(&form);
        QCOMPARE(form.pos(), QPoint(screen.width() / 2 - 150, screen.height() / 2 - 100));

        QWidget owner;
        owner.setGeometry(10, 20, 101, 51);
        QWidget box;
        box.resize(41, 31);
        CenterOnControl(&box, &owner);
        QCOMPARE(box.pos(), QPoint(10 + 50 - 20, 20 + 25 - 15));

        // A box larger than its owner hangs over it on all sides.
        owner.setGeometry(-7, 0, 11, 11);
        box.resize(35, 35);
        CenterOnControl(&box, &owner);
        QCOMPARE(box.pos(), QPoint(-7 + 5 - 17, 5 - 17));
    }

    void unwritableSettingsDoNotKeepTheWindowOpen()
    {
        TempProgramFolder dir;
        ScriptedDialogs dialogs;
        QVERIFY(QDir(dir.path()).mkdir("korvel.ini")); // cannot be replaced by a file
        ClosingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.close());
        QVERIFY(!form.isVisible());
        QVERIFY(!form.saved);
        const auto shown = Dialogs::shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().type, MsgDlgType::Error);
        QVERIFY(shown.first().text.contains("korvel.ini"));
    }

    void driveReady()
    {
        TempProgramFolder dir;
        ScriptedDialogs dialogs;
        QVERIFY(DriveReady(dir.path()));
        QVERIFY(DriveReady(dir.file("not/made/yet")));
        QVERIFY(Dialogs::beeps().isEmpty());
        QVERIFY(!DriveReady(QString()));
        QCOMPARE(Dialogs::beeps().size(), 1);
    }
};

QTEST_MAIN(TestFormPlacement)
#include "tst_formplacement.moc"
