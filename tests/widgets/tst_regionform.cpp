#include "components/formrgn.h"
#include "components/kiterrors.h"
#include "components/kitutils.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QTest>

namespace {

const QString popupBody = QStringLiteral("L259,21,9,371,50,450,550,450,591,371,341,21\r\nO\r\nE250,0,350,"
                                         "100\r\nO\r\nE0,350,100,450\r\nO\r\nE500,350,600,450");
const QString popupRing = QStringLiteral("{\r\n") + popupBody
    + QStringLiteral("\r\n}\r\nX\r\n{\r\nL267,27,17,377,50,440,550,440,583,377,332,27\r\nO\r\nE260,10,340,90\r\nO\r\n"
                     "E10,360,90,440\r\nO\r\nE510,360,590,440\r\n}");

const QPoint onRing(300, 445);
const QPoint inside(300, 225);

// A borderless yellow form like the reminder pop-up; it records the keys that
// reach it and can paint a mark of its own.
class Form : public QWidget {
public:
    Form()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::yellow);
        setPalette(p);
        setAutoFillBackground(true);
        resize(600, 450);
        move(50, 60);
    }
    QList<int> keys;
    QRect mark;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!(e->key() >= Qt::Key_Shift && e->key() <= Qt::Key_Alt))
            keys << e->key();
    }
    void paintEvent(QPaintEvent*) override
    {
        if (!mark.isNull())
            QPainter(this).fillRect(mark, Qt::magenta);
    }
};

// A rectangle that the scripts of its form place by name.
class TTestShape : public TExternalRegion {
    Q_OBJECT
public:
    TTestShape(QWidget* owner, const QString& name, QSize size)
        : TExternalRegion(owner, staticMetaObject)
        , size(size)
    {
        setObjectName(name);
    }
    QSize size;
    int made = 0;

protected:
    std::optional<QRegion> CreateRegion() override
    {
        ++made;
        return QRegion(QRect(QPoint(0, 0), size));
    }
};

QColor pixel(QWidget* w, const QPoint& at)
{
    return w->grab().toImage().pixelColor(at);
}

template <typename E> QString raised(const std::function<void()>& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.message();
    }
    return QStringLiteral("(nothing raised)");
}

void showAndWait(QWidget* w)
{
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

QStringList shownTexts()
{
    QStringList texts;
    for (const Dialogs::Shown& s : Dialogs::shown())
        texts << s.text;
    return texts;
}

} // namespace

class TestRegionForm : public QObject {
    Q_OBJECT
private slots:
    void ownersAndDuplicates();
    void maskFollowsScript();
    void scriptFaultKeepsShape();
    void loadingDefersTranslation();
    void captionFillAndLayers();
    void stateColours();
    void labelsAndPicture();
    void clientDragMovesWindow();
    void captionRegionDrags();
    void rightClickOpensMenu();
    void pictureClicks();
    void doubleClickMaximizes();
    void menuKeys();
    void filterOrderAndDetach();
    void sizeChangedRewritesScript();
    void externalRegions();
    void renameRewritesScripts();
    void missingRegionToldOnce();
    void pictureAndLabelProperties();
};

