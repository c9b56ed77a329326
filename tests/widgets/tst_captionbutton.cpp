#include "components/captbtn.h"
#include "components/kitcolors.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "testsupport.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A form with a line edit; shown, it is active and the edit has the focus.
struct Form {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);

    Form()
    {
        window.resize(320, 200);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addStretch();
    }

    QMenuBar* AddMenuBar()
    {
        auto* bar = new QMenuBar(&window);
        bar->addMenu(QStringLiteral("&Info"));
        static_cast<QVBoxLayout*>(window.layout())->setMenuBar(bar);
        bar->show();
        QCoreApplication::processEvents();
        return bar;
    }

    void Show()
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }

    // The widget that takes a click in the button's middle.
    QWidget* FaceOf(const TCaptionButton& button) { return window.childAt(button.ButtonRect().center()); }
    void ShiftF1() { QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier); }
};

// Records the F1 presses that reach the form it watches.
class KeyWatcher : public QObject {
public:
    KeyWatcher(QStringList& log, const char* name)
        : m_log(log)
        , m_name(QString::fromLatin1(name))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1)
            m_log.append(m_name);
        return false;
    }

private:
    QStringList& m_log;
    QString m_name;
};

} // namespace

class TstCaptionButton : public QObject {
    Q_OBJECT

private slots:
    void everyButtonHasItsOwnCode();
    void drawnAtTheRightEndOfTheTopEdge();
    void sitsInTheMenuBarCorner();
    void clickNeedsPressAndReleaseOnTheButton();
    void shiftF1ClicksAndLastInstalledFilterSeesItFirst();
    void handlerMayFreeTheButtonOrRaise();
};

// First in the process: the counter starts at 666.
void TstCaptionButton::everyButtonHasItsOwnCode()
{
    QWidget a;
    QWidget b;
    TCaptionButton first(&a);
    TCaptionButton second(&b);
    QCOMPARE(first.HitTestCode(), quint16(666));
    QCOMPARE(second.HitTestCode(), quint16(667));
}

