#include "DeviceBackupRecord.h"

#include "app/Configuration.h"
#include "vault/MemoryImage.h"

#include <QCryptographicHash>

namespace
{
QString _deviceKey_helper(const QString& usbSerialNumber, const char* key)
{
    return QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS "/%1/%2")
        .arg(usbSerialNumber, QString::fromLatin1(key));
}
QString _imageDigest_helper(const uint8_t* image)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(
            QByteArray::fromRawData(reinterpret_cast<const char*>(image), MEMORY_IMAGE_SIZE),
            QCryptographicHash::Sha256)
            .toHex());
}

// Enough for every backup a user keeps of one device, small enough to search at each restore.
constexpr int MAXIMUM_RECORDED_BACKUP_IMAGES = 32;
} // namespace

QDateTime DeviceBackupRecord::date(const QString& usbSerialNumber, const char* key)
{
    if (!settings || usbSerialNumber.isEmpty())
        return QDateTime();
    return QDateTime::fromString(settings->value(_deviceKey_helper(usbSerialNumber, key)).toString(),
                                 Qt::ISODateWithMs);
}

void DeviceBackupRecord::recordNow(const QString& usbSerialNumber, const char* key)
{
    if (!settings || usbSerialNumber.isEmpty())
        return;
    settings->setValue(_deviceKey_helper(usbSerialNumber, key),
                       QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
}

bool DeviceBackupRecord::isReminderEnabled()
{
    return settings && settingValue(SETTING_IS_BACKUP_REMINDER_ENABLED);
}

QString DeviceBackupRecord::reminderAfterSave(const QString& usbSerialNumber)
{
    if (!isReminderEnabled())
        return QString();
    const QDateTime lastBackup = date(usbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
    const QDateTime lastSave = date(usbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_SAVE);
    if (lastBackup.isValid() && lastSave.isValid() && lastSave <= lastBackup)
        return QString();
    return tr("This device has changes that no backup holds yet: consider Device > Back up device to file.");
}

void DeviceBackupRecord::recordBackupImage(const QString& usbSerialNumber, const uint8_t* image)
{
    if (!settings || usbSerialNumber.isEmpty())
        return;
    const QString key = _deviceKey_helper(usbSerialNumber, CONFIGURATION_KEY_DEVICE_BACKUP_IMAGES);
    QStringList digests = settings->value(key).toStringList();
    const QString digest = _imageDigest_helper(image);
    digests.removeAll(digest);
    digests.append(digest);
    while (digests.size() > MAXIMUM_RECORDED_BACKUP_IMAGES)
        digests.removeFirst();
    settings->setValue(key, digests);
}

QStringList DeviceBackupRecord::backupImageOrigins(const uint8_t* image)
{
    QStringList origins;
    if (!settings)
        return origins;
    const QString digest = _imageDigest_helper(image);
    settings->beginGroup(QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS));
    const QStringList usbSerialNumbers = settings->childGroups();
    settings->endGroup();
    for (const QString& usbSerialNumber : usbSerialNumbers)
    {
        const QString key = _deviceKey_helper(usbSerialNumber, CONFIGURATION_KEY_DEVICE_BACKUP_IMAGES);
        if (settings->value(key).toStringList().contains(digest))
            origins.append(usbSerialNumber);
    }
    return origins;
}
