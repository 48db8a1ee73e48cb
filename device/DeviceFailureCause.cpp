#include "device/DeviceFailureCause.h"

#include <cerrno>
#include <cstring>

namespace
{
QString _memoryName_helper(int memoryIndex)
{
    return memoryIndex == DEVICE_MEMORY_MAIN ? QStringLiteral("main") : QStringLiteral("backup");
}

QString _describeOperation_helper(const DeviceFailureCause& cause)
{
    switch (cause.operation)
    {
    case DeviceFailureCause::OPERATION_SETTING_LED:
        return QStringLiteral("setting the LED");
    case DeviceFailureCause::OPERATION_SELECTING_MEMORY:
        return QStringLiteral("selecting the %1 memory").arg(_memoryName_helper(cause.memoryIndex));
    case DeviceFailureCause::OPERATION_WRITING_BLOCK:
        return QStringLiteral("writing block %1 of the %2 memory")
            .arg(cause.blockNumber)
            .arg(_memoryName_helper(cause.memoryIndex));
    case DeviceFailureCause::OPERATION_READING_MEMORY:
        return QStringLiteral("reading the %1 memory").arg(_memoryName_helper(cause.memoryIndex));
    case DeviceFailureCause::OPERATION_VERIFYING_MEMORY:
        return QStringLiteral("verifying the %1 memory").arg(_memoryName_helper(cause.memoryIndex));
    case DeviceFailureCause::OPERATION_NONE:
    case DeviceFailureCause::OPERATION_OPENING:
        break;
    }
    return QString();
}
} // namespace

DeviceFailureCause DeviceFailureCause::fromOpenErrorNumber(int errorNumber)
{
    DeviceFailureCause cause;
    cause.operation = OPERATION_OPENING;
    cause.errorNumber = errorNumber;
    switch (errorNumber)
    {
    case 0:
        cause.problem = PROBLEM_SYSTEM_ERROR;
        break;
    case ETIMEDOUT:
        cause.problem = PROBLEM_NO_ANSWER;
        break;
    case EPROTO:
        cause.problem = PROBLEM_INCOMPLETE_ANSWER;
        break;
    case EBADMSG:
        cause.problem = PROBLEM_NEVER_QUIET;
        break;
    case EILSEQ:
        cause.problem = PROBLEM_GARBLED_ANSWER;
        break;
    case EBUSY:
#if EWOULDBLOCK != EBUSY
    case EWOULDBLOCK:
#endif
        cause.problem = PROBLEM_BUSY;
        break;
    case EACCES:
    case EPERM:
        cause.problem = PROBLEM_ACCESS_DENIED;
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        cause.problem = PROBLEM_GONE;
        break;
    default:
        cause.problem = PROBLEM_SYSTEM_ERROR;
        break;
    }
    return cause;
}

DeviceFailureCause DeviceFailureCause::fromExchange(const Device& device, Operation operation,
                                                    int memoryIndex, int blockNumber, int expectedByteCount)
{
    DeviceFailureCause cause;
    cause.operation = operation;
    cause.memoryIndex = memoryIndex;
    cause.blockNumber = blockNumber;
    cause.receivedByteCount = device.receivedByteCount();
    cause.expectedByteCount = expectedByteCount;
    switch (device.lastFailure())
    {
    case DEVICE_FAILURE_SILENCE:
        cause.problem = cause.receivedByteCount == 0 ? PROBLEM_NO_ANSWER : PROBLEM_STOPPED_ANSWERING;
        break;
    case DEVICE_FAILURE_TOO_SLOW:
        cause.problem = PROBLEM_TOO_SLOW;
        break;
    case DEVICE_FAILURE_WRONG_REPLY:
        cause.problem = PROBLEM_REFUSED;
        break;
    case DEVICE_FAILURE_NEVER_QUIET:
        cause.problem = PROBLEM_NEVER_QUIET;
        break;
    case DEVICE_FAILURE_GARBLED_REPLY:
        cause.problem = PROBLEM_GARBLED_ANSWER;
        break;
    case DEVICE_FAILURE_PORT_BUSY:
        cause.problem = PROBLEM_BUSY;
        break;
    case DEVICE_FAILURE_PERMISSION_DENIED:
        cause.problem = PROBLEM_ACCESS_DENIED;
        break;
    case DEVICE_FAILURE_PORT:
    case DEVICE_FAILURE_NONE:
        cause.problem = PROBLEM_PORT;
        break;
    }
    return cause;
}

QString describeDeviceFailureProblem(const DeviceFailureCause& cause)
{
    switch (cause.problem)
    {
    case DeviceFailureCause::PROBLEM_NONE:
        return QString();
    case DeviceFailureCause::PROBLEM_NO_DEVICE:
        return QStringLiteral("no device is open");
    case DeviceFailureCause::PROBLEM_PORT:
        return QStringLiteral("the port failed (was the device unplugged?)");
    case DeviceFailureCause::PROBLEM_NO_ANSWER:
        return QStringLiteral("the device did not answer");
    case DeviceFailureCause::PROBLEM_STOPPED_ANSWERING:
        return QStringLiteral("the device stopped answering after %1 of %2 bytes")
            .arg(cause.receivedByteCount)
            .arg(cause.expectedByteCount);
    case DeviceFailureCause::PROBLEM_TOO_SLOW:
        return QStringLiteral("the device answered too slowly (%1 of %2 bytes)")
            .arg(cause.receivedByteCount)
            .arg(cause.expectedByteCount);
    case DeviceFailureCause::PROBLEM_REFUSED:
        return QStringLiteral("the device refused the command");
    case DeviceFailureCause::PROBLEM_NEVER_QUIET:
        return QStringLiteral("the device keeps sending data that nobody asked for");
    case DeviceFailureCause::PROBLEM_INCOMPLETE_ANSWER:
        return QStringLiteral("the device gave an incomplete answer");
    case DeviceFailureCause::PROBLEM_GARBLED_ANSWER:
        return QStringLiteral("the device does not answer properly (its reply is not valid)");
    case DeviceFailureCause::PROBLEM_CONTENT_DIFFERS:
        return cause.memoryIndex == DEVICE_MEMORY_MAIN
                   ? QStringLiteral("the main memory does not hold what was written; the backup memory was "
                                    "left as it was")
                   : QStringLiteral("the backup memory does not hold what was written");
    case DeviceFailureCause::PROBLEM_ACCESS_DENIED:
        return QStringLiteral("no permission to use the port");
    case DeviceFailureCause::PROBLEM_BUSY:
        return QStringLiteral("the port is in use by another program");
    case DeviceFailureCause::PROBLEM_GONE:
        return QStringLiteral("the port is gone");
    case DeviceFailureCause::PROBLEM_SYSTEM_ERROR:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(cause.errorNumber));
}

QString describeDeviceFailureCause(const DeviceFailureCause& cause)
{
    const QString problem = describeDeviceFailureProblem(cause);
    const QString operation = _describeOperation_helper(cause);
    // The content check names its memory in the problem already.
    if (operation.isEmpty() || problem.isEmpty() ||
        cause.problem == DeviceFailureCause::PROBLEM_CONTENT_DIFFERS)
        return problem;
    return operation + QStringLiteral(": ") + problem;
}
