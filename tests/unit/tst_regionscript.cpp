#include "components/kiterrors.h"
#include "components/regionscript.h"

#include <QRandomGenerator>
#include <QTest>

#include <climits>

namespace {

// A framed 608 x 484 window: 4-pixel borders, a 22-pixel caption.
RegionMetrics framedMetrics()
{
    RegionMetrics m;
    m.X = 4;
    m.C = 26;
    m.Y = 4;
    m.R = 604;
    m.B = 480;
    m.W = 608;
    m.H = 484;
    return m;
}

RegionScriptContext plainContext()
{
    RegionScriptContext context;
    context.metrics = framedMetrics();
    return context;
}

QRegion translate(const QString& script, const RegionScriptContext& context = plainContext())
{
    const std::optional<QRegion> region = TranslateRegionScript(script, context);
    if (!region)
        return QRegion(QRect(-1000, -1000, 1, 1)); // marks "no region" for the comparisons below
    return *region;
}

QString lines(const QStringList& list)
{
    return list.join(QStringLiteral("\r\n"));
}

QString translationError(const QString& script, const RegionScriptContext& context = plainContext())
{
    try {
        TranslateRegionScript(script, context);
    } catch (const ECannotTranslate& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// The reminder pop-up's shape and its caption ring.
const QStringList popupBody = { "L259,21,9,371,50,450,550,450,591,371,341,21", "O", "E250,0,350,100", "O",
    "E0,350,100,450", "O", "E500,350,600,450" };
const QStringList popupInner = { "L267,27,17,377,50,440,550,440,583,377,332,27", "O", "E260,10,340,90", "O",
    "E10,360,90,440", "O", "E510,360,590,440" };

} // namespace

class TestRegionScript : public QObject {
    Q_OBJECT
private slots:
    void emptyScriptGivesNoRegion();
    void firstRegionIgnoresMode();
    void combineModes();
    void groups();
    void bracketLimits();
    void shapes();
    void polygonFillRules();
    void polygonsFillAsThePlatformDoes();
    void polygonsAcrossTheWholeRange();
    void windowBoxCutsEveryShape_data();
    void windowBoxCutsEveryShape();
    void commaCounts();
    void expressions_data();
    void expressions();
    void expressionErrors_data();
    void expressionErrors();
    void scriptErrorsNameTheLine();
    void lowerCaseAndLineBreaks();
    void popupScripts();
    void placement();
    void placementFaults();
    void renameRewritesOnlyPlacements();
};

void TestRegionScript::emptyScriptGivesNoRegion()
{
    QVERIFY(!TranslateRegionScript(QString(), plainContext()));
    // A script of mode lines and empty groups produces nothing either.
    QVERIFY(!TranslateRegionScript(lines({ "O", "{", "}", "D" }), plainContext()));
}

void TestRegionScript::firstRegionIgnoresMode()
{
    for (const char* mode : { "A", "O", "X", "D" }) {
        const QRegion r = translate(lines({ mode, "R10,20,30,40" }));
        QCOMPARE(r, QRegion(10, 20, 20, 20));
    }
    // A mode line after the last region changes nothing.
    QCOMPARE(translate(lines({ "R10,20,30,40", "D" })), QRegion(10, 20, 20, 20));
    // The right and bottom edges are left out; swapped corners are put in order.
    const QRegion r = translate("R30,40,10,20");
    QCOMPARE(r.boundingRect(), QRect(10, 20, 20, 20));
    QVERIFY(r.contains(QPoint(29, 39)));
    QVERIFY(!r.contains(QPoint(30, 40)));
}

void TestRegionScript::combineModes()
{
    const QPoint onlyFirst(5, 5), both(15, 15), onlySecond(25, 25);
    auto check = [&](const char* mode, bool first, bool shared, bool second) {
        const QRegion r = translate(lines({ "R0,0,20,20", mode, "R10,10,30,30" }));
        QCOMPARE(r.contains(onlyFirst), first);
        QCOMPARE(r.contains(both), shared);
        QCOMPARE(r.contains(onlySecond), second);
    };
    check("O", true, true, true);
    check("A", false, true, false);
    check("X", true, false, true);
    check("D", true, false, false);
    QCOMPARE(translate(lines({ "R0,0,20,20", "A", "R10,10,30,30" })), QRegion(10, 10, 10, 10));
    // The mode holds for every following region of its level.
    const QRegion cut = translate(lines({ "R0,0,100,10", "D", "R10,0,20,10", "R30,0,40,10" }));
    QCOMPARE(cut.rectCount(), 3);
}

void TestRegionScript::groups()
{
    // An empty group produces nothing and leaves the level's first flag set:
    // the rectangle after it is taken as it is, whatever the mode.
    QCOMPARE(translate(lines({ "{", "}", "A", "R0,0,10,10" })), QRegion(0, 0, 10, 10));
    // A group is one region of its enclosing level.
    const QRegion holes = translate(lines({ "R0,0,100,100", "D", "{", "R10,10,20,20", "R30,30,40,40", "}" }));
    QVERIFY(holes.contains(QPoint(5, 5)));
    QVERIFY(!holes.contains(QPoint(15, 15)));
    QVERIFY(!holes.contains(QPoint(35, 35)));
    QVERIFY(holes.contains(QPoint(25, 25)));
    // Modes set inside a group stay inside it.
    const QRegion outerOr = translate(lines({ "R0,0,10,10", "{", "X", "R50,50,60,60", "}", "R20,20,30,30" }));
    QVERIFY(outerOr.contains(QPoint(5, 5)));
    QVERIFY(outerOr.contains(QPoint(55, 55)));
    QVERIFY(outerOr.contains(QPoint(25, 25)));
    // A group left open contributes nothing.
    QCOMPARE(translate(lines({ "R0,0,10,10", "{", "R20,20,30,30" })), QRegion(0, 0, 10, 10));
}

void TestRegionScript::bracketLimits()
{
    QStringList deep;
    for (int i = 0; i < 14; ++i)
        deep << "{";
    deep << "R1,2,3,4";
    for (int i = 0; i < 14; ++i)
        deep << "}";
    QCOMPARE(translate(lines(deep)), QRegion(1, 2, 2, 2));

    QStringList tooDeep;
    for (int i = 0; i < 15; ++i)
        tooDeep << "{";
    QCOMPARE(translationError(lines(tooDeep)), QStringLiteral("Too many brackets in line 15"));
    QCOMPARE(translationError(lines({ "R0,0,1,1", "}" })), QStringLiteral("'}' without '{' in line 2"));
    QCOMPARE(translationError(lines({ "{", "}", "}" })), QStringLiteral("'}' without '{' in line 3"));
}

void TestRegionScript::shapes()
{
    const QRegion ellipse = translate("E0,0,100,50");
    QVERIFY(ellipse.contains(QPoint(50, 25)));
    QVERIFY(ellipse.contains(QPoint(3, 25)));
    QVERIFY(ellipse.contains(QPoint(50, 2)));
    QVERIFY(!ellipse.contains(QPoint(4, 4)));
    QVERIFY(!ellipse.contains(QPoint(96, 46)));
    QVERIFY(QRect(0, 0, 100, 50).contains(ellipse.boundingRect()));

    // Corner ellipses 40 x 40: (8, 8) lies in the top-left one, (2, 2) outside.
    const QRegion round = translate("U0,0,100,100,40,40");
    QCOMPARE(round.boundingRect(), QRect(0, 0, 100, 100));
    for (const QPoint in : { QPoint(50, 50), QPoint(1, 50), QPoint(50, 1), QPoint(8, 8), QPoint(91, 91) })
        QVERIFY2(round.contains(in), qPrintable(QStringLiteral("%1,%2").arg(in.x()).arg(in.y())));
    for (const QPoint out : { QPoint(1, 1), QPoint(98, 1), QPoint(1, 98), QPoint(98, 98) })
        QVERIFY2(!round.contains(out), qPrintable(QStringLiteral("%1,%2").arg(out.x()).arg(out.y())));
    // A corner larger than the rectangle is cut to it: an ellipse.
    const QRegion oversized = translate("U0,0,20,20,100,100");
    QVERIFY(oversized.contains(QPoint(10, 10)));
    QVERIFY(!oversized.contains(QPoint(1, 1)));
    // A corner of INT_MIN is as wide as the rectangle, like any larger one.
    QCOMPARE(translate("U0,0,10,10,-2147483647-1,5"), translate("U0,0,10,10,10,5"));
    QCOMPARE(translate("U0,0,10,10,4,-2147483647-1"), translate("U0,0,10,10,4,10"));
    // No corner at all: the plain rectangle.
    QCOMPARE(translate("U0,0,20,10,0,0"), QRegion(0, 0, 20, 10));

    // Coordinates beyond the display's 16 bits are cut to them: a hostile
    // ellipse ends quickly, and nothing overflows.
    const QRegion huge = translate("E0,0,2000000000,2000000000");
    QCOMPARE(huge.boundingRect().bottom(), 0x7FFF - 1);
    QCOMPARE(translate("R-2147483647-1,0,2147483647,10").boundingRect(), QRect(-0x8000, 0, 0xFFFF, 10));
    const QRegion wide = translate("L0,0,2147483647,0,0,100");
    QCOMPARE(wide.boundingRect().right(), 0x7FFF - 1);
    QVERIFY(wide.contains(QPoint(29000, 10)));
    QVERIFY(!wide.contains(QPoint(32000, 50)));

    const QRegion triangle = translate("L0,0,100,0,0,100");
    QVERIFY(triangle.contains(QPoint(10, 10)));
    QVERIFY(!triangle.contains(QPoint(80, 80)));
}

void TestRegionScript::polygonFillRules()
{
    // A pentagram: its centre pentagon is covered twice, so the alternate
    // fill leaves it out and the winding fill keeps it.
    const QString star = QStringLiteral("50,0,79,90,2,35,98,35,21,90");
    const QPoint centre(50, 45), point(50, 10);
    const QRegion alternate = translate(QLatin1Char('L') + star);
    const QRegion winding = translate(QLatin1Char('W') + star);
    QVERIFY(!alternate.contains(centre));
    QVERIFY(winding.contains(centre));
    QVERIFY(alternate.contains(point));
    QVERIFY(winding.contains(point));
}

void TestRegionScript::polygonsFillAsThePlatformDoes()
{
    // Polygons of every shape, self-crossing ones included, against the
    // platform's own polygon regions, point for point and band for band.
    QRandomGenerator random(14);
    for (int round = 0; round < 2000; ++round) {
        QPolygon polygon;
        QStringList numbers;
        const int points = random.bounded(3, 8);
        for (int i = 0; i < points; ++i) {
            const QPoint p(random.bounded(-20, 41), random.bounded(-20, 41));
            polygon << p;
            numbers << QString::number(p.x()) << QString::number(p.y());
        }
        for (const auto& [command, rule] : { std::pair(u'L', Qt::OddEvenFill), std::pair(u'W', Qt::WindingFill) }) {
            const QString script = QChar(command) + numbers.join(u',');
            QCOMPARE(translate(script), QRegion(polygon, rule));
        }
    }
}

void TestRegionScript::polygonsAcrossTheWholeRange()
{
    // As tall as the 16-bit coordinates reach: a triangle covering half the
    // square, a line of x = 32767 - y in the middle of each of its edges.
    const QRegion triangle = translate("L-32768,-32768,32767,-32768,-32768,32767");
    QCOMPARE(triangle.boundingRect(), QRect(-32768, -32768, 65535, 65535));
    QVERIFY(triangle.contains(QPoint(-32768, 32766)));
    QVERIFY(triangle.contains(QPoint(-1, -2)));
    QVERIFY(!triangle.contains(QPoint(0, 0)));
    QCOMPARE(triangle.rectCount(), 65535);
    // Two crossing edges all the way down: a bow lying on its side.
    const QRegion bow = translate("W-32768,-32768,32767,32767,32767,-32768,-32768,32767");
    for (const QPoint in : { QPoint(-30000, 0), QPoint(30000, 0), QPoint(-32768, -32767), QPoint(32766, 32766) })
        QVERIFY(bow.contains(in));
    for (const QPoint out : { QPoint(0, -30000), QPoint(0, 30000), QPoint(-32767, 32766) })
        QVERIFY(!bow.contains(out));
}

void TestRegionScript::windowBoxCutsEveryShape_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("rectangle") << lines({ "R-50,-50,W+50,20" });
    QTest::newRow("ellipse") << lines({ "E-300,-200,400,300" });
    QTest::newRow("round rectangle") << lines({ "U-20,-20,W+20,H+20,120,90" });
    QTest::newRow("alternate polygon") << lines({ "L-32768,-32768,32767,-32768,-32768,32767,900,-40,50,700" });
    QTest::newRow("winding polygon") << lines({ "W-500,300,300,-500,1100,300,300,1100,-500,300,300,20,600,300" });
    QTest::newRow("xor and difference")
        << lines({ "E-100,-100,700,580", "X", "R200,-9000,250,9000", "D", "{", "L0,0,30000,400,0,800", "}" });
    QTest::newRow("and of placed") << lines({ "R-1000,-1000,2000,2000", "A", "TCC600,480,BIG" });
    QTest::newRow("outside") << lines({ "R700,0,900,100", "O", "E-40,-40,-1,-1" });
}

void TestRegionScript::windowBoxCutsEveryShape()
{
    QFETCH(QString, script);
    RegionScriptContext context = plainContext();
    context.findExternal = [](const QString&) -> std::optional<ExternalShape> {
        return ExternalShape { QRegion(0, 0, 400, 300, QRegion::Ellipse), -1, -1 };
    };
    const QRegion whole = translate(script, context);
    context.bounds = QRect(0, 0, 608, 484);
    QCOMPARE(translate(script, context), whole.intersected(*context.bounds));
}

void TestRegionScript::commaCounts()
{
    const QString invalid = QStringLiteral("Invalid number of parameters in line 1");
    QCOMPARE(translationError("R0,0,10"), invalid);
    QCOMPARE(translationError("R0,0,10,10,5"), invalid);
    QCOMPARE(translationError("E0,0,10"), invalid);
    QCOMPARE(translationError("U0,0,10,10,5"), invalid);
    QCOMPARE(translationError("L0,0,10,10"), invalid); // 3 commas
    QCOMPARE(translationError("L0,0,10,10,5"), invalid); // 4 commas
    QCOMPARE(translationError("W0,0,10,10,5,5,7,7,8"), invalid); // 8 commas
    QVERIFY(!translate("L0,0,10,0,0,10").isEmpty()); // 5 commas: a triangle
    QVERIFY(!translate("W0,0,10,0,10,10,0,10").isEmpty()); // 7 commas: four points
    QCOMPARE(translationError("R"), invalid);
}

void TestRegionScript::expressions_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << QStringLiteral("42") << 42;
    QTest::newRow("X") << QStringLiteral("X") << 4;
    QTest::newRow("C") << QStringLiteral("C") << 26;
    QTest::newRow("Y") << QStringLiteral("Y") << 4;
    QTest::newRow("R") << QStringLiteral("R") << 604;
    QTest::newRow("B") << QStringLiteral("B") << 480;
    QTest::newRow("W") << QStringLiteral("W") << 608;
    QTest::newRow("H") << QStringLiteral("H") << 484;
    QTest::newRow("precedence") << QStringLiteral("2+3*4") << 14;
    QTest::newRow("parentheses") << QStringLiteral("(2+3)*4") << 20;
    QTest::newRow("left to right") << QStringLiteral("10-2-3") << 5;
    QTest::newRow("division truncates") << QStringLiteral("7/2") << 3;
    QTest::newRow("toward zero") << QStringLiteral("-7/2") << -3;
    QTest::newRow("unary minus binds one factor") << QStringLiteral("-3*2") << -6;
    QTest::newRow("minus of a factor") << QStringLiteral("2*-3") << -6;
    QTest::newRow("double minus") << QStringLiteral("--5") << 5;
    QTest::newRow("half width") << QStringLiteral("W/2") << 304;
    QTest::newRow("client width") << QStringLiteral("R-X") << 600;
    QTest::newRow("blank ends the expression") << QStringLiteral("10 +5") << 10;
    QTest::newRow("no blanks") << QStringLiteral("10+5") << 15;
    QTest::newRow("rest ignored") << QStringLiteral("10)+5") << 10;
    QTest::newRow("largest number") << QStringLiteral("2147483647") << INT_MAX;
    QTest::newRow("32-bit wrap") << QStringLiteral("2147483647+1") << INT_MIN;
    QTest::newRow("smallest by subtraction") << QStringLiteral("-2147483647-1") << INT_MIN;
    QTest::newRow("64 minus signs") << QString(64, QLatin1Char('-')) + "5" << 5;
    QTest::newRow("nested") << QString(30, QLatin1Char('(')) + "7" + QString(30, QLatin1Char(')')) << 7;
}

