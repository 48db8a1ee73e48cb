// Device maintenance: the device copy wizard (decrypt a source device, re-encrypt its content under the
// target's password, write and verify the target), the device erasing wizard, and the entry points of the
// device information and device configuration pages. The open step, the device selection and the
// read/write dispatchers are shared with opening and saving (FormContentEditorDeviceOpenSave.cpp); they
// hand over to the continue...() hooks below.
//
// The copy wizard holds the source's decrypted image between the two devices. It is zero-filled, with both
// passwords, as soon as the copy is over: after the verified write (before the last page shows), and when
// the user leaves the target page backwards or the source page for good (the pages' wizardPageLeft()).
// A failed target step keeps it, because the target page stays up for another target device.
#include "FormContentEditor.h"

#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "device/DeviceIdentityReading.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "views/ViewContentConfigureDevice.h"
#include "views/ViewContentDeviceCopyWizardPage2.h"
#include "views/ViewContentDeviceCopyWizardPage3.h"
#include "views/ViewContentDeviceErasingWizardPage2.h"
#include "views/ViewContentReadDevice.h"

#include <QDate>
#include <QMessageBox>

#include <cstring>
#include <vector>

void FormContentEditor::initializeDeviceMaintenance()
{
    connect(form->actionDisplaySerialNumber, &QAction::triggered, this,
            &FormContentEditor::_slotActionShowDeviceInformation);
    connect(form->actionConfigureDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionChangeDeviceNameTriggered);
    connect(form->actionCopyDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionCopyDeviceTriggered);
    connect(form->actionEraseDevice, &QAction::triggered, this,
            &FormContentEditor::_slotActionEraseDeviceTriggered);

    // Queued: the page reports the failure from its activate(), before the page switch has completed.
    connect(pages.configureDevice, &ViewContentConfigureDevice::configurationLoadingFailed, this,
            &FormContentEditor::_slotViewContentConfigureDeviceConfigurationLoadingFailed,
            Qt::QueuedConnection);
    connect(pages.deviceErasingWizardPage2, &ViewContentDeviceErasingWizardPage2::erasingConfirmed, this,
            &FormContentEditor::_slotViewContentDeviceErasingWizardErasingConfirmed);
    connect(pages.deviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::passwordInserted, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardSourceDevicePasswordInserted);
    connect(pages.deviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::passwordInserted, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardTargetDevicePasswordInserted);
    connect(pages.deviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::wizardPageLeft, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardPageLeft);
    connect(pages.deviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::wizardPageLeft, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardPageLeft);
}

// Device information and configuration ---------------------------------------------------------------------

void FormContentEditor::_slotActionShowDeviceInformation()
{
    pendingOperation = PENDING_OPERATION_SHOW_DEVICE_INFORMATION;
    if (openDevice() == 0)
        continueShowDeviceInformation();
}

void FormContentEditor::continueShowDeviceInformation()
{
    // The page reads what it shows and closes the device.
    pushView(VIEW_ID_SHOW_DEVICE_INFORMATION);
}

void FormContentEditor::_slotActionChangeDeviceNameTriggered()
{
    pendingOperation = PENDING_OPERATION_CONFIGURE_DEVICE;
    if (openDevice() == 0)
        continueConfigureDevice();
}

void FormContentEditor::continueConfigureDevice()
{
    pushView(VIEW_ID_CONFIGURE_DEVICE);
}

void FormContentEditor::_slotViewContentConfigureDeviceConfigurationLoadingFailed(int returnValue)
{
    Q_UNUSED(returnValue)
    // The page has already closed the device.
    popView(VIEW_ID_COUNT);
    showErrorMessage(tr("Could not retrieve the device backup disable flag."), tr("Device access error"));
}

// Erasing --------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionEraseDeviceTriggered()
{
    pendingOperation = PENDING_OPERATION_ERASE_DEVICE;
    pushView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1);
}

void FormContentEditor::_slotViewContentDeviceErasingWizardErasingConfirmed(bool isDeviceNameResetRequested)
{
    this->isDeviceNameResetRequested = isDeviceNameResetRequested;
    pendingOperation = PENDING_OPERATION_ERASE_DEVICE;
    if (openDevice() == 0)
        continueEraseDevice();
}

void FormContentEditor::continueEraseDevice()
{
    eraseCurrentDevice();
}

void FormContentEditor::eraseCurrentDevice()
{
    // The device has no erase command: both memories receive zero-filled images. The write-finished handling
    // reads them back and the read-finished dispatcher comes back to continueEraseDeviceRead().
    Device* device = getCurrentDevice();
    if (!device)
        return;
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        std::memset(device->getMemoryBuffer(memoryIndex), 0, DEVICE_MEMORY_SIZE);
    pushView(VIEW_ID_WRITE_DEVICE);
}

