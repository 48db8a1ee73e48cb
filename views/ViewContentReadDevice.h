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
// follows the bytes. Reports one result code, a ReadResult.
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
    // Why the window does not quit while this page reads (the page has no button to leave it).
    static QString quitRefusalText();

    // The codes readFinished() carries: the transfer's own.
    enum ReadResult
    {
        // Both memories read and the LED stopped.
        READ_RESULT_SUCCESS = DeviceTransfer::READ_RESULT_SUCCESS,
        READ_RESULT_LED_BLINKING_FAILED = DeviceTransfer::READ_RESULT_LED_BLINKING_FAILED,
        // Selecting or reading the main memory failed.
        READ_RESULT_MAIN_MEMORY_FAILED = DeviceTransfer::READ_RESULT_MAIN_MEMORY_FAILED,
        READ_RESULT_BACKUP_MEMORY_FAILED = DeviceTransfer::READ_RESULT_BACKUP_MEMORY_FAILED,
        READ_RESULT_LED_STOPPING_FAILED = DeviceTransfer::READ_RESULT_LED_STOPPING_FAILED
    };

Q_SIGNALS:
    // returnValue: a ReadResult.
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
