#pragma once

#include "DeviceWorkflow.h"

#include <QDate>

#include <functional>

// Backing a device up to a file: the open step, the master password and the read as for opening; the image
// must decrypt before anything is saved, then the chosen memory's encrypted image goes to the file the
// user names. The file stays encrypted.
class BackUpDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    // Asks where to save, given the proposed path; an empty answer means cancelled.
    using FileNameAsker = std::function<QString(const QString& proposedPath)>;

    BackUpDeviceWorkflow(WorkflowHost& host, FileNameAsker askFileName);
    ~BackUpDeviceWorkflow() override;

    void start() override;
    void writeSecrets(QDataStream& stream) const override;
    void wipeSecrets() override;
    void restoreSecrets(QDataStream& stream) override;

    // The device backed up, after RESULT_SUCCESS.
    const QString& deviceUsbSerialNumber() const;

    // The proposed file name of a backup: "<device name> <USB serial number> <YYYY-MM-DD>.corvane-backup",
    // so that devices of the same name do not propose the same file.
    static QString proposedFileName(const QString& deviceName, const QString& usbSerialNumber,
                                    const QDate& date);
    static const char FILE_SUFFIX[];

private:
    // Asked again after a wrong password, with the error on the page; the memories are read once.
    void askPassword();
    void saveImage();
    // The path to save to, with the suffix; empty when cancelled.
    QString askFilePath(const QString& deviceName, const QString& deviceUsbSerialNumber);

    FileNameAsker askFileName;
    QString password;
    QString usbSerialNumber;
};
