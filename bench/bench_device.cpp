// Memory transfers through DeviceTransfer between Device and the device simulator on a pseudo-terminal.
//   ReadBothMemories, WriteBothMemories: unlimited link speed (targets: < 10 ms and < 0.3 s; the write
//   includes the main memory's read-back).
//   OpenAt11520, SaveAt11520: a link of 11 520 bytes per second (115 200 baud, 8N1) in 64-byte USB
//   packets. Opening reads both memories; saving writes both with the main memory's read-back in between,
//   then reads both back. line_time_ratio is the time over the pure line time of the bytes exchanged
//   (target <= 1.05); longest_slice_ms is the longest DeviceTransfer::advance() call, the time the event
//   loop waits for the transfer (target <= 50 ms).
//   WriteAt11520WithLatencyTimer/16, /1: writing both memories (with the main memory's read-back) at the
//   real line rate through a bridge that holds every short packet (each block's acknowledgement) for its
//   latency timer: 16 ms as shipped, 1 ms once the udev rule (or the driver's low-latency setting) has
//   lowered it. write_s is the time of one write.
//   FloodingDeviceOpen, AbandonedReadClose: the event loop while a device that keeps sending is opened (and
//   given up on after about 13 s), and while a device still sending an abandoned memory reply at the real
//   line rate is closed (its line must fall quiet before the LED command). longest_turn_ms is the longest
//   time between two turns of the event loop (target < 100 ms), turns_over_50ms how many took longer than
//   50 ms (0 but for the odd scheduling delay on a loaded machine).

#include "device/Device.h"
#include "device/DeviceOpening.h"
#include "device/DeviceTransfer.h"
#include "support/SimulatorProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

