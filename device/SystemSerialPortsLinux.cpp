#include "device/SystemSerialPorts.h"

#include <QSerialPortInfo>

DevicePortInfo DevicePortInfo::fromSerialPortInfo(const QSerialPortInfo& serialPortInfo)
{
    return DevicePortInfo(serialPortInfo.systemLocation(), serialPortInfo.serialNumber(),
                          serialPortInfo.hasVendorIdentifier() ? serialPortInfo.vendorIdentifier() : -1,
                          serialPortInfo.hasProductIdentifier() ? serialPortInfo.productIdentifier() : -1);
}

QList<DevicePortInfo> listSystemSerialPorts()
{
    QList<DevicePortInfo> ports;
    const QList<QSerialPortInfo> serialPorts = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& serialPort : serialPorts)
        ports.append(DevicePortInfo::fromSerialPortInfo(serialPort));
    return ports;
}
