#pragma once

#include "ViewContentBase.h"
#include "device/DeviceTransfer.h"

#include <QTimer>

namespace Ui
{
class ViewContentReadDevice;
}

// Reads the main then the backup memory of the current device into its buffers, a short slice of the
// transfer per timer tick so that the window repaints and answers in between, with a progress bar that
// follows the bytes. Reports one result code, a DeviceTransfer::ReadResult:
//   0 both memories read and the LED stopped, -1 the LED could not be made to blink, -2 main memory
//   selection or read failed, -3 the same for the backup memory, -4 the LED could not be stopped.
class ViewContentReadDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentReadDevice(QWidget* parent);
    ~ViewContentReadDevice() override;

    void activate() override;
    void deactivate() override;

    // "About 12 seconds left" for a transfer's estimate, empty while there is none. Shared with the write
    // page.
    static QString remainingTimeText(const DeviceTransfer& transfer);

Q_SIGNALS:
    void readFinished(int returnValue);

private Q_SLOTS:
    void _slotDeviceAccessTimerTimeout();

private:
    // Leaves the page, then reports.
    void finish(int returnValue);

    Ui::ViewContentReadDevice* form;
    DeviceTransfer transfer;
    QTimer deviceAccessTimer;
};