void TestRegionForm::ownersAndDuplicates()
{
    Form form;
    QWidget child(&form);
    const QString notForm = QStringLiteral("The owner of %1 component must be the TForm descendant");
    QCOMPARE(raised<EOwnerMustBeForm>([&] { new TFormRegion(&child); }), notForm.arg("TFormRegion"));
    QCOMPARE(raised<EOwnerMustBeForm>([&] { new TFormRegion(nullptr); }), notForm.arg("TFormRegion"));
    QCOMPARE(raised<EOwnerMustBeForm>([&] { new TCaptionRegion(&child); }), notForm.arg("TCaptionRegion"));
    QCOMPARE(raised<EOwnerMustBeForm>([&] { new TTestShape(&child, "S", QSize(1, 1)); }), notForm.arg("TTestShape"));
    QCOMPARE(raised<EOwnerNotAssigned>([&] { TSysMenuPicture p(nullptr); }),
        QStringLiteral("TSysMenuPicture must have a owner"));

    auto* shape = new TFormRegion(&form);
    auto* caption = new TCaptionRegion(&form); // the two classes share a form
    QCOMPARE(raised<EDuplicateComponent>([&] { new TFormRegion(&form); }),
        QStringLiteral("Only one TFormRegion component on a form is allowed"));
    QCOMPARE(raised<EDuplicateComponent>([&] { new TCaptionRegion(&form); }),
        QStringLiteral("Only one TCaptionRegion component on a form is allowed"));
    // The refused ones left nothing behind.
    QCOMPARE(form.findChildren<TRegionComp*>().size(), 2);
    QVERIFY(shape->Hooked() && caption->Hooked());
}

void TestRegionForm::maskFollowsScript()
{
    Form form;
    auto* shape = new TFormRegion(&form);
    QVERIFY(form.mask().isEmpty());
    shape->SetRegion(popupBody);
    const QRegion mask = form.mask();
    for (const QPoint in : { inside, QPoint(300, 50), QPoint(50, 400), QPoint(550, 400) })
        QVERIFY(mask.contains(in));
    QVERIFY(!mask.contains(QPoint(5, 5)));
    QVERIFY(!mask.contains(QPoint(595, 5)));
    QCOMPARE(*shape->RegionHandle(), mask); // frameless: window and client coordinates agree

    // The metric letters of a frameless form are its size.
    const RegionMetrics m = FormMetrics(&form);
    QCOMPARE(QList<int>({ m.X, m.C, m.R, m.B, m.W, m.H }), QList<int>({ 0, 0, 600, 450, 600, 450 }));
    shape->SetRegion("R0,0,W/2,H");
    QCOMPARE(form.mask(), QRegion(0, 0, 300, 450));

    // An empty script leaves the shape as it is.
    shape->SetRegion(QString());
    QVERIFY(!shape->RegionHandle());
    QCOMPARE(form.mask(), QRegion(0, 0, 300, 450));
    // An empty shape hides the whole window (an empty mask would show it all).
    shape->SetRegion("R0,0,0,0");
    QVERIFY(!form.mask().isEmpty());
    QVERIFY(!form.mask().intersects(form.rect()));
}

void TestRegionForm::scriptFaultKeepsShape()
{
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->SetRegion("R0,0,100,100");
    QCOMPARE(raised<ECannotTranslate>([&] { shape->SetRegion("R0,0,100,100\r\nR0,0,W/0,1"); }),
        QStringLiteral("Division by zero in position 2 in line 2"));
    QCOMPARE(shape->Region(), QStringLiteral("R0,0,100,100\r\nR0,0,W/0,1"));
    QVERIFY(!shape->RegionHandle());
    QCOMPARE(form.mask(), QRegion(0, 0, 100, 100));
}

void TestRegionForm::loadingDefersTranslation()
{
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->BeginLoading();
    shape->SetRegion("R0,0,10,10");
    QVERIFY(!shape->RegionHandle());
    QVERIFY(form.mask().isEmpty());
    shape->Loaded();
    QVERIFY(!shape->Loading());
    QCOMPARE(form.mask(), QRegion(0, 0, 10, 10));
}

