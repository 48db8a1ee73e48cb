#pragma once

#include "ViewContentBase.h"
#include "device/DeviceTransfer.h"

#include <QTimer>

namespace Ui
{
class ViewContentWriteDevice;
}

// Writes the current device's main buffer to its main memory, reads it back and compares, then writes its
// backup buffer to its backup memory: one 256-byte block (or a short slice of the read-back) per timer
// tick so that the window repaints and answers in between. Reports one result code, a
// DeviceTransfer::WriteResult:
//   0 both memories written and the LED stopped, -1 the LED could not be made to blink, -2 the LED could
//   not be stopped, -3 / -4 the main / backup memory could not be selected, -5 / -6 a block of the main /
//   backup memory could not be written, -7 the main memory could not be read back, -8 it does not hold
//   what was written (in both last cases the backup memory was not touched).
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

    Ui::ViewContentWriteDevice* form;
    DeviceTransfer transfer;
    QTimer deviceAccessTimer;
};
