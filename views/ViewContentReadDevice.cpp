#include "ViewContentReadDevice.h"

#include "ViewHost.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "ui_ViewContentReadDevice.h"

ViewContentReadDevice::ViewContentReadDevice(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentReadDevice)
{
    form->setupUi(this);
    // The bar counts bytes: at the device's line speed a memory takes seconds to arrive.
    form->progressBar->setMaximum(DEVICE_MEMORY_COUNT * DEVICE_MEMORY_SIZE);
    deviceAccessTimer.setInterval(0);
    connect(&deviceAccessTimer, &QTimer::timeout, this,
            &ViewContentReadDevice::_slotDeviceAccessTimerTimeout);
}

ViewContentReadDevice::~ViewContentReadDevice()
{
    delete form;
}

void ViewContentReadDevice::activate()
{
    form->progressBar->setValue(0);
    form->labelRemainingTime->clear();
    // Nothing else here takes the keyboard: the bar does, so that screen readers announce the progress.
    form->progressBar->setFocus();
    form->labelDeviceName->setText(
        tr("Device name: %1").arg(device ? makeVisibleAndIsolated(device->getName()) : QString()));
    if (expectedImages[DEVICE_MEMORY_MAIN].isEmpty())
        transfer.startReading(device);
    else
        transfer.startVerifying(device, expectedImages[DEVICE_MEMORY_MAIN].data(),
                                expectedImages[DEVICE_MEMORY_BACKUP].data());
    // The transfer keeps its own copies.
    for (SecureImageBuffer& image : expectedImages)
        image.clear();
    deviceAccessTimer.start(0);
}

void ViewContentReadDevice::setDevice(Device* device, const uint8_t* expectedMainImage,
                                      const uint8_t* expectedBackupImage)
{
    this->device = device;
    for (SecureImageBuffer& image : expectedImages)
        image.clear();
    if (expectedMainImage && expectedBackupImage)
    {
        expectedImages[DEVICE_MEMORY_MAIN].assign(expectedMainImage, DEVICE_MEMORY_SIZE);
        expectedImages[DEVICE_MEMORY_BACKUP].assign(expectedBackupImage, DEVICE_MEMORY_SIZE);
    }
}

const DeviceFailureCause& ViewContentReadDevice::failureCause() const
{
    return transfer.failure();
}

void ViewContentReadDevice::deactivate()
{
    deviceAccessTimer.stop();
}

void ViewContentReadDevice::_slotDeviceAccessTimerTimeout()
{
    const bool isFinished = transfer.advance();
    form->progressBar->setValue(static_cast<int>(transfer.completedByteCount()));
    form->labelRemainingTime->setText(remainingTimeText(transfer));
    if (isFinished)
        finish(transfer.result());
}

QString ViewContentReadDevice::remainingTimeText(const DeviceTransfer& transfer)
{
    // A real device takes seconds to minutes; a fast link never gets an estimate.
    const int seconds = transfer.remainingSecondsEstimate();
    if (seconds < 0)
        return QString();
    if (seconds >= 90)
        return tr("About %1 minutes left").arg((seconds + 30) / 60);
    return seconds <= 1 ? tr("About 1 second left") : tr("About %1 seconds left").arg(seconds);
}

QString ViewContentReadDevice::quitRefusalText()
{
    return tr("The device is being read.\nQuit once the transfer has finished.");
}

void ViewContentReadDevice::finish(int returnValue)
{
    deviceAccessTimer.stop();
    viewHost()->removeView(this);
    Q_EMIT readFinished(returnValue);
}
