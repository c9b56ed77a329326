// The new-reminder form on a real program folder: what it shows when it
// opens, the record it appends for each kind of reminder, every refusal, the
// defaults menu and the settings it writes.
#include "reminders/ruvo_newprip.h"
#include "reminders/ruvo_okna.h"
#include "reminders/ruvo_zaklad.h"

#include "components/amedit.h"
#include "components/kitctrls.h"
#include "components/kitspin.h"
#include "components/kitstatusbar.h"
#include "components/tooledit.h"
#include "platform/clock.h"
#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/tag.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include "faketray.h"
#include "remindersprogram.h"
#include "testsupport.h"
#include "timezone.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QtEndian>

#include <limits>
#include <memory>

namespace {

const QDateTime T0(QDate(2024, 6, 10), QTime(9, 0));

// A short 16-bit mono PCM WAV that libsndfile reads.
void WriteWav(const QString& path)
{
    const int samples = 80;
    QByteArray b("RIFF");
    const auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + samples * 2);
    b.append("WAVEfmt ");
    u32(16), u16(1), u16(1), u32(8000), u32(16000), u16(2), u16(16);
    b.append("data");
    u32(samples * 2);
    b.append(QByteArray(samples * 2, '\0'));
    writeFileBytes(path, b);
}

// The overview as the hub finds it, counting its refreshes.
class Overview : public QWidget, public ReminderOverview {
public:
    Overview() { setObjectName(QStringLiteral("FPrehled")); }
    void Aktualizuj() override { ++Refreshes; }
    int Refreshes = 0;
};

// The edit form's view of the form: a record in, a record out.
class RecordForm : public TFNewPrip {
public:
    using TFNewPrip::ControlsRecord;
    using TFNewPrip::LoadRecord;
};

// The date calculator as the form sees it: it sets the targets it was given.
class Calculator : public QDialog, public DateCalculatorTargets {
public:
    void SetTargets(QDateEdit* date, QLineEdit* time) override
    {
        Date = date;
        Time = time;
    }
    QDateEdit* Date = nullptr;
    QLineEdit* Time = nullptr;
};

void Check(QListWidget* days, int dayOfWeek)
{
    days->item(dayOfWeek - 1)->setCheckState(Qt::Checked);
}

} // namespace

class TestNewPrip : public QObject {
    Q_OBJECT

    std::unique_ptr<ProcessTimeZone> m_zone;
    std::unique_ptr<RemindersProgram> m_program;

    QString Data() const { return m_program->dataPath(); }
    QString Ini() const { return m_program->iniPath(); }

    TFNewPrip* Open()
    {
        auto* f = new TFNewPrip;
        f->show();
        return f;
    }
    ReminderRecord Record(int position)
    {
        ReminderRecord r;
        ReadReminder(position, Data(), r);
        return r;
    }
    QString Sound(const QString& name)
    {
        QDir(m_program->folder()).mkpath(QStringLiteral("sound"));
        const QString path = m_program->file(QStringLiteral("sound/") + name);
        WriteWav(path);
        return path;
    }
    // Clicks OK; true when the form closed with mrOk.
    bool Ok(TFNewPrip* f)
    {
        QPointer<TFNewPrip> form(f);
        QSignalSpy finished(f, &QDialog::finished);
        QTest::mouseClick(f->BOK, Qt::LeftButton);
        return finished.size() == 1 && finished.first().first().toInt() == mrOk;
    }
    QString LastMessage() const { return Dialogs::shown().isEmpty() ? QString() : Dialogs::shown().last().text; }

private slots:
    void initTestCase() { m_zone = std::make_unique<ProcessTimeZone>("Europe/Prague"); }

    void init() { m_program = std::make_unique<RemindersProgram>(T0); }

    void cleanup() { m_program.reset(); }

    // The first opening (no placement yet): the status bar closes the window.
    void theStatusBarClosesTheWindow()
    {
        TFNewPrip* f = Open();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCoreApplication::processEvents();
        QCOMPARE(f->SBar()->mapTo(f, QPoint(0, f->SBar()->height())).y(), f->height());
        QCOMPARE(f->SBar()->width(), f->width());
    }

    void opensWithTheDefaultsOfAnEmptySettingsFile()
    {
        m_program->hub().HandleReminderCommand(rcNewReminder);
        auto* f = qobject_cast<TFNewPrip*>(FindForm(QStringLiteral("FNewPrip")));
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Nové připomenutí"));
        QCOMPARE(f->PlacementSection, QStringLiteral("FNewPrip"));
        QVERIFY(f->ChBPrenos->isChecked());
        QVERIFY(!f->ChBPouzeZvuk->isChecked());
        QCOMPARE(f->EDate->date(), QDate(2024, 6, 10));
        QCOMPARE(f->ECas->text(), QStringLiteral("10:00"));
        QCOMPARE(tag(f->CBDP), akMinutes);
        QCOMPARE(f->CBDP->currentText(), QStringLiteral("minut předem"));
        QCOMPARE(f->EDPKolik->text(), QStringLiteral("10"));
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.10 09:50-pondělí"));
        QCOMPARE(tag(f->CBProsle), oaNothing);
        QVERIFY(!f->EProsleKolik->isVisible());
        QCOMPARE(f->EProsleKolik->text(), QStringLiteral("1")); // the stored 0 is below the least amount
        QCOMPARE(tag(f->CBDelka), lkMinutes);
        QCOMPARE(f->SEDelka->text(), QStringLiteral("0"));
        QCOMPARE(f->AMEDelka->text(), QStringLiteral("2024.06.10 10:00-pondělí"));
        QVERIFY(f->PPopis->isVisible());
        QVERIFY(!f->PDny->isVisible());
        QCOMPARE(f->Label5->text(), QStringLiteral("připomenout:"));
        QCOMPARE(f->Label7->text(), QStringLiteral("téma připomenutí:"));
        // A second request brings the open form forward.
        m_program->hub().HandleReminderCommand(rcNewReminder);
        int forms = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            forms += qobject_cast<TFNewPrip*>(w) && w->isVisible();
        QCOMPARE(forms, 1);
    }

