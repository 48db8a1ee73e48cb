#pragma once

#include "DeviceWorkflow.h"
#include "vault/VaultTab.h"

// Saving the vault shown to a device: the open step (the device the vault came from preselected), the
// confirmation naming the device, the sealed image built into both memories, the write with the main
// memory verified first, and the read-back. The window shows the result: on success the vault is saved.
class SaveDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    // vaultUsbSerialNumber: the device the vault was opened from or last saved to (empty: none).
    SaveDeviceWorkflow(WorkflowHost& host, const Vault& vault, const QString& masterPassword,
                       const QString& vaultUsbSerialNumber, quint64 vaultSaveCounter);
    ~SaveDeviceWorkflow() override;

    void start() override;
    void writeSecrets(QDataStream& stream) const override;
    void wipeSecrets() override;
    void restoreSecrets(QDataStream& stream) override;

    // The device written, after RESULT_SUCCESS.
    const QString& deviceUsbSerialNumber() const;
    // The seal written, after RESULT_SUCCESS.
    const VaultSeal& savedSeal() const;

private:
    void askConfirmation();
    // Names the device by name and serial number, and warns when it is not the one the vault came from.
    QString confirmationText() const;
    void encryptAndWrite();

    Vault vault;
    QString masterPassword;
    QString vaultUsbSerialNumber;
    quint64 vaultSaveCounter = 0;
    QString usbSerialNumber;
    VaultSeal writtenSeal;
};
