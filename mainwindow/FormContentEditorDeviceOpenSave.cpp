// Opening a vault from a device and saving it back: the open step shared by every device workflow, the
// device selection and read-finished dispatchers, decryption of the chosen memory, and the save with its
// read-back verification.
//
// The save, step by step:
// 1. "Save" needs a known master password ("Set/change the master password then save" sets it first);
//    pending operation WRITE_DEVICE, then the open step (the only device, or the device selection page).
// 2. askSaveConfirmation(): the user confirms overwriting the device; the message page's Yes comes back
//    through the window's dialog dispatcher to encryptAndWriteVault(), any other answer closes the device.
// 3. encryptAndWriteVault() builds the sealed image into both device buffers and keeps a copy of each in
//    deviceOpenSave; pending VERIFY_WRITTEN_DEVICE. The write page writes the main memory, reads it back
//    and compares, and only then writes the backup memory.
// 4. The read page reads both memories back; verifyWrittenDevice() compares them with the kept copies,
//    which are zero-filled whatever the outcome, marks the vault saved and shows the success message.
// A failure at any step shows one message, closes the device and leaves the vault marked as modified.
// A result that arrives while the application is locked waits for the unlock (applicationLock).
#include "FormContentEditor.h"

#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "device/Device.h"
#include "device/DeviceEnumeration.h"
#include "device/DeviceOpening.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"
#include "views/ViewContentDeviceSelection.h"
#include "views/ViewContentInsertReadingMasterPassword.h"
#include "views/ViewContentInsertWritingMasterPassword.h"
#include "views/ViewContentReadDevice.h"
#include "views/ViewContentWriteDevice.h"
#include "widgets/PlainTextMessage.h"

#include <QMenu>
#include <QMessageBox>

#include <cerrno>
#include <cstring>
#include <vector>

void FormContentEditor::initializeDeviceOpenSave()
{
    connect(form->actionOpenDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionOpenDeviceClicked);
    connect(actionSaveMenuWrite, &QAction::triggered, this,
            &FormContentEditor::_slotActionWriteDeviceTriggered);
    connect(actionSaveMenuChangePasswordThenWrite, &QAction::triggered, this,
            &FormContentEditor::_slotActionChangePasswordThenWriteDeviceTriggered);

    connect(pages.deviceSelection, &ViewContentDeviceSelection::deviceSelected, this,
            &FormContentEditor::_slotViewContentDeviceSelectionDeviceSelected);
    connect(pages.insertReadingMasterPassword, &ViewContentInsertReadingMasterPassword::insertionFinished,
            this, &FormContentEditor::_slotViewContentInsertReadingMasterPasswordInsertionFinished);
    connect(pages.insertWritingMasterPassword, &ViewContentInsertWritingMasterPassword::insertionFinished,
            this, &FormContentEditor::_slotViewContentInsertWritingMasterPasswordInsertionFinished);
    connect(pages.readDevice, &ViewContentReadDevice::readFinished, this,
            &FormContentEditor::_slotViewContentReadDeviceReadFinished);
    connect(pages.writeDevice, &ViewContentWriteDevice::writeFinished, this,
            &FormContentEditor::_slotViewContentWriteDeviceWriteFinished);
}

void FormContentEditor::showErrorMessage(const QString& text, const QString& title)
{
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, title.isEmpty() ? tr("Error") : title,
                             text, ViewContentMessageBoxDialog::BUTTON_OK,
                             ViewContentMessageBoxDialog::BUTTON_OK);
}

// The open step ---------------------------------------------------------------------------------------------

int FormContentEditor::openDevice()
{
    // Every workflow ends by closing its device; one left over would keep its port busy.
    closeCurrentDevice();

    const QList<DevicePortInfo> ports = enumerateDevices();
    if (ports.size() != 1)
    {
        // None or several: the user plugs one in or chooses; the workflow goes on once the page finishes.
        pushDeviceSelectionView();
        return 1;
    }

    // Opened in steps, so that a device that keeps sending cannot freeze the window; the workflow goes on
    // as after the selection page. Another workflow started meanwhile closes the device first.
    auto* device = new Device(ports.first());
    setCurrentDevice(device);
    auto* opening = new DeviceOpening(device, this);
    connect(opening, &DeviceOpening::openingFinished, this,
            [this, device](int result)
            {
                if (getCurrentDevice() != device)
                    return;
                if (result == 0)
                {
                    _slotViewContentDeviceSelectionDeviceSelected(true);
                    return;
                }
                showErrorMessage(openDeviceFailureMessage(device->lastOpenErrorNumber()) +
                                 openDeviceFailureCause(*device));
                closeCurrentDevice();
            });
    return 1;
}

