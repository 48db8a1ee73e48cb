#include "ViewContentWriteDevice.h"

#include "ViewContentReadDevice.h"

#include "ViewHost.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "ui_ViewContentWriteDevice.h"

ViewContentWriteDevice::ViewContentWriteDevice(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentWriteDevice)
{
    form->setupUi(this);
    // The bar counts bytes: both memories written and the main memory read back in between.
    form->progressBar->setMaximum(3 * DEVICE_MEMORY_SIZE);
    deviceAccessTimer.setInterval(0);
    connect(&deviceAccessTimer, &QTimer::timeout, this,
            &ViewContentWriteDevice::_slotDeviceAccessTimerTimeout);
}

ViewContentWriteDevice::~ViewContentWriteDevice()
{
    delete form;
}

void ViewContentWriteDevice::activate()
{
    form->progressBar->setValue(0);
    form->labelRemainingTime->clear();
    // Nothing else here takes the keyboard: the bar does, so that screen readers announce the progress.
    form->progressBar->setFocus();
    form->labelDeviceName->setText(
        tr("Device name: %1").arg(device ? makeVisibleAndIsolated(device->getName()) : QString()));
    transfer.startWriting(device);
    // Every writing workflow reads both memories back next: the time left covers that read too.
    transfer.setFollowingByteCount(DEVICE_MEMORY_COUNT * DEVICE_MEMORY_SIZE);
    deviceAccessTimer.start(0);
}

void ViewContentWriteDevice::setDevice(Device* device)
{
    this->device = device;
}

const DeviceFailureCause& ViewContentWriteDevice::failureCause() const
{
    return transfer.failure();
}

void ViewContentWriteDevice::deactivate()
{
    deviceAccessTimer.stop();
}

void ViewContentWriteDevice::_slotDeviceAccessTimerTimeout()
{
    const bool isFinished = transfer.advance();
    form->progressBar->setValue(static_cast<int>(transfer.completedByteCount()));
    form->labelRemainingTime->setText(ViewContentReadDevice::remainingTimeText(transfer));
    if (isFinished)
        finish(transfer.result());
}

void ViewContentWriteDevice::finish(int returnValue)
{
    deviceAccessTimer.stop();
    viewHost()->removeView(this);
    Q_EMIT writeFinished(returnValue);
}

QString ViewContentWriteDevice::quitRefusalText()
{
    return tr("The device is being written: quitting now would leave it half written.\nQuit once the "
              "transfer has finished.");
}
