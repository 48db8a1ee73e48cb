#pragma once

#include "views/ViewId.h"

#include <QList>

#include <functional>

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
    // The active page while the locked page is in front of it.
    int viewIdUnderLock = VIEW_ID_CONTENT_EDITOR;

    bool isAutoLockingEnabled = false;
    int autoLockingDelaySeconds = 0;
    // Ticks every second while the auto-locking is enabled (owned by the window).
    QTimer* timerSecond = nullptr;
    // Screen locks and sleep of the session (owned by the window); followed while isLockedWithSession.
    SessionLockWatcher* sessionLockWatcher = nullptr;
    bool isLockedWithSession = true;

private:
    int _inactivitySeconds = 0;
    QList<std::function<void()>> _deferredActions;
};
