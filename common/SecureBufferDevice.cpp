#include "common/SecureBufferDevice.h"

#include <cstring>

SecureBufferDevice::SecureBufferDevice(uint8_t* data, std::size_t capacity) : buffer(data), capacity(capacity)
{
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool SecureBufferDevice::isSequential() const
{
    return true;
}

qint64 SecureBufferDevice::writtenSize() const
{
    return writeOffset;
}

qint64 SecureBufferDevice::readData(char* data, qint64 maximumSize)
{
    if (!buffer)
        return -1;
    const qint64 available = static_cast<qint64>(capacity) - readOffset;
    const qint64 size = qMin(maximumSize, available);
    if (size <= 0)
        return available <= 0 && maximumSize > 0 ? -1 : 0;
    std::memcpy(data, buffer + readOffset, static_cast<std::size_t>(size));
    readOffset += size;
    return size;
}

qint64 SecureBufferDevice::writeData(const char* data, qint64 size)
{
    if (buffer)
    {
        if (writeOffset + size > static_cast<qint64>(capacity))
            return -1;
        std::memcpy(buffer + writeOffset, data, static_cast<std::size_t>(size));
    }
    writeOffset += size;
    return size;
}
