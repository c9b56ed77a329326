#include "components/kiterrors.h"
#include "components/kitkb.h"
#include "components/kitstatusbar.h"
#include "components/kitutils.h"
#include "components/maxmin.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "testsupport.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <functional>

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);

// A shown window with an edit (the focus) above the bar. Colours and font are
// fixed and the text is not smoothed, so painted pixels can be compared.
struct Form {
    QWidget window;
    QLineEdit* edit;
    TKitStatusBar* bar;
    QMap<int, int> draws; // panel index -> paints since the last reset

    explicit Form(int pixelSize = 12)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        edit = new QLineEdit(&window);
        bar = new TKitStatusBar(&window);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixelSize);
        font.setStyleStrategy(QFont::NoAntialias);
        bar->setFont(font);
        bar->SetColor(clWhite);
        bar->SetFontColor(clBlack);
        bar->SetSizeGrip(false);
        bar->OnDrawPanel
            = [this](TKitStatusBar*, TKitStatusPanel* panel, QPainter&, const QRect&) { ++draws[panel->Index()]; };
        layout->addWidget(edit);
        layout->addStretch();
        layout->addWidget(bar);
        window.resize(400, 120);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        settle();
    }

    TKitStatusPanel* add(TKitStatusPanelType type, int width = 0)
    {
        TKitStatusPanel* p = bar->Panels()->Add();
        p->SetPanelType(type);
        if (width > 0)
            p->SetWidth(width);
        return p;
    }

    // Runs what is queued (paints, deferred redraws), then forgets the paints.
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        draws.clear();
    }

    QImage image() const { return bar->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRect inner(int index) const { return bar->GetPanelRect(index).adjusted(1, 1, -1, -1); }
};

// Pixels of image inside rect, by colour.
QMap<QRgb, int> colours(const QImage& image, const QRect& rect)
{
    QMap<QRgb, int> out;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++out[image.pixel(x, y) | 0xFF000000];
    return out;
}

bool near(const QColor& a, const QColor& b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// A keyboard monitor as an outside vendor might ship it: the message number
// it hands out is 0xC100 plus the window.
const char* const MonitorSource = R"(
#include <stdint.h>
int32_t RegisterKeyboardHook(uint32_t w) { return 0xC100 + (int32_t)(w & 0xFF); }
void DeregisterKeyboardHook(uint32_t w) { (void)w; }
)";

} // namespace

class TstStatusBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void timerIntervalFollowsTheTimedPanels();
    void dateAndTimeTextsFollowTheClock();
    void basePanelsOfTheWindows();
    void autoFitWidths();
    void panelsFillTheBarLeftToRight();
    void percentGaugeSplitsTextColours();
    void indeterminateGaugeWaitsForEnabledAndBounces();
    void gradientGaugeLeadsWithItsColour();
    void lockPanelsShowTheKeyState();
    void lockPanelRedrawsOncePerPress();
    void reactivationRefreshesAllLockPanelsOnNextKey();
    void monitorModeFallsBackWithoutLibrary();
    void monitorModeWithLibrary();
    void hintPanelFollowsStatusTips();
    void panelHintsAndTooltipRectangle();
    void clickRunsPanelThenBar();
    void ownerDrawLeavesPaintingToHandlers();
    void glyphBitmapLeavesOutItsCornerColour();
    void disabledPanelsShowOnlyBackground();
    void customColourGripOnlyWithSizeGrip();
    void assignCopiesAllButBorderAndClick();
    void displayNames();
    void pathEllipsis();
    void misuseRaisesTheKitsExceptions();
    void noExceptionLeavesPaintOrTimer();

private:
    QTemporaryDir m_dir;
};

void TstStatusBar::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TstStatusBar::cleanup()
{
    SetLockKeyStateReader(nullptr);
    SetKeyboardMonitorLibraryName(QStringLiteral("libKbMon.so"));
    Clock::reset();
}

void TstStatusBar::timerIntervalFollowsTheTimedPanels()
{
    Form f;
    TKitStatusPanels* panels = f.bar->Panels();
    QVERIFY(!panels->Timer());
    f.add(sptDate);
    QVERIFY(panels->Timer() && panels->Timer()->isActive());
    QCOMPARE(panels->Timer()->interval(), 60000);
    TKitStatusPanel* time = f.add(sptTime);
    QCOMPARE(panels->Timer()->interval(), 1000);
    delete time;
    QCOMPARE(panels->Timer()->interval(), 60000);

    TKitStatusPanel* gauge = f.add(sptGauge);
    QCOMPARE(panels->Timer()->interval(), 60000); // a percent gauge needs no timer
    gauge->GaugeAttrs().SetStyle(gsIndeterminate);
    QCOMPARE(panels->Timer()->interval(), 50);
    f.add(sptTimeDate);
    QCOMPARE(panels->Timer()->interval(), 50);
    // A later date panel never slows the timer down.
    f.add(sptDate);
    QCOMPARE(panels->Timer()->interval(), 50);
    gauge->SetPanelType(sptNormal);
    QCOMPARE(panels->Timer()->interval(), 1000);
    panels->Clear();
    QVERIFY(!panels->Timer());
}

