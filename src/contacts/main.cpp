#include "dorv_zaklad.h"

#include "platform/application.h"
#include "platform/endsignals.h"
#include "shared/commands.h"

int main(int argc, char** argv)
{
    Application app(argc, argv, ContactAppTitle);
    app.setQuitOnLastWindowClosed(false); // the hidden main form decides
    if (const std::optional<int> exitCode = ClaimProgramTitle(app.title()))
        return *exitCode; // a running copy came forward, or no commands can come
    // From here on SIGTERM and SIGHUP end the program in order (the main form
    // reads them); one that came earlier ended it before it wrote anything.
    EndSignals::Catch();
    TFKZaklad zaklad;
    zaklad.EndWhenIdle(5000);
    return app.exec();
}
