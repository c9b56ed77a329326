#include "components/gradtext.h"
#include "components/maxmin.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <cmath>

namespace {

const QColor Ground(0, 0, 255);
const QString Block = QStringLiteral("\u2588\u2588");

// A blue parent holding the gradient text in a font every machine here has.
struct Scene {
    QWidget parent;
    TGradText* text;

    explicit Scene(int pixelSize = 40)
    {
        parent.resize(600, 300);
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, Ground);
        parent.setPalette(palette);
        text = new TGradText(&parent);
        text->move(10, 10);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixelSize);
        text->setFont(font);
    }

    QImage shot() { return parent.grab(text->geometry()).toImage().convertToFormat(QImage::Format_RGB32); }
};

QColor rgb(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A pixel wholly inside a letter: nothing of the blue ground shows through.
bool covered(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).blue() == 0;
}

// The band of a 256-band gradient that a row or column lies in.
int bandAt(int pos, int extent)
{
    for (int i = 0; i < 256; ++i)
        if (MulDiv(i, extent, 256) <= pos && pos < MulDiv(i + 1, extent, 256))
            return i;
    return -1;
}

// Rows (or columns) along a line through the image that are wholly inside a
// letter, leaving out the first and last of each run (edges may be blended).
QList<int> coveredRun(const QImage& image, bool alongY, int at)
{
    const int n = alongY ? image.height() : image.width();
    QList<int> run;
    for (int i = 1; i + 1 < n; ++i) {
        const auto in = [&](int k) { return alongY ? covered(image, at, k) : covered(image, k, at); };
        if (in(i - 1) && in(i) && in(i + 1))
            run.append(i);
    }
    return run;
}

// The ink's first and last column within rows [top, bottom).
QPair<int, int> inkColumns(const QImage& image, int top, int bottom)
{
    int first = image.width();
    int last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != Ground) {
                first = qMin(first, x);
                last = qMax(last, x);
            }
    return { first, last };
}

} // namespace

class TstGradientText : public QObject {
    Q_OBJECT

private slots:
    void bandColoursStepWithMulDiv_data();
    void bandColoursStepWithMulDiv();
    void linearGradientsRunAlongTheirAxis_data();
    void linearGradientsRunAlongTheirAxis();
    void centreStylesMirrorAroundTheMiddle();
    void rectangleRunsInwards();
    void equalColoursGiveOneColourOverTheParent();
    void whiteLettersStayVisible();
    void fitsItsLines();
    void emptyLinesKeepTheText();
    void longTextWrapsWithinTheWidthThenFits();
    void justificationPlacesTheLines();
};

void TstGradientText::bandColoursStepWithMulDiv_data()
{
    QTest::addColumn<uint>("begin");
    QTest::addColumn<uint>("end");
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("n");
    QTest::addColumn<uint>("expected");

    QTest::newRow("first band") << uint(clYellow) << uint(clRed) << 0 << 255 << uint(clYellow);
    QTest::newRow("last band") << uint(clYellow) << uint(clRed) << 255 << 255 << uint(clRed);
    // 128 / 255 = 0.502: rounded, not cut to 0.
    QTest::newRow("rounds up") << uint(RGB(0, 0, 0)) << uint(RGB(128, 0, 0)) << 1 << 255 << uint(RGB(1, 0, 0));
    QTest::newRow("rounds down") << uint(RGB(0, 0, 0)) << uint(RGB(127, 0, 0)) << 1 << 255 << uint(RGB(0, 0, 0));
    // Halves go away from zero, both ways.
    QTest::newRow("half up") << uint(RGB(0, 10, 0)) << uint(RGB(1, 10, 0)) << 1 << 2 << uint(RGB(1, 10, 0));
    QTest::newRow("half down") << uint(RGB(1, 10, 0)) << uint(RGB(0, 10, 0)) << 1 << 2 << uint(RGB(0, 10, 0));
    QTest::newRow("falling") << uint(RGB(255, 0, 0)) << uint(RGB(0, 0, 0)) << 1 << 255 << uint(RGB(254, 0, 0));
    QTest::newRow("each byte alone") << uint(RGB(10, 20, 30)) << uint(RGB(20, 10, 31)) << 1 << 2
                                     << uint(RGB(15, 15, 31));
    QTest::newRow("purple") << uint(clPurple) << uint(clRed) << 100 << 200 << uint(RGB(192, 0, 64));
    // One pixel high: no steps, and no -1 from a division by zero.
    QTest::newRow("no steps") << uint(clYellow) << uint(clRed) << 0 << 0 << uint(clYellow);
}

