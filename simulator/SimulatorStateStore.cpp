#include "simulator/SimulatorStateStore.h"

#include "simulator/DeviceFirmwareModel.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace
{
QByteArray _readField_helper(const QString& filePath, int size, bool& isPresent)
{
    QFile file(filePath);
    isPresent = file.open(QIODevice::ReadOnly);
    return isPresent ? file.read(size) : QByteArray();
}

bool _writeFileAtomically_helper(const QString& filePath, const QByteArray& content, QString& errorMessage)
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
    {
        errorMessage = QStringLiteral("cannot write %1: %2").arg(filePath, file.errorString());
        return false;
    }
    return true;
}
} // namespace

SimulatorStateStore::~SimulatorStateStore()
{
    synchronize();
    for (uint8_t*& memory : _memories)
    {
        if (memory)
            munmap(memory, DeviceFirmwareModel::MEMORY_SIZE);
        memory = nullptr;
    }
}

bool SimulatorStateStore::open(const QString& directoryPath, DeviceFirmwareModel& model,
                               QString& errorMessage)
{
    if (!QDir().mkpath(directoryPath))
    {
        errorMessage = QStringLiteral("cannot create the state directory %1").arg(directoryPath);
        return false;
    }
    _directoryPath = directoryPath;
    const QDir directory(directoryPath);
    if (!mapMemoryFile(directory.filePath(QStringLiteral("main_memory.bin")), _memories[0], errorMessage) ||
        !mapMemoryFile(directory.filePath(QStringLiteral("backup_memory.bin")), _memories[1], errorMessage))
        return false;
    model.useExternalMemory(_memories[0], _memories[1]);

    bool isPresent = false;
    const QByteArray nameField = _readField_helper(directory.filePath(QStringLiteral("name.bin")),
                                                   DeviceFirmwareModel::NAME_FIELD_SIZE, isPresent);
    if (isPresent)
        model.setNameField(nameField);
    const QByteArray serialNumberField =
        _readField_helper(directory.filePath(QStringLiteral("serial_number.bin")),
                          DeviceFirmwareModel::SERIAL_NUMBER_FIELD_SIZE, isPresent);
    if (isPresent)
        model.setSerialNumberField(serialNumberField);

    QFile settingsFile(directory.filePath(QStringLiteral("device.conf")));
    if (settingsFile.open(QIODevice::ReadOnly))
    {
        uint16_t hardwareVersion = model.hardwareVersion();
        uint16_t firmwareVersion = model.firmwareVersion();
        const QList<QByteArray> lines = settingsFile.readAll().split('\n');
        for (const QByteArray& line : lines)
        {
            const int separator = line.indexOf('=');
            if (separator < 0)
                continue;
            const QByteArray key = line.left(separator).trimmed();
            const uint value = line.mid(separator + 1).trimmed().toUInt();
            if (key == "hardware_version")
                hardwareVersion = static_cast<uint16_t>(value);
            else if (key == "firmware_version")
                firmwareVersion = static_cast<uint16_t>(value);
            else if (key == "backup_disabled")
                model.setBackupDisabled(value == 1);
        }
        model.setVersions(hardwareVersion, firmwareVersion);
    }
    model.takeChanges();
    return true;
}

bool SimulatorStateStore::save(const DeviceFirmwareModel& model, QString& errorMessage) const
{
    if (_directoryPath.isEmpty())
        return true;
    const QDir directory(_directoryPath);
    const QByteArray settings =
        QStringLiteral("hardware_version=%1\nfirmware_version=%2\nbackup_disabled=%3\n")
            .arg(model.hardwareVersion())
            .arg(model.firmwareVersion())
            .arg(model.isBackupDisabled() ? 1 : 0)
            .toUtf8();
    return _writeFileAtomically_helper(directory.filePath(QStringLiteral("name.bin")), model.nameField(),
                                       errorMessage) &&
           _writeFileAtomically_helper(directory.filePath(QStringLiteral("serial_number.bin")),
                                       model.serialNumberField(), errorMessage) &&
           _writeFileAtomically_helper(directory.filePath(QStringLiteral("device.conf")), settings,
                                       errorMessage);
}

void SimulatorStateStore::synchronize()
{
    for (uint8_t* memory : _memories)
    {
        if (memory)
            msync(memory, DeviceFirmwareModel::MEMORY_SIZE, MS_ASYNC);
    }
}

bool SimulatorStateStore::mapMemoryFile(const QString& filePath, uint8_t*& memory, QString& errorMessage)
{
    const QByteArray path = QFile::encodeName(filePath);
    const int fileDescriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A new or short file is extended with zeros: a fresh device's memories are zero-filled.
    if (fileDescriptor < 0 || ftruncate(fileDescriptor, DeviceFirmwareModel::MEMORY_SIZE) != 0)
    {
        errorMessage =
            QStringLiteral("cannot open %1: %2").arg(filePath, QString::fromLocal8Bit(strerror(errno)));
        if (fileDescriptor >= 0)
            ::close(fileDescriptor);
        return false;
    }
    void* mapping = mmap(nullptr, DeviceFirmwareModel::MEMORY_SIZE, PROT_READ | PROT_WRITE, MAP_SHARED,
                         fileDescriptor, 0);
    ::close(fileDescriptor);
    if (mapping == MAP_FAILED)
    {
        errorMessage =
            QStringLiteral("cannot map %1: %2").arg(filePath, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    memory = static_cast<uint8_t*>(mapping);
    return true;
}
