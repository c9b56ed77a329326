// The settings file: every kind of read, the stored moments of the automatic
// exchange and the clock's quarters, and a write that must read back.
#include "fuzzsupport.h"

#include "platform/inifile.h"
#include "shared/exchangefiles.h"
#include "tray/clockannounce.h"

#include <QFile>

#include <cstdlib>

namespace {

Fuzz::Seeds seeds()
{
    const QString file = Fuzz::path(QStringLiteral("seed.ini"));
    QFile::remove(file);
    IniFile ini(file);
    ini.writeString(QStringLiteral("Nastav"), QStringLiteral("animtray"), QStringLiteral("1"));
    ini.writeInteger(QStringLiteral("Nastav"), QStringLiteral("opakovani"), 0x7fffffff);
    ini.writeString(QStringLiteral("Vymena"), QStringLiteral("datum"), QStringLiteral("29.3.2026"));
    ini.writeString(QStringLiteral("Vymena"), QStringLiteral("cas"), QStringLiteral("02:30"));
    ini.writeString(QStringLiteral("Hodiny"), QStringLiteral("00anone"), QStringLiteral("1"));
    ini.writeString(QStringLiteral("Hodiny"), QStringLiteral("15anone"), QStringLiteral("0x1"));
    ini.writeString(QStringLiteral("Cesty"), QStringLiteral("zvuk"), QStringLiteral("\" C:\\Zvuky\\gong.wav \""));
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return { f.readAll(), QByteArray("[a]\r\nb=c\r\n;x\r\n[A]\r\nB = \"d\r\n[\r\n=\r\n") };
}

void run(const QByteArray& input)
{
    const QString file = Fuzz::path(QStringLiteral("korvel.ini"));
    Fuzz::write(QStringLiteral("korvel.ini"), input);
    IniFile ini(file);
    const QStringList sections { QStringLiteral("Nastav"), QStringLiteral("Vymena"), QStringLiteral("Hodiny"),
        QStringLiteral("a"), QString() };
    for (const QString& section : sections) {
        // Every read opens the file again: a few keys are enough.
        for (const QString& key : ini.readSection(section).mid(0, 3)) {
            (void)ini.readString(section, key, QString());
            (void)ini.readInteger(section, key, -1);
            (void)ini.readBool(section, key, false);
            (void)StoredMoment(file, key, key, QStringLiteral("12:00"));
        }
    }
    (void)StoredMoment(file, QStringLiteral("datum"), QStringLiteral("cas"), QStringLiteral("06:00"));
    (void)NextAnnouncementTime(file);
    // A value written is read back as it was, whatever the file held.
    try {
        ini.writeString(QStringLiteral("Nastav"), QStringLiteral("zkouska"), QStringLiteral("hodnota"));
        if (ini.readString(QStringLiteral("nastav"), QStringLiteral("ZKOUSKA"), QString()) != QStringLiteral("hodnota"))
            std::abort();
    } catch (const IniWriteError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
