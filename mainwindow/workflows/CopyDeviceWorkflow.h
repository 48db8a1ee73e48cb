#pragma once

#include "DeviceWorkflow.h"
#include "mainwindow/CopyWizardState.h"

// The device copy wizard: the source device read and decrypted with its password, then its content
// re-encrypted under the target's password and written to the target (refused when the target is flagged
// as no backup target), verified by reading back. Everything of the source is zero-filled as soon as the
// copy is over or its pages are left; a failed target step keeps it for another target.
class CopyDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    explicit CopyDeviceWorkflow(WorkflowHost& host);

    void start() override;
    void writeSecrets(QDataStream& stream) const override;
    void wipeSecrets() override;
    void restoreSecrets(QDataStream& stream) override;

    // Whether anything of a source device (content, passwords, name) is held.
    bool isDataHeld() const;

private:
    void readSource(const QString& password);
    void decryptSource();
    void writeTarget(const QString& password);
    void encryptAndWriteTarget();
    // The duplication settings with both serial numbers, and a warning when source and target are one device.
    QString confirmationText(const Device* targetDevice) const;

    CopyWizardState state;
};
