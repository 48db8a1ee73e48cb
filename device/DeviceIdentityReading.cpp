#include "device/DeviceIdentityReading.h"

#include "device/Device.h"

DeviceIdentity readDeviceIdentity(Device& device)
{
    DeviceIdentity identity;
    identity.usbSerialNumber = device.getUsbSerialNumber();
    if (device.getSerialNumber(identity.serialNumber) != 0)
        identity.serialNumber.clear();
    return identity;
}
