#pragma once

#include "vault/MemoryImage.h"

#include <cstdint>
#include <memory>

// A heap buffer of one memory image that is zero-filled when released, whichever way the command ends:
// images read from a device or a file may be decrypted in place.
class CliMemoryImage
{
public:
    CliMemoryImage();
    ~CliMemoryImage();
    CliMemoryImage(const CliMemoryImage&) = delete;
    CliMemoryImage& operator=(const CliMemoryImage&) = delete;

    uint8_t* data();
    const uint8_t* data() const;
    void copyFrom(const uint8_t* image);
    bool isEqualTo(const uint8_t* image) const;

private:
    std::unique_ptr<uint8_t[]> _bytes;
};
