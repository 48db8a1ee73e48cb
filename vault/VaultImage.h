#pragma once

#include "vault/MemoryImageEncryption.h"
#include "vault/VaultTab.h"

#include <QString>

#include <cstdint>

// Turning a vault into the image a device stores and back, the way every part of the application does
// it: the window, the command-line tool, the demo image tool, the tests and the benchmarks.

enum VaultImageResult
{
    VAULT_IMAGE_SUCCESS = 0,
    // No format version decrypts the image with this password (or the image holds no vault).
    VAULT_IMAGE_WRONG_PASSWORD = 1,
    // The cryptographic library failed.
    VAULT_IMAGE_CRYPTO_FAILURE = -1,
    // The vault's encoding is larger than the image's capacity.
    VAULT_IMAGE_NOT_ENOUGH_ROOM = -2
};

// Builds the stored image of a vault into image (MEMORY_IMAGE_SIZE bytes): random bytes, the vault
// encoding over their start, its seal carrying saveCounter when there is room, then the envelope of the
// current format under password. freeCount (when given) receives the capacity left, sealState whether a seal
// was written. On failure image is zero-filled.
[[nodiscard]] int buildVaultImage(const Vault& vault, const QString& password, uint8_t* image,
                                  int* freeCount = nullptr, VaultSealState* sealState = nullptr,
                                  quint64 saveCounter = 0);

// Decrypts storedImage into plaintext (both MEMORY_IMAGE_SIZE bytes; storedImage is not changed), trying
// the format versions 2, 1 and 0 in this order, each on a fresh copy of the stored bytes. On failure
// plaintext is zero-filled. On success sealState (when given) receives the state of the vault's seal and
// saveCounter (when given) the save counter of a valid seal, 0 otherwise.
[[nodiscard]] int openVaultImage(const uint8_t* storedImage, const QString& password, uint8_t* plaintext,
                                 VaultSealState* sealState = nullptr, quint64* saveCounter = nullptr);

// False for an image that cannot be an encrypted vault: every byte the same (an erased memory, or a
// device that repeats one byte instead of answering).
bool isVaultImageCandidate(const uint8_t* image);

enum NewerSealedImage
{
    // Not both sealed under password, or equally new.
    NEWER_SEALED_IMAGE_UNKNOWN = 0,
    NEWER_SEALED_IMAGE_FIRST = 1,
    NEWER_SEALED_IMAGE_SECOND = 2
};

// Which of two stored images (the main and the backup memory) carries the higher save counter, when both
// open under password with a valid seal.
NewerSealedImage findNewerSealedImage(const uint8_t* firstImage, const uint8_t* secondImage,
                                      const QString& password);
