// Device backups: the encrypted image of a device saved to a file (read as opening does, checked to decrypt
// before anything is written) and a backup file written back to both memories of a device (checked to
// decrypt before any device is touched, refused on a device flagged as no backup target, verified by
// reading back), with the same transfer pages as opening and saving. Also the reminder: when each device
// was last backed up and last saved to, shown in the status area and after a save.
#include "FormContentEditor.h"

#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "device/DeviceIdentityReading.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageFile.h"
#include "vault/OwnerOnlyFileWriter.h"
#include "vault/VaultImage.h"
#include "widgets/PlainTextMessage.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstring>
#include <vector>

namespace
{
const char* const BACKUP_FILE_SUFFIX = ".corvane-backup";

QString _deviceKey_helper(const QString& usbSerialNumber, const char* key)
{
    return QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS "/%1/%2")
        .arg(usbSerialNumber, QString::fromLatin1(key));
}

} // namespace

void FormContentEditor::initializeDeviceBackup()
{
    connect(form->actionBackUpDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionBackUpDeviceTriggered);
    connect(form->actionRestoreDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionRestoreDeviceTriggered);
    updateDeviceBackupLabel();
}

void FormContentEditor::setBackupFileNameAskers(BackupFileNameAsker saveAsker, BackupFileNameAsker openAsker)
{
    backupSaveFileNameAsker = std::move(saveAsker);
    backupOpenFileNameAsker = std::move(openAsker);
}

QString FormContentEditor::proposedBackupFileName(const QString& deviceName, const QDate& date)
{
    // A "/" in a device name would turn the proposal into a path through a folder of that name.
    QString name = deviceName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("%1 %2%3").arg(name, date.toString(Qt::ISODate),
                                         QString::fromLatin1(BACKUP_FILE_SUFFIX));
}

// Reminder -------------------------------------------------------------------------------------------------

QDateTime FormContentEditor::deviceBackupDate(const QString& usbSerialNumber, const char* key)
{
    if (!settings || usbSerialNumber.isEmpty())
        return QDateTime();
    return QDateTime::fromString(settings->value(_deviceKey_helper(usbSerialNumber, key)).toString(),
                                 Qt::ISODateWithMs);
}

