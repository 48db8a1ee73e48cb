#include "vault/LockedStateSeal.h"

#include "common/SecureMemory.h"
#include "common/SystemRandom.h"
#include "vault/MemoryImageEncryption.h"

#include <mbedtls/gcm.h>

// Sealed blob: 0..15 salt | 16..27 GCM initialization vector | 28..43 GCM tag | 44.. ciphertext.
namespace
{
constexpr int SALT_SIZE = 16;
constexpr int INITIALIZATION_VECTOR_SIZE = 12;
constexpr int TAG_SIZE = 16;
constexpr int KEY_SIZE = 32;
// As many rounds as the stored format: the same cost for whoever guesses at the sealed state.
constexpr int KEY_DERIVATION_ITERATIONS = 16384;
constexpr int HEADER_SIZE = SALT_SIZE + INITIALIZATION_VECTOR_SIZE + TAG_SIZE;

// A key scheduled into a GCM context, wiped with it.
class GcmKey
{
public:
    GcmKey()
    {
        mbedtls_gcm_init(&context);
    }
    ~GcmKey()
    {
        mbedtls_gcm_free(&context);
    }
    GcmKey(const GcmKey&) = delete;
    GcmKey& operator=(const GcmKey&) = delete;

    [[nodiscard]] bool derive(const QString& password, const uint8_t* salt)
    {
        uint8_t key[KEY_SIZE];
        bool isSet = deriveKey(password, salt, SALT_SIZE, KEY_DERIVATION_ITERATIONS, KEY_SIZE, key) == 0 &&
                     mbedtls_gcm_setkey(&context, MBEDTLS_CIPHER_ID_AES, key, KEY_SIZE * 8) == 0;
        secureZeroMemory(key, sizeof(key));
        return isSet;
    }

    mbedtls_gcm_context context;
};
} // namespace

LockedStateSeal::Result LockedStateSeal::seal(const QString& password, const uint8_t* plaintext,
                                              std::size_t size, QByteArray& sealed)
{
    if (!plaintext && size > 0)
        return RESULT_FAILURE;
    sealed = QByteArray(HEADER_SIZE + static_cast<qsizetype>(size), '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(sealed.data());
    uint8_t* salt = bytes;
    uint8_t* initializationVector = salt + SALT_SIZE;
    uint8_t* tag = initializationVector + INITIALIZATION_VECTOR_SIZE;
    if (fillSystemRandomBytes(salt, SALT_SIZE + INITIALIZATION_VECTOR_SIZE) != 0)
        return RESULT_FAILURE;

    GcmKey key;
    if (!key.derive(password, salt) ||
        mbedtls_gcm_crypt_and_tag(&key.context, MBEDTLS_GCM_ENCRYPT, size, initializationVector,
                                  INITIALIZATION_VECTOR_SIZE, nullptr, 0, plaintext, bytes + HEADER_SIZE,
                                  TAG_SIZE, tag) != 0)
    {
        sealed.clear();
        return RESULT_FAILURE;
    }
    return RESULT_SUCCESS;
}

LockedStateSeal::Result LockedStateSeal::open(const QString& password, const QByteArray& sealed,
                                              SecureImageBuffer& plaintext)
{
    plaintext.clear();
    if (sealed.size() < HEADER_SIZE)
        return RESULT_FAILURE;
    const auto* bytes = reinterpret_cast<const uint8_t*>(sealed.constData());
    const auto size = static_cast<std::size_t>(sealed.size() - HEADER_SIZE);
    const uint8_t* salt = bytes;
    const uint8_t* initializationVector = salt + SALT_SIZE;
    const uint8_t* tag = initializationVector + INITIALIZATION_VECTOR_SIZE;

    GcmKey key;
    if (!key.derive(password, salt))
        return RESULT_FAILURE;
    // One byte at least, so that an empty state still has a buffer to decrypt into.
    plaintext.allocate(size > 0 ? size : 1);
    const int result =
        mbedtls_gcm_auth_decrypt(&key.context, size, initializationVector, INITIALIZATION_VECTOR_SIZE,
                                 nullptr, 0, tag, TAG_SIZE, bytes + HEADER_SIZE, plaintext.data());
    if (result == 0)
        return RESULT_SUCCESS;
    plaintext.clear();
    return result == MBEDTLS_ERR_GCM_AUTH_FAILED ? RESULT_WRONG_PASSWORD : RESULT_FAILURE;
}
