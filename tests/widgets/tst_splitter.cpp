#include "components/appevents.h"
#include "components/kitalign.h"
#include "components/kitsplit.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "testsupport.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QRubberBand>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

bool hintsOn()
{
    return ApplicationEvents::instance().ShowHint();
}

QWidget* panel(QWidget* parent, const QRect& bounds, TAlign align)
{
    auto* w = new QWidget(parent);
    w->setGeometry(bounds);
    SetAlign(w, align);
    return w;
}

void showActive(QWidget& form)
{
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// The list window's arrangement, 400 x 300: a list filling the client area,
// an info strip at the bottom, the warned-about panel above it and the
// splitter between the list and that panel.
struct ListForm {
    QWidget window;
    QWidget* list;
    QWidget* info;
    QWidget* warned;
    TKitSplitter* splitter;
    QLineEdit* edit1;
    QLineEdit* edit2;

    explicit ListForm(int warnedHeight = 100)
    {
        window.resize(400, 300);
        info = panel(&window, QRect(0, 280, 400, 20), alBottom);
        warned = panel(&window, QRect(0, 280 - warnedHeight, 400, warnedHeight), alBottom);
        list = panel(&window, QRect(0, 0, 400, 100), alClient);
        splitter = new TKitSplitter(&window);
        splitter->setGeometry(0, 280 - warnedHeight - 20, 400, 10);
        splitter->SetAlign(alBottom);
        // Something to take the focus, away from the drag.
        edit1 = new QLineEdit(list);
        edit2 = new QLineEdit(list);
        edit2->move(0, 40);
        showActive(window);
    }

    QRubberBand* line() const
    {
        for (auto* band : window.findChildren<QRubberBand*>())
            if (!band->isHidden())
                return band;
        return nullptr;
    }
};

void press(TKitSplitter* s, QPoint at)
{
    QTest::mousePress(s, Qt::LeftButton, {}, at);
}

void drag(TKitSplitter* s, QPoint from, QPoint to)
{
    QTest::mousePress(s, Qt::LeftButton, {}, from);
    QTest::mouseMove(s, to);
    QTest::mouseRelease(s, Qt::LeftButton, {}, to);
}

} // namespace

class TstSplitter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void alignStacksControlsByPosition();
    void alignFollowsChangesUnlessSuspended();
    void shownHiddenControlLandsByItsPlace();

    void alignFindsTheNeighbourAndThinsTheSplitter();
    void neighboursRefuseFormsAndForgetDestroyedControls();
    void sizingModeFollowsNeighbours_data();
    void sizingModeFollowsNeighbours();
    void dragResizesTheBottomNeighbours();
    void horizontalSplittersResizeWidths();
    void topNeighbourGrowsDownEvenWithBottomSecond();
    void lineStopsAtTheLimitsWithNoDrop();
    void extentStaysWithinTheParent();
    void refusedMoveHoldsLineAndReleaseAppliesIt();
    void escapeCancelsAndNoShortcutSeesIt();
    void everyLostDragGivesHintsBack_data();
    void everyLostDragGivesHintsBack();
    void hintsComeBackAsTheyWere();
    void panelEdges();
};

void TstSplitter::initTestCase()
{
    Dialogs::setScripted(true);
}

void TstSplitter::init()
{
    Dialogs::clearScript();
    ApplicationEvents::instance().SetShowHint(true);
}

void TstSplitter::alignStacksControlsByPosition()
{
    QWidget parent;
    parent.resize(300, 200);
    // Created in an order unlike their places, as a form is built: the stack
    // follows the places.
    DisableAlign(&parent);
    QWidget* top2 = panel(&parent, QRect(0, 50, 10, 15), alTop);
    QWidget* top1 = panel(&parent, QRect(0, 10, 10, 20), alTop);
    QWidget* bottom1 = panel(&parent, QRect(0, 190, 10, 10), alBottom);
    QWidget* bottom2 = panel(&parent, QRect(0, 100, 10, 30), alBottom);
    QWidget* left = panel(&parent, QRect(0, 0, 40, 10), alLeft);
    QWidget* right1 = panel(&parent, QRect(290, 0, 25, 10), alRight);
    QWidget* right2 = panel(&parent, QRect(100, 0, 35, 10), alRight);
    QWidget* client = panel(&parent, QRect(0, 0, 1, 1), alClient);
    QWidget* loose = new QWidget(&parent);
    loose->setGeometry(5, 6, 7, 8);
    EnableAlign(&parent);

    QCOMPARE(top1->geometry(), QRect(0, 0, 300, 20));
    QCOMPARE(top2->geometry(), QRect(0, 20, 300, 15));
    QCOMPARE(bottom1->geometry(), QRect(0, 190, 300, 10));
    QCOMPARE(bottom2->geometry(), QRect(0, 160, 300, 30));
    QCOMPARE(left->geometry(), QRect(0, 35, 40, 125));
    QCOMPARE(right1->geometry(), QRect(275, 35, 25, 125));
    QCOMPARE(right2->geometry(), QRect(240, 35, 35, 125));
    QCOMPARE(client->geometry(), QRect(40, 35, 200, 125));
    QCOMPARE(loose->geometry(), QRect(5, 6, 7, 8));
}

