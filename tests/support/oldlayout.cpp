#include "oldlayout.h"

#include "platform/cp1250.h"

#include <cstring>

void putRecordInt(QByteArray& b, int offset, int32_t v)
{
    std::memcpy(b.data() + offset, &v, 4);
}

void putRecordReal(QByteArray& b, int offset, double v)
{
    std::memcpy(b.data() + offset, &v, 8);
}

void putRecordText(QByteArray& b, int offset, const QString& text, int lengthByte)
{
    const QByteArray bytes = Cp1250::encode(text);
    b[offset] = char(lengthByte < 0 ? bytes.size() : lengthByte);
    std::memcpy(b.data() + offset + 1, bytes.constData(), bytes.size());
}

QByteArray oldLayoutRecord(int32_t id, const QString& title, int32_t advance)
{
    QByteArray b(1388, '\0');
    putRecordInt(b, 0, id);
    putRecordReal(b, 4, 45000.25 + id);
    b[12] = 1; // Transferable
    putRecordText(b, 13, "12.3.2026");
    putRecordText(b, 24, "08:45");
    putRecordText(b, 30, "13.3.2026");
    putRecordText(b, 41, "09:00");
    b[47] = 0; // SoundOnly
    putRecordInt(b, 48, 2); // RepeatKind
    putRecordText(b, 52, "246");
    putRecordInt(b, 60, 1); // AdvanceKind
    putRecordInt(b, 64, advance);
    putRecordInt(b, 68, 3); // OverdueAction
    putRecordInt(b, 72, 4); // OverdueAmount
    putRecordText(b, 76, "\\sound\\zvonek.wav");
    putRecordText(b, 332, "/home/jana/gong.wav");
    putRecordText(b, 588, "");
    putRecordText(b, 844, "Přinést podklady, žluťoučký kůň");
    putRecordText(b, 1100, "druhý kus");
    putRecordText(b, 1356, title);
    b[1377] = 0; // Erased
    b[1378] = char(0xab); // reserved: not carried over
    b[1379] = char(0xcd);
    putRecordReal(b, 1380, 45001.5 + id);
    return b;
}
