#include "device/DeviceEnumeration.h"

#include "device/SystemSerialPorts.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

bool isTrustedDeviceDirectory(const QString& directoryPath)
{
    // Anybody who can write there could make this user's tools talk to a device of their choosing.
    struct stat status;
    if (::stat(QFile::encodeName(directoryPath).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QList<DevicePortInfo> readSimulatedPorts(const QString& directoryPath)
{
    QList<DevicePortInfo> ports;
    if (directoryPath.isEmpty())
        return ports;
    const QDir directory(directoryPath);
    QStringList fileNames =
        directory.entryList({QStringLiteral("*.device")}, QDir::Files | QDir::Hidden, QDir::NoSort);
    // Plain code-point order, independent of the locale, so tests can rely on it.
    std::sort(fileNames.begin(), fileNames.end());
    for (const QString& fileName : fileNames)
    {
        DevicePortInfo portInfo;
        if (DevicePortInfo::readSimulatedPortFile(directory.filePath(fileName), portInfo))
            ports.append(portInfo);
    }
    return ports;
}

QList<DevicePortInfo> enumerateDevices()
{
    QList<DevicePortInfo> devices;
    const QList<DevicePortInfo> systemPorts = listSystemSerialPorts();
    for (const DevicePortInfo& portInfo : systemPorts)
    {
        if (portInfo.isCorvaneDevice())
            devices.append(portInfo);
    }
    const QString directoryPath = qEnvironmentVariable(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE);
    const QList<DevicePortInfo> simulatedPorts =
        isTrustedDeviceDirectory(directoryPath) ? readSimulatedPorts(directoryPath) : QList<DevicePortInfo>();
    for (const DevicePortInfo& portInfo : simulatedPorts)
    {
        if (portInfo.isCorvaneDevice())
            devices.append(portInfo);
    }
    return devices;
}
