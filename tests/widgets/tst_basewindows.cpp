// The base windows of the reminders program on the shared base window:
// placement, sizes, scaling, status bar, hints, counting, minimising and
// context help with the help stand-in.
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_vychozi.h"
#include "reminders/ruvo_zaklad.h"

#include "components/captbtn.h"
#include "components/contexthelp.h"
#include "components/kitstatusbar.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/help.h"
#include "shared/f_p.h"

#include "remindersprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

class Sizeable : public TFVychozi {
public:
    explicit Sizeable(const QString& name = QStringLiteral("FTest"))
    {
        setObjectName(name);
        Edit = new QPushButton(QStringLiteral("x"), Client());
        Edit->setObjectName(QStringLiteral("Edit"));
        Edit->setGeometry(10, 10, 100, 20);
    }
    QPushButton* Edit;
};

class Fixed : public TFVychoziZakl {
public:
    Fixed()
    {
        setObjectName(QStringLiteral("FFixed"));
        resize(312, 191);
    }
};

QPushButton* Button(QWidget* parent, const char* name, const QRect& g, int context)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(g);
    SetHelpContext(b, context);
    return b;
}

QString PanelText(TBaseWindow* w, int i)
{
    return w->SBar()->Panels()->Items(i)->Text();
}

struct Opened {
    QString path;
    Help::Command command;
};

} // namespace

class TestBaseWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    QList<Opened> m_opened;

    QString Ini() const { return m_program->iniPath(); }
    int Stored(const QString& section, const QString& key) const { return IniReadInteger(Ini(), section, key, -1); }

