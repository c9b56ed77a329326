#include "components/programhub.h"
#include "platform/application.h"
#include "platform/commandchannel.h"
#include "platform/dialogs.h"
#include "platform/endsignals.h"
#include "shared/commands.h"
#include "shared/f_p.h"
#include "shared/formplacement.h"
#include "tray/autoexchange.h"
#include "tray/f_skryto.h"
#include "tray/sessionend.h"

#include <QThread>

int main(int argc, char** argv)
{
    EndSignals::Catch();
    Application app(argc, argv, TrayAppTitle);
    app.setQuitOnLastWindowClosed(false);

    // The title is claimed before anything waits, so that a copy started
    // during the wait below finds this one.
    switch (CommandChannel::own().listen(TrayAppTitle)) {
    case CommandChannel::ListenResult::Listening:
        break;
    case CommandChannel::ListenResult::AlreadyRunning:
        Dialogs::showMessage(QStringLiteral("Aplikace je již spuštěna"));
        return 0;
    case CommandChannel::ListenResult::Failed:
        return EndWithoutCommandFolder();
    }

    // An automatic import is coming: give the desktop time to settle first.
    const QString iniPath = ProgramDir() + QStringLiteral("/korvel.ini");
    if (IniReadBool(iniPath, QStringLiteral("Nastav"), QStringLiteral("autoexpimp"), false) && AutoExpImpDue(iniPath))
        for (int round = 0; round < 100; ++round) {
            QCoreApplication::processEvents();
            QThread::msleep(100);
        }

    TFSkryt FSkryt;
    // A close request (code 7, SIGTERM) that came while the form was being
    // built, under a message of its start, has closed it already.
    if (FSkryt.Closed())
        return 0;
    QObject::connect(&FSkryt, &TFSkryt::formClosed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
