#include "simulator/DeviceFirmwareModel.h"

#include <QString>

#include <cstring>

namespace
{
constexpr uint8_t COMMAND_GET_VERSIONS = 0x00;
constexpr uint8_t COMMAND_SET_LED_MODE = 0x01;
constexpr uint8_t COMMAND_SELECT_MEMORY = 0x02;
constexpr uint8_t COMMAND_WRITE_MEMORY_BLOCK = 0x04;
constexpr uint8_t COMMAND_READ_MEMORY = 0x05;
constexpr uint8_t COMMAND_GET_SERIAL_NUMBER = 0x06;
constexpr uint8_t COMMAND_GET_NAME = 0x08;
constexpr uint8_t COMMAND_SET_NAME = 0x09;
constexpr uint8_t COMMAND_GET_BACKUP_DISABLE_FLAG = 0x0A;
constexpr uint8_t COMMAND_SET_BACKUP_DISABLE_FLAG = 0x0B;

// Commands whose reply starts with an acknowledgement byte.
bool _isAcknowledgedCommand_helper(uint8_t commandCode)
{
    switch (commandCode)
    {
    case COMMAND_SET_LED_MODE:
    case COMMAND_SELECT_MEMORY:
    case COMMAND_WRITE_MEMORY_BLOCK:
    case COMMAND_SET_NAME:
    case COMMAND_GET_BACKUP_DISABLE_FLAG:
    case COMMAND_SET_BACKUP_DISABLE_FLAG:
        return true;
    default:
        return false;
    }
}

QByteArray _negativeReply_helper(int length)
{
    return QByteArray(length, static_cast<char>(DeviceFirmwareModel::NEGATIVE_ACKNOWLEDGE));
}

QByteArray _acknowledgement_helper()
{
    return QByteArray(1, static_cast<char>(DeviceFirmwareModel::ACKNOWLEDGE));
}

uint8_t _byteAt_helper(const QByteArray& bytes, int index)
{
    return static_cast<uint8_t>(bytes.at(index));
}
} // namespace

DeviceFirmwareModel::DeviceFirmwareModel()
    : _nameField(makeUnsetTextField(NAME_FIELD_SIZE)),
      _serialNumberField(makeUnsetTextField(SERIAL_NUMBER_FIELD_SIZE))
{
    for (int index = 0; index < 2; index++)
    {
        _ownedMemories[index].reset(new uint8_t[MEMORY_SIZE]());
        _memories[index] = _ownedMemories[index].get();
    }
}

QByteArray DeviceFirmwareModel::receive(const QByteArray& data)
{
    return receive(data.constData(), static_cast<int>(data.size()));
}

QByteArray DeviceFirmwareModel::receive(const char* data, int size)
{
    QByteArray reply;
    int position = 0;
    while (position < size)
    {
        if (_pendingRequest.isEmpty())
        {
            // Between requests only a magic byte means anything.
            if (static_cast<uint8_t>(data[position++]) == MAGIC)
                _pendingRequest.append(static_cast<char>(MAGIC));
            continue;
        }
        if (_pendingRequest.size() == 1)
        {
            const uint8_t commandCode = static_cast<uint8_t>(data[position++]);
            _pendingRequest.append(static_cast<char>(commandCode));
            if (requestLength(commandCode) < 0)
            {
                if (_requestObserver)
                    _requestObserver(_pendingRequest, false);
                _pendingRequest.clear();
                // The code byte may itself be the start of the next request.
                if (commandCode == MAGIC)
                    _pendingRequest.append(static_cast<char>(MAGIC));
                continue;
            }
        }
        const int missing =
            requestLength(_byteAt_helper(_pendingRequest, 1)) - static_cast<int>(_pendingRequest.size());
        const int taken = qMin(missing, size - position);
        _pendingRequest.append(data + position, taken);
        position += taken;
        if (taken == missing)
        {
            reply += execute(_pendingRequest);
            _pendingRequest.clear();
        }
    }
    return reply;
}

bool DeviceFirmwareModel::isInsideRequest() const
{
    return !_pendingRequest.isEmpty();
}

void DeviceFirmwareModel::setRequestObserver(std::function<void(const QByteArray&, bool)> observer)
{
    _requestObserver = std::move(observer);
}

void DeviceFirmwareModel::setFaults(const Faults& faults)
{
    _faults = faults;
}

const DeviceFirmwareModel::Faults& DeviceFirmwareModel::faults() const
{
    return _faults;
}

uint8_t* DeviceFirmwareModel::memory(int memoryIndex)
{
    return memoryIndex == 0 || memoryIndex == 1 ? _memories[memoryIndex] : nullptr;
}

