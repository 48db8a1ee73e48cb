#pragma once

#include "device/Device.h"
#include "device/DeviceFailureCause.h"

#include <memory>

// The device one workflow works on, owned from its opening to its closing: closing (or the session's end)
// stops the LED, releases the port and zero-fills the memory buffers. There is no process-wide device: each
// workflow has its session, and a page is given the device it works on.
class DeviceSession
{
public:
    enum OpenResult
    {
        OPEN_RESULT_SUCCESS = 0,
        // None or several devices are connected: the user chooses (the device selection page).
        OPEN_RESULT_CHOICE_NEEDED = 1,
        // The only connected device could not be opened: openFailure() says why.
        OPEN_RESULT_FAILED = -1
    };

    DeviceSession() = default;
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Closes any device held, then opens the only connected device.
    [[nodiscard]] OpenResult openOnlyConnectedDevice();
    // Closes any device held, then opens the device on that port; false with openFailure() set.
    [[nodiscard]] bool open(const DevicePortInfo& portInfo);
    // Takes over a device opened elsewhere (the one chosen on the selection page), closing any other.
    void adopt(std::unique_ptr<Device> device);
    // The open device, null when none.
    Device* device() const;
    // Closes and releases the device; nothing when none is held.
    void close();
    const DeviceFailureCause& openFailure() const;

private:
    std::unique_ptr<Device> _device;
    DeviceFailureCause _openFailure;
};
