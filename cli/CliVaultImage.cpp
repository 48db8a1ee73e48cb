#include "cli/CliVaultImage.h"

#include "app/Configuration.h"
#include "cli/CliCommandLine.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"

bool decryptVaultImage(const uint8_t* storedImage, const QString& masterPassword, Vault& vault,
                       QString& errorMessage, VaultSealState* sealState, quint64* saveCounter)
{
    SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
    const int result = openVaultImage(storedImage, masterPassword, plaintext.data(), sealState, saveCounter);
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

bool acceptOpenedVaultSeal(const VaultSeal& seal, const DeviceIdentity& deviceIdentity,
                           const CliSealOptions& options, QString& errorMessage)
{
    // The devices seen sealed are remembered in the application's settings store, shared with the window.
    if (deviceIdentity.isKnown())
        initializeConfiguration();
    DeviceSealMemory sealMemory(settings);
    const bool isAccepted =
        acceptVaultSeal(seal, sealMemory.judgeOpened(seal, deviceIdentity), options,
                        formatSavedTime(sealMemory.highestSaveCounterTime(deviceIdentity)), errorMessage);
    if (isAccepted)
        sealMemory.recordOpened(seal, deviceIdentity);
    releaseConfiguration();
    return isAccepted;
}

QString formatSavedTime(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QStringLiteral("an unknown date");
}

bool acceptVaultSeal(const VaultSeal& seal, VaultSealVerdict verdict, const CliSealOptions& options,
                     const QString& savedTime, QString& errorMessage)
{
    switch (verdict)
    {
    case VAULT_SEAL_VERDICT_SEALED:
        return true;
    case VAULT_SEAL_VERDICT_UNSEALED:
        if (options.isSealRequired)
        {
            errorMessage = QStringLiteral("this vault has no integrity seal (--require-seal)");
            return false;
        }
        printNote(QStringLiteral("Note: this vault has no integrity seal; saving it adds one."));
        return true;
    case VAULT_SEAL_VERDICT_OLDER:
        if (options.isOlderAccepted)
        {
            printNote(
                QStringLiteral("Warning: this vault is older than the one saved from this computer on %1 "
                               "(save %2); used anyway (--accept-older).")
                    .arg(savedTime, QString::number(seal.saveCounter)));
            return true;
        }
        errorMessage = QStringLiteral("the device holds an older vault than the one saved from this computer "
                                      "on %1 (use --accept-older to use it anyway)")
                           .arg(savedTime);
        return false;
    case VAULT_SEAL_VERDICT_MODIFIED:
    default:
        if (options.isModifiedAccepted)
        {
            printNote(QStringLiteral("Warning: the data were modified outside Corvane Key Manager; used "
                                     "anyway (--accept-modified)."));
            return true;
        }
        errorMessage = QStringLiteral("the data were modified outside Corvane Key Manager (use "
                                      "--accept-modified to use them anyway)");
        return false;
    }
}
