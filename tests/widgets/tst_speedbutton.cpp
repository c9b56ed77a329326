#include "components/kitctrls.h"
#include "platform/dialogs.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// Colours every system colour of a button resolves to, all different.
const QColor Face(200, 200, 200);
const QColor Light(255, 255, 255);
const QColor Dark(128, 128, 128);
const QColor Frame(0, 0, 0);
const QColor Text(0, 0, 255);

// 10 x 8 red with the transparent colour in its bottom-left pixel and in a
// hole at (5, 4).
QPixmap RedGlyph()
{
    QImage image(10, 8, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    image.setPixel(0, 7, qRgb(255, 0, 255));
    image.setPixel(5, 4, qRgb(255, 0, 255));
    return QPixmap::fromImage(image);
}

// Cells of 8 x 8 in the given colours, each with a fuchsia bottom-left pixel.
QPixmap CellsGlyph(const QList<QRgb>& colours)
{
    QImage image(8 * int(colours.size()), 8, QImage::Format_RGB32);
    for (int i = 0; i < colours.size(); ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixel(8 * i + x, y, colours[i]);
    image.setPixel(0, 7, qRgb(255, 0, 255));
    return QPixmap::fromImage(image);
}

QColor PixelOf(QWidget& w, int x, int y)
{
    return w.grab().toImage().pixelColor(x, y);
}

void Enter(QWidget& w)
{
    QEnterEvent event(QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), w.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&w, &event);
}

void Leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

} // namespace

class TestSpeedButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void framesOfEveryLook();
    void flatFrameOnlyUnderTheMouse();
    void heldDownShowsChecker();
    void glyphPlacementAndPressOffset();
    void glyphStateImages();
    void glyphCountFromBitmap();
    void propertyLimits();
    void layoutRules();
    void groupKeepsOneDown();
    void pressLeaveReleaseFiresNothing();
    void clickSetsDialogResult();
    void repeatWhileHeld();
    void accelerator();
    void dropDownMenuPressIsNotReplayed();

private:
    QWidget* m_window = nullptr;
};

void TestSpeedButton::initTestCase()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, Face);
    palette.setColor(QPalette::Light, Light);
    palette.setColor(QPalette::Dark, Dark);
    palette.setColor(QPalette::Shadow, Frame);
    palette.setColor(QPalette::ButtonText, Text);
    QApplication::setPalette(palette);
    // The pointer stays off every button unless a test brings it there.
    QCursor::setPos(790, 590);
}

void TestSpeedButton::framesOfEveryLook()
{
    QWidget window;
    TKitSpeedButton b(&window);
    window.show();

    // Raised, new look: highlight/window frame, then face/shadow.
    QCOMPARE(PixelOf(b, 0, 0), Light);
    QCOMPARE(PixelOf(b, 12, 0), Light);
    QCOMPARE(PixelOf(b, 24, 0), Frame); // the corner belongs to the bottom-right colour
    QCOMPARE(PixelOf(b, 0, 24), Frame);
    QCOMPARE(PixelOf(b, 24, 24), Frame);
    QCOMPARE(PixelOf(b, 1, 1), Face);
    QCOMPARE(PixelOf(b, 23, 12), Dark);
    QCOMPARE(PixelOf(b, 12, 23), Dark);

    // Pressed, new look: window frame/highlight, then shadow/face.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b.State(), bsDown);
    QCOMPARE(PixelOf(b, 0, 0), Frame);
    QCOMPARE(PixelOf(b, 24, 24), Light);
    QCOMPARE(PixelOf(b, 1, 1), Dark);
    QCOMPARE(PixelOf(b, 23, 23), Face);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b.State(), bsUp);

    // Old look.
    b.SetStyle(bsWin31);
    QCOMPARE(PixelOf(b, 0, 0), Frame);
    QCOMPARE(PixelOf(b, 24, 24), Frame);
    QCOMPARE(PixelOf(b, 1, 1), Light);
    QCOMPARE(PixelOf(b, 23, 23), Dark);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(PixelOf(b, 0, 0), Frame);
    QCOMPARE(PixelOf(b, 1, 23), Dark); // the shadow line down the left...
    QCOMPARE(PixelOf(b, 23, 1), Dark); // ...and along the top
    QCOMPARE(PixelOf(b, 23, 23), Face);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
}

