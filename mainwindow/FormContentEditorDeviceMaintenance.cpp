// Device maintenance: the device copy wizard (decrypt a source device, re-encrypt its content under the
// target's password, write and verify the target), the device erasing wizard, and the entry points of the
// device information and device configuration pages.
#include "FormContentEditor.h"

#include "device/Device.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/SecureMemory.h"
#include "views/ViewContentConfigureDevice.h"
#include "views/ViewContentDeviceCopyWizardPage2.h"
#include "views/ViewContentDeviceCopyWizardPage3.h"
#include "views/ViewContentDeviceErasingWizardPage2.h"

#include <QDate>
#include <QMessageBox>

#include <algorithm>
#include <cstring>

namespace
{
// A password the window keeps must not share its characters with the page's copy: only an unshared string
// can be overwritten when it is cleared.
QString _ownedCopy_helper(const QString& text)
{
    return QString(text.constData(), text.size());
}

bool _isZeroFilled_helper(const uint8_t* data, int size)
{
    return std::all_of(data, data + size, [](uint8_t byte) { return byte == 0; });
}
} // namespace

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
    connect(viewContentConfigureDevice, &ViewContentConfigureDevice::configurationLoadingFailed, this,
            &FormContentEditor::_slotViewContentConfigureDeviceConfigurationLoadingFailed,
            Qt::QueuedConnection);
    connect(viewContentDeviceErasingWizardPage2, &ViewContentDeviceErasingWizardPage2::erasingConfirmed, this,
            &FormContentEditor::_slotViewContentDeviceErasingWizardErasingConfirmed);
    connect(viewContentDeviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::passwordInserted, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardSourceDevicePasswordInserted);
    connect(viewContentDeviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::passwordInserted, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardTargetDevicePasswordInserted);
    connect(viewContentDeviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::wizardPageLeft, this,
            &FormContentEditor::_slotViewContentDeviceCopyWizardPageLeft);
    connect(viewContentDeviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::wizardPageLeft, this,
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
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Device access error"),
                             tr("Could not retrieve the device backup disable flag."),
                             ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
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
    // reads them back and the read-finished dispatcher comes back to verifyErasedDevice().
    Device* device = getCurrentDevice();
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        std::memset(device->getMemoryBuffer(memoryIndex), 0, DEVICE_MEMORY_SIZE);
    pushView(VIEW_ID_WRITE_DEVICE);
}