void TstStatusBar::dateAndTimeTextsFollowTheClock()
{
    FixedClock clock(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 30)));
    Form f;
    TKitStatusPanel* date = f.add(sptDate);
    date->SetDateFormat(QStringLiteral("yyyy.mm.dd"));
    TKitStatusPanel* time = f.add(sptTime);
    time->SetTimeFormat(QStringLiteral("hh:mm"));
    TKitStatusPanel* both = f.add(sptDateTime);
    TKitStatusPanel* reverse = f.add(sptTimeDate);
    reverse->SetTimeFormat(QStringLiteral("hh:mm"));
    reverse->SetDateFormat(QStringLiteral("yyyy.mm.dd"));

    QCOMPARE(date->Text(), QStringLiteral("2024.02.29"));
    QCOMPARE(time->Text(), QStringLiteral("23:59"));
    // Empty formats: the short date and the long time.
    QCOMPARE(both->Text(), QStringLiteral("29.2.2024 23:59:30"));
    // "mm" after the hour is minutes, after that the month again.
    QCOMPARE(reverse->Text(), QStringLiteral("23:59 2024.02.29"));

    // Within the same day a date panel is left alone.
    date->SetText(QStringLiteral("x"));
    Clock::advance(20 * 1000);
    f.bar->Panels()->TimerTick();
    QCOMPARE(date->Text(), QStringLiteral("x"));
    QCOMPARE(both->Text(), QStringLiteral("29.2.2024 23:59:50"));

    // Across midnight into March of a leap year.
    Clock::advance(10 * 1000);
    f.bar->Panels()->TimerTick();
    QCOMPARE(date->Text(), QStringLiteral("2024.03.01"));
    QCOMPARE(time->Text(), QStringLiteral("00:00"));
    QCOMPARE(both->Text(), QStringLiteral("1.3.2024 0:00:00"));
    QCOMPARE(reverse->Text(), QStringLiteral("00:00 2024.03.01"));
    QVERIFY(f.bar->Panels()->Timer()->isActive());

    // A changed format shows at once.
    time->SetTimeFormat(QStringLiteral("hh:mm:ss"));
    QCOMPARE(time->Text(), QStringLiteral("00:00:00"));
}

void TstStatusBar::basePanelsOfTheWindows()
{
    // The three panels every base window adds, in its order of calls.
    FixedClock clock(QDateTime(QDate(2025, 10, 26), QTime(2, 30, 0)));
    Form f;
    TKitStatusPanels* panels = f.bar->Panels();
    TKitStatusPanel* date = panels->Add();
    date->SetPanelType(sptDate);
    date->SetDateFormat(QStringLiteral("yyyy.mm.dd"));
    date->SetAutoFit(true);
    date->SetAlignment(taCenter);
    TKitStatusPanel* time = panels->Add();
    time->SetPanelType(sptTime);
    time->SetTimeFormat(QStringLiteral("hh:mm"));
    time->SetAutoFit(true);
    time->SetAlignment(taCenter);
    TKitStatusPanel* hint = panels->Add();
    hint->SetPanelType(sptNormal);
    hint->SetAlignment(taLeftJustify);
    hint->SetText(QStringLiteral("Připomenutí uloženo"));

    const QFontMetrics fm(f.bar->font());
    QCOMPARE(date->Width(), fm.horizontalAdvance(QStringLiteral("2025.10.26")) + 6);
    QCOMPARE(time->Width(), fm.horizontalAdvance(QStringLiteral("02:30")) + 6);
    QCOMPARE(panels->Timer()->interval(), 1000);
    QCOMPARE(f.bar->Version(), QStringLiteral("TKitStatusBar v1.22"));
    QVERIFY(!f.bar->UseMonitorDLL());

    // The texts are painted: each panel holds black text pixels.
    f.settle();
    const QImage img = f.image();
    for (int i = 0; i < 3; ++i)
        QVERIFY2(colours(img, f.inner(i)).value(qRgb(0, 0, 0)) > 0, qPrintable(QString::number(i)));
}

void TstStatusBar::autoFitWidths()
{
    Form f;
    const QFontMetrics fm(f.bar->font());
    TKitStatusPanel* p = f.add(sptNormal, 80);
    QCOMPARE(p->Width(), 80);
    p->SetText(QStringLiteral("Hello"));
    p->SetAutoFit(true);
    QCOMPARE(p->Width(), fm.horizontalAdvance(QStringLiteral("Hello")) + 6);
    p->SetBorderWidth(3);
    QCOMPARE(p->Width(), fm.horizontalAdvance(QStringLiteral("Hello")) + 3 + 6);
    // A fitted panel keeps its width against a set one.
    const int fitted = p->Width();
    p->SetWidth(200);
    QCOMPARE(p->Width(), fitted);
    p->SetText(QStringLiteral("Hello, world"));
    QCOMPARE(p->Width(), fm.horizontalAdvance(QStringLiteral("Hello, world")) + 3 + 6);
    p->SetAutoFit(false);
    p->SetWidth(200);
    QCOMPARE(p->Width(), 200);

    QImage glyphImage(16, 10, QImage::Format_RGB32);
    glyphImage.fill(Qt::magenta);
    TKitStatusPanel* g = f.add(sptGlyph);
    QVERIFY(g->AutoFit());
    g->SetBorderWidth(2);
    g->SetGlyph(QPixmap::fromImage(glyphImage));
    QCOMPARE(g->Width(), 16 + 2 + 4);
    g->SetText(QStringLiteral("OK"));
    QCOMPARE(g->Width(), fm.horizontalAdvance(QStringLiteral("OK")) + 2 * 2 + 16 + 6);

    // A font change fits again.
    QFont bigger = f.bar->font();
    bigger.setPixelSize(24);
    f.bar->setFont(bigger);
    QCOMPARE(g->Width(), QFontMetrics(bigger).horizontalAdvance(QStringLiteral("OK")) + 2 * 2 + 16 + 6);
}

