#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows code page 1250, the single-byte encoding of every record, settings
// and exchange file. The five bytes the code page leaves unassigned map to
// the C1 controls of the same value, so any byte string survives a round trip.
// A character the code page lacks is written as "?".
namespace Cp1250 {

char encodeChar(QChar c);
QChar decodeChar(unsigned char b);
QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);

// Whether every character of the text has a byte of its own (none would be
// written as "?"; a "?" in the text itself is fine).
bool canEncode(QStringView text);

// Number of bytes the text takes in the code page (one per UTF-16 unit that
// is not half of a surrogate pair).
qsizetype byteLength(QStringView text);

} // namespace Cp1250
