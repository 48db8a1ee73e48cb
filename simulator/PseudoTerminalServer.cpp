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
// A flooding firmware's queue is kept at least this full.
constexpr int FLOOD_REFILL_SIZE = 4096;

int64_t _now_helper()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Bytes the line carries in elapsedNanoseconds, rounded down. Whole seconds and the rest are taken apart
// so that a flood running for days cannot overflow.
int64_t _lineBytes_helper(int64_t elapsedNanoseconds, long long bytesPerSecond)
{
    return elapsedNanoseconds / NANOSECONDS_PER_SECOND * bytesPerSecond +
           elapsedNanoseconds % NANOSECONDS_PER_SECOND * bytesPerSecond / NANOSECONDS_PER_SECOND;
}

// Line time of byteCount bytes, rounded up.
int64_t _lineNanoseconds_helper(int64_t byteCount, long long bytesPerSecond)
{
    return byteCount / bytesPerSecond * NANOSECONDS_PER_SECOND +
           (byteCount % bytesPerSecond * NANOSECONDS_PER_SECOND + bytesPerSecond - 1) / bytesPerSecond;
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

PseudoTerminalServer::PseudoTerminalServer(DeviceFirmwareModel& model, const LinkOptions& linkOptions)
    : _model(model), _linkOptions(linkOptions)
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
    _input.bytesPerSecond = _linkOptions.bytesPerSecond;
    // A flood is paced even without a speed, so that it cannot spin the processor.
    _output.bytesPerSecond = _linkOptions.bytesPerSecond <= 0 && isFlooding() ? REAL_LINE_BYTES_PER_SECOND
                                                                              : _linkOptions.bytesPerSecond;
    _isMasterWritable = true;
    for (;;)
    {
        const int64_t now = _now_helper();
        actOnDueRequests(now, afterRequests);
        if (isFlooding())
            topUpFlood(now);
        if (!sendDueReplyBytes(now, errorMessage))
            return false;
        bool isStopping = false;
        if (!waitAndReceive(stopFileDescriptor, isStopping, errorMessage))
            return false;
        if (isStopping)
            return true;
    }
}

bool PseudoTerminalServer::isFlooding() const
{
    return _model.faults().floodByte >= 0;
}

bool PseudoTerminalServer::isCancellingAbandonedReplies() const
{
    return !_linkOptions.isFinishingAbandonedReplies && !isFlooding();
}

void PseudoTerminalServer::actOnDueRequests(int64_t now, const std::function<void()>& afterRequests)
{
    const int inputDue = dueCount(_input, now);
    if (inputDue <= 0)
        return;
    const QByteArray reply = _model.receive(_input.bytes.constData(), inputDue);
    consume(_input, inputDue);
    if (!reply.isEmpty())
        enqueue(_output, reply.constData(), static_cast<int>(reply.size()), now);
    if (afterRequests)
        afterRequests();
}

void PseudoTerminalServer::topUpFlood(int64_t now)
{
    if (_output.bytes.size() >= FLOOD_REFILL_SIZE)
        return;
    const QByteArray flood(FLOOD_REFILL_SIZE, static_cast<char>(_model.faults().floodByte));
    enqueue(_output, flood.constData(), FLOOD_REFILL_SIZE, now);
}

bool PseudoTerminalServer::sendDueReplyBytes(int64_t now, QString& errorMessage)
{
    const int outputDue = dueOutputCount(now);
    if (outputDue <= 0 || !_isMasterWritable)
        return true;
    const ssize_t written =
        ::write(_masterFileDescriptor, _output.bytes.constData(), static_cast<size_t>(outputDue));
    if (written < 0 && errno != EAGAIN && errno != EINTR)
    {
        errorMessage = _systemError_helper("write to the pseudo-terminal");
        return false;
    }
    if (isFlooding())
    {
        // A babbling device does not wait for the host: what the terminal cannot take is lost, as on a
        // line without flow control, and the flood keeps its pace.
        consume(_output, outputDue);
        return true;
    }
    if (written > 0)
        consume(_output, static_cast<int>(written));
    _isMasterWritable = written == outputDue;
    return true;
}

bool PseudoTerminalServer::waitAndReceive(int stopFileDescriptor, bool& isStopping, QString& errorMessage)
{
    // Sleep until a byte comes in, the terminal can take more, a paced byte falls due, or we must stop.
    const int64_t now = _now_helper();
    const int64_t wakeTime = nextWakeTime(now);
    pollfd pollEntries[2] = {{_masterFileDescriptor, POLLIN, 0}, {stopFileDescriptor, POLLIN, 0}};
    if (!_output.bytes.isEmpty() && !_isMasterWritable)
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
            return true;
        errorMessage = _systemError_helper("poll");
        return false;
    }
    isStopping = pollEntries[1].revents != 0;
    if ((pollEntries[0].revents & POLLOUT) != 0)
        _isMasterWritable = true;
    if (isStopping || (pollEntries[0].revents & POLLIN) == 0)
        return true;
    char buffer[READ_CHUNK_SIZE];
    const ssize_t count = ::read(_masterFileDescriptor, buffer, sizeof(buffer));
    if (count > 0)
        takeRequestBytes(buffer, static_cast<int>(count));
    else if (count < 0 && errno != EAGAIN && errno != EINTR)
    {
        errorMessage = _systemError_helper("read from the pseudo-terminal");
        return false;
    }
    return true;
}

