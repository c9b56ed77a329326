#include "components/alabel.h"
#include "components/amedit.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <climits>

namespace {

// Shows a dialog with the edit between two others and a default button.
struct Dialog {
    QDialog dialog;
    QLineEdit* before = new QLineEdit(&dialog);
    TAMEdit* edit = new TAMEdit(&dialog);
    QLineEdit* after = new QLineEdit(&dialog);

    explicit Dialog(TAMEdit::TKeySets keys)
    {
        auto* layout = new QVBoxLayout(&dialog);
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        for (QWidget* w : std::initializer_list<QWidget*> { before, edit, after, ok })
            layout->addWidget(w);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        edit->SetKeys(keys);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.setResult(-1);
        edit->setFocus();
    }
};

// The label drawn black on white.
QImage Draw(TALabel& label)
{
    QPalette p = label.palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(p);
    return label.grab().toImage();
}

bool IsInk(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

QRect InkBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (IsInk(img, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Ink in the upper half against ink in the lower half.
QPair<int, int> InkByHalves(const QImage& img)
{
    QPair<int, int> n;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            (y < img.height() / 2 ? n.first : n.second) += IsInk(img, x, y);
    return n;
}

class PressCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// Heavy letters first: the start of the text is where the ink is.
const QString Heading = QStringLiteral("WWWWW.........");

} // namespace

class TstAlignedEdit : public QObject {
    Q_OBJECT

private slots:
    void enterAndEscapeGoToTheDialogUnlessKeysTakeThem();
    void pastedLineBreaksStayInTheText();
    void angleIsKeptInRange();
    void autoSizeFollowsTextFontAndAngle();
    void angleZeroIsCentred();
    void slantedTextRunsCounterClockwise();
    void opaqueOrTransparentAndPressesPassThrough();
};

void TstAlignedEdit::enterAndEscapeGoToTheDialogUnlessKeysTakeThem()
{
    {
        Dialog d({});
        QCOMPARE(d.edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QTest::keyClick(d.edit, Qt::Key_Return);
        QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    }
    {
        Dialog d(TAMEdit::ksReturn);
        QTest::keyClicks(d.edit, "ab");
        QTest::keyClick(d.edit, Qt::Key_Return);
        QVERIFY(d.after->hasFocus());
        QCOMPARE(d.edit->text(), QStringLiteral("ab"));
        QCOMPARE(d.dialog.result(), -1);
        d.edit->setFocus();
        QTest::keyClick(d.edit, Qt::Key_Escape);
        QCOMPARE(d.dialog.result(), int(QDialog::Rejected));
    }
    {
        Dialog d(TAMEdit::ksReturn | TAMEdit::ksEscape);
        QTest::keyClick(d.edit, Qt::Key_Escape);
        QVERIFY(d.before->hasFocus());
        QVERIFY(d.dialog.isVisible());
    }
}

// Forms that take pasted text strip line breaks themselves: the edit keeps
// them as pasted.
void TstAlignedEdit::pastedLineBreaksStayInTheText()
{
    TAMEdit edit;
    QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb"));
    edit.paste();
    QCOMPARE(edit.text(), QStringLiteral("a\r\nb"));
}

void TstAlignedEdit::angleIsKeptInRange()
{
    TALabel label;
    for (const auto& [angle, stored] : QList<QPair<int, int>> { { -10, 3590 }, { 3600, 0 }, { 7250, 50 }, { -3600, 0 },
             { 3599, 3599 }, { INT_MAX, INT_MAX % 3600 }, { INT_MIN, 3600 + INT_MIN % 3600 } }) {
        label.SetAngle(angle);
        QCOMPARE(label.Angle(), stored);
    }
}

void TstAlignedEdit::autoSizeFollowsTextFontAndAngle()
{
    TALabel label;
    QCOMPARE(label.font().family(), QStringLiteral("Arial"));
    label.SetCaption(Heading);
    QFontMetrics fm(label.font());
    // Resized at once, not at the next paint.
    QCOMPARE(label.size(), QSize(fm.horizontalAdvance(Heading) + 4, fm.height() + 4));
    label.SetAngle(900);
    QCOMPARE(label.size(), QSize(fm.height() + 4, fm.horizontalAdvance(Heading) + 4));
    QFont big = label.font();
    big.setPixelSize(40);
    label.setFont(big);
    fm = QFontMetrics(big);
    QCOMPARE(label.size(), QSize(fm.height() + 4, fm.horizontalAdvance(Heading) + 4));
    // Only the first 255 characters are drawn, and measured.
    label.SetAngle(0);
    label.SetCaption(QString(300, u'W'));
    QCOMPARE(label.width(), fm.horizontalAdvance(QString(255, u'W')) + 4);
    label.SetAutoSize(false);
    label.resize(50, 50);
    label.SetCaption(Heading);
    QCOMPARE(label.size(), QSize(50, 50));
}

void TstAlignedEdit::angleZeroIsCentred()
{
    TALabel label;
    label.SetAutoSize(false);
    label.resize(300, 80);
    label.SetCaption(QStringLiteral("HHHHHH"));
    const QImage img = Draw(label);
    const QRect ink = InkBox(img);
    const QFontMetrics fm(label.font());
    QVERIFY(qAbs(ink.left() - (img.width() - 1 - ink.right())) <= 2);
    // The text cell is centred; its baseline lies an ascent below its top.
    const int cellTop = int(80 / 2.0 - fm.height() / 2.0);
    QVERIFY(qAbs(ink.bottom() - (cellTop + fm.ascent() - 1)) <= 1);
}

// 900 runs upwards from (2, tw + 2) with the baseline on the right; 2700 runs
// downwards from (th + 2, 2) with the baseline on the left.
void TstAlignedEdit::slantedTextRunsCounterClockwise()
{
    TALabel label;
    label.SetCaption(Heading);
    const QFontMetrics fm(label.font());
    const int tw = fm.horizontalAdvance(Heading);
    const int th = fm.height();

    label.SetAngle(900);
    QImage img = Draw(label);
    QRect ink = InkBox(img);
    QVERIFY(QRect(2, 2, th, tw + 1).contains(ink));
    QVERIFY(qAbs(ink.right() - (2 + fm.ascent() - 1)) <= 1);
    auto [upper, lower] = InkByHalves(img);
    QVERIFY(lower > 2 * upper);

    label.SetAngle(2700);
    QCOMPARE(label.size(), QSize(th + 4, tw + 4));
    img = Draw(label);
    ink = InkBox(img);
    QVERIFY(QRect(2, 2, th + 1, tw + 1).contains(ink));
    QVERIFY(qAbs(ink.left() - (2 + th - fm.ascent())) <= 1);
    std::tie(upper, lower) = InkByHalves(img);
    QVERIFY(upper > 2 * lower);
}

void TstAlignedEdit::opaqueOrTransparentAndPressesPassThrough()
{
    PressCounter form;
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    form.setPalette(red);
    form.setAutoFillBackground(true);
    form.resize(200, 100);
    auto* label = new TALabel(&form);
    label->SetCaption(QStringLiteral("x"));
    QPalette yellow = label->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    label->setPalette(yellow);
    label->move(10, 10);
    QCOMPARE(form.grab().toImage().pixelColor(11, 11), QColor(Qt::yellow));
    label->SetTransparent(true);
    QCOMPARE(form.grab().toImage().pixelColor(11, 11), QColor(Qt::red));
    // A form dragged by its client area moves on its headings too.
    form.show();
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(form.presses, 1);
}

QTEST_MAIN(TstAlignedEdit)
#include "tst_alignededit.moc"
