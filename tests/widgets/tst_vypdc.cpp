// The date and time calculator on a real program folder: what it opens with,
// sums across month, year and leap-day ends and the clock changes of
// Europe/Prague, the refusals of bad input, and the result handed back to
// the new-reminder form that opened it.
#include "reminders/ruvo_newprip.h"
#include "reminders/ruvo_vypdc.h"
#include "reminders/ruvo_zaklad.h"

#include "components/contexthelp.h"
#include "components/kitctrls.h"
#include "components/kitspin.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/commands.h"

#include "components/forms.h"
#include "remindersprogram.h"
#include "testsupport.h"
#include "timezone.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QDateTime T0(QDate(2024, 6, 10), QTime(9, 7, 45));

QString LastMessage()
{
    return Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().last().text;
}

// Focus moves as the user's Tab would: the control left gets its exit.
void FocusTo(QWidget* w)
{
    w->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

} // namespace

class TestVypDC : public QObject {
    Q_OBJECT

    std::unique_ptr<ProcessTimeZone> m_zone;
    std::unique_ptr<RemindersProgram> m_program;

    TFVypDC* Open()
    {
        auto* f = new TFVypDC;
        f->show();
        if (!QTest::qWaitForWindowActive(f))
            qWarning("the calculator did not become active");
        return f;
    }

    // The user's way through the form: base, operation, unit, length.
    void Enter(TFVypDC* f, QDate base, const QString& time, const QString& oper, int value, const QString& unit)
    {
        f->EZDate->setDate(base);
        FocusTo(f->EZCas);
        f->EZCas->setText(time);
        FocusTo(f->CBOper);
        f->CBOper->setEditText(oper);
        FocusTo(f->CBDelka);
        f->CBDelka->setEditText(unit);
        FocusTo(f->RSEDelka);
        f->RSEDelka->SetValue(value);
    }

private slots:
    void initTestCase() { m_zone = std::make_unique<ProcessTimeZone>("Europe/Prague"); }

    void init() { m_program = std::make_unique<RemindersProgram>(T0); }

    void cleanup() { m_program.reset(); }

