#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A buffer for one memory image (a device memory, a decrypted vault, a file's image): locked out of swap
// while held and zero-filled whenever it is released, including when its owner is destroyed. Every layer
// keeps its secrets in it, so there is one place where they are wiped.
class SecureImageBuffer
{
public:
    // Holds nothing until allocate() or assign().
    SecureImageBuffer() = default;
    // Holds size zero bytes.
    explicit SecureImageBuffer(std::size_t size);
    ~SecureImageBuffer();
    SecureImageBuffer(const SecureImageBuffer&) = delete;
    SecureImageBuffer& operator=(const SecureImageBuffer&) = delete;

    // size() bytes, or null while nothing is held.
    uint8_t* data() const;
    std::size_t size() const;
    bool isEmpty() const;
    // Holds size zero bytes, zero-filling what was held.
    void allocate(std::size_t size);
    // Holds a copy of size bytes of image, replacing and zero-filling what was held.
    void assign(const uint8_t* image, std::size_t size);
    // True when something is held and its bytes equal the first size() bytes of image.
    bool isEqualTo(const uint8_t* image) const;
    // Zero-fills and releases what is held.
    void clear();

private:
    std::unique_ptr<uint8_t[]> _data;
    std::size_t _size = 0;
};