void TstSplitter::alignFollowsChangesUnlessSuspended()
{
    QWidget parent;
    parent.resize(200, 200);
    QWidget* top = panel(&parent, QRect(0, 0, 10, 30), alTop);
    QWidget* bottom = panel(&parent, QRect(0, 150, 10, 40), alBottom);
    QWidget* client = panel(&parent, QRect(), alClient);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QCOMPARE(client->geometry(), QRect(0, 30, 200, 130));

    top->resize(top->width(), 50);
    QCOMPARE(client->geometry(), QRect(0, 50, 200, 110));
    parent.resize(300, 250);
    QCOMPARE(bottom->geometry(), QRect(0, 210, 300, 40));
    QCOMPARE(client->geometry(), QRect(0, 50, 300, 160));
    top->hide();
    QCOMPARE(client->geometry(), QRect(0, 0, 300, 210));
    top->show();
    QCOMPARE(client->geometry(), QRect(0, 50, 300, 160));

    // Suspended twice: only the last enable realigns.
    DisableAlign(&parent);
    {
        const AlignSuspension inner(&parent);
        top->resize(300, 30);
        parent.resize(320, 250);
    }
    QCOMPARE(client->geometry(), QRect(0, 50, 300, 160));
    EnableAlign(&parent);
    QCOMPARE(client->geometry(), QRect(0, 30, 320, 180));
    EnableAlign(&parent); // one too many does no harm

    // No longer aligned: keeps its bounds and takes no room.
    SetAlign(bottom, alNone);
    QCOMPARE(client->geometry(), QRect(0, 30, 320, 220));
    QCOMPARE(bottom->geometry(), QRect(0, 210, 320, 40));
    delete top;
    QCOMPARE(client->geometry(), QRect(0, 0, 320, 250));

    // Off screen Qt reports nothing; the owner asks for the realign.
    parent.hide();
    panel(&parent, QRect(0, 0, 1, 20), alTop)->resize(1, 25);
    AlignControls(&parent);
    QCOMPARE(client->geometry(), QRect(0, 25, 320, 225));
}

void TstSplitter::shownHiddenControlLandsByItsPlace()
{
    // The list window shows its warned panel, then puts the splitter at the
    // list's top and shows it: it must land between the list and the panel.
    ListForm f;
    f.warned->hide();
    f.splitter->hide();
    QCOMPARE(f.list->geometry(), QRect(0, 0, 400, 280));

    f.warned->show();
    f.splitter->move(0, f.list->y());
    f.splitter->show();
    QCOMPARE(f.info->geometry(), QRect(0, 280, 400, 20));
    QCOMPARE(f.warned->geometry(), QRect(0, 180, 400, 100));
    QCOMPARE(f.splitter->geometry(), QRect(0, 177, 400, 3));
    QCOMPARE(f.list->geometry(), QRect(0, 0, 400, 177));

    // Moved below the panel it goes below it.
    f.splitter->move(0, 279);
    QCOMPARE(f.splitter->geometry(), QRect(0, 277, 400, 3));
    QCOMPARE(f.warned->geometry(), QRect(0, 177, 400, 100));
}

