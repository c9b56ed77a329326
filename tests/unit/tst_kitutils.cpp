#include "components/imglist.h"
#include "components/kitcolors.h"
#include "components/kitutils.h"
#include "components/maxmin.h"
#include "components/strutils.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <limits>

namespace {

// A widget that paints itself in one colour, to see whose painting lands where.
class Solid : public QWidget {
public:
    Solid(QWidget* parent, const QColor& c)
        : QWidget(parent)
        , m_color(c)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_color); }

private:
    QColor m_color;
};

QRgb pixel(const QPixmap& pm, int x, int y)
{
    return pm.toImage().pixel(x, y) | 0xFF000000;
}

QRgb rgbOf(TColor c)
{
    return ColorToQColor(c).rgb();
}

} // namespace

class TestKitUtils : public QObject {
    Q_OBJECT
private slots:
    void maxAndMinOfEqualValuesGiveTheValue()
    {
        QCOMPARE(IntMax(3, 3), 3);
        QCOMPARE(IntMin(3, 3), 3);
        QCOMPARE(IntMax(-2, 5), 5);
        QCOMPARE(IntMin(-2, 5), -2);
    }

    void roundGoesToEvenAtHalvesAndTruncCutsTowardZero()
    {
        QCOMPARE(Round(0.5), 0);
        QCOMPARE(Round(1.5), 2);
        QCOMPARE(Round(2.5), 2);
        QCOMPARE(Round(-0.5), 0);
        QCOMPARE(Round(-1.5), -2);
        QCOMPARE(Round(2.5000001), 3);
        QCOMPARE(Round(1e12 + 0.5), qint64(1000000000000));
        QCOMPARE(Trunc(1.99), 1);
        QCOMPARE(Trunc(-1.99), -1);
    }

    void mulDivRoundsHalvesAwayFromZero()
    {
        QCOMPARE(MulDiv(5, 1, 2), 3);
        QCOMPARE(MulDiv(-5, 1, 2), -3);
        QCOMPARE(MulDiv(5, -1, 2), -3);
        QCOMPARE(MulDiv(5, 1, -2), -3);
        QCOMPARE(MulDiv(-5, -1, -2), -3);
        QCOMPARE(MulDiv(-5, -1, 2), 3);
        QCOMPARE(MulDiv(7, 1, 3), 2); // 2.33
        QCOMPARE(MulDiv(8, 1, 3), 3); // 2.67
        QCOMPARE(MulDiv(-8, 1, 3), -3);
        QCOMPARE(MulDiv(6, 1, 4), 2); // 1.5
        QCOMPARE(MulDiv(10, 1, 4), 3); // 2.5: away from zero, not to even
        QCOMPARE(MulDiv(0, 123, 7), 0);
    }

    void mulDivKeepsSixtyFourBitsAndRefusesWhatDoesNotFit()
    {
        const int max = std::numeric_limits<int>::max();
        QCOMPARE(MulDiv(100000, 100000, 100000), 100000);
        QCOMPARE(MulDiv(max, max, max), max);
        QCOMPARE(MulDiv(max, 3, 4), 1610612735); // 6442450941 / 4 = 1610612735.25
        QCOMPARE(MulDiv(max, 2, 1), -1);
        QCOMPARE(MulDiv(std::numeric_limits<int>::min(), 1, 1), -1);
        QCOMPARE(MulDiv(1, 1, 0), -1);
        QCOMPARE(MulDiv(0, 0, 0), -1);
    }

    void colourValuesKeepRedInTheLowestByte()
    {
        QCOMPARE(RGB(0x12, 0x34, 0x56), TColor(0x563412));
        QCOMPARE(GetRValue(0x563412), 0x12);
        QCOMPARE(GetGValue(0x563412), 0x34);
        QCOMPARE(GetBValue(0x563412), 0x56);
        QCOMPARE(QColorToColor(QColor(1, 2, 3)), TColor(0x030201));
        QCOMPARE(ColorToQColor(clTeal), QColor(0, 128, 128));
        QCOMPARE(ColorToQColor(clBlue), QColor(0, 0, 255));
        QCOMPARE(clBtnFace, TColor(0x8000000F));
        QVERIFY(IsSystemColor(clInfoBk));
        QVERIFY(!IsSystemColor(clNone));
    }

