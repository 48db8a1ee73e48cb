#include "device/Device.h"

#include "common/SecureMemory.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringDecoder>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <climits>

namespace
{
// Devices closing in steps, and the timer that steps them (created with the first one).
QList<Device*> closingDevices;
QTimer* closingTimer = nullptr;
// Longest work of one closing step, so that the event loop turns often.
constexpr int CLOSING_STEP_MILLISECONDS = 20;

DeviceFailure _failureOfOpenError_helper(int errorNumber)
{
    if (errorNumber == EBUSY || errorNumber == EWOULDBLOCK)
        return DEVICE_FAILURE_PORT_BUSY;
    if (errorNumber == EACCES || errorNumber == EPERM)
        return DEVICE_FAILURE_PERMISSION_DENIED;
    return DEVICE_FAILURE_PORT;
}

// A name field as a device sends it: unset, or UTF-8 text. Invalid UTF-8 is what a babbling line
// produces. (A babbler repeating 0xFF or 0x00 sends a valid
// unset or empty name: it gives itself away by going on sending afterwards.)
bool _isNameField_helper(const uint8_t* field, int size)
{
    if (field[0] == DEVICE_TEXT_FIELD_UNSET)
        return true;
    const void* terminator = std::memchr(field, 0, static_cast<size_t>(size));
    const int length = terminator ? static_cast<int>(static_cast<const uint8_t*>(terminator) - field) : size;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(reinterpret_cast<const char*>(field), length));
    static_cast<void>(text);
    // Control characters alone do not tell babble: a name may hold them, and pages show them escaped.
    return !decoder.hasError();
}

// Releases a device still closing on systemLocation at once: its port is about to be opened again.
void _releaseClosingDeviceAt_helper(const QString& systemLocation)
{
    for (int index = 0; index < closingDevices.size(); index++)
    {
        if (closingDevices[index]->getPortInfo().systemLocation() != systemLocation)
            continue;
        delete closingDevices.takeAt(index);
        return;
    }
}

void _stepClosingDevices_helper()
{
    const QList<Device*> devices = closingDevices;
    for (Device* device : devices)
    {
        // A device released meanwhile (its port reopened) is no longer in the list.
        if (!closingDevices.contains(device))
            continue;
        if (!device->continueClose(CLOSING_STEP_MILLISECONDS / std::max<int>(1, devices.size())))
            continue;
        closingDevices.removeOne(device);
        delete device;
    }
    if (closingDevices.isEmpty() && closingTimer)
        closingTimer->stop();
}

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
    if (beginOpen() != 0)
        return -1;
    int result = DEVICE_RECEIVE_PENDING;
    while (result == DEVICE_RECEIVE_PENDING)
        result = continueOpen(INT_MAX);
    return result;
}

int Device::beginOpen()
{
    _lastFailure = DEVICE_FAILURE_NONE;
    _isAnswering = false;
    _isOpening = false;
    _isCheckingSilenceAfterName = false;
    _isClosing = false;
    _releaseClosingDeviceAt_helper(_portInfo.systemLocation());
    if (!_serialLink.open(_portInfo.systemLocation()))
    {
        _lastOpenErrorNumber = _serialLink.lastErrorNumber();
        _lastFailure = _failureOfOpenError_helper(_lastOpenErrorNumber);
        return -1;
    }
    _isAnswering = true;
    // Another program (or an earlier run) may have left the device in the middle of a reply.
    _isLineUnsettled = true;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_NAME};
    if (startRequest(request, sizeof(request), _nameField, sizeof(_nameField),
                     DEVICE_SILENCE_LIMIT_DEFAULT) != 0)
        return finishOpen(-1);
    _isOpening = true;
    return 0;
}

