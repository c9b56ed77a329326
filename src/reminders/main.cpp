#include "ruvo_zaklad.h"

#include "platform/application.h"
#include "platform/endsignals.h"
#include "shared/commands.h"

int main(int argc, char** argv)
{
    EndSignals::Catch();
    Application app(argc, argv, ReminderAppTitle);
    app.setQuitOnLastWindowClosed(false); // the hidden main form decides
    TFZaklad zaklad(app.arguments());
    if (zaklad.SetupRun())
        return 0;
    if (const std::optional<int> exitCode = ClaimProgramTitle(app.title()))
        return *exitCode; // a running copy came forward, or no commands can come
    return app.exec();
}
