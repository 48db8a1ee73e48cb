#include "SaveDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"
#include "widgets/PlainTextMessage.h"

SaveDeviceWorkflow::SaveDeviceWorkflow(WorkflowHost& host, const Vault& vault, const QString& masterPassword,
                                       const QString& vaultUsbSerialNumber, quint64 vaultSaveCounter)
    // An unshared copy of the password, so that it can be zero-filled.
    : DeviceWorkflow(host), vault(vault), masterPassword(masterPassword.constData(), masterPassword.size()),
      vaultUsbSerialNumber(vaultUsbSerialNumber), vaultSaveCounter(vaultSaveCounter)
{
}

SaveDeviceWorkflow::~SaveDeviceWorkflow()
{
    secureClearString(masterPassword);
}

void SaveDeviceWorkflow::start()
{
    openDevice([this]() { askConfirmation(); }, [this]() { finish(RESULT_FAILED); },
               [this]() { finish(RESULT_CANCELLED); }, vaultUsbSerialNumber);
}

void SaveDeviceWorkflow::askConfirmation()
{
    host.askQuestion(ViewContentMessageBoxDialog::ICON_QUESTION, tr("Confirm saving device"),
                     plainTextMessage(confirmationText()),
                     ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
                     ViewContentMessageBoxDialog::BUTTON_NO,
                     [this](int button)
                     {
                         if (button == ViewContentMessageBoxDialog::BUTTON_YES)
                             encryptAndWrite();
                         else
                             finish(RESULT_CANCELLED);
                     });
}

QString SaveDeviceWorkflow::confirmationText() const
{
    const Device* device = session.device();
    const QString serialNumber = device ? device->getUsbSerialNumber() : QString();
    QString text = tr("Save changes to the device '%1' (serial number %2)?\nAll device current data will be "
                      "overwritten.")
                       .arg(device ? makeVisibleAndIsolated(device->getName()) : QString(),
                            makeVisibleAndIsolated(serialNumber));
    // Two devices may share a name: only the serial number shows that another device is about to be
    // overwritten with this vault.
    if (!vaultUsbSerialNumber.isEmpty() && vaultUsbSerialNumber != serialNumber)
        text += QLatin1Char('\n') +
                tr("This vault was opened from another device (serial number %1).").arg(vaultUsbSerialNumber);
    return text;
}

void SaveDeviceWorkflow::encryptAndWrite()
{
    Device* device = session.device();
    if (!device)
    {
        finish(RESULT_FAILED);
        return;
    }

    uint8_t* image = device->getMemoryBuffer(DEVICE_MEMORY_MAIN);
    const DeviceIdentity identity = readDeviceIdentity(*device);
    writtenSeal = VaultSeal();
    writtenSeal.saveCounter = DeviceSealMemory(settings).nextSaveCounter(identity, vaultSaveCounter);
    const int result =
        buildVaultImage(vault, masterPassword, image, nullptr, &writtenSeal.state, writtenSeal.saveCounter);
    // From here on the save handles the encrypted image only: nothing in clear stays for a lock to find.
    vault.clear();
    secureClearString(masterPassword);
    if (result != VAULT_IMAGE_SUCCESS)
    {
        showFailure(result == VAULT_IMAGE_NOT_ENOUGH_ROOM
                        ? tr("There is not enough room in device memory. Please remove some passwords.")
                        : tr("Failed to encrypt data, aborting."));
        finish(RESULT_FAILED);
        return;
    }
    prepareDeviceWrite(*device, image);

    writeAndVerifyDevice(
        writtenSeal, identity,
        [this]()
        {
            usbSerialNumber = session.device()->getUsbSerialNumber();
            finish(RESULT_SUCCESS);
        },
        [this](bool) { finish(RESULT_FAILED); });
}

void SaveDeviceWorkflow::writeSecrets(QDataStream& stream) const
{
    // Empty once the image is encrypted: the transfer needs nothing else.
    stream << masterPassword << vault;
}

void SaveDeviceWorkflow::wipeSecrets()
{
    secureClearString(masterPassword);
    // Shared with the window's tables, whose records are zero-filled when the tables go.
    vault.clear();
}

void SaveDeviceWorkflow::restoreSecrets(QDataStream& stream)
{
    stream >> masterPassword >> vault;
}

const VaultSeal& SaveDeviceWorkflow::savedSeal() const
{
    return writtenSeal;
}

const QString& SaveDeviceWorkflow::deviceUsbSerialNumber() const
{
    return usbSerialNumber;
}
