#include "DeviceOpenSaveState.h"

#include "common/SecureMemory.h"

DeviceOpenSaveState::~DeviceOpenSaveState()
{
    clear();
}

const QString& DeviceOpenSaveState::openingMasterPassword() const
{
    return _openingMasterPassword;
}

void DeviceOpenSaveState::setOpeningMasterPassword(const QString& password)
{
    secureClearString(_openingMasterPassword);
    _openingMasterPassword = password;
}

void DeviceOpenSaveState::clearOpeningMasterPassword()
{
    secureClearString(_openingMasterPassword);
}

void DeviceOpenSaveState::keepWrittenImages(const uint8_t* mainImage, const uint8_t* backupImage)
{
    _writtenImages[DEVICE_MEMORY_MAIN].assign(mainImage, DEVICE_MEMORY_SIZE);
    _writtenImages[DEVICE_MEMORY_BACKUP].assign(backupImage, DEVICE_MEMORY_SIZE);
}

bool DeviceOpenSaveState::areWrittenImagesKept() const
{
    return !_writtenImages[DEVICE_MEMORY_MAIN].isEmpty() && !_writtenImages[DEVICE_MEMORY_BACKUP].isEmpty();
}

const uint8_t* DeviceOpenSaveState::writtenImage(int memoryIndex) const
{
    return _writtenImages[memoryIndex].data();
}

void DeviceOpenSaveState::releaseWrittenImages()
{
    for (auto& image : _writtenImages)
        image.clear();
    writtenSeal = VaultSeal();
    writtenDevice = DeviceIdentity();
}

void DeviceOpenSaveState::clear()
{
    clearOpeningMasterPassword();
    releaseWrittenImages();
    openedSeal = VaultSeal();
}
