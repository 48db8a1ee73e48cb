#pragma once

#include "common/SecureImageBuffer.h"
#include "vault/DeviceSealMemory.h"

#include <QString>

// What the device copy wizard holds between the source and the target device: both master passwords, the
// source's name and decrypted image, and the image encrypted for the target, kept for the read-back. All of
// it is zero-filled here, when the copy is over or its owner goes.
class CopyWizardState
{
public:
    CopyWizardState() = default;
    ~CopyWizardState();
    CopyWizardState(const CopyWizardState&) = delete;
    CopyWizardState& operator=(const CopyWizardState&) = delete;

    // Takes an unshared copy of the password: only an unshared string can be overwritten when cleared.
    void setSourcePassword(const QString& password);
    void setTargetPassword(const QString& password);
    void clearSourcePassword();

    // Zero-fills what only the target step used, keeping the source content for another target.
    void clearTarget();
    // Zero-fills everything: the copy is over.
    void clear();
    // Whether anything of a source device (content, passwords, name) is still held.
    bool isHeld() const;

    QString sourcePassword;
    QString targetPassword;
    QString sourceDeviceName;
    // Tells the source apart from a target of the same name.
    QString sourceDeviceSerialNumber;
    // The source's decrypted image.
    SecureImageBuffer plaintextImage;
    // The encrypted image sent to the target.
    SecureImageBuffer writtenImage;
    // The source's save counter; the seal written to the target and the target, recorded once verified.
    quint64 sourceSaveCounter = 0;
    VaultSeal writtenSeal;
    DeviceIdentity targetDevice;
};
