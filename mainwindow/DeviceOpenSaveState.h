#pragma once

#include "common/SecureImageBuffer.h"
#include "device/DeviceProtocol.h"
#include "vault/DeviceSealMemory.h"

#include <QString>

#include <cstdint>

// What opening a device and saving to it keep between their pages: the password typed to open (it becomes
// the vault's master password only once that vault shows, so a failed open leaves the vault on screen with
// its own) and the images handed to the write page, for the read-back comparison. Both are zero-filled
// when released.
class DeviceOpenSaveState
{
public:
    DeviceOpenSaveState() = default;
    ~DeviceOpenSaveState();
    DeviceOpenSaveState(const DeviceOpenSaveState&) = delete;
    DeviceOpenSaveState& operator=(const DeviceOpenSaveState&) = delete;

    const QString& openingMasterPassword() const;
    void setOpeningMasterPassword(const QString& password);
    void clearOpeningMasterPassword();

    // Keeps copies of the images about to be written to the main and the backup memory.
    void keepWrittenImages(const uint8_t* mainImage, const uint8_t* backupImage);
    bool areWrittenImagesKept() const;
    // The kept image of a memory (DEVICE_MEMORY_MAIN or DEVICE_MEMORY_BACKUP), null when none is kept.
    const uint8_t* writtenImage(int memoryIndex) const;
    void releaseWrittenImages();

    // Zero-fills and releases everything.
    void clear();

    // The seal of the vault last decrypted from a device, as judged and accepted.
    VaultSeal openedSeal;
    // The seal being written and the device it goes to: recorded once the write is verified, released with
    // the written images.
    VaultSeal writtenSeal;
    DeviceIdentity writtenDevice;

private:
    QString _openingMasterPassword;
    SecureImageBuffer _writtenImages[DEVICE_MEMORY_COUNT];
};
