#pragma once

#include "vault/DeviceSealMemory.h"

class Device;

// The identity under which this computer remembers an open device: its USB serial number and the serial
// number it reports (asked from the device now; left empty when it does not answer).
DeviceIdentity readDeviceIdentity(Device& device);