void FormContentEditor::continueEraseDeviceRead(int returnValue)
{
    if (returnValue != ViewContentReadDevice::READ_RESULT_SUCCESS)
    {
        reportReadDeviceFailure(returnValue);
        return;
    }
    verifyErasedDevice();
}

void FormContentEditor::verifyErasedDevice()
{
    Device* device = getCurrentDevice();
    if (!device)
        return;
    const std::vector<uint8_t> zeroImage(MEMORY_IMAGE_SIZE, 0);
    if (!verifyCurrentDeviceMemories(zeroImage.data(), zeroImage.data()))
    {
        // Leaves the wizard; the message comes on top of the page it was started from.
        popView(VIEW_ID_COUNT);
        return;
    }

    if (isDeviceNameResetRequested)
    {
        const QDate today = QDate::currentDate();
        const QString name =
            QString::asprintf("Corvane %d-%02d-%02d", today.year(), today.month(), today.day());
        if (device->setName(name) != 0)
        {
            popView(VIEW_ID_COUNT);
            showErrorMessage(tr("Could not write the device name."));
            closeCurrentDevice();
            return;
        }
    }

    switchView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3);
    closeCurrentDevice();
}

// Copying: the source ---------------------------------------------------------------------------------------

void FormContentEditor::_slotActionCopyDeviceTriggered()
{
    copyWizard.clear();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1);
}

void FormContentEditor::_slotViewContentDeviceCopyWizardSourceDevicePasswordInserted(QString password)
{
    // A new try starts from nothing: what an earlier try left goes first.
    copyWizard.clear();
    copyWizard.setSourcePassword(password);
    pendingOperation = PENDING_OPERATION_COPY_READ_SOURCE_DEVICE;
    if (openDevice() == 0)
        continueCopyReadSourceDevice();
}

void FormContentEditor::continueCopyReadSourceDevice()
{
    pushView(VIEW_ID_READ_DEVICE);
}

void FormContentEditor::continueCopySourceDeviceRead(int returnValue)
{
    if (returnValue != ViewContentReadDevice::READ_RESULT_SUCCESS)
    {
        // Back on the source page, with the password still typed in for another try.
        copyWizard.clearSourcePassword();
        reportReadDeviceFailure(returnValue);
        return;
    }
    decryptCopySourceDevice();
}

void FormContentEditor::decryptCopySourceDevice()
{
    // The same choice between differing memories and the same trial of format versions as opening. A wrong
    // source password says nothing about the vault on screen, so isMasterPasswordKnown stays as it is.
    const uint8_t* plaintextImage = decryptCurrentDeviceImage(copyWizard.sourcePassword);
    if (!plaintextImage)
    {
        copyWizard.clearSourcePassword();
        return;
    }

    copyWizard.plaintextImage.assign(plaintextImage, MEMORY_IMAGE_SIZE);
    copyWizard.sourceSaveCounter = deviceOpenSave.openedSeal.saveCounter;
    copyWizard.sourceDeviceName = getCurrentDevice()->getName();
    copyWizard.sourceDeviceSerialNumber = getCurrentDevice()->getUsbSerialNumber();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
    // The user may now unplug the source and plug the target. Closing also zero-fills the device buffer that
    // holds the plaintext.
    closeCurrentDevice();
}

// Copying: the target ---------------------------------------------------------------------------------------

void FormContentEditor::_slotViewContentDeviceCopyWizardTargetDevicePasswordInserted(QString password)
{
    if (copyWizard.plaintextImage.isEmpty())
    {
        // Without the source content there is nothing to write: never write an empty image over a device.
        popView(VIEW_ID_COUNT);
        showErrorMessage(tr("The source device content is no longer available. Please read the source device "
                            "again."));
        return;
    }

    copyWizard.clearTarget();
    // An empty answer means the source device's master password.
    copyWizard.setTargetPassword(password.isEmpty() ? copyWizard.sourcePassword : password);
    pendingOperation = PENDING_OPERATION_COPY_WRITE_TARGET_DEVICE;
    if (openDevice() == 0)
        continueCopyWriteTargetDevice();
}

void FormContentEditor::continueCopyWriteTargetDevice()
{
    writeCopyTargetDevice();
}

