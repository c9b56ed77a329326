// The exit handler the forms hang on their controls: which focus changes are
// exits of the control; a control destroyed with the focus runs none.
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "shared/f_p.h"

#include "testsupport.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A shown, active window with a line edit, a date edit and another line edit.
struct Form {
    Form()
        : window(new QWidget)
    {
        auto* layout = new QVBoxLayout(window);
        for (QWidget* w : std::initializer_list<QWidget*> { first, date, last })
            layout->addWidget(w);
        window->show();
        QApplication::setActiveWindow(window);
    }
    QWidget* window;
    QLineEdit* first = new QLineEdit(window);
    QDateEdit* date = new QDateEdit(window);
    QLineEdit* last = new QLineEdit(window);
};

} // namespace

class TestOnExit : public QObject {
    Q_OBJECT
private slots:
    void aMoveToAnotherControlIsAnExit()
    {
        ScriptedDialogs dialogs;
        Form form;
        std::unique_ptr<QWidget> owner(form.window);
        QVERIFY(QTest::qWaitForWindowActive(form.window));
        int exits = 0;
        OnExit(form.first, [&exits] { ++exits; });
        form.first->setFocus(Qt::TabFocusReason);
        form.last->setFocus(Qt::TabFocusReason);
        QCOMPARE(exits, 1);
        form.first->setFocus(Qt::MouseFocusReason);
        form.date->setFocus(Qt::MouseFocusReason);
        QCOMPARE(exits, 2);

        // A menu or another window takes the focus for a while: no exit.
        form.first->setFocus(Qt::TabFocusReason);
        for (const Qt::FocusReason reason : { Qt::PopupFocusReason, Qt::ActiveWindowFocusReason }) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QApplication::sendEvent(form.first, &out);
        }
        QCOMPARE(exits, 2);
        // Nor is a focus that goes nowhere.
        form.first->clearFocus();
        QCOMPARE(exits, 2);
        QCOMPARE(QApplication::focusWidget(), nullptr);
    }

    void anExceptionIsShownAndSwallowed()
    {
        ScriptedDialogs dialogs;
        Form form;
        std::unique_ptr<QWidget> owner(form.window);
        QVERIFY(QTest::qWaitForWindowActive(form.window));
        OnExit(form.first, [] { throw KorvelError(QStringLiteral("Chybný formát")); });
        form.first->setFocus(Qt::TabFocusReason);
        form.last->setFocus(Qt::TabFocusReason);
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text, QStringLiteral("Chybný formát"));
        QVERIFY(form.last->hasFocus());
    }

    // A control destroyed while it holds the focus lets go of it to no
    // control: its window may be going, and with it the controls the handler
    // reads.
    void theEndOfTheControlIsNoExit()
    {
        ScriptedDialogs dialogs;
        for (const bool dateFocused : { false, true }) {
            Form form;
            std::unique_ptr<QWidget> owner(form.window);
            QVERIFY(QTest::qWaitForWindowActive(form.window));
            QWidget* focused = dateFocused ? static_cast<QWidget*>(form.date) : form.last;
            int exits = 0;
            OnExit(focused, [&exits] { ++exits; });
            focused->setFocus(Qt::TabFocusReason);
            QVERIFY(focused->hasFocus());
            delete focused;
            QCOMPARE(exits, 0);
            // The other controls are left as before.
            form.first->setFocus(Qt::TabFocusReason);
            QVERIFY(form.first->hasFocus());
        }
    }
};

QTEST_MAIN(TestOnExit)
#include "tst_onexit.moc"
