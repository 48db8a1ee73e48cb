#include "cli/CliMemoryImage.h"

#include "vault/SecureMemory.h"

#include <cstring>

CliMemoryImage::CliMemoryImage() : _bytes(new uint8_t[MEMORY_IMAGE_SIZE]())
{
    lockMemory(_bytes.get(), MEMORY_IMAGE_SIZE);
}

CliMemoryImage::~CliMemoryImage()
{
    secureZeroMemory(_bytes.get(), MEMORY_IMAGE_SIZE);
    unlockMemory(_bytes.get(), MEMORY_IMAGE_SIZE);
}

uint8_t* CliMemoryImage::data()
{
    return _bytes.get();
}

const uint8_t* CliMemoryImage::data() const
{
    return _bytes.get();
}

void CliMemoryImage::copyFrom(const uint8_t* image)
{
    std::memcpy(_bytes.get(), image, MEMORY_IMAGE_SIZE);
}

bool CliMemoryImage::isEqualTo(const uint8_t* image) const
{
    return std::memcmp(_bytes.get(), image, MEMORY_IMAGE_SIZE) == 0;
}
