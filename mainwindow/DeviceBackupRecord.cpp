#include "DeviceBackupRecord.h"

#include "app/Configuration.h"

namespace
{
QString _deviceKey_helper(const QString& usbSerialNumber, const char* key)
{
    return QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS "/%1/%2")
        .arg(usbSerialNumber, QString::fromLatin1(key));
}
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
