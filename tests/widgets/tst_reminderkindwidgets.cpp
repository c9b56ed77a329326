#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/f_p.h"
#include "shared/reminderdates.h"
#include "shared/reminderkinds.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {

QStringList itemsOf(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

} // namespace

class TestReminderKindWidgets : public QObject {
    Q_OBJECT
private slots:
    void kindCombos()
    {
        for (bool editable : { true, false }) {
            QComboBox combo;
            combo.setEditable(editable);
            combo.addItem("stale");
            int changes = 0;
            connect(&combo, &QComboBox::currentIndexChanged, [&] { ++changes; });
            connect(&combo, &QComboBox::editTextChanged, [&] { ++changes; });
            FillRepeatKindCombo(&combo, 2);
            QCOMPARE(itemsOf(combo),
                QStringList({ "žádné - bude vymazáno", "dny v týdnu - výběr", "týdně - automatická změna",
                    "ročně - automatická změna" }));
            QCOMPARE(combo.currentText(), QString("dny v týdnu - výběr"));
            QCOMPARE(tag(&combo), 2);

            FillOverdueActionCombo(&combo, 6);
            QCOMPARE(combo.count(), 5);
            QCOMPARE(combo.currentText(), QString());
            QCOMPARE(tag(&combo), 0);

            FillAdvanceKindCombo(&combo, 4);
            QCOMPARE(combo.currentText(), QString("v určený datum a čas"));
            FillLengthKindCombo(&combo, 1);
            QCOMPARE(itemsOf(combo), QStringList({ "minut", "hodin", "dnů", "datum + čas" }));
            QCOMPARE(combo.currentText(), QString("minut"));
            QCOMPARE(tag(&combo), 1);
            QCOMPARE(changes, 0);
        }
    }

    void nextKindCombo()
    {
        QComboBox combo;
        combo.setEditable(true);
        int value = 7;
        FillNextKindCombo(&combo, value, false);
        QCOMPARE(value, 1);
        QCOMPARE(combo.count(), 5);
        QCOMPARE(combo.currentText(), QString("za .. minut"));

        value = 7;
        FillNextKindCombo(&combo, value, true);
        QCOMPARE(value, 7);
        QCOMPARE(combo.count(), 8);
        QCOMPARE(combo.currentText(), QString(".. hodin před vých. časem"));
        QCOMPARE(tag(&combo), 7);

        value = 0;
        FillNextKindCombo(&combo, value, true);
        QCOMPARE(value, 0);
        QCOMPARE(combo.currentText(), QString());
        QCOMPARE(tag(&combo), 0);
    }

    void weekdays()
    {
        QListWidget box;
        for (const char* day : { "neděle", "pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota" })
            box.addItem(QString::fromUtf8(day));
        for (int i = 0; i < box.count(); ++i)
            box.item(i)->setCheckState(Qt::Checked);

        int changes = 0;
        connect(&box, &QListWidget::itemChanged, [&] { ++changes; });
        TextToWeekdays(&box, "17");
        QCOMPARE(changes, 0);
        QList<bool> checked;
        for (int i = 0; i < box.count(); ++i)
            checked << (box.item(i)->checkState() == Qt::Checked);
        QCOMPARE(checked, QList<bool>({ true, false, false, false, false, false, true }));
        QCOMPARE(WeekdaysToText(&box), QString("17"));

        TextToWeekdays(&box, "7654321");
        QCOMPARE(WeekdaysToText(&box), QString("1234567"));
        TextToWeekdays(&box, "90x3");
        QCOMPARE(WeekdaysToText(&box), QString("3"));
        TextToWeekdays(&box, "");
        QCOMPARE(WeekdaysToText(&box), QString());
    }

