#include "OpenDeviceWorkflow.h"

#include "common/SecureMemory.h"
#include "vault/MemoryImage.h"

OpenDeviceWorkflow::OpenDeviceWorkflow(WorkflowHost& host) : DeviceWorkflow(host) {}

OpenDeviceWorkflow::~OpenDeviceWorkflow()
{
    secureClearString(password);
}

void OpenDeviceWorkflow::start()
{
    openDevice([this]() { askPassword(); }, [this]() { finish(RESULT_FAILED); },
               [this]() { finish(RESULT_CANCELLED); });
}

void OpenDeviceWorkflow::askPassword()
{
    // Cancel closes the device, which zero-fills the images read for an earlier password.
    askReadingPassword(
        [this](const QString& typedPassword)
        {
            // An unshared copy, so that it can be zero-filled.
            password = QString(typedPassword.constData(), typedPassword.size());
            readDeviceOnce([this]() { decrypt(); }, [this]() { finish(RESULT_FAILED); });
        },
        [this]() { finish(RESULT_CANCELLED); });
}

void OpenDeviceWorkflow::decrypt()
{
    // A wrong password for another device says nothing about the vault on screen: it keeps its own master
    // password, for saving and for unlocking, and stays lockable.
    const uint8_t* image = decryptDeviceImage(password, WRONG_PASSWORD_ASKED_AGAIN);
    if (!image)
    {
        secureClearString(password);
        if (isReadingPasswordWrong())
            askPassword();
        else
            finishUnsuccessfully();
        return;
    }
    plaintext.assign(image, MEMORY_IMAGE_SIZE);
    usbSerialNumber = session.device()->getUsbSerialNumber();
    // Closing also zero-fills the device buffer that holds the plaintext.
    finish(RESULT_SUCCESS);
}

const uint8_t* OpenDeviceWorkflow::plaintextImage() const
{
    return plaintext.data();
}

void OpenDeviceWorkflow::writeSecrets(QDataStream& stream) const
{
    stream << password;
    writeSecureImage(stream, plaintext);
}

void OpenDeviceWorkflow::wipeSecrets()
{
    secureClearString(password);
    plaintext.clear();
}

void OpenDeviceWorkflow::restoreSecrets(QDataStream& stream)
{
    stream >> password;
    readSecureImage(stream, plaintext);
}

const QString& OpenDeviceWorkflow::masterPassword() const
{
    return password;
}

const QString& OpenDeviceWorkflow::deviceUsbSerialNumber() const
{
    return usbSerialNumber;
}