const uint8_t* DeviceFirmwareModel::memory(int memoryIndex) const
{
    return memoryIndex == 0 || memoryIndex == 1 ? _memories[memoryIndex] : nullptr;
}

void DeviceFirmwareModel::useExternalMemory(uint8_t* mainMemory, uint8_t* backupMemory)
{
    _memories[0] = mainMemory;
    _memories[1] = backupMemory;
    for (auto& ownedMemory : _ownedMemories)
        ownedMemory.reset();
}

QByteArray DeviceFirmwareModel::nameField() const
{
    return _nameField;
}

void DeviceFirmwareModel::setNameField(const QByteArray& field)
{
    _nameField = field.left(NAME_FIELD_SIZE).leftJustified(NAME_FIELD_SIZE, '\0');
    _changes |= CHANGE_NAME;
}

bool DeviceFirmwareModel::makeTextField(const QString& text, int fieldSize, QByteArray& field)
{
    const QByteArray encodedText = text.toUtf8();
    if (encodedText.size() > fieldSize)
        return false;
    field = encodedText.leftJustified(fieldSize, '\0');
    return true;
}

QByteArray DeviceFirmwareModel::makeUnsetTextField(int fieldSize)
{
    return QByteArray(fieldSize, static_cast<char>(0xFF));
}

QByteArray DeviceFirmwareModel::serialNumberField() const
{
    return _serialNumberField;
}

void DeviceFirmwareModel::setSerialNumberField(const QByteArray& field)
{
    _serialNumberField = field.left(SERIAL_NUMBER_FIELD_SIZE).leftJustified(SERIAL_NUMBER_FIELD_SIZE, '\0');
}

uint16_t DeviceFirmwareModel::hardwareVersion() const
{
    return _hardwareVersion;
}

uint16_t DeviceFirmwareModel::firmwareVersion() const
{
    return _firmwareVersion;
}

void DeviceFirmwareModel::setVersions(uint16_t hardwareVersion, uint16_t firmwareVersion)
{
    _hardwareVersion = hardwareVersion;
    _firmwareVersion = firmwareVersion;
}

bool DeviceFirmwareModel::isBackupDisabled() const
{
    return _isBackupDisabled;
}

void DeviceFirmwareModel::setBackupDisabled(bool isDisabled)
{
    _isBackupDisabled = isDisabled;
    _changes |= CHANGE_BACKUP_DISABLE_FLAG;
}

int DeviceFirmwareModel::ledMode() const
{
    return _ledMode;
}

int DeviceFirmwareModel::selectedMemory() const
{
    return _selectedMemory;
}

int DeviceFirmwareModel::acknowledgedBlockWriteCount() const
{
    return _acknowledgedBlockWriteCount;
}

void DeviceFirmwareModel::makeBackupDifferAt(int offset)
{
    if (offset < 0 || offset >= MEMORY_SIZE)
        return;
    _memories[1][offset] = static_cast<uint8_t>(~_memories[0][offset]);
    _changes |= CHANGE_MEMORY;
}

int DeviceFirmwareModel::takeChanges()
{
    const int changes = _changes;
    _changes = 0;
    return changes;
}

int DeviceFirmwareModel::requestLength(uint8_t commandCode) const
{
    switch (commandCode)
    {
    case COMMAND_GET_VERSIONS:
    case COMMAND_READ_MEMORY:
    case COMMAND_GET_SERIAL_NUMBER:
    case COMMAND_GET_NAME:
        return 2;
    case COMMAND_SET_LED_MODE:
    case COMMAND_SELECT_MEMORY:
    case COMMAND_GET_BACKUP_DISABLE_FLAG:
        return 3;
    case COMMAND_SET_BACKUP_DISABLE_FLAG:
        return 4;
    case COMMAND_WRITE_MEMORY_BLOCK:
        return 4 + BLOCK_SIZE;
    case COMMAND_SET_NAME:
        return 2 + NAME_FIELD_SIZE;
    default:
        return -1;
    }
}

bool DeviceFirmwareModel::isAnsweringNothing() const
{
    return _faults.isSilent || _faults.floodByte >= 0 ||
           (_faults.silentAfterBlockWriteCount >= 0 &&
            _acknowledgedBlockWriteCount >= _faults.silentAfterBlockWriteCount);
}

