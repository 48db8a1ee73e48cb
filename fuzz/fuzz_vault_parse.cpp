// Feeds arbitrary memory images to the vault parser. The first input byte is the padding that fills the
// image after the rest of the input, so that images without any end marker are reached as well. Padding
// with a terminator would make most runs build tens of thousands of empty tabs or records (slow, and one
// behaviour only); such first bytes pad with the end marker instead.
//
// Invariants: parsing never reads outside the image; a parsed vault that fits is encoded within the
// capacity with its end marker, leaves the rest of the buffer alone, parses back to the same vault and
// encodes again to the same bytes; one that does not fit really needs more than the capacity.

#include "FuzzSupport.h"

#include "vault/MemoryImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
constexpr uint8_t UNTOUCHED_BYTE = 0xA5;

qsizetype _encodedSize(const Vault& vault)
{
    qsizetype size = 1; // end marker
    for (const VaultTab& tab : vault)
    {
        size += tab.name.toUtf8().size() + 1;
        for (const PasswordRecord& password : tab.passwords)
        {
            for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
                size += password.field(field).toUtf8().size() + 1;
        }
    }
    return size;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // Allocated once (with their red zones right after the last byte): fresh 128 KiB blocks per run would
    // cost more than the parsing itself.
    static std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    static std::vector<uint8_t> buffer(MEMORY_IMAGE_SIZE);
    static std::vector<uint8_t> secondBuffer(MEMORY_IMAGE_SIZE);
    static const std::vector<uint8_t> untouched(MEMORY_IMAGE_SIZE, UNTOUCHED_BYTE);

    const uint8_t padding =
        data[0] == FIELD_TERMINATOR || data[0] == TAB_NAME_TERMINATOR ? VAULT_END_MARKER : data[0];
    std::fill(image.begin(), image.end(), padding);
    const size_t copiedSize = std::min<size_t>(size - 1, MEMORY_IMAGE_SIZE);
    std::memcpy(image.data(), data + 1, copiedSize);

    const Vault vault = parseVault(image.data());

    buffer = untouched;
    const int freeCount = serializeVault(vault, buffer.data());
    const qsizetype encodedSize = _encodedSize(vault);
    if (freeCount < 0)
    {
        FUZZ_CHECK(freeCount == -1);
        FUZZ_CHECK(encodedSize > VAULT_CAPACITY);
        FUZZ_CHECK(getVaultFillPercentage(freeCount) == 0);
        return 0;
    }

    FUZZ_CHECK(freeCount == VAULT_CAPACITY - encodedSize);
    FUZZ_CHECK(buffer[encodedSize - 1] == VAULT_END_MARKER);
    FUZZ_CHECK(std::memcmp(buffer.data() + encodedSize, untouched.data(),
                           static_cast<size_t>(MEMORY_IMAGE_SIZE - encodedSize)) == 0);
    const int fillPercentage = getVaultFillPercentage(freeCount);
    FUZZ_CHECK(fillPercentage >= 0 && fillPercentage <= 100);

    const Vault reparsed = parseVault(buffer.data());
    FUZZ_CHECK(reparsed == vault);

    secondBuffer = untouched;
    FUZZ_CHECK(serializeVault(reparsed, secondBuffer.data()) == freeCount);
    FUZZ_CHECK(secondBuffer == buffer);
    return 0;
}