int Device::continueOpen(int waitMilliseconds)
{
    if (!_isOpening)
        return _lastOpenErrorNumber == 0 && _isAnswering ? 0 : -1;
    QElapsedTimer callClock;
    callClock.start();
    if (!_isCheckingSilenceAfterName)
    {
        const int result = continueReceive(waitMilliseconds);
        if (result == DEVICE_RECEIVE_PENDING)
            return DEVICE_RECEIVE_PENDING;
        if (result != 0 || !_isNameField_helper(_nameField, sizeof(_nameField)))
        {
            _isOpening = false;
            return finishOpen(result == 0 ? failReceive(-1, DEVICE_FAILURE_GARBLED_REPLY) : result);
        }
        _isCheckingSilenceAfterName = true;
        _reply.clock.start();
    }
    // A device falls silent after its 64 name bytes; one that goes on sending was babbling, whatever
    // those bytes looked like.
    const qint64 waitLimit = std::max(waitMilliseconds, 0);
    for (;;)
    {
        uint8_t extra[64];
        const int count = _serialLink.read(extra, sizeof(extra));
        if (count != 0)
        {
            _isCheckingSilenceAfterName = false;
            _isOpening = false;
            return finishOpen(
                failReceive(-1, count < 0 ? DEVICE_FAILURE_PORT : DEVICE_FAILURE_GARBLED_REPLY));
        }
        const qint64 silenceRemaining = DEVICE_QUIET_LINE_MILLISECONDS - _reply.clock.elapsed();
        if (silenceRemaining <= 0)
            break;
        const qint64 callRemaining = waitLimit - callClock.elapsed();
        if (callRemaining <= 0)
            return DEVICE_RECEIVE_PENDING;
        if (!_serialLink.waitForReadable(
                static_cast<int>(std::max<qint64>(std::min(silenceRemaining, callRemaining), 1))))
        {
            _isCheckingSilenceAfterName = false;
            _isOpening = false;
            return finishOpen(failReceive(-1, DEVICE_FAILURE_PORT));
        }
    }
    _isCheckingSilenceAfterName = false;
    _isOpening = false;
    return finishOpen(0);
}

int Device::finishOpen(int receiveResult)
{
    if (receiveResult == 0)
    {
        _name = decodeTextField(_nameField, sizeof(_nameField), tr("No name defined"));
        _lastOpenErrorNumber = 0;
        return 0;
    }
    if (_lastFailure == DEVICE_FAILURE_NEVER_QUIET)
        _lastOpenErrorNumber = EBADMSG;
    else if (_lastFailure == DEVICE_FAILURE_GARBLED_REPLY)
        _lastOpenErrorNumber = EILSEQ;
    else if (receiveResult == -2)
        _lastOpenErrorNumber = ETIMEDOUT;
    else
        _lastOpenErrorNumber = _serialLink.lastErrorNumber() != 0 ? _serialLink.lastErrorNumber() : EPROTO;
    // A device that does not answer its name gets no LED command on closing either.
    _isAnswering = false;
    return -1;
}

void Device::close()
{
    while (!continueClose(INT_MAX))
    {
    }
}

bool Device::continueClose(int waitMilliseconds)
{
    if (!_serialLink.isOpen())
        return true;
    if (!_isClosing)
    {
        _isClosing = true;
        // A device still opening has not been told anything yet, and one that failed gets nothing more.
        // Otherwise the outcome does not matter: the port is released either way.
        const bool isSilentRelease = _isOpening || !_isAnswering;
        _isOpening = false;
        if (isSilentRelease || startSetLedMode(LED_MODE_STOP_BLINKING) != 0)
        {
            _isClosing = false;
            _serialLink.close();
            return true;
        }
    }
    if (continueReceive(waitMilliseconds) == DEVICE_RECEIVE_PENDING)
        return false;
    _isClosing = false;
    _serialLink.close();
    return true;
}