void TestSpeedButton::flatFrameOnlyUnderTheMouse()
{
    QWidget window;
    TKitSpeedButton b(&window);
    b.SetFlat(true);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy entered(&b, &TKitSpeedButton::OnMouseEnter);
    QSignalSpy left(&b, &TKitSpeedButton::OnMouseLeave);

    QVERIFY(!b.MouseInControl());
    QCOMPARE(PixelOf(b, 0, 0), Face);
    QCOMPARE(PixelOf(b, 24, 24), Face);

    Enter(b);
    QVERIFY(b.MouseInControl());
    QCOMPARE(entered.size(), 1);
    QCOMPARE(PixelOf(b, 0, 0), Light);
    QCOMPARE(PixelOf(b, 24, 24), Dark);
    QCOMPARE(PixelOf(b, 1, 1), Face);

    Leave(b);
    QVERIFY(!b.MouseInControl());
    QCOMPARE(left.size(), 1);
    QCOMPARE(PixelOf(b, 0, 0), Face);

    // A disabled button does not light up.
    b.setEnabled(false);
    Enter(b);
    QVERIFY(!b.MouseInControl());
    QCOMPARE(entered.size(), 1);
}

void TestSpeedButton::heldDownShowsChecker()
{
    QWidget window;
    TKitSpeedButton b(&window);
    b.SetGroupIndex(1);
    b.SetDown(true);
    window.show();
    QCOMPARE(b.State(), bsExclusive);
    // Inside the pressed frame (3 pixels), grown by one: highlight where x
    // and y are both even or both odd.
    QCOMPARE(PixelOf(b, 0, 0), Frame);
    QCOMPARE(PixelOf(b, 2, 2), Light);
    QCOMPARE(PixelOf(b, 3, 2), Face);
    QCOMPARE(PixelOf(b, 3, 3), Light);

    // Flat and without the mouse: framed all the same, with the checker.
    b.SetFlat(true);
    QCOMPARE(PixelOf(b, 0, 0), Frame);
    QCOMPARE(PixelOf(b, 24, 24), Light);
    QCOMPARE(PixelOf(b, 1, 1), Light);
    QCOMPARE(PixelOf(b, 2, 1), Face);

    // Transparent: no checker.
    b.SetTransparent(true);
    QVERIFY(PixelOf(b, 3, 3) != Light);
}

void TestSpeedButton::glyphPlacementAndPressOffset()
{
    QWidget window;
    TKitSpeedButton b(&window);
    b.SetGlyph(RedGlyph());
    window.show();
    const QColor red(255, 0, 0);

    // Inside a 3-pixel frame the 19 x 19 client centres the 10 x 8 glyph at
    // (3 + 9 - 5, 3 + 9 - 4).
    QCOMPARE(PixelOf(b, 7, 8), red);
    QCOMPARE(PixelOf(b, 16, 14), red);
    QCOMPARE(PixelOf(b, 6, 8), Face);
    QCOMPARE(PixelOf(b, 17, 8), Face);
    QCOMPARE(PixelOf(b, 7, 7), Face);
    QCOMPARE(PixelOf(b, 7, 15), Face); // the transparent corner
    QCOMPARE(PixelOf(b, 12, 12), Face); // and the hole

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(PixelOf(b, 7, 8), Face);
    QCOMPARE(PixelOf(b, 8, 9), red);
    QCOMPARE(PixelOf(b, 17, 15), red);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 40));

    // Flat without the mouse: no frame, 2 pixels kept, the same place, grey.
    b.SetFlat(true);
    const int gray = (255 * 77) >> 8;
    QCOMPARE(PixelOf(b, 7, 8), QColor(gray, gray, gray));
    b.SetGrayedInactive(false);
    QCOMPARE(PixelOf(b, 7, 8), red);

    // Disabled: the silhouette embossed in shadow, its highlight one pixel
    // down and right (seen in the hole).
    b.SetFlat(false);
    b.setEnabled(false);
    QCOMPARE(PixelOf(b, 7, 8), Dark);
    QCOMPARE(PixelOf(b, 12, 12), Light);
    QCOMPARE(PixelOf(b, 7, 15), Face);
    QCOMPARE(b.State(), bsDisabled);
}

