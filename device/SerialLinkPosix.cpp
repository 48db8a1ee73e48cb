#include "device/SerialLink.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
// How long a write may make no progress at all before the link is declared dead.
constexpr int WRITE_STALL_LIMIT_MILLISECONDS = 5000;

bool _configureRawMode_helper(int fileDescriptor)
{
    termios settings{};
    if (tcgetattr(fileDescriptor, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, B115200) != 0 || cfsetospeed(&settings, B115200) != 0)
        return false;
    return tcsetattr(fileDescriptor, TCSANOW, &settings) == 0;
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
    const QByteArray path = QFile::encodeName(systemLocation);
    const int fileDescriptor = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fileDescriptor < 0)
    {
        _lastErrorNumber = errno;
        return false;
    }
    // TIOCEXCL refuses later opens by other programs (except privileged ones); the lock also keeps out
    // privileged programs and other parts of this process that follow the same convention.
    if (flock(fileDescriptor, LOCK_EX | LOCK_NB) != 0 || ioctl(fileDescriptor, TIOCEXCL) != 0 ||
        !_configureRawMode_helper(fileDescriptor))
    {
        _lastErrorNumber = errno;
        ::close(fileDescriptor);
        return false;
    }
    // USB-serial bridges hold short packets (every acknowledgement) until a latency timer runs out; drivers
    // that support it shorten that timer to its minimum for a low-latency port. The udev rule does the
    // same for every driver; a port without the setting (a pseudo-terminal) refuses, which is harmless.
    serial_struct serialSettings{};
    if (ioctl(fileDescriptor, TIOCGSERIAL, &serialSettings) == 0 &&
        (serialSettings.flags & ASYNC_LOW_LATENCY) == 0)
    {
        serialSettings.flags |= ASYNC_LOW_LATENCY;
        ioctl(fileDescriptor, TIOCSSERIAL, &serialSettings);
    }
    // Keep DTR and RTS inactive; a pseudo-terminal has no modem lines and refuses, which is harmless.
    const int modemLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fileDescriptor, TIOCMBIC, &modemLines);
    // Bytes left over from an earlier session would be taken for the reply to the next request.
    tcflush(fileDescriptor, TCIOFLUSH);
    _fileDescriptor = fileDescriptor;
    _lastErrorNumber = 0;
    return true;
}

void SerialLink::close()
{
    if (_fileDescriptor < 0)
        return;
    // The exclusive flag belongs to the terminal, not to this descriptor: it would outlive us while
    // another descriptor (a simulator's own) keeps the terminal open.
    ioctl(_fileDescriptor, TIOCNXCL);
    flock(_fileDescriptor, LOCK_UN);
    ::close(_fileDescriptor);
    _fileDescriptor = -1;
}

bool SerialLink::isOpen() const
{
    return _fileDescriptor >= 0;
}

int SerialLink::read(void* data, int size)
{
    if (_fileDescriptor < 0)
    {
        _lastErrorNumber = EBADF;
        return -1;
    }
    for (;;)
    {
        const ssize_t count = ::read(_fileDescriptor, data, static_cast<size_t>(size));
        if (count >= 0)
            return static_cast<int>(count);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        _lastErrorNumber = errno;
        return -1;
    }
}

bool SerialLink::write(const void* data, int size)
{
    if (_fileDescriptor < 0)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    const char* position = static_cast<const char*>(data);
    int remaining = size;
    while (remaining > 0)
    {
        const ssize_t count = ::write(_fileDescriptor, position, static_cast<size_t>(remaining));
        if (count > 0)
        {
            position += count;
            remaining -= static_cast<int>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        {
            _lastErrorNumber = errno;
            return false;
        }
        pollfd pollEntry{_fileDescriptor, POLLOUT, 0};
        const int pollResult = poll(&pollEntry, 1, WRITE_STALL_LIMIT_MILLISECONDS);
        if (pollResult < 0 && errno == EINTR)
            continue;
        if (pollResult <= 0 || (pollEntry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
        {
            _lastErrorNumber = pollResult == 0 ? ETIMEDOUT : (pollResult < 0 ? errno : EIO);
            return false;
        }
    }
    return true;
}

bool SerialLink::flush()
{
    if (_fileDescriptor < 0)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    while (tcdrain(_fileDescriptor) != 0)
    {
        if (errno != EINTR)
        {
            _lastErrorNumber = errno;
            return false;
        }
    }
    return true;
}

bool SerialLink::waitForReadable(int timeoutMilliseconds)
{
    if (_fileDescriptor < 0)
    {
        _lastErrorNumber = EBADF;
        return false;
    }
    pollfd pollEntry{_fileDescriptor, POLLIN, 0};
    const int pollResult = poll(&pollEntry, 1, timeoutMilliseconds);
    if (pollResult < 0)
    {
        if (errno == EINTR)
            return true;
        _lastErrorNumber = errno;
        return false;
    }
    // A hung-up terminal reports itself readable and its reads return nothing, like an idle line (with
    // VMIN and VTIME at 0 an empty read is 0, not EAGAIN): only the hang-up flags tell them apart.
    if ((pollEntry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
    {
        _lastErrorNumber = EIO;
        return false;
    }
    return true;
}

int SerialLink::lastErrorNumber() const
{
    return _lastErrorNumber;
}