void TstSplitter::alignFindsTheNeighbourAndThinsTheSplitter()
{
    ListForm f;
    QCOMPARE(f.splitter->ControlFirst(), f.warned);
    QCOMPARE(f.splitter->ControlSecond(), nullptr);
    QCOMPARE(f.splitter->geometry(), QRect(0, 177, 400, 3));
    QCOMPARE(f.splitter->SizingMode(), 1);
    QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);

    QWidget parent;
    parent.resize(200, 100);
    QWidget* left = panel(&parent, QRect(0, 0, 50, 100), alLeft);
    auto* s = new TKitSplitter(&parent);
    s->setGeometry(50, 0, 10, 100);
    s->SetAlign(alLeft);
    QCOMPARE(s->width(), 3);
    QCOMPARE(s->ControlFirst(), left);
    QCOMPARE(s->cursor().shape(), Qt::SplitHCursor);
    // From one edge to another the thickness stays; nothing lies to the right.
    s->resize(6, s->height());
    s->SetControlFirst(nullptr);
    s->SetAlign(alRight);
    QCOMPARE(s->width(), 6);
    QCOMPARE(s->ControlFirst(), nullptr);
    QCOMPARE(s->cursor().shape(), Qt::ArrowCursor);
}

void TstSplitter::neighboursRefuseFormsAndForgetDestroyedControls()
{
    QWidget form;
    auto* s = new TKitSplitter(&form);
    QWidget* other = panel(&form, QRect(0, 0, 10, 10), alTop);
    QWidget topLevel;

    s->SetControlFirst(&form);
    QCOMPARE(s->ControlFirst(), nullptr);
    s->SetControlFirst(&topLevel);
    QCOMPARE(s->ControlFirst(), nullptr);
    s->SetControlSecond(s);
    QCOMPARE(s->ControlSecond(), nullptr);

    s->SetControlFirst(other);
    s->SetControlSecond(other);
    delete other;
    QCOMPARE(s->ControlFirst(), nullptr);
    QCOMPARE(s->ControlSecond(), nullptr);
    QCOMPARE(s->SizingMode(), 0);

    s->SetLimitOffset(7);
    QCOMPARE(s->TopLeftLimit(), 7);
    QCOMPARE(s->BottomRightLimit(), 7);
}

void TstSplitter::sizingModeFollowsNeighbours_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("own");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("cursor");

    QTest::newRow("first bottom") << int(alBottom) << int(alClient) << int(alBottom) << 1 << int(Qt::SplitVCursor);
    QTest::newRow("client, top") << int(alClient) << int(alTop) << int(alTop) << 2 << int(Qt::SplitVCursor);
    QTest::newRow("first left") << int(alLeft) << int(alNone) << int(alLeft) << 3 << int(Qt::SplitHCursor);
    QTest::newRow("client, right") << int(alClient) << int(alRight) << int(alRight) << 4 << int(Qt::SplitHCursor);
    QTest::newRow("own align differs") << int(alTop) << int(alNone) << int(alBottom) << 0 << int(Qt::ArrowCursor);
    QTest::newRow("client, client") << int(alClient) << int(alClient) << int(alClient) << 0 << int(Qt::ArrowCursor);
}

void TstSplitter::sizingModeFollowsNeighbours()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, own);
    QFETCH(int, mode);
    QFETCH(int, cursor);

    QWidget form;
    form.resize(300, 300);
    QWidget* a = panel(&form, QRect(0, 0, 30, 30), TAlign(first));
    auto* s = new TKitSplitter(&form);
    s->SetControlFirst(a); // before SetAlign, which would look for one
    s->SetAlign(TAlign(own));
    s->SetControlSecond(panel(&form, QRect(0, 250, 30, 30), TAlign(second)));
    QCOMPARE(s->SizingMode(), mode);
    QCOMPARE(int(s->cursor().shape()), cursor);

    // A neighbour's alignment changed later: Loaded brings the cursor up to date.
    SetAlign(a, alNone);
    QCOMPARE(int(s->cursor().shape()), cursor);
    s->Loaded();
    QCOMPARE(s->cursor().shape(), Qt::ArrowCursor);
}

