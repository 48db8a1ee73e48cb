#pragma once

#include "device/Device.h"

// The device rules every workflow follows, in the window and in the command-line tool alike.

// Whether a device may be written as a copy or restore target: a device flagged as "not a backup target"
// is refused before anything is written, and so is one whose flag cannot be read.
enum BackupTargetCheck
{
    BACKUP_TARGET_ALLOWED = 0,
    BACKUP_TARGET_REFUSED = 1,
    BACKUP_TARGET_FLAG_UNREADABLE = -1
};
[[nodiscard]] BackupTargetCheck checkBackupTarget(Device& device);

// After both memories were read into the device's buffers: true when they hold the same image, which is
// then the one to open. When they differ (a write was interrupted), the user chooses which one to open;
// nothing chooses for them.
[[nodiscard]] bool areDeviceMemoriesEqual(Device& device);

// Puts image (DEVICE_MEMORY_SIZE bytes) into both memory buffers of the device, ready for
// DeviceTransfer::startWriting(), which writes the main memory and verifies it before the backup memory.
void prepareDeviceWrite(Device& device, const uint8_t* image);
