#include "device/DeviceTransfer.h"

#include "device/Device.h"

#include <algorithm>
#include <cstring>

namespace
{
QString _describeDeviceFailure_helper(const Device& device, int expectedByteCount)
{
    const int receivedByteCount = device.receivedByteCount();
    switch (device.lastFailure())
    {
    case DEVICE_FAILURE_SILENCE:
        if (receivedByteCount == 0)
            return QStringLiteral("the device did not answer");
        return QStringLiteral("the device stopped answering after %1 of %2 bytes")
            .arg(receivedByteCount)
            .arg(expectedByteCount);
    case DEVICE_FAILURE_TOO_SLOW:
        return QStringLiteral("the device answered too slowly (%1 of %2 bytes)")
            .arg(receivedByteCount)
            .arg(expectedByteCount);
    case DEVICE_FAILURE_WRONG_REPLY:
        return QStringLiteral("the device refused the command");
    case DEVICE_FAILURE_NEVER_QUIET:
        return QStringLiteral("the device keeps sending data that nobody asked for");
    case DEVICE_FAILURE_GARBLED_REPLY:
        return QStringLiteral("the device does not answer properly");
    case DEVICE_FAILURE_PORT_BUSY:
    case DEVICE_FAILURE_PERMISSION_DENIED:
    case DEVICE_FAILURE_PORT:
    case DEVICE_FAILURE_NONE:
        break;
    }
    return QStringLiteral("the port failed (was the device unplugged?)");
}

QString _memoryName_helper(int memoryIndex)
{
    return memoryIndex == DEVICE_MEMORY_MAIN ? QStringLiteral("main") : QStringLiteral("backup");
}
} // namespace

DeviceTransfer::DeviceTransfer() = default;

DeviceTransfer::~DeviceTransfer()
{
    _readBackBuffer.clear();
}

void DeviceTransfer::startReading(Device* device)
{
    _isWriting = false;
    start(device, {{ACTION_SET_LED_MODE, LED_MODE_BLINK_DURING_ACCESS, READ_RESULT_LED_BLINKING_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_MAIN, READ_RESULT_MAIN_MEMORY_FAILED},
                   {ACTION_READ_MEMORY, DEVICE_MEMORY_MAIN, READ_RESULT_MAIN_MEMORY_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_BACKUP, READ_RESULT_BACKUP_MEMORY_FAILED},
                   {ACTION_READ_MEMORY, DEVICE_MEMORY_BACKUP, READ_RESULT_BACKUP_MEMORY_FAILED},
                   {ACTION_SET_LED_MODE, LED_MODE_STOP_BLINKING, READ_RESULT_LED_STOPPING_FAILED}});
}

void DeviceTransfer::startWriting(Device* device)
{
    _isWriting = true;
    start(device, {{ACTION_SET_LED_MODE, LED_MODE_BLINK_DURING_ACCESS, WRITE_RESULT_LED_BLINKING_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_MAIN, WRITE_RESULT_MAIN_SELECTION_FAILED},
                   {ACTION_WRITE_BLOCKS, DEVICE_MEMORY_MAIN, WRITE_RESULT_MAIN_BLOCK_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_MAIN, WRITE_RESULT_MAIN_READ_BACK_FAILED},
                   {ACTION_READ_MEMORY, DEVICE_MEMORY_MAIN, WRITE_RESULT_MAIN_READ_BACK_FAILED},
                   {ACTION_VERIFY_MAIN_MEMORY, DEVICE_MEMORY_MAIN, WRITE_RESULT_MAIN_VERIFICATION_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_BACKUP, WRITE_RESULT_BACKUP_SELECTION_FAILED},
                   {ACTION_WRITE_BLOCKS, DEVICE_MEMORY_BACKUP, WRITE_RESULT_BACKUP_BLOCK_FAILED},
                   {ACTION_SET_LED_MODE, LED_MODE_STOP_BLINKING, WRITE_RESULT_LED_STOPPING_FAILED}});
}