void TstSplitter::dragResizesTheBottomNeighbours()
{
    ListForm f;
    QSignalSpy changed(f.splitter, &TKitSplitter::OnPosChanged);
    QList<QPoint> asked;
    f.splitter->OnPosChanging = [&](QObject* sender, int x, int y, bool&) {
        QCOMPARE(sender, f.splitter);
        asked.append(QPoint(x, y));
    };

    press(f.splitter, QPoint(100, 1));
    QVERIFY(f.splitter->Sizing());
    QVERIFY(!hintsOn());
    QTest::mouseMove(f.splitter, QPoint(100, -29));
    QTest::mouseRelease(f.splitter, Qt::LeftButton, {}, QPoint(100, -29));
    QVERIFY(!f.splitter->Sizing());
    QVERIFY(hintsOn());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(asked, QList<QPoint>({ QPoint(100, -29), QPoint(100, -29) }));
    // Dragged up, the panel below grows; the strip under it keeps its place.
    QCOMPARE(f.warned->geometry(), QRect(0, 150, 400, 130));
    QCOMPARE(f.info->geometry(), QRect(0, 280, 400, 20));
    QCOMPARE(f.splitter->geometry(), QRect(0, 147, 400, 3));
    QCOMPARE(f.list->geometry(), QRect(0, 0, 400, 147));
    QCOMPARE(f.line(), nullptr);
    drag(f.splitter, QPoint(10, 1), QPoint(10, 41));
    QCOMPARE(f.warned->height(), 90);

    // List in the client area first, the panel second: the panel changes.
    f.splitter->SetControlFirst(f.list);
    f.splitter->SetControlSecond(f.warned);
    QCOMPARE(f.splitter->SizingMode(), 2);
    drag(f.splitter, QPoint(5, 1), QPoint(5, -19));
    QCOMPARE(f.warned->height(), 110);
    QCOMPARE(f.list->height(), 167);
    QCOMPARE(changed.count(), 3);
}

void TstSplitter::horizontalSplittersResizeWidths()
{
    QWidget form;
    form.resize(400, 200);
    QWidget* left = panel(&form, QRect(0, 0, 100, 200), alLeft);
    QWidget* right = panel(&form, QRect(300, 0, 80, 200), alRight);
    QWidget* client = panel(&form, QRect(), alClient);
    auto* leftSplit = new TKitSplitter(&form);
    leftSplit->setGeometry(100, 0, 10, 200);
    leftSplit->SetAlign(alLeft);
    auto* rightSplit = new TKitSplitter(&form);
    rightSplit->setGeometry(310, 0, 10, 200);
    rightSplit->SetAlign(alRight);
    showActive(form);
    QCOMPARE(rightSplit->ControlFirst(), right);
    QCOMPARE(rightSplit->geometry(), QRect(317, 0, 3, 200));

    drag(leftSplit, QPoint(1, 50), QPoint(31, 80));
    QCOMPARE(left->width(), 130);
    // Towards the right-hand control shrinks it, away from it widens it.
    drag(rightSplit, QPoint(1, 50), QPoint(21, 50));
    QCOMPARE(right->width(), 60);
    drag(rightSplit, QPoint(1, 50), QPoint(-49, 50));
    QCOMPARE(right->geometry(), QRect(290, 0, 110, 200));
    QCOMPARE(client->geometry(), QRect(133, 0, 400 - 133 - 113, 200));
}

void TstSplitter::topNeighbourGrowsDownEvenWithBottomSecond()
{
    QWidget form;
    form.resize(200, 300);
    QWidget* top = panel(&form, QRect(0, 0, 200, 50), alTop);
    QWidget* bottom = panel(&form, QRect(0, 250, 200, 50), alBottom);
    auto* s = new TKitSplitter(&form);
    s->setGeometry(0, 50, 200, 3);
    s->SetAlign(alTop);
    s->SetControlSecond(bottom);
    showActive(form);
    QCOMPARE(s->ControlFirst(), top);
    QCOMPARE(s->SizingMode(), 1);

    drag(s, QPoint(5, 1), QPoint(5, 21));
    QCOMPARE(top->height(), 70);
    QCOMPARE(bottom->height(), 50);
}

void TstSplitter::lineStopsAtTheLimitsWithNoDrop()
{
    ListForm f;
    f.splitter->SetLimitOffset(50);
    press(f.splitter, QPoint(100, 1));
    QRubberBand* line = f.line();
    QVERIFY(line);
    // At the splitter's centre, two pixels thick, across its whole length.
    QCOMPARE(line->geometry(), QRect(0, 177, 400, 2));
    QTest::mouseMove(f.splitter, QPoint(150, -39));
    QCOMPARE(line->geometry(), QRect(0, 137, 400, 2));
    QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);

    // The splitter's top may come no nearer than 50 to the form's top.
    QTest::mouseMove(f.splitter, QPoint(100, -170));
    QCOMPARE(f.splitter->cursor().shape(), Qt::ForbiddenCursor);
    QCOMPARE(line->geometry(), QRect(0, 50, 400, 2));
    QTest::mouseMove(f.splitter, QPoint(100, -100));
    QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);
    QTest::mouseMove(f.splitter, QPoint(100, -170));
    QTest::mouseRelease(f.splitter, Qt::LeftButton, {}, QPoint(100, -170));
    QVERIFY(line->isHidden());
    QCOMPARE(f.splitter->y(), 50);
    QCOMPARE(f.warned->height(), 227);
    QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);

    // Downwards its bottom stops 50 above the form's bottom edge.
    drag(f.splitter, QPoint(100, 1), QPoint(100, 400));
    QCOMPARE(f.splitter->y() + f.splitter->height(), 250);
    QCOMPARE(f.warned->height(), 30);
}