void TestRegionScript::expressions()
{
    QFETCH(QString, argument);
    QFETCH(int, value);
    QCOMPARE(EvalRegionExpression(argument, framedMetrics()), value);
}

void TestRegionScript::expressionErrors_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("message");
    QTest::newRow("unclosed") << QStringLiteral("(W") << QStringLiteral("')' expected in position 3");
    QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("Syntax error in position 1");
    QTest::newRow("blank") << QStringLiteral(" 5") << QStringLiteral("Syntax error in position 1");
    QTest::newRow("no unary plus") << QStringLiteral("+5") << QStringLiteral("Syntax error in position 1");
    QTest::newRow("missing operand") << QStringLiteral("3*") << QStringLiteral("Syntax error in position 3");
    QTest::newRow("unknown letter") << QStringLiteral("1+Q") << QStringLiteral("Syntax error in position 3");
    QTest::newRow("division by zero") << QStringLiteral("W/0") << QStringLiteral("Division by zero in position 2");
    QTest::newRow("division by zero expression")
        << QStringLiteral("5/(H-H)") << QStringLiteral("Division by zero in position 2");
    QTest::newRow("division overflow") << QStringLiteral("(-2147483647-1)/-1")
                                       << QStringLiteral("Integer overflow in position 16");
    QTest::newRow("number too large") << QStringLiteral("1+2147483648")
                                      << QStringLiteral("Number too large in position 3");
    QTest::newRow("huge number") << QString(400, QLatin1Char('9')) << QStringLiteral("Number too large in position 1");
    QTest::newRow("65 minus signs") << QString(65, QLatin1Char('-')) + "5"
                                    << QStringLiteral("Syntax error in position 65");
    QTest::newRow("runaway parentheses") << QString(10000, QLatin1Char('('))
                                         << QStringLiteral("Syntax error in position 65");
}

