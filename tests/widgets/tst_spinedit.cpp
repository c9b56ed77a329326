#include "components/kitcolors.h"
#include "components/kitspin.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "testsupport.h"

#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace {

// A shown, active window holding the spin edit and a second edit to move the
// focus to.
struct Form {
    QWidget window;
    TKitSpinEdit* spin = new TKitSpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);

    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(spin);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        spin->setFocus(Qt::TabFocusReason); // selects all
    }
};

} // namespace

class TstSpinEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }
    void stepsStayWithinLimitsAndNeverWrap();
    void textIsReadAndWrittenAsTheClassLibraryDid();
    void keysTypeOnlyNumbersAndStep();
    void typedValueBeyondLimitIsReportedClampedAndFixedOnExit();
    void enterAndEscapeReachTheDialog();
    void diagonalButtonRepeats();
    void repeatStopsWhenHandlerRaises();
    void diagonalButtonPaintsPressedHalf();
    void standardButtonAndLayout();
    void changeFiresOnTypingAndOncePerStep();
};

void TstSpinEdit::stepsStayWithinLimitsAndNeverWrap()
{
    TKitSpinEdit spin;
    spin.SetMinValue(1);
    spin.SetMaxValue(10);
    spin.SetValue(10);
    QSignalSpy changes(&spin, &TKitSpinEdit::OnChange);
    QSignalSpy tops(&spin, &TKitSpinEdit::OnTopClick);
    spin.StepUp();
    QCOMPARE(spin.text(), QStringLiteral("10"));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(tops.count(), 1);

    // Equal limits mean none; stepping stops at the ends of the 32-bit range
    // instead of writing a text that would read back as MinValue.
    spin.SetMaxValue(1);
    spin.SetValue(0);
    spin.StepDown();
    QCOMPARE(spin.Value(), -1.0);
    spin.SetValue(INT_MAX);
    spin.StepUp();
    QCOMPARE(spin.text(), QString::number(INT_MAX));
    spin.SetValue(INT_MIN);
    spin.StepDown();
    QCOMPARE(spin.ValueAsInteger(), INT_MIN);
    spin.SetValueType(vtFloat);
    spin.SetValue(1e30);
    QCOMPARE(spin.ValueAsInteger(), INT_MAX);
}

void TstSpinEdit::textIsReadAndWrittenAsTheClassLibraryDid()
{
    TKitSpinEdit spin;
    spin.SetMinValue(3.7);
    spin.SetMaxValue(20);
    for (const char* text : { "abc", "", "-", "1e3", "99999999999", "1,5" }) {
        spin.setText(QString::fromLatin1(text));
        QCOMPARE(spin.Value(), 3.0); // MinValue truncated toward zero
        QCOMPARE(spin.ValueAsInteger(), 3);
    }
    spin.SetMaxValue(3.7);
    for (const auto& [value, text] : QList<QPair<double, QString>> {
             { 2.5, "2" }, { 3.5, "4" }, { -0.5, "0" }, { -2.5, "-2" }, { 2.5000001, "3" }, { -7.49, "-7" } }) {
        spin.SetValue(value);
        QCOMPARE(spin.text(), text);
    }

    spin.SetMinValue(-3.7);
    spin.SetMaxValue(-3.7);
    spin.SetValueType(vtFloat);
    for (const char* text : { "1,2,3", "inf", "nan", "1.5", "E", "1 000" }) {
        spin.setText(QString::fromLatin1(text));
        QCOMPARE(spin.Value(), -3.7);
    }
    spin.setText(QStringLiteral("1,5e1"));
    QCOMPARE(spin.Value(), 15.0);
    spin.SetValue(1.5);
    QCOMPARE(spin.text(), QStringLiteral("1,50"));
    // Never a group separator (the text must read back); more than fifteen
    // digits before the separator turn to the exponent form.
    spin.SetValue(1234567.25);
    QCOMPARE(spin.text(), QStringLiteral("1234567,25"));
    QCOMPARE(spin.Value(), 1234567.25);
    spin.SetValue(1e16);
    QVERIFY(spin.text().contains(u'E'));
    QCOMPARE(spin.Value(), 1e16);

    // Back to integers: "1,50" is no integer, and the increment is rounded.
    spin.SetMinValue(-5);
    spin.SetMaxValue(5);
    spin.SetValue(1.5);
    spin.SetIncrement(0.4);
    spin.SetValueType(vtInteger);
    QCOMPARE(spin.text(), QStringLiteral("-5"));
    QCOMPARE(spin.Increment(), 1.0);
    spin.SetValueType(vtFloat);
    spin.SetIncrement(2.5);
    spin.SetValueType(vtInteger);
    QCOMPARE(spin.Increment(), 2.0);
}

