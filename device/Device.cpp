#include "device/Device.h"

#include "common/SecureMemory.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <climits>

namespace
{

// What the line may take for size bytes at the slowest supported link, with a quarter more for margin.
qint64 _slowestLineMilliseconds_helper(int size)
{
    return static_cast<qint64>(size) * 1000 * 5 / (DEVICE_SLOWEST_LINK_BYTES_PER_SECOND * 4);
}
} // namespace

Device::Device(const DevicePortInfo& portInfo, QObject* parent)
    : QObject(parent), _portInfo(portInfo), _name(tr("No name defined"))
{
    // The buffers hold decrypted images while a vault is opened or saved.
    for (auto& buffer : _memoryBuffers)
        buffer.allocate(DEVICE_MEMORY_SIZE);
}

Device::~Device()
{
    // Releasing the port keeps it usable for the next Device even if close() was forgotten.
    _serialLink.close();
}

int Device::open()
{
    _lastFailure = DEVICE_FAILURE_NONE;
    if (!_serialLink.open(_portInfo.systemLocation()))
    {
        _lastOpenErrorNumber = _serialLink.lastErrorNumber();
        return -1;
    }
    // Another program (or an earlier run) may have left the device in the middle of a reply.
    _isLineUnsettled = true;
    const int result = readName();
    if (result == 0)
        _lastOpenErrorNumber = 0;
    else if (_lastFailure == DEVICE_FAILURE_NEVER_QUIET)
        _lastOpenErrorNumber = EBADMSG;
    else if (result == -2)
        _lastOpenErrorNumber = ETIMEDOUT;
    else
        _lastOpenErrorNumber = _serialLink.lastErrorNumber() != 0 ? _serialLink.lastErrorNumber() : EPROTO;
    return result == 0 ? 0 : -1;
}

void Device::close()
{
    if (!_serialLink.isOpen())
        return;
    // The outcome does not matter: the port is released either way.
    static_cast<void>(setLedMode(LED_MODE_STOP_BLINKING));
    _serialLink.close();
}

bool Device::isOpen() const
{
    return _serialLink.isOpen();
}

int Device::lastOpenErrorNumber() const
{
    return _lastOpenErrorNumber;
}

DeviceFailure Device::lastFailure() const
{
    return _lastFailure;
}

int Device::send(const void* data, int size)
{
    // A reply abandoned half-way (a transfer stopped by its page) is still arriving.
    if (_reply.isOutstanding)
        _isLineUnsettled = true;
    _reply = Reply();
    if (size < 0 || !clearLineBeforeRequest())
        return -1;
    if (!_serialLink.write(data, size) || !_serialLink.flush())
    {
        _lastFailure = DEVICE_FAILURE_PORT;
        _isLineUnsettled = true;
        return -1;
    }
    return 0;
}

int Device::receive(void* data, int size, int silenceLimitMilliseconds)
{
    beginReceive(data, size, silenceLimitMilliseconds);
    return finishReceive();
}

void Device::beginReceive(void* data, int size, int silenceLimitMilliseconds)
{
    _reply = Reply();
    _reply.data = static_cast<uint8_t*>(data);
    _reply.size = std::max(size, 0);
    _reply.silenceLimitMilliseconds = std::max(silenceLimitMilliseconds, 0);
    _reply.totalLimitMilliseconds =
        _reply.silenceLimitMilliseconds + _slowestLineMilliseconds_helper(_reply.size);
    _reply.isOutstanding = true;
    _reply.clock.start();
}

int Device::continueReceive(int waitMilliseconds)
{
    const qint64 callEnd = _reply.clock.elapsed() + std::max(waitMilliseconds, 0);
    while (_reply.receivedCount < _reply.size)
    {
        const int count =
            _serialLink.read(_reply.data + _reply.receivedCount, _reply.size - _reply.receivedCount);
        if (count < 0)
            return failReceive(-1, DEVICE_FAILURE_PORT);
        const qint64 now = _reply.clock.elapsed();
        if (count > 0)
        {
            _reply.receivedCount += count;
            _reply.lastByteMilliseconds = now;
            continue;
        }
        const qint64 silenceEnd = _reply.lastByteMilliseconds + _reply.silenceLimitMilliseconds;
        if (now >= silenceEnd)
            return failReceive(-2, DEVICE_FAILURE_SILENCE);
        if (now >= _reply.totalLimitMilliseconds)
            return failReceive(-2, DEVICE_FAILURE_TOO_SLOW);
        if (now >= callEnd)
            return DEVICE_RECEIVE_PENDING;
        const qint64 waitEnd = std::min({silenceEnd, _reply.totalLimitMilliseconds, callEnd});
        if (!_serialLink.waitForReadable(static_cast<int>(std::max<qint64>(waitEnd - now, 1))))
            return failReceive(-1, DEVICE_FAILURE_PORT);
    }
    _reply.isOutstanding = false;
    if (_reply.isAcknowledgement && _acknowledgement != ACKNOWLEDGE)
        return failReceive(-1, DEVICE_FAILURE_WRONG_REPLY);
    return 0;
}