void TestRegionScript::expressionErrors()
{
    QFETCH(QString, argument);
    QFETCH(QString, message);
    try {
        EvalRegionExpression(argument, framedMetrics());
        QFAIL("no error raised");
    } catch (const ECannotTranslate& e) {
        QCOMPARE(e.message(), message);
    }
}

void TestRegionScript::scriptErrorsNameTheLine()
{
    QCOMPARE(translationError(lines({ "R0,0,10,10", "R0,0,(W,10" })),
        QStringLiteral("')' expected in position 3 in line 2"));
    QCOMPARE(translationError("R0,0,,10"), QStringLiteral("Syntax error in position 1 in line 1"));
    QCOMPARE(translationError(lines({ "O", "O", "Q1" })), QStringLiteral("Unknown command in line 3"));
    QCOMPARE(translationError("R0,0,W/0,1"), QStringLiteral("Division by zero in position 2 in line 1"));
}

void TestRegionScript::lowerCaseAndLineBreaks()
{
    // Commands and metric letters in lower case; w/2 is the left half.
    QCOMPARE(translate(lines({ "a", "r0,0,w/2,h" })), QRegion(0, 0, 304, 484));
    QCOMPARE(translate("R0,0,W,H"), QRegion(0, 0, 608, 484));
    // A script may end in CR LF; empty lines are skipped but counted.
    QCOMPARE(translate("R0,0,10,10\r\n"), QRegion(0, 0, 10, 10));
    QCOMPARE(translationError("R0,0,1,1\r\n\r\nQ"), QStringLiteral("Unknown command in line 3"));
}

