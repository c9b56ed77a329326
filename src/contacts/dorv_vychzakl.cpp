#include "dorv_vychzakl.h"

#include "dorv_zaklad.h"

#include <stdexcept>

namespace {

// Every window of the program counts in its main form.
BaseWindowHost& Hub()
{
    if (!FKZaklad())
        throw std::logic_error("a window of the contacts program made without its main form");
    return *FKZaklad();
}

} // namespace

TFKVychZakl::TFKVychZakl(QWidget* parent)
    : TFKVychZakl(Frame::Single, parent)
{
}

TFKVychZakl::TFKVychZakl(Frame frame, QWidget* parent)
    : TBaseWindow(Hub(), frame, parent)
{
    setObjectName(QStringLiteral("FKVychZakl"));
    resize(472, 354);
}
