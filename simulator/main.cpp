// corvane-device-simulator: a simulated vault device on a pseudo-terminal (see --help).

#include "simulator/DeviceFirmwareModel.h"
#include "simulator/PseudoTerminalServer.h"
#include "simulator/SimulatorOptions.h"
#include "simulator/SimulatorStateStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
int _fail_helper(const QString& message)
{
    std::fprintf(stderr, "corvane-device-simulator: %s\n", qPrintable(message));
    return 1;
}

// The stop signals are taken through a descriptor so the serving loop sees them like any input.
int _createStopSignalFileDescriptor_helper()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0)
        return -1;
    return signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
}

void _applyOptions_helper(const SimulatorOptions& options, DeviceFirmwareModel& model)
{
    QByteArray field;
    if (options.name &&
        DeviceFirmwareModel::makeTextField(*options.name, DeviceFirmwareModel::NAME_FIELD_SIZE, field))
        model.setNameField(field);
    if (options.serialNumber &&
        DeviceFirmwareModel::makeTextField(*options.serialNumber,
                                           DeviceFirmwareModel::SERIAL_NUMBER_FIELD_SIZE, field))
        model.setSerialNumberField(field);
    model.setVersions(static_cast<uint16_t>(options.hardwareVersion.value_or(model.hardwareVersion())),
                      static_cast<uint16_t>(options.firmwareVersion.value_or(model.firmwareVersion())));
    if (options.isBackupDisabled)
        model.setBackupDisabled(true);
    if (options.backupDifferenceOffset >= 0)
        model.makeBackupDifferAt(options.backupDifferenceOffset);
    model.setFaults(options.faults);
}

QByteArray _deviceFileContent_helper(const SimulatorOptions& options, const QString& portPath)
{
    QByteArray content =
        "port=" + portPath.toUtf8() + "\nusb_serial=" + options.usbSerialNumber.toUtf8() + "\n";
    const auto identifierValue = [](const QString& text)
    { return text == QLatin1String("none") ? QByteArray() : text.toUtf8(); };
    if (!options.vendorIdentifierText.isEmpty())
        content += "vid=" + identifierValue(options.vendorIdentifierText) + "\n";
    if (!options.productIdentifierText.isEmpty())
        content += "pid=" + identifierValue(options.productIdentifierText) + "\n";
    return content;
}

bool _writeDeviceFile_helper(const QString& filePath, const QByteArray& content, QString& errorMessage)
{
    // Written aside and renamed, so a reader never sees half a file.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
    {
        errorMessage = QStringLiteral("cannot write %1: %2").arg(filePath, file.errorString());
        return false;
    }
    return true;
}

void _writeLogLine_helper(int logFileDescriptor, const QByteArray& request, bool isKnown)
{
    QByteArray line = request.toHex(' ').toUpper();
    if (!isKnown)
        line += " ?";
    line += '\n';
    const char* position = line.constData();
    qsizetype remaining = line.size();
    while (remaining > 0)
    {
        const ssize_t written = ::write(logFileDescriptor, position, static_cast<size_t>(remaining));
        if (written <= 0)
            return;
        position += written;
        remaining -= written;
    }
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-device-simulator"));
    SimulatorOptions options;
    QString errorMessage;
    if (!parseSimulatorOptions(QCoreApplication::arguments(), options, errorMessage))
        return _fail_helper(errorMessage + "\n(see --help)");
    if (options.isExitingWithParent)
    {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == 1)
            return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    // Paced bytes fall due every few tens of microseconds; the default 50 us of timer slack would add up.
    if (options.link.bytesPerSecond > 0 || options.faults.floodByte >= 0)
        prctl(PR_SET_TIMERSLACK, 1UL);
    const int stopFileDescriptor = _createStopSignalFileDescriptor_helper();
    if (stopFileDescriptor < 0)
        return _fail_helper(QStringLiteral("cannot watch the stop signals"));

    DeviceFirmwareModel model;
    SimulatorStateStore stateStore;
    if (!options.stateDirectoryPath.isEmpty() &&
        !stateStore.open(options.stateDirectoryPath, model, errorMessage))
        return _fail_helper(errorMessage);
    _applyOptions_helper(options, model);
    if (!stateStore.save(model, errorMessage))
        return _fail_helper(errorMessage);
    model.takeChanges();

    int logFileDescriptor = -1;
    if (!options.logFilePath.isEmpty())
    {
        // The log shows every request, written memories included: owner-only, and never through a link.
        logFileDescriptor = ::open(QFile::encodeName(options.logFilePath).constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (logFileDescriptor >= 0 && ::fchmod(logFileDescriptor, S_IRUSR | S_IWUSR) != 0)
        {
            ::close(logFileDescriptor);
            logFileDescriptor = -1;
        }
        if (logFileDescriptor < 0)
            return _fail_helper(QStringLiteral("cannot create the log %1").arg(options.logFilePath));
        model.setRequestObserver([logFileDescriptor](const QByteArray& request, bool isKnown)
                                 { _writeLogLine_helper(logFileDescriptor, request, isKnown); });
    }

    PseudoTerminalServer server(model, options.link);
    if (!server.open(errorMessage))
        return _fail_helper(errorMessage);
    QString deviceFilePath;
    if (!options.deviceDirectoryPath.isEmpty())
    {
        deviceFilePath = QDir(options.deviceDirectoryPath).filePath(options.deviceFileName);
        if (!_writeDeviceFile_helper(deviceFilePath, _deviceFileContent_helper(options, server.portPath()),
                                     errorMessage))
            return _fail_helper(errorMessage);
    }
    std::printf("ready port=%s\n", qPrintable(server.portPath()));
    std::fflush(stdout);

    const auto saveChanges = [&]()
    {
        const int changes = model.takeChanges();
        QString saveError;
        if ((changes &
             (DeviceFirmwareModel::CHANGE_NAME | DeviceFirmwareModel::CHANGE_BACKUP_DISABLE_FLAG)) != 0 &&
            !stateStore.save(model, saveError))
            std::fprintf(stderr, "corvane-device-simulator: %s\n", qPrintable(saveError));
    };
    const bool isServed = server.run(stopFileDescriptor, saveChanges, errorMessage);

    // Unplugged: the device file goes first, so nobody tries to open a port that is about to vanish.
    if (!deviceFilePath.isEmpty())
        QFile::remove(deviceFilePath);
    stateStore.synchronize();
    if (logFileDescriptor >= 0)
        ::close(logFileDescriptor);
    ::close(stopFileDescriptor);
    if (!isServed)
        return _fail_helper(errorMessage);
    return 0;
}
