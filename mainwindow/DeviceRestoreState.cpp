#include "DeviceRestoreState.h"

bool DeviceRestoreState::isImageHeld() const
{
    return !image.isEmpty();
}

void DeviceRestoreState::clear()
{
    image.clear();
    filePath.clear();
    seal = VaultSeal();
    targetDevice = DeviceIdentity();
}