void TestRegionForm::captionFillAndLayers()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetActiveColor(clGreen);
    caption->SetInactiveColor(clGreen);
    caption->SetRegion(popupRing);
    auto* label = new QLabel(&form);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::cyan);
    label->setPalette(p);
    label->setGeometry(20, 300, 20, 20); // over the left part of the ring
    form.mark = QRect(540, 300, 20, 20); // the form's own painting, over the ring
    showAndWait(&form);

    QCOMPARE(pixel(&form, onRing), QColor(0, 128, 0));
    QCOMPARE(pixel(&form, inside), QColor(Qt::yellow));
    QCOMPARE(pixel(&form, QPoint(300, 50)), QColor(Qt::yellow)); // the knob's inner disc
    QCOMPARE(pixel(&form, QPoint(25, 305)), QColor(Qt::cyan));
    QCOMPARE(pixel(&form, QPoint(542, 310)), QColor(Qt::magenta));
    QCOMPARE(pixel(&form, QPoint(590, 400)), QColor(0, 128, 0));

    // Both colours red: the area repaints red at once.
    caption->SetActiveColor(clRed);
    caption->SetInactiveColor(clRed);
    QCOMPARE(pixel(&form, onRing), QColor(Qt::red));
    // clNone for the current state leaves the area to the form.
    caption->SetStateColor(caption->StateIndex(), clNone);
    QCOMPARE(pixel(&form, onRing), QColor(Qt::yellow));
    // No region, no fill.
    caption->SetStateColor(caption->StateIndex(), clRed);
    caption->SetRegion(QString());
    QCOMPARE(pixel(&form, onRing), QColor(Qt::yellow));
}

void TestRegionForm::stateColours()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetActiveColor(clRed);
    caption->SetInactiveColor(clBlue);
    caption->SetRegion("R0,0,W,20");
    QCOMPARE(caption->StateIndex(), 0);
    QCOMPARE(pixel(&form, QPoint(10, 10)), QColor(Qt::blue));

    showAndWait(&form);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(caption->StateIndex(), 1);
    QCOMPARE(pixel(&form, QPoint(10, 10)), QColor(Qt::red));

    QWidget other;
    showAndWait(&other);
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTRY_COMPARE(caption->StateIndex(), 0);
    QCOMPARE(pixel(&form, QPoint(10, 10)), QColor(Qt::blue));
}

void TestRegionForm::labelsAndPicture()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetActiveColor(clGreen);
    caption->SetInactiveColor(clGreen);
    caption->SetRegion("R0,0,W,200");

    // A glyph whose bottom-left colour (white) is see-through: only its
    // blue top-right quarter shows.
    QPixmap glyph(8, 8);
    glyph.fill(Qt::white);
    QPainter(&glyph).fillRect(4, 0, 4, 4, Qt::blue);
    caption->SysMenuPicture().SetGlyph(glyph);
    caption->SysMenuPicture().SetLeft(100);
    caption->SysMenuPicture().SetTop(100);
    QCOMPARE(pixel(&form, QPoint(106, 101)), QColor(0, 128, 0)); // not visible yet
    caption->SysMenuPicture().SetVisible(true);
    QCOMPARE(pixel(&form, QPoint(106, 101)), QColor(Qt::blue));
    QCOMPARE(pixel(&form, QPoint(101, 106)), QColor(0, 128, 0));
    caption->SysMenuPicture().SetTransparent(false);
    QCOMPARE(pixel(&form, QPoint(101, 106)), QColor(Qt::white));

    // A label turned by 90 degrees runs upwards from its corner.
    TCaptionLabel* text = caption->Labels().Add();
    QFont font = text->Font();
    font.setPixelSize(24);
    font.setBold(true);
    text->SetFont(font);
    text->SetText("WWWW");
    text->SetInactiveColor(clBlack);
    text->SetActiveColor(clBlack);
    text->SetLeft(300);
    text->SetTop(150);
    text->SetAngle(900);
    const QImage image = form.grab().toImage();
    int above = 0, below = 0, left = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 250; x < 350; ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::black))
                continue;
            if (x < 300)
                ++left;
            else if (y < 150)
                ++above;
            else
                ++below;
        }
    }
    QVERIFY(above > 50);
    QCOMPARE(below, 0);
    QCOMPARE(left, 0);
    text->SetVisible(false);
    QCOMPARE(form.grab().toImage().pixelColor(310, 100).rgb(), QColor(0, 128, 0).rgb());
}

