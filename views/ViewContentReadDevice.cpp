#include "ViewContentReadDevice.h"

#include "device/Device.h"
#include "mainwindow/FormContentEditor.h"
#include "ui_ViewContentReadDevice.h"

namespace
{
enum ReadStep
{
    READ_STEP_START_BLINKING = 0,
    READ_STEP_READ_MAIN_MEMORY = 1,
    READ_STEP_READ_BACKUP_MEMORY = 2,
    READ_STEP_STOP_BLINKING = 3
};
} // namespace

ViewContentReadDevice::ViewContentReadDevice(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentReadDevice)
{
    form->setupUi(this);
    form->progressBar->setMaximum(2);
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
    const Device* device = getCurrentDevice();
    form->labelDeviceName->setText(tr("Device name: %1").arg(device ? device->getName() : QString()));
    step = READ_STEP_START_BLINKING;
    deviceAccessTimer.start(0);
}

void ViewContentReadDevice::deactivate()
{
    deviceAccessTimer.stop();
}

void ViewContentReadDevice::_slotDeviceAccessTimerTimeout()
{
    Device* device = getCurrentDevice();
    if (!device)
    {
        // Nothing to read from: reported as the first step failing.
        finish(-1);
        return;
    }

    switch (step)
    {
    case READ_STEP_START_BLINKING:
        if (device->setLedMode(LED_MODE_BLINK_DURING_ACCESS) != 0)
            return finish(-1);
        step = READ_STEP_READ_MAIN_MEMORY;
        break;
    case READ_STEP_READ_MAIN_MEMORY:
        if (device->readMemory(DEVICE_MEMORY_MAIN) != 0)
            return finish(-2);
        form->progressBar->setValue(1);
        step = READ_STEP_READ_BACKUP_MEMORY;
        break;
    case READ_STEP_READ_BACKUP_MEMORY:
        if (device->readMemory(DEVICE_MEMORY_BACKUP) != 0)
            return finish(-3);
        form->progressBar->setValue(2);
        step = READ_STEP_STOP_BLINKING;
        break;
    case READ_STEP_STOP_BLINKING:
        if (device->setLedMode(LED_MODE_STOP_BLINKING) != 0)
            return finish(-4);
        finish(0);
        break;
    default:
        break;
    }
}

void ViewContentReadDevice::finish(int returnValue)
{
    deviceAccessTimer.stop();
    mainWindow->popView(VIEW_ID_COUNT);
    Q_EMIT readFinished(returnValue);
}
