#include "vault/DeviceSealMemory.h"

#include "app/Configuration.h"

#include <QSettings>
#include <QUrl>

namespace
{
constexpr char RECORDS_GROUP[] = "DeviceSeals";
constexpr char KEY_IS_SEALED[] = "IsSealed";
constexpr char KEY_HIGHEST_SAVE_COUNTER[] = "HighestSaveCounter";
constexpr char KEY_HIGHEST_SAVE_COUNTER_TIME[] = "HighestSaveCounterTime";

// A serial number is device text: percent-encoded, it can never add a level to the settings' key path.
QString _keyPart_helper(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}
} // namespace

bool DeviceIdentity::isKnown() const
{
    return !usbSerialNumber.isEmpty();
}

DeviceSealMemory::DeviceSealMemory(QSettings* store) : store(store) {}

QString DeviceSealMemory::recordGroup(const DeviceIdentity& device) const
{
    return QStringLiteral("%1/%2_%3")
        .arg(QLatin1String(RECORDS_GROUP), _keyPart_helper(device.usbSerialNumber),
             _keyPart_helper(device.serialNumber));
}

bool DeviceSealMemory::isKnownSealed(const DeviceIdentity& device) const
{
    if (!store || !device.isKnown())
        return false;
    if (store->value(recordGroup(device) + QLatin1Char('/') + QLatin1String(KEY_IS_SEALED)).toBool())
        return true;
    // Earlier versions kept one list of USB serial numbers.
    return store->value(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES))
        .toStringList()
        .contains(device.usbSerialNumber);
}

bool DeviceSealMemory::isOlder(const VaultSeal& seal, const DeviceIdentity& device) const
{
    if (!store || !device.isKnown())
        return false;
    const QVariant highest =
        store->value(recordGroup(device) + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER));
    return highest.isValid() && seal.saveCounter < highest.toULongLong();
}

VaultSealVerdict DeviceSealMemory::judgeOpened(const VaultSeal& seal, const DeviceIdentity& device) const
{
    if (seal.state == VAULT_SEAL_MISMATCH)
        return VAULT_SEAL_VERDICT_MODIFIED;
    if (seal.state == VAULT_SEAL_ABSENT)
        // Nobody without the password can make a vault without seal, but it may be an older one written
        // back: on a device seen sealed here it is as suspect as a broken seal.
        return isKnownSealed(device) ? VAULT_SEAL_VERDICT_MODIFIED : VAULT_SEAL_VERDICT_UNSEALED;
    return isOlder(seal, device) ? VAULT_SEAL_VERDICT_OLDER : VAULT_SEAL_VERDICT_SEALED;
}

VaultSealVerdict DeviceSealMemory::judgeToBeWritten(const VaultSeal& seal, const DeviceIdentity& device) const
{
    if (seal.state == VAULT_SEAL_MISMATCH)
        return VAULT_SEAL_VERDICT_MODIFIED;
    if (seal.state == VAULT_SEAL_ABSENT)
        return VAULT_SEAL_VERDICT_UNSEALED;
    return isOlder(seal, device) ? VAULT_SEAL_VERDICT_OLDER : VAULT_SEAL_VERDICT_SEALED;
}

void DeviceSealMemory::writeRecord(const DeviceIdentity& device, bool isSealed, quint64 saveCounter)
{
    const QString group = recordGroup(device);
    store->setValue(group + QLatin1Char('/') + QLatin1String(KEY_IS_SEALED), isSealed);
    store->setValue(group + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER),
                    QString::number(saveCounter));
    store->setValue(group + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER_TIME),
                    QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    store->sync();
}

void DeviceSealMemory::recordOpened(const VaultSeal& seal, const DeviceIdentity& device)
{
    if (!store || !device.isKnown() || seal.state != VAULT_SEAL_VALID || isOlder(seal, device))
        return;
    const QVariant highest =
        store->value(recordGroup(device) + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER));
    if (isKnownSealed(device) && highest.isValid() && highest.toULongLong() == seal.saveCounter)
        return; // nothing new: the date stays the one of the save
    writeRecord(device, true, seal.saveCounter);
}

void DeviceSealMemory::recordVerifiedWrite(const VaultSeal& seal, const DeviceIdentity& device)
{
    if (!store || !device.isKnown())
        return;
    if (seal.state == VAULT_SEAL_VALID)
    {
        // What the device holds now, even when lower: a restored backup is not a rollback.
        writeRecord(device, true, seal.saveCounter);
        return;
    }
    store->remove(recordGroup(device));
    QStringList legacyList =
        store->value(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES)).toStringList();
    if (legacyList.removeAll(device.usbSerialNumber) > 0)
    {
        if (legacyList.isEmpty())
            store->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
        else
            store->setValue(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES), legacyList);
    }
    store->sync();
}

quint64 DeviceSealMemory::nextSaveCounter(const DeviceIdentity& device, quint64 openedSaveCounter) const
{
    quint64 highest = openedSaveCounter;
    if (store && device.isKnown())
        highest = qMax(
            highest,
            store->value(recordGroup(device) + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER))
                .toULongLong());
    return highest + 1;
}

QDateTime DeviceSealMemory::highestSaveCounterTime(const DeviceIdentity& device) const
{
    if (!store || !device.isKnown())
        return QDateTime();
    return QDateTime::fromString(
        store->value(recordGroup(device) + QLatin1Char('/') + QLatin1String(KEY_HIGHEST_SAVE_COUNTER_TIME))
            .toString(),
        Qt::ISODate);
}
