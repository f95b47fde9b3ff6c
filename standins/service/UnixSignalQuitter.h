#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the application's event loop on SIGTERM and SIGINT. The handler only
// writes to a pipe; the quit itself happens in the event loop, so every
// journal line written so far is complete when the process exits.
class UnixSignalQuitter : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalQuitter(QObject *parent = nullptr);
    ~UnixSignalQuitter() override;

    // Installs the handlers; false with a reason if the pipe or a handler
    // could not be set up. Only one quitter may be installed per process.
    bool install(QString *error);

private:
    void onSignal();

    QSocketNotifier *mNotifier = nullptr;
};
