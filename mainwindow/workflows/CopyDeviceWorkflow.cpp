#include "CopyDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "mainwindow/WindowPages.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "views/ViewContentDeviceCopyWizardPage2.h"
#include "views/ViewContentDeviceCopyWizardPage3.h"

#include <QMessageBox>

CopyDeviceWorkflow::CopyDeviceWorkflow(WorkflowHost& host) : DeviceWorkflow(host) {}

void CopyDeviceWorkflow::start()
{
    // Each page may be confirmed again after a failure; leaving page 2 or 3 backwards ends the copy.
    track(connect(pages().deviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::passwordInserted, this,
                  &CopyDeviceWorkflow::readSource));
    track(connect(pages().deviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::passwordInserted, this,
                  &CopyDeviceWorkflow::writeTarget));
    track(connect(pages().deviceCopyWizardPage2, &ViewContentDeviceCopyWizardPage2::wizardPageLeft, this,
                  [this]() { state.clear(); }));
    track(connect(pages().deviceCopyWizardPage3, &ViewContentDeviceCopyWizardPage3::wizardPageLeft, this,
                  [this]() { state.clear(); }));
    host.pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1);
}

void CopyDeviceWorkflow::writeSecrets(QDataStream& stream) const
{
    // The image written to a target is encrypted: it stays for the read-back that may run behind the lock.
    stream << state.sourcePassword << state.targetPassword;
    writeSecureImage(stream, state.plaintextImage);
}

void CopyDeviceWorkflow::wipeSecrets()
{
    secureClearString(state.sourcePassword);
    secureClearString(state.targetPassword);
    state.plaintextImage.clear();
}

void CopyDeviceWorkflow::restoreSecrets(QDataStream& stream)
{
    stream >> state.sourcePassword >> state.targetPassword;
    readSecureImage(stream, state.plaintextImage);
}

bool CopyDeviceWorkflow::isDataHeld() const
{
    return state.isHeld();
}

// The source -----------------------------------------------------------------------------------------------

void CopyDeviceWorkflow::readSource(const QString& password)
{
    // A new try starts from nothing: what an earlier try left goes first.
    state.clear();
    state.setSourcePassword(password);
    // Back on the source page after a failure, with the password still typed in for another try.
    const auto keepPage = [this]() { state.clearSourcePassword(); };
    openDevice([this, keepPage]() { readDevice([this]() { decryptSource(); }, keepPage); }, keepPage,
               keepPage);
}

void CopyDeviceWorkflow::decryptSource()
{
    // The same choice between differing memories and the same trial of format versions as opening. A wrong
    // source password says nothing about the vault on screen.
    const uint8_t* plaintextImage = decryptDeviceImage(state.sourcePassword);
    if (!plaintextImage)
    {
        state.clearSourcePassword();
        return;
    }
    state.plaintextImage.assign(plaintextImage, MEMORY_IMAGE_SIZE);
    state.sourceSaveCounter = openedSeal().saveCounter;
    state.sourceDeviceName = session.device()->getName();
    state.sourceDeviceSerialNumber = session.device()->getUsbSerialNumber();
    host.pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
    // The user may now unplug the source and plug the target. Closing also zero-fills the device buffer that
    // holds the plaintext.
    session.close();
}

// The target -----------------------------------------------------------------------------------------------

void CopyDeviceWorkflow::writeTarget(const QString& password)
{
    if (state.plaintextImage.isEmpty())
    {
        // Without the source content there is nothing to write: never write an empty image over a device.
        host.popView(VIEW_ID_COUNT);
        showFailure(tr("The source device content is no longer available. Please read the source device "
                       "again."));
        return;
    }
    state.clearTarget();
    // An empty answer means the source device's master password.
    state.setTargetPassword(password.isEmpty() ? state.sourcePassword : password);
    const auto keepPage = [this]() { state.clearTarget(); };
    openDevice([this]() { encryptAndWriteTarget(); }, keepPage, keepPage);
}

