// list, info, backup and restore: the commands that work on devices and raw memory images.

#include "app/Configuration.h"
#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliDeviceAccess.h"
#include "cli/CliExitCode.h"
#include "cli/CliFiles.h"
#include "cli/CliTerminalInput.h"
#include "cli/CliVaultImage.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "device/DeviceEnumeration.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "vault/DeviceSealMemory.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"

namespace
{
QCommandLineOption _deviceOption_helper()
{
    return QCommandLineOption(QStringLiteral("device"),
                              QStringLiteral("The device with this USB serial number (needed when several "
                                             "devices are connected; see 'corvane-cli list')."),
                              QStringLiteral("USB_SERIAL"));
}

QCommandLineOption _memoryOption_helper()
{
    return QCommandLineOption(QStringLiteral("memory"),
                              QStringLiteral("Use this memory when the main and backup memories differ "
                                             "(main or backup)."),
                              QStringLiteral("main|backup"));
}

QString _describeListedDevice_helper(const DevicePortInfo& portInfo)
{
    Device device(portInfo);
    const int result = device.open();
    const QString description =
        result == 0
            ? escapeForTerminal(device.getName())
            : QStringLiteral("(cannot open: %1)").arg(describeOpenFailure(device.lastOpenErrorNumber()));
    device.close();
    return description;
}

// A memory whose bytes are all the same holds no encrypted vault: an erased device, or one that repeats a
// byte instead of answering. Saving it would make a useless backup look like a good one.
bool _checkVaultImage_helper(const Device& device, const uint8_t* image, QString& errorMessage)
{
    if (isVaultImageCandidate(image))
        return true;
    if (image[0] == 0)
        errorMessage = QStringLiteral("%1 holds no vault (its memory is erased); nothing was saved")
                           .arg(describeDevice(device));
    else
        errorMessage =
            QStringLiteral("%1 sent %2 bytes that are all 0x%3, not a vault image; nothing was saved")
                .arg(describeDevice(device), QString::number(DEVICE_MEMORY_SIZE),
                     QStringLiteral("%1").arg(image[0], 2, 16, QLatin1Char('0')));
    return false;
}

// The application's settings store, open while the object lives.
struct ConfigurationScope
{
    ConfigurationScope()
    {
        initializeConfiguration();
    }
    ~ConfigurationScope()
    {
        releaseConfiguration();
    }
    ConfigurationScope(const ConfigurationScope&) = delete;
    ConfigurationScope& operator=(const ConfigurationScope&) = delete;
};

// Decrypts the image with the master password read from the terminal or standard input, for its seal.
bool _readFileSeal_helper(const uint8_t* image, VaultSeal& seal, QString& errorMessage)
{
    QString masterPassword;
    if (!readPassword(QStringLiteral("Master password of the file: "), masterPassword, errorMessage))
        return false;
    Vault vault;
    const bool isDecrypted =
        decryptVaultImage(image, masterPassword, vault, errorMessage, &seal.state, &seal.saveCounter);
    secureClearString(masterPassword);
    clearVault(vault);
    return isDecrypted;
}

int _reportInterruption_helper(const QString& message)
{
    reportFailure(message);
    return CLI_EXIT_CODE_INTERRUPTED;
}

int _reportFlagReadFailure_helper(const Device& device)
{
    return reportFailure(
        QStringLiteral("could not retrieve the backup disable flag of %1").arg(describeDevice(device)));
}
} // namespace

int runListCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("list"), QString(),
        QStringLiteral("Lists the connected devices, one per line: USB serial number, port and device name, "
                       "separated by tabs. A device that cannot be opened shows why instead of its name."));
    if (const int exitCode = commandLine.parse(arguments, 0, 0);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;

    for (const DevicePortInfo& portInfo : enumerateDevices())
        printLine(QStringLiteral("%1\t%2\t%3")
                      .arg(escapeForTerminal(portInfo.serialNumber()),
                           escapeForTerminal(portInfo.systemLocation()),
                           _describeListedDevice_helper(portInfo)));
    return CLI_EXIT_CODE_SUCCESS;
}

int runInfoCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(QStringLiteral("info"), QStringLiteral("[--device USB_SERIAL]"),
                               QStringLiteral("Shows the name, serial number, hardware and firmware versions "
                                              "and backup disable flag of a device."));
    const QCommandLineOption deviceOption = _deviceOption_helper();
    commandLine.addOption(deviceOption);
    if (const int exitCode = commandLine.parse(arguments, 0, 0);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;

    QString errorMessage;
    const CliDevicePointer device = openSelectedDevice(commandLine.value(deviceOption), errorMessage);
    if (!device)
        return reportFailure(errorMessage);
    QString serialNumber;
    if (device->getSerialNumber(serialNumber) != 0)
        return reportFailure(
            QStringLiteral("could not retrieve the serial number of %1").arg(describeDevice(*device)));
    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    if (device->getVersions(hardwareVersion, firmwareVersion) != 0)
        return reportFailure(QStringLiteral("could not retrieve the hardware and firmware versions of %1")
                                 .arg(describeDevice(*device)));
    bool isBackupDisabled = false;
    if (device->getBackupDisableFlag(isBackupDisabled) != 0)
        return _reportFlagReadFailure_helper(*device);

    printLine(QStringLiteral("Device name: %1").arg(escapeForTerminal(device->getName())));
    printLine(QStringLiteral("Serial number: %1").arg(escapeForTerminal(serialNumber)));
    printLine(QStringLiteral("Hardware version: %1").arg(hardwareVersion));
    printLine(QStringLiteral("Firmware version: %1").arg(firmwareVersion));
    printLine(QStringLiteral("Prevent using this device as a backup target: %1")
                  .arg(isBackupDisabled ? QStringLiteral("yes") : QStringLiteral("no")));
    printLine(QStringLiteral("USB serial number: %1").arg(escapeForTerminal(device->getUsbSerialNumber())));
    printLine(QStringLiteral("Port: %1").arg(escapeForTerminal(device->getPortInfo().systemLocation())));
    return CLI_EXIT_CODE_SUCCESS;
}

int runBackupCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("backup"),
        QStringLiteral("[--device USB_SERIAL] [--memory main|backup] [--force] FILE"),
        QStringLiteral(
            "Reads both memories of a device and saves the encrypted memory image (131072 bytes) to "
            "FILE, readable by its owner only. The image stays encrypted under the device's master "
            "password; 'corvane-cli restore' writes it back, 'corvane-cli export --image' decrypts it."));
    const QCommandLineOption deviceOption = _deviceOption_helper();
    const QCommandLineOption memoryOption = _memoryOption_helper();
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Replace FILE if it exists."));
    commandLine.addOption(deviceOption);
    commandLine.addOption(memoryOption);
    commandLine.addOption(forceOption);
    commandLine.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The image file to create."),
                                      QStringLiteral("FILE"));
    if (const int exitCode = commandLine.parse(arguments, 1, 1);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;
    CliMemoryChoice memoryChoice = CLI_MEMORY_CHOICE_UNSET;
    if (!parseMemoryChoice(commandLine.value(memoryOption), memoryChoice))
        return commandLine.reportUsageError(QStringLiteral("--memory takes main or backup"));
    const QString filePath = commandLine.positionalArguments().first();
    const bool isReplacingAllowed = commandLine.isSet(forceOption);
    if (!isReplacingAllowed && pathExists(filePath))
        return reportFailure(QStringLiteral("'%1' already exists (use --force to replace it)").arg(filePath));

    QString errorMessage;
    const CliDevicePointer device = openSelectedDevice(commandLine.value(deviceOption), errorMessage);
    if (!device)
        return reportFailure(errorMessage);
    const CliInterruptionGuard interruptionGuard;
    if (!readDeviceMemories(*device, errorMessage))
        return isCliInterrupted()
                   ? _reportInterruption_helper(QStringLiteral("backup stopped; no file was written"))
                   : reportFailure(errorMessage);
    const uint8_t* image = nullptr;
    if (!chooseDeviceMemory(*device, memoryChoice, image, errorMessage) ||
        !_checkVaultImage_helper(*device, image, errorMessage) ||
        !writeOwnerOnlyFile(filePath, image, DEVICE_MEMORY_SIZE, isReplacingAllowed, errorMessage))
        return reportFailure(errorMessage);
    printNote(QStringLiteral("Saved the memory image of %1 to '%2'.").arg(describeDevice(*device), filePath));
    return CLI_EXIT_CODE_SUCCESS;
}

int runRestoreCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("restore"),
        QStringLiteral(
            "[--device USB_SERIAL] [--yes] [--accept-modified] [--accept-older] [--unchecked] FILE"),
        QStringLiteral(
            "Writes a memory image file made by 'corvane-cli backup' (or 'corvane-cli import') to both "
            "memories of a device, main first, then reads both back and compares them with the file. "
            "Everything the device held is replaced. The file's master password is asked first (on the "
            "terminal, or one line of standard input) to check its integrity seal: a file modified outside "
            "Corvane Key Manager, or older than the vault saved to the device from this computer, is refused "
            "before anything is written. A device whose backup disable flag is set is refused too."));
    const QCommandLineOption acceptModifiedOption(
        QStringLiteral("accept-modified"),
        QStringLiteral("Restore a file whose seal shows it was modified outside Corvane Key Manager."));
    const QCommandLineOption acceptOlderOption(
        QStringLiteral("accept-older"),
        QStringLiteral("Restore a file older than the vault saved to the device from this computer."));
    const QCommandLineOption uncheckedOption(
        QStringLiteral("unchecked"),
        QStringLiteral("Write the file without asking its password: its seal is not checked (for an image "
                       "that is not a vault of this application)."));
    const QCommandLineOption deviceOption = _deviceOption_helper();
    const QCommandLineOption yesOption(
        QStringLiteral("yes"), QStringLiteral("Do not ask for confirmation (needed when standard input is "
                                              "not a terminal)."));
    for (const QCommandLineOption& option :
         {deviceOption, yesOption, acceptModifiedOption, acceptOlderOption, uncheckedOption})
        commandLine.addOption(option);
    commandLine.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The image file to write."),
                                      QStringLiteral("FILE"));
    if (const int exitCode = commandLine.parse(arguments, 1, 1);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;
    const bool isConfirmed = commandLine.isSet(yesOption);
    if (!isConfirmed && !isStandardInputTerminal())
        return commandLine.reportUsageError(QStringLiteral(
            "confirmation needed: standard input is not a terminal, pass --yes to overwrite the device"));

    const QString filePath = commandLine.positionalArguments().first();
    SecureImageBuffer image(MEMORY_IMAGE_SIZE);
    QString errorMessage;
    if (!readMemoryImageFile(filePath, image.data(), errorMessage))
        return reportFailure(errorMessage);
    const bool isChecked = !commandLine.isSet(uncheckedOption);
    VaultSeal seal;
    // A wrong password or a file changed without the password is found before any device is touched.
    if (isChecked && !_readFileSeal_helper(image.data(), seal, errorMessage))
        return reportFailure(errorMessage);
    const CliSealOptions sealOptions{commandLine.isSet(acceptModifiedOption),
                                     commandLine.isSet(acceptOlderOption), false};
    if (isChecked &&
        !acceptVaultSeal(seal, DeviceSealMemory(nullptr).judgeToBeWritten(seal, DeviceIdentity()),
                         sealOptions, QString(), errorMessage))
        return reportFailure(errorMessage + QStringLiteral("; nothing was written"));

    const CliDevicePointer device = openSelectedDevice(commandLine.value(deviceOption), errorMessage);
    if (!device)
        return reportFailure(errorMessage);
    const BackupTargetCheck targetCheck = checkBackupTarget(*device);
    if (targetCheck == BACKUP_TARGET_FLAG_UNREADABLE)
        return _reportFlagReadFailure_helper(*device);
    if (targetCheck == BACKUP_TARGET_REFUSED)
        return reportFailure(
            QStringLiteral("%1 can't be used as backup target: its backup disable flag is set "
                           "(\"Prevent using this device as a backup target\"); nothing was written")
                .arg(describeDevice(*device)));
    // The devices' records live in the application's settings store, shared with the window.
    const DeviceIdentity identity = readDeviceIdentity(*device);
    const ConfigurationScope configurationScope;
    if (isChecked)
    {
        DeviceSealMemory sealMemory(settings);
        const bool isAccepted =
            acceptVaultSeal(seal, sealMemory.judgeToBeWritten(seal, identity), sealOptions,
                            formatSavedTime(sealMemory.highestSaveCounterTime(identity)), errorMessage);
        if (!isAccepted)
            return reportFailure(errorMessage + QStringLiteral("; nothing was written"));
    }
    if (!isConfirmed)
    {
        bool isAccepted = false;
        if (!askConfirmation(
                QStringLiteral("Overwrite all data of %1 with '%2'?").arg(describeDevice(*device), filePath),
                isAccepted, errorMessage))
            return reportFailure(errorMessage);
        if (!isAccepted)
            return reportFailure(QStringLiteral("restore cancelled; nothing was written"));
    }

    const CliInterruptionGuard interruptionGuard;
    if (!writeAndVerifyDeviceMemories(*device, image.data(), errorMessage))
        return isCliInterrupted() ? _reportInterruption_helper(errorMessage) : reportFailure(errorMessage);
    // What the device holds now, verified: without the password its seal is unknown, so nothing is expected.
    DeviceSealMemory(settings).recordVerifiedWrite(isChecked ? seal : VaultSeal(), identity);
    printNote(QStringLiteral("Wrote '%1' to both memories of %2 and verified them.")
                  .arg(filePath, describeDevice(*device)));
    return CLI_EXIT_CODE_SUCCESS;
}
