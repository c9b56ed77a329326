#include "shared/f_p.h"

#include "platform/inifile.h"

#include "testsupport.h"

#include <QTest>

class TestFP : public QObject {
    Q_OBJECT
private slots:
    void oneCallSettingsReadWhatTheyWrote()
    {
        TempProgramFolder dir;
        const QString ini = dir.iniPath();
        IniWriteString(ini, "Nastav", "adrdatabaze", "C:\\Data\\Žluť");
        IniWriteInteger(ini, "Nastav", "pripopak", -15);
        IniWriteBool(ini, "FNewPrip", "implprenos", true);
        IniWriteBool(ini, "FNewPrip", "implzvuk", false);
        QCOMPARE(readFileBytes(ini),
            QByteArray("[Nastav]\r\nadrdatabaze=C:\\Data\\\x8elu\x9d\r\npripopak=-15\r\n\r\n"
                       "[FNewPrip]\r\nimplprenos=1\r\nimplzvuk=0\r\n"));
        QCOMPARE(IniReadString(ini, "nastav", "ADRDATABAZE", "x"), QString("C:\\Data\\Žluť"));
        QCOMPARE(IniReadInteger(ini, "Nastav", "pripopak", 1), -15);
        QCOMPARE(IniReadBool(ini, "FNewPrip", "implprenos", false), true);
        QCOMPARE(IniReadBool(ini, "FNewPrip", "implzvuk", true), false);
        // Missing keys and values that do not convert give the default.
        QCOMPARE(IniReadString(ini, "Nastav", "none", "def"), QString("def"));
        QCOMPARE(IniReadInteger(ini, "Nastav", "adrdatabaze", 7), 7);
        QCOMPARE(IniReadBool(ini, "Nastav", "adrdatabaze", true), true);
        QCOMPARE(IniReadInteger(dir.file("none.ini"), "Nastav", "pripopak", 3), 3);
    }

    void everyCallSeesWhatAnotherProgramWrote()
    {
        TempProgramFolder dir;
        const QString ini = dir.iniPath();
        IniWriteInteger(ini, "Memo", "font", 9);
        writeFileBytes(ini, "[Memo]\r\nfont=0x0C\r\n");
        QCOMPARE(IniReadInteger(ini, "Memo", "font", 0), 12);
    }

    void writeFailuresReachTheCaller()
    {
        TempProgramFolder dir;
        const QString ini = dir.file("missing/korvel.ini");
        QVERIFY_THROWS_EXCEPTION(IniWriteError, IniWriteString(ini, "S", "k", "v"));
        QVERIFY_THROWS_EXCEPTION(IniWriteError, IniWriteInteger(ini, "S", "k", 1));
        QVERIFY_THROWS_EXCEPTION(IniWriteError, IniWriteBool(ini, "S", "k", true));
    }

    void readShowIconForm()
    {
        TempProgramFolder dir;
        QCOMPARE(ReadShowIconForm(IniFile(dir.iniPath())), true);
        IniWriteBool(dir.iniPath(), "Nastav", "zobriconform", false);
        QCOMPARE(ReadShowIconForm(IniFile(dir.iniPath())), false);
        writeFileBytes(dir.iniPath(), "[NASTAV]\r\nZobrIconForm=2\r\n");
        QCOMPARE(ReadShowIconForm(IniFile(dir.iniPath())), true);
    }

    void messageDialogsReturnTheAnswerAndBeepFirst()
    {
        ScriptedDialogs dialogs;
        Dialogs::queueAnswer(mrNo);
        QCOMPARE(MessageDlgCentered("Opravdu?", MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 12), int(mrNo));
        QVERIFY(Dialogs::beeps().isEmpty());
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text, QString("Opravdu?"));
        QCOMPARE(Dialogs::shown()[0].type, MsgDlgType::Confirmation);
        QCOMPARE(Dialogs::shown()[0].buttons, MsgBtn::Yes | MsgBtn::No);
        QCOMPARE(Dialogs::shown()[0].helpContext, 12);

        Dialogs::queueAnswer(mrYes);
        QCOMPARE(MessageDlgBeep("Smazat?", MsgDlgType::Confirmation, MsgBtn::Yes | MsgBtn::No, 0), int(mrYes));
        QCOMPARE(MessageDlgBeep("Hotovo", MsgDlgType::Information, MsgBtn::OK, 0), int(mrOk));
        QCOMPARE(Dialogs::beeps(), (QList<MsgDlgType> { MsgDlgType::Confirmation, MsgDlgType::Information }));
        QCOMPARE(Dialogs::shown().size(), 3);
        QCOMPARE(Dialogs::shown()[2].text, QString("Hotovo"));
    }

    void joinMemoPiecesRestoresLineBreaks()
    {
        QCOMPARE(JoinMemoPieces({}), QString());
        QCOMPARE(JoinMemoPieces({ "a\r\nb", "", "" }), QString("a\nb"));
        // A line break cut between two pieces.
        QCOMPARE(JoinMemoPieces({ QString(254, u'x') + "\r", "\nkonec" }), QString(254, u'x') + "\nkonec");
        QCOMPARE(JoinMemoPieces({ "a\r\n\r\n", "\r\nb" }), QString("a\n\n\nb"));
    }
};

QTEST_GUILESS_MAIN(TestFP)
#include "tst_f_p.moc"