void TstGradientText::bandColoursStepWithMulDiv()
{
    QFETCH(uint, begin);
    QFETCH(uint, end);
    QFETCH(int, i);
    QFETCH(int, n);
    QFETCH(uint, expected);
    QCOMPARE(TGradText::BandColor(begin, end, i, n), TColor(expected));
}

void TstGradientText::linearGradientsRunAlongTheirAxis_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<uint>("begin");
    QTest::addColumn<uint>("end");
    QTest::newRow("vertical, yellow to red") << int(gsVertical) << uint(clYellow) << uint(clRed);
    QTest::newRow("horizontal, black to orange") << int(gsHorizontal) << uint(RGB(0, 0, 0)) << uint(RGB(200, 100, 0));
}

void TstGradientText::linearGradientsRunAlongTheirAxis()
{
    QFETCH(int, style);
    QFETCH(uint, begin);
    QFETCH(uint, end);
    Scene s;
    s.text->SetLines({ Block });
    s.text->SetBeginColor(begin);
    s.text->SetEndColor(end);
    s.text->SetGradientStyle(TGradientStyle(style));
    const QImage image = s.shot();
    QCOMPARE(image.size(), s.text->size());

    const bool down = style == gsVertical;
    const int extent = down ? image.height() : image.width();
    const int across = down ? image.width() / 4 : image.height() / 2;
    const auto at = [&](int k) { return down ? image.pixelColor(across, k) : image.pixelColor(k, across); };
    const QList<int> run = coveredRun(image, down, across);
    QVERIFY2(run.size() > extent / 2, "the block fills most of the control");

    // Each row (column) has the colour of its band, one of 256 over the
    // control, and the colours move steadily from begin to end.
    const QColor from = rgb(begin);
    const QColor to = rgb(end);
    int last = 0;
    for (int k : run) {
        const QColor c = at(k);
        QCOMPARE(c, rgb(TGradText::BandColor(begin, end, bandAt(k, extent), 255)));
        const int moved = std::abs(c.red() - from.red()) + std::abs(c.green() - from.green());
        QVERIFY(moved >= last);
        last = moved;
    }
    const int span = std::abs(to.red() - from.red()) + std::abs(to.green() - from.green());
    const auto movedAt
        = [&](int k) { return std::abs(at(k).red() - from.red()) + std::abs(at(k).green() - from.green()); };
    QVERIFY(movedAt(run.first()) < span / 8);
    QVERIFY(movedAt(run.last()) > span * 7 / 8);
    QVERIFY(std::abs(movedAt(extent / 2) - span / 2) <= span / 50 + 1);
}

