#include "ApplicationLockState.h"

#include <limits>

void ApplicationLockState::noteUserActivity()
{
    if (isAutoLockingEnabled)
        _inactivitySeconds = 0;
}

bool ApplicationLockState::countInactiveSecond()
{
    if (_inactivitySeconds < std::numeric_limits<int>::max())
        _inactivitySeconds++;
    // Compared as unsigned values: a delay of 0 locks at the first tick.
    return static_cast<unsigned int>(_inactivitySeconds) >=
           static_cast<unsigned int>(autoLockingDelaySeconds);
}

void ApplicationLockState::deferUntilUnlocked(std::function<void()> action)
{
    _deferredActions.append(std::move(action));
}

QList<std::function<void()>> ApplicationLockState::takeDeferredActions()
{
    QList<std::function<void()>> actions;
    actions.swap(_deferredActions);
    return actions;
}
