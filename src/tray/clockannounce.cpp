#include "clockannounce.h"

#include "platform/datetime.h"
#include "platform/inifile.h"
#include "platform/soundservice.h"

namespace {

const QString Section = QStringLiteral("Hodiny");
const QString QuarterNames[4]
    = { QStringLiteral("00"), QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45") };

int spokenHour(int hour, bool cycle24)
{
    return !cycle24 && hour > 12 ? hour - 12 : hour;
}

QString hourWord(int n)
{
    if (n == 1)
        return QStringLiteral("hodina");
    if (n >= 2 && n <= 4)
        return QStringLiteral("hodiny");
    return QStringLiteral("hodin");
}

QString minuteWord(int m)
{
    if (m == 1)
        return QStringLiteral("minuta");
    if (m >= 2 && m <= 4)
        return QStringLiteral("minuty");
    return QStringLiteral("minut");
}

QString iniPathOf(const QString& baseDir, const QString& iniName)
{
    return baseDir + u'/' + iniName;
}

void hourAndMinute(int& hour, int& minute)
{
    int sec, msec;
    DecodeTime(Now(), hour, minute, sec, msec);
}

} // namespace

QStringList QuarterAnnouncement(int hour, int minute, bool gong, bool words, bool cycle24)
{
    QStringList pieces;
    if (gong)
        pieces << QStringLiteral("gong");
    const int n = spokenHour(hour, cycle24);
    pieces << QString::number(n);
    if (words)
        pieces << hourWord(n);
    if (minute != 0) {
        pieces << QuarterNames[minute / 15];
        if (words)
            pieces << QStringLiteral("minut");
    }
    return pieces;
}

QStringList SpokenTime(int hour, int minute, bool words, bool cycle24)
{
    const int n = spokenHour(hour, cycle24);
    QStringList pieces { QString::number(n) };
    if (words)
        pieces << hourWord(n);
    if (minute == 0)
        return pieces;
    if (minute <= 23) {
        pieces << QString::number(minute);
    } else {
        pieces << QString::number(minute / 10 * 10);
        const int unit = minute % 10;
        if (unit == 2)
            pieces << QStringLiteral("2_");
        else if (unit != 0)
            pieces << QString::number(unit);
    }
    if (words)
        pieces << minuteWord(minute);
    return pieces;
}

QuarterSlots ReadQuarterSlots(const QString& iniPath)
{
    const IniFile ini(iniPath);
    QuarterSlots quarters {};
    for (int q = 0; q < 4; ++q)
        quarters[q] = ini.readBool(Section, QuarterNames[q] + QStringLiteral("anone"), false);
    return quarters;
}

std::optional<double> NextQuarterSlot(double now, const QuarterSlots& quarters)
{
    int h, m, s, ms;
    DecodeTime(now, h, m, s, ms);
    const int first = m < 15 ? 1 : m < 30 ? 2 : m < 45 ? 3 : 4;
    for (int slot = first; slot < first + 4; ++slot) {
        const int quarter = slot % 4; // 1 to 3 the quarters, 0 the full hour
        if (!quarters[quarter])
            continue;
        double date = DateOf(now);
        int hour = h;
        if (slot >= 4 && ++hour == 24) {
            hour = 0;
            date += 1;
        }
        return date + EncodeTime(hour, quarter * 15, 0, 0);
    }
    return std::nullopt;
}

double NextAnnouncementTime(const QString& iniPath)
{
    const double now = Now();
    return NextQuarterSlot(now, ReadQuarterSlots(iniPath)).value_or(now + OneHour);
}

void AnnounceTime(const QString& iniName, const QString& baseDir, int32_t& lastMinute)
{
    int h, m;
    hourAndMinute(h, m);
    if (h * 60 + m == lastMinute || m % 15 != 0)
        return;
    const QString mm = QuarterNames[m / 15];
    const IniFile ini(iniPathOf(baseDir, iniName));
    const bool enabled = ini.readBool(Section, mm + QStringLiteral("anone"), false);
    const bool gong = ini.readBool(Section, mm + QStringLiteral("gong"), false);
    const bool words = ini.readBool(Section, mm + QStringLiteral("slova"), false);
    const bool cycle24 = ini.readBool(Section, QStringLiteral("cyklus24"), true);
    // Handled once, also when switched off.
    lastMinute = h * 60 + m;
    if (enabled)
        PlayClockPieces(baseDir, QuarterAnnouncement(h, m, gong, words, cycle24));
}

void SpeakCurrentTime(const QString& iniName, const QString& baseDir)
{
    int h, m;
    hourAndMinute(h, m);
    const IniFile ini(iniPathOf(baseDir, iniName));
    const bool words = ini.readBool(Section, QStringLiteral("ACslova"), false);
    const bool cycle24 = ini.readBool(Section, QStringLiteral("cyklus24"), true);
    PlayClockPieces(baseDir, SpokenTime(h, m, words, cycle24));
}

void PlayClockPieces(const QString& baseDir, const QStringList& pieces)
{
    for (const QString& piece : pieces)
        SoundService::play(baseDir + QStringLiteral("/s_hodiny/") + piece + QStringLiteral(".wav"));
}