namespace
{
constexpr double LINK_BYTES_PER_SECOND = 11520.0;

// Starts a simulator serving a device with a throw-away state, without request log (the log would cost
// time), and opens its port.
std::unique_ptr<Device> _openDevice_helper(SimulatorProcess& simulator, const QStringList& extraArguments,
                                           benchmark::State& state)
{
    simulator.setRequestLogEnabled(false);
    if (!simulator.start(QString(), QStringLiteral("TZQVR-BENCH"), extraArguments))
    {
        state.SkipWithError("the simulator did not start");
        return nullptr;
    }
    auto device = std::make_unique<Device>(simulator.portInfo());
    if (device->open() != 0)
    {
        state.SkipWithError("the simulator could not be opened");
        return nullptr;
    }
    return device;
}

// Runs a transfer slice by slice as the progress pages do; returns its result and the longest slice.
int _runTransfer_helper(DeviceTransfer& transfer, double& longestSliceMilliseconds)
{
    longestSliceMilliseconds = 0;
    for (;;)
    {
        const auto start = std::chrono::steady_clock::now();
        const bool isFinished = transfer.advance();
        const std::chrono::duration<double, std::milli> slice = std::chrono::steady_clock::now() - start;
        longestSliceMilliseconds = std::max(longestSliceMilliseconds, slice.count());
        if (isFinished)
            return transfer.result();
    }
}

bool _readBoth_helper(Device& device, double& longestSliceMilliseconds)
{
    DeviceTransfer transfer;
    transfer.startReading(&device);
    return _runTransfer_helper(transfer, longestSliceMilliseconds) == DeviceTransfer::READ_RESULT_SUCCESS;
}

bool _writeBoth_helper(Device& device, double& longestSliceMilliseconds)
{
    DeviceTransfer transfer;
    transfer.startWriting(&device);
    return _runTransfer_helper(transfer, longestSliceMilliseconds) == DeviceTransfer::WRITE_RESULT_SUCCESS;
}

void _fillBuffers_helper(Device& device)
{
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
    {
        uint8_t* buffer = device.getMemoryBuffer(memoryIndex);
        for (int index = 0; index < DEVICE_MEMORY_SIZE; index++)
            buffer[index] = static_cast<uint8_t>(index * 31 + 7);
    }
}

void ReadBothMemories(benchmark::State& state)
{
    SimulatorProcess simulator;
    std::unique_ptr<Device> device = _openDevice_helper(simulator, {}, state);
    if (!device)
        return;
    double longestSlice = 0;
    for (auto _ : state)
    {
        if (!_readBoth_helper(*device, longestSlice))
        {
            state.SkipWithError("read failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 2 * DEVICE_MEMORY_SIZE);
    device->close();
}

void WriteBothMemories(benchmark::State& state)
{
    SimulatorProcess simulator;
    std::unique_ptr<Device> device = _openDevice_helper(simulator, {}, state);
    if (!device)
        return;
    double longestSlice = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        _fillBuffers_helper(*device);
        state.ResumeTiming();
        if (!_writeBoth_helper(*device, longestSlice))
        {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 2 * DEVICE_MEMORY_SIZE);
    device->close();
}

// Opening (read both) or saving (write both with verification, then read both back) at the real line rate.
void _atLineSpeed_helper(benchmark::State& state, bool isSaving)
{
    SimulatorProcess simulator;
    std::unique_ptr<Device> device =
        _openDevice_helper(simulator, {"--speed", "11520", "--packet-size", "64"}, state);
    if (!device)
        return;
    // Bytes on the line, one direction at a time: a block request and its acknowledgement, a read reply.
    const double readBothBytes = 2.0 * DEVICE_MEMORY_SIZE;
    const double writeBothBytes =
        2.0 * DEVICE_MEMORY_BLOCK_COUNT * (4 + DEVICE_MEMORY_BLOCK_SIZE + 1) + DEVICE_MEMORY_SIZE;
    const double lineSeconds =
        (isSaving ? writeBothBytes + readBothBytes : readBothBytes) / LINK_BYTES_PER_SECOND;
    double totalSeconds = 0;
    double longestSlice = 0;
    for (auto _ : state)
    {
        _fillBuffers_helper(*device);
        const auto start = std::chrono::steady_clock::now();
        double writeSlice = 0;
        double readSlice = 0;
        if ((isSaving && !_writeBoth_helper(*device, writeSlice)) || !_readBoth_helper(*device, readSlice))
        {
            state.SkipWithError("transfer failed");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        totalSeconds += elapsed.count();
        longestSlice = std::max({longestSlice, writeSlice, readSlice});
        state.SetIterationTime(elapsed.count());
    }
    if (state.iterations() > 0)
    {
        state.counters["line_time_ratio"] =
            totalSeconds / static_cast<double>(state.iterations()) / lineSeconds;
        state.counters["longest_slice_ms"] = longestSlice;
    }
    device->close();
}

void OpenAt11520(benchmark::State& state)
{
    _atLineSpeed_helper(state, false);
}

void SaveAt11520(benchmark::State& state)
{
    _atLineSpeed_helper(state, true);
}
void WriteAt11520WithLatencyTimer(benchmark::State& state)
{
    SimulatorProcess simulator;
    std::unique_ptr<Device> device = _openDevice_helper(
        simulator,
        {"--speed", "11520", "--packet-size", "64", "--latency-timer", QString::number(state.range(0))},
        state);
    if (!device)
        return;
    double totalSeconds = 0;
    for (auto _ : state)
    {
        _fillBuffers_helper(*device);
        const auto start = std::chrono::steady_clock::now();
        double longestSlice = 0;
        if (!_writeBoth_helper(*device, longestSlice))
        {
            state.SkipWithError("write failed");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        totalSeconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    if (state.iterations() > 0)
        state.counters["write_s"] = totalSeconds / static_cast<double>(state.iterations());
    device->close();
}

// Runs the event loop until isDone() holds, and returns the longest time between two of its turns;
// slowTurnCount counts the turns over 50 ms (on a loaded machine the scheduler alone causes a few).
double _longestTurnWhile_helper(const std::function<bool()>& isDone, int& slowTurnCount)
{
    double longestTurn = 0;
    QElapsedTimer sinceLastTurn;
    sinceLastTurn.start();
    QEventLoop loop;
    QTimer turnTimer;
    turnTimer.setInterval(0);
    QObject::connect(&turnTimer, &QTimer::timeout, &loop,
                     [&]()
                     {
                         const double turn = sinceLastTurn.nsecsElapsed() / 1e6;
                         longestTurn = std::max(longestTurn, turn);
                         slowTurnCount += turn > 50 ? 1 : 0;
                         sinceLastTurn.restart();
                         if (isDone())
                             loop.quit();
                     });
    turnTimer.start();
    loop.exec();
    return longestTurn;
}

void FloodingDeviceOpen(benchmark::State& state)
{
    SimulatorProcess simulator;
    simulator.setRequestLogEnabled(false);
    if (!simulator.start(QString(), QStringLiteral("TZQVR-BENCH"), {"--flood", "0x41"}))
    {
        state.SkipWithError("the simulator did not start");
        return;
    }
    double longestTurn = 0;
    int slowTurnCount = 0;
    for (auto _ : state)
    {
        Device device(simulator.portInfo());
        int result = DEVICE_RECEIVE_PENDING;
        auto* opening = new DeviceOpening(&device, nullptr);
        QObject::connect(opening, &DeviceOpening::openingFinished,
                         [&](int openingResult) { result = openingResult; });
        longestTurn =
            std::max(longestTurn, _longestTurnWhile_helper([&]() { return result != DEVICE_RECEIVE_PENDING; },
                                                           slowTurnCount));
        // Refused for its flood, or (when the simulator was held up long enough to leave a gap) for the
        // flood that came as its name.
        if (result != -1 || (device.lastFailure() != DEVICE_FAILURE_NEVER_QUIET &&
                             device.lastFailure() != DEVICE_FAILURE_GARBLED_REPLY))
        {
            state.SkipWithError("the flooding device was not refused");
            break;
        }
        device.close();
    }
    state.counters["longest_turn_ms"] = longestTurn;
    state.counters["turns_over_50ms"] = slowTurnCount;
}

void AbandonedReadClose(benchmark::State& state)
{
    SimulatorProcess simulator;
    std::unique_ptr<Device> device = _openDevice_helper(
        simulator, {"--speed", "11520", "--packet-size", "64", "--finish-abandoned-replies"}, state);
    if (!device)
        return;
    double longestTurn = 0;
    int slowTurnCount = 0;
    for (auto _ : state)
    {
        // A memory read given up after its first kilobyte: about 11 s of reply still to come.
        uint8_t* buffer = device->getMemoryBuffer(DEVICE_MEMORY_MAIN);
        if (device->selectMemory(DEVICE_MEMORY_MAIN) != 0 || device->startReadSelectedMemory(buffer) != 0)
        {
            state.SkipWithError("the read did not start");
            break;
        }
        while (device->receivedByteCount() < 1024 && device->continueReceive(20) == DEVICE_RECEIVE_PENDING)
        {
        }
        QPointer<Device> closing(device.release());
        closeAndDeleteDeviceInSteps(closing);
        longestTurn = std::max(longestTurn,
                               _longestTurnWhile_helper([&]() { return closing.isNull(); }, slowTurnCount));
        // The next round needs the port again.
        device = std::make_unique<Device>(simulator.portInfo());
        if (device->open() != 0)
        {
            state.SkipWithError("the device could not be opened again");
            break;
        }
    }
    state.counters["longest_turn_ms"] = longestTurn;
    state.counters["turns_over_50ms"] = slowTurnCount;
    device->close();
}
} // namespace

BENCHMARK(ReadBothMemories)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WriteBothMemories)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(OpenAt11520)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(SaveAt11520)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(WriteAt11520WithLatencyTimer)
    ->Arg(16)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK(FloodingDeviceOpen)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(AbandonedReadClose)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
