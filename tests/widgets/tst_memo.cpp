#include "shared/f_p.h"
#include "shared/reminderfile.h"

#include "platform/inifile.h"

#include "testsupport.h"

#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace {

QAction* menuItem(const QMenu* menu, const QString& text)
{
    for (QAction* a : menu->findChildren<QAction*>())
        if (a->text() == text)
            return a;
    return nullptr;
}

QList<Qt::Alignment> blockAlignments(const QTextEdit& memo)
{
    QList<Qt::Alignment> out;
    for (QTextBlock b = memo.document()->begin(); b.isValid(); b = b.next())
        out.append(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    return out;
}

} // namespace

class TestMemo : public QObject {
    Q_OBJECT
private slots:
    void piecesOf255Characters()
    {
        QTextEdit memo;
        QCOMPARE(MemoPiece(1, &memo), QString());
        memo.setPlainText(QString(255, u'a'));
        QCOMPARE(MemoPiece(1, &memo), QString(255, u'a'));
        QCOMPARE(MemoPiece(2, &memo), QString());
        const QString text = QString(255, u'a') + QString(45, u'ř');
        memo.setPlainText(text);
        QCOMPARE(MemoPiece(2, &memo), QString(45, u'ř'));
        QCOMPARE(MemoPiece(3, &memo), QString());
        QCOMPARE(MemoPiece(0, &memo), QString());
    }

    void aLineBreakCountsTwoCharacters()
    {
        QTextEdit memo;
        memo.setPlainText(QString(250, u'a') + "\n\nb\nc");
        QCOMPARE(MemoPiece(1, &memo), QString(250, u'a') + "\r\n\r\nb");
        QCOMPARE(MemoPiece(2, &memo), QString("\r\nc"));
        // A line break at the boundary is cut in two and joined again.
        memo.setPlainText(QString(254, u'a') + "\nb");
        QCOMPARE(MemoPiece(1, &memo), QString(254, u'a') + "\r");
        QCOMPARE(MemoPiece(2, &memo), QString("\nb"));
        QCOMPARE(JoinMemoPieces({ MemoPiece(1, &memo), MemoPiece(2, &memo) }), memo.toPlainText());
    }

    void charactersAreCountedAsCodePageBytes()
    {
        // Outside the code page a character is one "?", even one of two UTF-16 units.
        QTextEdit memo;
        const QString emoji = QString::fromUcs4(U"\U0001F600");
        memo.setPlainText(QString(254, u'a') + emoji + "☺z");
        QCOMPARE(MemoPiece(1, &memo), QString(254, u'a') + "?");
        QCOMPARE(MemoPiece(2, &memo), QString("?z"));
    }

