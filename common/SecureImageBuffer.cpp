#include "common/SecureImageBuffer.h"

#include "common/SecureMemory.h"

#include <cstring>

SecureImageBuffer::SecureImageBuffer(std::size_t size)
{
    allocate(size);
}

SecureImageBuffer::~SecureImageBuffer()
{
    clear();
}

uint8_t* SecureImageBuffer::data() const
{
    return _data.get();
}

std::size_t SecureImageBuffer::size() const
{
    return _size;
}

bool SecureImageBuffer::isEmpty() const
{
    return !_data;
}

void SecureImageBuffer::allocate(std::size_t size)
{
    clear();
    if (size == 0)
        return;
    _data.reset(new uint8_t[size]());
    _size = size;
    lockMemory(_data.get(), _size);
}

void SecureImageBuffer::assign(const uint8_t* image, std::size_t size)
{
    if (_size != size)
        allocate(size);
    if (size > 0)
        std::memcpy(_data.get(), image, size);
}

bool SecureImageBuffer::isEqualTo(const uint8_t* image) const
{
    return _data && std::memcmp(_data.get(), image, _size) == 0;
}

void SecureImageBuffer::clear()
{
    if (!_data)
        return;
    secureZeroMemory(_data.get(), _size);
    unlockMemory(_data.get(), _size);
    _data.reset();
    _size = 0;
}