void PseudoTerminalServer::takeRequestBytes(const char* data, int size)
{
    // The host never sends while it waits for a reply: new bytes mean it gave up on the rest. Unless
    // asked to behave like the real firmware, which finishes the reply anyway, drop that rest.
    if (isCancellingAbandonedReplies() && _input.bytes.isEmpty() && !_model.isInsideRequest())
        _output.bytes.clear();
    enqueue(_input, data, size, _now_helper());
}

int64_t PseudoTerminalServer::nextWakeTime(int64_t now) const
{
    int64_t wakeTime = -1;
    if (!_input.bytes.isEmpty())
        wakeTime = completionTime(_input, static_cast<int>(_input.bytes.size()));
    if (!_output.bytes.isEmpty() && _isMasterWritable)
    {
        const int64_t outputTime = nextOutputTime(now);
        wakeTime = wakeTime < 0 ? outputTime : std::min(wakeTime, outputTime);
    }
    return wakeTime;
}

int64_t PseudoTerminalServer::nextOutputTime(int64_t now) const
{
    const int pending = static_cast<int>(_output.bytes.size());
    if (_linkOptions.packetSize > 0)
    {
        const int64_t sentInBurst = _output.sentSinceAnchor - _output.sentAtBurstStart;
        const int untilPacketEnd =
            _linkOptions.packetSize - static_cast<int>(sentInBurst % _linkOptions.packetSize);
        const int packetCount = std::min(pending, untilPacketEnd);
        // A short packet waits for the bridge's latency timer.
        const int64_t hold = packetCount < untilPacketEnd ? latencyNanoseconds() : 0;
        return completionTime(_output, packetCount) + hold;
    }
    const int64_t allSent = completionTime(_output, pending);
    return std::max(completionTime(_output, 1), std::min(allSent, now + OUTPUT_PIECE_NANOSECONDS));
}

int PseudoTerminalServer::dueOutputCount(int64_t now) const
{
    const int due = dueCount(_output, now);
    if (_linkOptions.packetSize <= 0)
        return due;
    const int64_t sentInBurst = _output.sentSinceAnchor - _output.sentAtBurstStart;
    const int beyondPacketEnd = static_cast<int>((sentInBurst + due) % _linkOptions.packetSize);
    // Where the line falls idle the short packet leaves too, once the bridge's latency timer has run out.
    if (due == _output.bytes.size() &&
        (beyondPacketEnd == 0 || now >= completionTime(_output, due) + latencyNanoseconds()))
        return due;
    // Before that, only whole packets leave.
    return std::max(0, due - beyondPacketEnd);
}

int64_t PseudoTerminalServer::latencyNanoseconds() const
{
    return static_cast<int64_t>(_linkOptions.latencyTimerMilliseconds) * 1000000;
}

void PseudoTerminalServer::enqueue(PacedQueue& queue, const char* data, int size, int64_t now) const
{
    // A line that has been idle starts its next byte now; a busy one queues it after the others.
    if (queue.bytes.isEmpty() && (queue.bytesPerSecond <= 0 || completionTime(queue, 0) < now))
    {
        queue.anchorNanoseconds = now;
        queue.sentSinceAnchor = 0;
    }
    if (queue.bytes.isEmpty())
        queue.sentAtBurstStart = queue.sentSinceAnchor;
    queue.bytes.append(data, size);
}

int PseudoTerminalServer::dueCount(const PacedQueue& queue, int64_t now) const
{
    const int pending = static_cast<int>(queue.bytes.size());
    if (queue.bytesPerSecond <= 0 || pending == 0)
        return pending;
    const int64_t sendable =
        _lineBytes_helper(now - queue.anchorNanoseconds, queue.bytesPerSecond) - queue.sentSinceAnchor;
    return static_cast<int>(std::clamp<int64_t>(sendable, 0, pending));
}

void PseudoTerminalServer::consume(PacedQueue& queue, int count) const
{
    queue.bytes.remove(0, count);
    queue.sentSinceAnchor += count;
}

int64_t PseudoTerminalServer::completionTime(const PacedQueue& queue, int count) const
{
    if (queue.bytesPerSecond <= 0)
        return queue.anchorNanoseconds;
    // Rounded up, so that at this time the count has certainly fallen due.
    return queue.anchorNanoseconds +
           _lineNanoseconds_helper(queue.sentSinceAnchor + count, queue.bytesPerSecond);
}
