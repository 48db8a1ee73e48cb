#include "vault/MemoryImageEncryption.h"

#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryptionTesting.h"
#include "vault/SecureMemory.h"

#include <QByteArray>
#include <QRandomGenerator64>

#include <mbedtls/chacha20.h>
#include <mbedtls/gcm.h>
#include <mbedtls/md.h>
#include <mbedtls/pkcs5.h>
#include <mbedtls/sha256.h>
#include <mbedtls/version.h>

#include <cstring>

// Stored image (format version 1):
//   0..31 outer salt | 32..43 ChaCha20 nonce | 44..131071 ChaCha20 of the inner block
// Inner block (131028 bytes, only ever in a scratch buffer):
//   0..31 inner salt | 32..47 GCM initialization vector | 48..131027 AES-256-GCM of plaintext 0..130979
// Plaintext image:
//   0..130947 vault encoding | 130948..130979 SHA-256(inner salt + initialization vector) | rest not stored

namespace
{
constexpr int SALT_SIZE = 32;
constexpr int KEY_SIZE = 32;
constexpr int KEY_DERIVATION_ITERATIONS = 16384;
constexpr int INITIALIZATION_VECTOR_SIZE = 16;
constexpr int NONCE_SIZE = 12;
constexpr int CHECK_DIGEST_SIZE = 32;
// The GCM tag is computed because finishing requires it, but it is neither stored nor compared.
constexpr int DISCARDED_TAG_SIZE = 4;

constexpr int OUTER_SALT_OFFSET = 0;
constexpr int NONCE_OFFSET = OUTER_SALT_OFFSET + SALT_SIZE;
constexpr int INNER_BLOCK_OFFSET = NONCE_OFFSET + NONCE_SIZE;
constexpr int INNER_BLOCK_SIZE = MEMORY_IMAGE_SIZE - INNER_BLOCK_OFFSET;

constexpr int INNER_SALT_OFFSET = 0;
constexpr int INITIALIZATION_VECTOR_OFFSET = INNER_SALT_OFFSET + SALT_SIZE;
constexpr int CHECKED_HEADER_SIZE = SALT_SIZE + INITIALIZATION_VECTOR_SIZE;
constexpr int INNER_PAYLOAD_OFFSET = CHECKED_HEADER_SIZE;
constexpr int INNER_PAYLOAD_SIZE = INNER_BLOCK_SIZE - INNER_PAYLOAD_OFFSET;

constexpr int CHECK_DIGEST_OFFSET = VAULT_CAPACITY;
static_assert(INNER_BLOCK_SIZE == 131028, "inner block size is part of the stored format");
static_assert(INNER_PAYLOAD_SIZE == 130980, "encrypted plaintext size is part of the stored format");
static_assert(CHECK_DIGEST_OFFSET + CHECK_DIGEST_SIZE == INNER_PAYLOAD_SIZE,
              "the check digest must be the last encrypted plaintext bytes");

constexpr int FORMAT_VERSION_CAPACITIES[] = {131052, 130948, 130964};

// Process-wide so that a memory image is never copied onto the stack; emptied at the end of every call.
uint8_t encryptionScratchBuffer[MEMORY_IMAGE_SIZE];
uint8_t decryptionScratchBuffer[MEMORY_IMAGE_SIZE];

MemoryImageRandomByteSource randomByteSourceForTesting;

// ---- Mbed TLS 2.x / 3.x differences, kept to these wrappers ----

int _deriveKeyPbkdf2HmacSha256_helper(const QByteArray& password, const uint8_t* salt, int saltSize,
                                      int iterations, int keySize, uint8_t* key)
{
    const auto* passwordBytes = reinterpret_cast<const unsigned char*>(password.constData());
    const auto passwordSize = static_cast<std::size_t>(password.size());
#if MBEDTLS_VERSION_NUMBER >= 0x03030000
    // From 3.3 on the context-based function is deprecated; this one performs the same HMAC set-up inside.
    return mbedtls_pkcs5_pbkdf2_hmac_ext(
               MBEDTLS_MD_SHA256, passwordBytes, passwordSize, salt, static_cast<std::size_t>(saltSize),
               static_cast<unsigned int>(iterations), static_cast<uint32_t>(keySize), key) == 0
               ? 0
               : -1;
#else
    const mbedtls_md_info_t* digestInformation = mbedtls_md_info_from_type(MBEDTLS_MD_SHA256);
    if (!digestInformation)
        return -1;
    mbedtls_md_context_t context;
    mbedtls_md_init(&context);
    int result = mbedtls_md_setup(&context, digestInformation, 1);
    if (result == 0)
        result = mbedtls_pkcs5_pbkdf2_hmac(
            &context, passwordBytes, passwordSize, salt, static_cast<std::size_t>(saltSize),
            static_cast<unsigned int>(iterations), static_cast<uint32_t>(keySize), key);
    mbedtls_md_free(&context);
    return result == 0 ? 0 : -1;
#endif
}

int _startGcm_helper(mbedtls_gcm_context* context, int mode, const uint8_t* initializationVector,
                     std::size_t initializationVectorSize)
{
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_gcm_starts(context, mode, initializationVector, initializationVectorSize);
#else
    return mbedtls_gcm_starts(context, mode, initializationVector, initializationVectorSize, nullptr, 0);
#endif
}

// outputSize must leave 15 bytes beyond inputSize: 3.x may hold back a partial block until finish.
int _updateGcm_helper(mbedtls_gcm_context* context, const uint8_t* input, std::size_t inputSize,
                      uint8_t* output, std::size_t outputSize, std::size_t* outputLength)
{
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_gcm_update(context, input, inputSize, output, outputSize, outputLength);
#else
    (void)outputSize;
    *outputLength = inputSize;
    return mbedtls_gcm_update(context, inputSize, input, output);
#endif
}

int _finishGcm_helper(mbedtls_gcm_context* context, uint8_t* output, std::size_t outputSize,
                      std::size_t* outputLength, uint8_t* tag, std::size_t tagSize)
{
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_gcm_finish(context, output, outputSize, outputLength, tag, tagSize);
#else
    (void)output;
    (void)outputSize;
    *outputLength = 0;
    return mbedtls_gcm_finish(context, tag, tagSize);
#endif
}

int _startSha256_helper(mbedtls_sha256_context* context)
{
    constexpr int SHA_256_NOT_224 = 0;
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_sha256_starts(context, SHA_256_NOT_224);
#else
    return mbedtls_sha256_starts_ret(context, SHA_256_NOT_224);
#endif
}

int _updateSha256_helper(mbedtls_sha256_context* context, const uint8_t* input, std::size_t inputSize)
{
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_sha256_update(context, input, inputSize);
#else
    return mbedtls_sha256_update_ret(context, input, inputSize);
#endif
}

int _finishSha256_helper(mbedtls_sha256_context* context, uint8_t* digest)
{
#if MBEDTLS_VERSION_MAJOR >= 3
    return mbedtls_sha256_finish(context, digest);
#else
    return mbedtls_sha256_finish_ret(context, digest);
#endif
}

// ---- Envelope steps ----

// Everything secret or key-related a call touches; zero-filled whatever way the call ends.
struct EnvelopeWorkspace
{
    explicit EnvelopeWorkspace(uint8_t* scratchBuffer) : scratch(scratchBuffer) {}
    ~EnvelopeWorkspace()
    {
        secureZeroMemory(scratch, MEMORY_IMAGE_SIZE);
        secureZeroMemory(key, sizeof(key));
        secureZeroMemory(salt, sizeof(salt));
        secureZeroMemory(initializationVector, sizeof(initializationVector));
        secureZeroMemory(nonce, sizeof(nonce));
        secureZeroMemory(digest, sizeof(digest));
    }
    EnvelopeWorkspace(const EnvelopeWorkspace&) = delete;
    EnvelopeWorkspace& operator=(const EnvelopeWorkspace&) = delete;