    void opensOneHourAhead_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("evening") << QDateTime(QDate(2024, 6, 10), QTime(22, 59)) << QDate(2024, 6, 10) << "23:59";
        QTest::newRow("23:00") << QDateTime(QDate(2024, 6, 10), QTime(23, 0)) << QDate(2024, 6, 11) << "00:00";
        QTest::newRow("23:30") << QDateTime(QDate(2024, 6, 10), QTime(23, 30)) << QDate(2024, 6, 11) << "00:30";
        QTest::newRow("month end") << QDateTime(QDate(2024, 1, 31), QTime(23, 45)) << QDate(2024, 2, 1) << "00:45";
        QTest::newRow("leap day") << QDateTime(QDate(2024, 2, 28), QTime(23, 10)) << QDate(2024, 2, 29) << "00:10";
        QTest::newRow("year end") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)) << QDate(2025, 1, 1) << "00:59";
        // 01:30 on the day the clocks go forward: 02:30 does not exist on the
        // wall, but the form counts wall-clock minutes.
        QTest::newRow("spring DST") << QDateTime(QDate(2024, 3, 31), QTime(1, 30)) << QDate(2024, 3, 31) << "02:30";
        QTest::newRow("autumn DST") << QDateTime(QDate(2024, 10, 27), QTime(1, 30)) << QDate(2024, 10, 27) << "02:30";
    }
    void opensOneHourAhead()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDate, date);
        QFETCH(QString, time);
        Clock::setNow(now);
        TFNewPrip* f = Open();
        QCOMPARE(f->EDate->date(), date);
        QCOMPARE(f->ECas->text(), time);
        // Ten minutes before it still lies ahead, and is stored as shown.
        QVERIFY(Ok(f));
        const ReminderRecord r = Record(1);
        QCOMPARE(r.EventDate, date.toString(QStringLiteral("d.M.yyyy")));
        QCOMPARE(r.EventTime, time);
        QCOMPARE(r.RemindDate, r.EventDate);
        QCOMPARE(r.RemindTime, time);
    }

    void storesAReminderFieldByField()
    {
        const QString inside = Sound(QStringLiteral("gong.wav"));
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("zvon a vítr.wav"));
        WriteWav(outside);
        FakeTray tray(m_program->file(QStringLiteral("tray.log")));
        QTRY_VERIFY_WITH_TIMEOUT(tray.Ready(0), 10000);
        Overview overview;

        TFNewPrip* f = Open();
        f->EDate->setDate(QDate(2024, 6, 12));
        f->ECas->setText(QStringLiteral("08:05"));
        f->ChBPrenos->setChecked(false);
        f->CBDP->setCurrentIndex(akHours - 1);
        f->EDPKolik->SetValue(2);
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.12 06:05-středa"));
        f->CBProsle->setCurrentIndex(oaWithinHours - 1);
        QVERIFY(f->EProsleKolik->isVisibleTo(f));
        f->EProsleKolik->SetValue(15);
        QCOMPARE(f->ECasProsle->text(), QStringLiteral("2024.06.12 23:05-středa"));
        f->SEDelka->SetValue(90);
        QCOMPARE(f->AMEDelka->text(), QStringLiteral("2024.06.12 09:35-středa"));
        f->EZvuk1->SetFileName(inside);
        f->EZvuk3->SetFileName(outside);
        QCOMPARE(f->EZvuk3->text(), u'"' + outside + u'"');
        f->ENadpis->setFocus();
        typeText(f->ENadpis, QStringLiteral("Příliš žluťoučký kůň úpěl"));
        QCOMPARE(f->ENadpis->text(), QStringLiteral("Příliš žluťoučký kůň"));
        f->MPopis->setFocus();
        typeText(f->MPopis, QStringLiteral("Ďábelské ódy"));
        QTest::keyClick(f->MPopis, Qt::Key_Return);
        typeText(f->MPopis, QStringLiteral("Řeřicha"));

        QVERIFY(Ok(f));
        QCOMPARE(ReminderCount(Data()), 1);
        const ReminderRecord r = Record(1);
        const double now = QDateTimeToDateTime(T0);
        QCOMPARE(r.Version, DataVersion);
        QCOMPARE(r.ID, 1);
        QCOMPARE(r.Created, now);
        QCOMPARE(r.LastChange, now);
        QCOMPARE(r.Transferable, false);
        QCOMPARE(r.RemindDate, QStringLiteral("12.6.2024"));
        QCOMPARE(r.RemindTime, QStringLiteral("08:05"));
        QCOMPARE(r.EventDate, QStringLiteral("12.6.2024"));
        QCOMPARE(r.EventTime, QStringLiteral("08:05"));
        QCOMPARE(r.SoundOnly, false);
        QCOMPARE(r.RepeatKind, 0);
        QCOMPARE(r.Weekdays, QString());
        QCOMPARE(r.AdvanceKind, akHours);
        QCOMPARE(r.AdvanceAmount, 2.0);
        QCOMPARE(r.OverdueAction, oaWithinHours);
        QCOMPARE(r.OverdueAmount, 15);
        QCOMPARE(r.Sound1, QStringLiteral("\\sound\\gong.wav"));
        QCOMPARE(r.Sound2, QString());
        QCOMPARE(r.Sound3, outside);
        QCOMPARE(r.Description1, QStringLiteral("Ďábelské ódy\r\nŘeřicha"));
        QCOMPARE(r.Description2, QString());
        QCOMPARE(r.Title, QStringLiteral("Příliš žluťoučký kůň"));
        QCOMPARE(r.Erased, false);
        QCOMPARE(r.LengthKind, lkMinutes);
        QCOMPARE(r.Length, 90 / MinsPerDay);
        QCOMPARE(r.NextKind, nkDays);
        QCOMPARE(r.NextAmount, 1.0);
        QTRY_COMPARE(tray.Codes(), QStringList { QStringLiteral("1 0") });
        QTRY_COMPARE(overview.Refreshes, 1);

        // The next one gets the next free ID.
        f = Open();
        QVERIFY(Ok(f));
        QCOMPARE(Record(2).ID, 2);
    }

    void storesAbsoluteFirstPopUpAndEnd()
    {
        TFNewPrip* f = Open();
        f->EDate->setDate(QDate(2024, 10, 26));
        f->ECas->setText(QStringLiteral("22:00"));
        f->CBDP->setCurrentIndex(akAbsolute - 1);
        QVERIFY(f->DTDP->isVisibleTo(f) && f->MEDP->isVisibleTo(f));
        QVERIFY(!f->EDPKolik->isVisibleTo(f) && !f->ECasPred->isVisibleTo(f));
        QCOMPARE(f->DTDP->date(), QDate(2024, 10, 26));
        QCOMPARE(f->MEDP->text(), QStringLiteral("22:00"));
        f->DTDP->setDate(QDate(2024, 10, 25));
        f->MEDP->setText(QStringLiteral("07:15"));
        // The end lies past the night the clocks go back: the length counts
        // wall-clock time.
        f->CBDelka->setCurrentIndex(lkEndDateTime - 1);
        QCOMPARE(f->DTPDelka->date(), QDate(2024, 10, 26));
        QCOMPARE(f->MEDelka->text(), QStringLiteral("22:00"));
        QVERIFY(!f->MDelkaNastav->isEnabled());
        f->DTPDelka->setDate(QDate(2024, 10, 27));
        f->MEDelka->setText(QStringLiteral("04:30"));
        QVERIFY(Ok(f));
        const ReminderRecord r = Record(1);
        QCOMPARE(r.AdvanceKind, akAbsolute);
        QCOMPARE(r.AdvanceAmount, EncodeDate(2024, 10, 25) + EncodeTime(7, 15, 0, 0));
        QCOMPARE(r.LengthKind, lkEndDateTime);
        QCOMPARE(qRound64(r.Length * MinsPerDay), 6 * 60 + 30);
    }

    // A minute typed into the last place of a time leaves the one before it
    // blank; the time that passes the check is the one stored.
    void storesTheTimeTheCheckPasses()
    {
        TFNewPrip* f = Open();
        QTRY_COMPARE(QApplication::focusWidget(), f->EDate);
        f->ECas->setText(QStringLiteral("12:"));
        f->ECas->setFocus();
        f->ECas->setCursorPosition(4);
        QTest::keyClick(f->ECas, Qt::Key_5);
        QCOMPARE(f->ECas->displayText(), QStringLiteral("12:_5"));
        f->EDPKolik->setFocus();
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.10 11:55-pondělí"));
        QVERIFY(Ok(f));
        QCOMPARE(Record(1).EventTime, QStringLiteral("12:05"));
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void storesSoundOnlyReminders()
    {
        const QString gong = Sound(QStringLiteral("gong.wav"));
        TFNewPrip* f = Open();
        QTest::mouseClick(f->ChBPouzeZvuk, Qt::LeftButton);
        QVERIFY(f->ChBPouzeZvuk->isChecked());
        QVERIFY(!f->PPopis->isVisible() && !f->PDelka->isVisible() && !f->ECasPred->isVisible());
        QCOMPARE(f->Label5->text(), QStringLiteral("další připomenutí:"));
        QCOMPARE(f->Label7->text(), QStringLiteral("nadpis připomenutí:"));
        QCOMPARE(f->CBDP->count(), RepeatKindCount());
        QCOMPARE(f->CBDP->width(), 2 * f->CBProsle->width());
        f->CBDP->setCurrentIndex(rkWeekdays - 1);
        QVERIFY(f->PDny->isVisible());
        QCOMPARE(f->ChLDny->count(), 7);
        QCOMPARE(f->ChLDny->item(4)->text(), QStringLiteral("čtvrtek"));
        // The day list opens between the kinds and the overdue panel.
        QVERIFY(f->PDny->y() >= f->PDalsi->y() + f->PDalsi->height() && f->PDny->y() < f->PProsle->y());
        Check(f->ChLDny, 2);
        Check(f->ChLDny, 6);

        // Without a sound it cannot sound.
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Nebyl zadán žádný zvukový soubor, nelze použít!"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);
        QCOMPARE(ReminderCount(Data()), 0);

        f->EZvuk3->SetFileName(gong);
        QVERIFY(Ok(f));
        ReminderRecord r = Record(1);
        QCOMPARE(r.SoundOnly, true);
        QCOMPARE(r.RepeatKind, rkWeekdays);
        QCOMPARE(r.Weekdays, QStringLiteral("26"));
        QCOMPARE(r.AdvanceKind, 0);
        QCOMPARE(r.AdvanceAmount, 0.0);
        QCOMPARE(r.Length, 0.0);
        QCOMPARE(r.Sound3, QStringLiteral("\\sound\\gong.wav"));

        // No weekday chosen is accepted too: the tray resident then takes a week.
        f = Open();
        f->ChBPouzeZvuk->click();
        f->CBDP->setCurrentIndex(rkWeekdays - 1);
        f->EZvuk1->SetFileName(gong);
        QVERIFY(Ok(f));
        QCOMPARE(Record(2).Weekdays, QString());
    }

    void refusesWhatCannotBeStored()
    {
        TFNewPrip* f = Open();
        const int before = Dialogs::shown().size();

        // A first pop-up that is due now, or has passed.
        f->ECas->setText(QStringLiteral("09:10"));
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Čas připomenutí již uplynul,\rzadej znovu!"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Information);
        f->ECas->setText(QStringLiteral("09:05"));
        QVERIFY(!Ok(f));
        f->CBDP->setCurrentIndex(akAbsolute - 1);
        f->DTDP->setDate(QDate(2024, 6, 10));
        f->MEDP->setText(QStringLiteral("08:59"));
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Čas připomenutí již uplynul,\rzadej znovu!"));
        f->MEDP->setText(QStringLiteral("09:01"));

        // An end before the start.
        f->CBDelka->setCurrentIndex(lkEndDateTime - 1);
        f->MEDelka->setText(QStringLiteral("09:04"));
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Délka připomínané akce je chybně zadána,\rzadej znovu!"));

        // Half-typed times are no times.
        f->MEDelka->setText(QStringLiteral("12:3"));
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Error);
        QTRY_COMPARE(QApplication::focusWidget(), f->MEDelka);
        f->MEDelka->setText(QStringLiteral("10:00"));
        f->ECas->setText(QStringLiteral("2"));
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));

        QCOMPARE(Dialogs::shown().size(), before + 6);
        QCOMPARE(ReminderCount(Data()), 0);
        QVERIFY(f->isVisible());

        // A sound path the record cannot hold is refused, never stored as "?".
        f->ECas->setText(QStringLiteral("09:05"));
        const QString arrow = m_program->file(QStringLiteral("Dokumenty→data/zvonek.wav"));
        f->EZvuk2->SetFileName(arrow);
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(),
            QStringLiteral("Cesta obsahuje znaky, které program nedokáže uložit:\r") + arrow
                + QStringLiteral("\rZvolte jiný soubor nebo adresář."));
        QCOMPARE(Dialogs::shown().last().type, MsgDlgType::Warning);
        QCOMPARE(ReminderCount(Data()), 0);
        QTRY_COMPARE(QApplication::focusWidget(), f->EZvuk2);
        f->EZvuk2->SetFileName(QString());

        // Missing sounds are named, and No keeps the form as it is.
        f->EZvuk1->SetFileName(m_program->file(QStringLiteral("nic.wav")));
        f->EZvuk3->setText(QStringLiteral("\\sound\\není.wav"));
        Dialogs::queueAnswer(mrNo);
        QVERIFY(!Ok(f));
        QCOMPARE(LastMessage(), QStringLiteral("Tento zvukový soubor neexistuje: číslo 1,3,\rmám pokračovat?"));
        QCOMPARE(Dialogs::shown().last().buttons, MsgBtn::Yes | MsgBtn::No);
        QCOMPARE(ReminderCount(Data()), 0);
        Dialogs::queueAnswer(mrYes);
        QVERIFY(Ok(f));
        const ReminderRecord r = Record(1);
        QCOMPARE(r.Sound1, QStringLiteral("\\nic.wav"));
        QCOMPARE(r.Sound3, QStringLiteral("\\sound\\není.wav"));
        QCOMPARE(qRound64(r.Length * MinsPerDay), 55);
    }

    void leavingABadTimeTellsTheUser()
    {
        TFNewPrip* f = Open();
        QTRY_COMPARE(QApplication::focusWidget(), f->EDate);
        f->ECas->setFocus();
        f->ECas->setText(QStringLiteral("25:00"));
        f->EDPKolik->setFocus();
        QCOMPARE(LastMessage(), QStringLiteral("Chybný formát"));
        QTRY_COMPARE(QApplication::focusWidget(), f->ECas);
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.10 09:50-pondělí"));
        f->ECas->setText(QStringLiteral("11:00"));
        f->EDPKolik->setFocus();
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.10 10:50-pondělí"));
        QCOMPARE(f->AMEDelka->text(), QStringLiteral("2024.06.10 11:00-pondělí"));
    }

    void memoMenuSetsTheLook()
    {
        TFNewPrip* f = Open();
        const auto item = [f](const QString& menu, const QString& text) {
            for (QAction* a : f->PMenuMemo->actions()) {
                if (a->text() == text)
                    return a;
                if (a->menu() && a->text() == menu)
                    for (QAction* b : a->menu()->actions())
                        if (b->text() == text)
                            return b;
            }
            return static_cast<QAction*>(nullptr);
        };
        f->MPopis->setPlainText(QStringLiteral("a\nb"));
        const int size = f->MPopis->font().pointSize();
        item(QStringLiteral("&zarovnání"), QStringLiteral("v&pravo"))->trigger();
        item(QStringLiteral("&font velikost"), QStringLiteral("+1"))->trigger();
        QCOMPARE(f->MPopis->font().pointSize(), size + 1);
        item(QString(), QStringLiteral("ulož jako výchozí"))->trigger();
        const IniFile ini(Ini());
        QCOMPARE(ini.readInteger("Memo", "zarov", 0), 3);
        QCOMPARE(ini.readInteger("Memo", "font", 0), size + 1);
        for (int i = 0; i < size + 5; ++i)
            item(QStringLiteral("&font velikost"), QStringLiteral("-1"))->trigger();
        QCOMPARE(f->MPopis->font().pointSize(), 1);
        item(QStringLiteral("&zarovnání"), QStringLiteral("v&levo"))->trigger();
        QCOMPARE(
            f->MPopis->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void cancelAsksFirst()
    {
        QPointer<TFNewPrip> f = Open();
        Dialogs::queueAnswer(mrNo);
        QTest::mouseClick(f->BCancel, Qt::LeftButton);
        QCOMPARE(LastMessage(), QStringLiteral("Opravdu ukončit formulář?"));
        QVERIFY(f && f->isVisible());
        // Escape in the description is the cancel button.
        Dialogs::queueAnswer(mrNo);
        QTest::keyClick(f->MPopis, Qt::Key_Escape);
        QCOMPARE(Dialogs::shown().size(), 2);
        QVERIFY(f && f->isVisible());
        QSignalSpy finished(f.data(), &QDialog::finished);
        Dialogs::queueAnswer(mrYes);
        QTest::keyClick(f->MPopis, Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), int(mrCancel));
        QTRY_VERIFY(!f);
        QCOMPARE(ReminderCount(Data()), 0);
    }

    void takesItsDefaultsFromTheSettings()
    {
        const QString gong = Sound(QStringLiteral("gong.wav"));
        IniFile ini(Ini());
        ini.writeBool("FNewPrip", "implprenos", false);
        ini.writeString("FNewPrip", "zvuk2", gong);
        ini.writeString("FNewPrip", "zvuk3", QStringLiteral("a|b.wav")); // no file can have that name
        ini.writeInteger("FNewPrip", "EDP", 3);
        ini.writeInteger("FNewPrip", "EDPKolik", 2);
        ini.writeInteger("FNewPrip", "EProsle", 5);
        ini.writeInteger("FNewPrip", "EProsleKolik", 4);
        ini.writeInteger("FNewPrip", "EDelkaTyp", 9); // no such kind: minutes
        ini.writeInteger("FNewPrip", "EDelkaKolik", 45);
        ini.writeInteger("ZvukAdr", "pocet", 2);
        ini.writeString("ZvukAdr", "1", m_program->file(QStringLiteral("sound")));
        ini.writeString("ZvukAdr", "2", QStringLiteral("/nikde"));
        ini.writeInteger("Memo", "zarov", 3);

        TFNewPrip* f = Open();
        QVERIFY(!f->ChBPrenos->isChecked());
        QCOMPARE(f->EZvuk1->text(), QString());
        QCOMPARE(f->EZvuk2->FileName(), gong);
        QCOMPARE(f->EZvuk3->text(), QString());
        QCOMPARE(tag(f->CBDP), akDays);
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2024.06.08 10:00-sobota"));
        QCOMPARE(tag(f->CBProsle), oaWithinDays);
        QCOMPARE(f->EProsleKolik->text(), QStringLiteral("4"));
        QCOMPARE(tag(f->CBDelka), lkMinutes);
        QCOMPARE(f->SEDelka->text(), QStringLiteral("45"));
        QCOMPARE(f->CBAdr->count(), 2);
        QCOMPARE(f->CBAdr->currentText(), m_program->file(QStringLiteral("sound")));
        QCOMPARE(f->EZvuk1->InitialDir(), m_program->file(QStringLiteral("sound")));
        f->CBAdr->setCurrentIndex(1); // a folder that does not exist changes nothing
        QCOMPARE(f->EZvuk1->InitialDir(), m_program->file(QStringLiteral("sound")));
        QCOMPARE(f->MPopis->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

        // Sound-only from the settings: the repeat kinds, EDP among them.
        ini.writeBool("FNewPrip", "implzvuk", true);
        ini.writeInteger("FNewPrip", "EDP", 2);
        f = Open();
        QVERIFY(f->ChBPouzeZvuk->isChecked());
        QCOMPARE(f->CBDP->currentText(), QStringLiteral("dny v týdnu - výběr"));
        QVERIFY(f->PDny->isVisible());
    }

    void defaultsMenuShowsAndStores()
    {
        TFNewPrip* f = Open();
        const auto info = [f](const QString& name) {
            auto* m = f->MVychozi->findChild<QMenu*>(name);
            emit m->aboutToShow();
            return m->actions().first()->text();
        };
        const auto store = [f](const QString& name) {
            auto* m = f->MVychozi->findChild<QMenu*>(name);
            QCOMPARE(m->actions().at(1)->text(), QStringLiteral("&nastav dle aktuálního"));
            m->actions().at(1)->trigger();
        };
        QCOMPARE(f->Menu()->actions().first()->text(), QStringLiteral("&Výchozí"));
        QCOMPARE(info("MPrenos"), QStringLiteral("nastaveno na: ANO"));
        QCOMPARE(info("MPouzeZvuk"), QStringLiteral("nastaveno na: NE"));
        QCOMPARE(info("MDelka"), QStringLiteral("nastaveno na: 0 minut"));
        QCOMPARE(info("MZvuk2"), QStringLiteral("nastaveno na: "));
        QCOMPARE(info("MPredem"), QStringLiteral("nastaveno na:  "));
        QCOMPARE(info("MProsle"), QStringLiteral("nastaveno na:  "));

        f->ChBPrenos->setChecked(false);
        f->CBDP->setCurrentIndex(akHours - 1);
        f->EDPKolik->SetValue(3);
        f->CBProsle->setCurrentIndex(oaWithinMinutes - 1);
        f->EProsleKolik->SetValue(20);
        f->CBDelka->setCurrentIndex(lkDays - 1);
        f->SEDelka->SetValue(2);
        f->EZvuk2->SetFileName(QStringLiteral("/x/y.wav"));
        for (const char* name : { "MPrenos", "MPouzeZvuk", "MDelka", "MZvuk2", "MPredem", "MProsle" })
            store(QLatin1String(name));
        QCOMPARE(info("MPrenos"), QStringLiteral("nastaveno na: NE"));
        QCOMPARE(info("MDelka"), QStringLiteral("nastaveno na: 2 dnů"));
        QCOMPARE(info("MZvuk2"), QStringLiteral("nastaveno na: /x/y.wav"));
        QCOMPARE(info("MPredem"), QStringLiteral("nastaveno na: 3 hodin předem"));
        QCOMPARE(info("MProsle"), QStringLiteral("nastaveno na: 20 připomenout do .. minut"));
        const IniFile ini(Ini());
        QCOMPARE(ini.readInteger("FNewPrip", "EDP", 0), akHours);
        QCOMPARE(ini.readInteger("FNewPrip", "EDelkaKolik", 0), 2);
        QCOMPARE(ini.readString("FNewPrip", "implzvuk", QString()), QStringLiteral("0"));

        // The next form opens with them; the end kind cannot be a default.
        f = Open();
        QVERIFY(!f->ChBPrenos->isChecked());
        QCOMPARE(tag(f->CBDP), akHours);
        QCOMPARE(f->EProsleKolik->text(), QStringLiteral("20"));
        QCOMPARE(f->SEDelka->text(), QStringLiteral("2"));
        QVERIFY(f->MDelkaNastav->isEnabled());
        f->CBDelka->setCurrentIndex(lkEndDateTime - 1);
        QVERIFY(!f->MDelkaNastav->isEnabled());

        // With the sound-only default the first info shows the repeat kind alone.
        IniWriteBool(Ini(), QStringLiteral("FNewPrip"), QStringLiteral("implzvuk"), true);
        IniWriteInteger(Ini(), QStringLiteral("FNewPrip"), QStringLiteral("EDP"), rkYearly);
        QCOMPARE(info("MPredem"), QStringLiteral("ročně - automatická změna"));
        QCOMPARE(info("MPouzeZvuk"), QStringLiteral("nastaveno na: ANO"));
    }

    void playsTheSoundsThatExist()
    {
        const QString log = m_program->file(QStringLiteral("sound.log"));
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(log));
        const QString one = Sound(QStringLiteral("jedna.wav"));
        const QString three = Sound(QStringLiteral("tři.wav"));
        TFNewPrip* f = Open();
        f->EZvuk1->SetFileName(one);
        f->EZvuk2->SetFileName(m_program->file(QStringLiteral("chybí.wav")));
        f->EZvuk3->setText(QStringLiteral("\\sound\\tři.wav"));
        QTest::mouseClick(f->TlPrehratDat, Qt::LeftButton);
        f->MPrehrat->trigger();
        qunsetenv("KORVEL_SOUND_LOG");
        QCOMPARE(QString::fromUtf8(readFileBytes(log)).split(u'\n', Qt::SkipEmptyParts),
            QStringList({ one, three, one, three }));
        QCOMPARE(f->MPrehrat->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    }

    void dateCalculatorSetsTheEvent()
    {
        TFNewPrip* f = Open();
        // Not built in: the user is told.
        ReminderForms().Register(QStringLiteral("FVypDC"), {});
        f->SpeedButton1->Click();
        QCOMPARE(LastMessage(), FormFactory::NotAvailableText(QStringLiteral("FVypDC")));

        QPointer<Calculator> calculator;
        ReminderForms().Register(QStringLiteral("FVypDC"), [&calculator](OpenMode) {
            calculator = new Calculator;
            return calculator.data();
        });
        Dialogs::queueModal([&calculator](QDialog*) {
            calculator->Date->setDate(QDate(2025, 1, 1));
            calculator->Time->setText(QStringLiteral("00:15"));
            return int(mrOk);
        });
        f->SpeedButton1->Click();
        ReminderForms().Register(QStringLiteral("FVypDC"), {});
        QCOMPARE(f->EDate->date(), QDate(2025, 1, 1));
        QCOMPARE(f->ECasPred->text(), QStringLiteral("2025.01.01 00:05-středa"));
        delete calculator;
    }

    void storedSoundPaths_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("stored");
        QTest::newRow("inside") << "/opt/korvel/sound/a.wav"
                                << "\\sound\\a.wav";
        QTest::newRow("letter case") << "/OPT/Korvel/b.wav"
                                     << "\\b.wav";
        QTest::newRow("sibling folder") << "/opt/korvel2/a.wav"
                                        << "/opt/korvel2/a.wav";
        QTest::newRow("elsewhere") << "/home/u/a.wav"
                                   << "/home/u/a.wav";
        QTest::newRow("typed relative") << "\\sound\\c.wav"
                                        << "\\sound\\c.wav";
        QTest::newRow("empty") << ""
                               << "";
    }
    void storedSoundPaths()
    {
        QFETCH(QString, file);
        QFETCH(QString, stored);
        QCOMPARE(TFNewPrip::StoredSoundPath(file, QStringLiteral("/opt/korvel")), stored);
        if (file.startsWith(QLatin1String("/opt/korvel/")))
            QCOMPARE(TFNewPrip::FileNameOfStoredSound(stored, QStringLiteral("/opt/korvel")), file);
    }

    // What the edit form relies on: a record in, the same record out.
    void recordRoundTripKeepsTheLength_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("shownKind");
        QTest::addColumn<QString>("shownAmount");
        QTest::newRow("90 minutes") << 1 << 90 / MinsPerDay << 1 << "90";
        QTest::newRow("odd seconds") << 1 << 90.4 / MinsPerDay << 1 << "90";
        QTest::newRow("36 hours") << 2 << 1.5 << 2 << "36";
        QTest::newRow("kind 0") << 0 << 2 * OneHour << 1 << "120";
        QTest::newRow("kind 7") << 7 << 5 / MinsPerDay << 1 << "5";
        QTest::newRow("end") << 4 << 26 * OneHour << 4 << "";
    }
    void recordRoundTripKeepsTheLength()
    {
        QFETCH(int, kind);
        QFETCH(double, length);
        auto* f = new RecordForm;
        f->show();
        ReminderRecord in;
        in.EventDate = QStringLiteral("3.11.2024");
        in.EventTime = QStringLiteral("7:45");
        in.RemindDate = in.EventDate;
        in.RemindTime = QStringLiteral("07:45");
        in.Transferable = true;
        in.AdvanceKind = akMinutes;
        in.AdvanceAmount = 15;
        in.OverdueAction = oaAsSoonAsPossible;
        in.OverdueAmount = 1;
        in.Sound1 = QStringLiteral("\\sound\\x.wav");
        in.Title = QStringLiteral("Čtvrtletí");
        in.Description1 = QString(254, u'a') + u'\r';
        in.Description2 = QStringLiteral("\nŽ");
        in.LengthKind = kind;
        in.Length = length;
        f->LoadRecord(in);
        QTEST(tag(f->CBDelka), "shownKind");
        if (tag(f->CBDelka) != lkEndDateTime)
            QTEST(f->SEDelka->text(), "shownAmount");
        QCOMPARE(f->EZvuk1->text(), m_program->file(QStringLiteral("sound/x.wav")));
        QCOMPARE(f->MPopis->toPlainText(), QString(254, u'a') + QStringLiteral("\nŽ"));

        ReminderRecord out = f->ControlsRecord();
        QCOMPARE(out.EventTime, QStringLiteral("07:45"));
        QCOMPARE(out.Sound1, in.Sound1);
        QCOMPARE(out.Description1, in.Description1);
        QCOMPARE(out.Description2, in.Description2);
        QCOMPARE(out.LengthKind, tag(f->CBDelka));
        QCOMPARE(qRound64(out.Length * MSecsPerDay), qRound64(length * MSecsPerDay));
        out.EventTime = in.EventTime;
        out.RemindTime = in.RemindTime;
        out.LengthKind = in.LengthKind;
        out.Length = in.Length;
        QCOMPARE(out, in);

        // A length the user changes is the controls' again.
        if (tag(f->CBDelka) != lkEndDateTime) {
            f->SEDelka->setFocus();
            f->SEDelka->selectAll();
            QTest::keyClicks(f->SEDelka, "10");
            QCOMPARE(qRound64(f->ControlsRecord().Length * MinsPerDay), qint64(tag(f->CBDelka) == lkHours ? 600 : 10));
        }
    }

    void unreadableStoredValuesLeaveTheControls()
    {
        auto* f = new RecordForm;
        f->show();
        ReminderRecord in;
        in.EventDate = QStringLiteral("32.13.2024");
        in.EventTime = QStringLiteral("25:99");
        in.AdvanceKind = akAbsolute;
        in.AdvanceAmount = std::numeric_limits<double>::quiet_NaN();
        in.LengthKind = lkEndDateTime;
        in.Length = 1;
        f->LoadRecord(in);
        QCOMPARE(f->EDate->date(), QDate(2024, 6, 10));
        QCOMPARE(f->ECas->text(), QStringLiteral("10:00"));
        QCOMPARE(f->MEDP->text(), QStringLiteral("10:00"));
        QCOMPARE(f->MEDelka->text(), QStringLiteral("10:00"));
        in.EventDate = QStringLiteral("1.1.2025");
        in.EventTime = QStringLiteral("12:00");
        in.AdvanceAmount = 1e300;
        in.Length = -1e300;
        f->LoadRecord(in);
        QCOMPARE(f->EDate->date(), QDate(2025, 1, 1));
        QCOMPARE(f->DTDP->date(), QDate(2025, 1, 1));
        QCOMPARE(f->DTPDelka->date(), QDate(2025, 1, 1));
    }

    void descriptionHoldsTwoPieces()
    {
        TFNewPrip* f = Open();
        f->MPopis->setPlainText(QString(300, u'x') + u'\n' + QString(300, u'y'));
        QCOMPARE(Cp1250Length(f), 510);
        QVERIFY(Ok(f));
        const ReminderRecord r = Record(1);
        QCOMPARE(r.Description1.size(), 255);
        QCOMPARE(r.Description2.size(), 255);
    }

    void keepsTheHeightTheUserGives()
    {
        TFNewPrip* f = Open();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        const QSize design = f->size();
        const int okWidth = f->BOK->width();
        // Taller only: more room for the description, nothing scaled.
        f->resize(design.width(), design.height() + 100);
        QTRY_COMPARE(f->size(), QSize(design.width(), design.height() + 100));
        QCOMPARE(f->BOK->width(), okWidth);
        QVERIFY(f->MPopis->height() > 120);
        // Wider than the proportion: the height stays, the contents scale
        // by it and the width follows.
        const int h1 = design.height() + 100;
        f->resize(design.width() * 3 / 2, h1 + 200);
        QTRY_COMPARE(f->height(), h1 + 200);
        QTRY_COMPARE(f->width(), qRound(double(design.width()) * (h1 + 200) / h1));
        QVERIFY(qAbs(f->BOK->width() - okWidth * (h1 + 200) / h1) <= 1);
        // Narrower than the proportion: both stay, the contents scale by the width.
        const int w2 = f->width() + 40;
        f->resize(w2, f->height() + 300);
        QTRY_COMPARE(f->size(), QSize(w2, h1 + 500));
        QVERIFY(f->PButton->height() > f->BCancel->y() + f->BCancel->height());
    }

    void screenshot()
    {
        TFNewPrip* f = Open();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        f->ENadpis->setText(QStringLiteral("Porada účetních"));
        f->MPopis->setPlainText(QStringLiteral("Přinést výkazy za čtvrtletí\na zápis z minulé porady."));
        f->CBProsle->setCurrentIndex(oaWithinHours - 1);
        const QString dir = qEnvironmentVariableIsSet("KORVEL_ARTIFACTS") ? qEnvironmentVariable("KORVEL_ARTIFACTS")
                                                                          : QDir::tempPath();
        QDir().mkpath(dir);
        QVERIFY(f->grab().save(dir + QStringLiteral("/newprip.png")));
        f->ChBPouzeZvuk->click();
        f->CBDP->setCurrentIndex(rkWeekdays - 1);
        QVERIFY(f->grab().save(dir + QStringLiteral("/newprip-zvuk.png")));
    }

private:
    static int Cp1250Length(TFNewPrip* f)
    {
        return int(MemoPiece(1, f->MPopis).size() + MemoPiece(2, f->MPopis).size() + MemoPiece(3, f->MPopis).size());
    }
};

QTEST_MAIN(TestNewPrip)
#include "tst_newprip.moc"
