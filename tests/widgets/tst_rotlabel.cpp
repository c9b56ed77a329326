#include "components/proctrls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <climits>

namespace {

constexpr TColor kShadowRed = RGB(255, 0, 0);
constexpr TColor kHighlightBlue = RGB(0, 0, 255);

// A large label, black text on white, its text in the middle.
void Setup(TProLabel& label, const QString& caption, int angle = 0)
{
    QFont f = label.font();
    f.setPixelSize(40);
    label.setFont(f);
    label.SetAutoSize(false);
    label.resize(320, 320);
    label.SetColor(clWhite);
    label.SetFontColor(clBlack);
    label.SetAlignment(taCenter);
    label.SetVerticalAlignment(vaCenter);
    label.SetCaption(caption);
    label.SetAngle(angle);
}

bool IsBlack(QRgb c)
{
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}
bool IsRed(QRgb c)
{
    return qRed(c) > 160 && qGreen(c) < 100 && qBlue(c) < 100;
}
bool IsGreen(QRgb c)
{
    return qGreen(c) > 160 && qRed(c) < 100 && qBlue(c) < 100;
}
bool IsBlue(QRgb c)
{
    return qBlue(c) > 160 && qRed(c) < 100 && qGreen(c) < 100;
}

QRect Box(const QImage& img, bool (*is)(QRgb))
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (is(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage Draw(TProLabel& label)
{
    return label.grab().toImage();
}

// Black pixels left of the middle against right of it, above against below.
struct Halves {
    int left = 0, right = 0, top = 0, bottom = 0;
};
Halves InkHalves(const QImage& img, const QRect& box)
{
    Halves h;
    const QPoint c = box.center();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (IsBlack(img.pixel(x, y))) {
                (x < c.x() ? h.left : h.right)++;
                (y < c.y() ? h.top : h.bottom)++;
            }
    return h;
}

bool Near(int actual, int expected, int tolerance = 1)
{
    return qAbs(actual - expected) <= tolerance;
}

} // namespace

class TestRotLabel : public QObject {
    Q_OBJECT
private slots:
    void angleIsKeptInOneTurn()
    {
        TProLabel label;
        const QList<QPair<int, int>> cases { { 450, 90 }, { -90, 270 }, { 360, 0 }, { 359, 359 }, { -720, 0 },
            { -1, 359 }, { INT_MAX, INT_MAX % 360 }, { INT_MIN, 360 + INT_MIN % 360 } };
        for (const auto& [set, stored] : cases) {
            label.SetAngle(set);
            QCOMPARE(label.Angle(), stored);
        }
    }

    void angleAndOffsetsSwitchAutoSizeOff()
    {
        TProLabel label;
        QVERIFY(label.AutoSize());
        label.SetAngle(360);
        QVERIFY(label.AutoSize());
        label.SetOffsetX(-4);
        label.SetOffsetY(-4);
        QVERIFY(label.AutoSize());
        label.SetOffsetY(2);
        QVERIFY(!label.AutoSize());
        label.SetAutoSize(true);
        label.SetOffsetX(1);
        QVERIFY(!label.AutoSize());
        label.SetAutoSize(true);
        label.SetAngle(90);
        QVERIFY(!label.AutoSize());
        label.SetLayout(vaBottom);
        QCOMPARE(label.VerticalAlignment(), vaBottom);
    }

    void presetsAndCustomStyle()
    {
        TProLabel label;
        QCOMPARE(label.ShadowStyle(), ssNone);
        QCOMPARE(label.HighlightColor(), clBtnHighlight);
        QCOMPARE(label.ShadowColor(), clBtnShadow);

        label.SetShadowStyle(ssRaisedThickShadow);
        QCOMPARE(label.ShadowStyle(), ssRaisedThickShadow);
        QCOMPARE(label.HighlightDirection(), drUpLeft);
        QCOMPARE(label.HighlightDepth(), 1);
        QCOMPARE(label.ShadowDirection(), drDownRight);
        QCOMPARE(int(label.ShadowDepth()), 1);
        QCOMPARE(int(label.ShadowSize()), 4);
        QCOMPARE(label.FontColor(), clWindowText);

        label.SetShadowStyle(ssRaisedShadow);
        label.SetShadowColor(clBtnShadow); // unchanged: no change of style
        QCOMPARE(label.ShadowStyle(), ssRaisedShadow);
        label.SetShadowColor(clRed);
        QCOMPARE(label.ShadowStyle(), ssCustom);
        QCOMPARE(int(label.ShadowSize()), 1);

        // Custom keeps what was set; a preset puts its own values back.
        label.SetShadowStyle(ssCustom);
        QCOMPARE(label.ShadowColor(), clRed);
        label.SetShadowStyle(ssShadow);
        QCOMPARE(label.ShadowColor(), clBtnShadow);
        QCOMPARE(label.HighlightDirection(), drNone);
        QCOMPARE(int(label.ShadowDepth()), 2);
        for (auto change :
            { +[](TProLabel& l) { l.SetHighlightDirection(drUp); }, +[](TProLabel& l) { l.SetHighlightDepth(3); },
                +[](TProLabel& l) { l.SetHighlightColor(clLime); }, +[](TProLabel& l) { l.SetShadowDirection(drLeft); },
                +[](TProLabel& l) { l.SetShadowDepth(5); }, +[](TProLabel& l) { l.SetShadowSize(2); } }) {
            label.SetShadowStyle(ssShadow);
            change(label);
            QCOMPARE(label.ShadowStyle(), ssCustom);
        }

        label.SetShadowStyle(ssRecessedColor);
        QCOMPARE(label.FontColor(), clBtnFace);
        QCOMPARE(label.ShadowDirection(), drUpLeft);
        QCOMPARE(label.HighlightDirection(), drDownRight);
        label.SetShadowStyle(ssNone);
        QCOMPARE(label.FontColor(), clBtnFace);
        QCOMPARE(label.ShadowDirection(), drNone);

        QCOMPARE(DirectionStep(drUpRight), QPoint(1, -1));
        QCOMPARE(DirectionStep(drDownLeft), QPoint(-1, 1));
        QCOMPARE(DirectionStep(drNone), QPoint(0, 0));
    }

    void textRunsCounterClockwise()
    {
        // Heavy letters first, light ones last: the ink lies towards the start.
        for (int angle : { 0, 45, 90, 180, 270 }) {
            TProLabel label;
            Setup(label, "MMMM........", angle);
            const QImage img = Draw(label);
            const QRect box = Box(img, IsBlack);
            QVERIFY(!box.isEmpty());
            QVERIFY(QRect(0, 0, 320, 320).contains(box));
            const Halves h = InkHalves(img, box);
            switch (angle) {
            case 45: // rising to the right, its box about square
                QVERIFY(Near(box.width(), box.height(), box.height() / 4));
                QVERIFY(2 * h.left > 3 * h.right && 2 * h.bottom > 3 * h.top);
                break;
            case 0:
                QVERIFY(box.width() > 2 * box.height());
                QVERIFY(2 * h.left > 3 * h.right);
                break;
            case 90:
                QVERIFY(box.height() > 2 * box.width());
                QVERIFY(2 * h.bottom > 3 * h.top);
                break;
            case 180:
                QVERIFY(box.width() > 2 * box.height());
                QVERIFY(2 * h.right > 3 * h.left);
                break;
            case 270:
                QVERIFY(box.height() > 2 * box.width());
                QVERIFY(2 * h.top > 3 * h.bottom);
                break;
            }
            // Centred both ways (the text cell's descent and leading aside).
            const int slack = QFontMetrics(label.font()).height() / 2;
            QVERIFY2(Near(box.center().x(), 160, slack) && Near(box.center().y(), 160, slack),
                qPrintable(
                    QString("angle %1: ink centre %2,%3").arg(angle).arg(box.center().x()).arg(box.center().y())));
        }
    }

    void placedByAlignment()
    {
        TProLabel topLeft;
        Setup(topLeft, "Ab", 90);
        topLeft.SetAlignment(taLeftJustify);
        topLeft.SetVerticalAlignment(vaTop);
        const QRect a = Box(Draw(topLeft), IsBlack);
        QVERIFY(a.left() < 20 && a.top() < 20);

        TProLabel bottomRight;
        Setup(bottomRight, "Ab", 90);
        bottomRight.SetAlignment(taRightJustify);
        bottomRight.SetVerticalAlignment(vaBottom);
        const QRect b = Box(Draw(bottomRight), IsBlack);
        QVERIFY(b.right() > 300 && b.bottom() > 300);
        QCOMPARE(b.size(), a.size());

        // Upright text keeps to the top unless told otherwise.
        TProLabel upright;
        Setup(upright, "Ab");
        upright.SetVerticalAlignment(vaTop);
        const QRect c = Box(Draw(upright), IsBlack);
        upright.SetVerticalAlignment(vaBottom);
        const QRect d = Box(Draw(upright), IsBlack);
        QVERIFY(c.top() < 20);
        QVERIFY(d.bottom() > 300);
        QCOMPARE(d.left(), c.left());
    }

    void offsetsShiftTheText()
    {
        for (int angle : { 0, 90 }) {
            TProLabel label;
            Setup(label, "Shift", angle);
            const QRect before = Box(Draw(label), IsBlack);
            label.SetOffsetX(7);
            label.SetOffsetY(-5);
            const QRect after = Box(Draw(label), IsBlack);
            QCOMPARE(after, before.translated(7, -5));
        }
    }

    void shadowCopiesLieByDepthAndDirection()
    {
        for (int angle : { 0, 90, 200 }) {
            TProLabel label;
            Setup(label, "Ks", angle);
            label.SetShadowStyle(ssShadow); // down-right, 2 pixels, one copy
            label.SetShadowColor(kShadowRed);
            QImage img = Draw(label);
            QRect text = Box(img, IsBlack);
            QRect shadow = Box(img, IsRed);
            QVERIFY(!shadow.isEmpty());
            QVERIFY2(Near(shadow.right() - text.right(), 2) && Near(shadow.bottom() - text.bottom(), 2),
                qPrintable(QString("angle %1").arg(angle)));

            label.SetShadowStyle(ssThickShadow); // down-right, from 1 pixel, four copies
            label.SetShadowColor(kShadowRed);
            img = Draw(label);
            text = Box(img, IsBlack);
            shadow = Box(img, IsRed);
            QVERIFY(Near(shadow.right() - text.right(), 4) && Near(shadow.bottom() - text.bottom(), 4));

            label.SetShadowStyle(ssRecessedShadow); // shadow up-left 1, highlight down-right 1
            label.SetShadowColor(kShadowRed);
            label.SetHighlightColor(kHighlightBlue);
            img = Draw(label);
            text = Box(img, IsBlack);
            shadow = Box(img, IsRed);
            const QRect highlight = Box(img, IsBlue);
            QVERIFY(Near(shadow.left() - text.left(), -1) && Near(shadow.top() - text.top(), -1));
            QVERIFY(Near(highlight.right() - text.right(), 1) && Near(highlight.bottom() - text.bottom(), 1));
        }
    }

    void aLongShadowStopsAtTheEdge()
    {
        TProLabel label;
        Setup(label, "x");
        label.SetShadowDirection(drDownRight);
        label.SetShadowDepth(1);
        label.SetShadowSize(65535);
        label.SetShadowColor(kShadowRed);
        const QImage img = Draw(label);
        const QRect shadow = Box(img, IsRed);
        QVERIFY(shadow.right() >= 318 && shadow.bottom() >= 318);
    }

    void disabledLabelIsEngraved()
    {
        const QPalette saved = QApplication::palette();
        QPalette pal = saved;
        pal.setColor(QPalette::Light, Qt::green); // clBtnHighlight
        pal.setColor(QPalette::Dark, Qt::blue); // clBtnShadow
        QApplication::setPalette(pal);
        TProLabel label;
        Setup(label, "Off");
        label.SetShadowStyle(ssThickShadow);
        label.setEnabled(false);
        const QImage img = Draw(label);
        QApplication::setPalette(saved);

        const QRect light = Box(img, IsGreen);
        const QRect dark = Box(img, IsBlue);
        QVERIFY(!light.isEmpty() && !dark.isEmpty());
        QVERIFY(Near(light.right() - dark.right(), 1) && Near(light.bottom() - dark.bottom(), 1));
        QVERIFY(Box(img, IsBlack).isEmpty());
        // The dark text stands where the enabled text does.
        label.setEnabled(true);
        label.SetShadowStyle(ssNone);
        QCOMPARE(dark, Box(Draw(label), IsBlack));
    }

    void backgroundUnlessTransparent()
    {
        TProLabel label;
        Setup(label, "bg");
        label.SetColor(RGB(255, 0, 0));
        QVERIFY(IsRed(Draw(label).pixel(2, 2)));
        label.SetTransparent(true);
        QVERIFY(!IsRed(Draw(label).pixel(2, 2)));
    }

    void autoSizeFollowsTheText()
    {
        QWidget parent;
        TProLabel label(&parent);
        QFont f = label.font();
        f.setPixelSize(20);
        label.setFont(f);
        label.SetCaption("ab");
        const QSize small = label.size();
        label.SetCaption("abababab");
        QVERIFY(label.width() > 3 * small.width());
        QCOMPARE(label.height(), small.height());

        label.move(100, 10);
        label.SetAlignment(taRightJustify);
        const int right = label.geometry().right();
        label.SetCaption("ab");
        QCOMPARE(label.geometry().right(), right);
        QCOMPARE(label.width(), small.width());

        label.SetCaption("one two three four five six");
        label.SetWordWrap(true);
        label.SetAutoSize(false);
        label.resize(60, 10);
        label.SetAutoSize(true);
        QCOMPARE(label.width(), 60);
        QVERIFY(label.height() > 3 * small.height());

        // A label that does not size itself keeps its size.
        label.SetAutoSize(false);
        label.resize(33, 44);
        label.SetCaption("much longer caption");
        QCOMPARE(label.size(), QSize(33, 44));
    }

    void verticalGroupCaption()
    {
        // The forms' "SKUPINA" beside the group fields: upwards, centred.
        QWidget form;
        TProLabel label(&form);
        label.SetAutoSize(false);
        label.setGeometry(0, 0, 26, 150);
        label.SetAngle(90);
        label.SetAlignment(taCenter);
        label.SetVerticalAlignment(vaCenter);
        label.SetTransparent(true);
        label.SetFontColor(clBlack);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(13);
        label.setFont(f);
        label.SetCaption("SKUPINA");
        const QImage img = Draw(label);
        const QRect box = Box(img, IsBlack);
        QVERIFY(box.height() > 3 * box.width());
        QVERIFY(box.top() > 5 && box.bottom() < 145);
        QVERIFY(Near(box.top(), 150 - 1 - box.bottom(), 6));
    }

    void mouseEnterAndLeave()
    {
        TProLabel label;
        QSignalSpy entered(&label, &TProLabel::OnMouseEnter);
        QSignalSpy left(&label, &TProLabel::OnMouseLeave);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&label, &enter);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(left.count(), 0);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
        QCOMPARE(left.count(), 1);
    }
};

QTEST_MAIN(TestRotLabel)
#include "tst_rotlabel.moc"