void TstSplitter::extentStaysWithinTheParent()
{
    ListForm f(5);
    f.splitter->SetLimitOffset(0);
    drag(f.splitter, QPoint(100, 1), QPoint(100, 60));
    QCOMPARE(f.warned->height(), 1);
    // All of the parent but the splitter would be 297; it stops 3 short.
    f.info->hide();
    drag(f.splitter, QPoint(100, 1), QPoint(100, -500));
    QCOMPARE(f.warned->height(), 294);

    // A parent barely thicker than the splitter: that rule alone would give a
    // negative height.
    QWidget form;
    form.resize(100, 5);
    QWidget* bottom = panel(&form, QRect(0, 3, 100, 2), alBottom);
    auto* s = new TKitSplitter(&form);
    s->SetAlign(alBottom);
    s->SetLimitOffset(0);
    showActive(form);
    QCOMPARE(s->ControlFirst(), bottom);
    drag(s, QPoint(10, 1), QPoint(10, 0));
    QCOMPARE(bottom->height(), 1);
}

void TstSplitter::refusedMoveHoldsLineAndReleaseAppliesIt()
{
    ListForm f;
    bool allow = true;
    f.splitter->OnPosChanging = [&](QObject*, int, int, bool& allowChange) { allowChange = allow; };

    press(f.splitter, QPoint(100, 1));
    QTest::mouseMove(f.splitter, QPoint(100, -19));
    QCOMPARE(f.line()->geometry(), QRect(0, 157, 400, 2));
    allow = false;
    QTest::mouseMove(f.splitter, QPoint(100, -59));
    QCOMPARE(f.splitter->cursor().shape(), Qt::ForbiddenCursor);
    QCOMPARE(f.line()->geometry(), QRect(0, 157, 400, 2));
    // Refused at the release too: the line's place is applied.
    QTest::mouseRelease(f.splitter, Qt::LeftButton, {}, QPoint(100, -59));
    QCOMPARE(f.warned->height(), 120);
    QVERIFY(hintsOn());
    QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);
}
void TstSplitter::escapeCancelsAndNoShortcutSeesIt()
{
    ListForm f;
    QSignalSpy changed(f.splitter, &TKitSplitter::OnPosChanged);
    auto* close = new QAction(&f.window);
    close->setShortcut(Qt::Key_Escape);
    f.window.addAction(close);
    QSignalSpy closed(close, &QAction::triggered);

    press(f.splitter, QPoint(100, 1));
    QTest::mouseMove(f.splitter, QPoint(100, -40));
    QTest::keyClick(f.edit1, Qt::Key_Escape);
    QVERIFY(!f.splitter->Sizing());
    QVERIFY(hintsOn());
    QCOMPARE(f.line(), nullptr);
    QCOMPARE(closed.count(), 0);
    QTest::mouseRelease(f.splitter, Qt::LeftButton, {}, QPoint(100, -40));
    QCOMPARE(f.warned->height(), 100);
    QCOMPARE(changed.count(), 0);

    // Outside a drag Esc is the form's again.
    QTest::keyClick(f.edit1, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
}

void TstSplitter::everyLostDragGivesHintsBack_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("window deactivated") << 0;
    QTest::newRow("focus moved") << 1;
    QTest::newRow("popup opened") << 2;
    QTest::newRow("modal window opened") << 3;
    QTest::newRow("release went elsewhere") << 4;
    QTest::newRow("press on another control") << 5;
    QTest::newRow("splitter hidden") << 6;
    QTest::newRow("splitter disabled") << 7;
    QTest::newRow("splitter destroyed") << 8;
    QTest::newRow("handler raised") << 9;
}

