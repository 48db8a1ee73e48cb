#pragma once

#include "ViewContentBase.h"
#include "device/DeviceTransfer.h"

#include <QPointer>

#include <QTimer>

class Device;

namespace Ui
{
class ViewContentReadDevice;
}

// Reads the main then the backup memory of the device it is given into the device's buffers, a short slice
// of the transfer per timer tick so that the window repaints and answers in between, with a progress bar
// that follows the bytes; after a write, it also compares them with what was written. Reports one result
// code, a ReadResult, and keeps the cause of a failure.
class ViewContentReadDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentReadDevice(QWidget* parent);
    ~ViewContentReadDevice() override;

    void activate() override;
    void deactivate() override;

    // The device of the next visit (not owned: the workflow's session keeps it). Without expected images
    // the visit reads; with them (DEVICE_MEMORY_SIZE bytes each, copied) it reads and verifies. Either way
    // the next visit after that reads again.
    void setDevice(Device* device, const uint8_t* expectedMainImage = nullptr,
                   const uint8_t* expectedBackupImage = nullptr);
    // Why the last visit failed.
    const DeviceFailureCause& failureCause() const;

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
        READ_RESULT_LED_STOPPING_FAILED = DeviceTransfer::READ_RESULT_LED_STOPPING_FAILED,
        // A memory read back does not hold what was written.
        READ_RESULT_VERIFICATION_FAILED = DeviceTransfer::READ_RESULT_VERIFICATION_FAILED
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
    QPointer<Device> device;
    SecureImageBuffer expectedImages[DEVICE_MEMORY_COUNT];
};
