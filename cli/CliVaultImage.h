#pragma once

#include "vault/DeviceSealMemory.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/VaultTab.h"

#include <QString>

#include <cstdint>

// Turning stored images into vaults and back, the way the application opens and saves a device.

// Decrypts a copy of the stored image, trying the format versions 2, 1 and 0 in this order as the
// application does when opening, and parses the plaintext into vault. The stored image is not changed;
// the plaintext is zero-filled before returning. False with errorMessage for a wrong password or a
// failure of the cryptographic library. sealState and saveCounter (when given) receive the vault's seal.
[[nodiscard]] bool decryptVaultImage(const uint8_t* storedImage, const QString& masterPassword, Vault& vault,
                                     QString& errorMessage, VaultSealState* sealState = nullptr,
                                     quint64* saveCounter = nullptr);

// How a command treats a seal judged other than sealed (--accept-modified, --accept-older, --require-seal).
struct CliSealOptions
{
    bool isModifiedAccepted = false;
    bool isOlderAccepted = false;
    bool isSealRequired = false;
};

// The tool's answer to a seal's verdict: true to go on (with a note on standard error for a vault without
// seal or one accepted by an option), false with errorMessage. savedTime: when this computer recorded the
// device's newest vault.
[[nodiscard]] bool acceptVaultSeal(const VaultSeal& seal, VaultSealVerdict verdict,
                                   const CliSealOptions& options, const QString& savedTime,
                                   QString& errorMessage);
// Judges the seal of a vault just decrypted from the device deviceIdentity (unknown for an image file, judged
// by its own seal alone) against what this computer remembers, as the application does when opening, and
// remembers it when accepted.
[[nodiscard]] bool acceptOpenedVaultSeal(const VaultSeal& seal, const DeviceIdentity& deviceIdentity,
                                         const CliSealOptions& options, QString& errorMessage);
// A recorded time for a message: local, "yyyy-MM-dd HH:mm", or "an unknown date".
QString formatSavedTime(const QDateTime& time);

// Builds the image the application would save: random bytes, the vault encoding over them, then the
// envelope (format version 1) under masterPassword. freeCount receives the capacity left. False with
// the application's message when the vault does not fit or encryption fails.
[[nodiscard]] bool encryptVaultImage(const Vault& vault, const QString& masterPassword, uint8_t* image,
                                     int& freeCount, QString& errorMessage);

// Overwrites every text of the vault before releasing it.
void clearVault(Vault& vault);