    void opensAtTheCursorWithThePresentMinute()
    {
        QCursor::setPos(400, 300);
        TFVypDC* f = Open();
        QCOMPARE(f->objectName(), QStringLiteral("FVypDC"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Výpočet datumu a času"));
        QCOMPARE(HelpContext(f), 1700);
        QCOMPARE(f->EZDate->date(), QDate(2024, 6, 10));
        QCOMPARE(f->EZCas->text(), QStringLiteral("09:07"));
        QCOMPARE(f->EVDate->date(), QDate(2024, 6, 10));
        QCOMPARE(f->EVCas->text(), QStringLiteral("09:07"));
        QCOMPARE(f->CBOper->currentText(), QStringLiteral("+"));
        QCOMPARE(tag(f->CBOper), 1);
        QCOMPARE(f->CBDelka->currentText(), QStringLiteral("hodina"));
        QCOMPARE(tag(f->CBDelka), 2);
        QCOMPARE(f->CBDelka->count(), 3);
        QCOMPARE(f->RSEDelka->toolTip(), QStringLiteral("zadej délku"));
        QCOMPARE(QApplication::focusWidget(), f->CBOper);
        QVERIFY(f->width() >= 240 && f->height() >= 260);
        QCOMPARE(QCursor::pos(), QPoint(400, 300));
        // Centred by its width as it is before the window manager adds a frame.
        QCOMPARE(f->frameGeometry().left(), 400 - f->width() / 2);
        QCOMPARE(f->frameGeometry().top(), 290);
        f->grab().save(artifactPath(QStringLiteral("fvypdc.png")));
        // Near the bottom of the screen the buttons stay on it.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCursor::setPos(400, screen.bottom() - 5);
        auto* low = new TFVypDC;
        QVERIFY(low->frameGeometry().bottom() <= screen.bottom());
        QVERIFY(low->frameGeometry().top() >= screen.top());
    }

    void sums_data()
    {
        QTest::addColumn<QDate>("base");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("oper");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("result");
        QTest::newRow("45 minutes past the year end") << QDate(2023, 12, 31) << "23:30"
                                                      << "+" << 45 << "minuta" << QDate(2024, 1, 1) << "00:15";
        QTest::newRow("2 days back over a leap day") << QDate(2024, 3, 1) << "10:00"
                                                     << "-" << 2 << "den" << QDate(2024, 2, 28) << "10:00";
        QTest::newRow("1 day back, common year") << QDate(2023, 3, 1) << "10:00"
                                                 << "-" << 1 << "den" << QDate(2023, 2, 28) << "10:00";
        QTest::newRow("24 hours into the leap day") << QDate(2024, 2, 28) << "12:00"
                                                    << "+" << 24 << "hodina" << QDate(2024, 2, 29) << "12:00";
        QTest::newRow("1900 has no leap day") << QDate(1900, 2, 28) << "00:00"
                                              << "+" << 1 << "den" << QDate(1900, 3, 1) << "00:00";
        QTest::newRow("2000 has one") << QDate(2000, 2, 28) << "06:00"
                                      << "+" << 1 << "den" << QDate(2000, 2, 29) << "06:00";
        QTest::newRow("to midnight exactly") << QDate(2024, 6, 10) << "23:00"
                                             << "+" << 60 << "minuta" << QDate(2024, 6, 11) << "00:00";
        QTest::newRow("back over midnight") << QDate(2024, 1, 1) << "00:10"
                                            << "-" << 20 << "minuta" << QDate(2023, 12, 31) << "23:50";
        QTest::newRow("720 hours from 31 January") << QDate(2024, 1, 31) << "08:00"
                                                   << "+" << 720 << "hodina" << QDate(2024, 3, 1) << "08:00";
        QTest::newRow("100000 minutes") << QDate(2024, 1, 1) << "00:00"
                                        << "+" << 100000 << "minuta" << QDate(2024, 3, 10) << "10:40";
        // Wall-clock arithmetic: the hour the clocks skip or repeat counts as
        // any other.
        QTest::newRow("spring DST") << QDate(2025, 3, 30) << "01:30"
                                    << "+" << 1 << "hodina" << QDate(2025, 3, 30) << "02:30";
        QTest::newRow("autumn DST") << QDate(2025, 10, 26) << "02:30"
                                    << "+" << 60 << "minuta" << QDate(2025, 10, 26) << "03:30";
        QTest::newRow("a day over the spring DST") << QDate(2025, 3, 29) << "02:30"
                                                   << "+" << 24 << "hodina" << QDate(2025, 3, 30) << "02:30";
        QTest::newRow("nothing") << QDate(2024, 5, 5) << "7:05"
                                 << "-" << 0 << "den" << QDate(2024, 5, 5) << "07:05";
    }
    void sums()
    {
        QFETCH(QDate, base);
        QFETCH(QString, time);
        QFETCH(QString, oper);
        QFETCH(int, value);
        QFETCH(QString, unit);
        QFETCH(QDate, date);
        QFETCH(QString, result);
        TFVypDC* f = Open();
        Enter(f, base, time, oper, value, unit);
        QCOMPARE(f->EVDate->date(), date);
        QCOMPARE(f->EVCas->text(), result);
        QCOMPARE(tag(f->CBOper), oper == QLatin1String("+") ? 1 : 2);
        QCOMPARE(tag(f->CBDelka), f->CBDelka->findText(unit) + 1);
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void anUnknownUnitKeepsThePreviousOne()
    {
        TFVypDC* f = Open();
        Enter(f, QDate(2024, 6, 10), "10:00", "+", 2, "den");
        QCOMPARE(f->EVDate->date(), QDate(2024, 6, 12));
        FocusTo(f->CBDelka);
        f->CBDelka->setEditText(QStringLiteral("týden"));
        FocusTo(f->RSEDelka);
        QCOMPARE(tag(f->CBDelka), 1);
        QTRY_COMPARE(QApplication::focusWidget(), f->CBDelka);
        f->RSEDelka->SetValue(3);
        QCOMPARE(f->EVDate->date(), QDate(2024, 6, 13));
        QCOMPARE(f->EVCas->text(), QStringLiteral("10:00"));
        // Case does not matter for a known text.
        f->CBDelka->setEditText(QStringLiteral("HODINA"));
        FocusTo(f->RSEDelka);
        QCOMPARE(tag(f->CBDelka), 2);
        QCOMPARE(f->EVDate->date(), QDate(2024, 6, 10));
        QCOMPARE(f->EVCas->text(), QStringLiteral("13:00"));
        // So does an unknown operation.
        FocusTo(f->CBOper);
        f->CBOper->setEditText(QStringLiteral("*"));
        FocusTo(f->RSEDelka);
        QCOMPARE(tag(f->CBOper), 1);
        QTRY_COMPARE(QApplication::focusWidget(), f->CBOper);
        f->CBOper->setEditText(QStringLiteral("-"));
        FocusTo(f->RSEDelka);
        QCOMPARE(tag(f->CBOper), 2);
        QCOMPARE(f->EVCas->text(), QStringLiteral("07:00"));
    }

    void anInvalidBaseTimeIsToldAndLeavesTheResult()
    {
        TFVypDC* f = Open();
        Enter(f, QDate(2024, 6, 10), "10:00", "+", 1, "hodina");
        QCOMPARE(f->EVCas->text(), QStringLiteral("11:00"));
        for (const QString& bad : { QStringLiteral("25:00"), QStringLiteral("12:60"), QStringLiteral("1") }) {
            Dialogs::clearScript();
            FocusTo(f->EZCas);
            f->EZCas->setText(bad);
            FocusTo(f->CBOper);
            QCOMPARE(Dialogs::shown().size(), 1);
            QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));
            QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Error);
            QTRY_COMPARE(QApplication::focusWidget(), f->EZCas);
            // Whatever else changes meanwhile, the result waits for a valid base.
            f->RSEDelka->SetValue(5);
            f->EZDate->setDate(QDate(2030, 1, 1));
            QCOMPARE(f->EVDate->date(), QDate(2024, 6, 10));
            QCOMPARE(f->EVCas->text(), QStringLiteral("11:00"));
            QCOMPARE(Dialogs::shown().size(), 1);
            f->EZDate->setDate(QDate(2024, 6, 10));
            f->RSEDelka->SetValue(1);
        }
        f->EZCas->setText(QStringLiteral("9:30"));
        FocusTo(f->CBOper);
        QCOMPARE(f->EVCas->text(), QStringLiteral("10:30"));
        // The result's own time is only checked.
        Dialogs::clearScript();
        FocusTo(f->EVCas);
        f->EVCas->setText(QStringLiteral("24:00"));
        FocusTo(f->BVZ);
        QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));
        QCOMPARE(f->EZCas->text(), QStringLiteral("9:30"));
    }

    void resultBecomesTheBase()
    {
        TFVypDC* f = Open();
        Enter(f, QDate(2024, 12, 31), "22:00", "+", 90, "minuta");
        QCOMPARE(f->EVCas->text(), QStringLiteral("23:30"));
        f->BVZ->click();
        QCOMPARE(f->EZDate->date(), QDate(2024, 12, 31));
        QCOMPARE(f->EZCas->text(), QStringLiteral("23:30"));
        QCOMPARE(f->EVDate->date(), QDate(2025, 1, 1));
        QCOMPARE(f->EVCas->text(), QStringLiteral("01:00"));
    }

    void theNewReminderFormGetsTheResult()
    {
        m_program->hub().HandleReminderCommand(rcNewReminder);
        auto* form = qobject_cast<TFNewPrip*>(FindForm(QStringLiteral("FNewPrip")));
        QVERIFY(form);
        QPointer<TFVypDC> seen;
        Dialogs::queueModal([&seen](QDialog* d) {
            auto* calculator = qobject_cast<TFVypDC*>(d);
            seen = calculator;
            if (!calculator)
                return int(mrCancel);
            calculator->EZDate->setDate(QDate(2024, 12, 31));
            calculator->EZCas->setText(QStringLiteral("23:30"));
            calculator->RSEDelka->SetValue(45);
            calculator->BOK->click();
            return calculator->result();
        });
        form->SpeedButton1->Click();
        QCOMPARE(Dialogs::shownModals(), QStringList({ QStringLiteral("FVypDC") }));
        QVERIFY(seen);
        QCOMPARE(seen->result(), int(mrOk));
        QCOMPARE(form->EDate->date(), QDate(2025, 1, 2));
        QCOMPARE(form->ECas->text(), QStringLiteral("20:30"));
        QTRY_VERIFY(!seen); // closed and freed
        QVERIFY(FindForm(QStringLiteral("FNewPrip")));

        // Back out: the form keeps its event.
        Dialogs::queueModal([](QDialog* d) {
            auto* calculator = qobject_cast<TFVypDC*>(d);
            calculator->RSEDelka->SetValue(3);
            calculator->BCancel->click();
            return calculator->result();
        });
        form->SpeedButton1->Click();
        QCOMPARE(form->EDate->date(), QDate(2025, 1, 2));
        QCOMPARE(form->ECas->text(), QStringLiteral("20:30"));
    }
};

QTEST_MAIN(TestVypDC)
#include "tst_vypdc.moc"