int Device::receivedByteCount() const
{
    return _reply.receivedCount;
}

int Device::awaitAcknowledgement(int startResult)
{
    return startResult == 0 && finishReceive() == 0 ? 0 : -1;
}

int Device::finishReceive()
{
    int result = DEVICE_RECEIVE_PENDING;
    while (result == DEVICE_RECEIVE_PENDING)
        result = continueReceive(INT_MAX);
    return result;
}

int Device::failReceive(int returnValue, DeviceFailure failure)
{
    _lastFailure = failure;
    _reply.isOutstanding = false;
    // The device may still be sending the rest; the next request must not take it for its reply.
    _isLineUnsettled = true;
    return returnValue;
}

bool Device::clearLineBeforeRequest()
{
    uint8_t discarded[256];
    bool isStrayDataFound = false;
    for (;;)
    {
        const int count = _serialLink.read(discarded, sizeof(discarded));
        if (count < 0)
        {
            _lastFailure = DEVICE_FAILURE_PORT;
            return false;
        }
        if (count == 0)
            break;
        isStrayDataFound = true;
    }
    // Bytes nobody asked for mean the device is still busy with something: let it finish.
    if ((isStrayDataFound || _isLineUnsettled) && !waitForQuietLine())
        return false;
    _isLineUnsettled = false;
    return true;
}

bool Device::waitForQuietLine()
{
    uint8_t discarded[1024];
    QElapsedTimer clock;
    clock.start();
    qint64 lastByteMilliseconds = 0;
    for (;;)
    {
        const int count = _serialLink.read(discarded, sizeof(discarded));
        if (count < 0)
        {
            _lastFailure = DEVICE_FAILURE_PORT;
            return false;
        }
        const qint64 now = clock.elapsed();
        if (count > 0)
        {
            lastByteMilliseconds = now;
            if (now >= DEVICE_QUIET_LINE_WAIT_LIMIT_MILLISECONDS)
            {
                _lastFailure = DEVICE_FAILURE_NEVER_QUIET;
                return false;
            }
            continue;
        }
        const qint64 quietEnd = lastByteMilliseconds + DEVICE_QUIET_LINE_MILLISECONDS;
        if (now >= quietEnd)
            return true;
        if (!_serialLink.waitForReadable(static_cast<int>(quietEnd - now)))
        {
            _lastFailure = DEVICE_FAILURE_PORT;
            return false;
        }
    }
}

const DevicePortInfo& Device::getPortInfo() const
{
    return _portInfo;
}

QString Device::getUsbSerialNumber() const
{
    return _portInfo.serialNumber();
}

QString Device::getName() const
{
    return _name;
}

uint8_t* Device::getMemoryBuffer(int memoryIndex)
{
    if (memoryIndex < 0 || memoryIndex >= DEVICE_MEMORY_COUNT)
        return nullptr;
    return _memoryBuffers[memoryIndex].data();
}

int Device::getVersions(unsigned& hardwareVersion, unsigned& firmwareVersion)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_VERSIONS};
    uint8_t reply[4];
    if (send(request, sizeof(request)) != 0 ||
        receive(reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0)
        return -1;
    hardwareVersion = reply[0] * 256u + reply[1];
    firmwareVersion = reply[2] * 256u + reply[3];
    return 0;
}

int Device::setLedMode(int mode)
{
    return awaitAcknowledgement(startSetLedMode(mode));
}

int Device::selectMemory(int memoryIndex)
{
    return awaitAcknowledgement(startSelectMemory(memoryIndex));
}

int Device::readMemory(int memoryIndex)
{
    uint8_t* buffer = getMemoryBuffer(memoryIndex);
    if (!buffer || selectMemory(memoryIndex) != 0 || startReadSelectedMemory(buffer) != 0 ||
        finishReceive() != 0)
        return -1;
    return 0;
}

int Device::writeMemoryBlock(int blockNumber, const uint8_t* data)
{
    return awaitAcknowledgement(startWriteMemoryBlock(blockNumber, data));
}

int Device::startSetLedMode(int mode)
{
    if (mode < 0 || mode > 0xFF)
        return -1;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SET_LED_MODE, static_cast<uint8_t>(mode)};
    return startAcknowledgedRequest(request, sizeof(request), DEVICE_SILENCE_LIMIT_DEFAULT);
}

