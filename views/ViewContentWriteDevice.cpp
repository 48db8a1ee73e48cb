#include "ViewContentWriteDevice.h"

#include "device/Device.h"
#include "mainwindow/FormContentEditor.h"
#include "ui_ViewContentWriteDevice.h"

namespace
{
enum WriteStep
{
    WRITE_STEP_START = 0,
    WRITE_STEP_MAIN_MEMORY = 1,
    WRITE_STEP_BACKUP_MEMORY = 2
};
} // namespace

ViewContentWriteDevice::ViewContentWriteDevice(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentWriteDevice)
{
    form->setupUi(this);
    form->progressBar->setMaximum(2 * DEVICE_MEMORY_BLOCK_COUNT);
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
    const Device* device = getCurrentDevice();
    form->labelDeviceName->setText(tr("Device name: %1").arg(device ? device->getName() : QString()));
    step = WRITE_STEP_START;
    blockNumber = 0;
    deviceAccessTimer.start(0);
}

void ViewContentWriteDevice::deactivate()
{
    deviceAccessTimer.stop();
}

void ViewContentWriteDevice::_slotDeviceAccessTimerTimeout()
{
    Device* device = getCurrentDevice();
    if (!device)
    {
        // Nothing to write to: reported as the first step failing.
        finish(-1);
        return;
    }

    switch (step)
    {
    case WRITE_STEP_START:
        if (device->setLedMode(LED_MODE_BLINK_DURING_ACCESS) != 0)
            return finish(-1);
        if (device->selectMemory(DEVICE_MEMORY_MAIN) != 0)
            return finish(-3);
        blockNumber = 0;
        step = WRITE_STEP_MAIN_MEMORY;
        break;
    case WRITE_STEP_MAIN_MEMORY:
        if (blockNumber < DEVICE_MEMORY_BLOCK_COUNT)
        {
            if (!writeNextBlock(device, DEVICE_MEMORY_MAIN))
                return finish(-5);
            break;
        }
        if (device->selectMemory(DEVICE_MEMORY_BACKUP) != 0)
            return finish(-4);
        blockNumber = 0;
        step = WRITE_STEP_BACKUP_MEMORY;
        break;
    case WRITE_STEP_BACKUP_MEMORY:
        if (blockNumber < DEVICE_MEMORY_BLOCK_COUNT)
        {
            if (!writeNextBlock(device, DEVICE_MEMORY_BACKUP))
                return finish(-6);
            break;
        }
        if (device->setLedMode(LED_MODE_STOP_BLINKING) != 0)
            return finish(-2);
        finish(0);
        break;
    default:
        break;
    }
}

bool ViewContentWriteDevice::writeNextBlock(Device* device, int memoryIndex)
{
    const uint8_t* block = device->getMemoryBuffer(memoryIndex) + blockNumber * DEVICE_MEMORY_BLOCK_SIZE;
    if (device->writeMemoryBlock(blockNumber, block) != 0)
        return false;
    blockNumber++;
    form->progressBar->setValue(form->progressBar->value() + 1);
    return true;
}

void ViewContentWriteDevice::finish(int returnValue)
{
    deviceAccessTimer.stop();
    mainWindow->popView(VIEW_ID_COUNT);
    Q_EMIT writeFinished(returnValue);
}
