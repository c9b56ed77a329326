#pragma once

#include <QObject>

// SIGTERM and SIGHUP, which a session manager (or a service manager) sends to
// end a program, reported in the event loop instead of ending the program
// at once: the program ends in its own time, with nothing half-written.
class EndSignals : public QObject {
    Q_OBJECT
public:
    // Catches SIGTERM and SIGHUP from now on; one that comes before an
    // EndSignals exists is reported once one does. Called early in main.
    static void Catch();

    explicit EndSignals(QObject* parent = nullptr);

signals:
    // One or more of the signals came.
    void received();

private:
    void readPipe();
};
