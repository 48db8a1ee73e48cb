#include "device/DeviceOpening.h"

#include "device/Device.h"

DeviceOpening::DeviceOpening(Device* device, QObject* parent) : QObject(parent), device(device)
{
    // Zero: the next step comes as soon as the event loop has handled what is waiting.
    stepTimer.setInterval(0);
    connect(&stepTimer, &QTimer::timeout, this, &DeviceOpening::_slotTimerStepTimeout);
    stepTimer.start();
}

void DeviceOpening::_slotTimerStepTimeout()
{
    if (!device || device->isClosing())
    {
        stepTimer.stop();
        deleteLater();
        return;
    }
    int result = DEVICE_RECEIVE_PENDING;
    if (isBeginning)
    {
        isBeginning = false;
        result = device->beginOpen() == 0 ? DEVICE_RECEIVE_PENDING : -1;
    }
    if (result == DEVICE_RECEIVE_PENDING)
        result = device->continueOpen(STEP_MILLISECONDS);
    if (result == DEVICE_RECEIVE_PENDING)
        return;
    stepTimer.stop();
    deleteLater();
    Q_EMIT openingFinished(result);
}
