#include "strutils.h"

QString TakeToken(const QString& s, qsizetype& pos, QStringView delimiters)
{
    const qsizetype start = qMax<qsizetype>(pos, 1);
    qsizetype i = start;
    while (i <= s.size() && !delimiters.contains(s[i - 1]))
        ++i;
    const QString token = s.mid(start - 1, i - start);
    pos = i <= s.size() ? i + 1 : s.size() + 1;
    return token;
}
