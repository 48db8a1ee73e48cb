#pragma once

#include "device/Device.h"
#include "device/DeviceFailureCause.h"

#include <functional>
#include <memory>

// The device one workflow works on, owned from its opening to its closing: closing (or the session's end)
// stops the LED, releases the port and zero-fills the memory buffers. There is no process-wide device: each
// workflow has its session, and a page is given the device it works on.
class DeviceSession
{
public:
    enum OpenResult
    {
        // The only connected device is opening: the outcome comes later.
        OPEN_RESULT_OPENING = 0,
        // None or several devices are connected: the user chooses (the device selection page).
        OPEN_RESULT_CHOICE_NEEDED = 1
    };

    DeviceSession() = default;
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Called once an open ends: true when the session holds the open device, false with openFailure() set.
    using OpenFinished = std::function<void(bool isOpen)>;

    // Closes any device held, then opens the only connected device. OPEN_RESULT_CHOICE_NEEDED at once
    // (finished is not called); otherwise OPEN_RESULT_OPENING, the device opening in steps on the event loop
    // and finished called with the outcome (never from within this call).
    [[nodiscard]] OpenResult openOnlyConnectedDevice(const OpenFinished& finished);
    // Closes any device held, then opens the device on that port in steps on the event loop, so that a
    // device that keeps sending never freezes the window; finished gets the outcome. Closing the session
    // (or its end) meanwhile abandons the open without a call.
    void open(const DevicePortInfo& portInfo, const OpenFinished& finished);
    // True while an open begun with open() has not finished.
    bool isOpening() const;
    // Takes over a device opened elsewhere (the one chosen on the selection page), closing any other.
    void adopt(std::unique_ptr<Device> device);
    // The open device, null when none (or while it is still opening).
    Device* device() const;
    // Closes and releases the device in steps on the event loop (at once without one); the port is free for
    // this process as soon as this returns. Nothing when none is held.
    void close();
    const DeviceFailureCause& openFailure() const;

private:
    void finishOpen(Device* device, int result, const OpenFinished& finished);

    std::unique_ptr<Device> _device;
    bool _isOpening = false;
    DeviceFailureCause _openFailure;
};
