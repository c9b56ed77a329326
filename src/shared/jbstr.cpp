#include "jbstr.h"

#include "platform/cp1250.h"

namespace {

// Index k of one table is the pair of index k of the other.
constexpr char16_t kLower[] = u"üéďäčěĺľžôöůýťáíóúňšřŕ";
constexpr char16_t kUpper[] = u"ÜÉĎÄČĚĹĽŽÔÖŮÝŤÁÍÓÚŇŠŘŔ";
constexpr int kLetters = 22;
static_assert(sizeof(kLower) / sizeof(char16_t) == kLetters + 1);
static_assert(sizeof(kUpper) / sizeof(char16_t) == kLetters + 1);

QChar asciiUpper(QChar c)
{
    return c >= u'a' && c <= u'z' ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

QChar asciiLower(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
}

QChar mapLetter(QChar c, const char16_t* from, const char16_t* to)
{
    for (int k = 0; k < kLetters; ++k)
        if (c.unicode() == from[k])
            return QChar(to[k]);
    return c;
}

// Start of the next word at or after i, or s.size().
qsizetype skipSeparators(QStringView s, qsizetype i, const CharSet& separators)
{
    while (i < s.size() && separators.contains(s[i]))
        ++i;
    return i;
}

qsizetype skipWord(QStringView s, qsizetype i, const CharSet& separators)
{
    while (i < s.size() && !separators.contains(s[i]))
        ++i;
    return i;
}

} // namespace

CharSet::CharSet(QStringView chars)
{
    for (QChar c : chars)
        insert(c);
}

void CharSet::insert(QChar c)
{
    const auto b = static_cast<unsigned char>(Cp1250::encodeChar(c));
    if (Cp1250::decodeChar(b) == c)
        m_bytes.set(b);
}

bool CharSet::contains(QChar c) const
{
    const auto b = static_cast<unsigned char>(Cp1250::encodeChar(c));
    return m_bytes.test(b) && Cp1250::decodeChar(b) == c;
}

QChar CzechUpCase(QChar c)
{
    const QChar a = asciiUpper(c);
    return a != c ? a : mapLetter(c, kLower, kUpper);
}

QChar CzechLowCase(QChar c)
{
    const QChar a = asciiLower(c);
    return a != c ? a : mapLetter(c, kUpper, kLower);
}

QString CzechUpperCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = CzechUpCase(c);
    return r;
}

QString CzechLowerCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = CzechLowCase(c);
    return r;
}

QString PadLeft(const QString& s, QChar c, int width)
{
    if (s.size() >= width)
        return s;
    return QString(width - s.size(), c) + s;
}

int WordCount(const QString& s, const CharSet& separators)
{
    int count = 0;
    qsizetype i = skipSeparators(s, 0, separators);
    while (i < s.size()) {
        ++count;
        i = skipSeparators(s, skipWord(s, i, separators), separators);
    }
    return count;
}

QString ExtractWord(int n, const QString& s, const CharSet& separators)
{
    if (n < 1)
        return {};
    qsizetype i = skipSeparators(s, 0, separators);
    for (int word = 1; i < s.size(); ++word) {
        const qsizetype end = skipWord(s, i, separators);
        if (word == n)
            return s.mid(i, end - i);
        i = skipSeparators(s, end, separators);
    }
    return {};
}

QString RemoveChar(QChar c, const QString& s)
{
    QString r = s;
    r.remove(c);
    return r;
}

bool SameText(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    return true;
}
