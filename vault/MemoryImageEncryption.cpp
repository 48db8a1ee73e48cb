#include "vault/MemoryImageEncryption.h"

#include "common/SecureMemory.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryptionTesting.h"

#include "common/SystemRandom.h"

#include <QByteArray>

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
// Vault encoding: tabs and records up to the end marker, then filler that readers ignore; when it fits,
// the filler starts with the seal "CVSEAL02" + save counter (8 bytes, big-endian) + HMAC-SHA-256(seal key,
// encoding up to the end marker + save counter), and the initialization vector's bytes 12..15 are the
// sealed sign: the first 4 bytes of HMAC-SHA-256(seal key, "Corvane vault sealed sign v1").
// Seal key = HMAC-SHA-256(inner key, "Corvane vault seal v1" + inner salt): no extra PBKDF2 run, and a
// key that tells nothing about the inner key.

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

constexpr char SEAL_KEY_LABEL[] = "Corvane vault seal v1";
constexpr int SEAL_KEY_LABEL_SIZE = static_cast<int>(sizeof(SEAL_KEY_LABEL)) - 1;
constexpr char SEALED_SIGN_LABEL[] = "Corvane vault sealed sign v1";
constexpr int SEALED_SIGN_LABEL_SIZE = static_cast<int>(sizeof(SEALED_SIGN_LABEL)) - 1;
constexpr int SEALED_SIGN_SIZE = 4;
constexpr int SEALED_SIGN_OFFSET = INITIALIZATION_VECTOR_SIZE - SEALED_SIGN_SIZE;
static_assert(sizeof(VAULT_SEAL_MARKER) - 1 == VAULT_SEAL_MARKER_SIZE, "seal marker size");
static_assert(sizeof(VAULT_SEAL_MARKER_WITHOUT_COUNTER) - 1 == VAULT_SEAL_MARKER_SIZE, "seal marker size");
// The seal of earlier versions: marker and MAC, no counter.
constexpr int SEAL_WITHOUT_COUNTER_SIZE = VAULT_SEAL_MARKER_SIZE + VAULT_SEAL_MAC_SIZE;

constexpr int FORMAT_VERSION_CAPACITIES[] = {131052, 130948, 130964};

// Process-wide so that a memory image is never copied onto the stack; emptied at the end of every call.
uint8_t encryptionScratchBuffer[MEMORY_IMAGE_SIZE];
uint8_t decryptionScratchBuffer[MEMORY_IMAGE_SIZE];

MemoryImageRandomByteSource randomByteSourceForTesting;

// ---- Mbed TLS 2.x / 3.x differences, kept to these wrappers ----

// Initialises the context (to be freed by the caller whatever the result) and sets it up for HMAC-SHA-256.
int _setUpHmacSha256_helper(mbedtls_md_context_t* context)
{
    mbedtls_md_init(context);
    const mbedtls_md_info_t* digestInformation = mbedtls_md_info_from_type(MBEDTLS_MD_SHA256);
    return digestInformation ? mbedtls_md_setup(context, digestInformation, 1) : -1;
}

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
    mbedtls_md_context_t context;
    int result = _setUpHmacSha256_helper(&context);
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
    explicit EnvelopeWorkspace(uint8_t* scratchBuffer) : scratch(scratchBuffer)
    {
        // Both scratch buffers hold plaintext during a call: locked once, for the life of the process.
        static const bool isLocked = []()
        {
            lockMemory(encryptionScratchBuffer, sizeof(encryptionScratchBuffer));
            lockMemory(decryptionScratchBuffer, sizeof(decryptionScratchBuffer));
            return true;
        }();
        (void)isLocked;
    }
    ~EnvelopeWorkspace()
    {
        secureZeroMemory(scratch, MEMORY_IMAGE_SIZE);
        secureZeroMemory(key, sizeof(key));
        secureZeroMemory(salt, sizeof(salt));
        secureZeroMemory(initializationVector, sizeof(initializationVector));
        secureZeroMemory(nonce, sizeof(nonce));
        secureZeroMemory(digest, sizeof(digest));
        secureZeroMemory(sealKey, sizeof(sealKey));
        secureZeroMemory(sealMac, sizeof(sealMac));
        secureZeroMemory(sealedSign, sizeof(sealedSign));
    }
    EnvelopeWorkspace(const EnvelopeWorkspace&) = delete;
    EnvelopeWorkspace& operator=(const EnvelopeWorkspace&) = delete;

    uint8_t* scratch;
    uint8_t key[KEY_SIZE] = {};
    uint8_t salt[SALT_SIZE] = {};
    uint8_t initializationVector[INITIALIZATION_VECTOR_SIZE] = {};
    uint8_t nonce[NONCE_SIZE] = {};
    uint8_t digest[CHECK_DIGEST_SIZE] = {};
    uint8_t sealKey[KEY_SIZE] = {};
    uint8_t sealMac[VAULT_SEAL_MAC_SIZE] = {};
    uint8_t sealedSign[VAULT_SEAL_MAC_SIZE] = {};
};