bool Device::isClosing() const
{
    return _isClosing && _serialLink.isOpen();
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

bool Device::isAnswering() const
{
    return _isAnswering && _serialLink.isOpen();
}

QString Device::lastFailureDescription() const
{
    switch (_lastFailure)
    {
    case DEVICE_FAILURE_NONE:
        return QString();
    case DEVICE_FAILURE_PORT_BUSY:
        return tr("the device is in use by another program");
    case DEVICE_FAILURE_PERMISSION_DENIED:
        return tr("access to the device's serial port was denied");
    case DEVICE_FAILURE_NEVER_QUIET:
        return tr("the device keeps sending data that nobody asked for");
    case DEVICE_FAILURE_GARBLED_REPLY:
        return tr("the device does not answer properly (its reply is not valid)");
    case DEVICE_FAILURE_WRONG_REPLY:
        return tr("the device refused the command");
    case DEVICE_FAILURE_SILENCE:
        if (_reply.receivedCount == 0)
            return tr("the device did not answer");
        return tr("the device stopped answering after %1 of %2 bytes")
            .arg(_reply.receivedCount)
            .arg(_reply.size);
    case DEVICE_FAILURE_TOO_SLOW:
        return tr("the device answered too slowly (%1 of %2 bytes)")
            .arg(_reply.receivedCount)
            .arg(_reply.size);
    case DEVICE_FAILURE_PORT:
        break;
    }
    return tr("the port failed (was the device unplugged?)");
}

int Device::send(const void* data, int size)
{
    if (size < 0 || startRequest(static_cast<const uint8_t*>(data), size, nullptr, 0, 0) != 0)
        return -1;
    // Nothing to receive: this only waits for the quiet line and sends.
    return finishReceive() == 0 ? 0 : -1;
}

int Device::startRequest(const uint8_t* request, int size, void* replyData, int replySize,
                         int silenceLimitMilliseconds)
{
    // A reply abandoned half-way (a transfer stopped by its page) is still arriving.
    if (_reply.isOutstanding)
        _isLineUnsettled = true;
    secureZeroMemory(_pendingRequest.data(), _pendingRequest.size());
    _pendingRequest.clear();
    beginReceive(replyData, replySize, silenceLimitMilliseconds);
    _reply.isOutstanding = false;
    if (!isAnswering())
    {
        if (_lastFailure == DEVICE_FAILURE_NONE)
            _lastFailure = DEVICE_FAILURE_PORT;
        return -1;
    }
    uint8_t discarded[256];
    for (;;)
    {
        const int count = _serialLink.read(discarded, sizeof(discarded));
        if (count < 0)
            return failReceive(-1, DEVICE_FAILURE_PORT);
        if (count == 0)
            break;
        // Bytes nobody asked for mean the device is still busy with something: let it finish.
        _isLineUnsettled = true;
    }
    _pendingRequest.assign(request, request + size);
    _reply.isOutstanding = true;
    if (_isLineUnsettled)
    {
        _reply.isWaitingForQuietLine = true;
        return 0;
    }
    return writePendingRequest();
}

int Device::writePendingRequest()
{
    const bool isWritten =
        _serialLink.write(_pendingRequest.data(), static_cast<int>(_pendingRequest.size())) &&
        _serialLink.flush();
    secureZeroMemory(_pendingRequest.data(), _pendingRequest.size());
    _pendingRequest.clear();
    if (!isWritten)
        return failReceive(-1, DEVICE_FAILURE_PORT);
    _reply.isWaitingForQuietLine = false;
    _isLineUnsettled = false;
    // The reply's bounds count from the moment the request left.
    _reply.lastByteMilliseconds = 0;
    _reply.clock.start();
    return 0;
}

int Device::continueQuietLineWait(const QElapsedTimer& callClock, qint64 waitMilliseconds)
{
    uint8_t discarded[1024];
    for (;;)
    {
        const int count = _serialLink.read(discarded, sizeof(discarded));
        if (count < 0)
            return failReceive(-1, DEVICE_FAILURE_PORT);
        const qint64 now = _reply.clock.elapsed();
        if (count > 0)
        {
            _reply.lastDiscardedByteMilliseconds = now;
            if (now >= DEVICE_QUIET_LINE_WAIT_LIMIT_MILLISECONDS)
                return failReceive(-1, DEVICE_FAILURE_NEVER_QUIET);
            if (callClock.elapsed() >= waitMilliseconds)
                return DEVICE_RECEIVE_PENDING;
            continue;
        }
        const qint64 quietEnd = _reply.lastDiscardedByteMilliseconds + DEVICE_QUIET_LINE_MILLISECONDS;
        if (now >= quietEnd)
            return writePendingRequest();
        const qint64 callRemaining = waitMilliseconds - callClock.elapsed();
        if (callRemaining <= 0)
            return DEVICE_RECEIVE_PENDING;
        const qint64 wait = std::min(quietEnd - now, callRemaining);
        if (!_serialLink.waitForReadable(static_cast<int>(std::max<qint64>(wait, 1))))
            return failReceive(-1, DEVICE_FAILURE_PORT);
    }
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
    QElapsedTimer callClock;
    callClock.start();
    const qint64 waitLimit = std::max(waitMilliseconds, 0);
    if (_reply.isWaitingForQuietLine)
    {
        const int result = continueQuietLineWait(callClock, waitLimit);
        if (result != 0)
            return result;
    }
    const qint64 callEnd = _reply.clock.elapsed() + std::max<qint64>(waitLimit - callClock.elapsed(), 0);
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
            if (now >= callEnd && _reply.receivedCount < _reply.size)
                return DEVICE_RECEIVE_PENDING;
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
    _reply.isWaitingForQuietLine = false;
    secureZeroMemory(_pendingRequest.data(), _pendingRequest.size());
    _pendingRequest.clear();
    // The device may still be sending the rest; the next request must not take it for its reply.
    _isLineUnsettled = true;
    // Only a refused command leaves a device that still answers.
    if (failure != DEVICE_FAILURE_WRONG_REPLY)
        _isAnswering = false;
    return returnValue;
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
    if (startRequest(request, sizeof(request), reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0 ||
        finishReceive() != 0)
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
    if (!destination)
        return -1;
    return startRequest(request, sizeof(request), destination, DEVICE_MEMORY_SIZE,
                        DEVICE_SILENCE_LIMIT_READ_MEMORY);
}

int Device::getSerialNumber(QString& serialNumber)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_SERIAL_NUMBER};
    uint8_t reply[DEVICE_SERIAL_NUMBER_FIELD_SIZE];
    if (startRequest(request, sizeof(request), reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0 ||
        finishReceive() != 0)
        return -1;
    serialNumber = decodeTextField(reply, sizeof(reply), tr("No serial number"));
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
    if (startRequest(request, sizeof(request), reply, sizeof(reply), DEVICE_SILENCE_LIMIT_DEFAULT) != 0 ||
        finishReceive() != 0)
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
    _acknowledgement = 0;
    const int result = startRequest(request, size, &_acknowledgement, 1, silenceLimitMilliseconds);
    _reply.isAcknowledgement = true;
    return result;
}

QString Device::decodeTextField(const uint8_t* field, int size, const QString& unsetText) const
{
    if (field[0] == DEVICE_TEXT_FIELD_UNSET)
        return unsetText;
    const void* terminator = std::memchr(field, 0, static_cast<size_t>(size));
    const int length = terminator ? static_cast<int>(static_cast<const uint8_t*>(terminator) - field) : size;
    return QString::fromUtf8(reinterpret_cast<const char*>(field), length);
}

void closeAndDeleteDeviceInSteps(Device* device)
{
    if (!device)
        return;
    // A device that answers is done within the first step: its port is free when this returns.
    if (device->continueClose(CLOSING_STEP_MILLISECONDS))
    {
        delete device;
        return;
    }
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
    {
        device->close();
        delete device;
        return;
    }
    if (!closingTimer)
    {
        closingTimer = new QTimer(application);
        closingTimer->setInterval(0);
        QObject::connect(closingTimer, &QTimer::timeout, closingTimer, &_stepClosingDevices_helper);
        // Devices still closing when the application ends are released without a word.
        QObject::connect(closingTimer, &QObject::destroyed,
                         []()
                         {
                             qDeleteAll(closingDevices);
                             closingDevices.clear();
                             closingTimer = nullptr;
                         });
    }
    closingDevices.append(device);
    closingTimer->start();
}