void TstGradientText::centreStylesMirrorAroundTheMiddle()
{
    Scene s;
    s.text->SetLines({ Block });
    s.text->SetBeginColor(RGB(250, 0, 0));
    s.text->SetEndColor(RGB(0, 250, 0));

    s.text->SetGradientStyle(gsVertCenter);
    QImage image = s.shot();
    const int x = image.width() / 4;
    const int h = image.height();
    QList<int> rows = coveredRun(image, true, x);
    int pairs = 0;
    for (int y : rows) {
        if (y >= h / 2 || !rows.contains(h - 1 - y))
            continue;
        ++pairs;
        QCOMPARE(image.pixelColor(x, y), image.pixelColor(x, h - 1 - y));
        QCOMPARE(image.pixelColor(x, y), rgb(TGradText::BandColor(RGB(250, 0, 0), RGB(0, 250, 0), y, h / 2)));
    }
    QVERIFY(pairs > h / 8);
    // The middle row has (nearly) the end colour.
    QVERIFY(image.pixelColor(x, h / 2).green() >= 240);

    s.text->SetGradientStyle(gsHorizCenter);
    image = s.shot();
    const int w = image.width();
    const int y = image.height() / 2;
    const QList<int> columns = coveredRun(image, false, y);
    pairs = 0;
    for (int c : columns) {
        if (c >= w / 2 || !columns.contains(w - 1 - c))
            continue;
        ++pairs;
        QCOMPARE(image.pixelColor(c, y), image.pixelColor(w - 1 - c, y));
    }
    QVERIFY(pairs > w / 8);
    QVERIFY(image.pixelColor(columns.first(), y).red() > image.pixelColor(w / 2 - 3, y).red());
}

void TstGradientText::rectangleRunsInwards()
{
    Scene s;
    s.text->SetLines({ Block });
    s.text->SetBeginColor(RGB(0, 0, 0));
    s.text->SetEndColor(RGB(240, 240, 0));
    s.text->SetGradientStyle(gsRectangle);
    const QImage image = s.shot();
    const int y = image.height() / 2;
    const QList<int> columns = coveredRun(image, false, y);
    QVERIFY(!columns.isEmpty());
    // Darker at the edges, brightest in the middle, mirrored left to right.
    const QColor edge = image.pixelColor(columns.first(), y);
    const QColor centre = image.pixelColor(image.width() / 2 - 2, y);
    QVERIFY(edge.red() < centre.red());
    QVERIFY(centre.red() > 200);
    // The rectangle starts two pixels wider than the control, so the colours
    // mirror around column w / 2.
    const int w = image.width();
    int pairs = 0;
    for (int c : columns) {
        if (c >= w / 2 || !columns.contains(w - c))
            continue;
        ++pairs;
        QVERIFY(std::abs(image.pixelColor(c, y).red() - image.pixelColor(w - c, y).red()) <= 3);
    }
    QVERIFY(pairs > w / 8);
}

void TstGradientText::equalColoursGiveOneColourOverTheParent()
{
    Scene s;
    s.text->SetLines({ QStringLiteral("Kůň úpěl"), Block });
    s.text->SetBeginColor(RGB(0, 128, 0));
    s.text->SetEndColor(RGB(0, 128, 0));
    const QImage image = s.shot();
    int inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            // Only green, the blue ground, or the two blended at an edge.
            QCOMPARE(c.red(), 0);
            QVERIFY2(std::abs(c.green() / 128.0 + c.blue() / 255.0 - 1.0) < 0.03,
                qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(c.name())));
            if (c == QColor(0, 128, 0))
                ++inside;
        }
    QVERIFY(inside > 100);
}

void TstGradientText::whiteLettersStayVisible()
{
    Scene s;
    s.text->SetLines({ Block });
    s.text->SetBeginColor(clWhite);
    s.text->SetEndColor(clWhite);
    const QImage image = s.shot();
    QCOMPARE(image.pixelColor(image.width() / 4, image.height() / 2), QColor(Qt::white));
}