void TestSpeedButton::glyphStateImages()
{
    QWidget window;
    TKitSpeedButton b(&window);
    window.show();
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255),
               yellow = qRgb(255, 255, 0);

    // Three cells: pressed shows the third; the glyph sits at (3 + 9 - 4 + 1).
    b.SetGlyph(CellsGlyph({ red, green, blue }));
    QCOMPARE(b.NumGlyphs(), 3);
    QCOMPARE(PixelOf(b, 8, 8), QColor(red));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(PixelOf(b, 9, 9), QColor(blue));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 40));
    b.setEnabled(false);
    QCOMPARE(PixelOf(b, 8, 8), QColor(green)); // its own disabled cell
    b.setEnabled(true);

    // Two cells: pressed falls back to the up picture.
    b.SetGlyph(CellsGlyph({ red, green }));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(PixelOf(b, 9, 9), QColor(red));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 40));

    // Five cells: the inactive picture is the fifth, not the grey of the first.
    b.SetGlyph(CellsGlyph({ red, green, blue, white, yellow }));
    b.SetFlat(true);
    QCOMPARE(PixelOf(b, 8, 8), QColor(yellow));
}

void TestSpeedButton::glyphCountFromBitmap()
{
    TKitSpeedButton b;
    b.SetGlyph(QPixmap(80, 16));
    QCOMPARE(b.NumGlyphs(), 5);
    b.SetGlyph(QPixmap(96, 16));
    QCOMPARE(b.NumGlyphs(), 1); // six would fit: more than five
    b.SetNumGlyphs(2);
    b.SetGlyph(QPixmap(30, 16)); // no whole multiple: the count stays
    QCOMPARE(b.NumGlyphs(), 2);

    // More cells than pixels: no glyph at all, nothing drawn.
    b.SetGlyph(QPixmap(4, 4));
    b.SetNumGlyphs(5);
    QVERIFY(b.ButtonGlyph().CellSize().isEmpty());
    QCOMPARE(b.ButtonGlyph().StateImage(bsUp), -1);
    QVERIFY(!b.grab().isNull());

    // The transparent colour is the bottom-left pixel.
    QImage corner(4, 4, QImage::Format_RGB32);
    corner.fill(qRgb(1, 2, 3));
    corner.setPixel(0, 3, qRgb(0, 128, 128));
    b.SetGlyph(QPixmap::fromImage(corner));
    QCOMPARE(b.ButtonGlyph().TransparentColor(), RGB(0, 128, 128));
}

void TestSpeedButton::propertyLimits()
{
    TKitSpeedButton b;
    QCOMPARE(b.size(), QSize(25, 25));
    QCOMPARE(b.InitPause(), 500);
    QCOMPARE(b.RepeatInterval(), 100);
    QCOMPARE(b.Layout(), blGlyphTop);
    QCOMPARE(b.Spacing(), 1);
    b.SetNumGlyphs(7);
    QCOMPARE(b.NumGlyphs(), 5);
    b.SetNumGlyphs(0);
    QCOMPARE(b.NumGlyphs(), 5);
    b.SetMargin(-2);
    QCOMPARE(b.Margin(), -1);
    b.SetMargin(3);
    QCOMPARE(b.Margin(), 3);
    // Without a group a button never stays down.
    b.SetDown(true);
    QVERIFY(!b.Down());
}