    uint8_t* scratch;
    uint8_t key[KEY_SIZE] = {};
    uint8_t salt[SALT_SIZE] = {};
    uint8_t initializationVector[INITIALIZATION_VECTOR_SIZE] = {};
    uint8_t nonce[NONCE_SIZE] = {};
    uint8_t digest[CHECK_DIGEST_SIZE] = {};
};

void _fillRandomBytes_helper(QRandomGenerator64& generator, uint8_t* bytes, int size)
{
    for (int index = 0; index < size; index++)
    {
        if (randomByteSourceForTesting)
            bytes[index] = randomByteSourceForTesting();
        else
            bytes[index] = static_cast<uint8_t>(generator.generate() & 0xFF);
    }
}

int _computeSha256_helper(const uint8_t* input, std::size_t inputSize, uint8_t* digest)
{
    mbedtls_sha256_context context;
    mbedtls_sha256_init(&context);
    int result = _startSha256_helper(&context);
    if (result == 0)
        result = _updateSha256_helper(&context, input, inputSize);
    if (result == 0)
        result = _finishSha256_helper(&context, digest);
    mbedtls_sha256_free(&context);
    return result == 0 ? 0 : -1;
}

// One AES-256-GCM pass over the INNER_PAYLOAD_SIZE bytes of input; the tag is thrown away.
int _runAes256Gcm_helper(int mode, const uint8_t* key, const uint8_t* initializationVector,
                         const uint8_t* input, uint8_t* output, std::size_t outputCapacity)
{
    uint8_t discardedTag[DISCARDED_TAG_SIZE] = {};
    std::size_t updateLength = 0;
    std::size_t finishLength = 0;
    mbedtls_gcm_context context;
    mbedtls_gcm_init(&context);
    int result = mbedtls_gcm_setkey(&context, MBEDTLS_CIPHER_ID_AES, key, KEY_SIZE * 8);
    if (result == 0)
        result = _startGcm_helper(&context, mode, initializationVector, INITIALIZATION_VECTOR_SIZE);
    if (result == 0)
        result =
            _updateGcm_helper(&context, input, INNER_PAYLOAD_SIZE, output, outputCapacity, &updateLength);
    if (result == 0)
        result = _finishGcm_helper(&context, output + updateLength, outputCapacity - updateLength,
                                   &finishLength, discardedTag, DISCARDED_TAG_SIZE);
    mbedtls_gcm_free(&context);
    secureZeroMemory(discardedTag, sizeof(discardedTag));
    if (result != 0 || updateLength + finishLength != static_cast<std::size_t>(INNER_PAYLOAD_SIZE))
        return -1;
    return 0;
}

int _deriveEnvelopeKey_helper(const QString& password, EnvelopeWorkspace& workspace)
{
    return deriveKey(password, workspace.salt, SALT_SIZE, KEY_DERIVATION_ITERATIONS, KEY_SIZE, workspace.key);
}

int _encryptFormatVersion1_helper(const QString& password, uint8_t* image)
{
    EnvelopeWorkspace workspace(encryptionScratchBuffer);
    QRandomGenerator64 generator = QRandomGenerator64::securelySeeded();
    uint8_t* scratch = workspace.scratch;

    // Inner layer: salt and initialization vector head the inner block, and their digest goes into the
    // plaintext so that decryption can tell whether the password was right.
    _fillRandomBytes_helper(generator, workspace.salt, SALT_SIZE);
    std::memcpy(scratch + INNER_SALT_OFFSET, workspace.salt, SALT_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    _fillRandomBytes_helper(generator, workspace.initializationVector, INITIALIZATION_VECTOR_SIZE);
    std::memcpy(scratch + INITIALIZATION_VECTOR_OFFSET, workspace.initializationVector,
                INITIALIZATION_VECTOR_SIZE);
    if (_computeSha256_helper(scratch, CHECKED_HEADER_SIZE, workspace.digest) != 0)
        return -1;
    std::memcpy(image + CHECK_DIGEST_OFFSET, workspace.digest, CHECK_DIGEST_SIZE);
    if (_runAes256Gcm_helper(MBEDTLS_GCM_ENCRYPT, workspace.key, workspace.initializationVector, image,
                             scratch + INNER_PAYLOAD_OFFSET, MEMORY_IMAGE_SIZE - INNER_PAYLOAD_OFFSET) != 0)
        return -1;
    secureZeroMemory(workspace.key, KEY_SIZE);

    // Outer layer over the whole inner block, header included.
    _fillRandomBytes_helper(generator, workspace.salt, SALT_SIZE);
    std::memcpy(image + OUTER_SALT_OFFSET, workspace.salt, SALT_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    _fillRandomBytes_helper(generator, workspace.nonce, NONCE_SIZE);
    std::memcpy(image + NONCE_OFFSET, workspace.nonce, NONCE_SIZE);
    std::memset(image + INNER_BLOCK_OFFSET, 0, INNER_BLOCK_SIZE);
    if (mbedtls_chacha20_crypt(workspace.key, workspace.nonce, 0, INNER_BLOCK_SIZE, scratch,
                               image + INNER_BLOCK_OFFSET) != 0)
        return -1;
    return 0;
}

int _decryptFormatVersion1_helper(const QString& password, uint8_t* image)
{
    EnvelopeWorkspace workspace(decryptionScratchBuffer);
    uint8_t* scratch = workspace.scratch;

    std::memcpy(workspace.salt, image + OUTER_SALT_OFFSET, SALT_SIZE);
    std::memcpy(workspace.nonce, image + NONCE_OFFSET, NONCE_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    if (mbedtls_chacha20_crypt(workspace.key, workspace.nonce, 0, INNER_BLOCK_SIZE,
                               image + INNER_BLOCK_OFFSET, scratch) != 0)
        return -1;
    secureZeroMemory(workspace.key, KEY_SIZE);

    std::memcpy(workspace.salt, scratch + INNER_SALT_OFFSET, SALT_SIZE);
    std::memcpy(workspace.initializationVector, scratch + INITIALIZATION_VECTOR_OFFSET,
                INITIALIZATION_VECTOR_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    if (_runAes256Gcm_helper(MBEDTLS_GCM_DECRYPT, workspace.key, workspace.initializationVector,
                             scratch + INNER_PAYLOAD_OFFSET, image, MEMORY_IMAGE_SIZE) != 0)
        return -1;

    if (_computeSha256_helper(scratch, CHECKED_HEADER_SIZE, workspace.digest) != 0)
        return -1;
    // The digest protects nothing secret, but a constant-time comparison costs nothing here.
    uint8_t difference = 0;
    for (int index = 0; index < CHECK_DIGEST_SIZE; index++)
        difference |= static_cast<uint8_t>(workspace.digest[index] ^ image[CHECK_DIGEST_OFFSET + index]);
    return difference == 0 ? 0 : 1;
}
} // namespace

int deriveKey(const QString& password, const uint8_t* salt, int saltSize, int iterations, int keySize,
              uint8_t* key)
{
    if (!key || keySize <= 0 || iterations <= 0 || saltSize < 0 || (!salt && saltSize > 0))
        return -1;
    QByteArray passwordBytes = password.toUtf8();
    const int result =
        _deriveKeyPbkdf2HmacSha256_helper(passwordBytes, salt, saltSize, iterations, keySize, key);
    secureClearByteArray(passwordBytes);
    return result;
}

int encryptMemoryImage(const QString& password, int formatVersion, uint8_t* image)
{
    if (formatVersion != MEMORY_IMAGE_FORMAT_VERSION || !image)
        return -1;
    return _encryptFormatVersion1_helper(password, image);
}

int decryptMemoryImage(const QString& password, int formatVersion, uint8_t* image)
{
    if (formatVersion == 0 || formatVersion == 2)
        return 1; // Known formats without an implementation: the image cannot be in them.
    if (formatVersion != MEMORY_IMAGE_FORMAT_VERSION || !image)
        return -1;
    return _decryptFormatVersion1_helper(password, image);
}

int getMemoryImageCapacity(int formatVersion)
{
    constexpr int versionCount = static_cast<int>(sizeof(FORMAT_VERSION_CAPACITIES) / sizeof(int));
    if (formatVersion < 0 || formatVersion >= versionCount)
        return -1;
    return FORMAT_VERSION_CAPACITIES[formatVersion];
}

void setMemoryImageRandomByteSource(MemoryImageRandomByteSource source)
{
    randomByteSourceForTesting = std::move(source);
}