void TestRegionForm::clientDragMovesWindow()
{
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->SetRegion(popupBody);
    auto* heading = new QLabel("Nadpis", &form);
    heading->setGeometry(200, 150, 100, 30);
    auto* edit = new QLineEdit(&form);
    edit->setGeometry(200, 300, 100, 30);
    showAndWait(&form);
    const QPoint start = form.pos();

    // Without ClientDrag the bare client area is client area.
    QTest::mousePress(&form, Qt::LeftButton, {}, inside);
    QTest::mouseMove(&form, inside + QPoint(20, 10));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, inside + QPoint(20, 10));
    QCOMPARE(form.pos(), start);

    shape->SetClientDrag(true);
    QTest::mousePress(&form, Qt::LeftButton, {}, inside);
    QTest::mouseMove(&form, inside + QPoint(20, 10));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, inside + QPoint(20, 10));
    QCOMPARE(form.pos(), start + QPoint(20, 10));

    // A label leaves hit-testing to the form; an edit keeps its own.
    QTest::mousePress(heading, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(heading, QPoint(5, 35));
    QTest::mouseRelease(heading, Qt::LeftButton, {}, QPoint(5, 35));
    QCOMPARE(form.pos(), start + QPoint(20, 40));
    QTest::mousePress(edit, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(edit, QPoint(45, 5));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(45, 5));
    QCOMPARE(form.pos(), start + QPoint(20, 40));
}

void TestRegionForm::captionRegionDrags()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetRegion("R0,0,W,30");
    showAndWait(&form);
    const QPoint start = form.pos();
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(&form, QPoint(310, 100));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(310, 100));
    QCOMPARE(form.pos(), start);
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(&form, QPoint(290, 25));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(290, 25));
    QCOMPARE(form.pos(), start + QPoint(-10, 15));
    // Detached, the component no longer makes a caption.
    caption->DetachFromOwner();
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(&form, QPoint(320, 10));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(320, 10));
    QCOMPARE(form.pos(), start + QPoint(-10, 15));
}

void TestRegionForm::rightClickOpensMenu()
{
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->SetClientDrag(true);
    auto* caption = new TCaptionRegion(&form);
    QMenu menu;
    menu.addAction("změna nadpisu ...");
    caption->SetPopupMenu(&menu);
    auto* edit = new QLineEdit(&form);
    edit->setGeometry(10, 400, 100, 30);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    int formMenus = 0;
    form.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&form, &QWidget::customContextMenuRequested, [&] { ++formMenus; });
    showAndWait(&form);
    // The context menu event that follows a right press (the test's mouse
    // does not make one).
    auto contextMenu = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, form.mapToGlobal(inside));
        QApplication::sendEvent(&form, &event);
    };

    // The bare client area is caption: the menu opens at the mouse, and the
    // form sees no context menu of its own.
    QTest::mouseClick(&form, Qt::RightButton, {}, inside);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), form.mapToGlobal(inside));
    contextMenu();
    QCOMPARE(formMenus, 0);
    menu.close();

    QTest::mouseClick(edit, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!menu.isVisible());

    // Without ClientDrag the client area has its own context menu.
    shape->SetClientDrag(false);
    QTest::mouseClick(&form, Qt::RightButton, {}, inside);
    contextMenu();
    QVERIFY(!menu.isVisible());
    QCOMPARE(formMenus, 1);
}

