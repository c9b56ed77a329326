#include "platform/dialogs.h"
#include "platform/tag.h"
#include "shared/reminderdates.h"
#include "shared/reminderkinds.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
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

// Checks a time edit whenever it loses the focus, as the forms do.
class ExitCheck : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            TimeEditInvalid(static_cast<QLineEdit*>(watched));
        return false;
    }
};

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
        ExitCheck check;
        first->installEventFilter(&check);
        second->installEventFilter(&check);
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
