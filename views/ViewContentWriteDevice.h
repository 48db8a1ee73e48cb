#pragma once

#include "ViewContentBase.h"
#include "device/DeviceTransfer.h"

#include <QPointer>
#include <QTimer>

class Device;

namespace Ui
{
class ViewContentWriteDevice;
}

// Writes the main buffer of the device it is given to its main memory, reads it back and compares, then
// writes its backup buffer to its backup memory: one 256-byte block (or a short slice of the read-back) per
// timer tick so that the window repaints and answers in between. Reports one result code, a WriteResult.
class ViewContentWriteDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentWriteDevice(QWidget* parent);
    ~ViewContentWriteDevice() override;
    // Why the window does not quit while this page writes (stopping would leave the device half written).
    static QString quitRefusalText();

    void activate() override;
    void deactivate() override;

    // The device of the next visit (not owned: the workflow's session keeps it).
    void setDevice(Device* device);
    // Why the last visit failed.
    const DeviceFailureCause& failureCause() const;

    // The codes writeFinished() carries: the transfer's own.
    enum WriteResult
    {
        // Both memories written and the LED stopped.
        WRITE_RESULT_SUCCESS = DeviceTransfer::WRITE_RESULT_SUCCESS,
        WRITE_RESULT_LED_BLINKING_FAILED = DeviceTransfer::WRITE_RESULT_LED_BLINKING_FAILED,
        WRITE_RESULT_LED_STOPPING_FAILED = DeviceTransfer::WRITE_RESULT_LED_STOPPING_FAILED,
        WRITE_RESULT_MAIN_SELECTION_FAILED = DeviceTransfer::WRITE_RESULT_MAIN_SELECTION_FAILED,
        WRITE_RESULT_BACKUP_SELECTION_FAILED = DeviceTransfer::WRITE_RESULT_BACKUP_SELECTION_FAILED,
        // A block of the main / backup memory could not be written.
        WRITE_RESULT_MAIN_BLOCK_FAILED = DeviceTransfer::WRITE_RESULT_MAIN_BLOCK_FAILED,
        WRITE_RESULT_BACKUP_BLOCK_FAILED = DeviceTransfer::WRITE_RESULT_BACKUP_BLOCK_FAILED,
        // The main memory could not be read back, or does not hold what was written; in both cases the
        // backup memory was not touched.
        WRITE_RESULT_MAIN_READ_BACK_FAILED = DeviceTransfer::WRITE_RESULT_MAIN_READ_BACK_FAILED,
        WRITE_RESULT_MAIN_VERIFICATION_FAILED = DeviceTransfer::WRITE_RESULT_MAIN_VERIFICATION_FAILED
    };

Q_SIGNALS:
    // returnValue: a WriteResult.
    void writeFinished(int returnValue);

private Q_SLOTS:
    void _slotDeviceAccessTimerTimeout();

private:
    // Leaves the page, then reports.
    void finish(int returnValue);

    Ui::ViewContentWriteDevice* form;
    DeviceTransfer transfer;
    QTimer deviceAccessTimer;
    QPointer<Device> device;
};