QString FormContentEditor::openDeviceFailureCause(const Device& device)
{
    // The permission hint already says why.
    const int errorNumber = device.lastOpenErrorNumber();
    if (errorNumber == EACCES || errorNumber == EPERM)
        return QString();
    return QLatin1Char('\n') + tr("Cause: %1.").arg(device.lastFailureDescription());
}

void FormContentEditor::pushDeviceSelectionView()
{
    const bool isSavingBack = pendingOperation == PENDING_OPERATION_WRITE_DEVICE;
    pages.deviceSelection->setPreferredDeviceSerialNumber(isSavingBack ? vaultSession.deviceUsbSerialNumber
                                                                       : QString());
    pushView(VIEW_ID_DEVICE_SELECTION);
}

QString FormContentEditor::openDeviceFailureMessage(int errorNumber)
{
    QString message = tr("Could not open the connected device.");
    if (errorNumber == EACCES || errorNumber == EPERM)
        message += QLatin1Char('\n') +
                   tr("Access to the device's serial port was denied. Install the udev rule shipped with the "
                      "application, or add your user to the \"dialout\" group and log in again.");
    return message;
}

void FormContentEditor::_slotViewContentDeviceSelectionDeviceSelected(bool isOperationSuccessful)
{
    // On cancel the selection page has already released every device.
    if (!isOperationSuccessful)
        return;

    switch (pendingOperation)
    {
    case PENDING_OPERATION_OPEN_DEVICE:
    case PENDING_OPERATION_BACKUP_DEVICE:
        pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
        break;
    case PENDING_OPERATION_RESTORE_DEVICE:
        continueRestoreDevice();
        break;
    case PENDING_OPERATION_WRITE_DEVICE:
        askSaveConfirmation();
        break;
    case PENDING_OPERATION_SHOW_DEVICE_INFORMATION:
        continueShowDeviceInformation();
        break;
    case PENDING_OPERATION_CONFIGURE_DEVICE:
        continueConfigureDevice();
        break;
    case PENDING_OPERATION_ERASE_DEVICE:
        continueEraseDevice();
        break;
    case PENDING_OPERATION_COPY_READ_SOURCE_DEVICE:
        continueCopyReadSourceDevice();
        break;
    case PENDING_OPERATION_COPY_WRITE_TARGET_DEVICE:
        continueCopyWriteTargetDevice();
        break;
    default:
        // No workflow waits for a device: do not keep its port open.
        closeCurrentDevice();
        break;
    }
}

void FormContentEditor::_slotViewContentReadDeviceReadFinished(int returnValue)
{
    if (!applicationLock.isApplicationUnlocked)
    {
        applicationLock.deferTransferResult(false, returnValue);
        return;
    }
    switch (pendingOperation)
    {
    case PENDING_OPERATION_ERASE_DEVICE:
        continueEraseDeviceRead(returnValue);
        return;
    case PENDING_OPERATION_COPY_READ_SOURCE_DEVICE:
        continueCopySourceDeviceRead(returnValue);
        return;
    case PENDING_OPERATION_COPY_WRITE_TARGET_DEVICE:
        continueCopyTargetDeviceRead(returnValue);
        return;
    default:
        break;
    }

    if (returnValue != ViewContentReadDevice::READ_RESULT_SUCCESS)
    {
        deviceOpenSave.clear();
        deviceRestore.clear();
        reportReadDeviceFailure(returnValue);
        return;
    }
    switch (pendingOperation)
    {
    case PENDING_OPERATION_OPEN_DEVICE:
        completeOpenDevice();
        break;
    case PENDING_OPERATION_BACKUP_DEVICE:
        completeBackupDevice();
        break;
    case PENDING_OPERATION_VERIFY_RESTORED_DEVICE:
        verifyRestoredDevice();
        break;
    case PENDING_OPERATION_VERIFY_WRITTEN_DEVICE:
        verifyWrittenDevice();
        break;
    default:
        closeCurrentDevice();
        break;
    }
}

void FormContentEditor::reportReadDeviceFailure(int returnValue)
{
    QString text;
    switch (returnValue)
    {
    case ViewContentReadDevice::READ_RESULT_LED_BLINKING_FAILED:
        text = tr("Could not make the device LED blink, aborting.");
        break;
    case ViewContentReadDevice::READ_RESULT_MAIN_MEMORY_FAILED:
        text = tr("Could not read the device main memory, aborting.");
        break;
    case ViewContentReadDevice::READ_RESULT_BACKUP_MEMORY_FAILED:
        text = tr("Could not read the device backup memory, aborting.");
        break;
    case ViewContentReadDevice::READ_RESULT_LED_STOPPING_FAILED:
    default:
        text = tr("Could not stop device led from blinking, aborting.");
        break;
    }
    showErrorMessage(text);
    closeCurrentDevice();
}

