#pragma once

#include <QString>

#include <cstdint>

// Format version written by this application; the only one with an implementation.
constexpr int MEMORY_IMAGE_FORMAT_VERSION = 1;

// PBKDF2-HMAC-SHA-256 over the password's UTF-8 bytes. 0 on success, -1 on failure.
int deriveKey(const QString& password, const uint8_t* salt, int saltSize, int iterations, int keySize,
              uint8_t* key);

// Encrypts the plaintext image (MEMORY_IMAGE_SIZE bytes) in place. 0 on success, -1 on failure or for
// a format version without implementation.
int encryptMemoryImage(const QString& password, int formatVersion, uint8_t* image);

// Decrypts the stored image in place. 0 when the check digest matches, 1 when it does not (wrong
// password, foreign data, or formats 0 and 2 that are not implemented), -1 on a library failure.
int decryptMemoryImage(const QString& password, int formatVersion, uint8_t* image);

// Vault payload capacity of a format version: 0 -> 131052, 1 -> 130948, 2 -> 130964, otherwise -1.
int getMemoryImageCapacity(int formatVersion);
