#include "simulator/PseudoTerminalServer.h"

#include "simulator/DeviceFirmwareModel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace
{
constexpr int64_t NANOSECONDS_PER_SECOND = 1000000000;
// Replies at a limited speed leave in pieces this far apart.
constexpr int64_t OUTPUT_PIECE_NANOSECONDS = 1000000;
constexpr int READ_CHUNK_SIZE = 65536;

int64_t _now_helper()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString _systemError_helper(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

bool _makeRaw_helper(int fileDescriptor)
{
    termios settings{};
    if (tcgetattr(fileDescriptor, &settings) != 0)
        return false;
    // Without this the terminal would echo every reply back to us as if the host had sent it.
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    return tcsetattr(fileDescriptor, TCSANOW, &settings) == 0;
}
} // namespace

PseudoTerminalServer::PseudoTerminalServer(DeviceFirmwareModel& model, long long bytesPerSecond)
    : _model(model), _bytesPerSecond(bytesPerSecond)
{
}

PseudoTerminalServer::~PseudoTerminalServer()
{
    if (_keptTerminalFileDescriptor >= 0)
        ::close(_keptTerminalFileDescriptor);
    if (_masterFileDescriptor >= 0)
        ::close(_masterFileDescriptor);
}

bool PseudoTerminalServer::open(QString& errorMessage)
{
    _masterFileDescriptor = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (_masterFileDescriptor < 0 || grantpt(_masterFileDescriptor) != 0 ||
        unlockpt(_masterFileDescriptor) != 0)
    {
        errorMessage = _systemError_helper("cannot create a pseudo-terminal");
        return false;
    }
    char path[PATH_MAX];
    if (ptsname_r(_masterFileDescriptor, path, sizeof(path)) != 0)
    {
        errorMessage = _systemError_helper("ptsname");
        return false;
    }
    _portPath = QString::fromLocal8Bit(path);
    fcntl(_masterFileDescriptor, F_SETFL, fcntl(_masterFileDescriptor, F_GETFL) | O_NONBLOCK);
    // While no descriptor of the terminal side is open the master only sees hang-ups; keeping one open
    // lets clients reconnect as often as they like.
    _keptTerminalFileDescriptor = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (_keptTerminalFileDescriptor < 0 || !_makeRaw_helper(_keptTerminalFileDescriptor))
    {
        errorMessage = _systemError_helper("cannot set up the terminal side");
        return false;
    }
    return true;
}

QString PseudoTerminalServer::portPath() const
{
    return _portPath;
}

bool PseudoTerminalServer::run(int stopFileDescriptor, const std::function<void()>& afterRequests,
                               QString& errorMessage)
{
    bool isMasterWritable = true;
    for (;;)
    {
        int64_t now = _now_helper();
        const int inputDue = dueCount(_input, now);
        if (inputDue > 0)
        {
            const QByteArray reply = _model.receive(_input.bytes.constData(), inputDue);
            consume(_input, inputDue);
            if (!reply.isEmpty())
                enqueue(_output, reply.constData(), static_cast<int>(reply.size()), now);
            if (afterRequests)
                afterRequests();
        }
        const int outputDue = dueCount(_output, now);
        if (outputDue > 0 && isMasterWritable)
        {
            const ssize_t written =
                ::write(_masterFileDescriptor, _output.bytes.constData(), static_cast<size_t>(outputDue));
            if (written > 0)
                consume(_output, static_cast<int>(written));
            else if (written < 0 && errno != EAGAIN && errno != EINTR)
            {
                errorMessage = _systemError_helper("write to the pseudo-terminal");
                return false;
            }
            isMasterWritable = written == outputDue;
        }

        // Sleep until a byte comes in, the terminal can take more, a paced byte falls due, or we must stop.
        now = _now_helper();
        int64_t wakeTime = -1;
        if (!_input.bytes.isEmpty())
            wakeTime = completionTime(_input, static_cast<int>(_input.bytes.size()));
        if (!_output.bytes.isEmpty() && isMasterWritable)
        {
            const int64_t allSent = completionTime(_output, static_cast<int>(_output.bytes.size()));
            const int64_t nextPiece =
                std::max(completionTime(_output, 1), std::min(allSent, now + OUTPUT_PIECE_NANOSECONDS));
            wakeTime = wakeTime < 0 ? nextPiece : std::min(wakeTime, nextPiece);
        }
        pollfd pollEntries[2] = {{_masterFileDescriptor, POLLIN, 0}, {stopFileDescriptor, POLLIN, 0}};
        if (!_output.bytes.isEmpty() && !isMasterWritable)
            pollEntries[0].events |= POLLOUT;
        timespec timeout{};
        const timespec* timeoutPointer = nullptr;
        if (wakeTime >= 0)
        {
            const int64_t delay = std::max<int64_t>(0, wakeTime - now);
            timeout.tv_sec = static_cast<time_t>(delay / NANOSECONDS_PER_SECOND);
            timeout.tv_nsec = static_cast<long>(delay % NANOSECONDS_PER_SECOND);
            timeoutPointer = &timeout;
        }
        if (ppoll(pollEntries, 2, timeoutPointer, nullptr) < 0)
        {
            if (errno == EINTR)
                continue;
            errorMessage = _systemError_helper("poll");
            return false;
        }
        if (pollEntries[1].revents != 0)
            return true;
        if ((pollEntries[0].revents & POLLOUT) != 0)
            isMasterWritable = true;
        if ((pollEntries[0].revents & POLLIN) != 0)
        {
            char buffer[READ_CHUNK_SIZE];
            const ssize_t count = ::read(_masterFileDescriptor, buffer, sizeof(buffer));
            if (count > 0)
            {
                // The host never sends while it waits for a reply: new bytes mean it gave up on the rest.
                if (_input.bytes.isEmpty() && !_model.isInsideRequest())
                    _output.bytes.clear();
                enqueue(_input, buffer, static_cast<int>(count), _now_helper());
            }
            else if (count < 0 && errno != EAGAIN && errno != EINTR)
            {
                errorMessage = _systemError_helper("read from the pseudo-terminal");
                return false;
            }
        }
    }
}

void PseudoTerminalServer::enqueue(PacedQueue& queue, const char* data, int size, int64_t now) const
{
    // A line that has been idle starts its next byte now; a busy one queues it after the others.
    if (queue.bytes.isEmpty() && (_bytesPerSecond <= 0 || completionTime(queue, 0) < now))
    {
        queue.anchorNanoseconds = now;
        queue.sentSinceAnchor = 0;
    }
    queue.bytes.append(data, size);
}

int PseudoTerminalServer::dueCount(const PacedQueue& queue, int64_t now) const
{
    const int pending = static_cast<int>(queue.bytes.size());
    if (_bytesPerSecond <= 0 || pending == 0)
        return pending;
    const int64_t sendable =
        (now - queue.anchorNanoseconds) * _bytesPerSecond / NANOSECONDS_PER_SECOND - queue.sentSinceAnchor;
    return static_cast<int>(std::clamp<int64_t>(sendable, 0, pending));
}

void PseudoTerminalServer::consume(PacedQueue& queue, int count) const
{
    queue.bytes.remove(0, count);
    queue.sentSinceAnchor += count;
}

int64_t PseudoTerminalServer::completionTime(const PacedQueue& queue, int count) const
{
    if (_bytesPerSecond <= 0)
        return queue.anchorNanoseconds;
    // Rounded up, so that at this time the count has certainly fallen due.
    const int64_t bytes = queue.sentSinceAnchor + count;
    return queue.anchorNanoseconds + (bytes * NANOSECONDS_PER_SECOND + _bytesPerSecond - 1) / _bytesPerSecond;
}
