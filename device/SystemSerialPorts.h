#pragma once

#include "device/DevicePortInfo.h"

#include <QList>

// The serial ports the operating system knows, in its order, before the identity test. One file per
// system implements it: SystemSerialPortsLinux.cpp (udev through QSerialPortInfo) and
// SystemSerialPortsWin32.cpp (SetupAPI).
QList<DevicePortInfo> listSystemSerialPorts();

// A Windows COM port described by its device instance id: "USB\VID_0403&PID_6015\TZQVR-0001" (the system's
// own USB serial driver) or "FTDIBUS\VID_0403+PID_6015+TZQVR-0001A\0000" (the chip maker's driver, which
// appends the interface letter). Identifiers it cannot read are absent. Pure text work, so that it is
// tested everywhere.
DevicePortInfo describeWindowsSerialPort(const QString& portName, const QString& deviceInstanceId);
