#include "device/Device.h"

#include "vault/SecureMemory.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

namespace
{
Device* currentDevice = nullptr;

// Longest wait after a read that found nothing; the wait ends earlier as soon as data arrives.
constexpr int EMPTY_READ_WAIT_MILLISECONDS = 1;
} // namespace

Device::Device(const DevicePortInfo& portInfo, QObject* parent)
    : QObject(parent), _portInfo(portInfo), _name(tr("No name defined"))
{
    for (auto& buffer : _memoryBuffers)
        buffer.reset(new uint8_t[DEVICE_MEMORY_SIZE]());
}

Device::~Device()
{
    for (auto& buffer : _memoryBuffers)
        secureZeroMemory(buffer.get(), DEVICE_MEMORY_SIZE);
    // Releasing the port keeps it usable for the next Device even if close() was forgotten.
    _serialLink.close();
}

int Device::open()
{
    if (!_serialLink.open(_portInfo.systemLocation()))
    {
        _lastOpenErrorNumber = _serialLink.lastErrorNumber();
        return -1;
    }
    const int result = readName();
    if (result == -2)
        _lastOpenErrorNumber = ETIMEDOUT;
    else if (result != 0)
        _lastOpenErrorNumber = _serialLink.lastErrorNumber() != 0 ? _serialLink.lastErrorNumber() : EPROTO;
    else
        _lastOpenErrorNumber = 0;
    return result == 0 ? 0 : -1;
}

void Device::close()
{
    if (!_serialLink.isOpen())
        return;
    // The outcome does not matter: the port is released either way.
    setLedMode(LED_MODE_STOP_BLINKING);
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

int Device::send(const void* data, int size)
{
    if (size < 0 || !_serialLink.write(data, size) || !_serialLink.flush())
        return -1;
    return 0;
}

int Device::receive(void* data, int size, int pollBudget)
{
    uint8_t* position = static_cast<uint8_t*>(data);
    int remaining = size;
    int polls = 0;
    while (polls < pollBudget && remaining > 0)
    {
        const int count = _serialLink.read(position, remaining);
        if (count < 0)
            return -1;
        if (count == 0)
        {
            if (!_serialLink.waitForReadable(EMPTY_READ_WAIT_MILLISECONDS))
                return -1;
        }
        else
        {
            position += count;
            remaining -= count;
        }
        polls++;
    }
    return remaining <= 0 ? 0 : -2;
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
    return _memoryBuffers[memoryIndex].get();
}

int Device::getVersions(unsigned& hardwareVersion, unsigned& firmwareVersion)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_VERSIONS};
    uint8_t reply[4];
    if (send(request, sizeof(request)) != 0 || receive(reply, sizeof(reply), DEVICE_POLL_BUDGET_DEFAULT) != 0)
        return -1;
    hardwareVersion = reply[0] * 256u + reply[1];
    firmwareVersion = reply[2] * 256u + reply[3];
    return 0;
}

int Device::setLedMode(int mode)
{
    if (mode < 0 || mode > 0xFF)
        return -1;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SET_LED_MODE, static_cast<uint8_t>(mode)};
    return sendAcknowledgedRequest(request, sizeof(request), DEVICE_POLL_BUDGET_DEFAULT);
}

int Device::selectMemory(int memoryIndex)
{
    if (memoryIndex < 0 || memoryIndex >= DEVICE_MEMORY_COUNT)
        return -1;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SELECT_MEMORY, static_cast<uint8_t>(memoryIndex)};
    return sendAcknowledgedRequest(request, sizeof(request), DEVICE_POLL_BUDGET_DEFAULT);
}

int Device::readMemory(int memoryIndex)
{
    uint8_t* buffer = getMemoryBuffer(memoryIndex);
    if (!buffer || selectMemory(memoryIndex) != 0)
        return -1;
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_READ_MEMORY};
    if (send(request, sizeof(request)) != 0 ||
        receive(buffer, DEVICE_MEMORY_SIZE, DEVICE_POLL_BUDGET_READ_MEMORY) != 0)
        return -1;
    return 0;
}

int Device::writeMemoryBlock(int blockNumber, const uint8_t* data)
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
        sendAcknowledgedRequest(request, sizeof(request), DEVICE_POLL_BUDGET_WRITE_MEMORY_BLOCK);
    // The block may be part of a plaintext image.
    secureZeroMemory(request, sizeof(request));
    return result;
}

int Device::getSerialNumber(QString& serialNumber)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_SERIAL_NUMBER};
    uint8_t reply[DEVICE_SERIAL_NUMBER_FIELD_SIZE];
    if (send(request, sizeof(request)) != 0 || receive(reply, sizeof(reply), DEVICE_POLL_BUDGET_DEFAULT) != 0)
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
    const int result = receive(reply, sizeof(reply), DEVICE_POLL_BUDGET_DEFAULT);
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
    if (sendAcknowledgedRequest(request, sizeof(request), DEVICE_POLL_BUDGET_DEFAULT) != 0)
        return -1;
    _name = name;
    return 0;
}

int Device::getBackupDisableFlag(bool& isDisabled)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_GET_BACKUP_DISABLE_FLAG, 0x00};
    uint8_t reply[2];
    if (send(request, sizeof(request)) != 0 ||
        receive(reply, sizeof(reply), DEVICE_POLL_BUDGET_DEFAULT) != 0 || reply[0] != ACKNOWLEDGE)
        return -1;
    isDisabled = reply[1] == 1;
    return 0;
}

int Device::setBackupDisableFlag(bool isDisabled)
{
    const uint8_t request[] = {COMMAND_MAGIC, COMMAND_SET_BACKUP_DISABLE_FLAG, 0x00,
                               static_cast<uint8_t>(isDisabled ? 1 : 0)};
    return sendAcknowledgedRequest(request, sizeof(request), DEVICE_POLL_BUDGET_DEFAULT);
}

int Device::sendAcknowledgedRequest(const uint8_t* request, int size, int pollBudget)
{
    uint8_t reply = 0;
    if (send(request, size) != 0 || receive(&reply, 1, pollBudget) != 0 || reply != ACKNOWLEDGE)
        return -1;
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

Device* getCurrentDevice()
{
    return currentDevice;
}

void setCurrentDevice(Device* device)
{
    currentDevice = device;
}

void closeCurrentDevice()
{
    if (!currentDevice)
        return;
    currentDevice->close();
    delete currentDevice;
    currentDevice = nullptr;
}
