#include "device/DeviceTransfer.h"

#include "device/Device.h"

#include <algorithm>
#include <cstring>

DeviceTransfer::DeviceTransfer() = default;

DeviceTransfer::~DeviceTransfer()
{
    _readBackBuffer.clear();
    for (SecureImageBuffer& image : _expectedImages)
        image.clear();
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

void DeviceTransfer::startVerifying(Device* device, const uint8_t* expectedMainImage,
                                    const uint8_t* expectedBackupImage)
{
    _isWriting = false;
    start(device, {{ACTION_SET_LED_MODE, LED_MODE_BLINK_DURING_ACCESS, READ_RESULT_LED_BLINKING_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_MAIN, READ_RESULT_MAIN_MEMORY_FAILED},
                   {ACTION_READ_MEMORY, DEVICE_MEMORY_MAIN, READ_RESULT_MAIN_MEMORY_FAILED},
                   {ACTION_SELECT_MEMORY, DEVICE_MEMORY_BACKUP, READ_RESULT_BACKUP_MEMORY_FAILED},
                   {ACTION_READ_MEMORY, DEVICE_MEMORY_BACKUP, READ_RESULT_BACKUP_MEMORY_FAILED},
                   {ACTION_SET_LED_MODE, LED_MODE_STOP_BLINKING, READ_RESULT_LED_STOPPING_FAILED},
                   {ACTION_VERIFY_MEMORY, DEVICE_MEMORY_MAIN, READ_RESULT_VERIFICATION_FAILED},
                   {ACTION_VERIFY_MEMORY, DEVICE_MEMORY_BACKUP, READ_RESULT_VERIFICATION_FAILED}});
    // Copied after start(), which releases the images of an earlier verification.
    _expectedImages[DEVICE_MEMORY_MAIN].assign(expectedMainImage, DEVICE_MEMORY_SIZE);
    _expectedImages[DEVICE_MEMORY_BACKUP].assign(expectedBackupImage, DEVICE_MEMORY_SIZE);
}

void DeviceTransfer::start(Device* device, std::vector<Step> steps)
{
    _readBackBuffer.clear();
    for (SecureImageBuffer& image : _expectedImages)
        image.clear();
    _device = device;
    _steps = std::move(steps);
    _stepIndex = 0;
    _blockNumber = 0;
    _isExchangeStarted = false;
    _isFinished = false;
    _result = 0;
    _completedByteCount = 0;
    _stepStartByteCount = 0;
    _failure = DeviceFailureCause();
    _clock.start();
    _totalByteCount = 0;
    for (const Step& step : _steps)
    {
        if (step.action == ACTION_WRITE_BLOCKS || step.action == ACTION_READ_MEMORY)
            _totalByteCount += DEVICE_MEMORY_SIZE;
    }
    if (!_device)
    {
        DeviceFailureCause cause;
        cause.problem = DeviceFailureCause::PROBLEM_NO_DEVICE;
        fail(_steps.front().failureCode, cause);
    }
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
        const bool isEqual =
            verifyMemory(step, _readBackBuffer.data(), _device->getMemoryBuffer(DEVICE_MEMORY_MAIN));
        _readBackBuffer.clear();
        return isEqual;
    }
    if (step.action == ACTION_VERIFY_MEMORY)
        return verifyMemory(step, _device->getMemoryBuffer(step.argument),
                            _expectedImages[step.argument].data());

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
        fail(step.failureCode, DeviceFailureCause::fromExchange(*_device, operationOf(step), step.argument,
                                                                _blockNumber, expectedByteCount));
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
    case ACTION_VERIFY_MEMORY:
        break;
    }
    if (result != 0)
    {
        fail(step.failureCode,
             DeviceFailureCause::fromExchange(*_device, operationOf(step), step.argument, _blockNumber, 0));
    }
    return result == 0;
}

bool DeviceTransfer::verifyMemory(const Step& step, const uint8_t* memory, const uint8_t* expected)
{
    if (memory && expected && std::memcmp(memory, expected, DEVICE_MEMORY_SIZE) == 0)
    {
        completeStep();
        return true;
    }
    DeviceFailureCause cause;
    cause.operation = DeviceFailureCause::OPERATION_VERIFYING_MEMORY;
    cause.problem = DeviceFailureCause::PROBLEM_CONTENT_DIFFERS;
    cause.memoryIndex = step.action == ACTION_VERIFY_MAIN_MEMORY ? DEVICE_MEMORY_MAIN : step.argument;
    fail(step.failureCode, cause);
    return false;
}

DeviceFailureCause::Operation DeviceTransfer::operationOf(const Step& step) const
{
    switch (step.action)
    {
    case ACTION_SET_LED_MODE:
        return DeviceFailureCause::OPERATION_SETTING_LED;
    case ACTION_SELECT_MEMORY:
        return DeviceFailureCause::OPERATION_SELECTING_MEMORY;
    case ACTION_WRITE_BLOCKS:
        return DeviceFailureCause::OPERATION_WRITING_BLOCK;
    case ACTION_READ_MEMORY:
        return DeviceFailureCause::OPERATION_READING_MEMORY;
    case ACTION_VERIFY_MAIN_MEMORY:
    case ACTION_VERIFY_MEMORY:
        break;
    }
    return DeviceFailureCause::OPERATION_VERIFYING_MEMORY;
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
    for (SecureImageBuffer& image : _expectedImages)
        image.clear();
}

void DeviceTransfer::fail(int failureCode, const DeviceFailureCause& cause)
{
    _isFinished = true;
    _result = failureCode;
    _failure = cause;
    _device = nullptr;
    _readBackBuffer.clear();
    for (SecureImageBuffer& image : _expectedImages)
        image.clear();
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

const DeviceFailureCause& DeviceTransfer::failure() const
{
    return _failure;
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
    return describeDeviceFailureCause(_failure);
}
