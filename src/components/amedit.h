#pragma once

#include <QFlags>
#include <QLineEdit>

// A one-line edit whose text may be left-aligned, right-aligned or centred
// (QLineEdit::setAlignment), and which can move the focus on with Enter or
// back with Escape. The forms use it mostly as a borderless read-only field.
class TAMEdit : public QLineEdit {
    Q_OBJECT
public:
    enum TKeySet { ksReturn = 0x1, ksEscape = 0x2 };
    Q_DECLARE_FLAGS(TKeySets, TKeySet)

    explicit TAMEdit(QWidget* parent = nullptr);

    // Keys that move the focus instead of going on to the form.
    TKeySets Keys() const { return m_keys; }
    void SetKeys(TKeySets keys) { m_keys = keys; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TKeySets m_keys;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TAMEdit::TKeySets)