void TstStatusBar::panelsFillTheBarLeftToRight()
{
    Form f;
    f.add(sptNormal, 60);
    f.add(sptNormal, 40);
    TKitStatusPanel* last = f.add(sptNormal, 30);
    const int h = f.bar->height();
    QCOMPARE(f.bar->GetPanelRect(0), QRect(0, 2, 60, h - 2));
    QCOMPARE(f.bar->GetPanelRect(1), QRect(62, 2, 38, h - 2));
    // The last panel reaches the right edge whatever its width.
    QCOMPARE(f.bar->GetPanelRect(2), QRect(102, 2, f.bar->width() - 102, h - 2));
    QVERIFY(f.bar->GetPanelRect(3).isEmpty());
    QVERIFY(f.bar->GetPanelRect(-1).isEmpty());

    // ... or to the size grip.
    f.bar->SetSizeGrip(true);
    QCOMPARE(f.bar->GetPanelRect(2).right() + 1, f.bar->width() - 16);

    // Moving a panel moves its place.
    last->SetIndex(0);
    QCOMPARE(last->Index(), 0);
    QCOMPARE(f.bar->GetPanelRect(0).width(), 30);
    QCOMPARE(f.bar->Panels()->Items(1)->Width(), 60);
}

void TstStatusBar::percentGaugeSplitsTextColours()
{
    Form f(20);
    TKitStatusPanel* g = f.add(sptGauge, 106);
    f.add(sptNormal);
    QCOMPARE(g->Alignment(), taCenter);
    g->GaugeAttrs().SetColor(clBlue);
    g->GaugeAttrs().SetTextColor(clYellow);
    g->GaugeAttrs().SetPosition(40);
    f.settle();

    const QImage img = f.image();
    const QRect inner = f.inner(0);
    QCOMPARE(inner.width(), 104);
    const int split = inner.left() + MulDiv(104, 40, 100);
    QCOMPARE(split - inner.left(), 42);
    const QMap<QRgb, int> filled = colours(img, QRect(inner.left(), inner.top(), 42, inner.height()));
    const QMap<QRgb, int> rest = colours(img, QRect(split, inner.top(), inner.right() + 1 - split, inner.height()));
    QCOMPARE(QSet<QRgb>(filled.keyBegin(), filled.keyEnd()), (QSet<QRgb> { Blue.rgb(), Yellow.rgb() }));
    QCOMPARE(QSet<QRgb>(rest.keyBegin(), rest.keyEnd()), (QSet<QRgb> { White.rgb(), Black.rgb() }));

    // The text is "40%", centred over the whole panel.
    QImage ref(inner.size(), QImage::Format_RGB32);
    ref.fill(White);
    {
        QPainter p(&ref);
        p.setFont(f.bar->font());
        p.setPen(Black);
        p.drawText(QRect(QPoint(0, 0), inner.size()), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("40%"));
    }
    for (int y = 0; y < inner.height(); ++y) {
        for (int x = 0; x < inner.width(); ++x) {
            const QRgb got = img.pixel(inner.left() + x, inner.top() + y) | 0xFF000000;
            const bool text = got == Yellow.rgb() || got == Black.rgb();
            QVERIFY2(text == (ref.pixel(x, y) == Black.rgb()), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }
    }

    // Text of its own replaces the percentage; positions keep to 0 .. 100.
    g->GaugeAttrs().SetPosition(250);
    QCOMPARE(g->GaugeAttrs().Position(), 100);
    g->GaugeAttrs().SetPosition(-5);
    QCOMPARE(g->GaugeAttrs().Position(), 0);
}

void TstStatusBar::indeterminateGaugeWaitsForEnabledAndBounces()
{
    Form f;
    TKitStatusPanel* g = f.bar->Panels()->Add();
    g->SetWidth(106);
    g->GaugeAttrs().SetStyle(gsIndeterminate);
    g->GaugeAttrs().SetColor(clBlue);
    g->SetPanelType(sptGauge);
    f.add(sptNormal);
    QVERIFY(!g->Enabled());
    QVERIFY(!f.bar->Panels()->Timer());

    g->SetEnabled(true);
    QCOMPARE(f.bar->Panels()->Timer()->interval(), 50);
    f.settle();
    const int start = g->GaugePosition();
    for (int i = 1; i <= 3; ++i) {
        f.bar->Panels()->TimerTick();
        QCOMPARE(g->GaugePosition(), start + 4 * i);
    }
    // The ball sits in the middle band at its position.
    const QRect inner = f.inner(0);
    const int d = inner.height() - 2 * (inner.height() / 3);
    const QImage img = f.image();
    QCOMPARE(QColor(img.pixel(inner.left() + g->GaugePosition() + d / 2, inner.center().y())), Blue);
    QCOMPARE(QColor(img.pixel(inner.left() + g->GaugePosition() + d + 6, inner.center().y())), White);

    // It turns before it leaves the panel and comes back.
    int highest = g->GaugePosition();
    for (int i = 0; i < 100 && g->GaugePosition() >= highest; ++i) {
        highest = g->GaugePosition();
        f.bar->Panels()->TimerTick();
    }
    QVERIFY(g->GaugePosition() < highest);
    QVERIFY(highest + d + 1 >= inner.width());
    QVERIFY(highest < inner.width());

    // Speed keeps the direction; a speed below 1 counts as 1.
    g->GaugeAttrs().SetSpeed(0);
    QCOMPARE(g->GaugeAttrs().Speed(), 1);
    const int before = g->GaugePosition();
    f.bar->Panels()->TimerTick();
    QCOMPARE(g->GaugePosition(), before - 1);

    // Disabling stops and rewinds it.
    g->SetEnabled(false);
    QCOMPARE(g->GaugePosition(), 0);
    QVERIFY(!f.bar->Panels()->Timer());
}

void TstStatusBar::gradientGaugeLeadsWithItsColour()
{
    Form f;
    TKitStatusPanel* g = f.add(sptGauge, 206);
    f.add(sptNormal);
    g->GaugeAttrs().SetColor(clBlue);
    g->GaugeAttrs().SetStyle(gsIndeterminate2);
    QCOMPARE(f.bar->Panels()->Timer()->interval(), 50);
    f.settle();
    for (int i = 0; i < 5; ++i)
        f.bar->Panels()->TimerTick();
    const QRect inner = f.inner(0);
    const int y = inner.center().y();
    QImage img = f.image();
    int x = inner.left() + g->GaugePosition();
    // Moving right: the bar's colour trails, the gauge's leads.
    QVERIFY(near(img.pixel(x, y), White, 12));
    QVERIFY(near(img.pixel(x + 99, y), Blue, 12));
    QVERIFY(near(img.pixel(x + 50, y), QColor(127, 127, 255), 12));
    QCOMPARE(QColor(img.pixel(x + 101, y)), White);

    int highest = g->GaugePosition();
    for (int i = 0; i < 200 && g->GaugePosition() >= highest; ++i) {
        highest = g->GaugePosition();
        f.bar->Panels()->TimerTick();
    }
    QVERIFY(g->GaugePosition() < highest);
    f.bar->Panels()->TimerTick();
    // Moving left it is mirrored.
    img = f.image();
    x = inner.left() + g->GaugePosition();
    QVERIFY(near(img.pixel(x, y), Blue, 12));
    // Nothing is drawn past the panel.
    QCOMPARE(QColor(img.pixel(f.bar->GetPanelRect(0).right() + 1, y)), White);
}

void TstStatusBar::lockPanelsShowTheKeyState()
{
    Form f;
    bool capsOn = true;
    SetLockKeyStateReader([&](int vk) { return vk == VK_CAPITAL && capsOn; });
    TKitStatusPanel* caps = f.add(sptCapsLock);
    TKitStatusPanel* num = f.add(sptNumLock);
    f.add(sptScrollLock);
    QCOMPARE(caps->Text(), QStringLiteral(" CAPS "));
    QCOMPARE(num->Text(), QStringLiteral(" NUM "));
    QCOMPARE(f.bar->Panels()->Items(2)->Text(), QStringLiteral(" SCROLL "));
    QVERIFY(caps->AutoFit());
    QCOMPARE(caps->Width(), QFontMetrics(f.bar->font()).horizontalAdvance(QStringLiteral(" CAPS ")) + 6);
    f.settle();

    const QRgb gray = ColorToQColor(clGrayText).rgb();
    QImage img = f.image();
    QVERIFY(colours(img, f.inner(0)).value(Black.rgb()) > 0);
    QCOMPARE(colours(img, f.inner(0)).value(gray), 0);
    QVERIFY(colours(img, f.inner(1)).value(gray) > 0);
    QCOMPARE(colours(img, f.inner(1)).value(Black.rgb()), 0);

    capsOn = false;
    QTest::keyClick(f.edit, Qt::Key_CapsLock);
    f.settle();
    img = f.image();
    QCOMPARE(colours(img, f.inner(0)).value(Black.rgb()), 0);
    QVERIFY(colours(img, f.inner(0)).value(gray) > 0);
}

void TstStatusBar::lockPanelRedrawsOncePerPress()
{
    Form f;
    f.add(sptCapsLock);
    f.add(sptNumLock);
    f.add(sptCapsLock);
    f.add(sptNormal);
    f.settle();

    QTest::keyPress(f.edit, Qt::Key_CapsLock);
    QCoreApplication::processEvents();
    QCOMPARE(f.draws, (QMap<int, int> { { 0, 1 }, { 2, 1 } }));
    f.draws.clear();

    // Held down: the repeats and the release redraw nothing.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(f.edit, &repeat);
    QApplication::sendEvent(f.edit, &repeat);
    QTest::keyRelease(f.edit, Qt::Key_CapsLock);
    QCoreApplication::processEvents();
    QVERIFY(f.draws.isEmpty());

    QTest::keyClick(f.edit, Qt::Key_NumLock);
    QCoreApplication::processEvents();
    QCOMPARE(f.draws, (QMap<int, int> { { 1, 1 } }));
    f.draws.clear();
    QTest::keyClick(f.edit, Qt::Key_A);
    QCoreApplication::processEvents();
    QVERIFY(f.draws.isEmpty());
}

void TstStatusBar::reactivationRefreshesAllLockPanelsOnNextKey()
{
    Form f;
    Form other;
    f.add(sptCapsLock);
    f.add(sptNormal);
    f.add(sptScrollLock);
    other.add(sptNumLock);
    f.settle();
    other.settle();

    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QCoreApplication::processEvents();
    // Each bar redraws its own lock panels on the change itself ...
    QCOMPARE(f.draws, (QMap<int, int> { { 0, 1 }, { 2, 1 } }));
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    f.settle();
    other.settle();

    // ... and the first key of any kind redraws every lock panel once more.
    QTest::keyClick(f.edit, Qt::Key_A);
    QCoreApplication::processEvents();
    QCOMPARE(f.draws, (QMap<int, int> { { 0, 1 }, { 2, 1 } }));
    QCOMPARE(other.draws, (QMap<int, int> { { 0, 1 } }));
    f.draws.clear();
    QTest::keyClick(f.edit, Qt::Key_A);
    QCoreApplication::processEvents();
    QVERIFY(f.draws.isEmpty());
}

void TstStatusBar::monitorModeFallsBackWithoutLibrary()
{
    SetKeyboardMonitorLibraryName(m_dir.filePath(QStringLiteral("missing/libKbMon.so")));
    Form f;
    f.add(sptCapsLock);
    f.settle();
    f.bar->SetUseMonitorDLL(true);
    QVERIFY(!f.bar->UseMonitorDLL());
    QVERIFY(!KeyboardMonitorLoaded());
    QCOMPARE(f.bar->MonitorMessage(), 0);
    // The own key events still serve the panel.
    f.settle();
    QTest::keyPress(f.edit, Qt::Key_CapsLock);
    QCoreApplication::processEvents();
    QCOMPARE(f.draws.value(0), 1);
    QTest::keyRelease(f.edit, Qt::Key_CapsLock);
}

void TstStatusBar::monitorModeWithLibrary()
{
    const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
    if (cc.isEmpty())
        QSKIP("no C compiler to build the test monitor with");
    const QString source = m_dir.filePath(QStringLiteral("kbmon.c"));
    writeFileBytes(source, MonitorSource);
    const QString library = m_dir.filePath(QStringLiteral("libKbMon.so"));
    QProcess build;
    build.start(cc, { QStringLiteral("-shared"), QStringLiteral("-fPIC"), QStringLiteral("-o"), library, source });
    QVERIFY(build.waitForFinished(60000) && build.exitCode() == 0);
    SetKeyboardMonitorLibraryName(library);

    Form f;
    SetLockKeyStateReader([](int vk) { return vk == VK_NUMLOCK; });
    TKitStatusPanel* caps = f.add(sptCapsLock);
    TKitStatusPanel* num = f.add(sptNumLock);
    f.bar->SetUseMonitorDLL(true);
    QVERIFY(f.bar->UseMonitorDLL());
    QVERIFY(KeyboardMonitorLoaded());
    const qint32 message = 0xC100 + qint32(f.bar->effectiveWinId() & 0xFF);
    QCOMPARE(f.bar->MonitorMessage(), message);
    // Joining reads the key state once.
    QVERIFY(num->LockState());
    QVERIFY(!caps->LockState());
    f.settle();

    // Own key events no longer count; the monitor's message does.
    QTest::keyPress(f.edit, Qt::Key_CapsLock);
    QCoreApplication::processEvents();
    QVERIFY(f.draws.isEmpty());
    QTest::keyRelease(f.edit, Qt::Key_CapsLock);
    QVERIFY(!f.bar->HandleMonitorMessage(message + 1, VK_CAPITAL, 1));
    QVERIFY(f.bar->HandleMonitorMessage(message, 0x100 | VK_CAPITAL, 1));
    QVERIFY(caps->LockState());
    QCOMPARE(f.draws, (QMap<int, int> { { 0, 1 } }));
    QVERIFY(f.bar->HandleMonitorMessage(message, VK_NUMLOCK, 0));
    QVERIFY(!num->LockState());
    f.settle();
    QImage img = f.image();
    QVERIFY(colours(img, f.inner(0)).value(Black.rgb()) > 0);
    QCOMPARE(colours(img, f.inner(1)).value(Black.rgb()), 0);

    // A second bar in monitor mode keeps the library when the first leaves.
    Form second;
    second.add(sptScrollLock);
    second.bar->SetUseMonitorDLL(true);
    QVERIFY(second.bar->UseMonitorDLL());
    f.bar->Panels()->Clear();
    QVERIFY(KeyboardMonitorLoaded());
    second.bar->Panels()->Clear();
    QVERIFY(!KeyboardMonitorLoaded());
}

void TstStatusBar::hintPanelFollowsStatusTips()
{
    Form f;
    f.add(sptDate);
    f.add(sptTime);
    TKitStatusPanel* hint = f.add(sptNormal);
    f.bar->SetHintPanel(2);
    f.edit->setStatusTip(QStringLiteral("zobrazí informace o programu"));

    // The tip of the control the mouse enters, then nothing when it leaves.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), f.edit->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(f.edit, &enter);
    QCOMPARE(hint->Text(), QStringLiteral("zobrazí informace o programu"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.edit, &leave);
    QCOMPARE(hint->Text(), QString());

    QStatusTipEvent tip(QStringLiteral("Uloží připomenutí"));
    QApplication::sendEvent(&f.window, &tip);
    QCOMPARE(hint->Text(), QStringLiteral("Uloží připomenutí"));

    // A bar moved to another window follows that window's tips.
    QWidget other;
    f.bar->setParent(&other);
    QStatusTipEvent fromOld(QStringLiteral("old"));
    QApplication::sendEvent(&f.window, &fromOld);
    QCOMPARE(hint->Text(), QStringLiteral("Uloží připomenutí"));
    QStatusTipEvent fromNew(QStringLiteral("new"));
    QApplication::sendEvent(&other, &fromNew);
    QCOMPARE(hint->Text(), QStringLiteral("new"));
    f.bar->setParent(&f.window);

    // A hint panel beyond the panels is ignored.
    f.bar->SetHintPanel(7);
    QApplication::sendEvent(&f.window, &tip);
    QCOMPARE(hint->Text(), QStringLiteral("new"));
}

void TstStatusBar::panelHintsAndTooltipRectangle()
{
    Form f;
    TKitStatusPanel* a = f.add(sptNormal, 60);
    f.add(sptNormal, 60);
    f.add(sptNormal, 60);
    TKitStatusPanel* d = f.add(sptEllipsisText, 60);
    d->SetText(QStringLiteral("C:\\Korvel\\data\\korvel.da1"));
    a->SetHint(QStringLiteral("first"));
    QCOMPARE(d->Hint(), d->Text()); // the ellipsis panel's hint "..." stands for its text
    d->OnHintText = [](TKitStatusBar*, TKitStatusPanel*, QString& hint) { hint.prepend(QStringLiteral("> ")); };
    QCOMPARE(d->Hint(), QStringLiteral("> C:\\Korvel\\data\\korvel.da1"));
    f.bar->setToolTip(QStringLiteral("bar"));

    auto tipAt = [&](int x) {
        const QPoint pos(x, f.bar->height() / 2);
        QHelpEvent help(QEvent::ToolTip, pos, f.bar->mapToGlobal(pos));
        QApplication::sendEvent(f.bar, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    auto moveTo = [&](int x) {
        const QPointF pos(x, f.bar->height() / 2);
        QMouseEvent move(QEvent::MouseMove, pos, f.bar->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.bar, &move);
    };

    QCOMPARE(tipAt(30), QStringLiteral("first"));
    QCOMPARE(tipAt(250), QStringLiteral("> C:\\Korvel\\data\\korvel.da1"));
    // Over a panel without a hint the bar's own shows, until the mouse
    // reaches a panel that has one.
    QCOMPARE(tipAt(100), QStringLiteral("bar"));
    moveTo(130);
    moveTo(170);
    QVERIFY(QToolTip::isVisible());
    moveTo(200);
    QTRY_VERIFY(!QToolTip::isVisible());
    QCOMPARE(tipAt(160), QStringLiteral("bar"));
    moveTo(50);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TstStatusBar::clickRunsPanelThenBar()
{
    Form f;
    QStringList log;
    for (int i = 0; i < 3; ++i) {
        TKitStatusPanel* p = f.add(sptNormal, 50);
        p->OnClick = [&log, i, p](QObject* sender) {
            QCOMPARE(sender, p);
            log << QStringLiteral("panel%1").arg(i);
        };
    }
    f.bar->OnClick = [&](QObject* sender) {
        QCOMPARE(sender, f.bar);
        log << QStringLiteral("bar");
    };
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, QPoint(75, f.bar->height() / 2));
    QCOMPARE(log, (QStringList { "panel1", "bar" }));
    log.clear();
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, QPoint(51, f.bar->height() / 2)); // the gap
    QCOMPARE(log, QStringList { "bar" });
    log.clear();
    QTest::mouseClick(f.bar, Qt::RightButton, {}, QPoint(75, f.bar->height() / 2));
    QVERIFY(log.isEmpty());
}

void TstStatusBar::ownerDrawLeavesPaintingToHandlers()
{
    Form f;
    TKitStatusPanel* normal = f.add(sptNormal, 60);
    TKitStatusPanel* owner = f.add(sptOwnerDraw, 60);
    f.add(sptNormal);
    f.bar->OnDrawPanel
        = [](TKitStatusBar*, TKitStatusPanel*, QPainter& canvas, const QRect& rect) { canvas.fillRect(rect, Qt::red); };
    f.bar->update();
    f.settle();
    QImage img = f.image();
    // The bar's handler paints first, the panel's own painting covers it.
    QCOMPARE(QColor(img.pixel(f.inner(0).center())), White);
    QCOMPARE(QColor(img.pixel(f.inner(1).center())), QColor(Qt::red));

    QRect got;
    owner->OnDrawPanel = [&](TKitStatusBar* bar, TKitStatusPanel* panel, QPainter& canvas, const QRect& rect) {
        QCOMPARE(bar, f.bar);
        QCOMPARE(panel, owner);
        got = rect;
        canvas.fillRect(rect, Qt::green);
    };
    owner->Redraw();
    img = f.image();
    QCOMPARE(got, f.bar->GetPanelRect(1));
    QCOMPARE(QColor(img.pixel(f.inner(1).center())), QColor(Qt::green));
    // The panel's handler is for owner-draw panels only.
    normal->OnDrawPanel = owner->OnDrawPanel;
    got = QRect();
    normal->Redraw();
    QVERIFY(got.isNull());
}

void TstStatusBar::glyphBitmapLeavesOutItsCornerColour()
{
    Form f;
    QImage glyph(8, 8, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            glyph.setPixel(x, y, qRgb(0, 0, 255));
    TKitStatusPanel* p = f.add(sptGlyph);
    p->SetGlyph(QPixmap::fromImage(glyph));
    f.add(sptNormal);
    QCOMPARE(p->Width(), 8 + 4);
    f.settle();
    const QMap<QRgb, int> seen = colours(f.image(), f.inner(0));
    QCOMPARE(seen.value(qRgb(255, 0, 255)), 0);
    QCOMPARE(seen.value(Blue.rgb()), 16);
}

void TstStatusBar::disabledPanelsShowOnlyBackground()
{
    FixedClock clock(QDateTime(QDate(2024, 5, 1), QTime(8, 0)));
    Form f;
    TKitStatusPanel* text = f.add(sptNormal, 100);
    text->SetText(QStringLiteral("Text"));
    f.add(sptTime);
    f.settle();
    QVERIFY(colours(f.image(), f.inner(0)).value(Black.rgb()) > 0);
    text->SetEnabled(false);
    QCOMPARE(colours(f.image(), f.inner(0)).keys(), QList<QRgb> { White.rgb() });

    // A disabled bar disables every panel: its timer goes and comes back.
    text->SetEnabled(true);
    QVERIFY(f.bar->Panels()->Timer());
    f.bar->setEnabled(false);
    QVERIFY(!text->Enabled());
    QVERIFY(!f.bar->Panels()->Timer());
    f.bar->setEnabled(true);
    QVERIFY(f.bar->Panels()->Timer());
    QCOMPARE(f.bar->Panels()->Timer()->interval(), 1000);
}

void TstStatusBar::customColourGripOnlyWithSizeGrip()
{
    Form f;
    f.add(sptNormal)->SetBevel(pbNone);
    f.bar->SetColor(RGB(0, 128, 0));
    const QRect corner(f.bar->width() - 16, 2, 16, f.bar->height() - 2);
    const QRgb shadow = ColorToQColor(clBtnShadow).rgb();
    f.settle();
    QCOMPARE(colours(f.image(), corner).value(shadow), 0);
    f.bar->SetSizeGrip(true);
    f.settle();
    QVERIFY(colours(f.image(), corner).value(shadow) > 0);
}

void TstStatusBar::assignCopiesAllButBorderAndClick()
{
    Form f;
    TKitStatusPanel* src = f.add(sptNormal, 70);
    src->SetText(QStringLiteral("C:\\data\\korvel.da1"));
    src->SetAlignment(taRightJustify);
    src->SetBevel(pbRaised);
    src->SetBorderWidth(4);
    src->SetDateFormat(QStringLiteral("d.m."));
    src->GaugeAttrs().SetPosition(30);
    src->OnClick = [](QObject*) {};
    src->OnHintText = [](TKitStatusBar*, TKitStatusPanel*, QString&) {};
    src->SetPanelType(sptEllipsisPath);
    QCOMPARE(src->Hint(), src->Text());

    TKitStatusPanel* copy = f.add(sptNormal);
    copy->Assign(*src);
    QCOMPARE(copy->PanelType(), sptEllipsisPath);
    QCOMPARE(copy->Text(), src->Text());
    QCOMPARE(copy->Alignment(), taRightJustify);
    QCOMPARE(copy->Bevel(), pbRaised);
    QCOMPARE(copy->Width(), 70);
    QCOMPARE(copy->DateFormat(), QStringLiteral("d.m."));
    QCOMPARE(copy->GaugeAttrs().Position(), 30);
    QVERIFY(copy->OnHintText);
    QCOMPARE(copy->BorderWidth(), 0);
    QVERIFY(!copy->OnClick);
    // The hint is copied as it reads: the whole text, which then stays.
    src->SetText(QStringLiteral("other"));
    QCOMPARE(copy->Hint(), QStringLiteral("C:\\data\\korvel.da1"));

    // The whole collection.
    TKitStatusBar second;
    second.SetPanels(*f.bar->Panels());
    QCOMPARE(second.Panels()->Count(), 2);
    QCOMPARE(second.Panels()->Items(1)->Text(), QStringLiteral("C:\\data\\korvel.da1"));
    QCOMPARE(second.Panels()->Items(1)->StatusBar(), &second);
}

void TstStatusBar::displayNames()
{
    Form f;
    TKitStatusPanel* p = f.add(sptNormal);
    QCOMPARE(p->DisplayName(), QStringLiteral("TKitStatusPanel"));
    p->SetText(QStringLiteral("Stav"));
    QCOMPARE(p->DisplayName(), QStringLiteral("Stav"));
    p->SetPanelType(sptEllipsisText);
    QCOMPARE(p->DisplayName(), QStringLiteral("Stav"));
    p->SetPanelType(sptTime);
    QCOMPARE(p->DisplayName(), QStringLiteral("sptTime"));
    p->SetPanelType(sptOwnerDraw);
    QCOMPARE(p->DisplayName(), QStringLiteral("sptOwnerDraw"));
    QCOMPARE(PanelTypeName(sptTimeDate), QStringLiteral("sptTimeDate"));
}

void TstStatusBar::pathEllipsis()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    const QString path = QStringLiteral("C:\\Program Files\\Korvel\\data\\korvel.da1");
    QCOMPARE(PathEllipsisText(path, fm, 1000), path);

    const int width = fm.horizontalAdvance(QStringLiteral("C:\\Progr...\\korvel.da1"));
    const QString cut = PathEllipsisText(path, fm, width);
    QVERIFY(cut.endsWith(QStringLiteral("...\\korvel.da1")));
    QVERIFY(path.startsWith(cut.left(cut.indexOf(QStringLiteral("...")))));
    QVERIFY(fm.horizontalAdvance(cut) <= width);
    QVERIFY(cut.indexOf(QStringLiteral("...")) >= 5);

    // Forward slashes count as well; no room for the name cuts its end.
    QVERIFY(PathEllipsisText(QStringLiteral("/home/user/korvel/korvel.ini"), fm, width)
                .endsWith(QStringLiteral("/korvel.ini")));
    const QString tiny = PathEllipsisText(path, fm, fm.horizontalAdvance(QStringLiteral("...\\kor")));
    QVERIFY(tiny.startsWith(QStringLiteral("...\\")));
    QVERIFY(tiny.endsWith(QStringLiteral("...")));
    QCOMPARE(PathEllipsisText(QStringLiteral("korvel.da1 without folders"), fm, width),
        FitTextWithEllipsis(QStringLiteral("korvel.da1 without folders"), fm, width));
}

void TstStatusBar::misuseRaisesTheKitsExceptions()
{
    Form f;
    for (int i = 0; i < 3; ++i)
        f.add(sptNormal);
    auto messageOf = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const EListError& e) {
            return QStringLiteral("EListError: ") + e.message();
        } catch (const EKitStatusPanelOwner& e) {
            return QStringLiteral("Owner: ") + e.message();
        }
        return QString();
    };
    QCOMPARE(messageOf([&] { f.bar->RedrawPanel(5); }), QStringLiteral("EListError: List index out of bounds (5)"));
    QCOMPARE(messageOf([&] { f.bar->RedrawPanel(-1); }), QStringLiteral("EListError: List index out of bounds (-1)"));
    QCOMPARE(messageOf([&] { f.bar->RedrawPanel(3); }), QStringLiteral("EListError: List index out of bounds (3)"));
    QCOMPARE(messageOf([&] { f.bar->Panels()->Items(3); }), QStringLiteral("EListError: List index out of bounds (3)"));
    QCOMPARE(messageOf([&] { f.bar->Panels()->Items(0)->SetIndex(7); }),
        QStringLiteral("EListError: List index out of bounds (7)"));
    QCOMPARE(f.bar->Panels()->Items(0)->Index(), 0);
    QObject notACollection;
    QCOMPARE(messageOf([&] { new TKitStatusPanel(&notACollection); }),
        QStringLiteral("Owner: TKitStatusPanel owner must be TKitStatusPanesls"));
    QCOMPARE(messageOf([&] { new TKitStatusPanel(nullptr); }),
        QStringLiteral("Owner: TKitStatusPanel owner must be TKitStatusPanesls"));
    QVERIFY(notACollection.children().isEmpty());
    QCOMPARE(f.bar->Panels()->Count(), 3);
}

void TstStatusBar::noExceptionLeavesPaintOrTimer()
{
    ScriptedDialogs dialogs;
    FixedClock clock(QDateTime(QDate(2024, 5, 2), QTime(9, 59, 0)));
    Form f;
    TKitStatusPanel* time = f.add(sptTime, 80);
    time->SetTimeFormat(QStringLiteral("hh:mm"));
    f.add(sptNormal);
    f.settle();
    int failures = 0;
    f.bar->OnDrawPanel = [&](TKitStatusBar*, TKitStatusPanel* panel, QPainter&, const QRect&) {
        if (panel == time) {
            ++failures;
            throw KorvelError(QStringLiteral("Chyba kreslení"));
        }
    };

    // The timer repaints the changed time; the error comes out as a message
    // after the paint, and the timer stays armed.
    Clock::advance(60 * 1000);
    f.bar->Panels()->TimerTick();
    QCOMPARE(time->Text(), QStringLiteral("10:00"));
    QVERIFY(failures >= 1);
    QVERIFY(f.bar->Panels()->Timer()->isActive());
    QTRY_VERIFY(!Dialogs::shown().isEmpty());
    QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Chyba kreslení"));
    QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);

    // A grab paints the same way; the other panels are painted regardless.
    f.bar->Panels()->Items(1)->SetText(QStringLiteral("Stav"));
    const qsizetype before = Dialogs::shown().size();
    const QImage img = f.image();
    QVERIFY(colours(img, f.inner(1)).value(Black.rgb()) > 0);
    QTRY_VERIFY(Dialogs::shown().size() > before);

    // An exception from a click handler is shown too.
    f.bar->OnClick = [](QObject*) { throw KorvelError(QStringLiteral("Chyba kliknutí")); };
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, QPoint(10, f.bar->height() / 2));
    QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Chyba kliknutí"));
}

QTEST_MAIN(TstStatusBar)
#include "tst_statusbar.moc"