// Opening
// ----------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionOpenDeviceClicked()
{
    if (!vaultSession.isDataModified)
    {
        startOpeningDevice();
        return;
    }
    pendingOperation = PENDING_OPERATION_CONFIRM_OPEN_DEVICE;
    pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_QUESTION, tr("Opening a device"),
        tr("You have made some modifications to the currently displayed data without "
           "saving them.\nDo you confirm overwriting such unsaved data with the content of "
           "the newly opened device?"),
        ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
        ViewContentMessageBoxDialog::BUTTON_NO);
}

void FormContentEditor::_slotViewStartMenuOpenDeviceClicked()
{
    // Nothing can be lost from the start menu: no question.
    startOpeningDevice();
}

void FormContentEditor::startOpeningDevice()
{
    pendingOperation = PENDING_OPERATION_OPEN_DEVICE;
    if (openDevice() == 0)
        pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
}

void FormContentEditor::_slotViewContentInsertReadingMasterPasswordInsertionFinished(bool isValid,
                                                                                     QString password)
{
    if (!isValid)
    {
        closeCurrentDevice();
        deviceRestore.clear();
        return;
    }
    if (pendingOperation == PENDING_OPERATION_RESTORE_CHECK_FILE_PASSWORD)
    {
        checkRestoreFilePassword(password);
        secureClearString(password);
        return;
    }
    deviceOpenSave.setOpeningMasterPassword(password);
    secureClearString(password);
    pushView(VIEW_ID_READ_DEVICE);
}

void FormContentEditor::completeOpenDevice()
{
    // A wrong password for another device says nothing about the vault on screen: it keeps its own master
    // password, for saving and for unlocking, and stays lockable.
    const uint8_t* plaintext = decryptCurrentDeviceImage(deviceOpenSave.openingMasterPassword());
    if (!plaintext)
    {
        deviceOpenSave.clearOpeningMasterPassword();
        return;
    }

    vaultSession.replaceMasterPassword(deviceOpenSave.openingMasterPassword(), true);
    deviceOpenSave.clearOpeningMasterPassword();

    form->actionImportCSV->setEnabled(true);
    if (const Device* device = getCurrentDevice())
        vaultSession.deviceUsbSerialNumber = device->getUsbSerialNumber();
    updateDeviceBackupLabel();
    parseVault(plaintext);
    refreshTabMenus(0);
    setDataModified(false);
    switchView(VIEW_ID_CONTENT_EDITOR);
    clearViewStack();
    selectFirstRecord();
    // Also zero-fills the device buffers, one of which holds the plaintext.
    closeCurrentDevice();
}

