#pragma once

#include <QProcess>
#include <QString>

// A dbus-daemon of its own for one test program, standing in for the system or the session bus: the test
// registers fake services on it and sends their signals. Stopped when destroyed.
class PrivateBusDaemon
{
public:
    PrivateBusDaemon() = default;
    ~PrivateBusDaemon();
    PrivateBusDaemon(const PrivateBusDaemon&) = delete;
    PrivateBusDaemon& operator=(const PrivateBusDaemon&) = delete;

    // Starts the daemon and waits for its address; false (with the reason in errorText()) when it cannot.
    bool start();
    QString address() const;
    QString errorText() const;

private:
    QProcess process;
    QString busAddress;
    QString error;
};
