#include "RestoreDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "app/Configuration.h"
#include "common/UntrustedText.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "mainwindow/DeviceBackupRecord.h"
#include "mainwindow/WindowPages.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageFile.h"
#include "vault/VaultImage.h"
#include "views/ViewContentInsertReadingMasterPassword.h"
#include "widgets/PlainTextMessage.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

RestoreDeviceWorkflow::RestoreDeviceWorkflow(WorkflowHost& host, FileNameAsker askFileName)
    : DeviceWorkflow(host), askFileName(std::move(askFileName))
{
}

void RestoreDeviceWorkflow::start()
{
    const QString directory = settingValue(SETTING_LAST_BACKUP_DIRECTORY);
    // A lock closes the file dialog unanswered: it is asked again after the unlock.
    if (!host.askAcrossLock([this, &directory]() { filePath = askFileName(directory); }))
        filePath.clear();
    if (filePath.isEmpty())
    {
        finish(RESULT_CANCELLED);
        return;
    }
    image.allocate(MEMORY_IMAGE_SIZE);
    QString errorMessage;
    // The same reading as corvane-cli restore: exactly one memory image, whatever the file's name.
    if (!readMemoryImageFile(filePath, image.data(), errorMessage))
    {
        image.clear();
        showFailure(plainTextMessage(tr("Could not read the backup file (%1).").arg(errorMessage)));
        finish(RESULT_FAILED);
        return;
    }
    askPassword();
}

void RestoreDeviceWorkflow::askPassword()
{
    askReadingPassword([this](const QString& password) { checkPassword(password); },
                       [this]()
                       {
                           image.clear();
                           finish(RESULT_CANCELLED);
                       });
}

void RestoreDeviceWorkflow::checkPassword(const QString& password)
{
    // A wrong file or password must be found before any device is touched.
    int result = 0;
    {
        SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
        result = openVaultImage(image.data(), password, plaintext.data(), &seal.state, &seal.saveCounter);
    }
    const QString wrongPasswordText =
        tr("Failed to decrypt data. Make sure you provided the correct password.");
    if (result == VAULT_IMAGE_WRONG_PASSWORD)
    {
        // As on opening a device: the same page again, with the error on it.
        pages().insertReadingMasterPassword->setErrorText(wrongPasswordText);
        askPassword();
        return;
    }
    if (result != VAULT_IMAGE_SUCCESS)
    {
        showFailure(wrongPasswordText);
        finish(RESULT_FAILED);
        return;
    }
    // A file changed without the password is found before any device is touched, like a device's data.
    if (!isSealAccepted(DeviceIdentity()))
        return;
    openDevice([this]() { confirmAndWrite(); }, [this]() { finish(RESULT_FAILED); },
               [this]() { finish(RESULT_CANCELLED); });
}

void RestoreDeviceWorkflow::confirmAndWrite()
{
    Device* device = session.device();
    // As for a copy: a device flagged as "not a backup target" is refused before anything is written.
    switch (checkBackupTarget(*device))
    {
    case BACKUP_TARGET_FLAG_UNREADABLE:
        showFailure(tr("Could not retrieve the device backup disable flag."), tr("Device access error"));
        finish(RESULT_FAILED);
        return;
    case BACKUP_TARGET_REFUSED:
        host.pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Device backup disabled"),
            tr("The selected device can't be used as backup target: nothing was written.\nThis feature can "
               "be "
               "configured through the device configuration menu of the application."),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        finish(RESULT_CANCELLED);
        return;
    case BACKUP_TARGET_ALLOWED:
        break;
    }
    // Only now is the target known: a backup older than what this computer saved to it is asked about.
    targetDevice = readDeviceIdentity(*device);
    if (!isSealAccepted(targetDevice) || session.device() != device)
        return;
    const QString fileName = QFileInfo(filePath).fileName();
    host.askQuestion(
        ViewContentMessageBoxDialog::ICON_QUESTION, tr("Confirm restoring device"),
        plainTextMessage(confirmationText(*device, fileName)),
        ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
        ViewContentMessageBoxDialog::BUTTON_NO,
        [this, fileName](int button)
        {
            if (button != ViewContentMessageBoxDialog::BUTTON_YES || !session.device())
            {
                finish(RESULT_CANCELLED);
                return;
            }
            prepareDeviceWrite(*session.device(), image.data());
            image.clear();
            writeAndVerifyDevice(
                seal, targetDevice,
                [this, fileName]()
                {
                    host.pushMessageBoxDialogView(
                        ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Restore success"),
                        plainTextMessage(
                            tr("The backup '%1' was written to the device '%2' and verified.\nYou "
                               "can safely remove the device if you want.")
                                .arg(fileName, makeVisibleAndIsolated(session.device()->getName()))),
                        ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
                    finish(RESULT_SUCCESS);
                },
                [this](bool) { finish(RESULT_FAILED); });
        });
}

QString RestoreDeviceWorkflow::confirmationText(const Device& device, const QString& fileName) const
{
    const QString usbSerialNumber = device.getUsbSerialNumber();
    QString text =
        tr("Restore the backup '%1' to the device '%2' (serial number %3)?\nAll device current data "
           "will be overwritten.")
            .arg(fileName, makeVisibleAndIsolated(device.getName()), makeVisibleAndIsolated(usbSerialNumber));
    // Two devices may share a name, and restoring one's backup onto the other is rarely meant.
    const QStringList origins = backupOrigins();
    if (!origins.isEmpty() && !origins.contains(usbSerialNumber))
        text += QLatin1Char('\n') + tr("This backup was made from another device (serial number %1).")
                                        .arg(makeVisibleAndIsolated(origins.first()));
    return text;
}

QStringList RestoreDeviceWorkflow::backupOrigins() const
{
    // This computer remembers what it backed up; a file from elsewhere still carries the serial number
    // in the name proposed for it, unless it was renamed.
    const QStringList recordedOrigins = DeviceBackupRecord::backupImageOrigins(image.data());
    if (!recordedOrigins.isEmpty())
        return recordedOrigins;
    static const QRegularExpression serialNumberInName(QStringLiteral("(?:^| )(TZQVR-[^ ]+) "));
    const QRegularExpressionMatch match = serialNumberInName.match(QFileInfo(filePath).fileName());
    return match.hasMatch() ? QStringList{match.captured(1)} : QStringList();
}

bool RestoreDeviceWorkflow::isSealAccepted(const DeviceIdentity& targetDevice)
{
    const QString question = sealQuestion(
        DeviceSealMemory(settings).judgeToBeWritten(seal, targetDevice), targetDevice,
        tr("The data in this backup file were modified outside Corvane Key Manager. Restore them anyway?"),
        tr("This backup holds an older vault than the one saved to this device from this computer on %1. "
           "Restore it anyway?"));
    if (question.isEmpty())
        return true;
    QMessageBox::StandardButton answer = QMessageBox::No;
    if (!host.askAcrossLock(
            [this, &answer, &question]()
            {
                answer = QMessageBox::question(host.dialogParent(), tr("Warning"), question,
                                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            }))
        answer = QMessageBox::No;
    if (answer == QMessageBox::Yes)
        return true;
    image.clear();
    finish(RESULT_CANCELLED);
    return false;
}
