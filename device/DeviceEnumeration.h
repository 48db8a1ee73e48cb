#pragma once

#include "device/DevicePortInfo.h"

#include <QList>

// Environment variable naming a directory of simulated-port files ("*.device").
#define DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE "CORVANE_DEVICE_DIR"

// The connected devices: the serial ports that pass the identity test, first those of
// QSerialPortInfo::availablePorts() in its order, then the simulated ports described by the regular
// files named "*.device" in $CORVANE_DEVICE_DIR, in file-name order, when that directory is trusted.
// Returned by value.
QList<DevicePortInfo> enumerateDevices();

// A directory owned by this user that nobody else may write to: only then are its simulated ports used.
bool isTrustedDeviceDirectory(const QString& directoryPath);

// The simulated ports of one directory, in file-name order, before the identity test.
QList<DevicePortInfo> readSimulatedPorts(const QString& directoryPath);
