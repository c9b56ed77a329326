// The about box: the program's version texts, the icon at double size, its
// placement in "korvel.ini", one box at a time from the hub and the menus,
// and its part in the count of open windows.
#include "reminders/ruvo_about.h"
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_vychozi.h"
#include "reminders/ruvo_zaklad.h"

#include "components/korvelversion.h"
#include "components/versinfo.h"
#include "platform/dialogs.h"
#include "platform/programicon.h"
#include "shared/commands.h"
#include "shared/f_p.h"

#include "remindersprogram.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QString Text(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

class Window : public TFVychozi {
public:
    Window() { setObjectName(QStringLiteral("FOkno")); }
};

// The open about boxes, closed ones waiting to be freed left out.
QList<TFMAbout*> Boxes()
{
    QList<TFMAbout*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<TFMAbout*>(w); box && box->isVisible())
            boxes.append(box);
    return boxes;
}

void FreeClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<QSignalSpy> m_ended;

    TFAbout* Box() const { return qobject_cast<TFAbout*>(FindForm(QStringLiteral("Fabout"))); }
    int Stored(const QString& key) const { return IniReadInteger(m_program->iniPath(), "FAbout", key, -1); }

private slots:
    void init()
    {
        m_program = std::make_unique<RemindersProgram>();
        m_ended = std::make_unique<QSignalSpy>(&m_program->hub(), &TFZaklad::Closed);
    }

    void cleanup()
    {
        m_program->closeWindows();
        QApplication::setWindowIcon(QIcon());
        m_ended.reset();
        m_program.reset();
    }

    void theHubOpensTheBoxWithTheProgramsVersion()
    {
        QApplication::setWindowIcon(ProgramIcon());
        m_program->hub().HandleReminderCommand(rcAbout);
        TFAbout* box = Box();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->objectName(), QStringLiteral("FAbout"));
        QCOMPARE(box->windowTitle(), QStringLiteral("About Korvel"));
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);

        QCOMPARE(box->Label1->text(), Text(KorvelVersion::ProductName));
        QCOMPARE(box->Label2->text(), Text(KorvelVersion::FileDescription));
        QCOMPARE(box->Label3->text(), Text(KorvelVersion::FileVersion));
        QCOMPARE(box->Label4->text(), Text(KorvelVersion::CompanyName));
        QCOMPARE(box->Label5->text(), Text(KorvelVersion::LegalCopyright));
        QCOMPARE(box->VersionInfo->ShowResource(), AllPreDefs());
        const QStringList captions { box->Label6->text(), box->Label7->text(), box->Label8->text(), box->Label9->text(),
            box->Label10->text() };
        QCOMPARE(captions, QStringList({ "Název:", "Popis", "Verze:", "Výrobce:", "Autorské právo:" }));
        QCOMPARE(box->Button1->text(), QStringLiteral("O.K."));
        QCOMPARE(box->Button1->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(box->Label2->wordWrap());
        QCOMPARE(box->Label2->width(), 209);
        QCOMPARE(box->size(), QSize(352, 299));
        // The description fits without being cut: the labels below it follow.
        QVERIFY(box->Label8->geometry().top() >= box->Label2->geometry().bottom());
        QVERIFY(box->Panel1->geometry().bottom() < box->Button1->geometry().top());
        QVERIFY(box->Label5->geometry().bottom() < box->Panel1->height());

        const QString folder = qEnvironmentVariableIsSet("KORVEL_ARTIFACTS")
            ? qEnvironmentVariable("KORVEL_ARTIFACTS")
            : QDir::temp().filePath("korvel-artifacts");
        QDir().mkpath(folder);
        const QImage shot = box->grab().toImage();
        QVERIFY(shot.save(folder + QStringLiteral("/about.png")));
        // The icon is there, at the panel's top left.
        const QRect icon = box->Image1->geometry().translated(box->Panel1->pos());
        QCOMPARE(box->Image1->pixmap().size(), QSize(64, 64));
        QVERIFY(icon.left() < box->Label1->geometry().left());
        int coloured = 0;
        for (int y = icon.top(); y <= icon.bottom(); ++y)
            for (int x = icon.left(); x <= icon.right(); ++x)
                coloured += shot.pixelColor(x, y) != shot.pixelColor(2, 2);
        QVERIFY(coloured > 200);
        // The panel's single line, then its raised bevel: light above and left,
        // dark below and right.
        const QRect panel = box->Panel1->geometry();
        const QColor line = shot.pixelColor(panel.topLeft());
        QCOMPARE(line, box->palette().color(QPalette::WindowText));
        QCOMPARE(shot.pixelColor(panel.bottomRight()), line);
        for (int inset = 1; inset <= 4; ++inset) {
            const QColor light = shot.pixelColor(panel.left() + inset, panel.center().y());
            const QColor dark = shot.pixelColor(panel.right() - inset, panel.center().y());
            QVERIFY2(light.lightness() > dark.lightness(), qPrintable(QString::number(inset)));
            QCOMPARE(shot.pixelColor(panel.center().x(), panel.top() + inset), light);
            QCOMPARE(shot.pixelColor(panel.center().x(), panel.bottom() - inset), dark);
        }
    }

    void theIconIsStretchedToTwiceItsSize()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                picture.setPixelColor(x, y, (x + y) % 2 ? Qt::red : Qt::blue);
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(picture)));
        auto* box = new TFMAbout;
        box->show();
        const QImage doubled = box->Image1->pixmap().toImage();
        QCOMPARE(doubled.size(), QSize(64, 64));
        // Every pixel became a 2 x 2 block.
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                QCOMPARE(doubled.pixelColor(x, y), picture.pixelColor(x / 2, y / 2));

        // Without an application icon the picture stays empty.
        QApplication::setWindowIcon(QIcon());
        auto* plain = new TFMAbout;
        plain->show();
        QVERIFY(plain->Image1->pixmap().isNull());
    }

    void aFileWithoutVersionResourceLeavesTheLabelsEmpty()
    {
        const QString file = m_program->file("bez-verze");
        writeFileBytes(file, QByteArray(4096, 'k'));
        auto* box = new TFMAbout(nullptr, file);
        box->show();
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowTitle(), QStringLiteral("About"));
        for (QLabel* l : { box->Label1, box->Label2, box->Label3, box->Label4, box->Label5 })
            QCOMPARE(l->text(), QString());
        // A box of no program neither counts nor keeps a placement.
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QPointer<TFMAbout> alive(box);
        QTest::mouseClick(box->Button1, Qt::LeftButton);
        FreeClosed();
        QVERIFY(!alive);
        QCOMPARE(Stored("State"), -1);
        QVERIFY(m_ended->isEmpty());
    }

    void thePlacementIsKeptInSectionFAbout()
    {
        m_program->hub().HandleReminderCommand(rcAbout);
        // Nothing stored: the default size, centred on the screen where the
        // hidden main form sits.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // (Its frame is known only once shown.)
        const QPoint off = Box()->frameGeometry().center() - screen.center();
        QVERIFY2(off.manhattanLength() <= 6, qPrintable(QStringLiteral("%1 %2").arg(off.x()).arg(off.y())));
        Box()->move(40, 50);
        QTest::mouseClick(Box()->Button1, Qt::LeftButton);
        FreeClosed();
        QVERIFY(!Box());
        QCOMPARE(Stored("State"), 2);
        QCOMPARE(Stored("Left"), 40);
        QCOMPARE(Stored("Top"), 50);
        QCOMPARE(Stored("Width"), 352);
        QCOMPARE(Stored("Height"), 299);

        IniWriteInteger(m_program->iniPath(), "FAbout", "Width", 400);
        IniWriteInteger(m_program->iniPath(), "FAbout", "Height", 320);
        m_program->hub().HandleReminderCommand(rcAbout);
        QCOMPARE(Box()->pos(), QPoint(40, 50));
        QCOMPARE(Box()->size(), QSize(400, 320));
    }

    void aSecondRequestBringsTheOpenBoxForward()
    {
        m_program->hub().HandleReminderCommand(rcAbout);
        TFAbout* box = Box();
        box->showMinimized();
        m_program->hub().HandleReminderCommand(rcAbout);
        QCOMPARE(Boxes().size(), 1);
        QCOMPARE(Box(), box);
        QVERIFY(!box->isMinimized());

        // The menu of a window finds it too, and runs no second box.
        auto* w = new Window;
        w->show();
        box->showMinimized();
        w->MAboutClick();
        QVERIFY(Dialogs::shownModals().isEmpty());
        QCOMPARE(Boxes().size(), 1);
        QVERIFY(!box->isMinimized());
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
    }

    void theHubsRequestFindsTheBoxTheMenuRuns()
    {
        auto* w = new Window;
        w->show();
        int boxesDuringRequest = -1;
        bool modal = false;
        QPointer<QDialog> shown;
        Dialogs::queueModal([&](QDialog* d) {
            d->setModal(true);
            d->show(); // as the modal run would
            shown = d;
            modal = d->isModal();
            m_program->hub().HandleReminderCommand(rcAbout);
            boxesDuringRequest = Boxes().size();
            d->done(mrCancel);
            return int(mrCancel);
        });
        w->MAboutClick();
        QCOMPARE(Dialogs::shownModals(), QStringList { "FAbout" });
        QVERIFY(modal);
        QCOMPARE(boxesDuringRequest, 1);
        FreeClosed();
        QVERIFY(!shown);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(m_ended->isEmpty());
    }

    void theBoxAloneEndsTheProgramWhenClosed()
    {
        m_program->hub().HandleReminderCommand(rcAbout);
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QTest::keyClick(Box(), Qt::Key_Escape);
        QCOMPARE(m_program->hub().OpenWindowCount(), 0);
        QCOMPARE(m_ended->size(), 1);
    }

    void theBoxBesideAnotherWindowLeavesTheProgramRunning()
    {
        auto* w = new Window;
        w->show();
        m_program->hub().HandleReminderCommand(rcAbout);
        QCOMPARE(m_program->hub().OpenWindowCount(), 2);
        // Closing runs both the close and the dialog's end: counted off once.
        Box()->close();
        QCOMPARE(m_program->hub().OpenWindowCount(), 1);
        QVERIFY(m_ended->isEmpty());
        FreeClosed();
        QVERIFY(!Box());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
