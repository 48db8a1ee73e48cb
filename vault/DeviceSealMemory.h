#pragma once

#include "vault/MemoryImageEncryption.h"

#include <QDateTime>
#include <QString>

class QSettings;

// A device as this computer tells it apart: the USB serial number of its chip and the serial number the
// device reports itself (empty when it could not be read). Whoever holds the device can reprogram the
// first, so neither alone names the device.
struct DeviceIdentity
{
    QString usbSerialNumber;
    QString serialNumber;

    bool isKnown() const;
};

// The seal found in a decrypted vault.
struct VaultSeal
{
    VaultSealState state = VAULT_SEAL_ABSENT;
    quint64 saveCounter = 0;
};

enum VaultSealVerdict
{
    // Sealed, and not older than what this computer saw of the device.
    VAULT_SEAL_VERDICT_SEALED = 0,
    // No seal, and none expected: the vault opens, with a note that saving adds one.
    VAULT_SEAL_VERDICT_UNSEALED = 1,
    // The seal does not match, its sign shows that it was stripped, or a device seen sealed here holds a
    // vault without seal: "modified outside".
    VAULT_SEAL_VERDICT_MODIFIED = 2,
    // Sealed, with a lower save counter than the highest this computer saw on the device.
    VAULT_SEAL_VERDICT_OLDER = 3
};

// What this computer remembers of device vaults' seals, and the one judgement of a seal that the window and
// the command-line tool share: when a vault is opened or is about to be written, and after a write was
// verified. Records live in the settings store under "DeviceSeals"; without a store nothing is remembered
// and only the seal itself is judged.
class DeviceSealMemory
{
public:
    explicit DeviceSealMemory(QSettings* store);

    // A vault read from device (an unknown identity for a file: only the seal itself counts).
    [[nodiscard]] VaultSealVerdict judgeOpened(const VaultSeal& seal, const DeviceIdentity& device) const;
    // A vault about to be written to device (restore): a vault without seal is the user's choice there.
    [[nodiscard]] VaultSealVerdict judgeToBeWritten(const VaultSeal& seal,
                                                    const DeviceIdentity& device) const;

    // After a vault was opened and accepted: a sealed one marks the device as sealed and raises the highest
    // counter seen; an older one accepted by the user lowers nothing.
    void recordOpened(const VaultSeal& seal, const DeviceIdentity& device);
    // After a write to device was read back and verified, never before: the device is remembered as sealed
    // with the written counter, or forgotten when what was written has no seal.
    void recordVerifiedWrite(const VaultSeal& seal, const DeviceIdentity& device);

    // The counter the next save of a vault opened with openedSaveCounter carries to device.
    [[nodiscard]] quint64 nextSaveCounter(const DeviceIdentity& device, quint64 openedSaveCounter) const;
    // When this computer recorded the device's highest counter (invalid when never).
    [[nodiscard]] QDateTime highestSaveCounterTime(const DeviceIdentity& device) const;
    [[nodiscard]] bool isKnownSealed(const DeviceIdentity& device) const;

private:
    QString recordGroup(const DeviceIdentity& device) const;
    bool isOlder(const VaultSeal& seal, const DeviceIdentity& device) const;
    void writeRecord(const DeviceIdentity& device, bool isSealed, quint64 saveCounter);

    QSettings* store;
};