int Device::startSelectMemory(int memoryIndex)
{
    if (memoryIndex < 0 || memoryIndex >= DEVICE_MEMORY_COUNT)
        return -1;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SELECT_MEMORY, static_cast<uint8_t>(memoryIndex)};
    return startAcknowledgedRequest(request, sizeof(request), DEVICE_SILENCE_LIMIT_DEFAULT);
}

int Device::startWriteMemoryBlock(int blockNumber, const uint8_t* data)
{
    if (!data || blockNumber < 0 || blockNumber >= DEVICE_MEMORY_BLOCK_COUNT)
        return -1;
    uint8_t request[4 + DEVICE_MEMORY_BLOCK_SIZE];
    request[0] = COMMAND_MAGIC;
    request[1] = COMMAND_WRITE_MEMORY_BLOCK;
    request[2] = static_cast<uint8_t>(blockNumber >> 8);
    request[3] = static_cast<uint8_t>(blockNumber & 0xFF);
    std::memcpy(request + 4, data, DEVICE_MEMORY_BLOCK_SIZE);
    const int result =
        startAcknowledgedRequest(request, sizeof(request), DEVICE_SILENCE_LIMIT_WRITE_MEMORY_BLOCK);
    // The block may be part of a plaintext image.
    secureZeroMemory(request, sizeof(request));
    return result;
}

int Device::startReadSelectedMemory(uint8_t* destination)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_READ_MEMORY};
    if (!destination || send(request, sizeof(request)) != 0)
        return -1;
    beginReceive(destination, DEVICE_MEMORY_SIZE, DEVICE_SILENCE_LIMIT_READ_MEMORY);
    return 0;
}

int Device::getSerialNumber(QString& serialNumber)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_SERIAL_NUMBER};
    uint8_t reply[DEVICE_SERIAL_NUMBER_FIELD_SIZE];
    if (send(request, sizeof(request)) != 0 ||
        receive(reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0)
        return -1;
    serialNumber = decodeTextField(reply, sizeof(reply), tr("No serial number"));
    return 0;
}

int Device::readName()
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_NAME};
    uint8_t reply[DEVICE_NAME_FIELD_SIZE];
    if (send(request, sizeof(request)) != 0)
        return -1;
    const int result = receive(reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT);
    if (result != 0)
        return result;
    _name = decodeTextField(reply, sizeof(reply), tr("No name defined"));
    return 0;
}

int Device::setName(const QString& name)
{
    const QByteArray encodedName = name.toUtf8();
    const int length = static_cast<int>(encodedName.size());
    if (length > DEVICE_NAME_FIELD_SIZE)
        return -2;
    // The bytes after the terminator carry no meaning; zeros keep the request reproducible.
    uint8_t request[2 + DEVICE_NAME_FIELD_SIZE] = {COMMAND_MAGIC, COMMAND_SET_NAME};
    std::memcpy(request + 2, encodedName.constData(), static_cast<size_t>(length));
    if (awaitAcknowledgement(
            startAcknowledgedRequest(request, sizeof(request), DEVICE_SILENCE_LIMIT_DEFAULT)) != 0)
        return -1;
    _name = name;
    return 0;
}

int Device::getBackupDisableFlag(bool& isDisabled)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_BACKUP_DISABLE_FLAG, 0x00};
    uint8_t reply[2];
    if (send(request, sizeof(request)) != 0 ||
        receive(reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0)
        return -1;
    if (reply[0] != ACKNOWLEDGE)
        return failReceive(-1, DEVICE_FAILURE_WRONG_REPLY);
    isDisabled = reply[1] == 1;
    return 0;
}

int Device::setBackupDisableFlag(bool isDisabled)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SET_BACKUP_DISABLE_FLAG, 0x00,
                               static_cast<uint8_t>(isDisabled ? 1 : 0)};
    return awaitAcknowledgement(
        startAcknowledgedRequest(request, sizeof(request), DEVICE_SILENCE_LIMIT_DEFAULT));
}

int Device::startAcknowledgedRequest(const uint8_t* request, int size, int silenceLimitMilliseconds)
{
    if (send(request, size) != 0)
        return -1;
    _acknowledgement = 0;
    beginReceive(&_acknowledgement, 1, silenceLimitMilliseconds);
    _reply.isAcknowledgement = true;
    return 0;
}

QString Device::decodeTextField(const uint8_t* field, int size, const QString& unsetText) const
{
    if (field[0] == DEVICE_TEXT_FIELD_UNSET)
        return unsetText;
    const void* terminator = std::memchr(field, 0, static_cast<size_t>(size));
    const int length = terminator ? static_cast<int>(static_cast<const uint8_t*>(terminator) - field) : size;
    return QString::fromUtf8(reinterpret_cast<const char*>(field), length);
}
