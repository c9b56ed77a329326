#include "reminderkinds.h"

#include "jbstr.h"
#include "platform/datetime.h"
#include "platform/tag.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <functional>
#include <initializer_list>

namespace {

QString captionOf(std::initializer_list<const char16_t*> captions, int32_t value)
{
    if (value < 1 || value > static_cast<int32_t>(captions.size()))
        return {};
    return QString::fromUtf16(captions.begin()[value - 1]);
}

// A kind's count is the number of its captions before the first empty one.
int32_t countCaptions(const std::function<QString(int32_t)>& caption)
{
    int32_t n = 0;
    while (!caption(n + 1).isEmpty())
        ++n;
    return n;
}

void fillCombo(QComboBox* combo, const std::function<QString(int32_t)>& caption, int32_t value)
{
    // Filled by the program, not chosen by the user: the forms run their
    // change handlers themselves afterwards.
    const QSignalBlocker quiet(combo);
    combo->clear();
    const int32_t count = countCaptions(caption);
    for (int32_t i = 1; i <= count; ++i)
        combo->addItem(caption(i));
    const QString shown = caption(value);
    combo->setCurrentIndex(shown.isEmpty() ? -1 : value - 1);
    if (combo->isEditable())
        combo->setEditText(shown);
    setTag(combo, shown.isEmpty() ? 0 : value);
}

const CharSet& dateTimeSeparators()
{
    static const CharSet set(u" .:");
    return set;
}

QString twoDigits(int v)
{
    return PadLeft(QString::number(v), u'0', 2);
}

} // namespace

QString RepeatKindText(int32_t value)
{
    return captionOf({ u"žádné - bude vymazáno", u"dny v týdnu - výběr", u"týdně - automatická změna",
                         u"ročně - automatická změna" },
        value);
}

QString AdvanceKindText(int32_t value)
{
    return captionOf({ u"minut předem", u"hodin předem", u"dnů předem", u"v určený datum a čas" }, value);
}

QString NextKindText(int32_t value, bool withRelative)
{
    if (value > nkAbsolute && !withRelative)
        return {};
    return captionOf({ u"za .. minut", u"za .. hodin", u"za .. dnů", u"za .. roků", u"v určený datum a čas",
                         u".. minut před vých. časem", u".. hodin před vých. časem", u".. dnů před vých. časem" },
        value);
}

QString LengthKindText(int32_t value)
{
    return captionOf({ u"minut", u"hodin", u"dnů", u"datum + čas" }, value);
}

QString OverdueActionText(int32_t value)
{
    return captionOf({ u"nic se neděje", u"připomenout co nejdříve", u"připomenout do .. minut",
                         u"připomenout do .. hodin", u"připomenout do .. dnů" },
        value);
}

bool RemindsWhenOverdue(int32_t overdueAction)
{
    return overdueAction >= oaAsSoonAsPossible && overdueAction <= oaWithinDays;
}

int32_t RepeatKindCount()
{
    return countCaptions(RepeatKindText);
}

int32_t AdvanceKindCount()
{
    return countCaptions(AdvanceKindText);
}

int32_t NextKindCount(bool withRelative)
{
    return countCaptions([withRelative](int32_t v) { return NextKindText(v, withRelative); });
}

int32_t LengthKindCount()
{
    return countCaptions(LengthKindText);
}

int32_t OverdueActionCount()
{
    return countCaptions(OverdueActionText);
}

void FillRepeatKindCombo(QComboBox* combo, int32_t value)
{
    fillCombo(combo, RepeatKindText, value);
}

void FillAdvanceKindCombo(QComboBox* combo, int32_t value)
{
    fillCombo(combo, AdvanceKindText, value);
}

void FillLengthKindCombo(QComboBox* combo, int32_t value)
{
    fillCombo(combo, LengthKindText, value);
}

void FillOverdueActionCombo(QComboBox* combo, int32_t value)
{
    fillCombo(combo, OverdueActionText, value);
}

void FillNextKindCombo(QComboBox* combo, int32_t& value, bool withRelative)
{
    if (value > NextKindCount(withRelative))
        value = nkMinutes;
    fillCombo(
        combo, [withRelative](int32_t v) { return NextKindText(v, withRelative); }, value);
}

QString WeekdayName(int dayOfWeek)
{
    static const char16_t* const names[] = { u"neděle", u"pondělí", u"úterý", u"středa", u"čtvrtek", u"pátek" };
    if (dayOfWeek < 1 || dayOfWeek > 6)
        return QStringLiteral("sobota");
    return QString::fromUtf16(names[dayOfWeek - 1]);
}

QString WeekdaysToText(const QListWidget* box)
{
    QString digits;
    for (int i = 0; i < 7 && i < box->count(); ++i)
        if (box->item(i)->checkState() == Qt::Checked)
            digits += QChar(u'1' + i);
    return digits;
}

void TextToWeekdays(QListWidget* box, const QString& digits)
{
    const QSignalBlocker quiet(box);
    for (int i = 0; i < 7 && i < box->count(); ++i)
        box->item(i)->setCheckState(digits.contains(QChar(u'1' + i)) ? Qt::Checked : Qt::Unchecked);
}

