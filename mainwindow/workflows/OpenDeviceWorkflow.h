#pragma once

#include "DeviceWorkflow.h"
#include "common/SecureImageBuffer.h"

// Opening a vault from a device: the open step, the master password, the read of both memories, the
// choice between differing memories and the decryption; a wrong password is asked again without a new read.
// The window shows the result: on success it takes the plaintext image, the password and the device's USB
// serial number.
class OpenDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    // The seal of the vault opened, after RESULT_SUCCESS.
    using DeviceWorkflow::openedSeal;
    explicit OpenDeviceWorkflow(WorkflowHost& host);
    ~OpenDeviceWorkflow() override;

    void start() override;
    void writeSecrets(QDataStream& stream) const override;
    void wipeSecrets() override;
    void restoreSecrets(QDataStream& stream) override;

    // After RESULT_SUCCESS, until the workflow goes (which zero-fills them).
    const uint8_t* plaintextImage() const;
    const QString& masterPassword() const;
    const QString& deviceUsbSerialNumber() const;

private:
    // Asked again after a wrong password, with the error on the page; the memories are read once.
    void askPassword();
    void decrypt();

    // It becomes the vault's master password only once that vault shows: a failed open leaves the vault on
    // screen with its own.
    QString password;
    SecureImageBuffer plaintext;
    QString usbSerialNumber;
};