void TestRegionScript::popupScripts()
{
    RegionScriptContext frameless;
    frameless.metrics.R = frameless.metrics.W = 600;
    frameless.metrics.B = frameless.metrics.H = 450;

    const QRegion body = translate(lines(popupBody), frameless);
    for (const QPoint in : { QPoint(300, 225), QPoint(300, 50), QPoint(50, 400), QPoint(550, 400), QPoint(300, 5) })
        QVERIFY2(body.contains(in), qPrintable(QStringLiteral("%1,%2").arg(in.x()).arg(in.y())));
    for (const QPoint out : { QPoint(5, 5), QPoint(595, 5), QPoint(5, 200), QPoint(300, 455) })
        QVERIFY2(!body.contains(out), qPrintable(QStringLiteral("%1,%2").arg(out.x()).arg(out.y())));

    const QRegion ring = translate(
        lines(QStringList { "{" } + popupBody + QStringList { "}", "X", "{" } + popupInner + QStringList { "}" }),
        frameless);
    for (const QPoint in : { QPoint(300, 445), QPoint(300, 4), QPoint(4, 400), QPoint(596, 400) })
        QVERIFY2(ring.contains(in), qPrintable(QStringLiteral("%1,%2").arg(in.x()).arg(in.y())));
    for (const QPoint out : { QPoint(300, 225), QPoint(300, 50), QPoint(50, 400), QPoint(5, 5) })
        QVERIFY2(!ring.contains(out), qPrintable(QStringLiteral("%1,%2").arg(out.x()).arg(out.y())));
    QVERIFY(ring.subtracted(body).isEmpty());
}

