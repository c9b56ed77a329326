#include "dateedit.h"

#include "platform/datetime.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

const QLocale Czech(QLocale::Czech, QLocale::CzechRepublic);

bool IsSeparator(QChar c)
{
    return c == u'.' || c == u',' || c == u'/' || c == u'-' || c == u' ';
}

// Up to three parts (day, month, year) of digits. A day or month is done at
// two digits, or at one that no second could follow ("4" of a day, "2" of a
// month); the next part then begins at once, and a separator ends a part
// only when it holds something. A digit that cannot follow a day's first
// ("4" after "3") begins the month; one that cannot follow a month's first
// ("3" after "1") is no digit of the date.
QStringList SplitTyped(const QString& typed)
{
    const auto done = [](const QString& part, bool day) {
        return part.size() == 2 || (part.size() == 1 && part.toInt() > (day ? 3 : 1));
    };
    QStringList parts { QString() };
    const auto add = [&parts, &done](QChar c) {
        parts.last().append(c);
        if (parts.size() < 3 && done(parts.last(), parts.size() == 1))
            parts.append(QString());
    };
    for (QChar c : typed) {
        QString& part = parts.last();
        if (IsSeparator(c)) {
            if (!part.isEmpty() && parts.size() < 3)
                parts.append(QString());
        } else if (parts.size() == 3) {
            if (part.size() < 4) // a year has four digits at most
                part.append(c);
        } else if (!part.isEmpty() && (part + c).toInt() > (parts.size() == 1 ? 31 : 12)) {
            if (parts.size() == 1) {
                parts.append(QString());
                add(c);
            }
        } else {
            add(c);
        }
    }
    return parts;
}

} // namespace

TDateEdit::TDateEdit(QWidget* parent)
    : QDateEdit(parent)
{
    setLocale(Czech);
    setDisplayFormat(QStringLiteral("d.M.yyyy"));
    // Qt makes the drop-down calendar when it first opens, with the field's
    // Czech locale (weeks from Monday) and no week numbers. Made with the
    // field, its icons and the image formats behind them would hold up the
    // start of every form.
    setCalendarPopup(true);
}

bool TDateEdit::TypeChar(QChar c)
{
    if (!c.isDigit() && !IsSeparator(c))
        return false;
    if (m_typed.isEmpty() && IsSeparator(c))
        return true; // nothing to end yet
    m_typed.append(c);
    ApplyTyped(false);
    return true;
}

void TDateEdit::ApplyTyped(bool finished)
{
    const QStringList parts = SplitTyped(m_typed);
    const int day = parts.value(0).toInt();
    if (day == 0)
        return;
    const QDate shown = date();
    const int month = parts.size() > 1 && !parts[1].isEmpty() ? parts[1].toInt() : shown.month();
    QString year = parts.value(2);
    if (year.isEmpty())
        year = QString::number(shown.year());
    else if (year.size() != 4 && !(finished && year.size() <= 2))
        year = QString::number(shown.year()); // still being typed
    const std::optional<double> typed = TryStrToDate(QStringLiteral("%1.%2.%3").arg(day).arg(month).arg(year));
    if (!typed)
        return;
    const QDate d = DateTimeToQDate(*typed);
    if (d >= minimumDate() && d <= maximumDate() && d != shown)
        setDate(d);
}

void TDateEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && TypeChar(text[0])) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace && !m_typed.isEmpty()) {
        m_typed.chop(1);
        ApplyTyped(false);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ApplyTyped(true);
    // Modifier keys alone (Shift for a digit) keep the typing going.
    if (!(event->key() >= Qt::Key_Shift && event->key() <= Qt::Key_ScrollLock))
        m_typed.clear();
    QDateEdit::keyPressEvent(event);
}

void TDateEdit::focusInEvent(QFocusEvent* event)
{
    m_typed.clear();
    QDateEdit::focusInEvent(event);
}

void TDateEdit::focusOutEvent(QFocusEvent* event)
{
    ApplyTyped(true);
    m_typed.clear();
    QDateEdit::focusOutEvent(event);
}

void TDateEdit::mousePressEvent(QMouseEvent* event)
{
    m_typed.clear();
    QDateEdit::mousePressEvent(event);
}