    void aDescriptionSurvivesTheReminderFile()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.da1");
        QString text;
        for (int i = 0; text.size() < 480; ++i)
            text += QString("Řádek %1 příliš žluťoučkého koně\n").arg(i);
        QTextEdit memo;
        memo.setPlainText(text);
        ReminderRecord r;
        r.Description1 = MemoPiece(1, &memo);
        r.Description2 = MemoPiece(2, &memo);
        WriteReminder(1, path, r);
        int position = 1;
        ReminderRecord back;
        ReadReminder(position, path, back);
        QTextEdit loaded;
        loaded.setPlainText(JoinMemoPieces({ back.Description1, back.Description2 }));
        QString crlf = text;
        crlf.replace("\n", "\r\n");
        // What does not fit in two pieces is not stored.
        QString expected = crlf.left(510);
        expected.replace("\r\n", "\n");
        if (expected.endsWith(u'\r'))
            expected.chop(1);
        QCOMPARE(loaded.toPlainText(), expected);
    }

    void loadMemoLook_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("nothing stored") << QByteArray() << int(Qt::AlignHCenter) << 0;
        QTest::newRow("left, 14 pt") << QByteArray("[Memo]\r\nzarov=1\r\nfont=14\r\n") << int(Qt::AlignLeft) << 14;
        QTest::newRow("right") << QByteArray("[Memo]\r\nzarov=3\r\n") << int(Qt::AlignRight) << 0;
        QTest::newRow("centred") << QByteArray("[Memo]\r\nzarov=2\r\nfont=-3\r\n") << int(Qt::AlignHCenter) << 0;
        QTest::newRow("unknown value") << QByteArray("[Memo]\r\nzarov=7\r\nfont=0\r\n") << int(Qt::AlignHCenter) << 0;
    }
    void loadMemoLook()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, alignment);
        QFETCH(int, pointSize);
        TempProgramFolder dir;
        if (!ini.isEmpty())
            writeFileBytes(dir.iniPath(), ini);
        QTextEdit memo;
        QFont font = memo.font();
        font.setPointSize(11);
        memo.setFont(font);
        memo.setPlainText("jedna\ndvě\ntři");
        memo.document()->setModified(false);
        LoadMemoLook(&memo, IniFile(dir.iniPath()));
        QCOMPARE(memo.font().pointSize(), pointSize > 0 ? pointSize : 11);
        QCOMPARE(blockAlignments(memo), QList<Qt::Alignment>(3, Qt::Alignment(alignment)));
        QVERIFY(!memo.document()->isModified());
        QVERIFY(!memo.document()->isUndoAvailable());
        // Text put in later is laid out with the same alignment.
        memo.resize(400, 200);
        memo.show();
        memo.setPlainText("nový\ntext");
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        const QTextBlock last = memo.document()->lastBlock();
        const qreal x = last.layout()->lineAt(0).naturalTextRect().left();
        const qreal free = memo.document()->textWidth() - last.layout()->lineAt(0).naturalTextWidth();
        if (alignment == Qt::AlignLeft)
            QVERIFY(x < 10);
        else if (alignment == Qt::AlignRight)
            QVERIFY(x > free - 10);
        else
            QVERIFY(qAbs(x - free / 2) < 10);
    }

    void saveMemoLookWritesWhatLoadReads()
    {
        TempProgramFolder dir;
        QTextEdit memo;
        memo.setPlainText("a\nb");
        QFont font = memo.font();
        font.setPointSize(16);
        memo.setFont(font);
        memo.selectAll();
        memo.setAlignment(Qt::AlignRight);
        SaveMemoLook(&memo, dir.iniPath());
        const IniFile ini(dir.iniPath());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 3);
        QCOMPARE(ini.readInteger("Memo", "font", 0), 16);

        writeFileBytes(dir.iniPath(), "[Memo]\r\nzarov=1\r\n");
        QTextEdit other;
        other.setPlainText("x");
        LoadMemoLook(&other, IniFile(dir.iniPath()));
        SaveMemoLook(&other, dir.iniPath());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 1);
        writeFileBytes(dir.iniPath(), "");
        LoadMemoLook(&other, IniFile(dir.iniPath()));
        SaveMemoLook(&other, dir.iniPath());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 2);
        QCOMPARE(ini.readInteger("Memo", "font", 0), other.font().pointSize());

        QVERIFY_THROWS_EXCEPTION(IniWriteError, SaveMemoLook(&other, dir.file("missing/korvel.ini")));
    }

    void memoMenuChangesTheLook()
    {
        TempProgramFolder dir;
        QWidget owner;
        auto* memo = new QTextEdit(&owner);
        QString settings = dir.file("missing/korvel.ini");
        QMenu* menu = CreateMemoMenu(memo, &owner, [&settings] { return settings; });
        QCOMPARE(menu->parent(), &owner);
        QCOMPARE(menu->objectName(), QString("PMenuMemo"));
        QCOMPARE(memo->contextMenuPolicy(), Qt::CustomContextMenu);
        for (const char* text : { "v&levo", "&střed", "v&pravo", "+1", "-1", "ulož jako výchozí" })
            QVERIFY2(menuItem(menu, QString::fromUtf8(text)), text);

        // An alignment is no change of the text, nor does it hide one.
        memo->setPlainText("jedna\ndvě");
        memo->document()->setModified(false);
        menuItem(menu, "v&pravo")->trigger();
        QCOMPARE(blockAlignments(*memo), QList<Qt::Alignment>(2, Qt::AlignRight));
        QVERIFY(!memo->document()->isModified());
        memo->document()->setModified(true);
        menuItem(menu, "v&levo")->trigger();
        QCOMPARE(blockAlignments(*memo), QList<Qt::Alignment>(2, Qt::AlignLeft));
        QVERIFY(memo->document()->isModified());
        memo->setPlainText("tři");
        QCOMPARE(memo->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

        QFont font = memo->font();
        font.setPointSize(2);
        memo->setFont(font);
        menuItem(menu, "+1")->trigger();
        QCOMPARE(memo->font().pointSize(), 3);
        for (int i = 0; i < 4; ++i)
            menuItem(menu, "-1")->trigger();
        QCOMPARE(memo->font().pointSize(), 1);

        // The settings file is the one named when the look is saved.
        settings = dir.iniPath();
        menuItem(menu, QString::fromUtf8("ulož jako výchozí"))->trigger();
        const IniFile ini(dir.iniPath());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 1);
        QCOMPARE(ini.readInteger("Memo", "font", 0), 1);
    }

    void limitTakesBackWhatGoesBeyondThePieces()
    {
        QTextEdit memo;
        LimitMemoToPieces(&memo, 1);
        // Typed at the end: the last characters go, a line break counting two.
        memo.setPlainText(QString(250, u'a'));
        memo.moveCursor(QTextCursor::End);
        memo.insertPlainText("\nbcdef");
        QCOMPARE(memo.toPlainText(), QString(250, u'a') + "\nbcd");
        QCOMPARE(memo.textCursor().position(), memo.toPlainText().size());
        // Pasted in the middle: what was pasted goes, the text after it stays.
        memo.setPlainText(QString(245, u'a') + QString(10, u'z'));
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(245);
        memo.setTextCursor(cursor);
        memo.insertPlainText("XYZ");
        QCOMPARE(memo.toPlainText(), QString(245, u'a') + QString(10, u'z'));
        QCOMPARE(memo.textCursor().position(), 245);
        // Set with the cursor at the start: the end goes.
        memo.setPlainText(QString(300, u'ř'));
        QCOMPARE(memo.toPlainText(), QString(255, u'ř'));
        QCOMPARE(MemoPiece(2, &memo), QString());

        QTextEdit longer;
        LimitMemoToPieces(&longer, 4);
        longer.setPlainText(QString(1020, u'ž'));
        QCOMPARE(longer.toPlainText().size(), 1020);
        longer.moveCursor(QTextCursor::End);
        longer.insertPlainText("!");
        QCOMPARE(longer.toPlainText(), QString(1020, u'ž'));
    }
};

QTEST_MAIN(TestMemo)
#include "tst_memo.moc"