void TestRegionScript::placement()
{
    // ER1's shape is the box 5..15 x 5..15; ER2 reports a size of 20 x 30.
    QStringList looked;
    RegionScriptContext context = plainContext();
    context.findExternal = [&](const QString& name) -> std::optional<ExternalShape> {
        looked << name;
        ExternalShape shape;
        shape.region = QRegion(5, 5, 10, 10);
        if (name == "ER2") {
            shape.width = 20;
            shape.height = 30;
        } else if (name == "EMPTY") {
            shape.region.reset();
        } else if (name != "ER1") {
            return std::nullopt;
        }
        return shape;
    };
    QStringList missing;
    context.externalNotFound = [&](const QString& name) { missing << name; };

    QCOMPARE(translate("TLT100,200,ER1", context), QRegion(100, 200, 10, 10));
    QCOMPARE(translate("TCC100,200,ER1", context), QRegion(95, 195, 10, 10));
    QCOMPARE(translate("TRB100,200,ER1", context), QRegion(90, 190, 10, 10));
    QCOMPARE(translate("TLT100,200,ER2", context), QRegion(105, 205, 10, 10));
    QCOMPARE(translate("TCC100,200,ER2", context), QRegion(95, 190, 10, 10));
    // Names are upper-cased with the script; x and y are expressions.
    QCOMPARE(translate("tltW-8,H/2,er1", context), QRegion(600, 242, 10, 10));
    QCOMPARE(looked.last(), QStringLiteral("ER1"));

    // A missing region is told and produces nothing; translation goes on.
    QCOMPARE(translate(lines({ "TLT1,1,NOPE", "R0,0,5,5" }), context), QRegion(0, 0, 5, 5));
    QCOMPARE(missing, QStringList { "NOPE" });
    // No shape: no region, and the anchors are not looked at.
    QVERIFY(!TranslateRegionScript("TQQ1,1,EMPTY", context));
    // The name is the rest of the line, commas included.
    translate("TLT1,2,A,B", context);
    QCOMPARE(missing.last(), QStringLiteral("A,B"));
}