    void timeEditTexts_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("23:59") << ""
                               << "23:59" << false;
        QTest::newRow("00:00") << ""
                               << "00:00" << false;
        QTest::newRow("24:00") << ""
                               << "24:00" << true;
        QTest::newRow("12:60") << ""
                               << "12:60" << true;
        QTest::newRow("blank") << ""
                               << "" << true;
        QTest::newRow("short") << ""
                               << "9:30" << true;
        QTest::newRow("third character not checked") << ""
                                                     << "12.30" << false;
        QTest::newRow("signs") << ""
                               << "-1:30" << true;
        QTest::newRow("letters") << ""
                                 << "1a:30" << true;
        QTest::newRow("masked 07:45") << "99:99;_"
                                      << "0745" << false;
        QTest::newRow("masked blank") << "99:99;_"
                                      << "" << true;
        QTest::newRow("masked half") << "99:99;_"
                                     << "1" << true;
        QTest::newRow("masked 24:00") << "99:99;_"
                                      << "2400" << true;
        QTest::newRow("optional hour place left blank") << "09:99"
                                                        << "9:30" << false;
        QTest::newRow("optional hour place in front") << "09:99;_"
                                                      << " 9:30" << false;
        QTest::newRow("minutes half filled") << "09:99;_"
                                             << "12:3" << true;
    }
    void timeEditTexts()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QFETCH(bool, invalid);
        ScriptedDialogs dialogs;
        QLineEdit edit;
        edit.setInputMask(mask);
        edit.setText(text);
        // A time is read exactly when the check lets the text pass.
        QCOMPARE(TimeEditValue(&edit).has_value(), !invalid);
        QCOMPARE(TimeEditInvalid(&edit), invalid);
        QCOMPARE(Dialogs::shown().size(), invalid ? 1 : 0);
        if (invalid) {
            QCOMPARE(Dialogs::shown()[0].text, QString("Chybný formát"));
            QCOMPARE(Dialogs::shown()[0].type, MsgDlgType::Error);
            QCOMPARE(Dialogs::shown()[0].buttons, int(MsgBtn::OK));
            QCOMPARE(Dialogs::beeps(), QList<MsgDlgType> { MsgDlgType::Error });
        }
        QCoreApplication::processEvents(); // let the deferred focus go before the next row
    }

    void timeEditValues_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minuteOfDay");
        QTest::newRow("midnight is a time") << TimeEditMask << "00:00" << 0;
        QTest::newRow("last minute") << TimeEditMask << "23:59" << 1439;
        QTest::newRow("hour place in front") << TimeEditMask << " 9:30" << 570;
        QTest::newRow("hour place behind") << TimeEditMask << "9_:30" << 570;
        QTest::newRow("minute half typed") << TimeEditMask << "12:5" << -1;
        QTest::newRow("no hour") << TimeEditMask << "  :30" << -1;
        QTest::newRow("24:00") << TimeEditMask << "24:00" << -1;
        QTest::newRow("other separator") << ""
                                         << "07.45" << 465;
    }
    void timeEditValues()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QFETCH(int, minuteOfDay);
        QLineEdit edit;
        edit.setInputMask(mask);
        edit.setText(text);
        const std::optional<double> value = TimeEditValue(&edit);
        QCOMPARE(value.has_value(), minuteOfDay >= 0);
        if (value) {
            // The same fraction as the encoded time: a date plus it is that minute.
            QCOMPARE(*value, EncodeTime(minuteOfDay / 60, minuteOfDay % 60, 0, 0));
            QCOMPARE(MinuteOfDay(EncodeDate(2024, 3, 31) + *value), minuteOfDay);
        }
    }

    // A minute typed into the last place leaves the one before it blank: the
    // check lets "12:_5" pass as 12:05, so that is the time read too.
    void aMinuteTypedAfterABlankPlace()
    {
        ScriptedDialogs dialogs;
        QLineEdit edit;
        edit.setInputMask(TimeEditMask);
        edit.setText("12:");
        edit.setCursorPosition(4);
        QTest::keyClick(&edit, Qt::Key_5);
        QCOMPARE(edit.displayText(), QString("12:_5"));
        QCOMPARE(TimeEditValue(&edit), std::optional<double>(EncodeTime(12, 5, 0, 0)));
        QVERIFY(!TimeEditInvalid(&edit));
        QVERIFY(Dialogs::shown().isEmpty());
    }

    // Leaving one bad time edit for another bad one: the focus comes back to
    // the first once, with one message, and stays there.
    void focusComesBackWithoutPingPong()
    {
        ScriptedDialogs dialogs;
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* first = new QLineEdit(&form);
        auto* second = new QLineEdit(&form);
        for (QLineEdit* e : { first, second }) {
            e->setInputMask("99:99;_");
            layout->addWidget(e);
        }
        // Checked whenever they lose the focus, as the forms do.
        for (QLineEdit* e : { first, second })
            OnExit(e, [e] { TimeEditInvalid(e); });
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        first->setFocus();
        QVERIFY(first->hasFocus());

        second->setFocus(Qt::TabFocusReason);
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY(second->hasFocus()); // not taken inside the focus change itself
        QTRY_VERIFY(first->hasFocus());
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
        QVERIFY(first->hasFocus());
        QCOMPARE(Dialogs::shown().size(), 1);

        // Once settled, leaving the first edit again is checked again.
        second->setFocus(Qt::TabFocusReason);
        QCOMPARE(Dialogs::shown().size(), 2);
        QTRY_VERIFY(first->hasFocus());
    }

    void deferredFocusSurvivesTheEdit()
    {
        ScriptedDialogs dialogs;
        auto* edit = new QLineEdit;
        QVERIFY(TimeEditInvalid(edit));
        delete edit;
        QCoreApplication::processEvents();
        // A new check after the edit has gone is not held back.
        QLineEdit other;
        QVERIFY(TimeEditInvalid(&other));
        QCOMPARE(Dialogs::shown().size(), 2);
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestReminderKindWidgets)
#include "tst_reminderkindwidgets.moc"
