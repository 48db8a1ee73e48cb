#include "SessionLockWatcher.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QUuid>

#include <utility>

namespace
{
const char LOGIN_SERVICE[] = "org.freedesktop.login1";
const char LOGIN_MANAGER_PATH[] = "/org/freedesktop/login1";
const char LOGIN_MANAGER_INTERFACE[] = "org.freedesktop.login1.Manager";
const char LOGIN_SESSION_INTERFACE[] = "org.freedesktop.login1.Session";

const char SYSTEM_BUS_ADDRESS_VARIABLE[] = "CORVANE_SYSTEM_BUS_ADDRESS";
const char SESSION_BUS_ADDRESS_VARIABLE[] = "CORVANE_SESSION_BUS_ADDRESS";

// Availability questions go to a local daemon; a bus that does not answer this fast counts as absent.
constexpr int BUS_QUESTION_TIMEOUT_MILLISECONDS = 1000;

// Screen savers of the desktops: the service, and the interface whose ActiveChanged(bool) tells the lock.
// Their object paths differ between versions, so the signal is taken from any path of the service.
const struct
{
    const char* service;
    const char* interface;
} SCREEN_SAVERS[] = {
    {"org.freedesktop.ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.gnome.ScreenSaver", "org.gnome.ScreenSaver"},
    {"org.cinnamon.ScreenSaver", "org.cinnamon.ScreenSaver"},
    {"org.mate.ScreenSaver", "org.mate.ScreenSaver"},
    {"org.xfce.ScreenSaver", "org.xfce.ScreenSaver"},
};

QDBusConnection _busConnection_helper(QDBusConnection::BusType type, const char* addressVariable,
                                      QStringList& ownConnectionNames)
{
    const QString address = qEnvironmentVariable(addressVariable);
    if (address.isEmpty())
        return type == QDBusConnection::SystemBus ? QDBusConnection::systemBus()
                                                  : QDBusConnection::sessionBus();
    const QString name = QStringLiteral("corvane-session-lock-") + QUuid::createUuid().toString(QUuid::Id128);
    ownConnectionNames.append(name);
    return QDBusConnection::connectToBus(address, name);
}

// Whether the service runs, or can be started by the bus on demand (logind usually is).
bool _isServicePresent_helper(const QDBusConnection& connection, const QString& service)
{
    if (!connection.isConnected())
        return false;
    const auto ask = [&connection](const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                              QStringLiteral("/org/freedesktop/DBus"),
                                                              QStringLiteral("org.freedesktop.DBus"), method);
        message.setArguments(arguments);
        return connection.call(message, QDBus::Block, BUS_QUESTION_TIMEOUT_MILLISECONDS);
    };
    const QDBusMessage ownerReply = ask(QStringLiteral("NameHasOwner"), {service});
    if (ownerReply.type() == QDBusMessage::ReplyMessage && !ownerReply.arguments().isEmpty() &&
        ownerReply.arguments().constFirst().toBool())
        return true;
    const QDBusMessage activatableReply = ask(QStringLiteral("ListActivatableNames"), {});
    return activatableReply.type() == QDBusMessage::ReplyMessage && !activatableReply.arguments().isEmpty() &&
           activatableReply.arguments().constFirst().toStringList().contains(service);
}
} // namespace

SessionLockWatcher::SessionLockWatcher(const QDBusConnection& systemBus, const QDBusConnection& sessionBus,
                                       QObject* parent)
    : QObject(parent), systemBus(systemBus), sessionBus(sessionBus)
{
    if (this->systemBus.isConnected())
    {
        this->systemBus.connect(QLatin1String(LOGIN_SERVICE), QLatin1String(LOGIN_MANAGER_PATH),
                                QLatin1String(LOGIN_MANAGER_INTERFACE), QStringLiteral("PrepareForSleep"),
                                this, SLOT(_slotLoginManagerPrepareForSleep(bool)));
        // The session's Lock comes from the session's own object, whose path logind has to tell.
        requestSessionPath(QStringLiteral("GetSessionByPID"),
                           QVariant::fromValue(uint(QCoreApplication::applicationPid())));
        takeSleepInhibitor();
    }
    if (this->sessionBus.isConnected())
    {
        for (const auto& screenSaver : SCREEN_SAVERS)
            this->sessionBus.connect(QLatin1String(screenSaver.service), QString(),
                                     QLatin1String(screenSaver.interface), QStringLiteral("ActiveChanged"),
                                     this, SLOT(_slotScreenSaverActiveChanged(bool)));
    }
}

