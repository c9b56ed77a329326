#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Hand-placed little-endian fields for building record bytes at their offsets.
void putRecordInt(QByteArray& b, int offset, int32_t v);
void putRecordReal(QByteArray& b, int offset, double v);
// A length byte (the text's CP1250 length unless given) and the text.
void putRecordText(QByteArray& b, int offset, const QString& text, int lengthByte = -1);

// One reminder of the previous layout: 1388 bytes, the ID first, every field
// filled (a weekly repeat of a reminder on 13.3.2026 09:00, put off to 08:45).
QByteArray oldLayoutRecord(int32_t id, const QString& title, int32_t advance = 15);