void TstGradientText::fitsItsLines()
{
    // Created fitted to one line of "GradText" in its own font.
    TGradText t;
    QCOMPARE(t.Lines(), QStringList { QStringLiteral("GradText") });
    QVERIFY(t.font().bold() && t.font().italic() && t.font().pointSize() == 18);
    // The face the install script brings for "Times New Roman". Its metrics
    // are fractional: the control takes the whole pixels that hold them.
    QCOMPARE(QFontInfo(t.font()).family(), QStringLiteral("Liberation Serif"));
    const QFontMetricsF metrics(t.font());
    QVERIFY2(std::abs(t.height() - metrics.height()) < 1, qPrintable(QString::number(metrics.height())));
    // The width holds the line's advance and its slanted ink, no more.
    const qreal advance = metrics.horizontalAdvance(QStringLiteral("GradText"));
    const qreal ink = metrics.boundingRect(QStringLiteral("GradText")).right();
    QVERIFY(t.width() >= advance && t.width() >= ink);
    QVERIFY(t.width() <= std::max(advance, ink) + 1);

    Scene s(20);
    s.text->SetLines({ QStringLiteral("a") });
    const int one = s.text->height();
    s.text->SetLines({ QStringLiteral("a"), QStringLiteral("b") });
    const int two = s.text->height();
    QVERIFY(two >= 2 * one);
    QVERIFY(two <= 2 * QFontMetrics(s.text->font()).lineSpacing());
    // Ink in both lines.
    const QImage image = s.shot();
    QVERIFY(inkColumns(image, 0, one).second >= 0);
    QVERIFY(inkColumns(image, one, two).second >= 0);

    QFont big = s.text->font();
    big.setPixelSize(40);
    s.text->setFont(big);
    QVERIFY(s.text->height() > two * 3 / 2);
}

void TstGradientText::emptyLinesKeepTheText()
{
    Scene s;
    s.text->SetLines({ QStringLiteral("jedna"), QStringLiteral("dvě") });
    const QSize size = s.text->size();
    s.text->SetLines({});
    QCOMPARE(s.text->Lines(), QStringList({ QStringLiteral("jedna"), QStringLiteral("dvě") }));
    QCOMPARE(s.text->size(), size);
}

void TstGradientText::longTextWrapsWithinTheWidthThenFits()
{
    Scene s(20);
    s.parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.parent));
    const QFontMetrics fm(s.text->font());
    const QString words = QStringLiteral("aa bb cc dd ee ff gg hh");
    // The control always fits its text: a shorter text makes it narrower.
    s.text->SetLines({ QStringLiteral("aa bb cc") });
    const int width = s.text->width();
    QVERIFY(std::abs(width - fm.horizontalAdvance(QStringLiteral("aa bb cc"))) <= 1);
    QVERIFY(fm.horizontalAdvance(words) > width);

    s.text->SetLines({ words });
    QVERIFY(s.text->width() <= width);
    QVERIFY(s.text->width() >= fm.horizontalAdvance(QStringLiteral("aa bb")));
    QCOMPARE(s.text->height(), 3 * fm.height());

    // Widened, it unwraps and takes just what the one line needs.
    s.text->resize(1000, s.text->height());
    QCOMPARE(s.text->height(), fm.height());
    QVERIFY(std::abs(s.text->width() - fm.horizontalAdvance(words)) <= 1);
}

void TstGradientText::justificationPlacesTheLines()
{
    Scene s;
    s.text->SetLines({ QStringLiteral("I"), QStringLiteral("WWWWWW") });
    const int line = QFontMetrics(s.text->font()).height();
    const int width = s.text->width();

    s.text->SetJustification(jLeft);
    const auto left = inkColumns(s.shot(), 0, line);
    s.text->SetJustification(jRight);
    const auto right = inkColumns(s.shot(), 0, line);
    s.text->SetJustification(jCenter);
    const auto centre = inkColumns(s.shot(), 0, line);

    QCOMPARE(s.text->width(), width);
    QVERIFY(left.first <= 6);
    QVERIFY(right.second >= width - 7);
    QVERIFY(left.first < centre.first && centre.first < right.first);
    QVERIFY(std::abs((centre.first + centre.second) - width) <= 6);
}

QTEST_MAIN(TstGradientText)
#include "tst_gradienttext.moc"