void TestRegionForm::pictureClicks()
{
    FixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->SetClientDrag(true);
    auto* caption = new TCaptionRegion(&form);
    caption->SetRegion("R0,0,W,30");
    QMenu menu;
    QAction* item = menu.addAction("výchozí");
    menu.setDefaultAction(item);
    int runs = 0;
    connect(item, &QAction::triggered, [&] { ++runs; });
    caption->SetPopupMenu(&menu);
    caption->SysMenuPicture().SetLeft(4);
    caption->SysMenuPicture().SetTop(2);
    caption->SysMenuPicture().SetVisible(true);
    showAndWait(&form);
    const QPoint start = form.pos();
    const QPoint onPicture(8, 6);

    // The picture keeps its clicks though the whole form drags.
    QTest::mousePress(&form, Qt::LeftButton, {}, onPicture);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), form.mapToGlobal(QPoint(4, 2 + caption->SysMenuPicture().PictureHeight())));
    menu.close();
    QTest::mouseRelease(&form, Qt::LeftButton, {}, onPicture);
    QCOMPARE(form.pos(), start);

    // A second press within the double-click time does not open it again;
    // the double click runs the default item.
    QTest::mousePress(&form, Qt::LeftButton, {}, onPicture);
    QVERIFY(!menu.isVisible());
    QTest::mouseDClick(&form, Qt::LeftButton, {}, onPicture);
    QCOMPARE(runs, 1);
    Clock::advance(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1);
    QTest::mousePress(&form, Qt::LeftButton, {}, onPicture);
    QTRY_VERIFY(menu.isVisible());
    menu.close();
    QTest::mouseRelease(&form, Qt::LeftButton, {}, onPicture);

    // A hidden picture takes no clicks: the press drags.
    caption->SysMenuPicture().SetVisible(false);
    Clock::advance(10000);
    QTest::mousePress(&form, Qt::LeftButton, {}, onPicture);
    QTest::mouseMove(&form, onPicture + QPoint(5, 5));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, onPicture + QPoint(5, 5));
    QVERIFY(!menu.isVisible());
    QCOMPARE(form.pos(), start + QPoint(5, 5));
}

void TestRegionForm::doubleClickMaximizes()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetRegion("R0,0,W,30");
    showAndWait(&form);
    // Without the maximise button a double click is a caption press.
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(100, 10));
    QVERIFY(!form.isMaximized());
    form.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMaximizeButtonHint);
    showAndWait(&form);
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(100, 10));
    QTRY_VERIFY(form.isMaximized());
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(100, 10));
    QTRY_VERIFY(!form.isMaximized());
    // Outside the caption area it is the form's own double click.
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!form.isMaximized());
}

void TestRegionForm::menuKeys()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    caption->SetRegion("R0,0,W,30");
    QMenu menu;
    QMenu* sub = menu.addMenu("zarovnání");
    QAction* left = sub->addAction("vlevo");
    left->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    int runs = 0;
    connect(left, &QAction::triggered, [&] { ++runs; });
    caption->SetPopupMenu(&menu);
    showAndWait(&form);

    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(runs, 1);
    QVERIFY(form.keys.isEmpty());
    // Keys that are no shortcut of the menu reach the form.
    QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(&form, Qt::Key_Left);
    QCOMPARE(form.keys, QList<int>({ Qt::Key_F4, Qt::Key_Left }));
    // Alt+Space opens the menu under a visible picture only.
    QTest::keyClick(&form, Qt::Key_Space, Qt::AltModifier);
    QVERIFY(!menu.isVisible());
    caption->SysMenuPicture().SetVisible(true);
    QTest::keyClick(&form, Qt::Key_Space, Qt::AltModifier);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), form.mapToGlobal(QPoint(0, caption->SysMenuPicture().PictureHeight())));
    menu.close();
}