void TstSpinEdit::keysTypeOnlyNumbersAndStep()
{
    ScriptedDialogs dialogs;
    Form f;
    f.spin->setText(QString());
    QTest::keyClicks(f.spin, "a-1x2");
    QCOMPARE(f.spin->text(), QStringLiteral("-12"));
    QCOMPARE(Dialogs::beeps().size(), 2);
    f.spin->SetValueType(vtFloat);
    f.spin->setText(QString());
    typeText(f.spin, QStringLiteral("1,5,e3E"));
    QCOMPARE(f.spin->text(), QStringLiteral("1,5e3"));
    QCOMPARE(Dialogs::beeps().size(), 4);
    f.spin->SetValueType(vtInteger);

    f.spin->SetValue(1);
    QTest::keyClick(f.spin, Qt::Key_Up);
    QTest::keyClick(f.spin, Qt::Key_Up);
    QTest::keyClick(f.spin, Qt::Key_Down);
    QCOMPARE(f.spin->text(), QStringLiteral("2"));
    f.spin->SetArrowKeys(false);
    QTest::keyClick(f.spin, Qt::Key_Up);
    // The wheel is not a step: it goes on to the form.
    QWheelEvent wheel(QPointF(5, 5), f.spin->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.spin, &wheel);
    QCOMPARE(f.spin->text(), QStringLiteral("2"));
    f.spin->SetArrowKeys(true);

    // Editor off: no typing, Backspace, Delete, paste or cut; steps still go.
    f.spin->SetValue(42);
    f.spin->SetEditorEnabled(false);
    f.spin->setCursorPosition(2);
    QTest::keyClick(f.spin, Qt::Key_5);
    QTest::keyClick(f.spin, Qt::Key_Backspace);
    QCOMPARE(Dialogs::beeps().size(), 6);
    f.spin->setCursorPosition(0);
    QTest::keyClick(f.spin, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText(QStringLiteral("7"));
    QTest::keyClick(f.spin, Qt::Key_V, Qt::ControlModifier);
    f.spin->selectAll();
    QTest::keyClick(f.spin, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.spin->text(), QStringLiteral("42"));
    QTest::keyClick(f.spin, Qt::Key_Up);
    QCOMPARE(f.spin->text(), QStringLiteral("43"));

    // The owner's read-only stops steps with a beep, and survives the editor
    // coming back.
    f.spin->SetReadOnly(true);
    f.spin->SetEditorEnabled(true);
    QVERIFY(f.spin->isReadOnly());
    QTest::keyClick(f.spin, Qt::Key_Up);
    QCOMPARE(f.spin->text(), QStringLiteral("43"));
    QCOMPARE(Dialogs::beeps().size(), 7);
    f.spin->setReadOnly(false); // the line edit's own setter counts too
    QVERIFY(!f.spin->ReadOnly());
    f.spin->setCursorPosition(0);
    QTest::keyClick(f.spin, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.spin->text(), QStringLiteral("743"));
}

void TstSpinEdit::typedValueBeyondLimitIsReportedClampedAndFixedOnExit()
{
    Form f;
    f.spin->SetMinValue(1);
    f.spin->SetMaxValue(10);
    QTest::keyClicks(f.spin, "25");
    QCOMPARE(f.spin->text(), QStringLiteral("25"));
    // What a form reads while the focus is still here (Enter on the default
    // button) is within the limits.
    QCOMPARE(f.spin->ValueAsInteger(), 10);
    // Switching to another application is not leaving the edit.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(f.spin, &away);
    QCOMPARE(f.spin->text(), QStringLiteral("25"));
    f.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.spin->text(), QStringLiteral("10"));
    // Back by Tab: all selected, so typing replaces it.
    f.spin->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.spin->selectedText(), QStringLiteral("10"));
}

void TstSpinEdit::enterAndEscapeReachTheDialog()
{
    QDialog dialog;
    auto* spin = new TKitSpinEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    for (const auto& [key, result] :
        { std::pair { Qt::Key_Return, QDialog::Accepted }, { Qt::Key_Escape, QDialog::Rejected } }) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.setResult(-1);
        spin->setFocus();
        QTest::keyClick(spin, key);
        QCOMPARE(dialog.result(), int(result));
        QCOMPARE(spin->text(), QStringLiteral("0"));
    }
}

