#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class Device;

// Opens a device in steps on the event loop (Device::beginOpen(), then one short continueOpen() per
// turn), so that a device that keeps sending or answers slowly never freezes the window. Reports the
// outcome once through openingFinished(), always from the event loop, then deletes itself. A device that
// is deleted or starts closing meanwhile ends the opening without a report.
class DeviceOpening : public QObject
{
    Q_OBJECT

public:
    // Longest work of one step: well under the ~50 ms after which a window feels stuck.
    static constexpr int STEP_MILLISECONDS = 20;

    DeviceOpening(Device* device, QObject* parent);

Q_SIGNALS:
    // Device::open()'s result: 0, or -1 with the reason in the device's lastOpenErrorNumber() and
    // lastFailure().
    void openingFinished(int result);

private Q_SLOTS:
    void _slotTimerStepTimeout();

private:
    QPointer<Device> device;
    QTimer stepTimer;
    bool isBeginning = true;
};