void TestRegionForm::filterOrderAndDetach()
{
    Form form;
    QStringList calls;
    auto* caption = new TCaptionRegion(&form);
    auto* shape = new TFormRegion(&form);
    caption->SetOnSizeChanged([&](QObject* sender, QString&) { calls << sender->metaObject()->className(); });
    shape->SetOnSizeChanged([&](QObject* sender, QString&) { calls << sender->metaObject()->className(); });
    showAndWait(&form);
    calls.clear();
    // The component hooked last sees the form's events first.
    form.resize(500, 400);
    QCOMPARE(calls, QStringList({ "TFormRegion", "TCaptionRegion" }));

    // Re-attaching puts a component in front.
    caption->DetachFromOwner();
    calls.clear();
    form.resize(480, 400);
    QCOMPARE(calls, QStringList({ "TFormRegion" }));
    caption->AttachToOwner();
    calls.clear();
    form.resize(460, 400);
    QCOMPARE(calls, QStringList({ "TCaptionRegion", "TFormRegion" }));

    // Destroyed in either order, the rest keeps working.
    delete caption;
    calls.clear();
    form.resize(440, 400);
    QCOMPARE(calls, QStringList({ "TFormRegion" }));
    delete shape;
    form.resize(420, 400);
    QCOMPARE(form.width(), 420);
    auto* again = new TFormRegion(&form);
    again->SetRegion("R0,0,10,10");
    QCOMPARE(form.mask(), QRegion(0, 0, 10, 10));
}

void TestRegionForm::sizeChangedRewritesScript()
{
    ScriptedDialogs dialogs;
    Form form;
    auto* shape = new TFormRegion(&form);
    QObject* told = nullptr;
    shape->SetOnSizeChanged([&](QObject* sender, QString& region) {
        told = sender;
        region = QStringLiteral("R0,0,%1,10").arg(form.width());
    });
    showAndWait(&form);
    form.resize(500, 400);
    QCOMPARE(told, shape);
    QCOMPARE(shape->Region(), QStringLiteral("R0,0,500,10"));
    QCOMPARE(form.mask(), QRegion(0, 0, 500, 10));

    // A faulty script from the handler is shown; the window keeps its shape.
    shape->SetOnSizeChanged([](QObject*, QString& region) { region = QStringLiteral("Q"); });
    form.resize(450, 400);
    QCOMPARE(shownTexts(), QStringList({ "Unknown command in line 1" }));
    QVERIFY(!shape->RegionHandle());
    QCOMPARE(form.mask(), QRegion(0, 0, 500, 10));
    QCOMPARE(form.width(), 450);
    // So is an exception of the handler itself.
    shape->SetOnSizeChanged([](QObject*, QString&) { throw KorvelError(QStringLiteral("chyba")); });
    form.resize(440, 400);
    QCOMPARE(shownTexts().last(), QStringLiteral("chyba"));
}

void TestRegionForm::externalRegions()
{
    Form form;
    auto* counted = new TTestShape(&form, "Shape1", QSize(10, 10));
    counted->SetOwnRegion(false);
    auto* kept = new TTestShape(&form, "Shape2", QSize(20, 20));
    auto* shape = new TFormRegion(&form);
    auto* caption = new TCaptionRegion(&form);

    shape->SetRegion("TLT100,50,shape1");
    QCOMPARE(form.mask(), QRegion(100, 50, 10, 10));
    QCOMPARE(counted->made, 1);
    caption->SetRegion("TRB600,450,SHAPE2");
    QCOMPARE(*caption->RegionHandle(), QRegion(580, 430, 20, 20));
    QCOMPARE(kept->made, 1);

    // A changed shape retranslates the scripts that place it, only those.
    counted->size = QSize(30, 5);
    counted->RegionChanged();
    QCOMPARE(form.mask(), QRegion(100, 50, 30, 5));
    QCOMPARE(counted->made, 2);
    QCOMPARE(kept->made, 1);
    kept->size = QSize(40, 40);
    kept->RegionChanged();
    QCOMPARE(*caption->RegionHandle(), QRegion(560, 410, 40, 40));
    QCOMPARE(counted->made, 2);
    QCOMPARE(kept->made, 2);
    // A kept shape is made once for any number of translations.
    caption->SetRegion(caption->Region());
    QCOMPARE(kept->made, 2);
}

