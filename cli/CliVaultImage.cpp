#include "cli/CliVaultImage.h"

#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"

bool decryptVaultImage(const uint8_t* storedImage, const QString& masterPassword, Vault& vault,
                       QString& errorMessage, VaultSealState* sealState)
{
    SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
    const int result = openVaultImage(storedImage, masterPassword, plaintext.data(), sealState);
    if (result == VAULT_IMAGE_SUCCESS)
    {
        vault = parseVault(plaintext.data());
        return true;
    }
    errorMessage = result == VAULT_IMAGE_CRYPTO_FAILURE
                       ? QStringLiteral("Failed to decrypt data, aborting.")
                       : QStringLiteral("wrong master password: failed to decrypt data");
    return false;
}

bool encryptVaultImage(const Vault& vault, const QString& masterPassword, uint8_t* image, int& freeCount,
                       QString& errorMessage)
{
    const int result = buildVaultImage(vault, masterPassword, image, &freeCount);
    if (result == VAULT_IMAGE_NOT_ENOUGH_ROOM)
        errorMessage =
            QStringLiteral("There is not enough room in device memory. Please remove some passwords.");
    else if (result != VAULT_IMAGE_SUCCESS)
        errorMessage = QStringLiteral("Failed to encrypt data, aborting.");
    return result == VAULT_IMAGE_SUCCESS;
}

void clearVault(Vault& vault)
{
    for (VaultTab& tab : vault)
    {
        secureClearString(tab.name);
        for (PasswordRecord& password : tab.passwords)
            password.clear();
    }
    vault.clear();
}
