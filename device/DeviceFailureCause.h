#pragma once

#include "device/Device.h"

#include <QString>

// Why an exchange with a device failed, as data rather than text: the window words it in the user's
// language, the command-line tool prints describeDeviceFailureCause(). Both get it from the same places:
// DeviceSession for opening, DeviceTransfer for moving the memories.
struct DeviceFailureCause
{
    // What was being done.
    enum Operation
    {
        OPERATION_NONE,
        OPERATION_OPENING,
        OPERATION_SETTING_LED,
        OPERATION_SELECTING_MEMORY,
        OPERATION_WRITING_BLOCK,
        OPERATION_READING_MEMORY,
        // Comparing a memory read back with what was written.
        OPERATION_VERIFYING_MEMORY
    };
    // What went wrong.
    enum Problem
    {
        PROBLEM_NONE,
        // No device was there to work on.
        PROBLEM_NO_DEVICE,
        // The operating system reported an error on the port (device unplugged, for example).
        PROBLEM_PORT,
        PROBLEM_NO_ANSWER,
        // Part of the reply came: receivedByteCount of expectedByteCount.
        PROBLEM_STOPPED_ANSWERING,
        PROBLEM_TOO_SLOW,
        PROBLEM_REFUSED,
        PROBLEM_NEVER_QUIET,
        PROBLEM_INCOMPLETE_ANSWER,
        // The answer is not what a device sends (a name that is not text, for example).
        PROBLEM_GARBLED_ANSWER,
        // The memory read back is not what was written.
        PROBLEM_CONTENT_DIFFERS,
        // Opening the port: no permission, in use by another program, gone, or another errorNumber.
        PROBLEM_ACCESS_DENIED,
        PROBLEM_BUSY,
        PROBLEM_GONE,
        PROBLEM_SYSTEM_ERROR
    };

    Operation operation = OPERATION_NONE;
    Problem problem = PROBLEM_NONE;
    // DEVICE_MEMORY_MAIN or DEVICE_MEMORY_BACKUP for the memory operations, -1 otherwise.
    int memoryIndex = -1;
    // The block being written, -1 otherwise.
    int blockNumber = -1;
    int receivedByteCount = 0;
    int expectedByteCount = 0;
    // The errno value of an open failure (Device::lastOpenErrorNumber()).
    int errorNumber = 0;

    bool isFailure() const
    {
        return problem != PROBLEM_NONE;
    }

    // From Device::lastOpenErrorNumber() after a failed open().
    static DeviceFailureCause fromOpenErrorNumber(int errorNumber);
    // From Device::lastFailure() after a failed exchange of operation; expectedByteCount: the reply's size.
    static DeviceFailureCause fromExchange(const Device& device, Operation operation, int memoryIndex,
                                           int blockNumber, int expectedByteCount);
};

// In plain English, for the command-line tool and logs: "reading the main memory: the device stopped
// answering after 65536 of 131072 bytes"; an open failure names the problem alone ("the port is in use by
// another program"). Empty for no failure.
QString describeDeviceFailureCause(const DeviceFailureCause& cause);
// The problem alone, in plain English ("the device did not answer").
QString describeDeviceFailureProblem(const DeviceFailureCause& cause);