void TestRegionForm::renameRewritesScripts()
{
    Form form;
    auto* er1 = new TTestShape(&form, "ER1", QSize(10, 10));
    new TTestShape(&form, "ER10", QSize(20, 20));
    auto* shape = new TFormRegion(&form);
    auto* caption = new TCaptionRegion(&form);
    shape->SetRegion("TLT0,0,ER1\r\nTLT100,100,ER10");
    caption->SetRegion("TLT0,0,er10");

    er1->setObjectName("Big");
    QCOMPARE(shape->Region(), QStringLiteral("TLT0,0,Big\r\nTLT100,100,ER10"));
    QCOMPARE(caption->Region(), QStringLiteral("TLT0,0,er10"));
    QCOMPARE(form.mask(), QRegion(0, 0, 10, 10).united(QRegion(100, 100, 20, 20)));
    // A new name that holds the old one is written once.
    er1->setObjectName("BigBig");
    QCOMPARE(shape->Region(), QStringLiteral("TLT0,0,BigBig\r\nTLT100,100,ER10"));
}

void TestRegionForm::missingRegionToldOnce()
{
    ScriptedDialogs dialogs;
    Form form;
    auto* shape = new TFormRegion(&form);
    shape->SetRegion("TLT0,0,Nope\r\nR0,0,10,10");
    QCOMPARE(form.mask(), QRegion(0, 0, 10, 10));
    QCOMPARE(shownTexts(), QStringList({ "External region NOPE not found" }));
    // Every resize translates again; the message is not repeated.
    showAndWait(&form);
    form.resize(500, 400);
    form.resize(400, 300);
    QCOMPARE(shownTexts().size(), 1);
    shape->SetRegion("TLT0,0,Nope\r\nR0,0,20,20");
    QCOMPARE(shownTexts().size(), 2);
}

void TestRegionForm::pictureAndLabelProperties()
{
    Form form;
    auto* caption = new TCaptionRegion(&form);
    TSysMenuPicture& picture = caption->SysMenuPicture();
    const int small = form.style()->pixelMetric(QStyle::PM_SmallIconSize);
    QCOMPARE(picture.PictureWidth(), small);
    picture.SetWidth(24);
    picture.SetHeight(0);
    QCOMPARE(picture.PictureWidth(), 24);
    QCOMPARE(picture.PictureHeight(), small);
    picture.SetGlyph(QPixmap(5, 7));
    QCOMPARE(picture.PictureRect(), QRect(0, 0, 5, 7));
    Form otherForm;
    auto& other = *new TCaptionRegion(&otherForm);
    other.SetSysMenuPicture(picture);
    QCOMPARE(other.SysMenuPicture().PictureRect(), QRect(0, 0, 5, 7));
    QCOMPARE(other.SysMenuPicture().Width(), 24);

    TCaptionLabel* label = caption->Labels().Add();
    QCOMPARE(label->GetDisplayName(), QStringLiteral("TCaptionLabel"));
    QCOMPARE(label->ActiveColor(), clCaptionText);
    QCOMPARE(label->InactiveColor(), clInactiveCaptionText);
    label->SetText("Připomenutí");
    label->SetAngle(540);
    QCOMPARE(label->GetDisplayName(), QStringLiteral("Připomenutí"));
    caption->Labels().Add()->SetLeft(7);
    other.SetLabels(caption->Labels());
    QCOMPARE(other.Labels().Count(), 2);
    QCOMPARE(other.Labels().Items(0)->Text(), QStringLiteral("Připomenutí"));
    QCOMPARE(other.Labels().Items(0)->Angle(), 540);
    QCOMPARE(other.Labels().Items(1)->Left(), 7);
    caption->Labels().Delete(0);
    QCOMPARE(caption->Labels().Items(0)->Left(), 7);
    QCOMPARE(raised<EListError>([&] { caption->Labels().Delete(1); }), QStringLiteral("List index out of bounds (1)"));
    QCOMPARE(raised<EListError>([&] { caption->Labels().Items(-1); }), QStringLiteral("List index out of bounds (-1)"));
    QCOMPARE(other.Labels().Count(), 2);
}

QTEST_MAIN(TestRegionForm)
#include "tst_regionform.moc"
