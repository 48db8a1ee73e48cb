#pragma once

#include "ViewContentBase.h"

#include <QTimer>

class Device;

namespace Ui
{
class ViewContentWriteDevice;
}

// Writes the current device's main buffer to its main memory and its backup buffer to its backup memory,
// one 256-byte block per timer tick so that the window repaints in between, and reports one result code:
//   0 both memories written and the LED stopped, -1 the LED could not be made to blink, -2 the LED could
//   not be stopped, -3 / -4 the main / backup memory could not be selected, -5 / -6 a block of the main /
//   backup memory could not be written.
class ViewContentWriteDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentWriteDevice(QWidget* parent);
    ~ViewContentWriteDevice() override;

    void activate() override;
    void deactivate() override;

Q_SIGNALS:
    void writeFinished(int returnValue);

private Q_SLOTS:
    void _slotDeviceAccessTimerTimeout();

private:
    // Leaves the page, then reports.
    void finish(int returnValue);
    // Writes the next block of the given memory from its buffer; false when the device refused it.
    bool writeNextBlock(Device* device, int memoryIndex);

    Ui::ViewContentWriteDevice* form;
    int step = 0;
    // The next block to write in the memory of the current step; its data is read from the device's
    // buffer at each tick rather than through a pointer kept between ticks.
    int blockNumber = 0;
    QTimer deviceAccessTimer;
};
