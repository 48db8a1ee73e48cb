#pragma once

#include "common/SecureImageBuffer.h"
#include "vault/DeviceSealMemory.h"

#include <QString>

// The backup file being restored to a device, from the choice of the file to the verified write: its path
// and its encrypted image, zero-filled when released.
class DeviceRestoreState
{
public:
    bool isImageHeld() const;
    void clear();

    QString filePath;
    SecureImageBuffer image;
    // The file's seal, found when its password was checked, and the device it is restored to.
    VaultSeal seal;
    DeviceIdentity targetDevice;
};
