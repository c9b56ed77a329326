#include "amedit.h"

#include <QKeyEvent>

TAMEdit::TAMEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TAMEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((m_keys & ksReturn) && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        focusNextChild();
        return;
    }
    if ((m_keys & ksEscape) && key == Qt::Key_Escape) {
        event->accept();
        focusPreviousChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
