#include "device/SystemSerialPorts.h"

#include <QRegularExpression>

DevicePortInfo describeWindowsSerialPort(const QString& portName, const QString& deviceInstanceId)
{
    const QString location = QLatin1String("\\\\.\\") + portName;
    static const QRegularExpression usbPattern(
        QStringLiteral("^USB\\\\VID_([0-9A-F]{4})&PID_([0-9A-F]{4})(?:&[^\\\\]*)?\\\\([^\\\\]*)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ftdiPattern(
        QStringLiteral("^FTDIBUS\\\\VID_([0-9A-F]{4})\\+PID_([0-9A-F]{4})\\+([^\\\\]*)\\\\.*$"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = usbPattern.match(deviceInstanceId);
    bool isFtdiBus = false;
    if (!match.hasMatch())
    {
        match = ftdiPattern.match(deviceInstanceId);
        isFtdiBus = match.hasMatch();
        if (!isFtdiBus)
            return DevicePortInfo(location, QString());
    }
    QString serialNumber = match.captured(3);
    // A serial number the device does not give is made up by Windows and contains '&'.
    if (serialNumber.contains(QLatin1Char('&')))
        serialNumber.clear();
    if (isFtdiBus && serialNumber.endsWith(QLatin1Char('A')))
        serialNumber.chop(1);
    return DevicePortInfo(location, serialNumber, match.captured(1).toInt(nullptr, 16),
                          match.captured(2).toInt(nullptr, 16));
}
