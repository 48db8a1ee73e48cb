#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>

// When this computer last saved to each device and last backed it up (the settings store's
// "DeviceBackups/<USB serial number>/"), for the reminder of devices changed since their last backup.
class DeviceBackupRecord
{
    Q_DECLARE_TR_FUNCTIONS(DeviceBackupRecord)

public:
    // CONFIGURATION_KEY_DEVICE_LAST_BACKUP or CONFIGURATION_KEY_DEVICE_LAST_SAVE; invalid when never.
    static QDateTime date(const QString& usbSerialNumber, const char* key);
    static void recordNow(const QString& usbSerialNumber, const char* key);
    static bool isReminderEnabled();
    // The reminder line of the save success message, empty when the device's last backup is newer.
    static QString reminderAfterSave(const QString& usbSerialNumber);

    // Remembers that the memory image (MEMORY_IMAGE_SIZE bytes, encrypted) was backed up from the device,
    // by its digest only, so that a restore can tell where a backup file came from.
    static void recordBackupImage(const QString& usbSerialNumber, const uint8_t* image);
    // The USB serial numbers of the devices this computer backed the image up from (one, unless a device
    // restored from a backup was backed up again); empty when unknown.
    static QStringList backupImageOrigins(const uint8_t* image);
};
