#pragma once

#include "DeviceWorkflow.h"
#include "common/SecureImageBuffer.h"

#include <functional>

// Restoring a backup file to a device: the file read and checked to decrypt with its password before any
// device is touched, the open step, the refusal of a device flagged as no backup target, the
// confirmation, the image written to both memories (main verified first) and read back.
class RestoreDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    // Asks which file to restore, given the folder to start in; an empty answer means cancelled.
    using FileNameAsker = std::function<QString(const QString& directory)>;

    RestoreDeviceWorkflow(WorkflowHost& host, FileNameAsker askFileName);

    void start() override;

private:
    // Asked again after a wrong password, with the error on the page.
    void askPassword();
    void checkPassword(const QString& password);
    void confirmAndWrite();
    // Names the device as the save confirmation does, and says when the backup came from another one.
    QString confirmationText(const Device& device, const QString& fileName) const;
    // The USB serial numbers of the devices the backup came from, empty when unknown.
    QStringList backupOrigins() const;
    // Asks about the file's seal as judged for targetDevice; false (restore dropped) unless accepted.
    [[nodiscard]] bool isSealAccepted(const DeviceIdentity& targetDevice);

    FileNameAsker askFileName;
    QString filePath;
    SecureImageBuffer image;
    // The file's seal, found when its password was checked.
    VaultSeal seal;
    // The device written, asked once and kept for the record of what was written.
    DeviceIdentity targetDevice;
};
