#include "ViewContentReadDevice.h"

#include "device/Device.h"
#include "mainwindow/FormContentEditor.h"
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
    Device* device = getCurrentDevice();
    form->labelDeviceName->setText(tr("Device name: %1").arg(device ? device->getName() : QString()));
    transfer.startReading(device);
    deviceAccessTimer.start(0);
}

void ViewContentReadDevice::deactivate()
{
    deviceAccessTimer.stop();
}

void ViewContentReadDevice::_slotDeviceAccessTimerTimeout()
{
    const bool isFinished = transfer.advance();
    form->progressBar->setValue(static_cast<int>(transfer.completedByteCount()));
    if (isFinished)
        finish(transfer.result());
}

void ViewContentReadDevice::finish(int returnValue)
{
    deviceAccessTimer.stop();
    mainWindow->removeView(this);
    Q_EMIT readFinished(returnValue);
}
