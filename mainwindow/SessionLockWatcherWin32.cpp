#include "SessionLockWatcher.h"

#include <windows.h>

#include <wtsapi32.h>

namespace
{
const wchar_t WINDOW_CLASS_NAME[] = L"CorvaneSessionLockWatcher";

LRESULT CALLBACK _windowProcedure_helper(HWND window, UINT message, WPARAM wParameter, LPARAM lParameter)
{
    if (message == WM_WTSSESSION_CHANGE || message == WM_POWERBROADCAST)
    {
        auto* watcher = reinterpret_cast<SessionLockWatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (watcher)
            watcher->handleWindowMessage(message, static_cast<quintptr>(wParameter));
        if (message == WM_POWERBROADCAST)
            return TRUE;
    }
    return DefWindowProcW(window, message, wParameter, lParameter);
}

bool _registerWindowClass_helper()
{
    static const bool isRegistered = []
    {
        WNDCLASSEXW windowClass;
        ZeroMemory(&windowClass, sizeof(windowClass));
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = _windowProcedure_helper;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = WINDOW_CLASS_NAME;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return isRegistered;
}
} // namespace

SessionLockWatcher::SessionLockWatcher(QObject* parent) : QObject(parent)
{
    if (!_registerWindowClass_helper())
        return;
    // A top-level window that is never shown: sleep announcements are broadcast to top-level windows only,
    // which a message-only window is not.
    HWND window = CreateWindowExW(0, WINDOW_CLASS_NAME, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    windowHandle = window;
    isSessionRegistered = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != 0;
}

SessionLockWatcher::~SessionLockWatcher()
{
    HWND window = static_cast<HWND>(windowHandle);
    if (!window)
        return;
    if (isSessionRegistered)
        WTSUnRegisterSessionNotification(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

SessionLockWatcher* SessionLockWatcher::createForThisSession(QObject* parent)
{
    return new SessionLockWatcher(parent);
}

bool SessionLockWatcher::isAvailable() const
{
    return isSessionRegistered;
}

void SessionLockWatcher::handleWindowMessage(unsigned int message, quintptr parameter)
{
    if ((message == WM_WTSSESSION_CHANGE && parameter == WTS_SESSION_LOCK) ||
        (message == WM_POWERBROADCAST && parameter == PBT_APMSUSPEND))
        Q_EMIT sessionLockRequested();
}
