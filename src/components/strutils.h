#pragma once

#include <QString>
#include <QStringView>

// The text from pos (1-based) up to, not including, the first character at or
// after pos that is one of delimiters. pos then points past that delimiter, or
// to the length + 1 when none follows.
QString TakeToken(const QString& s, qsizetype& pos, QStringView delimiters);
