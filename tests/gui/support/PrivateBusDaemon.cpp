#include "PrivateBusDaemon.h"

#include <QStandardPaths>

namespace
{
constexpr int DAEMON_START_TIMEOUT_MILLISECONDS = 10000;
} // namespace

PrivateBusDaemon::~PrivateBusDaemon()
{
    if (process.state() != QProcess::NotRunning)
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
}

bool PrivateBusDaemon::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty())
    {
        error = QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon)");
        return false;
    }
    // The session configuration lets anyone own any name, as the fake services need; the address is
    // printed on the first line of its output once it listens.
    process.setProgram(program);
    process.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(DAEMON_START_TIMEOUT_MILLISECONDS))
    {
        error = QStringLiteral("dbus-daemon did not start: ") + process.errorString();
        return false;
    }
    while (!process.canReadLine())
    {
        if (!process.waitForReadyRead(DAEMON_START_TIMEOUT_MILLISECONDS))
        {
            error = QStringLiteral("dbus-daemon printed no address");
            return false;
        }
    }
    busAddress = QString::fromUtf8(process.readLine()).trimmed();
    return !busAddress.isEmpty();
}

QString PrivateBusDaemon::address() const
{
    return busAddress;
}

QString PrivateBusDaemon::errorText() const
{
    return error;
}