void TestSpeedButton::layoutRules()
{
    TKitButtonGlyph glyph(nullptr);
    glyph.SetGlyph(RedGlyph());
    const QFontMetrics fm(QApplication::font());
    const QRect client(3, 3, 19, 19);

    // Left: centred across (19 div 2 - 8 div 2), and alone on its axis
    // centred by the margin (19 div 2 - 10 div 2).
    TGlyphLayout l = glyph.LayoutGlyphAndText(fm, client, QString(), blGlyphLeft, -1, 1, false);
    QCOMPARE(l.Glyph, QRect(3 + 4, 3 + 5, 10, 8));
    l = glyph.LayoutGlyphAndText(fm, client, QString(), blGlyphBottom, 2, 1, false);
    QCOMPARE(l.Glyph.topLeft(), QPoint(3 + 4, 3 + 19 - 2 - 8));
    l = glyph.LayoutGlyphAndText(fm, client, QString(), blGlyphRight, 2, 1, false);
    QCOMPARE(l.Glyph.topLeft(), QPoint(3 + 19 - 2 - 10, 3 + 5));

    // With a caption: margin, glyph, spacing, text along the axis.
    const QRect wide(0, 0, 120, 30);
    l = glyph.LayoutGlyphAndText(fm, wide, QStringLiteral("&Tisk"), blGlyphLeft, 2, 3, false);
    QCOMPARE(l.Glyph.left(), 2);
    QCOMPARE(l.Text.left(), 2 + 10 + 3);
    QCOMPARE(l.Caption, QStringLiteral("&Tisk"));
    l = glyph.LayoutGlyphAndText(fm, wide, QStringLiteral("Tisk"), blGlyphRight, 2, 3, false);
    QCOMPARE(l.Glyph.left(), 120 - 2 - 10);
    QCOMPARE(l.Text.right() + 1, l.Glyph.left() - 3);
    // Margin and spacing both -1 share the free room in thirds.
    l = glyph.LayoutGlyphAndText(fm, wide, QStringLiteral("Tisk"), blGlyphLeft, -1, -1, false);
    const int third = (120 - 10 - l.Text.width()) / 3;
    QCOMPARE(l.Glyph.left(), third);
    QCOMPARE(l.Text.left(), third + 10 + third);

    // A caption too wide is cut with "...", trailing blanks dropped.
    l = glyph.LayoutGlyphAndText(
        fm, QRect(0, 0, 40, 30), QStringLiteral("Velmi dlouhý popis tlačítka  "), blGlyphTop, -1, 1, false);
    QVERIFY(l.Caption.endsWith(QStringLiteral("...")));
    QVERIFY(l.Text.width() <= 40);

    // Drop-down mark: after the glyph (top layout), after the text (left).
    l = glyph.LayoutGlyphAndText(fm, client, QString(), blGlyphTop, -1, 1, true);
    QCOMPARE(l.Glyph.left(), 3 + 9 - 8); // the glyph counts 6 wider
    QCOMPARE(l.Mark, QPoint(l.Glyph.left() + 10 + 1, l.Glyph.top() + 4 - 1));
    l = glyph.LayoutGlyphAndText(fm, wide, QStringLiteral("Tisk"), blGlyphLeft, 2, 3, true);
    QCOMPARE(l.Mark.x(), l.Text.left() + l.Text.width() + 3);
}

void TestSpeedButton::groupKeepsOneDown()
{
    QWidget window;
    TKitSpeedButton a(&window), b(&window), other(&window);
    QWidget elsewhere;
    TKitSpeedButton far(&elsewhere);
    for (TKitSpeedButton* button : { &a, &b, &far })
        button->SetGroupIndex(1);
    other.SetGroupIndex(2);
    b.move(30, 0);
    window.show();
    QSignalSpy clicks(&b, &TKitSpeedButton::OnClick);

    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
    other.SetDown(true);
    far.SetDown(true);
    QVERIFY(a.Down());
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(b.Down());
    QVERIFY(!a.Down());
    QCOMPARE(a.State(), bsUp);
    QCOMPARE(b.State(), bsExclusive);
    QVERIFY(other.Down()); // another group
    QVERIFY(far.Down()); // another parent

    // Pressing the down button again keeps it down, but still clicks.
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(b.Down());
    QCOMPARE(clicks.size(), 2);

    // AllowAllUp spreads through the group; then the button comes up.
    a.SetAllowAllUp(true);
    QVERIFY(b.AllowAllUp());
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!b.Down());
    QCOMPARE(b.State(), bsUp);
}

void TestSpeedButton::pressLeaveReleaseFiresNothing()
{
    QWidget window;
    TKitSpeedButton b(&window);
    window.resize(100, 100);
    window.show();
    QSignalSpy clicks(&b, &TKitSpeedButton::OnClick);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(&b, QPoint(60, 60));
    QCOMPARE(b.State(), bsUp);
    QTest::mouseMove(&b, QPoint(6, 6));
    QCOMPARE(b.State(), bsDown);
    QTest::mouseMove(&b, QPoint(60, 60));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 60));
    QCOMPARE(b.State(), bsUp);
    QCOMPARE(clicks.size(), 0);

    // A grouped button released outside stays as it was.
    b.SetGroupIndex(3);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 60));
    QVERIFY(!b.Down());
    QCOMPARE(b.State(), bsUp);
    QCOMPARE(clicks.size(), 0);

    // The right button presses nothing.
    QTest::mouseClick(&b, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.size(), 0);
    QVERIFY(!b.Down());
}

