#pragma once

#include <QDateEdit>
#include <QString>

// The date field of the forms: the Czech short date ("9.12.2026"), a Czech
// drop-down calendar whose weeks start on Monday, and typing as a date field
// takes it: digits fill the day, the month and the year in turn; a "." (or
// a full day or month) moves on to the next part, a "." right after such a
// move is no second move. The date follows the typing whenever the parts
// typed so far make one (a year once it has four digits); leaving the field
// or Enter takes a two-digit year too. Any other key ends the typing and
// does what it does in a date edit (arrows step the part under the cursor).
class TDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr);

    // The text typed since the field took the focus or another key was used.
    const QString& Typed() const { return m_typed; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool TypeChar(QChar c);
    void ApplyTyped(bool finished);

    QString m_typed;
};
