#include "cli/CliDeviceAccess.h"

#include "common/UntrustedText.h"
#include "device/DeviceEnumeration.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "device/DeviceTransfer.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageFile.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
// Progress of the long transfers on standard error, shown only when a person watches it.
class TransferProgress
{
public:
    explicit TransferProgress(const QString& label, int total)
        : _label(label), _total(total), _isShown(isatty(STDERR_FILENO) == 1)
    {
        show(0);
    }
    ~TransferProgress()
    {
        if (_isShown)
            std::fputs("\n", stderr);
    }
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    // remainingSeconds: an estimate, or -1 for none.
    void show(int done, int remainingSeconds = -1)
    {
        if (!_isShown)
            return;
        const int percentage = _total > 0 ? done * 100 / _total : 100;
        if (percentage == _lastPercentage && remainingSeconds == _lastRemainingSeconds)
            return;
        _lastPercentage = percentage;
        _lastRemainingSeconds = remainingSeconds;
        // Padded, so that a shorter line leaves nothing of the one it replaces.
        const QString remaining =
            remainingSeconds >= 0 ? QStringLiteral(", about %1 s left").arg(remainingSeconds) : QString();
        std::fprintf(stderr, "\r%s: %3d%%%-22s", _label.toUtf8().constData(), percentage,
                     remaining.toUtf8().constData());
        std::fflush(stderr);
    }

private:
    QString _label;
    int _total;
    bool _isShown;
    int _lastPercentage = -1;
    int _lastRemainingSeconds = -1;
};

QString _memoryName_helper(int memoryIndex)
{
    return memoryIndex == DEVICE_MEMORY_MAIN ? QStringLiteral("main") : QStringLiteral("backup");
}

// Runs a transfer with a progress line that follows the bytes. After Ctrl+C it stops at the next safe
// point, isInterrupted set: a read at once (it changes nothing on the device), a write between two
// exchanges, so that no block is left half-sent.
int _runTransfer_helper(DeviceTransfer& transfer, const QString& label, bool isWriting, bool& isInterrupted)
{
    TransferProgress progress(label, 100);
    isInterrupted = false;
    while (!transfer.advance())
    {
        progress.show(static_cast<int>(transfer.completedByteCount() * 100 / transfer.totalByteCount()),
                      transfer.remainingSecondsEstimate());
        if (isCliInterrupted() && (!isWriting || transfer.isBetweenExchanges()))
        {
            isInterrupted = true;
            return transfer.stageResult();
        }
    }
    progress.show(100);
    return transfer.result();
}

// What each memory holds when a restore stops in the given stage, and how to finish.
QString _restoreInterruptionMessage_helper(int stageResult, const Device& device)
{
    switch (stageResult)
    {
    case DeviceTransfer::WRITE_RESULT_LED_BLINKING_FAILED:
    case DeviceTransfer::WRITE_RESULT_MAIN_SELECTION_FAILED:
        return QStringLiteral("restore stopped before anything was written: both memories of %1 still "
                              "hold the previous vault")
            .arg(describeDevice(device));
    case DeviceTransfer::WRITE_RESULT_MAIN_BLOCK_FAILED:
    case DeviceTransfer::WRITE_RESULT_MAIN_READ_BACK_FAILED:
    case DeviceTransfer::WRITE_RESULT_MAIN_VERIFICATION_FAILED:
        return QStringLiteral("restore stopped: the main memory of %1 is incomplete; the backup memory "
                              "still holds the previous vault; run restore again")
            .arg(describeDevice(device));
    case DeviceTransfer::WRITE_RESULT_BACKUP_SELECTION_FAILED:
    case DeviceTransfer::WRITE_RESULT_BACKUP_BLOCK_FAILED:
        return QStringLiteral("restore stopped: the main memory of %1 holds the restored vault (checked); "
                              "the backup memory is incomplete; run restore again")
            .arg(describeDevice(device));
    default:
        return QStringLiteral("restore stopped: both memories of %1 were written but not checked again; "
                              "run restore again to check them")
            .arg(describeDevice(device));
    }
}