    void systemColoursFollowTheApplicationPalette()
    {
        const QPalette saved = QApplication::palette();
        QPalette p = saved;
        p.setColor(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
        p.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 100, 50));
        p.setColor(QPalette::Active, QPalette::HighlightedText, QColor(1, 2, 3));
        p.setColor(QPalette::Active, QPalette::Dark, QColor(40, 40, 40));
        p.setColor(QPalette::Active, QPalette::Light, QColor(250, 250, 250));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 98, 97));
        QApplication::setPalette(p);
        QCOMPARE(ColorToRGB(clBtnFace), RGB(10, 20, 30));
        QCOMPARE(ColorToRGB(clHighlight), RGB(200, 100, 50));
        QCOMPARE(ColorToRGB(clHighlightText), RGB(1, 2, 3));
        QCOMPARE(ColorToRGB(clBtnShadow), RGB(40, 40, 40));
        QCOMPARE(ColorToRGB(clBtnHighlight), RGB(250, 250, 250));
        QCOMPARE(ColorToRGB(clGrayText), RGB(99, 98, 97));
        QCOMPARE(ColorToQColor(clBtnFace), QColor(10, 20, 30));
        QApplication::setPalette(saved);
        QCOMPARE(ColorToRGB(clBtnFace), QColorToColor(saved.color(QPalette::Active, QPalette::Button)));
        // A palette given explicitly is used as it is.
        QCOMPARE(ColorToRGB(clWindow, p), QColorToColor(p.color(QPalette::Active, QPalette::Base)));
    }

    void plainColoursAndMarkersPassUnchanged()
    {
        QCOMPARE(ColorToRGB(clTeal), clTeal);
        QCOMPARE(ColorToRGB(clNone), clNone);
        QCOMPARE(ColorToRGB(clDefault), clDefault);
        QCOMPARE(ColorToQColor(clNone).alpha(), 0);
        // An index past the known system colours resolves to black, not garbage.
        QCOMPARE(ColorToRGB(clSystemColor | 0xFF), clBlack);
    }

    void takeTokenStepsOverTheDelimiter()
    {
        qsizetype pos = 1;
        QCOMPARE(TakeToken("a;b", pos, u";"), QString("a"));
        QCOMPARE(pos, 3);
        QCOMPARE(TakeToken("a;b", pos, u";"), QString("b"));
        QCOMPARE(pos, 4);
        QCOMPARE(TakeToken("a;b", pos, u";"), QString());
        QCOMPARE(pos, 4);
        pos = 1;
        QCOMPARE(TakeToken(";;x,y", pos, u";,"), QString());
        QCOMPARE(pos, 2);
        QCOMPARE(TakeToken(";;x,y", pos, u";,"), QString());
        QCOMPARE(TakeToken(";;x,y", pos, u";,"), QString("x"));
        QCOMPARE(pos, 5);
        pos = 1;
        QCOMPARE(TakeToken("", pos, u";"), QString());
        QCOMPARE(pos, 1);
    }

    void commandTokensSkipBlanksAndEmptyQuotes()
    {
        QString token;
        const QString line = "  \t\"\" \"C:\\Program Files\\x.exe\" -a \"b c\"d";
        qsizetype pos = NextCommandToken(line, 0, token);
        QCOMPARE(token, QString("C:\\Program Files\\x.exe"));
        pos = NextCommandToken(line, pos, token);
        QCOMPARE(token, QString("-a"));
        pos = NextCommandToken(line, pos, token);
        QCOMPARE(token, QString("b cd"));
        QCOMPARE(pos, line.size());
        NextCommandToken(line, pos, token);
        QCOMPARE(token, QString());
        QCOMPARE(CountCommandTokens(line), 3);
        QCOMPARE(CommandTokenAt(line, 1), QString("-a"));
        QCOMPARE(CommandTokenAt(line, 3), QString());
        QCOMPARE(CountCommandTokens(u"   "), 0);
        // An unterminated quote runs to the end.
        NextCommandToken(u"\"open end", 0, token);
        QCOMPARE(token, QString("open end"));
    }

    void longTokensAreKeptWhole()
    {
        const QString longPath = "/" + QString(299, u'x');
        QString token;
        NextCommandToken(QString("\"%1\" tail").arg(longPath), 0, token);
        QCOMPARE(token.size(), 300);
        QCOMPARE(token, longPath);
    }

    void splitPutsParametersWithBlanksBackInQuotes()
    {
        QString program = "old";
        QString params = "old";
        SplitProgramAndParams("\"/usr/bin/my editor\" \"a b.txt\" -x  c", program, params);
        QCOMPARE(program, QString("/usr/bin/my editor"));
        QCOMPARE(params, QString("\"a b.txt\" -x c"));
        SplitProgramAndParams("   ", program, params);
        QCOMPARE(program, QString());
        QCOMPARE(params, QString());
        SplitProgramAndParams("prog", program, params);
        QCOMPARE(program, QString("prog"));
        QCOMPARE(params, QString());
    }

    void ellipsisOnlyWhenTheTextDoesNotFit()
    {
        const QFontMetrics fm(QApplication::font());
        const QString text = "Přehled připomenutí";
        QCOMPARE(FitTextWithEllipsis(text, fm, fm.horizontalAdvance(text)), text);
        const int narrow = fm.horizontalAdvance("Přehled...");
        const QString cut = FitTextWithEllipsis(text, fm, narrow);
        QVERIFY(cut.endsWith("..."));
        QVERIFY(fm.horizontalAdvance(cut) <= narrow);
        QVERIFY(text.startsWith(cut.chopped(3)));
        QCOMPARE(FitTextWithEllipsis(text, fm, 0), QString("..."));
        QCOMPARE(FitTextWithEllipsis(QString(), fm, 0), QString());
    }

    void clampKeepsSizeAndEndsAtTheEdges()
    {
        const QRect screen(0, 0, 1024, 768);
        QRect r(1000, 100, 200, 50);
        ClampRectToScreen(r, screen);
        QCOMPARE(r, QRect(824, 100, 200, 50));
        r = QRect(-30, 740, 100, 100);
        ClampRectToScreen(r, screen);
        QCOMPARE(r, QRect(0, 668, 100, 100));
        r = QRect(500, 500, 2000, 1000); // larger than the screen
        ClampRectToScreen(r, screen);
        QCOMPARE(r.topLeft(), QPoint(0, 0));
        QCOMPARE(r.size(), QSize(2000, 1000));
        const QRect second(1024, 0, 800, 600); // a screen right of the first
        r = QRect(1700, -5, 200, 50);
        ClampRectToScreen(r, second);
        QCOMPARE(r, QRect(1624, 0, 200, 50));
    }

    void centringUsesTheWindowsScreen()
    {
        QWidget w;
        w.resize(200, 100);
        CenterWindowOnScreen(&w);
        const QRect area = w.screen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        QCOMPARE(frame.left() - area.left(), (area.width() - frame.width()) / 2);
        QCOMPARE(frame.top() - area.top(), (area.height() - frame.height()) / 2);
        QVERIFY(!w.isVisible());
    }

    void checkerAlternatesOnTheDiagonals()
    {
        const QImage img = MakeCheckerBrushBitmap(clRed, clBlue).toImage();
        QCOMPARE(img.size(), QSize(8, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(img.pixel(x, y) | 0xFF000000, (x % 2 == y % 2) ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
    }

    void disabledBitmapIsEmbossed()
    {
        // A glyph in the outline colour (teal) with a dark 2 x 2 block at (1, 1).
        QImage src(6, 6, QImage::Format_RGB32);
        src.fill(QColor(0, 128, 128));
        for (int y = 1; y <= 2; ++y)
            for (int x = 1; x <= 2; ++x)
                src.setPixel(x, y, qRgb(0, 0, 0));
        const QPixmap glyph = QPixmap::fromImage(src);
        const QPixmap d = BuildDisabledBitmap(glyph, clTeal, clSilver, clWhite, clGray, true);
        QCOMPARE(d.size(), glyph.size());
        QCOMPARE(pixel(d, 1, 1), qRgb(128, 128, 128)); // shadow in place
        QCOMPARE(pixel(d, 2, 2), qRgb(128, 128, 128)); // shadow wins over the highlight under it
        QCOMPARE(pixel(d, 3, 3), qRgb(255, 255, 255)); // highlight one pixel down and right
        QCOMPARE(pixel(d, 3, 2), qRgb(255, 255, 255));
        QCOMPARE(pixel(d, 0, 0), qRgb(192, 192, 192)); // the outline colour is ground
        QCOMPARE(pixel(d, 5, 5), qRgb(192, 192, 192));
        const QPixmap flat = BuildDisabledBitmap(glyph, clTeal, clSilver, clWhite, clGray, false);
        QCOMPARE(pixel(flat, 3, 3), qRgb(192, 192, 192));
        QCOMPARE(pixel(flat, 1, 1), qRgb(128, 128, 128));
        const QPixmap sys = BuildDisabledGlyph(glyph, clTeal);
        QCOMPARE(pixel(sys, 0, 0), rgbOf(clBtnFace));
        QCOMPARE(pixel(sys, 1, 1), rgbOf(clBtnShadow));
        QCOMPARE(pixel(sys, 3, 3), rgbOf(clBtnHighlight));
    }

    void disabledListImageIsItsSilhouette()
    {
        TImageList images(4, 4);
        QPixmap pm(4, 4);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.fillRect(0, 0, 2, 2, Qt::yellow);
        }
        images.Add(pm);
        QPixmap canvas(8, 8);
        canvas.fill(Qt::black);
        {
            QPainter p(&canvas);
            p.setBrush(Qt::green);
            DrawListImageDisabled(images, p, 2, 2, 0, clWhite, clGray, true);
            QCOMPARE(p.brush().color(), QColor(Qt::green));
            DrawListImageDisabled(images, p, 0, 0, 5, clRed, clRed, true); // no such image: nothing
        }
        QCOMPARE(pixel(canvas, 2, 2), qRgb(128, 128, 128));
        QCOMPARE(pixel(canvas, 3, 3), qRgb(128, 128, 128));
        QCOMPARE(pixel(canvas, 4, 4), qRgb(255, 255, 255));
        QCOMPARE(pixel(canvas, 5, 5), qRgb(0, 0, 0)); // transparent part of the image left alone
        QCOMPARE(pixel(canvas, 0, 0), qRgb(0, 0, 0));
    }

    void imageListFitsPicturesAndRefusesBadIndices()
    {
        TImageList images(5, 5);
        int changes = 0;
        connect(&images, &TImageList::changed, [&] { ++changes; });
        QPixmap big(9, 9);
        big.fill(Qt::red);
        QCOMPARE(images.Add(big), 0);
        QCOMPARE(images.Image(0).size(), QSize(5, 5));
        QCOMPARE(changes, 1);
        images.BeginUpdate();
        images.Add(big);
        images.Add(big);
        images.EndUpdate();
        QCOMPARE(changes, 2);
        QCOMPARE(images.Count(), 3);
        try {
            images.Image(3);
            QFAIL("no exception");
        } catch (const EListError& e) {
            QCOMPARE(e.message(), QString("List index out of bounds (3)"));
        }
        images.SetSize(6, 6);
        QCOMPARE(images.Count(), 0);
    }

    void parentBackgroundShowsThroughInOrder()
    {
        QWidget parent;
        parent.resize(100, 100);
        parent.setAutoFillBackground(true);
        QPalette pal;
        pal.setColor(QPalette::Window, Qt::red);
        parent.setPalette(pal);
        auto* below = new Solid(&parent, Qt::blue);
        below->setGeometry(30, 30, 20, 20);
        auto* control = new Solid(&parent, Qt::green);
        control->setGeometry(20, 20, 40, 40);
        auto* above = new Solid(&parent, Qt::yellow); // after the control: not part of its background
        above->setGeometry(20, 20, 10, 10);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QPixmap copy(40, 40);
        copy.fill(Qt::black);
        {
            QPainter p(&copy);
            PaintParentBackground(control, p);
        }
        QCOMPARE(pixel(copy, 2, 2), qRgb(255, 0, 0)); // parent's ground (also under "above")
        QCOMPARE(pixel(copy, 15, 15), qRgb(0, 0, 255)); // the sibling below, at its place
        QCOMPARE(pixel(copy, 29, 29), qRgb(0, 0, 255));
        QCOMPARE(pixel(copy, 31, 31), qRgb(255, 0, 0));
        QCOMPARE(pixel(copy, 39, 39), qRgb(255, 0, 0));
    }
};

QTEST_MAIN(TestKitUtils)
#include "tst_kitutils.moc"
