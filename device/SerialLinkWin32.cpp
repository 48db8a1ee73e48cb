#include "device/SerialLink.h"

#include <QThread>

#include <cerrno>

#include <windows.h>

namespace
{
// The errno value the callers expect for a Win32 error code. An exclusive port that another program
// holds answers ERROR_ACCESS_DENIED on Windows: that is "busy", not "no permission".
int _errorNumber_helper(DWORD errorCode)
{
    switch (errorCode)
    {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEVICE_NOT_CONNECTED:
        return ENOENT;
    case ERROR_OPERATION_ABORTED:
    case ERROR_GEN_FAILURE:
        return EIO;
    default:
        return EIO;
    }
}

// "COM5" and "\\.\COM5" both name the fifth port; only the second form reaches COM10 and above.
QString _devicePath_helper(const QString& systemLocation)
{
    const QLatin1String devicePrefix("\\\\.\\");
    return systemLocation.startsWith(devicePrefix) ? systemLocation : devicePrefix + systemLocation;
}
} // namespace

SerialLink::~SerialLink()
{
    close();
}

bool SerialLink::open(const QString& systemLocation)
{
    if (isOpen())
    {
        _lastErrorNumber = EBUSY;
        return false;
    }
    const std::wstring path = _devicePath_helper(systemLocation).toStdWString();
    // No sharing: the port is ours alone while it is open. No overlapped I/O: reads return at once.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        _lastErrorNumber = _errorNumber_helper(GetLastError());
        return false;
    }
    // 115 200 baud 8N1; every flow control, DTR, RTS and replacement off (all zero).
    DCB settings;
    ZeroMemory(&settings, sizeof(settings));
    settings.DCBlength = sizeof(settings);
    settings.BaudRate = 115200;
    settings.fBinary = 1;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    // A read returns at once with whatever has arrived; a write has no time-out.
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof(timeouts));
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommState(handle, &settings) || !SetCommTimeouts(handle, &timeouts))
    {
        _lastErrorNumber = _errorNumber_helper(GetLastError());
        CloseHandle(handle);
        return false;
    }
    // Bytes left over from an earlier session are drained by the device's first request (it waits for a
    // quiet line after every open), so no purge call is needed here.
    _portHandle = handle;
    _lastErrorNumber = 0;
    return true;
}

void SerialLink::close()
{
    if (!_portHandle)
        return;
    CloseHandle(static_cast<HANDLE>(_portHandle));
    _portHandle = nullptr;
}

bool SerialLink::isOpen() const
{
    return _portHandle != nullptr;
}

int SerialLink::read(void* data, int size)
{
    if (!_portHandle)
    {
        _lastErrorNumber = EBADF;
        return -1;
    }
    DWORD count = 0;
    if (!ReadFile(static_cast<HANDLE>(_portHandle), data, static_cast<DWORD>(size), &count, nullptr))
    {
        _lastErrorNumber = _errorNumber_helper(GetLastError());
        return -1;
    }
    return static_cast<int>(count);
}

bool SerialLink::write(const void* data, int size)
{
    if (!_portHandle)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    // One synchronous write of every byte: with no write time-out it returns once all are accepted.
    DWORD count = 0;
    if (!WriteFile(static_cast<HANDLE>(_portHandle), data, static_cast<DWORD>(size), &count, nullptr))
    {
        _lastErrorNumber = _errorNumber_helper(GetLastError());
        return false;
    }
    if (count != static_cast<DWORD>(size))
    {
        _lastErrorNumber = EIO;
        return false;
    }
    return true;
}

bool SerialLink::flush()
{
    if (!_portHandle)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    if (!FlushFileBuffers(static_cast<HANDLE>(_portHandle)))
    {
        _lastErrorNumber = _errorNumber_helper(GetLastError());
        return false;
    }
    return true;
}

bool SerialLink::waitForReadable(int timeoutMilliseconds)
{
    if (!_portHandle)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    // A synchronous port has no wait without overlapped I/O (which fails on Wine's pseudo-terminal
    // ports): the caller reads again after a pause of one millisecond, as the device's poll loop expects.
    if (timeoutMilliseconds > 0)
        QThread::msleep(1);
    return true;
}

int SerialLink::lastErrorNumber() const
{
    return _lastErrorNumber;
}
