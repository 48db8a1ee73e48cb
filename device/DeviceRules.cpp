#include "device/DeviceRules.h"

#include <cstring>

BackupTargetCheck checkBackupTarget(Device& device)
{
    bool isBackupDisabled = false;
    if (device.getBackupDisableFlag(isBackupDisabled) != 0)
        return BACKUP_TARGET_FLAG_UNREADABLE;
    return isBackupDisabled ? BACKUP_TARGET_REFUSED : BACKUP_TARGET_ALLOWED;
}

bool areDeviceMemoriesEqual(Device& device)
{
    return std::memcmp(device.getMemoryBuffer(DEVICE_MEMORY_MAIN),
                       device.getMemoryBuffer(DEVICE_MEMORY_BACKUP), DEVICE_MEMORY_SIZE) == 0;
}

void prepareDeviceWrite(Device& device, const uint8_t* image)
{
    for (const int memoryIndex : {DEVICE_MEMORY_MAIN, DEVICE_MEMORY_BACKUP})
    {
        // The image may already be one of the buffers.
        if (device.getMemoryBuffer(memoryIndex) != image)
            std::memcpy(device.getMemoryBuffer(memoryIndex), image, DEVICE_MEMORY_SIZE);
    }
}