void TstCaptionButton::drawnAtTheRightEndOfTheTopEdge()
{
    Form f;
    auto* button = new TCaptionButton(&f.window);
    f.Show();
    const QRect r = button->ButtonRect();
    QVERIFY(r.top() <= 3);
    QVERIFY(r.right() >= f.window.width() - 4 && r.right() < f.window.width());
    // It follows the edge, and stays above children added later.
    f.window.resize(400, 250);
    QCOMPARE(button->ButtonRect().right() - r.right(), 80);
    auto* late = new QWidget(&f.window);
    late->setGeometry(f.window.rect());
    late->show();
    QVERIFY(f.FaceOf(*button) != late);

    // Raised: white top and left, black bottom and right, grey inside those.
    const QRect b = button->ButtonRect();
    const QColor white(Qt::white), black(Qt::black), grey = ColorToQColor(clGray);
    QImage img = f.window.grab().toImage();
    QCOMPARE(img.pixelColor(b.left(), b.top() + 5), white);
    QCOMPARE(img.pixelColor(b.left() + 5, b.top() + 1), white);
    QCOMPARE(img.pixelColor(b.left() + 5, b.bottom()), black);
    QCOMPARE(img.pixelColor(b.right(), b.top() + 5), black);
    QCOMPARE(img.pixelColor(b.right() - 1, b.top() + 5), grey);
    QCOMPARE(img.pixelColor(b.left() + 5, b.bottom() - 1), grey);
    // Sunken while pressed.
    QTest::mousePress(f.FaceOf(*button), Qt::LeftButton, {}, QPoint(5, 5));
    img = f.window.grab().toImage();
    QTest::mouseRelease(f.FaceOf(*button), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(img.pixelColor(b.left(), b.top() + 5), black);
    QCOMPARE(img.pixelColor(b.left() + 5, b.bottom()), white);
    QCOMPARE(img.pixelColor(b.right() - 1, b.top() + 5), ColorToQColor(clSilver));
    QCOMPARE(img.pixelColor(b.left() + 5, b.top() + 2), grey);

    // The glyph fills the face inside the frame; a new one repaints.
    QImage glyph(8, 8, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    button->SetGlyph(QPixmap::fromImage(glyph));
    img = f.window.grab().toImage();
    QCOMPARE(img.pixelColor(b.left() + 1, b.top() + 2), QColor(Qt::red));
    QCOMPARE(img.pixelColor(b.right() - 2, b.bottom() - 2), QColor(Qt::red));
    QCOMPARE(img.pixelColor(b.left(), b.top() + 2), white);
    glyph.fill(Qt::blue);
    button->SetGlyph(QPixmap::fromImage(glyph));
    QCOMPARE(f.window.grab().toImage().pixelColor(b.center()), QColor(Qt::blue));
}

void TstCaptionButton::sitsInTheMenuBarCorner()
{
    Form f;
    QMenuBar* bar = f.AddMenuBar();
    auto* button = new TCaptionButton(&f.window);
    f.Show();
    QVERIFY(bar->geometry().contains(button->ButtonRect()));
    QVERIFY(button->ButtonRect().right() >= bar->geometry().right() - 4);
    QCOMPARE(bar->cornerWidget(Qt::TopRightCorner), f.FaceOf(*button));

    // A menu bar that comes later takes the button; when it goes, the button
    // is back on the top edge and still works.
    Form g;
    auto* late = new TCaptionButton(&g.window);
    g.Show();
    QMenuBar* lateBar = g.AddMenuBar();
    QVERIFY(lateBar->geometry().contains(late->ButtonRect()));
    delete lateBar;
    QVERIFY(late->ButtonRect().right() >= g.window.width() - 4);
    QSignalSpy clicks(late, &TCaptionButton::OnClick);
    QTest::mouseClick(g.FaceOf(*late), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(clicks.count(), 1);
}

void TstCaptionButton::clickNeedsPressAndReleaseOnTheButton()
{
    Form f;
    auto* button = new TCaptionButton(&f.window);
    f.Show();
    QSignalSpy clicks(button, &TCaptionButton::OnClick);
    QWidget* face = f.FaceOf(*button);
    QTest::mousePress(face, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(button->Pressed());
    QTest::mouseMove(face, QPoint(-40, 30));
    QVERIFY(!button->Pressed());
    QTest::mouseRelease(face, Qt::LeftButton, {}, QPoint(-40, 30));
    QCOMPARE(clicks.count(), 0);
    // Off and back on before the release still clicks.
    QTest::mousePress(face, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(face, QPoint(-40, 30));
    QTest::mouseMove(face, QPoint(5, 5));
    QVERIFY(button->Pressed());
    QTest::mouseRelease(face, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 1);
    // The second press of a double click counts as a press; the right button
    // does nothing.
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(4, 4));
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(4, 4), face->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(face, &second);
    QTest::mouseRelease(face, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseClick(face, Qt::RightButton, {}, QPoint(4, 4));
    QCOMPARE(clicks.count(), 3);

    // Hidden: nothing there to click, and no code answers.
    const QPoint middle = button->ButtonRect().center();
    button->SetVisible(false);
    QVERIFY(button->ButtonRect().isEmpty());
    QVERIFY(f.window.childAt(middle) != face);
    f.window.resize(330, 210);
    QVERIFY(f.window.childAt(middle) != face);
    button->SetVisible(true);
    QCOMPARE(f.FaceOf(*button), face);
}

void TstCaptionButton::shiftF1ClicksAndLastInstalledFilterSeesItFirst()
{
    Form f;
    QStringList log;
    KeyWatcher before(log, "before");
    f.window.installEventFilter(&before);
    auto* older = new TCaptionButton(&f.window);
    auto* newer = new TCaptionButton(&f.window);
    KeyWatcher after(log, "after");
    f.window.installEventFilter(&after);
    f.Show();
    connect(older, &TCaptionButton::OnClick, this, [&log] { log.append(QStringLiteral("older")); });
    connect(newer, &TCaptionButton::OnClick, this, [&log] { log.append(QStringLiteral("newer")); });

    // Plain F1 and Ctrl+Shift+F1 are not the button's: every filter sees them.
    QTest::keyClick(f.edit, Qt::Key_F1);
    QTest::keyClick(f.edit, Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(log, QStringList({ "after", "before", "after", "before" }));
    log.clear();
    // From the focused edit Shift+F1 travels up to the form, where the newer
    // button consumes it.
    f.ShiftF1();
    QCOMPARE(log, QStringList({ "after", "newer" }));
    log.clear();
    newer->SetVisible(false);
    f.ShiftF1();
    QCOMPARE(log, QStringList({ "after", "older" }));
    log.clear();
    newer->SetVisible(true);
    delete newer;
    f.ShiftF1();
    QCOMPARE(log, QStringList({ "after", "older" }));
    log.clear();
    delete older;
    f.ShiftF1();
    QCOMPARE(log, QStringList({ "after", "before" }));
}

void TstCaptionButton::handlerMayFreeTheButtonOrRaise()
{
    ScriptedDialogs dialogs;
    Form f;
    QPointer<TCaptionButton> button = new TCaptionButton(&f.window);
    f.Show();
    QPointer<QWidget> face = f.FaceOf(*button);
    connect(button, &TCaptionButton::OnClick, this, [] { throw KorvelError(QStringLiteral("Help failed")); });
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(4, 4));
    f.ShiftF1();
    QCOMPARE(Dialogs::shown().size(), 2);
    QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Help failed"));

    disconnect(button, &TCaptionButton::OnClick, this, nullptr);
    connect(button, &TCaptionButton::OnClick, this, [&button] { delete button; });
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(!button);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!face);
    f.ShiftF1(); // nobody left to take it
}

QTEST_MAIN(TstCaptionButton)
#include "tst_captionbutton.moc"