QByteArray DeviceFirmwareModel::execute(const QByteArray& request)
{
    if (_requestObserver)
        _requestObserver(request, true);
    // A device that stopped answering does nothing either.
    if (isAnsweringNothing())
        return QByteArray();
    const uint8_t commandCode = _byteAt_helper(request, 1);
    if (static_cast<int>(commandCode) != _faults.wrongAcknowledgeCommandCode)
        return applyFaults(commandCode, executeKnownCommand(request));
    if (!_isAcknowledgedCommand_helper(commandCode))
    {
        // Nothing to get wrong in a data reply: it comes one byte short instead.
        const QByteArray reply = executeKnownCommand(request);
        return applyFaults(commandCode, reply.left(reply.size() - 1));
    }
    // The command is refused (no effect) but answered with a bad acknowledgement of the usual length.
    QByteArray reply(1, static_cast<char>(WRONG_ACKNOWLEDGE));
    if (commandCode == COMMAND_GET_BACKUP_DISABLE_FLAG)
        reply.append(static_cast<char>(_isBackupDisabled ? 1 : 0));
    return applyFaults(commandCode, reply);
}

QByteArray DeviceFirmwareModel::applyFaults(uint8_t commandCode, QByteArray reply) const
{
    const auto overrideReply = _faults.replyOverrides.constFind(commandCode);
    if (overrideReply != _faults.replyOverrides.constEnd())
        return overrideReply.value();
    if (commandCode == COMMAND_READ_MEMORY && _faults.memoryReplyLimit >= 0)
        reply.truncate(_faults.memoryReplyLimit);
    return reply;
}

QByteArray DeviceFirmwareModel::executeKnownCommand(const QByteArray& request)
{
    const uint8_t commandCode = _byteAt_helper(request, 1);
    switch (commandCode)
    {
    case COMMAND_GET_VERSIONS:
    {
        QByteArray reply(4, '\0');
        reply[0] = static_cast<char>(_hardwareVersion >> 8);
        reply[1] = static_cast<char>(_hardwareVersion & 0xFF);
        reply[2] = static_cast<char>(_firmwareVersion >> 8);
        reply[3] = static_cast<char>(_firmwareVersion & 0xFF);
        return reply;
    }
    case COMMAND_SET_LED_MODE:
    {
        const uint8_t mode = _byteAt_helper(request, 2);
        if (mode < 1 || mode > 3)
            return _negativeReply_helper(1);
        _ledMode = mode;
        return _acknowledgement_helper();
    }
    case COMMAND_SELECT_MEMORY:
    {
        const uint8_t memoryIndex = _byteAt_helper(request, 2);
        if (memoryIndex > 1)
            return _negativeReply_helper(1);
        _selectedMemory = memoryIndex;
        return _acknowledgement_helper();
    }
    case COMMAND_WRITE_MEMORY_BLOCK:
    {
        const int blockNumber = _byteAt_helper(request, 2) * 256 + _byteAt_helper(request, 3);
        if (blockNumber >= BLOCK_COUNT)
            return _negativeReply_helper(1);
        uint8_t* block = _memories[_selectedMemory] + blockNumber * BLOCK_SIZE;
        const uint8_t* data = reinterpret_cast<const uint8_t*>(request.constData()) + 4;
        if (_faults.isStoringInvertedBlocks)
        {
            for (int index = 0; index < BLOCK_SIZE; index++)
                block[index] = static_cast<uint8_t>(~data[index]);
        }
        else
        {
            std::memcpy(block, data, BLOCK_SIZE);
        }
        _acknowledgedBlockWriteCount++;
        _changes |= CHANGE_MEMORY;
        return _acknowledgement_helper();
    }
    case COMMAND_READ_MEMORY:
        return QByteArray(reinterpret_cast<const char*>(_memories[_selectedMemory]), MEMORY_SIZE);
    case COMMAND_GET_SERIAL_NUMBER:
        return _serialNumberField;
    case COMMAND_GET_NAME:
        return _nameField;
    case COMMAND_SET_NAME:
        setNameField(request.mid(2, NAME_FIELD_SIZE));
        return _acknowledgement_helper();
    case COMMAND_GET_BACKUP_DISABLE_FLAG:
    {
        if (_byteAt_helper(request, 2) != 0)
            return _negativeReply_helper(2);
        QByteArray reply = _acknowledgement_helper();
        reply.append(static_cast<char>(_isBackupDisabled ? 1 : 0));
        return reply;
    }
    case COMMAND_SET_BACKUP_DISABLE_FLAG:
    {
        const uint8_t value = _byteAt_helper(request, 3);
        if (_byteAt_helper(request, 2) != 0 || value > 1)
            return _negativeReply_helper(1);
        setBackupDisabled(value == 1);
        return _acknowledgement_helper();
    }
    default:
        return QByteArray();
    }
}
