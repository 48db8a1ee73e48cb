#pragma once

#include <QString>

#include <cstdint>

class QSerialPortInfo;

// Description of one serial port that may lead to a device: where to open it and the USB identity of
// its bridge. Built from a real port (QSerialPortInfo) or from a simulated-port file, which
// QSerialPortInfo cannot describe.
class DevicePortInfo
{
public:
    DevicePortInfo() = default;
    // An absent USB identifier is given as a negative number.
    DevicePortInfo(const QString& systemLocation, const QString& serialNumber, int vendorIdentifier = -1,
                   int productIdentifier = -1);

    static DevicePortInfo fromSerialPortInfo(const QSerialPortInfo& serialPortInfo);

    // Reads a simulated-port file: UTF-8 "key=value" lines, "port=" (required, the path to open),
    // "usb_serial=", "vid=" and "pid=" (hexadecimal with 0x or decimal; default 0x0403 and 0x6015 when the
    // line is missing, no identifier when the value is empty). Unknown keys are ignored. Returns false
    // when the file cannot be read or has no port.
    [[nodiscard]] static bool readSimulatedPortFile(const QString& filePath, DevicePortInfo& portInfo);

    // The port name as QSerialPortInfo gives it ("ttyUSB0", "pts/7", "COM5").
    QString portName() const;
    // The path to open ("/dev/ttyUSB0", "\\.\COM5").
    QString systemLocation() const;
    QString serialNumber() const;
    bool hasVendorIdentifier() const;
    uint16_t vendorIdentifier() const;
    bool hasProductIdentifier() const;
    uint16_t productIdentifier() const;

    // The identity test: both USB identifiers present, vendor 0x0403, product 0x6015 and a USB serial
    // number starting with "TZQVR-" (case-sensitive).
    bool isCorvaneDevice() const;

    bool operator==(const DevicePortInfo& other) const;
    bool operator!=(const DevicePortInfo& other) const;

private:
    QString _systemLocation;
    QString _serialNumber;
    int _vendorIdentifier = -1;
    int _productIdentifier = -1;
};
