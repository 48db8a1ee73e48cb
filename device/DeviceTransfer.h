#pragma once

#include "common/SecureImageBuffer.h"
#include "device/DeviceFailureCause.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Moves both memories between a device and its buffers in small steps, so that a caller on the GUI
// thread can run one slice per event-loop turn and the window stays responsive while a memory takes
// 11.4 s on the line. The progress pages, the command-line tool, the tests and the benchmarks all
// transfer through this class.
//
// Reading: LED blinking, select and read the main memory, select and read the backup memory, LED stopped.
// Writing: LED blinking, select the main memory and write its 512 blocks, select it again, read it back
// and compare it with what was written, and only then select the backup memory and write it, LED
// stopped. Until the main memory is proven good, the backup memory still holds the previous vault.
// Verifying (after a write): both memories read as for reading, then each compared with what was written,
// so that the window and the tool check a write the same way.
class DeviceTransfer
{
public:
    enum ReadResult
    {
        READ_RESULT_SUCCESS = 0,
        READ_RESULT_LED_BLINKING_FAILED = -1,
        READ_RESULT_MAIN_MEMORY_FAILED = -2,
        READ_RESULT_BACKUP_MEMORY_FAILED = -3,
        READ_RESULT_LED_STOPPING_FAILED = -4,
        // Verifying only: a memory read back does not hold what was written.
        READ_RESULT_VERIFICATION_FAILED = -5
    };
    enum WriteResult
    {
        WRITE_RESULT_SUCCESS = 0,
        WRITE_RESULT_LED_BLINKING_FAILED = -1,
        WRITE_RESULT_LED_STOPPING_FAILED = -2,
        WRITE_RESULT_MAIN_SELECTION_FAILED = -3,
        WRITE_RESULT_BACKUP_SELECTION_FAILED = -4,
        WRITE_RESULT_MAIN_BLOCK_FAILED = -5,
        WRITE_RESULT_BACKUP_BLOCK_FAILED = -6,
        // Reading the main memory back after writing it failed; the backup memory was not touched.
        WRITE_RESULT_MAIN_READ_BACK_FAILED = -7,
        // The main memory does not hold what was written; the backup memory was not touched.
        WRITE_RESULT_MAIN_VERIFICATION_FAILED = -8
    };

    // Longest stretch of work of one slice by default: short enough for the window to repaint smoothly.
    static constexpr int DEFAULT_SLICE_MILLISECONDS = 25;

    DeviceTransfer();
    ~DeviceTransfer();
    DeviceTransfer(const DeviceTransfer&) = delete;
    DeviceTransfer& operator=(const DeviceTransfer&) = delete;

    // Reads the main then the backup memory of device into its memory buffers.
    void startReading(Device* device);
    // Writes the device's main buffer to its main memory and its backup buffer to its backup memory.
    void startWriting(Device* device);
    // Reads both memories back into the device's buffers, then compares them with the expected images
    // (DEVICE_MEMORY_SIZE bytes each, copied here).
    void startVerifying(Device* device, const uint8_t* expectedMainImage, const uint8_t* expectedBackupImage);

    // Works for about sliceMilliseconds at most, then returns; a slice also ends after each block written
    // and each memory read, so that a caller sees every one of them.
    // True once the transfer has finished; result() is then set.
    bool advance(int sliceMilliseconds = DEFAULT_SLICE_MILLISECONDS);
    // Advances until finished, reporting progress after each slice, and returns the result.
    [[nodiscard]] int
    run(const std::function<void(qint64 completedByteCount, qint64 totalByteCount)>& progress = {});

    bool isFinished() const;
    // A ReadResult or WriteResult; meaningful once finished.
    int result() const;
    // Memory bytes moved so far and in all (a block write counts its 256 data bytes).
    qint64 completedByteCount() const;
    qint64 totalByteCount() const;
    // Memory bytes that the same operation moves after this transfer (the read-back of both memories that
    // follows every write), so that the estimate below covers the whole operation. Kept across starts.
    void setFollowingByteCount(qint64 byteCount);
    // Seconds the transfer and the bytes that follow it will still take at the pace kept so far, or -1
    // while too little has moved to tell (the first second, the first percents). Never more than those
    // bytes may take on the slowest supported link before the transfer gives up on the device.
    int remainingSecondsEstimate() const;
    // What went wrong, for messages that give the cause; no failure after a success.
    const DeviceFailureCause& failure() const;
    // True between two exchanges with the device: stopping here leaves no request half-done on it.
    bool isBetweenExchanges() const;
    // The result a failure of the current step would give (a ReadResult or WriteResult): tells which
    // memory the transfer is working on, for messages when it is stopped.
    int stageResult() const;
    // failure() in plain English ("reading the main memory: the device stopped answering after 65536 of
    // 131072 bytes"); empty after a success.
    QString failureCause() const;

private:
    enum Action
    {
        ACTION_SET_LED_MODE,
        ACTION_SELECT_MEMORY,
        ACTION_WRITE_BLOCKS,
        ACTION_READ_MEMORY,
        ACTION_VERIFY_MAIN_MEMORY,
        // Compares a memory read by ACTION_READ_MEMORY with the expected image.
        ACTION_VERIFY_MEMORY
    };
    struct Step
    {
        Action action;
        int argument;
        int failureCode;
    };

    void start(Device* device, std::vector<Step> steps);
    bool verifyMemory(const Step& step, const uint8_t* memory, const uint8_t* expected);
    // Runs the current step until it completes, fails or the slice ends. True when it completed.
    bool runStep(const Step& step, qint64 sliceEnd, const QElapsedTimer& clock);
    bool beginExchange(const Step& step);
    uint8_t* readDestination(int memoryIndex);
    DeviceFailureCause::Operation operationOf(const Step& step) const;
    void completeStep();
    void fail(int failureCode, const DeviceFailureCause& cause);

    Device* _device = nullptr;
    bool _isWriting = false;
    std::vector<Step> _steps;
    size_t _stepIndex = 0;
    int _blockNumber = 0;
    bool _isExchangeStarted = false;
    bool _isFinished = true;
    int _result = 0;
    qint64 _completedByteCount = 0;
    qint64 _stepStartByteCount = 0;
    qint64 _totalByteCount = 0;
    DeviceFailureCause _failure;
    qint64 _followingByteCount = 0;
    QElapsedTimer _clock;
    // The main memory as read back while writing, before it is compared.
    SecureImageBuffer _readBackBuffer;
    // What verifying expects in each memory.
    SecureImageBuffer _expectedImages[DEVICE_MEMORY_COUNT];
};
