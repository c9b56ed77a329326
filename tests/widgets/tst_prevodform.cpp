// The conversion window in the running program's main form: what the user
// is told, what the tray resident hears, when the window goes.
#include "reminders/ruvo_prevod.h"
#include "reminders/ruvo_zaklad.h"

#include "platform/commandchannel.h"
#include "platform/cp1250.h"
#include "platform/dialogs.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTest>

#include <cstring>
#include <memory>

namespace {

// An old-layout record: the ID first, the title at offset 1356.
QByteArray oldRecord(int32_t id, const QByteArray& title)
{
    QByteArray b(1388, '\0');
    std::memcpy(b.data(), &id, 4);
    b[1356] = char(title.size());
    std::memcpy(b.data() + 1357, title.constData(), title.size());
    return b;
}

} // namespace

class TestPrevodForm : public QObject {
    Q_OBJECT

    std::unique_ptr<RemindersProgram> m_program;
    std::unique_ptr<FakeTray> m_tray;

    QString DataPath() const { return m_program->dataPath(); }
    QString WorkPath() const { return m_program->file("korvel.tmp"); }

    // Shows a fresh conversion window and lets it work; the tray has heard
    // the end of it (or, from the import, a marker posted afterwards).
    QPointer<TFPrevod> m_form;
    void Run(bool fromImport = false)
    {
        const qsizetype heard = m_tray->Codes().size() + (fromImport ? 1 : 2);
        m_form = new TFPrevod;
        m_form->FromImport = fromImport;
        m_form->show();
        if (fromImport) {
            QTRY_VERIFY(!m_form || m_form->Prubeh->value() > 0);
            NotifyTray(tnRemindersChanged);
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_tray->Codes().size() >= heard, 10000);
    }

private slots:
    void init()
    {
        m_program = std::make_unique<RemindersProgram>();
        m_tray = std::make_unique<FakeTray>(m_program->file("tray.log"));
        QTRY_VERIFY_WITH_TIMEOUT(m_tray->Ready(0), 10000);
    }

    void cleanup()
    {
        m_program->closeWindows();
        m_tray.reset();
        m_program.reset();
    }

    void convertsThenCloses()
    {
        writeFileBytes(DataPath(), oldRecord(3, Cp1250::encode(u"tři")) + oldRecord(1, "jedna"));
        QPointer<TFPrevod> form = new TFPrevod;
        QCOMPARE(form->objectName(), QString("FPrevod"));
        QCOMPARE(form->windowTitle(), QString("Převod databáze na novou verzi"));
        QVERIFY(form->Label1->isHidden());
        int shownMaximum = 0;
        QList<int> steps;
        connect(form->Prubeh, &QProgressBar::valueChanged, [&](int v) {
            steps << v;
            shownMaximum = form->Prubeh->maximum();
        });
        form->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_tray->Codes().size() == 2, 10000);

        QCOMPARE(m_tray->Codes(), QStringList({ "4 0", "5 0" }));
        QTRY_VERIFY(!form);
        QCOMPARE(steps, QList<int>({ 1, 2 }));
        QCOMPARE(shownMaximum, 2);
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(CheckDataVersion(DataPath()), DataVersionCheck::Current);
        QStringList records;
        ForEachReminder(
            DataPath(), [&](int, const ReminderRecord& r) { records << QString("%1 %2").arg(r.ID).arg(r.Title); });
        QCOMPARE(records, QStringList({ "3 tři", "1 jedna" }));
        QCOMPARE(readFileBytes(WorkPath()).size(), 2 * 1388);
    }

    void currentDataOnlyResumesTheTray()
    {
        // A second request after the conversion has been done.
        ReminderRecord r;
        r.Title = "nový";
        AppendReminder(DataPath(), r);
        const QByteArray before = readFileBytes(DataPath());
        Run();
        QCOMPARE(m_tray->Codes(), QStringList({ "4 0", "5 0" }));
        QTRY_VERIFY(!m_form);
        QCOMPARE(readFileBytes(DataPath()), before);
        QVERIFY(!QFile::exists(WorkPath()));
    }

    void withoutDataTheWindowStays()
    {
        Run();
        QCOMPARE(m_tray->Codes(), QStringList({ "4 0", "5 0" }));
        QVERIFY(m_form && m_form->isVisible());
        QVERIFY(Dialogs::shown().isEmpty());
        QVERIFY(!QFile::exists(DataPath()));
    }

    void failuresAreToldAndTheTrayResumes()
    {
        const QByteArray old = oldRecord(1, "a") + oldRecord(2, "b");
        writeFileBytes(DataPath(), old);

        // The old file cannot be copied aside.
        QVERIFY(QDir().mkpath(WorkPath() + "/in-the-way"));
        Run();
        QCOMPARE(m_tray->Codes(), QStringList({ "4 0", "5 0" }));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().text,
            "Chyba při prevodu dat\rChyba při práci se souborem " + WorkPath() + ": na místě souboru je adresář.");
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Information);
        QCOMPARE(Dialogs::shown().first().buttons, int(MsgBtn::OK));
        QVERIFY(m_form && m_form->isVisible());
        QCOMPARE(readFileBytes(DataPath()), old);
        delete m_form;
        QVERIFY(QDir(WorkPath()).removeRecursively());

        // The new file cannot be written: the error, the old data as it was.
        Dialogs::clearScript();
        QVERIFY(QDir().mkpath(DataPath() + ".new/in-the-way"));
        Run();
        QCOMPARE(m_tray->Codes(), QStringList({ "4 0", "5 0", "4 0", "5 0" }));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().type, MsgDlgType::Error);
        QVERIFY(Dialogs::shown().first().text.contains("korvel.da1.new"));
        QVERIFY(m_form && m_form->isVisible());
        QCOMPARE(readFileBytes(DataPath()), old);
    }

    void fromTheImportTheTrayHearsNothing()
    {
        writeFileBytes(DataPath(), oldRecord(1, "a"));
        Run(true);
        QCOMPARE(m_tray->Codes(), QStringList({ "1 0" }));
        QTRY_VERIFY(!m_form);
        QCOMPARE(ReminderCount(DataPath()), 1);
    }
};

QTEST_MAIN(TestPrevodForm)
#include "tst_prevodform.moc"