void CopyDeviceWorkflow::encryptAndWriteTarget()
{
    Device* device = session.device();
    const BackupTargetCheck targetCheck = checkBackupTarget(*device);
    if (targetCheck == BACKUP_TARGET_FLAG_UNREADABLE)
        showFailure(tr("Could not retrieve the device backup disable flag."), tr("Device access error"));
    if (targetCheck == BACKUP_TARGET_REFUSED)
    {
        host.pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Device backup disabled"),
            tr("The selected target device can't be used as backup.\nThis feature can be configured through "
               "the device configuration menu of the application.\n\nPlease insert another target device or "
               "enable the backup feature on the current target device."),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        session.close();
    }
    if (targetCheck != BACKUP_TARGET_ALLOWED)
    {
        state.clearTarget();
        return;
    }

    QMessageBox::StandardButton answer = QMessageBox::No;
    const QString text = confirmationText(device);
    if (!host.askAcrossLock(
            [this, &answer, &text]()
            {
                answer = QMessageBox::question(host.dialogParent(), tr("Confirmation"), text,
                                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            }))
        answer = QMessageBox::No;
    // The box ran an event loop: go on only with the device it was asked about.
    if (answer != QMessageBox::Yes || session.device() != device)
    {
        session.close();
        state.clearTarget();
        return;
    }

    // The whole plaintext image is re-encrypted, filler included: the vault is not re-serialized, and the
    // vault shown in the window plays no part. The seal is made again under the target's password.
    state.writtenImage.assign(state.plaintextImage.data(), MEMORY_IMAGE_SIZE);
    state.targetDevice = readDeviceIdentity(*device);
    state.writtenSeal = VaultSeal();
    state.writtenSeal.saveCounter =
        DeviceSealMemory(settings).nextSaveCounter(state.targetDevice, state.sourceSaveCounter);
    if (encryptAndSealMemoryImage(state.targetPassword, MEMORY_IMAGE_FORMAT_VERSION,
                                  state.writtenImage.data(), &state.writtenSeal.state,
                                  state.writtenSeal.saveCounter) != 0)
    {
        showFailure(tr("Failed to encrypt data, aborting."));
        state.clearTarget();
        return;
    }
    prepareDeviceWrite(*device, state.writtenImage.data());
    writeAndVerifyDevice(
        state.writtenSeal, state.targetDevice,
        [this]()
        {
            // The copy is done: nothing of the source may outlive it.
            state.clear();
            host.pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4);
            finish(RESULT_SUCCESS);
        },
        // Back on the target page: another target, or the same one again, can be tried.
        [this](bool) { state.clearTarget(); });
}

QString CopyDeviceWorkflow::confirmationText(const Device* targetDevice) const
{
    const QString passwordComparison = state.sourcePassword == state.targetPassword
                                           ? tr("identical", "master password for device copy wizard")
                                           : tr("different", "master password for device copy wizard");
    // Device names are user text: escaped, or a name such as "<b>" would be rendered as markup. Serial
    // numbers tell apart two devices of the same name.
    const QString targetSerialNumber = targetDevice->getUsbSerialNumber();
    QString text =
        tr("Please confirm the device duplication settings.<br /><br />Source device name: <b>%1</b> "
           "(serial number %2)<br />Target device name: <b>%3</b> (serial number %4)<br />Source "
           "and target devices master password are <b>%5</b>.")
            .arg(makeVisibleAndIsolated(state.sourceDeviceName).toHtmlEscaped(),
                 makeVisibleAndIsolated(state.sourceDeviceSerialNumber).toHtmlEscaped(),
                 makeVisibleAndIsolated(targetDevice->getName()).toHtmlEscaped(),
                 makeVisibleAndIsolated(targetSerialNumber).toHtmlEscaped(), passwordComparison);
    if (targetSerialNumber == state.sourceDeviceSerialNumber)
        text += QStringLiteral("<br /><br />") +
                tr("<b>The source and the target are the same device:</b> its content will be written back "
                   "onto it.");
    return text + QStringLiteral("<br /><br />") + tr("Do you want to continue?");
}
