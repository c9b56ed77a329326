// The forms' date field: typing as a date field takes it, whichever way the
// field got the focus; a Czech drop-down calendar; and Qt's own texts in
// Czech once the programs load its translations.
#include "components/dateedit.h"
#include "platform/application.h"
#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

class TestDateEdit : public QObject {
    Q_OBJECT

    QWidget m_form;
    QLineEdit* m_other = nullptr;
    TDateEdit* m_date = nullptr;

    void Type(const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(m_date, c.toLatin1());
    }

private slots:
    void initTestCase()
    {
        auto* layout = new QVBoxLayout(&m_form);
        m_other = new QLineEdit(&m_form);
        m_date = new TDateEdit(&m_form);
        layout->addWidget(m_other);
        layout->addWidget(m_date);
        m_form.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_form));
    }

    void typing_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("typedDate"); // while the field has the focus
        QTest::addColumn<QDate>("leftDate"); // once the focus has gone
        const QDate dec9(2026, 12, 9);
        QTest::newRow("whole date") << dec9 << "24.12.2027" << QDate(2027, 12, 24) << QDate(2027, 12, 24);
        QTest::newRow("one-digit parts") << dec9 << "5.1.2027" << QDate(2027, 1, 5) << QDate(2027, 1, 5);
        QTest::newRow("no separators") << dec9 << "24122027" << QDate(2027, 12, 24) << QDate(2027, 12, 24);
        QTest::newRow("full day moves on") << dec9 << "24.1.2027" << QDate(2027, 1, 24) << QDate(2027, 1, 24);
        QTest::newRow("4 cannot follow 3") << dec9 << "342027" << QDate(2027, 4, 3) << QDate(2027, 4, 3);
        QTest::newRow("day only") << dec9 << "15" << QDate(2026, 12, 15) << QDate(2026, 12, 15);
        QTest::newRow("day and month") << dec9 << "1.3." << QDate(2026, 3, 1) << QDate(2026, 3, 1);
        QTest::newRow("two-digit year on leaving") << dec9 << "2.2.27" << QDate(2026, 2, 2) << QDate(2027, 2, 2);
        QTest::newRow("31 waits for its month")
            << QDate(2026, 11, 9) << "31.1.2027" << QDate(2027, 1, 31) << QDate(2027, 1, 31);
        QTest::newRow("29 February") << dec9 << "29.2.2028" << QDate(2028, 2, 29) << QDate(2028, 2, 29);
        QTest::newRow("no 29 February") << dec9 << "29.2.2027" << QDate(2026, 12, 29) << QDate(2026, 12, 29);
        QTest::newRow("no month 13") << dec9 << "1.13" << QDate(2026, 1, 1) << QDate(2026, 1, 1);
        QTest::newRow("a day of 0 is none") << dec9 << "0" << dec9 << dec9;
        QTest::newRow("letters are not typed") << dec9 << "abc" << dec9 << dec9;
    }

    void typing()
    {
        QFETCH(QDate, from);
        QFETCH(QString, typed);
        QFETCH(QDate, typedDate);
        QFETCH(QDate, leftDate);
        for (const Qt::FocusReason reason : { Qt::TabFocusReason, Qt::MouseFocusReason, Qt::ShortcutFocusReason }) {
            m_date->setDate(from);
            m_other->setFocus();
            m_date->setFocus(reason);
            QVERIFY(m_date->hasFocus());
            Type(typed);
            QCOMPARE(m_date->date(), typedDate);
            m_other->setFocus();
            QCOMPARE(m_date->date(), leftDate);
            QCOMPARE(m_date->text(), leftDate.toString(QStringLiteral("d.M.yyyy")));
        }
    }

    void backspaceAndOtherKeys()
    {
        m_date->setDate(QDate(2026, 12, 9));
        m_other->setFocus();
        m_date->setFocus(Qt::TabFocusReason);
        Type(QStringLiteral("17.3"));
        QCOMPARE(m_date->date(), QDate(2026, 3, 17));
        QTest::keyClick(m_date, Qt::Key_Backspace);
        QTest::keyClick(m_date, Qt::Key_Backspace);
        QCOMPARE(m_date->Typed(), QStringLiteral("17"));
        Type(QStringLiteral(".5"));
        QCOMPARE(m_date->date(), QDate(2026, 5, 17));
        // Enter takes a short year.
        Type(QStringLiteral(".28"));
        QTest::keyClick(m_date, Qt::Key_Return);
        QCOMPARE(m_date->date(), QDate(2028, 5, 17));
        QVERIFY(m_date->Typed().isEmpty());
        // An arrow ends the typing: the next digits start a new date.
        Type(QStringLiteral("3"));
        QTest::keyClick(m_date, Qt::Key_Left);
        QVERIFY(m_date->Typed().isEmpty());
        Type(QStringLiteral("8"));
        QCOMPARE(m_date->date(), QDate(2028, 5, 8));
        // Each step the typing makes is one change.
        QSignalSpy changes(m_date, &QDateEdit::dateChanged);
        m_other->setFocus();
        m_date->setFocus(Qt::TabFocusReason);
        Type(QStringLiteral("1.6.2029"));
        QCOMPARE(changes.size(), 3); // 1.5.2028, 1.6.2028, 1.6.2029
    }

    void czechCalendar()
    {
        QCOMPARE(m_date->displayFormat(), QStringLiteral("d.M.yyyy"));
        QVERIFY(m_date->calendarPopup());
        // The calendar the arrow drops down.
        QTest::mouseClick(m_date, Qt::LeftButton, {}, QPoint(m_date->width() - 4, m_date->height() / 2));
        const QCalendarWidget* calendar = m_date->calendarWidget();
        QTRY_VERIFY(calendar->isVisible());
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
        QCOMPARE(calendar->locale().standaloneMonthName(12), QStringLiteral("prosinec"));
        QCOMPARE(calendar->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("po"));
        QCOMPARE(calendar->locale().language(), QLocale::Czech);
    }

    void qtSpeaksCzech()
    {
        QVERIFY(LoadQtTranslations(*QCoreApplication::instance()));
        // The file dialog's and the calendar's own words.
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Hledat v:"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Zrušit"));

        // The file dialog the programs open: every caption Czech; its picture kept.
        QStringList texts;
        Dialogs::FileDialogSetup setup;
        setup.prepare = [&texts](QFileDialog& dialog) {
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            QTimer::singleShot(0, &dialog, [&dialog, &texts] {
                for (const QLabel* l : dialog.findChildren<QLabel*>())
                    texts << l->text();
                for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
                    if (!b->text().isEmpty())
                        texts << b->text();
                const QString folder = qEnvironmentVariableIsSet("KORVEL_ARTIFACTS")
                    ? qEnvironmentVariable("KORVEL_ARTIFACTS")
                    : QDir::temp().filePath("korvel-artifacts");
                QDir().mkpath(folder);
                dialog.grab().save(folder + QStringLiteral("/file-dialog.png"));
                dialog.reject();
            });
        };
        QCOMPARE(Dialogs::getOpenFileName(&m_form, QStringLiteral("Zvukový soubor"), QDir::tempPath(),
                     QStringLiteral("Zvuky (*.wav)"), &setup),
            QString());
        QVERIFY2(texts.contains(QStringLiteral("Hledat v:")), qPrintable(texts.join(" | ")));
        QVERIFY2(texts.contains(QStringLiteral("&Otevřít")) || texts.contains(QStringLiteral("Otevřít")),
            qPrintable(texts.join(" | ")));
        QVERIFY2(texts.contains(QStringLiteral("Zrušit")), qPrintable(texts.join(" | ")));
        for (const char* english : { "Look in:", "File name:", "&Open", "Open", "Cancel", "Files of type:" })
            QVERIFY2(!texts.contains(QString::fromLatin1(english)), english);
    }
};

QTEST_MAIN(TestDateEdit)
#include "tst_dateedit.moc"