void TestRegionScript::placementFaults()
{
    RegionScriptContext context = plainContext();
    context.findExternal = [](const QString& name) -> std::optional<ExternalShape> {
        if (name != "ER1")
            return std::nullopt;
        return ExternalShape { QRegion(0, 0, 4, 4), -1, -1 };
    };
    int missing = 0;
    context.externalNotFound = [&](const QString&) { ++missing; };

    QCOMPARE(translationError("TQT1,1,ER1", context), QStringLiteral("Syntax error in line 1"));
    QCOMPARE(translationError("TLQ1,1,ER1", context), QStringLiteral("Syntax error in line 1"));
    // The anchors of a region that does not exist are never checked.
    QCOMPARE(translationError("TQQ1,1,NONE", context), QStringLiteral("(no error)"));
    QCOMPARE(missing, 1);
    QCOMPARE(translationError("TL", context), QStringLiteral("Syntax error in line 1"));
    QCOMPARE(translationError("TLT5", context), QStringLiteral("Invalid number of parameters in line 1"));
    QCOMPARE(translationError("TLT5,6", context), QStringLiteral("Invalid number of parameters in line 1"));
    // x and y are read before the name is looked up.
    QCOMPARE(translationError("TLT(,1,NONE", context), QStringLiteral("Syntax error in position 2 in line 1"));
    QCOMPARE(missing, 1);
}

void TestRegionScript::renameRewritesOnlyPlacements()
{
    const QString script = lines({ "TLT1,2,ER1", "tcc3,4,er10", "R0,0,W,H", "TRB5,6,er1" });
    QVERIFY(RegionScriptNames(script, "er1"));
    QVERIFY(RegionScriptNames(script, "ER10"));
    QVERIFY(!RegionScriptNames(script, "ER"));
    QVERIFY(!RegionScriptNames(script, "W")); // a letter of another command is no name
    QCOMPARE(RenameInRegionScript(script, "Er1", "Shape"),
        lines({ "TLT1,2,Shape", "tcc3,4,er10", "R0,0,W,H", "TRB5,6,Shape" }));
    // A new name holding the old one is written once per placement.
    QCOMPARE(RenameInRegionScript("TLT1,2,A", "A", "AA"), QStringLiteral("TLT1,2,AA"));
    QCOMPARE(RenameInRegionScript("R0,0,1,1\r\n", "R", "X"), QStringLiteral("R0,0,1,1\r\n"));
}

QTEST_GUILESS_MAIN(TestRegionScript)
#include "tst_regionscript.moc"