QString NormalizeDateTimeText(const QString& s)
{
    static const CharSet blank(u" ");
    static const CharSet dot(u".");
    QString text = s;
    if (WordCount(s, blank) == 2) {
        const QString date = ExtractWord(1, s, blank);
        QStringList parts;
        for (int i = WordCount(date, dot); i >= 1; --i)
            parts << ExtractWord(i, date, dot);
        text = parts.join(u'.') + u' ' + ExtractWord(2, s, blank);
    }
    const int words = WordCount(text, dateTimeSeparators());
    if (words == 0)
        return s;
    QString out = PadLeft(ExtractWord(1, text, dateTimeSeparators()), u'0', 4);
    for (int i = 2; i <= words; ++i) {
        const QChar sep = i == 4 ? u' ' : (i == 5 || i == 6) ? u':' : u'.';
        out += sep + PadLeft(ExtractWord(i, text, dateTimeSeparators()), u'0', 2);
    }
    return out;
}

QString CutSecondsText(const QString& s)
{
    static const CharSet colon(u":");
    if (WordCount(s, colon) < 3)
        return s;
    return ExtractWord(1, s, colon) + u':' + ExtractWord(2, s, colon);
}

QString ShortDateTimeText(const QString& s)
{
    // Past the first word and the one separator that follows it.
    qsizetype i = 0;
    while (i < s.size() && dateTimeSeparators().contains(s[i]))
        ++i;
    while (i < s.size() && !dateTimeSeparators().contains(s[i]))
        ++i;
    const QString rest = s.mid(i + 1);
    return rest.left(std::max<qsizetype>(0, rest.size() - 3));
}

QString PadHourText(const QString& s)
{
    if (s.size() >= 5 && s[4] == u':')
        return u'0' + s.left(4);
    return s;
}

QString WeekdayDateTimeText(double dt)
{
    const QString time = PadHourText(TimeToStr(dt).left(5));
    return NormalizeDateTimeText(DateToStr(dt) + u' ' + time) + u'-' + WeekdayName(DayOfWeek(dt));
}

std::optional<double> StoredDateTime(const QString& dateText, const QString& timeText)
{
    const auto date = TryStrToDate(dateText);
    const auto time = TryStrToTime(timeText);
    if (!date || !time)
        return std::nullopt;
    return ExistingLocalTime(ComposeDateTime(*date, *time));
}

QString EventEndText(const QString& dateText, const QString& timeText, double length)
{
    if (length == 0)
        return {};
    const auto start = StoredDateTime(dateText, timeText);
    if (!start || !IsValidDateTime(length) || !IsValidDateTime(*start + length))
        return {};
    const double end = *start + length;
    if (DateOf(end) > DateOf(*start))
        return ShortDateTimeText(NormalizeDateTimeText(DateToStr(end) + u' ' + TimeToStr(end)));
    return CutSecondsText(PadHourText(TimeToStr(end)));
}

QString MinutesToTimeText(int32_t minutes)
{
    if (minutes >= 1440)
        minutes %= 1440;
    const int32_t hours = minutes / 60;
    return twoDigits(hours) + u':' + twoDigits(minutes - 60 * hours);
}

QString CzechUnitWord(int32_t unit, int32_t n)
{
    if (n <= 0)
        return {};
    const int form = n == 1 ? 0 : n <= 4 ? 1 : 2;
    static const char16_t* const days[] = { u"den", u"dny", u"dnů" };
    static const char16_t* const hours[] = { u"hodina", u"hodiny", u"hodin" };
    static const char16_t* const minutes[] = { u"minuta", u"minuty", u"minut" };
    const char16_t* const* words = unit == 1 ? days : unit == 2 ? hours : minutes;
    return QString::fromUtf16(words[form]);
}

QString DurationText(double span)
{
    // A damaged length has no text rather than a count cut into 32 bits.
    if (span == 0 || !IsValidDateTime(span))
        return {};
    QString text;
    // Whole days after rounding to the millisecond, as the time part is decoded.
    const int32_t days = static_cast<int32_t>(DateOf(span));
    if (days > 0)
        text = QString::number(days) + CzechUnitWord(1, days);
    int h, m, s, ms;
    DecodeTime(span, h, m, s, ms);
    if (h > 0)
        text += QString::number(h) + CzechUnitWord(2, h);
    if (m > 0)
        text += QString::number(m) + CzechUnitWord(3, m);
    return u'(' + text + u')';
}

QString RemainingText(double span)
{
    if (!(span > 0))
        return {};
    if (span > 365)
        return QStringLiteral("> rok");
    QString text;
    const int32_t days = static_cast<int32_t>(DateOf(span));
    if (days > 0)
        text = QString::number(days) + CzechUnitWord(1, days) + u' ';
    int h, m, s, ms;
    DecodeTime(span, h, m, s, ms);
    return text + twoDigits(h) + u':' + twoDigits(m);
}