void FormContentEditor::writeCopyTargetDevice()
{
    Device* device = getCurrentDevice();
    if (!device)
        return;

    if (isRefusedAsBackupTarget(
            device, tr("The selected target device can't be used as backup.\nThis feature can be configured "
                       "through the device configuration menu of the application.\n\nPlease insert another "
                       "target device or enable the backup feature on the current target device.")))
    {
        copyWizard.clearTarget();
        return;
    }

    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, tr("Confirmation"), copyConfirmationText(device),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    // The box ran an event loop: go on only with the device it was asked about.
    if (answer != QMessageBox::Yes || getCurrentDevice() != device)
    {
        closeCurrentDevice();
        copyWizard.clearTarget();
        return;
    }

    // The whole plaintext image is re-encrypted, filler included: the vault is not re-serialized, and the
    // vault shown in the window plays no part. The seal is made again under the target's password.
    copyWizard.writtenImage.assign(copyWizard.plaintextImage.data(), MEMORY_IMAGE_SIZE);
    copyWizard.targetDevice = readDeviceIdentity(*device);
    copyWizard.writtenSeal.saveCounter =
        DeviceSealMemory(settings).nextSaveCounter(copyWizard.targetDevice, copyWizard.sourceSaveCounter);
    if (encryptAndSealMemoryImage(copyWizard.targetPassword, MEMORY_IMAGE_FORMAT_VERSION,
                                  copyWizard.writtenImage.data(), &copyWizard.writtenSeal.state,
                                  copyWizard.writtenSeal.saveCounter) != 0)
    {
        showErrorMessage(tr("Failed to encrypt data, aborting."));
        closeCurrentDevice();
        copyWizard.clearTarget();
        return;
    }

    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        std::memcpy(device->getMemoryBuffer(memoryIndex), copyWizard.writtenImage.data(), DEVICE_MEMORY_SIZE);
    pushView(VIEW_ID_WRITE_DEVICE);
}

bool FormContentEditor::isRefusedAsBackupTarget(Device* device, const QString& refusalText)
{
    // A device flagged as "not a backup target" is refused before anything is written to it.
    bool isBackupDisabled = false;
    if (device->getBackupDisableFlag(isBackupDisabled) != 0)
    {
        showErrorMessage(tr("Could not retrieve the device backup disable flag."), tr("Device access error"));
        closeCurrentDevice();
        return true;
    }
    if (!isBackupDisabled)
        return false;
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Device backup disabled"),
                             refusalText, ViewContentMessageBoxDialog::BUTTON_OK,
                             ViewContentMessageBoxDialog::BUTTON_OK);
    closeCurrentDevice();
    return true;
}

QString FormContentEditor::copyConfirmationText(const Device* targetDevice) const
{
    const QString passwordComparison = copyWizard.sourcePassword == copyWizard.targetPassword
                                           ? tr("identical", "master password for device copy wizard")
                                           : tr("different", "master password for device copy wizard");
    // Device names are user text: escaped, or a name such as "<b>" would be rendered as markup. Serial
    // numbers tell apart two devices of the same name.
    const QString targetSerialNumber = targetDevice->getUsbSerialNumber();
    QString text =
        tr("Please confirm the device duplication settings.<br /><br />Source device name: <b>%1</b> "
           "(serial number %2)<br />Target device name: <b>%3</b> (serial number %4)<br />Source "
           "and target devices master password are <b>%5</b>.")
            .arg(makeVisibleAndIsolated(copyWizard.sourceDeviceName).toHtmlEscaped(),
                 makeVisibleAndIsolated(copyWizard.sourceDeviceSerialNumber).toHtmlEscaped(),
                 makeVisibleAndIsolated(targetDevice->getName()).toHtmlEscaped(),
                 makeVisibleAndIsolated(targetSerialNumber).toHtmlEscaped(), passwordComparison);
    if (targetSerialNumber == copyWizard.sourceDeviceSerialNumber)
        text += QStringLiteral("<br /><br />") +
                tr("<b>The source and the target are the same device:</b> its content will be written back "
                   "onto it.");
    return text + QStringLiteral("<br /><br />") + tr("Do you want to continue?");
}

void FormContentEditor::continueCopyTargetDeviceRead(int returnValue)
{
    if (returnValue != ViewContentReadDevice::READ_RESULT_SUCCESS)
    {
        copyWizard.clearTarget();
        reportReadDeviceFailure(returnValue);
        return;
    }
    verifyCopyTargetDevice();
}

void FormContentEditor::verifyCopyTargetDevice()
{
    if (copyWizard.writtenImage.isEmpty())
    {
        closeCurrentDevice();
        return;
    }
    if (!verifyCurrentDeviceMemories(copyWizard.writtenImage.data(), copyWizard.writtenImage.data()))
    {
        // Back on the target page: another target, or the same one again, can be tried.
        copyWizard.clearTarget();
        return;
    }

    DeviceSealMemory(settings).recordVerifiedWrite(copyWizard.writtenSeal, copyWizard.targetDevice);
    // The copy is done: nothing of the source may outlive it.
    copyWizard.clear();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4);
    closeCurrentDevice();
}

// Copy wizard data ------------------------------------------------------------------------------------------

void FormContentEditor::_slotViewContentDeviceCopyWizardPageLeft()
{
    copyWizard.clear();
}

bool FormContentEditor::isCopyWizardDataHeld() const
{
    return copyWizard.isHeld();
}
