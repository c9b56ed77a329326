#include "platform/hotkeys.h"
#include "platform/screensaver.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(QKeyCombination)

namespace {
QKeyCombination sc(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeyCombination(modifiers, key);
}
} // namespace

class TestHotKeys : public QObject {
    Q_OBJECT
private slots:
    void readsShortCutTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeyCombination>("expected");
        QTest::newRow("ctrl alt letter") << "Ctrl+Alt+N" << sc(Qt::ControlModifier | Qt::AltModifier, Qt::Key_N);
        QTest::newRow("shift alone") << "Shift+F5" << sc(Qt::ShiftModifier, Qt::Key_F5);
        QTest::newRow("alt alone") << "Alt+PgUp" << sc(Qt::AltModifier, Qt::Key_PageUp);
        QTest::newRow("all three") << "Shift+Ctrl+Alt+Del"
                                   << sc(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, Qt::Key_Delete);
        QTest::newRow("any case, any order") << "alt+ctrl+n" << sc(Qt::ControlModifier | Qt::AltModifier, Qt::Key_N);
        QTest::newRow("no modifier") << "F12" << sc(Qt::NoModifier, Qt::Key_F12);
        QTest::newRow("digit") << "Ctrl+7" << sc(Qt::ControlModifier, Qt::Key_7);
        QTest::newRow("keypad digit") << "Ctrl+Num 5" << sc(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5);
        QTest::newRow("keypad operator") << "Alt+Num *" << sc(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Asterisk);
        QTest::newRow("keypad delete") << "Num Del" << sc(Qt::KeypadModifier, Qt::Key_Delete);
        QTest::newRow("plus key") << "Ctrl++" << sc(Qt::ControlModifier, Qt::Key_Plus);
        QTest::newRow("punctuation") << "Ctrl+," << sc(Qt::ControlModifier, Qt::Key_Comma);
        QTest::newRow("space") << "Ctrl+Space" << sc(Qt::ControlModifier, Qt::Key_Space);
        QTest::newRow("backspace") << "Alt+BkSp" << sc(Qt::AltModifier, Qt::Key_Backspace);
        QTest::newRow("enter") << "Ctrl+Enter" << sc(Qt::ControlModifier, Qt::Key_Return);
        QTest::newRow("F24") << "Ctrl+F24" << sc(Qt::ControlModifier, Qt::Key_F24);
        QTest::newRow("Latin-1 letter") << "Ctrl+é" << sc(Qt::ControlModifier, Qt::Key_Eacute);
        const QKeyCombination none = QKeyCombination::fromCombined(0);
        QTest::newRow("empty") << "" << none;
        QTest::newRow("modifiers alone") << "Ctrl+Alt+" << none;
        QTest::newRow("modifier name without plus") << "Ctrl+Alt" << none;
        QTest::newRow("unknown name") << "Ctrl+Hyper" << none;
        QTest::newRow("F0") << "F0" << none;
        QTest::newRow("F25") << "Ctrl+F25" << none;
        QTest::newRow("F05") << "F05" << none;
        QTest::newRow("two keys") << "Ctrl+AB" << none;
        QTest::newRow("keypad letter") << "Num A" << none;
        QTest::newRow("outside Latin-1") << "Ctrl+ř" << none;
        QTest::newRow("blank") << "Ctrl+ " << none;
    }
    void readsShortCutTexts()
    {
        QFETCH(QString, text);
        QFETCH(QKeyCombination, expected);
        QCOMPARE(TextToShortCut(text).toCombined(), expected.toCombined());
    }

    void writesTheClassLibrarysTexts()
    {
        QCOMPARE(ShortCutToText(sc(Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_N)),
            QStringLiteral("Shift+Ctrl+Alt+N"));
        QCOMPARE(ShortCutToText(sc(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5)), QStringLiteral("Ctrl+Num 5"));
        QCOMPARE(ShortCutToText(sc(Qt::KeypadModifier, Qt::Key_Delete)), QStringLiteral("Num Del"));
        QCOMPARE(ShortCutToText(sc(Qt::NoModifier, Qt::Key_PageDown)), QStringLiteral("PgDn"));
        QCOMPARE(ShortCutToText(sc(Qt::ControlModifier, Qt::Key_Plus)), QStringLiteral("Ctrl++"));
        QCOMPARE(ShortCutToText(QKeyCombination::fromCombined(0)), QString());
        // Keys the class library had no name for are not written.
        QCOMPARE(ShortCutToText(sc(Qt::ControlModifier, Qt::Key_VolumeUp)), QString());
        QCOMPARE(ShortCutToText(sc(Qt::KeypadModifier, Qt::Key_A)), QString());
    }

    void everyWrittenTextReadsBack()
    {
        QList<Qt::Key> keys { Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space,
            Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down,
            Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Pause, Qt::Key_Minus, Qt::Key_Slash, Qt::Key_Eacute };
        for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k)
            keys.append(Qt::Key(k));
        for (int k = Qt::Key_0; k <= Qt::Key_9; ++k)
            keys.append(Qt::Key(k));
        for (int k = Qt::Key_F1; k <= Qt::Key_F24; ++k)
            keys.append(Qt::Key(k));
        const Qt::KeyboardModifiers modifierSets[] = { Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier,
            Qt::ControlModifier | Qt::AltModifier, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier };
        for (Qt::KeyboardModifiers m : modifierSets)
            for (Qt::Key k : keys) {
                const QString text = ShortCutToText(sc(m, k));
                QVERIFY2(!text.isEmpty(), qPrintable(QString::number(k, 16)));
                QCOMPARE(TextToShortCut(text).toCombined(), sc(m, k).toCombined());
            }
        for (int k = Qt::Key_0; k <= Qt::Key_9; ++k)
            QCOMPARE(TextToShortCut(ShortCutToText(sc(Qt::KeypadModifier | Qt::AltModifier, Qt::Key(k)))).toCombined(),
                sc(Qt::KeypadModifier | Qt::AltModifier, Qt::Key(k)).toCombined());
    }

    // Offscreen there is no X11 connection: Qt hands out the X11 interface
    // all the same, with no connection behind it.
    void withoutX11EveryHotKeyFails()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        for (int id = 1; id <= 6; ++id)
            QVERIFY(!keys.registerHotKey(id, TextToShortCut(QStringLiteral("Ctrl+Alt+%1").arg(id))));
        QVERIFY(!keys.registerHotKey(7, QKeyCombination::fromCombined(0)));
        keys.unregisterHotKey(1);
        keys.unregisterHotKey(42);
        keys.unregisterAll();
        QCoreApplication::processEvents();
        QCOMPARE(pressed.size(), 0);
    }

    void withoutX11TheScreenSaverCannotBeReached()
    {
        QVERIFY(!ScreenSaver::IsEnabled().has_value());
        QVERIFY(!ScreenSaver::IsOn().has_value());
        QVERIFY(!ScreenSaver::SetEnabled(false));
        QVERIFY(!ScreenSaver::SetEnabled(true));
        QVERIFY(!ScreenSaver::Activate());
    }
};

QTEST_MAIN(TestHotKeys)
#include "tst_hotkeys.moc"