void DeviceTransfer::start(Device* device, std::vector<Step> steps)
{
    _readBackBuffer.clear();
    _device = device;
    _steps = std::move(steps);
    _stepIndex = 0;
    _blockNumber = 0;
    _isExchangeStarted = false;
    _isFinished = false;
    _result = 0;
    _completedByteCount = 0;
    _stepStartByteCount = 0;
    _failureCause.clear();
    _deviceFailure = DEVICE_FAILURE_NONE;
    _failedReplyReceivedByteCount = 0;
    _failedReplyExpectedByteCount = 0;
    _clock.start();
    _totalByteCount = 0;
    for (const Step& step : _steps)
    {
        if (step.action == ACTION_WRITE_BLOCKS || step.action == ACTION_READ_MEMORY)
            _totalByteCount += DEVICE_MEMORY_SIZE;
    }
    if (!_device)
        fail(_steps.front().failureCode, QStringLiteral("no device is open"));
}

bool DeviceTransfer::advance(int sliceMilliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!_isFinished)
    {
        const Step step = _steps[_stepIndex];
        const bool isCompleted = runStep(step, sliceMilliseconds, clock);
        if (_isFinished)
            break;
        if (!isCompleted)
            return false;
        // A slice ends with each block written and each memory read: the caller shows every one of them.
        const bool isDataMoved = step.action == ACTION_WRITE_BLOCKS || step.action == ACTION_READ_MEMORY;
        if (isDataMoved || clock.elapsed() >= sliceMilliseconds)
            return _isFinished;
    }
    return true;
}

int DeviceTransfer::run(const std::function<void(qint64, qint64)>& progress)
{
    while (!advance())
    {
        if (progress)
            progress(_completedByteCount, _totalByteCount);
    }
    if (progress)
        progress(_completedByteCount, _totalByteCount);
    return _result;
}

bool DeviceTransfer::runStep(const Step& step, qint64 sliceEnd, const QElapsedTimer& clock)
{
    if (step.action == ACTION_VERIFY_MAIN_MEMORY)
    {
        const bool isEqual = _readBackBuffer.isEqualTo(_device->getMemoryBuffer(DEVICE_MEMORY_MAIN));
        _readBackBuffer.clear();
        if (!isEqual)
        {
            fail(step.failureCode,
                 QStringLiteral("the main memory does not hold what was written; the backup "
                                "memory was left as it was"));
            return false;
        }
        completeStep();
        return true;
    }

    if (!_isExchangeStarted)
    {
        if (!beginExchange(step))
            return false;
        _isExchangeStarted = true;
    }
    const int waitMilliseconds = static_cast<int>(std::max<qint64>(sliceEnd - clock.elapsed(), 0));
    const int receiveResult = _device->continueReceive(waitMilliseconds);
    if (step.action == ACTION_READ_MEMORY)
        _completedByteCount = _stepStartByteCount + _device->receivedByteCount();
    if (receiveResult == DEVICE_RECEIVE_PENDING)
        return false;
    _isExchangeStarted = false;
    if (receiveResult != 0)
    {
        const int expectedByteCount = step.action == ACTION_READ_MEMORY ? DEVICE_MEMORY_SIZE : 1;
        noteDeviceFailure(expectedByteCount);
        fail(step.failureCode, describeStep(step) + QStringLiteral(": ") +
                                   _describeDeviceFailure_helper(*_device, expectedByteCount));
        return false;
    }

    if (step.action == ACTION_WRITE_BLOCKS)
    {
        _blockNumber++;
        _completedByteCount += DEVICE_MEMORY_BLOCK_SIZE;
        if (_blockNumber < DEVICE_MEMORY_BLOCK_COUNT)
            return true;
    }
    completeStep();
    return true;
}

bool DeviceTransfer::beginExchange(const Step& step)
{
    int result = -1;
    switch (step.action)
    {
    case ACTION_SET_LED_MODE:
        result = _device->startSetLedMode(step.argument);
        break;
    case ACTION_SELECT_MEMORY:
        result = _device->startSelectMemory(step.argument);
        break;
    case ACTION_WRITE_BLOCKS:
        result = _device->startWriteMemoryBlock(_blockNumber, _device->getMemoryBuffer(step.argument) +
                                                                  _blockNumber * DEVICE_MEMORY_BLOCK_SIZE);
        break;
    case ACTION_READ_MEMORY:
        _stepStartByteCount = _completedByteCount;
        result = _device->startReadSelectedMemory(readDestination(step.argument));
        break;
    case ACTION_VERIFY_MAIN_MEMORY:
        break;
    }
    if (result != 0)
    {
        noteDeviceFailure(0);
        fail(step.failureCode,
             describeStep(step) + QStringLiteral(": ") + _describeDeviceFailure_helper(*_device, 0));
    }
    return result == 0;
}

