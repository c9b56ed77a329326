#pragma once

#include <QString>
#include <QStringView>

#include <bitset>

// A set of characters held by their code page 1250 byte values, the way the
// stored texts know them. A character the code page lacks is never a member.
class CharSet {
public:
    CharSet() = default;
    // Every character of chars that the code page has.
    explicit CharSet(QStringView chars);

    void insert(QChar c);
    bool contains(QChar c) const;

private:
    std::bitset<256> m_bytes;
};

// Letter case by the fixed Czech and Slovak letter pairs plus ASCII A-Z,
// whatever the locale; every other character (Polish, Hungarian letters …)
// stays as it is.
QChar CzechUpCase(QChar c);
QChar CzechLowCase(QChar c);
QString CzechUpperCase(const QString& s);
QString CzechLowerCase(const QString& s);

// s with c put in front until it is width characters long; never shortened.
QString PadLeft(const QString& s, QChar c, int width);

// Words are maximal runs of characters outside separators; empty words never
// count. ExtractWord is 1-based and gives "" past the last word.
int WordCount(const QString& s, const CharSet& separators);
QString ExtractWord(int n, const QString& s, const CharSet& separators);

QString RemoveChar(QChar c, const QString& s);

// Equal when only the case of the letters A-Z differs; accented letters must
// match exactly.
bool SameText(QStringView a, QStringView b);