QString _readFailureMessage_helper(int result, const Device& device)
{
    switch (result)
    {
    case DeviceTransfer::READ_RESULT_LED_BLINKING_FAILED:
        return QStringLiteral("could not make the LED of %1 blink").arg(describeDevice(device));
    case DeviceTransfer::READ_RESULT_MAIN_MEMORY_FAILED:
        return QStringLiteral("could not read the main memory of %1").arg(describeDevice(device));
    case DeviceTransfer::READ_RESULT_BACKUP_MEMORY_FAILED:
        return QStringLiteral("could not read the backup memory of %1").arg(describeDevice(device));
    default:
        return QStringLiteral("could not stop the LED of %1 from blinking").arg(describeDevice(device));
    }
}

QString _writeFailureMessage_helper(int result, const Device& device)
{
    switch (result)
    {
    case DeviceTransfer::WRITE_RESULT_LED_BLINKING_FAILED:
        return QStringLiteral("could not make the LED of %1 blink").arg(describeDevice(device));
    case DeviceTransfer::WRITE_RESULT_LED_STOPPING_FAILED:
        return QStringLiteral("could not stop the LED of %1 from blinking").arg(describeDevice(device));
    case DeviceTransfer::WRITE_RESULT_MAIN_VERIFICATION_FAILED:
        return QStringLiteral("write verification failed: the main memory of %1 does not hold what was "
                              "written, its backup memory was left as it was; retry, and consider changing "
                              "the device if this persists")
            .arg(describeDevice(device));
    default:
        return QStringLiteral("could not write to %1").arg(describeDevice(device));
    }
}

// "... (reading the main memory: the device stopped answering after 512 of 131072 bytes)"
QString _withCause_helper(const QString& message, const DeviceTransfer& transfer)
{
    return transfer.failureCause().isEmpty()
               ? message
               : QStringLiteral("%1 (%2)").arg(message, transfer.failureCause());
}
} // namespace

void CliDeviceCloser::operator()(Device* device) const
{
    device->close();
    delete device;
}

bool parseMemoryChoice(const QString& text, CliMemoryChoice& choice)
{
    if (text.isEmpty())
        choice = CLI_MEMORY_CHOICE_UNSET;
    else if (text == QLatin1String("main"))
        choice = CLI_MEMORY_CHOICE_MAIN;
    else if (text == QLatin1String("backup"))
        choice = CLI_MEMORY_CHOICE_BACKUP;
    else
        return false;
    return true;
}

std::unique_ptr<DevicePortInfo> selectDevicePort(const QString& usbSerialNumber, QString& errorMessage)
{
    const QList<DevicePortInfo> devices = enumerateDevices();
    if (!usbSerialNumber.isEmpty())
    {
        for (const DevicePortInfo& device : devices)
        {
            if (device.serialNumber() == usbSerialNumber)
                return std::make_unique<DevicePortInfo>(device);
        }
        errorMessage = QStringLiteral("device %1 not found").arg(usbSerialNumber);
        return nullptr;
    }
    if (devices.isEmpty())
    {
        errorMessage = QStringLiteral("no device found: connect a Corvane device");
        return nullptr;
    }
    if (devices.size() > 1)
    {
        QStringList serialNumbers;
        for (const DevicePortInfo& device : devices)
            serialNumbers.append(device.serialNumber());
        errorMessage =
            QStringLiteral("several devices are connected (%1): choose one with --device USB_SERIAL")
                .arg(serialNumbers.join(QStringLiteral(", ")));
        return nullptr;
    }
    return std::make_unique<DevicePortInfo>(devices.first());
}

CliDevicePointer openSelectedDevice(const QString& usbSerialNumber, QString& errorMessage)
{
    const std::unique_ptr<DevicePortInfo> portInfo = selectDevicePort(usbSerialNumber, errorMessage);
    if (!portInfo)
        return nullptr;
    CliDevicePointer device(new Device(*portInfo));
    if (device->open() != 0)
    {
        // The device's own words give the byte counts of a reply that stopped or crawled.
        const bool isReplyCounted = device->lastFailure() == DEVICE_FAILURE_SILENCE ||
                                    device->lastFailure() == DEVICE_FAILURE_TOO_SLOW;
        errorMessage = QStringLiteral("could not open device %1 (%2): %3")
                           .arg(portInfo->serialNumber(), portInfo->systemLocation(),
                                isReplyCounted ? device->lastFailureDescription()
                                               : describeOpenFailure(device->lastOpenErrorNumber()));
        return nullptr;
    }
    return device;
}

QString describeOpenFailure(int errorNumber)
{
    return describeDeviceFailureProblem(DeviceFailureCause::fromOpenErrorNumber(errorNumber));
}

