#include "dorv_about.h"

#include "dorv_zaklad.h"

#include <stdexcept>

namespace {

BaseWindowHost* Hub()
{
    if (!FKZaklad())
        throw std::logic_error("the about box of the contacts program made without its main form");
    return FKZaklad();
}

} // namespace

TFKAbout::TFKAbout(QWidget* parent)
    : TFMAbout(Hub(), QString(), parent)
{
    setObjectName(QStringLiteral("FKAbout"));
    setWindowTitle(QStringLiteral("About Korvel-Kontakt"));
}
