#include "SimulatorProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace
{
// Generous: a loaded CI machine running sanitizer builds can be slow to start a process.
constexpr int READY_TIMEOUT_MILLISECONDS = 20000;
constexpr int STOP_TIMEOUT_MILLISECONDS = 10000;
constexpr int MEMORY_SIZE = 131072;
} // namespace

SimulatorProcess::SimulatorProcess()
{
    _statePath = _workDirectory.filePath(QStringLiteral("state"));
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

void SimulatorProcess::setStateDirectory(const QString& directoryPath)
{
    _statePath = directoryPath;
}

void SimulatorProcess::setRequestLogEnabled(bool isEnabled)
{
    _isRequestLogEnabled = isEnabled;
}

bool SimulatorProcess::writeMemory(int memoryIndex, const QByteArray& content)
{
    if (!QDir().mkpath(_statePath))
        return false;
    QFile file(memoryFilePath(memoryIndex));
    return file.open(QIODevice::WriteOnly) &&
           file.write(content.left(MEMORY_SIZE)) == qMin<qsizetype>(content.size(), MEMORY_SIZE);
}

QString SimulatorProcess::programPath()
{
#ifdef CORVANE_SIMULATOR_PATH
    return QStringLiteral(CORVANE_SIMULATOR_PATH);
#else
    return QString();
#endif
}

bool SimulatorProcess::start(const QString& deviceDirectory, const QString& usbSerialNumber,
                             const QStringList& extraArguments)
{
    stop();
    _errorString.clear();
    _portPath.clear();
    _usbSerialNumber = usbSerialNumber;
    QString deviceFileName = usbSerialNumber + ".device";
    const int fileNameIndex = static_cast<int>(extraArguments.indexOf(QStringLiteral("--device-file-name")));
    if (fileNameIndex >= 0 && fileNameIndex + 1 < extraArguments.size())
        deviceFileName = extraArguments.at(fileNameIndex + 1);
    _deviceFilePath = deviceDirectory.isEmpty() ? QString() : QDir(deviceDirectory).filePath(deviceFileName);

    QStringList arguments = {QStringLiteral("--exit-with-parent"),
                             QStringLiteral("--usb-serial"),
                             usbSerialNumber,
                             QStringLiteral("--device-dir"),
                             deviceDirectory,
                             QStringLiteral("--state-dir"),
                             _statePath};
    if (_isRequestLogEnabled)
        arguments << QStringLiteral("--log") << logPath();
    arguments << extraArguments;

    _process = std::make_unique<QProcess>();
    _process->setProgram(programPath());
    _process->setArguments(arguments);
    _process->setProcessChannelMode(QProcess::SeparateChannels);
    _process->start();
    if (!_process->waitForStarted(READY_TIMEOUT_MILLISECONDS))
    {
        _errorString = QStringLiteral("cannot start %1: %2").arg(programPath(), _process->errorString());
        _process.reset();
        return false;
    }
    QByteArray output;
    const QDeadlineTimer deadline(READY_TIMEOUT_MILLISECONDS);
    while (!output.contains('\n') && !deadline.hasExpired() && _process->state() == QProcess::Running)
    {
        _process->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        output += _process->readAllStandardOutput();
    }
    const QByteArray line = output.left(output.indexOf('\n')).trimmed();
    if (!line.startsWith("ready port="))
    {
        _process->kill();
        _process->waitForFinished(STOP_TIMEOUT_MILLISECONDS);
        _errorString =
            QStringLiteral("simulator not ready: %1 %2")
                .arg(QString::fromUtf8(output), QString::fromUtf8(_process->readAllStandardError()));
        _process.reset();
        return false;
    }
    _portPath = QString::fromUtf8(line.mid(static_cast<int>(qstrlen("ready port="))));
    return true;
}

bool SimulatorProcess::stop()
{
    if (!_process)
        return true;
    _process->terminate();
    bool isClean = _process->waitForFinished(STOP_TIMEOUT_MILLISECONDS);
    if (!isClean)
    {
        _process->kill();
        _process->waitForFinished(STOP_TIMEOUT_MILLISECONDS);
    }
    isClean = isClean && _process->exitStatus() == QProcess::NormalExit && _process->exitCode() == 0;
    if (!isClean)
        _errorString = QString::fromUtf8(_process->readAllStandardError());
    _process.reset();
    return isClean;
}

bool SimulatorProcess::isRunning() const
{
    return _process && _process->state() == QProcess::Running;
}

QString SimulatorProcess::portPath() const
{
    return _portPath;
}

DevicePortInfo SimulatorProcess::portInfo() const
{
    return DevicePortInfo(_portPath, _usbSerialNumber, 0x0403, 0x6015);
}

QString SimulatorProcess::deviceFilePath() const
{
    return _deviceFilePath;
}

QString SimulatorProcess::statePath() const
{
    return _statePath;
}

QString SimulatorProcess::logPath() const
{
    return _workDirectory.filePath(QStringLiteral("requests.log"));
}

QStringList SimulatorProcess::requestLog() const
{
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void SimulatorProcess::clearRequestLog()
{
    QFile::resize(logPath(), 0);
}

QByteArray SimulatorProcess::memory(int memoryIndex) const
{
    QFile file(memoryFilePath(memoryIndex));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SimulatorProcess::errorString() const
{
    return _errorString;
}

QString SimulatorProcess::memoryFilePath(int memoryIndex) const
{
    return QDir(_statePath)
        .filePath(memoryIndex == 0 ? QStringLiteral("main_memory.bin") : QStringLiteral("backup_memory.bin"));
}