void FormContentEditor::setDeviceBackupDate(const QString& usbSerialNumber, const char* key)
{
    if (!settings || usbSerialNumber.isEmpty())
        return;
    settings->setValue(_deviceKey_helper(usbSerialNumber, key),
                       QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
}

bool FormContentEditor::isBackupReminderEnabled()
{
    return settings && settings->value(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true).toBool();
}

void FormContentEditor::updateDeviceBackupLabel()
{
    QLabel* label = form->labelDeviceBackup;
    if (!isBackupReminderEnabled() || vaultSession.deviceUsbSerialNumber.isEmpty())
    {
        label->clear();
        label->hide();
        return;
    }
    const QDateTime lastBackup =
        deviceBackupDate(vaultSession.deviceUsbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
    label->setText(lastBackup.isValid()
                       ? tr("Last backup of this device: %1")
                             .arg(QLocale().toString(lastBackup.toLocalTime().date(), QLocale::ShortFormat))
                       : tr("This device was never backed up"));
    label->show();
}

QString FormContentEditor::backupReminderAfterSave(const QString& usbSerialNumber) const
{
    if (!isBackupReminderEnabled())
        return QString();
    const QDateTime lastBackup = deviceBackupDate(usbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
    const QDateTime lastSave = deviceBackupDate(usbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_SAVE);
    if (lastBackup.isValid() && lastSave.isValid() && lastSave <= lastBackup)
        return QString();
    return tr("This device has changes that no backup holds yet: consider Device > Back up device to file.");
}

// Backing up -----------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionBackUpDeviceTriggered()
{
    pendingOperation = PENDING_OPERATION_BACKUP_DEVICE;
    if (openDevice() == 0)
        pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
}

void FormContentEditor::completeBackupDevice()
{
    Device* device = getCurrentDevice();
    if (!device)
    {
        deviceOpenSave.clearOpeningMasterPassword();
        return;
    }
    // Decryption works in the device buffers: the encrypted images are kept aside for the file.
    SecureImageBuffer encryptedImages[DEVICE_MEMORY_COUNT];
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        encryptedImages[memoryIndex].assign(device->getMemoryBuffer(memoryIndex), MEMORY_IMAGE_SIZE);
    const QString deviceName = device->getName();
    const QString shownDeviceName = makeVisibleAndIsolated(deviceName);
    const QString usbSerialNumber = device->getUsbSerialNumber();

    // The same memory choice and the same messages as opening; nothing is saved unless it decrypts.
    uint8_t* plaintext = decryptCurrentDeviceImage(deviceOpenSave.openingMasterPassword());
    deviceOpenSave.clearOpeningMasterPassword();
    if (!plaintext)
        return;
    const int memoryIndex = plaintext == device->getMemoryBuffer(DEVICE_MEMORY_BACKUP) ? DEVICE_MEMORY_BACKUP
                                                                                       : DEVICE_MEMORY_MAIN;
    // Also zero-fills the device buffers, one of which holds the plaintext.
    closeCurrentDevice();

    QString directory =
        settings ? settings->value(CONFIGURATION_KEY_LAST_BACKUP_DIRECTORY).toString() : QString();
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The file dialog would otherwise start in the working directory.
    if (!QFileInfo(directory).isDir())
        directory = QDir::homePath();
    const QString proposedPath =
        QDir(directory).filePath(proposedBackupFileName(deviceName, QDate::currentDate()));
    const auto askFileName = [this](const QString& proposed)
    {
        if (backupSaveFileNameAsker)
            return backupSaveFileNameAsker(proposed);
        return QFileDialog::getSaveFileName(this, tr("Back up the device to a file"), proposed,
                                            tr("Device backups (*.corvane-backup)"));
    };
    QString filePath = askFileName(proposedPath);
    // The dialog confirmed replacing the name as typed; with the suffix added it names another file.
    while (!filePath.isEmpty() && !filePath.endsWith(QLatin1String(BACKUP_FILE_SUFFIX)))
    {
        const QString completeFilePath = filePath + QLatin1String(BACKUP_FILE_SUFFIX);
        const QFileInfo completeFileInfo(completeFilePath);
        filePath = completeFileInfo.exists() || completeFileInfo.isSymLink() ? askFileName(completeFilePath)
                                                                             : completeFilePath;
    }
    if (filePath.isEmpty())
        return;
    if (settings)
        settings->setValue(CONFIGURATION_KEY_LAST_BACKUP_DIRECTORY, QFileInfo(filePath).path());

    OwnerOnlyFileWriter writer(filePath);
    if (!writer.open(true) ||
        !writer.write(reinterpret_cast<const char*>(encryptedImages[memoryIndex].data()),
                      MEMORY_IMAGE_SIZE) ||
        !writer.commit())
    {
        showErrorMessage(
            plainTextMessage(tr("Could not save the backup file '%1' (%2).")
                                 .arg(QDir::toNativeSeparators(filePath), writer.errorMessage())));
        return;
    }
    setDeviceBackupDate(usbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
    updateDeviceBackupLabel();
    pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Backup saved"),
        plainTextMessage(tr("The device '%1' was backed up to '%2'.\nThe file stays encrypted: restoring "
                            "it needs the device's master password.")
                             .arg(shownDeviceName, QDir::toNativeSeparators(filePath))),
        ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
}

// Restoring ------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionRestoreDeviceTriggered()
{
    deviceRestore.clear();
    QString directory =
        settings ? settings->value(CONFIGURATION_KEY_LAST_BACKUP_DIRECTORY).toString() : QString();
    const QString filePath =
        backupOpenFileNameAsker
            ? backupOpenFileNameAsker(directory)
            : QFileDialog::getOpenFileName(this, tr("Restore a device from a file"), directory,
                                           tr("Device backups (*.corvane-backup);;All files (*)"));
    if (filePath.isEmpty())
        return;

    deviceRestore.image.allocate(MEMORY_IMAGE_SIZE);
    QString errorMessage;
    // The same reading as corvane-cli restore: exactly one memory image, whatever the file's name.
    if (!readMemoryImageFile(filePath, deviceRestore.image.data(), errorMessage))
    {
        deviceRestore.clear();
        showErrorMessage(plainTextMessage(tr("Could not read the backup file (%1).").arg(errorMessage)));
        return;
    }
    deviceRestore.filePath = filePath;
    pendingOperation = PENDING_OPERATION_RESTORE_CHECK_FILE_PASSWORD;
    pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
}

void FormContentEditor::checkRestoreFilePassword(const QString& password)
{
    if (!deviceRestore.isImageHeld())
        return;
    // A wrong file or password must be found before any device is touched.
    int result = 0;
    {
        SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
        result = openVaultImage(deviceRestore.image.data(), password, plaintext.data(),
                                &deviceRestore.seal.state, &deviceRestore.seal.saveCounter);
    }
    if (result != VAULT_IMAGE_SUCCESS)
    {
        deviceRestore.clear();
        showErrorMessage(tr("Failed to decrypt data. Make sure you provided the correct password."));
        return;
    }
    // A file changed without the password is found before any device is touched, like a device's data.
    if (!isRestoreSealAccepted(DeviceIdentity()))
        return;
    pendingOperation = PENDING_OPERATION_RESTORE_DEVICE;
    if (openDevice() == 0)
        continueRestoreDevice();
}

void FormContentEditor::continueRestoreDevice()
{
    Device* device = getCurrentDevice();
    if (!device || !deviceRestore.isImageHeld())
    {
        closeCurrentDevice();
        deviceRestore.clear();
        return;
    }
    // As for a copy: a device flagged as "not a backup target" is refused before anything is written.
    if (isRefusedAsBackupTarget(
            device,
            tr("The selected device can't be used as backup target: nothing was written.\nThis feature "
               "can be configured through the device configuration menu of the application.")))
    {
        deviceRestore.clear();
        return;
    }
    // Only now is the target known: a backup older than what this computer saved to it is asked about.
    deviceRestore.targetDevice = readDeviceIdentity(*device);
    if (!isRestoreSealAccepted(deviceRestore.targetDevice) || getCurrentDevice() != device)
    {
        if (getCurrentDevice() == device)
            closeCurrentDevice();
        return;
    }
    pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_QUESTION, tr("Confirm restoring device"),
        plainTextMessage(tr("Restore the backup '%1' to the device '%2'?\nAll device current data will "
                            "be overwritten.")
                             .arg(QFileInfo(deviceRestore.filePath).fileName(),
                                  makeVisibleAndIsolated(device->getName()))),
        ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
        ViewContentMessageBoxDialog::BUTTON_NO);
}

void FormContentEditor::writeRestoredImage()
{
    Device* device = getCurrentDevice();
    if (!device || !deviceRestore.isImageHeld())
    {
        closeCurrentDevice();
        deviceRestore.clear();
        return;
    }
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        std::memcpy(device->getMemoryBuffer(memoryIndex), deviceRestore.image.data(), MEMORY_IMAGE_SIZE);
    deviceOpenSave.keepWrittenImages(deviceRestore.image.data(), deviceRestore.image.data());
    deviceOpenSave.writtenSeal = deviceRestore.seal;
    deviceOpenSave.writtenDevice = deviceRestore.targetDevice;
    // The write page writes, the read page reads back, and the read dispatcher comes back here.
    pendingOperation = PENDING_OPERATION_VERIFY_RESTORED_DEVICE;
    pushView(VIEW_ID_WRITE_DEVICE);
}

void FormContentEditor::verifyRestoredDevice()
{
    const QString fileName = QFileInfo(deviceRestore.filePath).fileName();
    deviceRestore.clear();
    const VaultSeal writtenSeal = deviceOpenSave.writtenSeal;
    const DeviceIdentity writtenDevice = deviceOpenSave.writtenDevice;
    if (!verifyCurrentDeviceAgainstSavedImages())
        return;
    // The next open of this device must expect what the file held, sealed or not.
    DeviceSealMemory(settings).recordVerifiedWrite(writtenSeal, writtenDevice);
    const Device* device = getCurrentDevice();
    const QString deviceName = device ? makeVisibleAndIsolated(device->getName()) : QString();
    pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Restore success"),
        plainTextMessage(tr("The backup '%1' was written to the device '%2' and verified.\nYou can safely "
                            "remove the device if you want.")
                             .arg(fileName, deviceName)),
        ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
    closeCurrentDevice();
}

bool FormContentEditor::isRestoreSealAccepted(const DeviceIdentity& targetDevice)
{
    const QString question = sealQuestion(
        DeviceSealMemory(settings).judgeToBeWritten(deviceRestore.seal, targetDevice), targetDevice,
        tr("The data in this backup file were modified outside Corvane Key Manager. Restore them anyway?"),
        tr("This backup holds an older vault than the one saved to this device from this computer on %1. "
           "Restore it anyway?"));
    if (question.isEmpty())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Warning"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        return true;
    deviceRestore.clear();
    return false;
}
