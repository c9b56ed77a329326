#include "ruvo_zaklad.h"

#include "platform/application.h"
#include "platform/commandchannel.h"
#include "shared/commands.h"

#include <cstdio>

int main(int argc, char** argv)
{
    Application app(argc, argv, ReminderAppTitle);
    app.setQuitOnLastWindowClosed(false); // the hidden main form decides
    TFZaklad zaklad(app.arguments());
    if (zaklad.SetupRun())
        return 0;
    switch (CommandChannel::own().listen(app.title())) {
    case CommandChannel::ListenResult::Listening:
        break;
    case CommandChannel::ListenResult::AlreadyRunning:
        CommandChannel::post(app.title(), rcRestore); // the running copy comes forward
        return 0;
    case CommandChannel::ListenResult::Failed:
        std::fputs("ruvo: cannot receive commands (no runtime folder)\n", stderr);
        return 1;
    }
    return app.exec();
}