QString describeDevice(const Device& device)
{
    // Device text: its line breaks and tabs are escaped too, so it cannot fake a line of its own.
    return QStringLiteral("device '%1' (%2)")
        .arg(escapeForTerminal(device.getName()), escapeForTerminal(device.getUsbSerialNumber()));
}

bool readDeviceMemories(Device& device, QString& errorMessage)
{
    DeviceTransfer transfer;
    transfer.startReading(&device);
    bool isInterrupted = false;
    const int result = _runTransfer_helper(transfer, QStringLiteral("Reading"), false, isInterrupted);
    if (isInterrupted)
    {
        errorMessage = QStringLiteral("reading %1 stopped; nothing was changed").arg(describeDevice(device));
        return false;
    }
    if (result == DeviceTransfer::READ_RESULT_SUCCESS)
        return true;
    errorMessage = _withCause_helper(_readFailureMessage_helper(result, device), transfer);
    return false;
}

bool chooseDeviceMemory(Device& device, CliMemoryChoice choice, const uint8_t*& image, QString& errorMessage)
{
    if (choice != CLI_MEMORY_CHOICE_UNSET)
    {
        image = device.getMemoryBuffer(choice);
        return true;
    }
    if (!areDeviceMemoriesEqual(device))
    {
        errorMessage =
            QStringLiteral("the main and backup memories of %1 differ (likely an interrupted write): "
                           "choose one with --memory main or --memory backup")
                .arg(describeDevice(device));
        return false;
    }
    image = device.getMemoryBuffer(DEVICE_MEMORY_MAIN);
    return true;
}

bool readStoredImage(const QString& imagePath, const QString& usbSerialNumber, CliMemoryChoice memoryChoice,
                     SecureImageBuffer& storedImage, DeviceIdentity& deviceIdentity, QString& errorMessage)
{
    if (!imagePath.isEmpty())
        return readMemoryImageFile(imagePath, storedImage.data(), errorMessage);
    const CliDevicePointer device = openSelectedDevice(usbSerialNumber, errorMessage);
    const uint8_t* image = nullptr;
    if (!device || !readDeviceMemories(*device, errorMessage) ||
        !chooseDeviceMemory(*device, memoryChoice, image, errorMessage))
        return false;
    storedImage.assign(image, MEMORY_IMAGE_SIZE);
    deviceIdentity = readDeviceIdentity(*device);
    return true;
}

bool writeAndVerifyDeviceMemories(Device& device, const uint8_t* image, QString& errorMessage)
{
    // The image may be one of the device's buffers, which the read-back overwrites.
    const SecureImageBuffer expectedImage(DEVICE_MEMORY_SIZE);
    std::memcpy(expectedImage.data(), image, DEVICE_MEMORY_SIZE);
    prepareDeviceWrite(device, expectedImage.data());
    DeviceTransfer transfer;
    transfer.startWriting(&device);
    bool isInterrupted = false;
    const int result = _runTransfer_helper(transfer, QStringLiteral("Writing"), true, isInterrupted);
    if (isInterrupted)
    {
        errorMessage = _restoreInterruptionMessage_helper(result, device);
        return false;
    }
    if (result != DeviceTransfer::WRITE_RESULT_SUCCESS)
    {
        errorMessage = _withCause_helper(_writeFailureMessage_helper(result, device), transfer);
        return false;
    }
    // Both memories once more, as a later open will read them, compared by the transfer as the window's are.
    transfer.startVerifying(&device, expectedImage.data(), expectedImage.data());
    const int verificationResult =
        _runTransfer_helper(transfer, QStringLiteral("Reading"), false, isInterrupted);
    if (isInterrupted)
    {
        errorMessage = _restoreInterruptionMessage_helper(DeviceTransfer::WRITE_RESULT_SUCCESS, device);
        return false;
    }
    if (verificationResult == DeviceTransfer::READ_RESULT_VERIFICATION_FAILED)
    {
        errorMessage = QStringLiteral("write verification failed: the %1 memory of %2 does not hold what was "
                                      "written; retry, and consider changing the device if this persists")
                           .arg(_memoryName_helper(transfer.failure().memoryIndex), describeDevice(device));
        return false;
    }
    if (verificationResult != DeviceTransfer::READ_RESULT_SUCCESS)
    {
        errorMessage = _withCause_helper(_readFailureMessage_helper(verificationResult, device), transfer);
        return false;
    }
    return true;
}
