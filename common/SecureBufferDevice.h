#pragma once

#include <QIODevice>

#include <cstddef>
#include <cstdint>

// A device over a fixed buffer of secrets, read or written in place, without the copies a growing byte
// array or a buffered device leaves behind in freed memory. Without a buffer it only counts what is
// written, so that a stream can be measured before its buffer is allocated.
class SecureBufferDevice : public QIODevice
{
public:
    // Opened at once, unbuffered, for reading and writing; data may be null (counting only).
    SecureBufferDevice(uint8_t* data, std::size_t capacity);

    bool isSequential() const override;
    // Bytes written so far (counted even past the capacity, where writing fails).
    qint64 writtenSize() const;

protected:
    qint64 readData(char* data, qint64 maximumSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    uint8_t* buffer;
    std::size_t capacity;
    qint64 readOffset = 0;
    qint64 writeOffset = 0;
};
