#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>

class QDBusPendingCallWatcher;
#endif

// Tells when the desktop session locks its screen or the computer is about to sleep, so that the vault can
// lock with it. On Linux this comes over D-Bus:
// - systemd-logind on the system bus: PrepareForSleep(true) of org.freedesktop.login1.Manager, and Lock of
//   this process's own session (org.freedesktop.login1.Session, found with GetSessionByPID, or GetSession
//   with XDG_SESSION_ID);
// - the screen saver of the desktop on the session bus: ActiveChanged(true) of org.freedesktop.ScreenSaver
//   and of the GNOME, Cinnamon, MATE and Xfce variants.
// Without a bus or without these services nothing is ever announced, and isAvailable() says so.
// logind suspends without waiting for anyone unless asked: the watcher holds a "delay" inhibitor, given
// back once the lock has been requested (and shown), so that the computer sleeps with the vault locked.
// On Windows (SessionLockWatcherWin32.cpp) a hidden window of its own receives the session's lock
// (WTSRegisterSessionNotification, WTS_SESSION_LOCK) and the coming sleep (WM_POWERBROADCAST,
// PBT_APMSUSPEND).
class SessionLockWatcher : public QObject
{
    Q_OBJECT

public:
#ifndef Q_OS_WIN
    // Listens on the given connections; either may be disconnected.
    SessionLockWatcher(const QDBusConnection& systemBus, const QDBusConnection& sessionBus,
                       QObject* parent = nullptr);
#else
    explicit SessionLockWatcher(QObject* parent = nullptr);
#endif
    ~SessionLockWatcher() override;

    // A watcher on this process's buses. The environment variables CORVANE_SYSTEM_BUS_ADDRESS and
    // CORVANE_SESSION_BUS_ADDRESS name other buses (a private bus of a test): each watcher then opens its
    // own connections, which the process-wide default connections cannot be made to do.
    static SessionLockWatcher* createForThisSession(QObject* parent = nullptr);

    // True when a service that announces screen locks or sleep is present (asked again at each call).
    bool isAvailable() const;

Q_SIGNALS:
    // The session's screen was locked or the computer is going to sleep.
    void sessionLockRequested();

#ifndef Q_OS_WIN
private Q_SLOTS:
    void _slotLoginManagerPrepareForSleep(bool isStarting);
    void _slotLoginSessionLock();
    void _slotScreenSaverActiveChanged(bool isActive);
    void _slotSessionPathCallFinished(QDBusPendingCallWatcher* callWatcher);
    void _slotSleepInhibitorCallFinished(QDBusPendingCallWatcher* callWatcher);

private:
    void requestSessionPath(const QString& method, const QVariant& argument);
    void takeSleepInhibitor();

    QDBusConnection systemBus;
    QDBusConnection sessionBus;
    // Connection names this watcher opened itself and closes when destroyed.
    QStringList ownConnectionNames;
    bool isSessionPathByIdTried = false;
    QString sessionPath;
    // Closing the descriptor gives the inhibitor back.
    QDBusUnixFileDescriptor sleepInhibitor;
#else
public:
    // Called by the hidden window's procedure for the notifications it receives.
    void handleWindowMessage(unsigned int message, quintptr parameter);

private:
    void* windowHandle = nullptr;
    bool isSessionRegistered = false;
#endif
};
