#pragma once

#include "views/ViewId.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSet>

#include <functional>

class DeviceWorkflow;
class QAction;
class QTimer;
class SessionLockWatcher;

// Locking the application: whether the locked page is in front and which page it covers, the inactivity
// count of the auto-locking with the settings it follows, and what the workflows do with the results that
// arrived behind the locked page, which goes on after the unlock.
class ApplicationLockState
{
public:
    // User input: the inactivity count starts again.
    void noteUserActivity();
    // One more second without user input; true once the auto-locking delay is reached.
    bool countInactiveSecond();

    void deferUntilUnlocked(std::function<void()> action);
    // The actions kept so far, oldest first; none are kept afterwards.
    QList<std::function<void()>> takeDeferredActions();

    bool isApplicationUnlocked = true;
    // Counts the locks: whoever waits on a question tells a lock that closed it from an answer.
    quint64 lockCount = 0;
    // The window's secrets while locked, encrypted under the master password (nothing else holds them).
    QByteArray sealedState;
    // The pages a workflow showed anew or left behind the locked page: the unlock leaves their content as it
    // is.
    QSet<int> viewIdsChangedWhileLocked;
    // A device transfer ran behind the locked page during this lock: the page tells whether it still runs.
    bool isTransferSeenWhileLocked = false;
    // The vault editor's focus was in a table, which the unlock rebuilds.
    bool isTableFocusedAtLock = false;
    // The workflow whose secrets were sealed with the window's, if one ran.
    QPointer<DeviceWorkflow> sealedWorkflow;
    // The actions the lock disabled, enabled again by the unlock.
    QList<QPointer<QAction>> actionsDisabledByLock;
    // The active page while the locked page is in front of it.
    int viewIdUnderLock = VIEW_ID_CONTENT_EDITOR;

    bool isAutoLockingEnabled = false;
    int autoLockingDelaySeconds = 0;
    // Ticks every second while the auto-locking is enabled (owned by the window).
    QTimer* timerSecond = nullptr;
    // Screen locks and sleep of the session (owned by the window); followed while isLockedWithSession.
    SessionLockWatcher* sessionLockWatcher = nullptr;
    bool isLockedWithSession = true;
    // A screen lock or sleep came while the application could not lock yet (its first open was running).
    bool isLockPending = false;

private:
    int _inactivitySeconds = 0;
    QList<std::function<void()>> _deferredActions;
};
