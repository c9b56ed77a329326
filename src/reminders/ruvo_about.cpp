#include "ruvo_about.h"

#include "ruvo_zaklad.h"

#include <stdexcept>

namespace {

BaseWindowHost* Hub()
{
    if (!FZaklad())
        throw std::logic_error("the about box of the reminders program made without its main form");
    return FZaklad();
}

} // namespace

TFAbout::TFAbout(QWidget* parent)
    : TFMAbout(Hub(), QString(), parent)
{
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("About Korvel"));
}
