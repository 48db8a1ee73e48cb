#include "device/DeviceSession.h"

#include "device/DeviceEnumeration.h"
#include "device/DeviceOpening.h"

DeviceSession::~DeviceSession()
{
    close();
}

DeviceSession::OpenResult DeviceSession::openOnlyConnectedDevice(const OpenFinished& finished)
{
    // A device left over would keep its port busy.
    close();
    const QList<DevicePortInfo> ports = enumerateDevices();
    if (ports.size() != 1)
        return OPEN_RESULT_CHOICE_NEEDED;
    open(ports.first(), finished);
    return OPEN_RESULT_OPENING;
}

void DeviceSession::open(const DevicePortInfo& portInfo, const OpenFinished& finished)
{
    close();
    _openFailure = DeviceFailureCause();
    _device = std::make_unique<Device>(portInfo);
    _isOpening = true;
    Device* device = _device.get();
    // The opening reports nothing once the device is closing or gone: the session was closed meanwhile.
    auto* opening = new DeviceOpening(device, nullptr);
    QObject::connect(opening, &DeviceOpening::openingFinished, device,
                     [this, device, finished](int result) { finishOpen(device, result, finished); });
}

void DeviceSession::finishOpen(Device* device, int result, const OpenFinished& finished)
{
    if (_device.get() != device)
        return;
    _isOpening = false;
    if (result != 0)
    {
        _openFailure = DeviceFailureCause::fromOpenErrorNumber(device->lastOpenErrorNumber());
        close();
    }
    if (finished)
        finished(result == 0);
}

bool DeviceSession::isOpening() const
{
    return _isOpening;
}

void DeviceSession::adopt(std::unique_ptr<Device> device)
{
    if (device.get() == _device.get())
        return;
    close();
    _openFailure = DeviceFailureCause();
    _device = std::move(device);
}

Device* DeviceSession::device() const
{
    return _isOpening ? nullptr : _device.get();
}

void DeviceSession::close()
{
    _isOpening = false;
    // Released from the session before closing, so that nothing reached from close() sees a closing device.
    // A device that stopped answering may take a while to give up: the event loop keeps turning meanwhile.
    if (_device)
        closeAndDeleteDeviceInSteps(_device.release());
}

const DeviceFailureCause& DeviceSession::openFailure() const
{
    return _openFailure;
}
