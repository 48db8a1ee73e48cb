#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdint>

// Format version written by this application; the only one with an implementation.
constexpr int MEMORY_IMAGE_FORMAT_VERSION = 1;

// PBKDF2-HMAC-SHA-256 over the password's UTF-8 bytes. 0 on success, -1 on failure.
[[nodiscard]] int deriveKey(const QString& password, const uint8_t* salt, int saltSize, int iterations,
                            int keySize, uint8_t* key);

// Encrypts the plaintext image (MEMORY_IMAGE_SIZE bytes) in place. 0 on success, -1 on failure or for
// a format version without implementation.
[[nodiscard]] int encryptMemoryImage(const QString& password, int formatVersion, uint8_t* image);

// Decrypts the stored image in place. 0 when the check digest matches, 1 when it does not (wrong
// password, foreign data, or formats 0 and 2 that are not implemented), -1 on a library failure.
[[nodiscard]] int decryptMemoryImage(const QString& password, int formatVersion, uint8_t* image);

// The seal: a marker, the save counter and an HMAC-SHA-256 placed in the plaintext right after the vault's
// end marker, where every reader sees only filler, when they fit inside the vault capacity. The MAC covers
// the encoding up to and including the end marker, then the counter, under a key derived from the image's
// inner key and salt. A sealed image also carries a sign in the last 4 bytes of its inner initialization
// vector, derived from the same key: the password check covers that vector, so nobody without the password
// can remove the sign, and a sign without a matching seal shows that the seal was stripped.
constexpr char VAULT_SEAL_MARKER[] = "CVSEAL02";
// Written by earlier versions: no counter, no sign. Still read, as counter 0.
constexpr char VAULT_SEAL_MARKER_WITHOUT_COUNTER[] = "CVSEAL01";
constexpr int VAULT_SEAL_MARKER_SIZE = 8;
constexpr int VAULT_SEAL_COUNTER_SIZE = 8;
constexpr int VAULT_SEAL_MAC_SIZE = 32;
constexpr int VAULT_SEAL_SIZE = VAULT_SEAL_MARKER_SIZE + VAULT_SEAL_COUNTER_SIZE + VAULT_SEAL_MAC_SIZE;

enum VaultSealState
{
    VAULT_SEAL_VALID = 0,
    // No seal and no sign: a vault without room, or one saved by other software.
    VAULT_SEAL_ABSENT = 1,
    // A seal whose MAC does not match, or a sign without a seal: the stored bytes were changed without the
    // password.
    VAULT_SEAL_MISMATCH = 2
};

// As encryptMemoryImage, after writing the seal with saveCounter into the plaintext when it fits. sealState
// (when given) receives VAULT_SEAL_VALID when a seal was written, VAULT_SEAL_ABSENT otherwise.
[[nodiscard]] int encryptAndSealMemoryImage(const QString& password, int formatVersion, uint8_t* image,
                                            VaultSealState* sealState = nullptr, quint64 saveCounter = 0);

// As decryptMemoryImage; on success sealState (when given) receives the state of the seal and saveCounter
// (when given) the counter of a valid seal, 0 otherwise.
[[nodiscard]] int decryptAndCheckMemoryImage(const QString& password, int formatVersion, uint8_t* image,
                                             VaultSealState* sealState, quint64* saveCounter = nullptr);

// Vault payload capacity of a format version: 0 -> 131052, 1 -> 130948, 2 -> 130964, otherwise -1.
int getMemoryImageCapacity(int formatVersion);
