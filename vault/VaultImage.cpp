#include "vault/VaultImage.h"

#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "common/SystemRandom.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"

#include <algorithm>
#include <cstring>

namespace
{
// Newest first: an image is tried in every format the application can open.
constexpr int FORMAT_VERSIONS_TO_TRY[] = {2, 1, 0};
} // namespace

int buildVaultImage(const Vault& vault, const QString& password, uint8_t* image, int* freeCount,
                    VaultSealState* sealState, quint64 saveCounter)
{
    // The space after the end marker must not tell how long the vault is: it holds random bytes.
    if (fillSystemRandomBytes(image, MEMORY_IMAGE_SIZE) != 0)
    {
        secureZeroMemory(image, MEMORY_IMAGE_SIZE);
        return VAULT_IMAGE_CRYPTO_FAILURE;
    }
    const int remaining = serializeVault(vault, image);
    if (freeCount)
        *freeCount = remaining;
    if (remaining < 0)
    {
        secureZeroMemory(image, MEMORY_IMAGE_SIZE);
        return VAULT_IMAGE_NOT_ENOUGH_ROOM;
    }
    if (encryptAndSealMemoryImage(password, MEMORY_IMAGE_FORMAT_VERSION, image, sealState, saveCounter) != 0)
    {
        secureZeroMemory(image, MEMORY_IMAGE_SIZE);
        return VAULT_IMAGE_CRYPTO_FAILURE;
    }
    return VAULT_IMAGE_SUCCESS;
}

int openVaultImage(const uint8_t* storedImage, const QString& password, uint8_t* plaintext,
                   VaultSealState* sealState, quint64* saveCounter)
{
    for (const int formatVersion : FORMAT_VERSIONS_TO_TRY)
    {
        // A failed attempt leaves noise behind: every version starts from the stored bytes.
        std::memcpy(plaintext, storedImage, MEMORY_IMAGE_SIZE);
        const int result =
            decryptAndCheckMemoryImage(password, formatVersion, plaintext, sealState, saveCounter);
        if (result == 0)
            return VAULT_IMAGE_SUCCESS;
        if (result < 0)
        {
            secureZeroMemory(plaintext, MEMORY_IMAGE_SIZE);
            return VAULT_IMAGE_CRYPTO_FAILURE;
        }
    }
    secureZeroMemory(plaintext, MEMORY_IMAGE_SIZE);
    return VAULT_IMAGE_WRONG_PASSWORD;
}

bool isVaultImageCandidate(const uint8_t* image)
{
    return std::any_of(image + 1, image + MEMORY_IMAGE_SIZE,
                       [image](uint8_t byte) { return byte != image[0]; });
}

NewerSealedImage findNewerSealedImage(const uint8_t* firstImage, const uint8_t* secondImage,
                                      const QString& password)
{
    SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
    VaultSealState firstState = VAULT_SEAL_ABSENT;
    VaultSealState secondState = VAULT_SEAL_ABSENT;
    quint64 firstCounter = 0;
    quint64 secondCounter = 0;
    if (openVaultImage(firstImage, password, plaintext.data(), &firstState, &firstCounter) !=
            VAULT_IMAGE_SUCCESS ||
        openVaultImage(secondImage, password, plaintext.data(), &secondState, &secondCounter) !=
            VAULT_IMAGE_SUCCESS ||
        firstState != VAULT_SEAL_VALID || secondState != VAULT_SEAL_VALID || firstCounter == secondCounter)
        return NEWER_SEALED_IMAGE_UNKNOWN;
    return firstCounter > secondCounter ? NEWER_SEALED_IMAGE_FIRST : NEWER_SEALED_IMAGE_SECOND;
}
