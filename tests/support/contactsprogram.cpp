#include "contactsprogram.h"

#include "components/forms.h"
#include "contacts/dorv_zaklad.h"
#include "shared/contactfile.h"

#include <QApplication>

ContactsProgram::ContactsProgram(const QDateTime& now)
    : m_clock(now)
    , m_hub(std::make_unique<TFKZaklad>())
{
}

ContactsProgram::~ContactsProgram()
{
    closeWindows();
    m_hub.reset();
}

void ContactsProgram::restart()
{
    closeWindows();
    m_hub.reset();
    m_hub = std::make_unique<TFKZaklad>();
}

int ContactsProgram::add(ContactRecord record) const
{
    return AppendContact(dataPath(), record);
}

ContactRecord ContactsProgram::stored(int number) const
{
    ContactRecord r;
    ReadContact(number, dataPath(), r);
    return r;
}

QList<ContactRecord> ContactsProgram::all() const
{
    QList<ContactRecord> records;
    ForEachContact(dataPath(), [&](int, const ContactRecord& r) { records << r; });
    return records;
}

QWidget* ContactsProgram::window(const QString& name) const
{
    QWidget* w = FindForm(name);
    if (w) {
        QApplication::setActiveWindow(w);
        QCoreApplication::processEvents();
    }
    return w;
}

void ContactsProgram::closeWindows() const
{
    freeWindowsBut(m_hub.get());
}