uint8_t* FormContentEditor::decryptCurrentDeviceImage(const QString& password)
{
    Device* device = getCurrentDevice();
    if (!device)
        return nullptr;

    uint8_t* chosenImage = device->getMemoryBuffer(DEVICE_MEMORY_MAIN);
    uint8_t* backupImage = device->getMemoryBuffer(DEVICE_MEMORY_BACKUP);
    if (std::memcmp(chosenImage, backupImage, MEMORY_IMAGE_SIZE) != 0)
    {
        const QMessageBox::StandardButton answer = QMessageBox::warning(
            this, tr("Warning"),
            tr("Device main and backup memories do not have the same content. This is likely due to a power "
               "outage during previous device writing.\nDo you want to display the main memory content?\n\n"
               "Select 'Yes' to try with main memory or 'No' to try with backup memory.\nIf the memory you "
               "selected does not contain the expected data, re-read the device then try the other memory."),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
        // The box ran an event loop: go on only with the device it was asked about.
        if (getCurrentDevice() != device)
            return nullptr;
        if (answer == QMessageBox::No)
            chosenImage = backupImage;
        else if (answer != QMessageBox::Yes)
        {
            closeCurrentDevice();
            return nullptr;
        }
    }

    SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
    VaultSealState sealState = VAULT_SEAL_ABSENT;
    const int result = openVaultImage(chosenImage, password, plaintext.data(), &sealState);
    if (result == VAULT_IMAGE_SUCCESS)
    {
        const QString usbSerialNumber = device->getUsbSerialNumber();
        if (sealState == VAULT_SEAL_VALID)
            rememberDeviceVaultSealed(usbSerialNumber);
        // Without the password nobody can make a matching seal, but anybody can remove one: on a device seen
        // sealed, a vault without seal is as suspect as one whose seal does not match.
        else if (sealState == VAULT_SEAL_MISMATCH || isDeviceVaultKnownSealed(usbSerialNumber))
        {
            const QMessageBox::StandardButton answer = QMessageBox::question(
                this, tr("Warning"),
                tr("The data on this device were modified outside Corvane Key Manager. Open them anyway?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            // The box ran an event loop: go on only with the device it was asked about.
            if (answer != QMessageBox::Yes || getCurrentDevice() != device)
            {
                if (getCurrentDevice() == device)
                    closeCurrentDevice();
                return nullptr;
            }
        }
        std::memcpy(chosenImage, plaintext.data(), MEMORY_IMAGE_SIZE);
        return chosenImage;
    }
    if (result == VAULT_IMAGE_CRYPTO_FAILURE)
    {
        showErrorMessage(tr("Failed to decrypt data, aborting."));
        closeCurrentDevice();
        return nullptr;
    }
    showErrorMessage(tr("Failed to decrypt data. Make sure you provided the correct password."));
    closeCurrentDevice();
    return nullptr;
}

// Saving
// -------------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionWriteDeviceTriggered()
{
    // Only a vault with a master password can be encrypted.
    if (!vaultSession.isMasterPasswordKnown())
        return;
    pendingOperation = PENDING_OPERATION_WRITE_DEVICE;
    if (openDevice() == 0)
        askSaveConfirmation();
}

void FormContentEditor::_slotActionChangePasswordThenWriteDeviceTriggered()
{
    pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
}

void FormContentEditor::_slotViewContentInsertWritingMasterPasswordInsertionFinished(bool isValid,
                                                                                     QString password)
{
    if (!isValid)
    {
        // Nothing is open yet; the vault keeps its previous master password.
        closeCurrentDevice();
        return;
    }
    vaultSession.replaceMasterPassword(password, true);
    secureClearString(password);
    updateWidgetsState();
    _slotActionWriteDeviceTriggered();
}

void FormContentEditor::askSaveConfirmation()
{
    const Device* device = getCurrentDevice();
    if (!device)
        return;
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_QUESTION, tr("Confirm saving device"),
                             plainTextMessage(saveConfirmationText(device)),
                             ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
                             ViewContentMessageBoxDialog::BUTTON_NO);
}

QString FormContentEditor::saveConfirmationText(const Device* device) const
{
    const QString serialNumber = device->getUsbSerialNumber();
    QString text = tr("Save changes to the device '%1' (serial number %2)?\nAll device current data will be "
                      "overwritten.")
                       .arg(device->getName(), serialNumber);
    // Two devices may share a name: only the serial number shows that another device is about to be
    // overwritten with this vault.
    if (!vaultSession.deviceUsbSerialNumber.isEmpty() && vaultSession.deviceUsbSerialNumber != serialNumber)
        text += QLatin1Char('\n') + tr("This vault was opened from another device (serial number %1).")
                                        .arg(vaultSession.deviceUsbSerialNumber);
    return text;
}

void FormContentEditor::encryptAndWriteVault()
{
    Device* device = getCurrentDevice();
    if (!device)
        return;
    pendingOperation = PENDING_OPERATION_VERIFY_WRITTEN_DEVICE;

    uint8_t* image = device->getMemoryBuffer(DEVICE_MEMORY_MAIN);
    VaultSealState sealState = VAULT_SEAL_ABSENT;
    const int result = buildVaultImage(getVault(), vaultSession.masterPassword(), image, nullptr, &sealState);
    if (result == VAULT_IMAGE_NOT_ENOUGH_ROOM)
    {
        showErrorMessage(tr("There is not enough room in device memory. Please remove some passwords."));
        closeCurrentDevice();
        return;
    }
    if (result != VAULT_IMAGE_SUCCESS)
    {
        showErrorMessage(tr("Failed to encrypt data, aborting."));
        closeCurrentDevice();
        return;
    }
    // From now on this computer expects the device's vault sealed, so that removing the seal shows; a vault
    // too full for a seal is expected without one.
    if (sealState == VAULT_SEAL_VALID)
        rememberDeviceVaultSealed(device->getUsbSerialNumber());
    else
        forgetDeviceVaultSealed(device->getUsbSerialNumber());
    uint8_t* backupImage = device->getMemoryBuffer(DEVICE_MEMORY_BACKUP);
    std::memcpy(backupImage, image, MEMORY_IMAGE_SIZE);

    deviceOpenSave.keepWrittenImages(image, backupImage);
    pushView(VIEW_ID_WRITE_DEVICE);
}

void FormContentEditor::_slotViewContentWriteDeviceWriteFinished(int returnValue)
{
    if (!applicationLock.isApplicationUnlocked)
    {
        applicationLock.deferTransferResult(true, returnValue);
        return;
    }
    // Every writing workflow reads its memories back; the read-finished dispatcher goes on by pending
    // operation.
    if (returnValue == ViewContentWriteDevice::WRITE_RESULT_SUCCESS)
    {
        pushView(VIEW_ID_READ_DEVICE);
        return;
    }
    deviceOpenSave.releaseWrittenImages();
    // A failed verification ends the erase wizard, whether the main memory's early read-back or the final
    // one found it.
    if (returnValue == ViewContentWriteDevice::WRITE_RESULT_MAIN_VERIFICATION_FAILED &&
        pendingOperation == PENDING_OPERATION_ERASE_DEVICE)
        popView(VIEW_ID_COUNT);
    reportWriteDeviceFailure(returnValue);
}

void FormContentEditor::reportWriteDeviceFailure(int returnValue)
{
    QString text;
    QString title;
    switch (returnValue)
    {
    case ViewContentWriteDevice::WRITE_RESULT_LED_BLINKING_FAILED:
        text = tr("Could not make the device LED blink, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_LED_STOPPING_FAILED:
        text = tr("Could not stop the device LED from blinking, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_MAIN_SELECTION_FAILED:
        text = tr("Could not configure the access to the main memory, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_BACKUP_SELECTION_FAILED:
        text = tr("Could not configure the access to the backup memory, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_MAIN_BLOCK_FAILED:
        text = tr("Could not write data to the main memory, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_MAIN_READ_BACK_FAILED:
        text = tr("Could not read the device main memory, aborting.");
        break;
    case ViewContentWriteDevice::WRITE_RESULT_MAIN_VERIFICATION_FAILED:
        // The main memory is checked before the backup memory is touched: the previous vault is still
        // whole in the backup memory.
        title = tr("Write error");
        text = writeErrorMessage();
        break;
    case ViewContentWriteDevice::WRITE_RESULT_BACKUP_BLOCK_FAILED:
    default:
        text = tr("Could not write data to the backup memory, aborting.");
        break;
    }
    showErrorMessage(text, title);
    closeCurrentDevice();
}

QString FormContentEditor::writeErrorMessage()
{
    return tr("Data could not be successfully written. Please retry.\nConsider changing the device if this "
              "error is still occurring.");
}

bool FormContentEditor::verifyCurrentDeviceAgainstSavedImages()
{
    if (!deviceOpenSave.areWrittenImagesKept())
    {
        closeCurrentDevice();
        return false;
    }
    const bool isVerified = verifyCurrentDeviceMemories(deviceOpenSave.writtenImage(DEVICE_MEMORY_MAIN),
                                                        deviceOpenSave.writtenImage(DEVICE_MEMORY_BACKUP));
    deviceOpenSave.releaseWrittenImages();
    return isVerified;
}

void FormContentEditor::verifyWrittenDevice()
{
    if (!verifyCurrentDeviceAgainstSavedImages())
        return; // the vault stays marked as modified

    setDataModified(false);
    QString message =
        tr("All data were successfully written.\nYou can safely remove the device if you want.");
    if (const Device* device = getCurrentDevice())
    {
        vaultSession.deviceUsbSerialNumber = device->getUsbSerialNumber();
        setDeviceBackupDate(vaultSession.deviceUsbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_SAVE);
        const QString reminder = backupReminderAfterSave(vaultSession.deviceUsbSerialNumber);
        if (!reminder.isEmpty())
            message += QLatin1Char('\n') + reminder;
    }
    updateDeviceBackupLabel();
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Write success"), message,
                             ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
    closeCurrentDevice();
}

bool FormContentEditor::verifyCurrentDeviceMemories(const uint8_t* expectedMainImage,
                                                    const uint8_t* expectedBackupImage)
{
    Device* device = getCurrentDevice();
    const bool isVerified =
        device &&
        std::memcmp(device->getMemoryBuffer(DEVICE_MEMORY_MAIN), expectedMainImage, MEMORY_IMAGE_SIZE) == 0 &&
        std::memcmp(device->getMemoryBuffer(DEVICE_MEMORY_BACKUP), expectedBackupImage, MEMORY_IMAGE_SIZE) ==
            0;
    if (!isVerified)
    {
        showErrorMessage(writeErrorMessage(), tr("Write error"));
        closeCurrentDevice();
    }
    return isVerified;
}