void TestSpeedButton::clickSetsDialogResult()
{
    QDialog dialog;
    TKitSpeedButton ok(&dialog);
    ok.SetModalResult(mrOk);
    TKitSpeedButton plain(&dialog);
    plain.move(30, 0);
    QSignalSpy clicks(&ok, &TKitSpeedButton::OnClick);
    dialog.show();

    QTest::mouseClick(&plain, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(dialog.isVisible());
    QTest::mouseClick(&ok, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(dialog.result(), int(mrOk));
    QVERIFY(!dialog.isVisible());

    // Without a dialog around it a modal result does nothing but click.
    TKitSpeedButton lonely;
    lonely.SetModalResult(mrCancel);
    lonely.show();
    QSignalSpy lonelyClicks(&lonely, &TKitSpeedButton::OnClick);
    QTest::mouseClick(&lonely, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(lonelyClicks.size(), 1);
}

void TestSpeedButton::repeatWhileHeld()
{
    QWidget window;
    TKitSpeedButton b(&window);
    b.SetAllowTimer(true);
    b.SetInitPause(80);
    b.SetRepeatInterval(20);
    window.show();
    QSignalSpy clicks(&b, &TKitSpeedButton::OnClick);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    auto* timer = b.findChild<QTimer*>();
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 80);
    QCOMPARE(clicks.size(), 0);
    QTRY_VERIFY(clicks.size() >= 3);
    QCOMPARE(timer->interval(), 20);

    // Dragged off the button: held, but no repeats.
    QTest::mouseMove(&b, QPoint(60, 60));
    const int offButton = int(clicks.size());
    QTest::qWait(60);
    QCOMPARE(int(clicks.size()), offButton);

    // The release outside adds no click and stops the timer.
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 60));
    QVERIFY(!timer->isActive());
    QCOMPARE(int(clicks.size()), offButton);

    // AllowTimer off drops the timer.
    b.SetAllowTimer(false);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!b.findChild<QTimer*>());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
}

void TestSpeedButton::accelerator()
{
    QWidget window;
    TKitSpeedButton b(&window);
    b.SetCaption(QStringLiteral("&Tisk"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(&b, &TKitSpeedButton::OnClick);

    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(clicks.size(), 1);
    b.setEnabled(false);
    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(clicks.size(), 1);
    b.setEnabled(true);
    b.SetCaption(QStringLiteral("Tisk"));
    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(clicks.size(), 1);
}

void TestSpeedButton::dropDownMenuPressIsNotReplayed()
{
    QWidget window;
    window.resize(200, 200);
    TKitSpeedButton b(&window);
    b.move(50, 50);
    QMenu menu;
    menu.addAction(QStringLiteral("jedna"));
    b.SetDropDownMenu(&menu);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy shown(&menu, &QMenu::aboutToShow);
    QSignalSpy clicks(&b, &TKitSpeedButton::OnClick);

    // The drop-down mark sits in the middle, below the caption-less centre.
    const QImage face = b.grab().toImage();
    bool markDrawn = false;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x)
            markDrawn |= face.pixelColor(x, y) == Text;
    QVERIFY(markDrawn);

    // Closes every menu shown, so a replayed press could not hang the test.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    closer.start(200);
    // Qt replays a press that closed a popup to the widget under it, unless
    // the popup says no; offscreen it never replays, so the answer is read
    // as the menu hides.
    QList<bool> noReplay;
    connect(&menu, &QMenu::aboutToHide, [&] { noReplay.append(menu.testAttribute(Qt::WA_NoMouseReplay)); });
    const auto pressAndCloseAt = [&](QPoint global) {
        QTimer::singleShot(0, [&menu, global] {
            QVERIFY(menu.isVisible());
            QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {}, global - menu.pos());
        });
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    };

    // The menu opens below the button's left edge; a press over the button
    // closes it and must not press the button again.
    pressAndCloseAt(b.mapToGlobal(QPoint(10, 10)));
    QCOMPARE(menu.pos(), b.mapToGlobal(QPoint(-1, 25)));
    QCOMPARE(noReplay, QList<bool> { true });
    QTest::qWait(20);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(clicks.size(), 0);
    QCOMPARE(b.State(), bsUp);
    QVERIFY(!menu.testAttribute(Qt::WA_NoMouseReplay));

    // A press elsewhere is handed on as usual.
    pressAndCloseAt(window.mapToGlobal(QPoint(190, 10)));
    QCOMPARE(noReplay, (QList<bool> { true, false }));

    // On the right, the menu's top-left corner at the button's top-right.
    b.SetMenuPosition(dmpRight);
    pressAndCloseAt(window.mapToGlobal(QPoint(190, 10)));
    QCOMPARE(menu.pos(), b.mapToGlobal(QPoint(25, -1)));
    QCOMPARE(clicks.size(), 0);
}

QTEST_MAIN(TestSpeedButton)
#include "tst_speedbutton.moc"
