#include "device/SystemSerialPorts.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

namespace
{
// GUID_DEVINTERFACE_COMPORT: every COM port, whichever driver serves it.
const GUID COM_PORT_INTERFACE_GUID = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The "PortName" value of the device's hardware key ("COM5"), empty when it has none.
QString _portName_helper(HDEVINFO deviceSet, SP_DEVINFO_DATA& deviceData)
{
    HKEY key = SetupDiOpenDevRegKey(deviceSet, &deviceData, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return QString();
    wchar_t name[256] = {};
    DWORD size = sizeof(name) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return QString();
    return QString::fromWCharArray(name);
}

QString _instanceId_helper(HDEVINFO deviceSet, SP_DEVINFO_DATA& deviceData)
{
    wchar_t instanceId[MAX_DEVICE_ID_LEN + 1] = {};
    if (!SetupDiGetDeviceInstanceIdW(deviceSet, &deviceData, instanceId, MAX_DEVICE_ID_LEN, nullptr))
        return QString();
    return QString::fromWCharArray(instanceId);
}
} // namespace

QList<DevicePortInfo> listSystemSerialPorts()
{
    QList<DevicePortInfo> ports;
    HDEVINFO deviceSet = SetupDiGetClassDevsW(&COM_PORT_INTERFACE_GUID, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (deviceSet == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA deviceData;
    ZeroMemory(&deviceData, sizeof(deviceData));
    deviceData.cbSize = sizeof(deviceData);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(deviceSet, index, &deviceData); ++index)
    {
        const QString portName = _portName_helper(deviceSet, deviceData);
        if (!portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            continue;
        ports.append(describeWindowsSerialPort(portName, _instanceId_helper(deviceSet, deviceData)));
    }
    SetupDiDestroyDeviceInfoList(deviceSet);
    return ports;
}