void TstSplitter::everyLostDragGivesHintsBack()
{
    QFETCH(int, way);
    ListForm f;
    QSignalSpy changed(f.splitter, &TKitSplitter::OnPosChanged);
    QWidget other;
    QMenu menu;
    menu.addAction(QStringLiteral("položka"));
    QDialog modal(&f.window);
    QPointer<TKitSplitter> splitter = f.splitter;
    splitter->OnPosChanging = [way](QObject*, int, int y, bool&) {
        if (way == 9 && y < -40)
            throw KorvelError(QStringLiteral("Posun odmítnut"));
    };

    press(f.splitter, QPoint(100, 1));
    QTest::mouseMove(f.splitter, QPoint(100, -40));
    QVERIFY(f.splitter->Sizing());
    QVERIFY(!hintsOn());
    QVERIFY(f.line());

    switch (way) {
    case 0:
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        break;
    case 1:
        f.edit2->setFocus();
        break;
    case 2:
        menu.popup(f.window.mapToGlobal(QPoint(10, 10)));
        break;
    case 3:
        modal.setModal(true);
        modal.show();
        break;
    case 4: {
        // The button came up where the splitter did not hear it; the next
        // move comes without it.
        QMouseEvent move(QEvent::MouseMove, QPointF(100, -50), f.splitter->mapToGlobal(QPointF(100, -50)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.splitter, &move);
        break;
    }
    case 5: {
        QMouseEvent pressed(QEvent::MouseButtonPress, QPointF(5, 5), f.edit1->mapToGlobal(QPointF(5, 5)),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.edit1, &pressed);
        break;
    }
    case 6:
        f.splitter->hide();
        break;
    case 7:
        f.splitter->setEnabled(false);
        break;
    case 8:
        delete f.splitter;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.window.findChildren<QRubberBand*>().isEmpty());
        break;
    case 9:
        QTest::mouseMove(f.splitter, QPoint(100, -50));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().text, QStringLiteral("Posun odmítnut"));
        break;
    }

    QVERIFY(!splitter || !splitter->Sizing());
    QVERIFY(hintsOn());
    QCOMPARE(f.line(), nullptr);
    QCOMPARE(f.warned->height(), 100);
    QCOMPARE(changed.count(), 0);
    menu.close();
    modal.close();

    // A late release changes nothing either.
    QTest::mouseRelease(&f.window, Qt::LeftButton, {}, QPoint(100, 137));
    QCOMPARE(f.warned->height(), 100);
    QCOMPARE(changed.count(), 0);
}

void TstSplitter::hintsComeBackAsTheyWere()
{
    ListForm f;
    ApplicationEvents::instance().SetShowHint(false);
    drag(f.splitter, QPoint(100, 1), QPoint(100, -9));
    QVERIFY(!hintsOn());
    QCOMPARE(f.warned->height(), 110);

    ApplicationEvents::instance().SetShowHint(true);
    press(f.splitter, QPoint(100, 1));
    QVERIFY(!hintsOn());
    QTest::keyClick(&f.window, Qt::Key_Escape);
    QVERIFY(hintsOn());
    QTest::mouseRelease(f.splitter, Qt::LeftButton, {}, QPoint(100, 1));
    QCOMPARE(f.warned->height(), 110);
}

void TstSplitter::panelEdges()
{
    QWidget form;
    form.resize(100, 50);
    auto* s = new TKitSplitter(&form);
    s->setGeometry(0, 0, 20, 6);
    const QColor light = ColorToQColor(clBtnHighlight);
    const QColor shadow = ColorToQColor(clBtnShadow);
    const QColor face = ColorToQColor(clBtnFace);
    QVERIFY(light != shadow && light != face && shadow != face);

    QImage raised = s->grab().toImage();
    QCOMPARE(raised.pixelColor(0, 0), light);
    QCOMPARE(raised.pixelColor(0, 4), light);
    QCOMPARE(raised.pixelColor(5, 5), shadow);
    QCOMPARE(raised.pixelColor(19, 0), shadow);
    QCOMPARE(raised.pixelColor(19, 3), shadow);
    QCOMPARE(raised.pixelColor(5, 2), face);

    s->SetBevelOuter(bvLowered);
    s->SetBevelInner(bvRaised);
    s->SetColor(clRed);
    QImage lowered = s->grab().toImage();
    QCOMPARE(lowered.pixelColor(5, 0), shadow);
    QCOMPARE(lowered.pixelColor(5, 5), light);
    QCOMPARE(lowered.pixelColor(5, 1), light);
    QCOMPARE(lowered.pixelColor(5, 4), shadow);
    QCOMPARE(lowered.pixelColor(5, 2), QColor(Qt::red));
}

QTEST_MAIN(TstSplitter)
#include "tst_splitter.moc"
