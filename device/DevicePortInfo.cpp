#include "device/DevicePortInfo.h"

#include "device/DeviceProtocol.h"

#include <QFile>

namespace
{
// Parses "0x0403", "1027" or "" (no identifier, -1); anything else is no identifier as well, so that a
// malformed file can never pass the identity test.
int _parseUsbIdentifier_helper(const QString& text)
{
    const QString value = text.trimmed();
    bool isValid = false;
    uint number = 0;
    if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        number = value.mid(2).toUInt(&isValid, 16);
    else
        number = value.toUInt(&isValid, 10);
    if (!isValid || number > 0xFFFF)
        return -1;
    return static_cast<int>(number);
}
} // namespace

DevicePortInfo::DevicePortInfo(const QString& systemLocation, const QString& serialNumber,
                               int vendorIdentifier, int productIdentifier)
    : _systemLocation(systemLocation), _serialNumber(serialNumber),
      _vendorIdentifier(vendorIdentifier < 0 ? -1 : vendorIdentifier),
      _productIdentifier(productIdentifier < 0 ? -1 : productIdentifier)
{
}

bool DevicePortInfo::readSimulatedPortFile(const QString& filePath, DevicePortInfo& portInfo)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A description is a few short lines; a larger file is not one.
    const QByteArray content = file.read(4096);
    QString port;
    QString serialNumber;
    int vendorIdentifier = DEVICE_USB_VENDOR_IDENTIFIER;
    int productIdentifier = DEVICE_USB_PRODUCT_IDENTIFIER;
    const QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    for (const QString& line : lines)
    {
        const int separator = line.indexOf(QLatin1Char('='));
        if (separator < 0)
            continue;
        const QString key = line.left(separator).trimmed();
        const QString value = line.mid(separator + 1).trimmed();
        if (key == QLatin1String("port"))
            port = value;
        else if (key == QLatin1String("usb_serial"))
            serialNumber = value;
        else if (key == QLatin1String("vid"))
            vendorIdentifier = _parseUsbIdentifier_helper(value);
        else if (key == QLatin1String("pid"))
            productIdentifier = _parseUsbIdentifier_helper(value);
    }
    if (port.isEmpty())
        return false;
    portInfo = DevicePortInfo(port, serialNumber, vendorIdentifier, productIdentifier);
    return true;
}

QString DevicePortInfo::portName() const
{
    for (const QLatin1String devicePrefix : {QLatin1String("/dev/"), QLatin1String("\\\\.\\")})
    {
        if (_systemLocation.startsWith(devicePrefix))
            return _systemLocation.mid(devicePrefix.size());
    }
    return _systemLocation;
}

QString DevicePortInfo::systemLocation() const
{
    return _systemLocation;
}

QString DevicePortInfo::serialNumber() const
{
    return _serialNumber;
}

bool DevicePortInfo::hasVendorIdentifier() const
{
    return _vendorIdentifier >= 0;
}

uint16_t DevicePortInfo::vendorIdentifier() const
{
    return hasVendorIdentifier() ? static_cast<uint16_t>(_vendorIdentifier) : 0;
}

bool DevicePortInfo::hasProductIdentifier() const
{
    return _productIdentifier >= 0;
}

uint16_t DevicePortInfo::productIdentifier() const
{
    return hasProductIdentifier() ? static_cast<uint16_t>(_productIdentifier) : 0;
}

bool DevicePortInfo::isCorvaneDevice() const
{
    return hasVendorIdentifier() && hasProductIdentifier() &&
           _vendorIdentifier == DEVICE_USB_VENDOR_IDENTIFIER &&
           _productIdentifier == DEVICE_USB_PRODUCT_IDENTIFIER &&
           _serialNumber.startsWith(QLatin1String(DEVICE_USB_SERIAL_NUMBER_PREFIX), Qt::CaseSensitive);
}

bool DevicePortInfo::operator==(const DevicePortInfo& other) const
{
    return _systemLocation == other._systemLocation && _serialNumber == other._serialNumber &&
           _vendorIdentifier == other._vendorIdentifier && _productIdentifier == other._productIdentifier;
}

bool DevicePortInfo::operator!=(const DevicePortInfo& other) const
{
    return !(*this == other);
}
