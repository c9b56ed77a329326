#include "ruvo_vychozi_zakl.h"

#include "ruvo_zaklad.h"

#include <stdexcept>

namespace {

// Every window of the program counts in its main form.
BaseWindowHost& Hub()
{
    if (!FZaklad())
        throw std::logic_error("a window of the reminders program made without its main form");
    return *FZaklad();
}

} // namespace

TFVychoziZakl::TFVychoziZakl(QWidget* parent)
    : TFVychoziZakl(Frame::Single, parent)
{
}

TFVychoziZakl::TFVychoziZakl(Frame frame, QWidget* parent)
    : TBaseWindow(Hub(), frame, parent)
{
    setObjectName(QStringLiteral("FVychoziZakl"));
}
