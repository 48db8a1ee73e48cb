#include "device/DeviceEnumeration.h"

#include "common/OwnerOnlyAccess.h"
#include "device/SystemSerialPorts.h"

#include <QDir>
#include <QFile>

#include <algorithm>

bool isTrustedDeviceDirectory(const QString& directoryPath)
{
    // Anybody who can write there could make this user's tools talk to a device of their choosing.
    return isFolderOwnedAndWritableByUserAlone(directoryPath);
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
