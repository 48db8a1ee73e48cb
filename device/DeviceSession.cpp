#include "device/DeviceSession.h"

#include "device/DeviceEnumeration.h"

DeviceSession::~DeviceSession()
{
    close();
}

DeviceSession::OpenResult DeviceSession::openOnlyConnectedDevice()
{
    // A device left over would keep its port busy.
    close();
    const QList<DevicePortInfo> ports = enumerateDevices();
    if (ports.size() != 1)
        return OPEN_RESULT_CHOICE_NEEDED;
    return open(ports.first()) ? OPEN_RESULT_SUCCESS : OPEN_RESULT_FAILED;
}

bool DeviceSession::open(const DevicePortInfo& portInfo)
{
    close();
    _openFailure = DeviceFailureCause();
    auto device = std::make_unique<Device>(portInfo);
    if (device->open() != 0)
    {
        _openFailure = DeviceFailureCause::fromOpenErrorNumber(device->lastOpenErrorNumber());
        device->close();
        return false;
    }
    _device = std::move(device);
    return true;
}

void DeviceSession::adopt(std::unique_ptr<Device> device)
{
    if (device.get() == _device.get())
        return;
    close();
    _device = std::move(device);
}

Device* DeviceSession::device() const
{
    return _device.get();
}

void DeviceSession::close()
{
    // Released from the session before closing, so that nothing reached from close() sees a closing device.
    const std::unique_ptr<Device> device = std::move(_device);
    if (device)
        device->close();
}

const DeviceFailureCause& DeviceSession::openFailure() const
{
    return _openFailure;
}