SessionLockWatcher::~SessionLockWatcher()
{
    for (const QString& name : std::as_const(ownConnectionNames))
        QDBusConnection::disconnectFromBus(name);
}

SessionLockWatcher* SessionLockWatcher::createForThisSession(QObject* parent)
{
    QStringList ownConnectionNames;
    const QDBusConnection systemBus =
        _busConnection_helper(QDBusConnection::SystemBus, SYSTEM_BUS_ADDRESS_VARIABLE, ownConnectionNames);
    const QDBusConnection sessionBus =
        _busConnection_helper(QDBusConnection::SessionBus, SESSION_BUS_ADDRESS_VARIABLE, ownConnectionNames);
    auto* watcher = new SessionLockWatcher(systemBus, sessionBus, parent);
    watcher->ownConnectionNames = ownConnectionNames;
    return watcher;
}

bool SessionLockWatcher::isAvailable() const
{
    if (_isServicePresent_helper(systemBus, QLatin1String(LOGIN_SERVICE)))
        return true;
    for (const auto& screenSaver : SCREEN_SAVERS)
    {
        if (_isServicePresent_helper(sessionBus, QLatin1String(screenSaver.service)))
            return true;
    }
    return false;
}

void SessionLockWatcher::requestSessionPath(const QString& method, const QVariant& argument)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(LOGIN_SERVICE), QLatin1String(LOGIN_MANAGER_PATH),
                                       QLatin1String(LOGIN_MANAGER_INTERFACE), method);
    message.setArguments({argument});
    // Asynchronous: a slow or absent logind must not hold up the window.
    auto* callWatcher = new QDBusPendingCallWatcher(systemBus.asyncCall(message), this);
    connect(callWatcher, &QDBusPendingCallWatcher::finished, this,
            &SessionLockWatcher::_slotSessionPathCallFinished);
}

void SessionLockWatcher::_slotSessionPathCallFinished(QDBusPendingCallWatcher* callWatcher)
{
    const QDBusPendingReply<QDBusObjectPath> reply = *callWatcher;
    callWatcher->deleteLater();
    if (reply.isError())
    {
        // Started from outside any session (a terminal of another login, for example): the session the
        // environment names is the one whose screen the user sees.
        const QString sessionId = qEnvironmentVariable("XDG_SESSION_ID");
        if (!isSessionPathByIdTried && !sessionId.isEmpty())
        {
            isSessionPathByIdTried = true;
            requestSessionPath(QStringLiteral("GetSession"), sessionId);
        }
        return;
    }
    sessionPath = reply.value().path();
    systemBus.connect(QLatin1String(LOGIN_SERVICE), sessionPath, QLatin1String(LOGIN_SESSION_INTERFACE),
                      QStringLiteral("Lock"), this, SLOT(_slotLoginSessionLock()));
}

void SessionLockWatcher::takeSleepInhibitor()
{
    if (!systemBus.isConnected() || sleepInhibitor.isValid())
        return;
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(LOGIN_SERVICE), QLatin1String(LOGIN_MANAGER_PATH),
                                       QLatin1String(LOGIN_MANAGER_INTERFACE), QStringLiteral("Inhibit"));
    message.setArguments({QStringLiteral("sleep"), QCoreApplication::applicationName(),
                          QStringLiteral("Locking the password vault"), QStringLiteral("delay")});
    auto* callWatcher = new QDBusPendingCallWatcher(systemBus.asyncCall(message), this);
    connect(callWatcher, &QDBusPendingCallWatcher::finished, this,
            &SessionLockWatcher::_slotSleepInhibitorCallFinished);
}

void SessionLockWatcher::_slotSleepInhibitorCallFinished(QDBusPendingCallWatcher* callWatcher)
{
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *callWatcher;
    callWatcher->deleteLater();
    // Without it (no logind, or a policy that refuses it) the lock still comes, only maybe after waking up.
    if (!reply.isError())
        sleepInhibitor = reply.value();
}

void SessionLockWatcher::_slotLoginManagerPrepareForSleep(bool isStarting)
{
    // Sent twice: true before sleeping, false after waking up.
    if (!isStarting)
    {
        takeSleepInhibitor();
        return;
    }
    Q_EMIT sessionLockRequested();
    // The sleep may go on once the locked page had a turn of the event loop to be painted.
    QTimer::singleShot(0, this, [this]() { sleepInhibitor = QDBusUnixFileDescriptor(); });
}

void SessionLockWatcher::_slotLoginSessionLock()
{
    Q_EMIT sessionLockRequested();
}

void SessionLockWatcher::_slotScreenSaverActiveChanged(bool isActive)
{
    if (isActive)
        Q_EMIT sessionLockRequested();
}
