#include "BackUpDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "app/Configuration.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "mainwindow/DeviceBackupRecord.h"
#include "vault/MemoryImage.h"
#include "vault/OwnerOnlyFileWriter.h"
#include "widgets/PlainTextMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

const char BackUpDeviceWorkflow::FILE_SUFFIX[] = ".corvane-backup";

BackUpDeviceWorkflow::BackUpDeviceWorkflow(WorkflowHost& host, FileNameAsker askFileName)
    : DeviceWorkflow(host), askFileName(std::move(askFileName))
{
}

BackUpDeviceWorkflow::~BackUpDeviceWorkflow()
{
    secureClearString(password);
}

QString BackUpDeviceWorkflow::proposedFileName(const QString& deviceName, const QString& usbSerialNumber,
                                               const QDate& date)
{
    // A "/" in a device name would turn the proposal into a path through a folder of that name.
    QString name = deviceName + QLatin1Char(' ') + usbSerialNumber;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("%1 %2%3").arg(name, date.toString(Qt::ISODate), QString::fromLatin1(FILE_SUFFIX));
}

void BackUpDeviceWorkflow::start()
{
    openDevice([this]() { askPassword(); }, [this]() { finish(RESULT_FAILED); },
               [this]() { finish(RESULT_CANCELLED); });
}

void BackUpDeviceWorkflow::askPassword()
{
    // Cancel closes the device, which zero-fills the images read for an earlier password.
    askReadingPassword(
        [this](const QString& typedPassword)
        {
            password = QString(typedPassword.constData(), typedPassword.size());
            readDeviceOnce([this]() { saveImage(); }, [this]() { finish(RESULT_FAILED); });
        },
        [this]() { finish(RESULT_CANCELLED); });
}

void BackUpDeviceWorkflow::saveImage()
{
    Device* device = session.device();
    // Decryption works in the device buffers: the encrypted images are kept aside for the file.
    SecureImageBuffer encryptedImages[DEVICE_MEMORY_COUNT];
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        encryptedImages[memoryIndex].assign(device->getMemoryBuffer(memoryIndex), MEMORY_IMAGE_SIZE);
    const QString deviceName = device->getName();
    const QString deviceUsbSerialNumber = device->getUsbSerialNumber();

    // The same memory choice and the same messages as opening; nothing is saved unless it decrypts.
    const uint8_t* plaintext = decryptDeviceImage(password, WRONG_PASSWORD_ASKED_AGAIN);
    secureClearString(password);
    if (!plaintext)
    {
        if (isReadingPasswordWrong())
            askPassword();
        else
            finishUnsuccessfully();
        return;
    }
    const int memoryIndex = plaintext == device->getMemoryBuffer(DEVICE_MEMORY_BACKUP) ? DEVICE_MEMORY_BACKUP
                                                                                       : DEVICE_MEMORY_MAIN;
    // Also zero-fills the device buffers, one of which holds the plaintext.
    session.close();

    const QString filePath = askFilePath(deviceName, deviceUsbSerialNumber);
    if (filePath.isEmpty())
    {
        finish(RESULT_CANCELLED);
        return;
    }
    setSettingValue(SETTING_LAST_BACKUP_DIRECTORY, QFileInfo(filePath).path());

    OwnerOnlyFileWriter writer(filePath);
    if (!writer.open(true) ||
        !writer.write(reinterpret_cast<const char*>(encryptedImages[memoryIndex].data()),
                      MEMORY_IMAGE_SIZE) ||
        !writer.commit())
    {
        showFailure(plainTextMessage(tr("Could not save the backup file '%1' (%2).")
                                         .arg(QDir::toNativeSeparators(filePath), writer.errorMessage())));
        finish(RESULT_FAILED);
        return;
    }
    DeviceBackupRecord::recordBackupImage(deviceUsbSerialNumber, encryptedImages[memoryIndex].data());
    host.pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Backup saved"),
        plainTextMessage(
            tr("The device '%1' was backed up to '%2'.\nThe file stays encrypted: restoring it needs "
               "the device's master password.")
                .arg(makeVisibleAndIsolated(deviceName), QDir::toNativeSeparators(filePath))),
        ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
    usbSerialNumber = deviceUsbSerialNumber;
    finish(RESULT_SUCCESS);
}

QString BackUpDeviceWorkflow::askFilePath(const QString& deviceName, const QString& deviceUsbSerialNumber)
{
    QString directory = settingValue(SETTING_LAST_BACKUP_DIRECTORY);
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The file dialog would otherwise start in the working directory.
    if (!QFileInfo(directory).isDir())
        directory = QDir::homePath();
    QString filePath;
    // A lock closes the file dialog unanswered: it is asked again after the unlock, as every question below.
    const auto ask = [this, &filePath](const QString& proposedPath)
    {
        if (!host.askAcrossLock([this, &filePath, &proposedPath]() { filePath = askFileName(proposedPath); }))
            filePath.clear();
    };
    ask(QDir(directory).filePath(proposedFileName(deviceName, deviceUsbSerialNumber, QDate::currentDate())));
    // The dialog confirmed replacing the name as typed; with the suffix added it names another file.
    while (!filePath.isEmpty() && !filePath.endsWith(QLatin1String(FILE_SUFFIX)))
    {
        const QString completeFilePath = filePath + QLatin1String(FILE_SUFFIX);
        const QFileInfo completeFileInfo(completeFilePath);
        if (completeFileInfo.exists() || completeFileInfo.isSymLink())
            ask(completeFilePath);
        else
            filePath = completeFilePath;
    }
    return filePath;
}

void BackUpDeviceWorkflow::writeSecrets(QDataStream& stream) const
{
    stream << password;
}

void BackUpDeviceWorkflow::wipeSecrets()
{
    secureClearString(password);
}

void BackUpDeviceWorkflow::restoreSecrets(QDataStream& stream)
{
    stream >> password;
}

const QString& BackUpDeviceWorkflow::deviceUsbSerialNumber() const
{
    return usbSerialNumber;
}