void FormContentEditor::verifyErasedDevice()
{
    Device* device = getCurrentDevice();
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
    {
        if (!_isZeroFilled_helper(device->getMemoryBuffer(memoryIndex), DEVICE_MEMORY_SIZE))
        {
            popView(VIEW_ID_COUNT);
            pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Write error"),
                                     tr("Data could not be successfully written. Please retry.\nConsider "
                                        "changing the device if this "
                                        "error is still occurring."),
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
            closeCurrentDevice();
            return;
        }
    }

    if (isDeviceNameResetRequested)
    {
        const QDate today = QDate::currentDate();
        const QString name =
            QString::asprintf("Corvane %d-%02d-%02d", today.year(), today.month(), today.day());
        if (device->setName(name) != 0)
        {
            popView(VIEW_ID_COUNT);
            pushMessageBoxDialogView(
                ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"), tr("Could not write the device name."),
                ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
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
    clearCopyWizardData();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1);
}

void FormContentEditor::_slotViewContentDeviceCopyWizardSourceDevicePasswordInserted(QString password)
{
    // A new try starts from nothing: what an earlier try left goes first.
    clearCopyWizardData();
    copySourcePassword = _ownedCopy_helper(password);
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
    if (returnValue != 0)
    {
        // The read-finished dispatcher reports the failure and closes the device; the user is back on the
        // source page with the password still typed in.
        secureClearString(copySourcePassword);
        return;
    }
    decryptCopySourceDevice();
}

void FormContentEditor::decryptCopySourceDevice()
{
    Device* device = getCurrentDevice();
    SecureImageBuffer plaintextImage;
    // TODO(merge): shared choice of memory and decryption of the open step.
    const int result = -1;
    Q_UNUSED(device)
    if (result != 0)
    {
        secureClearString(copySourcePassword);
        return;
    }

    copyPlaintextImage.assign(plaintextImage.data());
    copySourceDeviceName = getCurrentDevice()->getName();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
    // The user may now unplug the source and plug the target; its buffers, which held the plaintext, are
    // zero-filled with it.
    closeCurrentDevice();
}

// Copying: the target ---------------------------------------------------------------------------------------

void FormContentEditor::_slotViewContentDeviceCopyWizardTargetDevicePasswordInserted(QString password)
{
    if (copyPlaintextImage.isEmpty())
    {
        // Without the source content there is nothing to write; never write an empty image over a device.
        popView(VIEW_ID_COUNT);
        pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
            tr("The source device content is no longer available. Please read the source "
               "device again."),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    clearCopyTargetData();
    // An empty answer means the source device's master password.
    copyTargetPassword = _ownedCopy_helper(password.isEmpty() ? copySourcePassword : password);
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

    // A device flagged as "not a backup target" is refused before anything is written to it.
    bool isBackupDisabled = false;
    if (device->getBackupDisableFlag(isBackupDisabled) != 0)
    {
        pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Device access error"),
                                 tr("Could not retrieve the device backup disable flag."),
                                 ViewContentMessageBoxDialog::BUTTON_OK,
                                 ViewContentMessageBoxDialog::BUTTON_OK);
        closeCurrentDevice();
        clearCopyTargetData();
        return;
    }
    if (isBackupDisabled)
    {
        pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Device backup disabled"),
                                 tr("The selected target device can't be used as backup.\nThis feature can "
                                    "be configured through the "
                                    "device configuration menu of the application.\n\nPlease insert another "
                                    "target device or enable "
                                    "the backup feature on the current target device."),
                                 ViewContentMessageBoxDialog::BUTTON_OK,
                                 ViewContentMessageBoxDialog::BUTTON_OK);
        closeCurrentDevice();
        clearCopyTargetData();
        return;
    }

    const QString passwordComparison = copySourcePassword == copyTargetPassword
                                           ? tr("identical", "master password for device copy wizard")
                                           : tr("different", "master password for device copy wizard");
    // Device names are user text: escaped, or a name such as "<b>" would be rendered as markup.
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Confirmation"),
        tr("Please confirm the device duplication settings.<br /><br />Source device name: <b>%1</b><br "
           "/>Target "
           "device name: <b>%2</b><br />Source and target devices master password are <b>%3</b>.<br /><br "
           "/>Do "
           "you want to continue?")
            .arg(copySourceDeviceName.toHtmlEscaped(), device->getName().toHtmlEscaped(), passwordComparison),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
    {
        closeCurrentDevice();
        clearCopyTargetData();
        return;
    }

    // The whole plaintext image is re-encrypted, filler included: the vault is not re-serialized.
    copyWrittenImage.assign(copyPlaintextImage.data());
    if (encryptMemoryImage(copyTargetPassword, MEMORY_IMAGE_FORMAT_VERSION, copyWrittenImage.data()) != 0)
    {
        pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"), tr("Failed to encrypt data, aborting."),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        closeCurrentDevice();
        clearCopyTargetData();
        return;
    }

    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        std::memcpy(device->getMemoryBuffer(memoryIndex), copyWrittenImage.data(), DEVICE_MEMORY_SIZE);
    pushView(VIEW_ID_WRITE_DEVICE);
}

void FormContentEditor::verifyCopyTargetDevice()
{
    Device* device = getCurrentDevice();
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
    {
        if (copyWrittenImage.isEmpty() || std::memcmp(device->getMemoryBuffer(memoryIndex),
                                                      copyWrittenImage.data(), DEVICE_MEMORY_SIZE) != 0)
        {
            pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Write error"),
                                     tr("Data could not be successfully written. Please retry.\nConsider "
                                        "changing the device if this "
                                        "error is still occurring."),
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
            closeCurrentDevice();
            clearCopyTargetData();
            return;
        }
    }

    // The copy is done: nothing of the source may outlive it.
    clearCopyWizardData();
    pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4);
    closeCurrentDevice();
}

void FormContentEditor::_slotViewContentDeviceCopyWizardPageLeft()
{
    clearCopyWizardData();
}

void FormContentEditor::clearCopyWizardData()
{
    clearCopyTargetData();
    copyPlaintextImage.clear();
    secureClearString(copySourcePassword);
    copySourceDeviceName.clear();
}

void FormContentEditor::clearCopyTargetData()
{
    copyWrittenImage.clear();
    secureClearString(copyTargetPassword);
}

bool FormContentEditor::isCopyWizardDataHeld() const
{
    return !copyPlaintextImage.isEmpty() || !copyWrittenImage.isEmpty() || !copySourcePassword.isEmpty() ||
           !copyTargetPassword.isEmpty() || !copySourceDeviceName.isEmpty();
}
