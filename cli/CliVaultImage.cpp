#include "cli/CliVaultImage.h"

#include "cli/CliMemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/SecureMemory.h"

#include <QRandomGenerator>

namespace
{
// Newest first: an image is tried in every format the application can open, as the application does.
constexpr int FORMAT_VERSIONS_TO_TRY[] = {2, 1, 0};
} // namespace

bool decryptVaultImage(const uint8_t* storedImage, const QString& masterPassword, Vault& vault,
                       QString& errorMessage)
{
    CliMemoryImage workingImage;
    for (const int formatVersion : FORMAT_VERSIONS_TO_TRY)
    {
        // A failed attempt leaves noise in the working copy: every version starts from the stored bytes.
        workingImage.copyFrom(storedImage);
        const int result = decryptMemoryImage(masterPassword, formatVersion, workingImage.data());
        if (result == -1)
        {
            errorMessage = QStringLiteral("Failed to decrypt data, aborting.");
            return false;
        }
        if (result == 0)
        {
            vault = parseVault(workingImage.data());
            return true;
        }
    }
    errorMessage = QStringLiteral("wrong master password: failed to decrypt data");
    return false;
}

bool encryptVaultImage(const Vault& vault, const QString& masterPassword, uint8_t* image, int& freeCount,
                       QString& errorMessage)
{
    // The space after the end marker must not tell how long the vault is: it holds random bytes.
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(image),
                                          MEMORY_IMAGE_SIZE / sizeof(quint32));
    freeCount = serializeVault(vault, image);
    if (freeCount < 0)
    {
        secureZeroMemory(image, MEMORY_IMAGE_SIZE);
        errorMessage =
            QStringLiteral("There is not enough room in device memory. Please remove some passwords.");
        return false;
    }
    if (encryptMemoryImage(masterPassword, MEMORY_IMAGE_FORMAT_VERSION, image) != 0)
    {
        secureZeroMemory(image, MEMORY_IMAGE_SIZE);
        errorMessage = QStringLiteral("Failed to encrypt data, aborting.");
        return false;
    }
    return true;
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