// Salts, initialization vector and nonce come straight from the operating system's generator.
int _fillRandomBytes_helper(uint8_t* bytes, int size)
{
    if (!randomByteSourceForTesting)
        return fillSystemRandomBytes(bytes, static_cast<std::size_t>(size));
    for (int index = 0; index < size; index++)
        bytes[index] = randomByteSourceForTesting();
    return 0;
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

int _computeHmacSha256_helper(const uint8_t* key, const uint8_t* firstInput, std::size_t firstInputSize,
                              const uint8_t* secondInput, std::size_t secondInputSize, uint8_t* mac)
{
    mbedtls_md_context_t context;
    int result = _setUpHmacSha256_helper(&context);
    if (result == 0)
        result = mbedtls_md_hmac_starts(&context, key, KEY_SIZE);
    if (result == 0)
        result = mbedtls_md_hmac_update(&context, firstInput, firstInputSize);
    if (result == 0 && secondInputSize > 0)
        result = mbedtls_md_hmac_update(&context, secondInput, secondInputSize);
    if (result == 0)
        result = mbedtls_md_hmac_finish(&context, mac);
    mbedtls_md_free(&context);
    return result == 0 ? 0 : -1;
}

// Where the seal goes in a plaintext: right after the first end marker, or -1 when there is no end
// marker or no room for a seal of sealSize bytes before the check digest.
int _findSealOffset_helper(const uint8_t* plaintext, int sealSize)
{
    const void* endMarker = std::memchr(plaintext, VAULT_END_MARKER, VAULT_CAPACITY);
    if (!endMarker)
        return -1;
    const int sealOffset = static_cast<int>(static_cast<const uint8_t*>(endMarker) - plaintext) + 1;
    return sealOffset + sealSize <= VAULT_CAPACITY ? sealOffset : -1;
}

// workspace.key holds the inner key and workspace.salt the inner salt; leaves the seal key in
// workspace.sealKey and the sealed sign in workspace.sealedSign.
int _deriveSealKeyAndSign_helper(EnvelopeWorkspace& workspace)
{
    if (_computeHmacSha256_helper(workspace.key, reinterpret_cast<const uint8_t*>(SEAL_KEY_LABEL),
                                  SEAL_KEY_LABEL_SIZE, workspace.salt, SALT_SIZE, workspace.sealKey) != 0)
        return -1;
    return _computeHmacSha256_helper(workspace.sealKey, reinterpret_cast<const uint8_t*>(SEALED_SIGN_LABEL),
                                     SEALED_SIGN_LABEL_SIZE, nullptr, 0, workspace.sealedSign);
}

void _encodeSaveCounter_helper(quint64 saveCounter, uint8_t* bytes)
{
    for (int index = VAULT_SEAL_COUNTER_SIZE - 1; index >= 0; index--)
    {
        bytes[index] = static_cast<uint8_t>(saveCounter & 0xFF);
        saveCounter >>= 8;
    }
}

quint64 _decodeSaveCounter_helper(const uint8_t* bytes)
{
    quint64 saveCounter = 0;
    for (int index = 0; index < VAULT_SEAL_COUNTER_SIZE; index++)
        saveCounter = (saveCounter << 8) | bytes[index];
    return saveCounter;
}

// workspace.sealKey is set; leaves in workspace.sealMac the MAC of the encoding before sealOffset followed
// by the counter bytes (none for a seal of earlier versions).
int _computeSealMac_helper(EnvelopeWorkspace& workspace, const uint8_t* plaintext, int sealOffset,
                           const uint8_t* counterBytes, int counterSize)
{
    return _computeHmacSha256_helper(workspace.sealKey, plaintext, static_cast<std::size_t>(sealOffset),
                                     counterBytes, static_cast<std::size_t>(counterSize), workspace.sealMac);
}

bool _isEqualInConstantTime_helper(const uint8_t* first, const uint8_t* second, int size)
{
    uint8_t difference = 0;
    for (int index = 0; index < size; index++)
        difference |= static_cast<uint8_t>(first[index] ^ second[index]);
    return difference == 0;
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

// sealState null: the plaintext is encrypted as it is. Otherwise the seal and the sign are written first
// when the seal fits.
int _encryptFormatVersion1_helper(const QString& password, uint8_t* image, VaultSealState* sealState,
                                  quint64 saveCounter)
{
    EnvelopeWorkspace workspace(encryptionScratchBuffer);
    uint8_t* scratch = workspace.scratch;

    // Inner layer: salt and initialization vector head the inner block, and their digest goes into the
    // plaintext so that decryption can tell whether the password was right.
    if (_fillRandomBytes_helper(workspace.salt, SALT_SIZE) != 0)
        return -1;
    std::memcpy(scratch + INNER_SALT_OFFSET, workspace.salt, SALT_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    if (_fillRandomBytes_helper(workspace.initializationVector, INITIALIZATION_VECTOR_SIZE) != 0)
        return -1;
    const int sealOffset = sealState ? _findSealOffset_helper(image, VAULT_SEAL_SIZE) : -1;
    if (sealState)
        *sealState = sealOffset < 0 ? VAULT_SEAL_ABSENT : VAULT_SEAL_VALID;
    if (sealOffset >= 0)
    {
        if (_deriveSealKeyAndSign_helper(workspace) != 0)
            return -1;
        std::memcpy(workspace.initializationVector + SEALED_SIGN_OFFSET, workspace.sealedSign,
                    SEALED_SIGN_SIZE);
        uint8_t* seal = image + sealOffset;
        std::memcpy(seal, VAULT_SEAL_MARKER, VAULT_SEAL_MARKER_SIZE);
        _encodeSaveCounter_helper(saveCounter, seal + VAULT_SEAL_MARKER_SIZE);
        if (_computeSealMac_helper(workspace, image, sealOffset, seal + VAULT_SEAL_MARKER_SIZE,
                                   VAULT_SEAL_COUNTER_SIZE) != 0)
            return -1;
        std::memcpy(seal + VAULT_SEAL_MARKER_SIZE + VAULT_SEAL_COUNTER_SIZE, workspace.sealMac,
                    VAULT_SEAL_MAC_SIZE);
    }
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
    if (_fillRandomBytes_helper(workspace.salt, SALT_SIZE) != 0)
        return -1;
    std::memcpy(image + OUTER_SALT_OFFSET, workspace.salt, SALT_SIZE);
    if (_deriveEnvelopeKey_helper(password, workspace) != 0)
        return -1;
    if (_fillRandomBytes_helper(workspace.nonce, NONCE_SIZE) != 0)
        return -1;
    std::memcpy(image + NONCE_OFFSET, workspace.nonce, NONCE_SIZE);
    std::memset(image + INNER_BLOCK_OFFSET, 0, INNER_BLOCK_SIZE);
    if (mbedtls_chacha20_crypt(workspace.key, workspace.nonce, 0, INNER_BLOCK_SIZE, scratch,
                               image + INNER_BLOCK_OFFSET) != 0)
        return -1;
    return 0;
}

// Judges the seal of a decrypted plaintext; workspace.key holds the inner key and workspace.salt the inner
// salt. 0, or -1 on a library failure.
int _checkSeal_helper(EnvelopeWorkspace& workspace, const uint8_t* plaintext, VaultSealState& sealState,
                      quint64& saveCounter)
{
    saveCounter = 0;
    if (_deriveSealKeyAndSign_helper(workspace) != 0)
        return -1;
    const bool isSigned = _isEqualInConstantTime_helper(
        workspace.sealedSign, workspace.initializationVector + SEALED_SIGN_OFFSET, SEALED_SIGN_SIZE);
    // A marker anywhere else is filler: only the place right after the end marker holds a seal.
    const int sealOffset = _findSealOffset_helper(plaintext, SEAL_WITHOUT_COUNTER_SIZE);
    const uint8_t* seal = sealOffset < 0 ? nullptr : plaintext + sealOffset;
    const bool isCounted = seal && std::memcmp(seal, VAULT_SEAL_MARKER, VAULT_SEAL_MARKER_SIZE) == 0 &&
                           sealOffset + VAULT_SEAL_SIZE <= VAULT_CAPACITY;
    const bool isWithoutCounter =
        seal && std::memcmp(seal, VAULT_SEAL_MARKER_WITHOUT_COUNTER, VAULT_SEAL_MARKER_SIZE) == 0;
    if (!isCounted && !isWithoutCounter)
    {
        sealState = isSigned ? VAULT_SEAL_MISMATCH : VAULT_SEAL_ABSENT;
        return 0;
    }
    const uint8_t* counterBytes = seal + VAULT_SEAL_MARKER_SIZE;
    const int counterSize = isCounted ? VAULT_SEAL_COUNTER_SIZE : 0;
    if (_computeSealMac_helper(workspace, plaintext, sealOffset, counterBytes, counterSize) != 0)
        return -1;
    const bool isMatching =
        _isEqualInConstantTime_helper(workspace.sealMac, counterBytes + counterSize, VAULT_SEAL_MAC_SIZE);
    sealState = isMatching ? VAULT_SEAL_VALID : VAULT_SEAL_MISMATCH;
    if (isMatching && isCounted)
        saveCounter = _decodeSaveCounter_helper(counterBytes);
    return 0;
}

int _decryptFormatVersion1_helper(const QString& password, uint8_t* image, VaultSealState* sealState,
                                  quint64* saveCounter)
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
    if (!_isEqualInConstantTime_helper(workspace.digest, image + CHECK_DIGEST_OFFSET, CHECK_DIGEST_SIZE))
        return 1;
    if (!sealState)
        return 0;
    quint64 foundSaveCounter = 0;
    if (_checkSeal_helper(workspace, image, *sealState, foundSaveCounter) != 0)
        return -1;
    if (saveCounter)
        *saveCounter = foundSaveCounter;
    return 0;
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
    return _encryptFormatVersion1_helper(password, image, nullptr, 0);
}

int encryptAndSealMemoryImage(const QString& password, int formatVersion, uint8_t* image,
                              VaultSealState* sealState, quint64 saveCounter)
{
    if (formatVersion != MEMORY_IMAGE_FORMAT_VERSION || !image)
        return -1;
    VaultSealState writtenSealState = VAULT_SEAL_ABSENT;
    const int result = _encryptFormatVersion1_helper(password, image, &writtenSealState, saveCounter);
    if (sealState)
        *sealState = writtenSealState;
    return result;
}

int decryptMemoryImage(const QString& password, int formatVersion, uint8_t* image)
{
    if (formatVersion == 0 || formatVersion == 2)
        return 1; // Known formats without an implementation: the image cannot be in them.
    if (formatVersion != MEMORY_IMAGE_FORMAT_VERSION || !image)
        return -1;
    return _decryptFormatVersion1_helper(password, image, nullptr, nullptr);
}

int decryptAndCheckMemoryImage(const QString& password, int formatVersion, uint8_t* image,
                               VaultSealState* sealState, quint64* saveCounter)
{
    if (formatVersion == 0 || formatVersion == 2)
        return 1;
    if (formatVersion != MEMORY_IMAGE_FORMAT_VERSION || !image)
        return -1;
    VaultSealState foundSealState = VAULT_SEAL_ABSENT;
    quint64 foundSaveCounter = 0;
    const int result = _decryptFormatVersion1_helper(password, image, &foundSealState, &foundSaveCounter);
    if (sealState)
        *sealState = foundSealState;
    if (saveCounter)
        *saveCounter = foundSaveCounter;
    return result;
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