void TstSpinEdit::diagonalButtonRepeats()
{
    Form f;
    TKitSpinButton* button = f.spin->SpinButton();
    f.other->setFocus();
    QSignalSpy downs(f.spin, &TKitSpinEdit::OnBottomClick);
    const QPoint lowerRight(button->width() * 3 / 4, button->height() * 3 / 4);
    QTest::mousePress(button, Qt::LeftButton, {}, lowerRight);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(f.spin->text(), QStringLiteral("-1"));
    QVERIFY(f.spin->hasFocus());
    QCOMPARE(button->PressedState(), TKitSpinButton::BottomHalf);
    auto* timer = button->findChild<QTimer*>();
    QCOMPARE(timer->interval(), 400);
    QTRY_VERIFY_WITH_TIMEOUT(downs.count() >= 2, 2000);
    QCOMPARE(timer->interval(), 100);
    QTRY_VERIFY_WITH_TIMEOUT(downs.count() >= 4, 2000);

    // Onto the other half: nothing shows pressed and the stepping stops;
    // back onto the pressed half, it goes on.
    QTest::mouseMove(button, QPoint(2, 2));
    QCOMPARE(button->PressedState(), TKitSpinButton::NoHalf);
    const int held = downs.count();
    QTest::qWait(350);
    QCOMPARE(downs.count(), held);
    QTest::mouseMove(button, lowerRight);
    QCOMPARE(button->PressedState(), TKitSpinButton::BottomHalf);
    QTRY_VERIFY_WITH_TIMEOUT(downs.count() > held, 2000);
    QTest::mouseRelease(button, Qt::LeftButton, {}, lowerRight);
    QCOMPARE(button->PressedState(), TKitSpinButton::NoHalf);
    QCOMPARE(f.spin->Value(), -double(downs.count()));

    // Released outside without a move: no further steps.
    QSignalSpy ups(f.spin, &TKitSpinEdit::OnTopClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-30, 2));
    QTest::qWait(600);
    QCOMPARE(ups.count(), 1);
}