private slots:
    void init()
    {
        m_program = std::make_unique<RemindersProgram>();
        m_opened.clear();
        Help::setPageOpener([this](const QString& path, Help::Command c) { m_opened.append({ path, c }); });
    }

    void cleanup()
    {
        m_program->closeWindows();
        Help::setPageOpener({});
        m_program.reset();
    }

    void firstStartGivesTheDefaultSizes()
    {
        auto* w = new Sizeable;
        w->PlacementSection = "FJinde";
        w->show();
        QCOMPARE(w->size(), QSize(472, 352));
        // The minimum holds for the whole window, frame included.
        const QSize frame = w->frameGeometry().size() - w->size();
        QCOMPARE(w->minimumSize() + frame, QSize(360, 300));
        QCOMPARE(w->MinTrackWidth, 360);
        QCOMPARE(w->DefaultClientHeight, 352);
        QCOMPARE(w->PlacementSection, QStringLiteral("FJinde"));
        QVERIFY(w->BHelp());
        QVERIFY(w->SBar()->SizeGrip());

        // A derived window's own values win; an empty section is its name.
        auto* own = new Sizeable("FVlastni");
        own->MinTrackWidth = 500;
        own->DefaultClientWidth = 600;
        own->DefaultClientHeight = 400;
        own->show();
        QCOMPARE(own->size(), QSize(600, 400));
        QCOMPARE(own->minimumSize() + frame, QSize(500, 300));
        QCOMPARE(own->PlacementSection, QStringLiteral("FVlastni"));
    }

    void placementIsSavedAndRestored()
    {
        auto* w = new Sizeable;
        w->show();
        w->move(40, 50);
        w->resize(600, 450);
        const QRect normal = w->geometry();
        QCOMPARE(normal.width(), 600);
        QVERIFY(qAbs(normal.height() - 447) <= 1); // the proportions of 472 x 352
        w->close();
        QCOMPARE(Stored("FTest", "State"), 2);
        QCOMPARE(Stored("FTest", "Left"), 40);
        QCOMPARE(Stored("FTest", "Top"), 50);
        QCOMPARE(Stored("FTest", "Width"), normal.width());
        QCOMPARE(Stored("FTest", "Height"), normal.height());

        auto* again = new Sizeable;
        again->show();
        QCOMPARE(again->pos(), QPoint(40, 50));
        QVERIFY(qAbs(again->width() - normal.width()) <= 1);
        QVERIFY(qAbs(again->height() - normal.height()) <= 1);

        // Maximised: the state is kept, the normal placement stays stored.
        again->showMaximized();
        again->close();
        QCOMPARE(Stored("FTest", "State"), 1);
        QCOMPARE(Stored("FTest", "Left"), 40);
        auto* third = new Sizeable;
        third->show();
        QVERIFY(third->isMaximized());
    }

    void aStoredPlaceOffTheScreenIsBroughtBack()
    {
        IniWriteInteger(Ini(), "FTest", "State", 2);
        IniWriteInteger(Ini(), "FTest", "Left", 50000);
        IniWriteInteger(Ini(), "FTest", "Top", 40000);
        auto* w = new Sizeable;
        w->show();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(screen.contains(w->frameGeometry()));
    }

    void aFixedWindowRestoresItsPositionOnly()
    {
        IniWriteInteger(Ini(), "FFixed", "State", 2);
        IniWriteInteger(Ini(), "FFixed", "Left", 30);
        IniWriteInteger(Ini(), "FFixed", "Top", 40);
        IniWriteInteger(Ini(), "FFixed", "Width", 900);
        IniWriteInteger(Ini(), "FFixed", "Height", 900);
        auto* w = new Fixed;
        w->show();
        QCOMPARE(w->pos(), QPoint(30, 40));
        // The designed 312 x 191 grows to the minimum and stays fixed.
        QCOMPARE(w->size(), QSize(360, 300));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!w->BHelp());
        QVERIFY(!w->SBar()->SizeGrip());
    }

    void contentsKeepTheirProportions()
    {
        auto* w = new Sizeable;
        w->show();
        const QFont menuFont = w->Menu()->font();
        const QFont barFont = w->SBar()->font();
        QCOMPARE(w->Edit->geometry(), QRect(10, 10, 100, 20));
        w->resize(944, 704);
        QCOMPARE(w->Edit->geometry(), QRect(20, 20, 200, 40));
        QCOMPARE(w->Edit->font().pixelSize(), 26);
        QCOMPARE(w->Menu()->font(), menuFont);
        QCOMPARE(w->SBar()->font(), barFont);
        // Menu on top, the bar along the bottom, both the full width.
        QCOMPARE(w->Menu()->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(w->Menu()->width(), 944);
        QCOMPARE(w->SBar()->mapTo(w, QPoint(0, w->SBar()->height())).y(), 704);
        QCOMPARE(w->SBar()->width(), 944);

        // Only half as high: the smaller ratio wins and the width follows.
        w->resize(944, 352);
        QCOMPARE(w->size(), QSize(472, 352));
        QCOMPARE(w->Edit->geometry(), QRect(10, 10, 100, 20));
        QCOMPARE(w->Edit->font().pixelSize(), 13);

        // Maximised, the window keeps the screen's size and the contents
        // follow by the smaller ratio; back to normal, they shrink again.
        w->showMaximized();
        QVERIFY(w->isMaximized());
        const double ratio = std::min(w->width() / 472.0, w->height() / 352.0);
        QVERIFY(qAbs(w->Edit->width() - 100 * ratio) <= 1);
        QVERIFY(qAbs(w->Edit->x() - 10 * ratio) <= 1);
        w->showNormal();
        QVERIFY(!w->isMaximized());
        QCOMPARE(w->size(), QSize(472, 352));
        QVERIFY(qAbs(w->Edit->width() - 100) <= 1);
        QVERIFY(qAbs(w->Edit->x() - 10) <= 1);
    }

    void statusBarShowsDateTimeAndHints()
    {
        FixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30)));
        auto* w = new Sizeable;
        w->show();
        TKitStatusPanels* panels = w->SBar()->Panels();
        QCOMPARE(panels->Count(), 3);
        QCOMPARE(panels->Items(0)->PanelType(), sptDate);
        QCOMPARE(panels->Items(0)->Alignment(), taCenter);
        QVERIFY(panels->Items(0)->AutoFit());
        QCOMPARE(panels->Items(1)->PanelType(), sptTime);
        QCOMPARE(panels->Items(2)->PanelType(), sptNormal);
        QCOMPARE(panels->Items(2)->Alignment(), taLeftJustify);
        QCOMPARE(PanelText(w, 0), QStringLiteral("2024.03.05"));
        QCOMPARE(PanelText(w, 1), QStringLiteral("14:07"));
        QCOMPARE(PanelText(w, 2), QString());

        w->ShowStatusText("importováno: 1/3");
        QCOMPARE(PanelText(w, 2), QStringLiteral("importováno: 1/3"));

        w->Edit->setStatusTip("tip of the control");
        QStatusTipEvent tip(w->Edit->statusTip());
        QApplication::sendEvent(w->Edit, &tip);
        QCOMPARE(PanelText(w, 2), QStringLiteral("tip of the control"));
        QCOMPARE(w->MAbout()->statusTip(), QStringLiteral("zobrazí informace o programu"));
        QCOMPARE(w->Menu()->actions().at(0)->text(), QStringLiteral("&Info"));
        QCOMPARE(w->MAbout()->text(), QStringLiteral("&about"));
    }

    void hintsStayWithTheirOwnWindow()
    {
        QPointer<Sizeable> a = new Sizeable("FA");
        QPointer<Sizeable> b = new Sizeable("FB");
        QPointer<Sizeable> c = new Sizeable("FC");
        a->show();
        b->show();
        c->show();
        // Closed in the order of creation: no window hands hints back to one
        // that is gone.
        a->close();
        b->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!a && !b);
        QStatusTipEvent tip("for C");
        QApplication::sendEvent(c->Edit, &tip);
        QCOMPARE(PanelText(c, 2), QStringLiteral("for C"));

        // A hint in one window never shows in another.
        auto* d = new Sizeable("FD");
        d->show();
        QStatusTipEvent other("for D");
        QApplication::sendEvent(d->Edit, &other);
        QCOMPARE(PanelText(d, 2), QStringLiteral("for D"));
        QCOMPARE(PanelText(c, 2), QStringLiteral("for C"));
    }

    void eachWindowCountsOnceAndTheLastEndsTheProgram()
    {
        QSignalSpy ended(&m_program->hub(), &TFZaklad::Closed);
        QPointer<Sizeable> a = new Sizeable("FA");
        QPointer<Fixed> b = new Fixed;
        auto* never = new Sizeable("FNever"); // made, never shown: never counted
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        a->show();
        b->show();
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        delete never;
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);

        a->accept(); // a modal result closes as close() does, once
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(ended.isEmpty());
        b->close();
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(ended.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!a && !b); // freed on close
        QCOMPARE(Stored("FA", "State"), 2);
        QCOMPARE(Stored("FFixed", "State"), 2);
    }

    // A handler that lets events in (a long fill) while the user closes its
    // window keeps the window until it has ended; then the window goes.
    void aWindowClosedDuringItsHandlerGoesAfterIt()
    {
        const QPointer<Sizeable> w = new Sizeable;
        w->show();
        bool alive = true;
        connect(w->Edit, &QPushButton::clicked, w, [&] {
            atNextEvents(w, [&] { w->close(); });
            for (int i = 0; i < 3; ++i)
                alive = EventPump()() && w && alive;
        });
        w->Edit->click();
        QVERIFY(alive && !w->isVisible());
        QTRY_VERIFY(!w);
    }

    void aModalRunCountsToo()
    {
        auto* w = new Sizeable("FModal");
        QTimer::singleShot(0, w, [w, this] {
            QCOMPARE(m_program->hub().OpenWindowCount(), 1);
            w->done(mrOk);
        });
        QCOMPARE(w->exec(), int(mrOk));
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
    }

    void minimisingOneMinimisesTheProgram()
    {
        auto* a = new Sizeable("FA");
        auto* b = new Fixed;
        a->show();
        b->show();
        b->setWindowState(Qt::WindowMinimized);
        QVERIFY(a->isMinimized());
        QVERIFY(b->isMinimized());
        m_program->hub().HandleReminderCommand(0);
        QVERIFY(!a->isMinimized());
        QVERIFY(!b->isMinimized());
    }

    void theWindowsShareOneTaskbarButtonWhenAsked()
    {
        auto* own = new Sizeable("FA");
        own->show();
        QCOMPARE(own->windowHandle()->transientParent(), nullptr);

        IniWriteBool(Ini(), "Nastav", "zobriconform", false);
        auto* shared = new Sizeable("FB");
        shared->show();
        QVERIFY(shared->windowHandle()->transientParent());
        QCOMPARE(shared->windowHandle()->transientParent(), m_program->hub().windowHandle());
    }

    void aboutOpensTheAboutBoxModal()
    {
        ReminderForms().Register("Fabout", [](OpenMode) {
            auto* about = new QDialog;
            about->setObjectName("Fabout");
            about->setAttribute(Qt::WA_DeleteOnClose);
            return about;
        });
        auto* w = new Sizeable;
        w->show();
        Dialogs::queueModal([](QDialog* d) {
            d->done(mrOk);
            return int(mrOk);
        });
        w->MAbout()->trigger();
        QCOMPARE(Dialogs::shownModals(), QStringList { "Fabout" });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!FindForm("Fabout")); // freed once closed

        // An open about box comes forward instead.
        auto* open = new QDialog;
        open->setObjectName("FABOUT");
        open->show();
        open->showMinimized();
        w->MAboutClick();
        QCOMPARE(Dialogs::shownModals().size(), 1);
        QVERIFY(!open->isMinimized());
        ReminderForms().Register("Fabout", {});
    }

    void helpModeOpensTheTopicOfTheSmallestControl()
    {
        Help::setHelpFile(m_program->file("napoveda"));
        QDir().mkpath(m_program->file("napoveda"));
        for (int n : { 100, 120, 150, 160, 12000 })
            writeFileBytes(Help::pagePath(m_program->file("napoveda"), n), "<p>topic</p>");

        auto* w = new Sizeable;
        SetHelpContext(w, 100);
        w->Edit->hide();
        auto* panel = new QFrame(w->Client());
        panel->setObjectName("P1");
        panel->setGeometry(10, 10, 200, 100);
        SetHelpContext(panel, 120);
        QPushButton* b1 = Button(panel, "B1", { 10, 10, 80, 30 }, 150);
        auto* label = new QLabel("label", panel);
        label->setObjectName("L1");
        label->setGeometry(20, 15, 40, 15); // on B1; labels are no targets
        SetHelpContext(label, 999);
        QPushButton* b2 = Button(w->Client(), "B2", { 220, 10, 80, 30 }, 160);
        Button(w->Client(), "B3", { 220, 10, 80, 30 }, 170); // as large, made later
        auto* hidden = new QFrame(w->Client());
        hidden->setObjectName("P2");
        hidden->setGeometry(10, 150, 200, 100);
        QPushButton* b4 = Button(hidden, "B4", { 10, 10, 80, 30 }, 180);
        w->show();
        hidden->hide();

        const auto clickAt = [&](QWidget* on, QPoint p) {
            const QPoint inWindow = on->mapTo(w, p);
            QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, inWindow);
            QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, inWindow);
        };
        const auto topic = [&](QWidget* on, QPoint p) {
            m_opened.clear();
            w->BHelpClick();
            if (!w->InHelpMode() || QWidget::mouseGrabber() != w)
                return QString("not in help mode");
            clickAt(on, p);
            if (w->InHelpMode() || QWidget::mouseGrabber() || w->cursor().shape() != Qt::ArrowCursor)
                return QString("help mode not ended");
            return m_opened.size() == 1 ? QFileInfo(m_opened.at(0).path).fileName() : QString("no page");
        };

        QCOMPARE(topic(b1, { 5, 25 }), QStringLiteral("150.html"));
        QCOMPARE(m_opened.at(0).command, Help::Command::Context);
        QCOMPARE(topic(label, { 5, 5 }), QStringLiteral("150.html"));
        QCOMPARE(topic(panel, { 150, 80 }), QStringLiteral("120.html"));
        QCOMPARE(topic(b2, { 40, 15 }), QStringLiteral("160.html"));
        QCOMPARE(topic(w->Client(), { 400, 100 }), QStringLiteral("100.html"));
        QCOMPARE(topic(hidden, b4->geometry().center()), QStringLiteral("100.html"));
        QVERIFY(Dialogs::shown().isEmpty());

        // A context above 9999 opens a popup topic; 0 has no page.
        SetHelpContext(w, 12000);
        QCOMPARE(topic(w->Client(), { 400, 100 }), QStringLiteral("12000.html"));
        QCOMPARE(m_opened.at(0).command, Help::Command::ContextPopup);
        SetHelpContext(w, 0);
        QCOMPARE(topic(w->Client(), { 400, 100 }), QStringLiteral("no page"));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, Help::missingTopicText(0));
        QCOMPARE(Dialogs::shown().at(0).text, QStringLiteral("Nápověda k tomuto místu (téma 0) není k dispozici."));
    }

    void aClickOutsideTheWindowAsksForTopicZero()
    {
        Help::setHelpFile(m_program->file("napoveda"));
        auto* w = new Sizeable;
        SetHelpContext(w, 100);
        w->show();
        const HelpTarget outside = FindHelpTarget(w, w->mapToGlobal(QPoint(-20, -20)));
        QCOMPARE(outside.Target, nullptr);
        QCOMPARE(outside.Context, 0);
        const HelpTarget edge = FindHelpTarget(w, w->mapToGlobal(QPoint(0, 5)));
        QCOMPARE(edge.Context, 0); // the window's own edge is outside it

        // The grab brings the press to the window wherever it happens.
        w->BHelpClick();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(-20, -20), w->mapToGlobal(QPointF(-20, -20)),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QVERIFY(!w->InHelpMode());
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().at(0).text, Help::missingTopicText(0));
    }

    void shiftF1AndClosingInHelpMode()
    {
        auto* w = new Sizeable;
        w->show();
        QTest::keyClick(w, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(w->InHelpMode());
        QCOMPARE(QWidget::mouseGrabber(), w);
        w->close(); // neither a crash nor a mouse left grabbed
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!w->InHelpMode());
    }

    void allParentsVisibleLooksAboveTheControlOnly()
    {
        auto* w = new Sizeable;
        auto* outer = new QFrame(w->Client());
        auto* inner = new QFrame(outer);
        auto* button = new QPushButton(inner);
        auto* direct = new QPushButton(w);
        w->show();
        QVERIFY(AllParentsVisible(button));
        inner->hide();
        QVERIFY(!AllParentsVisible(button));
        inner->show();
        outer->hide();
        QVERIFY(!AllParentsVisible(button));
        QVERIFY(AllParentsVisible(outer)); // its own visibility is not asked
        outer->show();
        w->hide(); // the window itself is not tested, the controls between are
        QVERIFY(AllParentsVisible(direct));
        QVERIFY(!AllParentsVisible(button));
        QPushButton alone;
        QVERIFY(AllParentsVisible(&alone));
    }

    void theHelpStandInOpensPagesByNumber()
    {
        const QString folder = m_program->file("napoveda");
        Help::setHelpFile(folder);
        QDir().mkpath(folder);
        writeFileBytes(Help::pagePath(folder, 5), "<p>five</p>");
        QCOMPARE(Help::pagePath(folder, 5), folder + "/5.html");
        QCOMPARE(Help::indexPath(folder), folder + "/index.html");

        auto* w = new Sizeable;
        ShowHelpContext(w, 5);
        ShowHelpContext(w, 9999);
        ShowHelpContext(w, -3);
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.at(0).path, folder + "/5.html");
        QCOMPARE(m_opened.at(0).command, Help::Command::Context);
        QCOMPARE(Dialogs::shown().size(), 2);
        QCOMPARE(Dialogs::shown().at(0).text, QStringLiteral("Nápověda k tomuto místu (téma 9999) není k dispozici."));
        QCOMPARE(Dialogs::shown().at(1).type, MsgDlgType::Information);

        // No help at all: the message, never a crash.
        Help::setHelpFile(QString());
        QVERIFY(!Help::winHelp(w, Help::Command::Context, 5));
        QCOMPARE(Dialogs::shown().size(), 3);
    }
};

QTEST_MAIN(TestBaseWindows)
#include "tst_basewindows.moc"
