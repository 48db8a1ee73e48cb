#pragma once

#include "vault/MemoryImage.h"
#include "vault/SecureMemory.h"

#include <algorithm>
#include <cstdint>
#include <memory>

// A memory image held outside the device buffers (a decrypted vault, for example): allocated when needed,
// zero-filled whenever it is released, including when its owner is destroyed.
class SecureImageBuffer
{
public:
    SecureImageBuffer() = default;
    ~SecureImageBuffer()
    {
        clear();
    }
    SecureImageBuffer(const SecureImageBuffer&) = delete;
    SecureImageBuffer& operator=(const SecureImageBuffer&) = delete;

    // MEMORY_IMAGE_SIZE bytes, or null while nothing is held.
    uint8_t* data() const
    {
        return _data.get();
    }
    bool isEmpty() const
    {
        return !_data;
    }
    // Holds a copy of image (MEMORY_IMAGE_SIZE bytes), replacing and zero-filling what was held.
    void assign(const uint8_t* image)
    {
        if (!_data)
        {
            _data = std::make_unique<uint8_t[]>(MEMORY_IMAGE_SIZE);
            lockMemory(_data.get(), MEMORY_IMAGE_SIZE);
        }
        std::copy(image, image + MEMORY_IMAGE_SIZE, _data.get());
    }
    void clear()
    {
        if (!_data)
            return;
        secureZeroMemory(_data.get(), MEMORY_IMAGE_SIZE);
        unlockMemory(_data.get(), MEMORY_IMAGE_SIZE);
        _data.reset();
    }

private:
    std::unique_ptr<uint8_t[]> _data;
};