void TstSpinEdit::repeatStopsWhenHandlerRaises()
{
    ScriptedDialogs dialogs;
    Form f;
    TKitSpinButton* button = f.spin->SpinButton();
    int calls = 0;
    connect(f.spin, &TKitSpinEdit::OnBottomClick, f.spin, [&calls] {
        if (++calls == 2)
            throw KorvelError(QStringLiteral("Stepping failed"));
    });
    const QPoint corner(button->width() - 3, button->height() - 3);
    QTest::mousePress(button, Qt::LeftButton, {}, corner);
    QTRY_COMPARE_WITH_TIMEOUT(Dialogs::shown().size(), 1, 2000);
    QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Stepping failed"));
    QVERIFY(!button->findChild<QTimer*>()->isActive());
    QTest::qWait(300);
    QCOMPARE(calls, 2);
    QTest::mouseRelease(button, Qt::LeftButton, {}, corner);

    // A raising first click starts no repeat and leaves nothing pressed, so
    // the next press clicks again.
    TKitSpinButton lone;
    connect(&lone, &TKitSpinButton::OnTopClick, &lone, [] { throw KorvelError(QStringLiteral("No")); });
    for (int shown : { 2, 3 }) {
        QTest::mousePress(&lone, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(Dialogs::shown().size(), shown);
        QVERIFY(!lone.findChild<QTimer*>());
        QCOMPARE(lone.PressedState(), TKitSpinButton::NoHalf);
        QTest::mouseRelease(&lone, Qt::LeftButton, {}, QPoint(2, 2));
    }
}

void TstSpinEdit::diagonalButtonPaintsPressedHalf()
{
    TKitSpinButton button; // 20 x 20
    const QColor light = ColorToQColor(clBtnHighlight);
    const QColor shadow = ColorToQColor(clBtnShadow);
    const QColor face = ColorToQColor(clBtnFace);
    const QColor black(Qt::black);
    QVERIFY(light != shadow);
    const auto pressed = [&button](QPoint at) {
        QTest::mousePress(&button, Qt::LeftButton, {}, at);
        const QImage img = button.grab().toImage();
        QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
        return img;
    };

    QImage img = button.grab().toImage();
    QCOMPARE(img.pixelColor(0, 0), ColorToQColor(clWindowFrame));
    QCOMPARE(img.pixelColor(10, 9), ColorToQColor(clWindowFrame)); // the diagonal x + y = 19
    QCOMPARE(img.pixelColor(1, 8), light); // up half raised: light left edge,
    QCOMPARE(img.pixelColor(9, 9), shadow); // shadow along the diagonal
    QCOMPARE(img.pixelColor(10, 10), light); // down half raised: light along it,
    QCOMPARE(img.pixelColor(18, 12), shadow); // shadow on the right edge
    QCOMPARE(img.pixelColor(6, 4), black); // the up arrow's tip, upper-left quarter
    QCOMPARE(img.pixelColor(14, 15), black); // the down arrow's, lower-right

    img = pressed(QPoint(4, 4));
    QCOMPARE(img.pixelColor(1, 8), shadow);
    QCOMPARE(img.pixelColor(16, 1), shadow);
    QCOMPARE(img.pixelColor(17, 1), face); // the line ends short of (W - 3, 1)
    QCOMPARE(img.pixelColor(9, 9), face);
    QCOMPARE(img.pixelColor(7, 5), black); // the glyph sinks by a pixel
    QCOMPARE(img.pixelColor(18, 12), shadow);

    img = pressed(QPoint(16, 16));
    QCOMPARE(img.pixelColor(1, 8), light);
    QCOMPARE(img.pixelColor(18, 12), light);
    QCOMPARE(img.pixelColor(10, 10), shadow);
    QCOMPARE(button.grab().toImage().pixelColor(18, 12), shadow);

    // A glyph of its own: its bottom-left pixel's colour is transparent. It
    // sits at Round(20 * 0.25 - 2.5) + 1 = 3 (2.5 goes to the even 2).
    QImage glyph(5, 5, QImage::Format_RGB32);
    glyph.fill(Qt::green);
    glyph.setPixelColor(2, 2, Qt::red);
    button.SetUpGlyph(QPixmap::fromImage(glyph));
    img = button.grab().toImage();
    QCOMPARE(img.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(img.pixelColor(4, 4), face);
    button.SetUpGlyph(QPixmap());
    QCOMPARE(button.grab().toImage().pixelColor(6, 4), black);
}

void TstSpinEdit::standardButtonAndLayout()
{
    Form f;
    const int f1 = f.spin->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, f.spin);
    QRect r = f.spin->SpinButton()->geometry();
    QCOMPARE(r.width(), r.height());
    QCOMPARE(r.right(), f.spin->width() - 1 - f1);
    QCOMPARE(r.bottom(), f.spin->height() - 1 - f1);
    QCOMPARE(f.spin->textMargins().right(), r.width() + 2);
    // Never lower than the font's text height plus the border.
    f.spin->resize(f.spin->width(), 3);
    QVERIFY(f.spin->height() >= f.spin->fontMetrics().height() + 5);

    f.spin->SetButtonKind(bkStandard);
    QVERIFY(!f.spin->SpinButton());
    TKitUpDown* upDown = f.spin->UpDown();
    const int width = qMin(f.spin->style()->pixelMetric(QStyle::PM_ScrollBarExtent), 15);
    upDown->resize(40, upDown->height());
    QCOMPARE(upDown->width(), width);
    QCOMPARE(f.spin->textMargins().right(), width + 2);
    f.other->setFocus();
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    for (QToolButton* b : upDown->findChildren<QToolButton*>())
        (b->arrowType() == Qt::UpArrow ? up : down) = b;
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(f.spin->text(), QStringLiteral("1"));
    QVERIFY(f.spin->hasFocus());
    f.spin->SetButtonKind(bkDiagonal);
    QVERIFY(f.spin->SpinButton() && !f.spin->UpDown());
}

void TstSpinEdit::changeFiresOnTypingAndOncePerStep()
{
    ScriptedDialogs dialogs;
    Form f;
    QSignalSpy changes(f.spin, &TKitSpinEdit::OnChange);
    QTest::keyClicks(f.spin, "7");
    QCOMPARE(changes.count(), 1);
    f.spin->setModified(false);
    f.spin->StepUp();
    QCOMPARE(changes.count(), 2);
    QVERIFY(f.spin->isModified());
    f.spin->SetValue(8); // the same text: no change
    QCOMPARE(changes.count(), 2);

    // A raising change handler is reported, and the edit goes on working.
    connect(f.spin, &TKitSpinEdit::OnChange, f.spin, [] { throw KorvelError(QStringLiteral("Bad change")); });
    QTest::keyClick(f.spin, Qt::Key_Up);
    QTest::keyClicks(f.spin, "1");
    QCOMPARE(f.spin->text(), QStringLiteral("91"));
    QCOMPARE(Dialogs::shown().size(), 2);
    QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Bad change"));
}

QTEST_MAIN(TstSpinEdit)
#include "tst_spinedit.moc"