QString DeviceTransfer::describeStep(const Step& step) const
{
    switch (step.action)
    {
    case ACTION_SET_LED_MODE:
        return QStringLiteral("setting the LED");
    case ACTION_SELECT_MEMORY:
        return QStringLiteral("selecting the %1 memory").arg(_memoryName_helper(step.argument));
    case ACTION_WRITE_BLOCKS:
        return QStringLiteral("writing block %1 of the %2 memory")
            .arg(_blockNumber)
            .arg(_memoryName_helper(step.argument));
    case ACTION_READ_MEMORY:
    case ACTION_VERIFY_MAIN_MEMORY:
        break;
    }
    return QStringLiteral("reading the %1 memory").arg(_memoryName_helper(step.argument));
}

uint8_t* DeviceTransfer::readDestination(int memoryIndex)
{
    // While writing, the main buffer holds what was written: the read-back goes beside it.
    if (!_isWriting)
        return _device->getMemoryBuffer(memoryIndex);
    if (_readBackBuffer.isEmpty())
        _readBackBuffer.allocate(DEVICE_MEMORY_SIZE);
    return _readBackBuffer.data();
}

void DeviceTransfer::completeStep()
{
    _blockNumber = 0;
    _stepIndex++;
    if (_stepIndex < _steps.size())
        return;
    _isFinished = true;
    _result = 0;
    _device = nullptr;
}

void DeviceTransfer::noteDeviceFailure(int expectedByteCount)
{
    _deviceFailure = _device->lastFailure();
    _failedReplyReceivedByteCount = _device->receivedByteCount();
    _failedReplyExpectedByteCount = expectedByteCount;
}

DeviceFailure DeviceTransfer::deviceFailure() const
{
    return _deviceFailure;
}

int DeviceTransfer::failedReplyReceivedByteCount() const
{
    return _failedReplyReceivedByteCount;
}

int DeviceTransfer::failedReplyExpectedByteCount() const
{
    return _failedReplyExpectedByteCount;
}

void DeviceTransfer::fail(int failureCode, const QString& cause)
{
    _isFinished = true;
    _result = failureCode;
    _failureCause = cause;
    _device = nullptr;
    _readBackBuffer.clear();
}

bool DeviceTransfer::isFinished() const
{
    return _isFinished;
}

int DeviceTransfer::result() const
{
    return _result;
}

qint64 DeviceTransfer::completedByteCount() const
{
    return _completedByteCount;
}

qint64 DeviceTransfer::totalByteCount() const
{
    return _totalByteCount;
}

int DeviceTransfer::remainingSecondsEstimate() const
{
    constexpr qint64 MINIMUM_ELAPSED_MILLISECONDS = 1000;
    constexpr qint64 MINIMUM_PERCENTAGE = 2;
    if (_isFinished || !_clock.isValid() || _totalByteCount <= 0)
        return -1;
    const qint64 elapsed = _clock.elapsed();
    if (elapsed < MINIMUM_ELAPSED_MILLISECONDS ||
        _completedByteCount * 100 < _totalByteCount * MINIMUM_PERCENTAGE)
        return -1;
    const qint64 remainingByteCount = _totalByteCount - _completedByteCount + _followingByteCount;
    // The give-up bound: every byte at the slowest supported link, a quarter more for margin.
    const qint64 boundMilliseconds =
        remainingByteCount * 1000 * 5 / (DEVICE_SLOWEST_LINK_BYTES_PER_SECOND * 4);
    const qint64 remainingMilliseconds =
        std::min(elapsed * remainingByteCount / _completedByteCount, boundMilliseconds);
    return static_cast<int>((remainingMilliseconds + 999) / 1000);
}

void DeviceTransfer::setFollowingByteCount(qint64 byteCount)
{
    _followingByteCount = std::max<qint64>(byteCount, 0);
}

bool DeviceTransfer::isBetweenExchanges() const
{
    return !_isExchangeStarted;
}

int DeviceTransfer::stageResult() const
{
    if (_isFinished || _stepIndex >= _steps.size())
        return _result;
    return _steps[_stepIndex].failureCode;
}

QString DeviceTransfer::failureCause() const
{
    return _failureCause;
}
